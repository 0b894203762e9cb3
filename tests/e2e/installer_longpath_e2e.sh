#!/usr/bin/env bash
# Korvelseek when it cannot begin its work: in a folder so deep that the package's
# path no longer fits in 260 characters, or without a Windows DLL that it needs in the
# system folder. It says so under its own name, naming the failing call and the
# system's error code where there is one, and closes without searching.
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

# Each case: name, program, Wine's DLL overrides, the message.
while IFS='|' read -r name program overrides message <&3; do
    log="$RIG_STATE/installer_longpath.log"
    WINEDLLOVERRIDES=$overrides start_installer "$log" "$program"
    title=$(basename "$program" .exe)
    wait_window "$title"
    check "$name: message" yes "$(probe texts "$title" | grep -qxF "$message" && echo yes)"
    shot "installer_${name// /_}"
    wait_foreground "$title"
    xdotool key Return
    wait_installer 30
    check "$name: closes after the message" 0 "$INSTALLER_STATUS"
    check "$name: no search" 0 "$(grep -c 'SetupDiGetClassDevs' "$log")"
    check "$name: no driver update" "" "$(update_calls "$log")"
done 3<<CASES
path too long|$folder/K.exe|$WINEDLLOVERRIDES|KorvelUsb.inf path too long
no setupapi.dll|$KORVEL_DIST/Korvelseek.exe|$WINEDLLOVERRIDES;setupapi=|LoadLibrary setupapi.dll 126
CASES
e2e_done
