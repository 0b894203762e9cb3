#!/usr/bin/env bash
# No starts a complete new run without touching the registry; Yes on the second run
# stores its result. Both calibrations reach the driver.
. "$(dirname "$0")/lib.sh" "$1"
. "$(dirname "$0")/calibrate_lib.sh"
trap cal_cleanup EXIT

cal_reset
cal_start
cal_run 0 1000 900 3101 3000 3090 910
cal_wait_question
check "first calibration sent" "0,300,200,3801,3700,0" "$(sim_state calibration)"
xdotool key n
# The second run: the controller's axes exchanged.
cal_run 3 900 1000 3000 3100 905 3090
check "nothing stored after No" "XLow= XHigh= YLow= YHigh= SwapXY=" "$(cal_stored)"
check "mode still 3 between the runs" 3 "$(sim_state mouse_mode)"
cal_wait_question
check "second calibration sent" "0,300,200,3800,3700,1" "$(sim_state calibration)"
xdotool key Return
cal_wait_exit
check "exit code" 0 "$CAL_CODE"
check "second result stored" "XLow=300 XHigh=3800 YLow=200 YHigh=3700 SwapXY=1" "$(cal_stored)"
sim_look
check "two calibrations sent" 2 "$(seen set_calibration)"
check "six targets shown" 6 "$(seen clear_point)"
check "mouse mode restored" 0 "$(seen mouse_mode)"
check "mode set twice in all" 2 "$(seen set_mouse_mode)"
e2e_done
