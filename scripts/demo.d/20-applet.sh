#!/usr/bin/env bash
# The applet on the simulated touchscreen: Wine's own control.exe opens Korvelpad.cpl.
# With the user's display the sheet stays until the user closes it; otherwise each
# page is shown in turn, a mouse mode and a beep mode are chosen, OK stores them, and
# the driver's state shows that it took them.
set -uo pipefail
probe() { wine "$KORVEL_TOOLS/sheet_probe.exe" "$@" | tr -d '\r'; }
simctl() { wine "$KORVEL_TOOLS/korvelsimctl.exe" "$@" | tr -d '\r'; }
click() {
    local xy
    xy=$(probe center "$1") || return 1
    xdotool mousemove $xy click 1
    sleep 0.5
}
shot() { import -window root "$KORVEL_DEMO_SHOTS/applet-$1.png" 2>/dev/null; }

cpl=$(winepath -w "$KORVEL_DIST/Korvelpad.cpl")
simctl reset >/dev/null
if [ "${KORVEL_DEMO_INTERACTIVE:-0}" = 1 ]; then
    echo "applet: the Korvel Touchscreen sheet is open; close it with OK or Cancel to go on"
    wine control "$cpl"
    echo "applet: the driver now holds:"
    simctl state | grep -E '^(mouse_mode|beep_mode|beep_freq|beep_time|reload_settings)='
    exit 0
fi

wine control "$cpl" >/dev/null 2>&1 &
control=$!
probe wait || { echo "applet: the sheet did not open"; exit 1; }
names=(calibration settings sound about)
for page in 0 1 2 3; do
    probe visit $page
    sleep 0.5
    shot "$page-${names[$page]}"
done
probe visit 1
click 1006
shot "settings-drag"
probe visit 2
click 1001
xdotool key Up Return
sleep 0.5
shot "sound-changed"
echo "applet: the Sound page sent the beep at once: $(simctl state | grep -E '^beep_mode=')"
probe press ok
probe gone
wait "$control"
echo "applet: after OK the driver reloaded its stored settings:"
simctl state | grep -E '^(mouse_mode|beep_mode|beep_freq|beep_time|reload_settings)='
