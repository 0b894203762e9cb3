#!/usr/bin/env bash
# Runs that end without a result: Esc on the first target, and a run left alone
# after one touch until its time limit. Nothing is sent after the last clear, nothing
# is stored, no question is asked, the mode comes back and the exit code is 0.
# Then endings without a Yes after a calibration was sent (Esc after No, the question
# left alone, a close, a logoff or a quit from outside during a run or the question):
# the driver gets the stored calibration back, or its own full range when none is stored
# or the stored one is no record it takes, and the key keeps what it held.
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

# question_after_run STORED: the five values stored before the start ("none" for
# nothing), a run, its question.
question_after_run() {
    cal_reset
    [ "$1" = none ] || cal_store $1
    cal_start
    cal_run 0 1000 900 3101 3000 3090 910
    cal_wait_question
}
# take_back WHAT STORED BACK: the program has ended; the driver holds BACK, the key STORED.
take_back() {
    local key="XLow= XHigh= YLow= YHigh= SwapXY="
    [ "$2" = none ] || key=$(printf 'XLow=%s XHigh=%s YLow=%s YHigh=%s SwapXY=%s' $2)
    cal_wait_exit
    check "$1: exit code, calibrations sent, the stored one back, mouse mode" "0 2 $3 0" \
        "$CAL_CODE $(sim_state set_calibration calibration mouse_mode)"
    check "$1: the key unchanged" "$key" "$(cal_stored)"
}
# end_from_outside HOW: the window ended by tools/sheet_probe as another program would; a
# logoff's ending is done by the time the session's end has been answered.
end_from_outside() {
    if [ "$1" != logoff ]; then
        need "$1 sent to Korvelaim" winprobe end Korvelaim "$1"
        return
    fi
    check "$what: the session may end, the ending done when it does" "query=1 $back 0 1" \
        "$(winprobe end Korvelaim logoff) $(sim_state calibration mouse_mode closes)"
}

# Each start shows its first target: no ending leaves the program running.
full_range=0,0,0,4096,4096,0
# The table on its own descriptor: the programs started in the loop read standard input.
while IFS='|' read -r -u 3 what stored after_no how back; do
    question_after_run "$stored"
    if [ "$after_no" = yes ]; then
        xdotool key n
        cal_wait_target 4
    fi
    case $how in
    Escape | alt+F4) cal_key "$how" ;;
    *) end_from_outside "$how" ;;
    esac
    take_back "$what" "$stored" "$back"
done 3<<EOF
No then Esc|250 3850 260 3840 0|yes|Escape|0,250,260,3850,3840,0
nothing stored, No then Esc|none|yes|Escape|$full_range
a stored reading above 4096, No then Esc|250 4097 260 3840 0|yes|Escape|$full_range
a close sent during the run after a No|250 3850 260 3840 0|yes|close|0,250,260,3850,3840,0
a close posted during the question|250 3850 260 3840 0|no|postclose|0,250,260,3850,3840,0
a close sent during the question|none|no|close|$full_range
a logoff during the question|250 3850 260 3840 0|no|logoff|0,250,260,3850,3840,0
nothing stored, a logoff during the run after a No|none|yes|logoff|$full_range
a quit during the run after a No|250 3850 260 3840 0|yes|quit|0,250,260,3850,3840,0
a quit during the question|250 3850 260 3840 0|no|quit|0,250,260,3850,3840,0
Alt+F4 during the run after a No|250 3850 260 3840 0|yes|alt+F4|0,250,260,3850,3840,0
EOF

while IFS='|' read -r -u 3 what stored back; do
    question_after_run "$stored"
    sleep 0.5
    shot calibrate_question_countdown
    check "$what: the countdown in the panel" yes "$(panel_notice calibrate_question_countdown)"
    first=$(notice_signature calibrate_question_countdown)
    counted_down() { shot calibrate_question_later; [ "$(notice_signature calibrate_question_later)" != "$first" ]; }
    wait_for 10 "the countdown not changing" counted_down
    # The limit is 30 seconds; the bound only keeps a hung program from stalling the suite.
    wait_for 90 "Korvelaim still running past the question's time limit" cal_has_ended
    take_back "$what" "$stored" "$back"
done 3<<EOF
left alone|250 3850 260 3840 0|0,250,260,3850,3840,0
nothing stored, left alone|none|$full_range
EOF

cal_reset
cal_start
cal_wait_target 1
cal_key Escape
cal_wait_exit
check "a new start after them all shows its first target and ends on Esc" 0 "$CAL_CODE"
e2e_done
