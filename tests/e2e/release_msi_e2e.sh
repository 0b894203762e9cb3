#!/usr/bin/env bash
# The Windows Installer package of this architecture, as an administrator rolls it out,
# in a fresh prefix of its own with a supported touchscreen plugged in: a silent
# install puts the files under Program Files, the applet and the calibration program
# into the system folder, stages the driver package, binds the driver to the device,
# and makes the Start menu and Add/Remove Programs entries; korvelctl then works from
# the installed folder. A silent removal then leaves no file, entry, device, service
# or staged package behind.
. "$(dirname "$0")/lib.sh" "$1"
. "$(dirname "$0")/applet_lib.sh"
. "$(dirname "$0")/installer_lib.sh"

package=$(ls "$RIG_BUILD"/release/korvel-touch-*.msi 2>/dev/null | head -n 1)
need "the package built" test -f "$package"
version=$(basename "$package" .msi | cut -d- -f3)

export WINEPREFIX="$RIG_BUILD/msi-prefix"
fresh_down() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    rm -rf "$WINEPREFIX"
}
trap fresh_down EXIT
rm -rf "$WINEPREFIX"
wine wineboot -i >"$RIG_STATE/msi-wineboot.log" 2>&1
wine winecfg -v "$RIG_WINDOWS" >>"$RIG_STATE/msi-wineboot.log" 2>&1
wineserver -p >/dev/null 2>&1

drive="$WINEPREFIX/drive_c"
system32="$drive/windows/system32"
folder="$drive/Program Files/Korvel Touchscreen"
uninstall='Software\Microsoft\Windows\CurrentVersion\Uninstall'

[ "$(devices add 1 'USB\VID_7E03&PID_0020&REV_0100' 'USB\VID_7E03&PID_0020')" = "made 1" ] ||
    e2e_stop "no supported touchscreen plugged in"

# msiexec PACKAGE-OPTION...: Wine's msiexec, its log into RIG_STATE/msi.log; the exit code.
msiexec() {
    wine msiexec "$@" /l*v 'Z:'"${RIG_STATE//\//\\}"'\msi.log' >/dev/null 2>&1
}
# product_entry: the Add/Remove Programs key of our product, empty when none.
product_entries() {
    wine reg query "HKLM\\$uninstall" /s 2>/dev/null | tr -d '\r' |
        awk '/^HKEY/ { key = $0 } $1 == "DisplayName" && /Korvel Touchscreen/ { print key }'
}

msiexec /i "$(windows_path "$package")" /qn
check "silent install: done" 0 "$?"
for file in Korvelseek.exe KorvelUsb.inf korvelscreen.sys Korvelpad.cpl Korvelaim.exe korvelctl.exe; do
    check "installed: $file under Program Files, as built" same \
        "$(cmp -s "$KORVEL_DIST/$file" "$folder/$file" && echo same || echo different)"
done
for file in Korvelpad.cpl Korvelaim.exe; do
    check "installed: $file in the system folder" same \
        "$(cmp -s "$KORVEL_DIST/$file" "$system32/$file" && echo same || echo different)"
done
check "the driver package staged" 1 "$(staged_packages | wc -l)"
check "the driver from the package" same \
    "$(cmp -s "$KORVEL_DIST/korvelscreen.sys" "$DRIVER_COPY" && echo same || echo different)"
check "its service" "Korvel USB Touchscreen Driver (simulated)" "$(reg_text "$SERVICE_PATH" DisplayName)"
check "the device bound to the driver" Korvelscreen "$(devices service)"
check "one Control Panel entry: the applet in the system folder, none registered elsewhere" "1 0" \
    "$(find "$system32" -maxdepth 1 -iname '*.cpl' -exec grep -l 'Korvel' {} + | wc -l) $(
        wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Control Panel\Cpls' 2>/dev/null | grep -ci korvel)"
check "a Start menu shortcut to the calibration" 1 \
    "$(find "$drive" -ipath '*Start Menu/Programs/Korvel Touchscreen Calibration.lnk' | wc -l)"
entry=$(product_entries)
check "one Add/Remove Programs entry" 1 "$(grep -c . <<<"$entry")"
key=${entry#HKEY_LOCAL_MACHINE\\}
check "its name, version and publisher" "Korvel Touchscreen|$version|Korvel" \
    "$(reg_text "$key" DisplayName)|$(reg_text "$key" DisplayVersion)|$(reg_text "$key" Publisher)"

# The restart that follows the driver's installation; then korvelctl from the installed folder.
wineserver -k
wineserver -w
wineserver -p >/dev/null 2>&1
for attempt in 1 2 3 4 5; do
    wine sc start Korvelscreen >/dev/null 2>&1
    wait_until 5 driver_running && break
done
status=$(wine 'C:\Program Files\Korvel Touchscreen\korvelctl.exe' status 2>&1 | tr -d '\r')
check "korvelctl status from the installed folder" "yes" "$(grep -qx 'mouse_mode=[0-3]' <<<"$status" && echo yes || echo "$status")"

msiexec /x "$(windows_path "$package")" /qn
status=$?
check "silent removal: done (or a restart asked for)" yes "$( { [ $status = 0 ] || [ $status = 3010 ]; } && echo yes || echo $status)"
echo "     msiexec /x ended with $status"
# The restart, which also deletes what was in use.
[ $status = 3010 ] && wine wineboot -r >/dev/null 2>&1
check "removed: no file of the package left" "" "$(find "$drive" \( -iname 'Korvel*' -o -iname 'korvelctl.exe' \) -printf '%P ')"
check "removed: no staged package" 0 "$(staged_packages | wc -l)"
check "removed: no service" yes "$(service_key_gone && echo yes)"
check "removed: the device, found again as new hardware" 0 "$(devices count)"
check "removed: no Add/Remove Programs entry, no key of ours" "|" \
    "$(product_entries)|$(wine reg query 'HKLM\Software\Korvel' >/dev/null 2>&1 && echo there)"
fresh_down
e2e_done
