#!/usr/bin/env bash
# The calibration of the simulated touchscreen. Its controller has a known mapping,
# by default with exchanged axes and the horizontal axis inverted; set
# KORVEL_DEMO_SWAP, KORVEL_DEMO_INVERT_X and KORVEL_DEMO_INVERT_Y to 0 or 1 to change
# it. On the user's display Korvelaim runs in a Wine desktop window (1024x768, or
# KORVEL_DEMO_DESKTOP as WIDTHxHEIGHT) and a mouse click stands for a touch; without
# one the touches are scripted under Xvfb and screenshots are saved. Either way the
# demo prints what was stored and how far the calibrated mapping lands from the true
# one.
set -euo pipefail

parameters='HKLM\System\CurrentControlSet\Services\Korvelscreen\Parameters'
question='Checking calibration results'
simctl() { wine "$KORVEL_TOOLS/korvelsimctl.exe" "$@" | tr -d '\r'; }
sim_state() { simctl state | sed -n "s/^$1=//p"; }

# The screen Korvelaim covers: the Wine desktop window, which without the user's
# display is as large as the Xvfb screen.
if [ "${KORVEL_DEMO_INTERACTIVE:-0}" = 1 ]; then
    screen=${KORVEL_DEMO_DESKTOP:-1024x768}
else
    screen=$(xdpyinfo | awk '/dimensions:/ {print $2}')
fi

mapping=(--screen "$screen")
[ "${KORVEL_DEMO_SWAP:-1}" = 1 ] && mapping+=(--swap)
[ "${KORVEL_DEMO_INVERT_X:-1}" = 1 ] && mapping+=(--invert-x)
[ "${KORVEL_DEMO_INVERT_Y:-0}" = 1 ] && mapping+=(--invert-y)
panel() { wine "$KORVEL_TOOLS/touch_panel.exe" "${mapping[@]}" "$@" | tr -d '\r'; }

wait_for() {
    local i
    for i in $(seq 300); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
target_up() { [ "$(sim_state clear_point)" -ge "$1" ]; }
# Asked inside Wine: in its virtual desktop the windows are not X windows.
question_up() { [[ "$(wine "$KORVEL_TOOLS/sheet_probe.exe" msgbox 2>/dev/null)" == "caption=$question "* ]]; }

scripted_run() {
    local width=${screen%x*} height=${screen#*x} i
    local targets=("$((width / 5)) $((height / 5))" "$((width - width / 5)) $((height - height / 5))"
        "$((width - width / 5)) $((height / 5))")
    wine "$KORVEL_DIST/Korvelaim.exe" &
    local korvelaim=$!
    for i in 0 1 2; do
        local position=(${targets[$i]}) readings
        wait_for target_up $((i + 1)) || { echo "target $i did not appear"; kill "$korvelaim"; return 1; }
        readings=($(panel raw "${position[0]}" "${position[1]}"))
        echo "target $i at (${position[0]}, ${position[1]}): the controller reads ${readings[0]}, ${readings[1]}"
        sleep 0.3
        import -window root "$KORVEL_DEMO_SHOTS/calibrate-target-$i.png"
        simctl touch "${readings[0]}" "${readings[1]}" >/dev/null
        xdotool mousemove "${position[0]}" "${position[1]}" click 1
    done
    wait_for question_up || { echo "no question"; kill "$korvelaim"; return 1; }
    sleep 0.3
    import -window root "$KORVEL_DEMO_SHOTS/calibrate-question.png"
    echo "Korvelaim asks: \"Try moving on the screen,Does the cursor jump to your fingertip?\" - answering Yes"
    xdotool key Return
    local code=0
    wait "$korvelaim" || code=$?
    echo "Korvelaim ended with exit code $code"
}

interactive_run() {
    echo "Korvelaim opens in a Wine desktop window. Click the centre of each red target"
    echo "(the pointer is hidden while a target waits, as over a touchscreen), then answer"
    echo "the question; Esc quits."
    wine explorer "/desktop=KorvelCalibration,$screen" "$(winepath -w "$KORVEL_TOOLS/touch_panel.exe")" \
        "${mapping[@]}" hook "$(winepath -w "$KORVEL_DIST/Korvelaim.exe")" | tr -d '\r'
}

simctl reset >/dev/null
wine reg delete "$parameters" /f >/dev/null 2>&1 || true
flags="${mapping[*]:2}"
echo "simulated controller on a ${screen} screen: ${flags:-straight axes}"
if [ "${KORVEL_DEMO_INTERACTIVE:-0}" = 1 ]; then
    interactive_run
else
    scripted_run
fi

echo "stored under HKLM\\System\\CurrentControlSet\\Services\\Korvelscreen\\Parameters:"
stored=0
while read -r name type value; do
    [ "$type" = REG_DWORD ] || continue
    printf '  %s = %d\n' "$name" "$value"
    stored=$((stored + 1))
done < <(wine reg query "$parameters" 2>/dev/null | tr -d '\r')
[ "$stored" -gt 0 ] || echo "  nothing (the calibration was not confirmed)"
panel error
