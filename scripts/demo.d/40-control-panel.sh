#!/usr/bin/env bash
# The end of the user's story: the driver package that Korvelseek installed put the
# applet and the calibration program into the system folder, so the Control Panel
# lists "Korvel Touchscreen", and `control Korvelpad.cpl` opens it without a path.
set -uo pipefail
sheet() { wine "$KORVEL_TOOLS/sheet_probe.exe" "$@" | tr -d '\r'; }
shot() { import -window root "$KORVEL_DEMO_SHOTS/control-panel-$1.png" 2>/dev/null; }

system32="$WINEPREFIX/drive_c/windows/system32"
# Setup keeps a copy of the same version that is already there, so only its presence
# is asked for: an earlier build's copy may stay after a rebuild.
for file in Korvelpad.cpl Korvelaim.exe; do
    if [ -f "$system32/$file" ]; then
        echo "control panel: $file is in the system folder, where the package puts it"
    else
        echo "control panel: $file is not in the system folder"; exit 1
    fi
done

if [ "${KORVEL_DEMO_INTERACTIVE:-0}" = 1 ]; then
    echo "control panel: the Control Panel is open; double-click \"Korvel Touchscreen\", then close it to go on"
    wine control
    exit 0
fi

wine control >/dev/null 2>&1 &
panel=$!
sleep 4
shot listing
echo "control panel: the Control Panel's listing: control-panel-listing.png"
wine "$KORVEL_TOOLS/installer_probe.exe" end 'Wine Control Panel' close >/dev/null 2>&1
wait "$panel" 2>/dev/null

wine control Korvelpad.cpl >/dev/null 2>&1 &
control=$!
sheet wait || { echo "control panel: the sheet did not open"; exit 1; }
sleep 0.5
shot sheet
echo "control panel: \`control Korvelpad.cpl\` opened the sheet from the system folder: control-panel-sheet.png"
sheet press cancel
sheet gone
wait "$control"
