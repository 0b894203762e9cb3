#!/usr/bin/env bash
# The release as a user installs it, in a fresh prefix of its own: the archive of this
# architecture unpacked under "Program Files", a touchscreen plugged in, Korvelseek run
# from there. Then the applet and the calibration program are in the system folder,
# `control Korvelpad.cpl` finds the applet without a path, and the Calibration page's
# button starts the calibration program from the system folder.
. "$(dirname "$0")/lib.sh" "$1"
. "$(dirname "$0")/applet_lib.sh"

archive=$(ls "$RIG_BUILD"/release/korvel-touch-*.zip 2>/dev/null | head -n 1)
need "the release archive built" test -f "$archive"

# Everything below runs in the fresh prefix; the rig's own prefix is left alone.
fresh_prefix release
rig_desktop on
# Persistent, so that the driver that the package installs stays loaded between programs.
wineserver -p >/dev/null 2>&1

system32="$WINEPREFIX/drive_c/windows/system32"
folder="$WINEPREFIX/drive_c/Program Files/Korvel Touch"
mkdir -p "$folder"
unzip -q "$archive" -d "$folder"
check "unpacked: the archive's checksums hold" OK \
    "$(cd "$folder" && sha256sum --quiet -c SHA256SUMS >/dev/null 2>&1 && echo OK)"
check "no applet in the system folder before" no "$([ -e "$system32/Korvelpad.cpl" ] && echo yes || echo no)"

# Into a file: a service that the command may start would hold a pipe open.
devices_out="$RIG_STATE/release_devices.out"
wine "$KORVEL_TOOLS/setupdi_devices.exe" add 1 'USB\VID_7E03&PID_0020&REV_0100' 'USB\VID_7E03&PID_0020' >"$devices_out" 2>&1
[ "$(tr -d '\r' <"$devices_out")" = "made 1" ] ||
    e2e_stop "no supported touchscreen plugged in: tools/setupdi_devices.exe said \"$(tr -d '\r' <"$devices_out" | paste -sd ' ')\""
timeout 120 wine 'C:\Program Files\Korvel Touch\Korvelseek.exe' >/dev/null 2>&1
check "Korvelseek run from Program Files ends by itself" 0 "$?"

for file in Korvelpad.cpl Korvelaim.exe; do
    check "installed: $file in the system folder, as shipped" same \
        "$(cmp -s "$folder/$file" "$system32/$file" && echo same || echo different)"
done
check "installed: the driver" same \
    "$(cmp -s "$folder/korvelscreen.sys" "$system32/drivers/korvelscreen.sys" && echo same || echo different)"

# The restart that follows a driver installation.
restart_windows
check "the installed driver runs" yes "$(driver_running && echo yes || echo no)"

wine control Korvelpad.cpl >/dev/null 2>&1 &
control=$!
wait_window "$SHEET_TITLE"
shot release-sheet
click 1011

# calibrator_running: a process of this prefix runs the calibration program from the
# system folder; Wine shows a program's Windows command line as its own.
calibrator_running() {
    local pid
    for pid in $(prefix_pids 'Korvelaim\.exe'); do
        tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qi '^C:\\windows\\system32\\Korvelaim\.exe' && return 0
    done
    return 1
}
wait_for 60 "no C:\\windows\\system32\\Korvelaim.exe started by the Calibration button" calibrator_running
shot release-calibration
fresh_down
wait "$control" 2>/dev/null
e2e_done
