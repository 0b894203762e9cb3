#!/usr/bin/env bash
# The applet opened by Wine's own control.exe: what OK and Cancel store and send, the
# Calibration page starting Korvelaim.exe from the library's folder while the sheet
# waits, the warnings on the way in, and the four pages fitting their sheet at 96 and
# at 120 dpi, with screenshots.
. "$(dirname "$0")/lib.sh" "$1"
. "$(dirname "$0")/applet_lib.sh"

# A run cut short during its 120 dpi pass leaves the prefix at 120 dpi.
if wine reg query 'HKCU\Control Panel\Desktop' /v LogPixels >/dev/null 2>&1; then
    use_dpi 96
fi

# OK without a change: every page visited, nothing written, nothing sent.
applet_reset
open_sheet
check "the sheet starts on the Calibration page" 0 "$(probe page)"
check_pages_fit 96
visit 0
read -r left top right bottom <<<"$(probe rect 1011)"
button_width_96=$((right - left))
check "the About picture shows its mask colour nowhere" 0 \
    "$(convert "$E2E_SHOTS/applet_page_3_96dpi.png" -fill black +opaque '#FF00FF' -format '%[fx:mean*w*h]' info: 2>/dev/null | cut -d. -f1)"
close_sheet ok
check "OK without a change writes no value" 0 "$(stored_values)"
sim_look
for request in set_beep set_mouse_mode reload_settings enable disable get_beep get_mouse_mode; do
    check "OK without a change sends no $request" 0 "$(seen $request)"
done
check "the device was opened only to see it is there" "$(seen opens)" "$(seen closes)"

# OK after a change with two pages visited: two saves, two reloads.
applet_reset
open_sheet
visit 1
click 1006
check "Drag is checked" 1 "$(fields 1006:checked)"
close_sheet ok
check "two pages visited: two reloads" 2 "$(sim_state reload_settings)"
check "the change is stored" 2 "$(reg_dword "$PARAMETERS_PATH" MouseMode)"
check "all seven values stored" 7 "$(stored_values)"
check "the driver took the stored mode" 2 "$(sim_state mouse_mode)"

# The same with all four pages visited: four reloads.
applet_reset
open_sheet
visit 1
click 1005
visit 2
visit 3
close_sheet ok
check "four pages visited: four reloads" 4 "$(sim_state reload_settings)"
check "the change is stored" 1 "$(reg_dword "$PARAMETERS_PATH" MouseMode)"

# Cancel after a change: one reload, nothing saved.
applet_reset
seed BeepMode 1
open_sheet
visit 2
click 1001
xdotool key Home Return
settle
sim_look
check "the beep change reached the driver" 1 "$(seen set_beep)"
check "with mode Disabled" 0 "$(seen beep_mode)"
close_sheet cancel
check "Cancel after a change: one reload" 1 "$(sim_state reload_settings)"
check "Cancel saves nothing" 1 "$(stored_values)"
check "the reload gave the driver back the stored beep mode" 1 "$(sim_state beep_mode)"

# The Calibration button starts Korvelaim.exe from the library's folder, not from the
# current directory, and the sheet waits for it.
applet_reset
drive="$WINEPREFIX/drive_c"
rm -rf "$drive/korvelpad_e2e"
mkdir -p "$drive/korvelpad_e2e/app" "$drive/korvelpad_e2e/cwd"
cp "$APPLET_CPL" "$drive/korvelpad_e2e/app/Korvelpad.cpl"
cp "$KORVEL_TOOLS/calibrator_standin.exe" "$drive/korvelpad_e2e/app/Korvelaim.exe"
cp "$KORVEL_TOOLS/calibrator_standin.exe" "$drive/korvelpad_e2e/cwd/Korvelaim.exe"
touch "$drive/korvelpad_e2e/app/hold"
cd "$drive/korvelpad_e2e/cwd"
open_sheet 'C:\korvelpad_e2e\app\Korvelpad.cpl'
cd - >/dev/null
click 1011
wait_for 60 "no record of the stand-in Korvelaim.exe" test -s "$drive/korvelpad_e2e/app/standin.log"
check "Korvelaim.exe beside the library ran" 1 "$(grep -c '^ran ' "$drive/korvelpad_e2e/app/standin.log" 2>/dev/null)"
check "maximised, through the show-window flag" 1 "$(grep -c 'flags=1 show=3 ' "$drive/korvelpad_e2e/app/standin.log")"
check "in the caller's current directory" 1 "$(grep -ci 'cwd=C:\\korvelpad_e2e\\cwd ' "$drive/korvelpad_e2e/app/standin.log")"
check "the one in the current directory did not run" no "$([ -e "$drive/korvelpad_e2e/cwd/standin.log" ] && echo yes || echo no)"
check "the sheet waits while it runs" no "$(probe responds)"
shot applet_calibration_waiting
rm -f "$drive/korvelpad_e2e/app/hold"
wait_for 60 "the sheet not responding once the stand-in ended" settled
check "the sheet responds once it has ended" yes "$(probe responds)"

# A missing Korvelaim.exe: the warning, owned by the page, and the sheet stays.
rm -f "$drive/korvelpad_e2e/app/Korvelaim.exe"
click 1011
wait_for 60 "no message box for the missing Korvelaim.exe" msgbox_up
check "the start failure is reported" \
    "caption=Korvel Touchscreen owner=sheet text=Launch touchscreen calibration application error! Run it directly" \
    "$(probe msgbox)"
shot applet_calibration_missing
need "the message box answered" probe answer 1
wait_for 60 "the sheet not responding after the message box" settled
check "the sheet stays open" yes "$(probe responds)"
close_sheet cancel
rm -rf "$drive/korvelpad_e2e"

# Driver not loaded: the warning, then the sheet all the same.
rig_driver_down
wait_for 60 "the simulated driver still not stopped" driver_stopped
wine control "$(winepath -w "$APPLET_CPL")" >/dev/null 2>&1 &
CONTROL_PID=$!
wait_for 60 "no message box for the missing driver" msgbox_up
check "the missing driver is reported" \
    "caption=Korvel Touchscreen owner=none text=Fatal Error:USB interface touchscreen driver not load!" \
    "$(probe msgbox)"
need "the message box answered" probe answer 1
wait_window "$SHEET_TITLE"
close_sheet cancel
driver_restart

# Without the privilege: the refusal and no sheet.
applet_reset
wine "$KORVEL_TOOLS/run_restricted.exe" control "$(winepath -w "$APPLET_CPL")" >/dev/null 2>&1 &
CONTROL_PID=$!
wait_for 60 "no message box for the refused privilege" msgbox_up
check "the refused privilege is reported" \
    "caption=Korvel Touchscreen owner=none text=You need to have Administrator Privilege to do this work." \
    "$(probe msgbox)"
need "the message box answered" probe answer 1
wait_control_ended
check "no sheet opened" no "$(probe page >/dev/null 2>&1 && echo yes || echo no)"
check "nothing reached the driver" 0 "$(sim_state opens)"

# At 120 dpi (large fonts) the pages still fit their sheet. The prefix goes back to
# 96 dpi afterwards, whatever happens here.
trap 'use_dpi 96' EXIT
use_dpi 120
applet_reset
open_sheet
check_pages_fit 120
visit 0
read -r left top right bottom <<<"$(probe rect 1011)"
check "at 120 dpi the pages are drawn larger" yes "$([ $((right - left)) -gt "$button_width_96" ] && echo yes || echo no)"
close_sheet cancel
use_dpi 96
trap - EXIT

e2e_done
