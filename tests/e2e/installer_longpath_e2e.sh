#!/usr/bin/env bash
# Korvelseek in a folder so deep that the package's path no longer fits in 260
# characters: it says so under its own name and closes without searching.
. "$(dirname "$0")/lib.sh" "$1"
. "$(dirname "$0")/installer_lib.sh"
trap 'rm -rf "$top"; installer_cleanup' EXIT
simctl reset >/dev/null
devices remove >/dev/null

# "C:\korvel-long\" and a folder of 234 characters: 250 characters with the last
# backslash, so that "K.exe" still fits and "KorvelUsb.inf" does not.
top="$WINEPREFIX/drive_c/korvel-long"
folder="$top/$(printf 'a%.0s' $(seq 234))"
mkdir -p "$folder"
cp "$KORVEL_DIST/Korvelseek.exe" "$folder/K.exe"
cp "$KORVEL_DIST/KorvelUsb.inf" "$folder/KorvelUsb.inf"
check "program path length" 255 "$(windows_path "$folder/K.exe" | tr -d '\n' | wc -c)"

log="$RIG_STATE/installer_longpath.log"
start_installer "$log" "$folder/K.exe"
wait_window K
check "message" yes "$(probe texts K | grep -qxF 'KorvelUsb.inf path too long' && echo yes)"
wait_foreground K
xdotool key Return
wait_installer 30
check "closes after the message" 0 "$INSTALLER_STATUS"
check "no search" 0 "$(grep -c 'SetupDiGetClassDevs' "$log")"
check "no driver update" "" "$(update_calls "$log")"
e2e_done
