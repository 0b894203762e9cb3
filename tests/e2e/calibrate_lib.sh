# Sourced by the calibration end-to-end tests after lib.sh: starting Korvelaim,
# touching its targets (a raw reading queued with the driver, then a real click at the
# target) and answering its question.

CAL_PROGRAM="$KORVEL_DIST/Korvelaim.exe"
CAL_QUESTION='Checking calibration results'
# Targets on the rig's 1024 x 768 screen.
CAL_TARGETS=("204 153" "820 615" "820 153")
CAL_PID=

# Without a window manager Wine keeps a "managed" full-screen window to its client
# area and resizes it once X reports that geometry, which erases the first target.
# Unmanaged windows keep the geometry the program asked for.
cal_unmanaged_windows() {
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}

cal_restore_window_management() {
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1
}

# A fresh driver (mouse mode 0) and no stored calibration.
cal_reset() {
    settings_reset
    cal_unmanaged_windows
}

cal_start() {
    wine "$CAL_PROGRAM" &
    CAL_PID=$!
}

# cal_wait_exit: waits for the Korvelaim started last to end, else stops the test,
# and puts its exit code in CAL_CODE. It must run in the test's own shell: only the
# shell that started the program can wait for it, a command substitution cannot.
cal_wait_exit() {
    wait_for 60 "Korvelaim still running" cal_has_ended
    CAL_CODE=0
    wait "$CAL_PID" || CAL_CODE=$?
    CAL_PID=
}

cal_has_ended() { ! kill -0 "$CAL_PID" 2>/dev/null; }

# Ends a Korvelaim that a failed check left running.
cal_cleanup() {
    if [ -n "$CAL_PID" ] && kill -0 "$CAL_PID" 2>/dev/null; then
        echo "note: ending a Korvelaim left running"
        kill "$CAL_PID" 2>/dev/null
        wait "$CAL_PID" 2>/dev/null
    fi
    CAL_PID=
    cal_restore_window_management
}

clear_point_reached() { [ "$(sim_state clear_point)" -ge "$1" ] 2>/dev/null; }

# cal_wait_target N: waits until the target counted N (1 for the first of the test)
# is up: each target is preceded by a clear of the driver's point.
cal_wait_target() {
    wait_until 60 clear_point_reached "$1" || e2e_stop "target $1 of the test not shown after 60 s \
(the driver's clear_point read_point queued then: $(sim_state clear_point read_point queued))"
}

# cal_touch INDEX RAW_X RAW_Y [BUTTON]: a touch on target INDEX of the current run.
cal_touch() {
    local position=(${CAL_TARGETS[$1]})
    simctl touch "$2" "$3" >/dev/null
    xdotool mousemove "${position[0]}" "${position[1]}" click "${4:-1}"
}

# cal_run BASE R0X R0Y R1X R1Y R2X R2Y: three touches; BASE is the number of targets
# shown before this run.
cal_run() {
    local base=$1 i
    shift
    for i in 0 1 2; do
        cal_wait_target $((base + i + 1))
        cal_touch "$i" "$1" "$2"
        shift 2
    done
}

# cal_key KEY...: keys typed to Korvelaim once one of its windows has the X input focus.
cal_has_keyboard() { xprop -id "$(xdotool getwindowfocus 2>/dev/null)" WM_CLASS 2>/dev/null | grep -qi korvelaim; }
cal_key() {
    wait_for 60 "no window of Korvelaim with the keyboard" cal_has_keyboard
    xdotool key "$@"
}

# cal_box: caption, owner ("none" or "other") and text of the visible message box.
cal_box() { winprobe msgbox; }

question_visible() { winprobe window "$CAL_QUESTION"; }
# cal_wait_question: the question is up and takes the keys typed next.
cal_wait_question() {
    wait_window "$CAL_QUESTION"
    wait_foreground "$CAL_QUESTION"
}

# cal_store XLOW XHIGH YLOW YHIGH SWAPXY: a calibration stored before the start.
cal_store() {
    need "a calibration stored" reg_set_dwords "$PARAMETERS_PATH" XLow "$1" XHigh "$2" YLow "$3" YHigh "$4" SwapXY "$5"
}

cal_stored() { reg_values "$PARAMETERS_PATH" XLow XHigh YLow YHigh SwapXY; }

# red_pixels SHOT INDEX: pure red pixels in the square of target INDEX of a saved
# screenshot; a drawn target has some, an erased one none.
red_pixels() {
    local position=(${CAL_TARGETS[$2]})
    convert "$E2E_SHOTS/$1.png" -crop "60x60+$((position[0] - 30))+$((position[1] - 30))" +repage \
        -fill black +opaque '#FF0000' -fill white -opaque '#FF0000' -format '%[fx:round(mean*w*h)]' info:
}

# targets_drawn SHOT: "yes" or "no" for targets 0, 1 and 2 in a saved screenshot.
targets_drawn() {
    local i out=""
    for i in 0 1 2; do
        if [ "$(red_pixels "$1" "$i")" -gt 0 ]; then out="$out yes"; else out="$out no"; fi
    done
    echo "${out# }"
}

# panel_text SHOT: "yes yes" when the upper and the lower half of the instruction
# panel (400 x 80, centred) hold black text pixels.
panel_text() {
    local half out=""
    for half in 0 40; do
        local count
        count=$(convert "$E2E_SHOTS/$1.png" -crop "400x40+312+$((344 + half))" +repage \
            -fill white +opaque '#000000' -fill black -opaque '#000000' -negate -format '%[fx:round(mean*w*h)]' info:)
        if [ "$count" -gt 0 ]; then out="$out yes"; else out="$out no"; fi
    done
    echo "${out# }"
}

# The panel's line between the two instructions, where notices and the question's
# countdown stand, in a saved screenshot: "yes" when it holds text, and its hash.
notice_crop() { convert "$E2E_SHOTS/$1.png" -crop 392x16+316+376 +repage "${@:2}"; }
panel_notice() {
    [ "$(notice_crop "$1" -fill white +opaque '#000000' -format '%[fx:round((1-mean)*w*h)]' info:)" -gt 0 ] &&
        echo yes || echo no
}
notice_signature() { notice_crop "$1" -format '%#' info:; }
