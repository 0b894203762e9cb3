#!/usr/bin/env bash
# Runs that end without a result: Esc on the first target, and a run left alone
# after one touch until its time limit. Nothing is sent after the last clear, nothing
# is stored, no question is asked, the mode comes back and the exit code is 0.
# Then endings without a Yes after a calibration was sent (Esc after No, the question
# left alone): the driver gets the stored calibration back and the key keeps it.
. "$(dirname "$0")/lib.sh" "$1"
. "$(dirname "$0")/calibrate_lib.sh"
trap cal_cleanup EXIT

# A question would stay up for 30 s: a look each second sees one, and spares the other
# tests a Wine process every tenth of a second.
question_seen=no
watch_question() {
    question_visible && question_seen=yes
    cal_has_ended || { sleep 1; return 1; }
}

cal_reset
cal_start
cal_wait_target 1
cal_key Escape
cal_wait_exit
check "Esc: exit code" 0 "$CAL_CODE"
check "Esc: no question" "" "$(question_visible && echo shown)"
sim_look
check "Esc: nothing sent" 0 "$(seen set_calibration)"
check "Esc: one target shown" 1 "$(seen clear_point)"
check "Esc: no point read" 0 "$(seen read_point)"
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
sim_look
check "time-out: a point read at each release" 2 "$(seen read_point)"
check "time-out: stopped on the second target" 2 "$(seen clear_point)"
check "time-out: nothing sent" 0 "$(seen set_calibration)"
check "time-out: nothing stored" "XLow= XHigh= YLow= YHigh= SwapXY=" "$(cal_stored)"
check "time-out: mouse mode restored" 0 "$(sim_state mouse_mode)"

# question_with_stored: a calibration stored before the start, a run, its question.
question_with_stored() {
    cal_reset
    cal_store 250 3850 260 3840 0
    cal_start
    cal_run 0 1000 900 3101 3000 3090 910
    cal_wait_question
}
take_back() {
    cal_wait_exit
    check "$1: exit code, calibrations sent, the stored one back, mouse mode" "0 2 0,250,260,3850,3840,0 0" \
        "$CAL_CODE $(sim_state set_calibration calibration mouse_mode)"
    check "$1: the key unchanged" "XLow=250 XHigh=3850 YLow=260 YHigh=3840 SwapXY=0" "$(cal_stored)"
}

question_with_stored
xdotool key n
cal_wait_target 4
cal_key Escape
take_back "No then Esc"

question_with_stored
sleep 0.5
shot calibrate_question_countdown
check "left alone: the countdown in the panel" yes "$(panel_notice calibrate_question_countdown)"
first=$(notice_signature calibrate_question_countdown)
counted_down() { shot calibrate_question_later; [ "$(notice_signature calibrate_question_later)" != "$first" ]; }
wait_for 10 "the countdown not changing" counted_down
# The limit is 30 seconds; the bound only keeps a hung program from stalling the suite.
wait_for 90 "Korvelaim still running past the question's time limit" cal_has_ended
take_back "left alone"
e2e_done
