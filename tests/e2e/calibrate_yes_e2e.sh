#!/usr/bin/env bash
# A full calibration answered Yes: the driver holds the computed record, the
# parameters key the five values, the mouse mode is back and the program exits 0.
# Then runs of mis-touches, each repeated at once with a notice and nothing sent,
# before a good run.
. "$(dirname "$0")/lib.sh" "$1"
. "$(dirname "$0")/calibrate_lib.sh"
trap cal_cleanup EXIT

cal_reset
cal_start
cal_wait_target 1
check "mouse mode 3 during the run" 3 "$(sim_state mouse_mode)"
sleep 0.5
shot calibrate_target_0
check "only the first target drawn" "yes no no" "$(targets_drawn calibrate_target_0)"
check "both instruction lines in the panel" "yes yes" "$(panel_text calibrate_target_0)"
check "no notice in the panel" no "$(panel_notice calibrate_target_0)"
cal_touch 0 1000 900
cal_wait_target 2
sleep 0.5
shot calibrate_target_1
check "the first target erased as the second appears" "no yes no" "$(targets_drawn calibrate_target_1)"
# A release of the right button reads the point like the left one.
cal_touch 1 3101 3000 3
cal_wait_target 3
cal_touch 2 3090 910
cal_wait_question
sleep 0.5
shot calibrate_question
check "the question, owned by the calibration window" \
    "caption=$CAL_QUESTION owner=other text=Try moving on the screen,Does the cursor jump to your fingertip?" \
    "$(cal_box)"
check "the last target erased before the question" "no no no" "$(targets_drawn calibrate_question)"
check "calibration sent before the question" "0,300,200,3801,3700,0" "$(sim_state calibration)"
check "nothing stored before the answer" "XLow= XHigh= YLow= YHigh= SwapXY=" "$(cal_stored)"
xdotool key Return
cal_wait_exit
check "exit code" 0 "$CAL_CODE"
check "stored values" "XLow=300 XHigh=3801 YLow=200 YHigh=3700 SwapXY=0" "$(cal_stored)"
sim_look
check "mouse mode restored" 0 "$(seen mouse_mode)"
check "mode set twice (3, then back)" 2 "$(seen set_mouse_mode)"
check "one calibration sent" 1 "$(seen set_calibration)"
check "three targets cleared" 3 "$(seen clear_point)"
check "device opened once" 1 "$(seen opens)"
check "device closed at exit" 1 "$(seen closes)"

cal_reset
cal_start
cal_run 0 1000 900 1000 900 1000 900
cal_wait_target 4
sleep 0.5
shot calibrate_touches_refused
check "one spot: the notice, the first target drawn" "yes yes no no" \
    "$(panel_notice calibrate_touches_refused) $(targets_drawn calibrate_touches_refused)"
# The third tap half-way between the first and the third target.
cal_run 3 1000 900 3101 3000 2050 910
cal_run 6 1000 900 3101 3000 3090 910
cal_wait_question
xdotool key Return
cal_wait_exit
check "one calibration sent for three runs, stored" "1 9 XLow=300 XHigh=3801 YLow=200 YHigh=3700 SwapXY=0" \
    "$(sim_state set_calibration clear_point) $(cal_stored)"
e2e_done
