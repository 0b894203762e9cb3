#!/usr/bin/env bash
# Runs that end without a result: Esc on the first target, and a run left alone
# after one touch until its time limit. Nothing is sent after the last clear, nothing
# is stored, no question is asked, the mode comes back and the exit code is 0.
. "$(dirname "$0")/lib.sh" "$1"
. "$(dirname "$0")/calibrate_lib.sh"
trap cal_cleanup EXIT

question_seen=no
watch_question() {
    question_visible && question_seen=yes
    cal_has_ended
}

cal_reset
cal_start
cal_wait_target 1
cal_key Escape
cal_wait_exit
check "Esc: exit code" 0 "$CAL_CODE"
check "Esc: no question" "" "$(question_visible && echo shown)"
check "Esc: nothing sent" 0 "$(sim_state set_calibration)"
check "Esc: one target shown" 1 "$(sim_state clear_point)"
check "Esc: no point read" 0 "$(sim_state read_point)"
check "Esc: nothing stored" "XLow= XHigh= YLow= YHigh= SwapXY=" "$(cal_stored)"
check "Esc: mouse mode restored" 0 "$(sim_state mouse_mode)"

cal_reset
cal_start
cal_wait_target 1
cal_touch 0 1000 900
cal_wait_target 2
# A click with no touch queued: the driver has no point, the wait goes on.
xdotool mousemove 820 615 click 1
# The limit is 31 ticks of one second for the whole run; the bound here only keeps
# a hung program from stalling the suite.
wait_for 90 "Korvelaim still running past its run's time limit" watch_question
cal_wait_exit
check "time-out: exit code" 0 "$CAL_CODE"
check "time-out: no question" no "$question_seen"
check "time-out: a point read at each release" 2 "$(sim_state read_point)"
check "time-out: stopped on the second target" 2 "$(sim_state clear_point)"
check "time-out: nothing sent" 0 "$(sim_state set_calibration)"
check "time-out: nothing stored" "XLow= XHigh= YLow= YHigh= SwapXY=" "$(cal_stored)"
check "time-out: mouse mode restored" 0 "$(sim_state mouse_mode)"
e2e_done
