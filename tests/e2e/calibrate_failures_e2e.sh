#!/usr/bin/env bash
# Starts that end at once (a second instance, the driver absent, the privilege
# refused), a run whose calibration the driver refuses, and a start at which the
# driver's mouse mode cannot be read.
. "$(dirname "$0")/lib.sh" "$1"
. "$(dirname "$0")/calibrate_lib.sh"
# Visible windows of Korvelaim as wide as the screen.
full_screen_windows() { winprobe windows Korvelaim | grep -c '^10[0-9][0-9]x'; }
restart_driver() { rig_driver_up >/dev/null 2>&1; cal_cleanup; }
trap restart_driver EXIT

cal_reset
cal_start
cal_wait_target 1
second=0
timeout 60 wine "$CAL_PROGRAM" || second=$?
check "second instance: exit code" 0 "$second"
sim_look
check "second instance: mode left alone" 1 "$(seen set_mouse_mode)"
check "second instance: mode not read" 1 "$(seen get_mouse_mode)"
check "second instance: device not opened" 1 "$(seen opens)"
cal_key Escape
cal_wait_exit
check "first instance: exit code" 0 "$CAL_CODE"

cal_reset
simctl fail set_calibration >/dev/null
cal_start
cal_run 0 1000 900 3101 3000 3090 910
wait_until 30 cal_has_ended
check "refused: program ended" 0 "$(cal_has_ended; echo $?)"
cal_wait_exit
check "refused: exit code" 0 "$CAL_CODE"
check "refused: no question" "" "$(question_visible && echo shown)"
check "refused: the record was offered" 1 "$(sim_state set_calibration)"
check "refused: nothing stored" "XLow= XHigh= YLow= YHigh= SwapXY=" "$(cal_stored)"
check "refused: mouse mode restored" 0 "$(sim_state mouse_mode)"
simctl fail none >/dev/null

# The mode cannot be read at the start: 3 is set anyway and nothing is restored.
cal_reset
simctl fail get_mouse_mode >/dev/null
cal_start
cal_wait_target 1
cal_key Escape
cal_wait_exit
check "mode unread: exit code" 0 "$CAL_CODE"
sim_look
check "mode unread: left in mode 3" 3 "$(seen mouse_mode)"
check "mode unread: mode set only to 3" 1 "$(seen set_mouse_mode)"
simctl fail none >/dev/null

cal_reset
wine "$KORVEL_TOOLS/run_restricted.exe" "$CAL_PROGRAM" &
CAL_PID=$!
wait_window "Korvel Touchscreen"
wait_foreground "Korvel Touchscreen"
shot calibrate_no_privilege
check "no privilege: the warning" \
    "caption=Korvel Touchscreen owner=none text=You must have administrator privileges to do this work." "$(cal_box)"
xdotool key Return
cal_wait_exit
check "no privilege: exit code" 1 "$CAL_CODE"
check "no privilege: device not opened" 0 "$(sim_state opens)"

check "driver stopped" 0 "$(rig_driver_down; echo $?)"
cal_start
wait_window "Fatal error!"
wait_foreground "Fatal error!"
check "no driver: no full-screen window" 0 "$(full_screen_windows)"
shot calibrate_no_driver
check "no driver: the message" \
    "caption=Fatal error! owner=none text=Fatal error:Touchscreen device driver not loaded!" "$(cal_box)"
xdotool key Return
cal_wait_exit
check "no driver: exit code" 1 "$CAL_CODE"
check "driver started again" 0 "$(rig_driver_up; echo $?)"
e2e_done
