#!/usr/bin/env bash
# The Windows Installer package of this architecture, as an administrator rolls it out,
# in a fresh prefix of its own with a supported touchscreen plugged in. A lower version
# (built here from the same files) installs silently and gets a calibration stored;
# the package installs over it: the files under Program Files, the applet and the
# calibration program in the system folder, the driver package staged, the driver
# bound to the device, the Start menu entry and one Add/Remove Programs entry, the
# calibration kept. The lower version is then refused, a repair brings deleted files
# back, korvelctl works from the installed folder, and a silent removal leaves no file,
# entry, device, service or staged package behind. Then the refusals of Windows NT 4.0
# and, in a 64-bit prefix, of the x86 package, and last the restart that the driver's
# installation asks for, which msiexec passes on.
. "$(dirname "$0")/lib.sh" "$1"
. "$(dirname "$0")/applet_lib.sh"
. "$(dirname "$0")/installer_lib.sh"

package=$(ls "$RIG_BUILD"/release/korvel-touch-*.msi 2>/dev/null | head -n 1)
need "the package built" test -f "$package"
version=$(basename "$package" .msi | cut -d- -f3)
arch=$(basename "$package" .msi | cut -d- -f4)
lower_version=$(awk -F. '{ printf "%d.%d.%d.%d", $1, $2, $3, $4 - 1 }' <<<"$version")
lower="$RIG_STATE/korvel-touch-lower.msi"
echo "An older release." >"$RIG_STATE/lower-README.txt"
need "a lower version $lower_version built" bash "$e2e_top/release/make_package.sh" "$arch" "$lower_version" \
    "$lower" "$KORVEL_DIST" "$RIG_STATE/lower-README.txt" "$KORVEL_DIST/KorvelMsiAction.dll"

fresh_prefix msi
wineserver -p >/dev/null 2>&1

drive="$WINEPREFIX/drive_c"
system32="$drive/windows/system32"
folder="$drive/Program Files/Korvel Touchscreen"
uninstall='Software\Microsoft\Windows\CurrentVersion\Uninstall'

[ "$(devices add 1 'USB\VID_7E03&PID_0020&REV_0100' 'USB\VID_7E03&PID_0020')" = "made 1" ] ||
    e2e_stop "no supported touchscreen plugged in"

# msiexec PACKAGE-OPTION...: Wine's msiexec, its log into RIG_STATE/msi.log; the exit
# code, of which a Unix exit status keeps the low 8 bits: 1603 is 67, 3010 is 194.
msiexec() {
    wine msiexec "$@" /l*v 'Z:'"${RIG_STATE//\//\\}"'\msi.log' >/dev/null 2>&1
}
# product_entry: the Add/Remove Programs key of our product, empty when none.
product_entries() {
    wine reg query "HKLM\\$uninstall" /s 2>/dev/null | tr -d '\r' |
        awk '/^HKEY/ { key = $0 } $1 == "DisplayName" && /Korvel Touchscreen/ { print key }'
}

msiexec /i "$(windows_path "$lower")" /qn
check "silent install of $lower_version: done" 0 "$?"
key=$(product_entries)
key=${key#HKEY_LOCAL_MACHINE\\}
check "its entry" "$lower_version" "$(reg_text "$key" DisplayVersion)"
calibration="XLow 111 XHigh 3999 YLow 222 YHigh 3888 SwapXY 1"
# shellcheck disable=SC2086 # the names and values
reg_set_dwords "$PARAMETERS_PATH" $calibration

msiexec /i "$(windows_path "$package")" /qn
check "silent install of $version over it: done" 0 "$?"
check "the calibration kept" "111 3999 222 3888 1" "$(reg_dword "$PARAMETERS_PATH" XLow XHigh YLow YHigh SwapXY)"
check "the new README" "" "$(differing "$RIG_BUILD/release" "$folder" README.txt)"
check "installed under Program Files as built: none differs" "" "$(differing "$KORVEL_DIST" "$folder" \
    Korvelseek.exe KorvelUsb.inf korvelscreen.sys Korvelpad.cpl Korvelaim.exe korvelctl.exe)"
check "installed in the system folder as built: none differs" "" \
    "$(differing "$KORVEL_DIST" "$system32" Korvelpad.cpl Korvelaim.exe)"
check "the driver package staged" 1 "$(staged_packages | wc -l)"
check "the driver from the package" "" "$(differing "$KORVEL_DIST" "$system32/drivers" korvelscreen.sys)"
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

msiexec /i "$(windows_path "$lower")" /qn
# Refused by a launch condition on the newer version found; Wine's msiexec ends with 0
# for it (Windows: 1603) and writes no message into its log.
check "$lower_version over $version: refused" "KORVEL_NEWER_VERSION = $version" \
    "$(grep -ao "KORVEL_NEWER_VERSION = [0-9.]*" "$RIG_STATE/msi.log")"
check "nothing changed" "1|$version|" "$(product_entries | grep -c .)|$(reg_text "$key" DisplayVersion)|$(
    differing "$RIG_BUILD/release" "$folder" README.txt)"

rm -f "$folder/korvelctl.exe" "$system32/Korvelaim.exe"
# What msiexec /fa does; Wine's msiexec /fa repaired nothing here (with the package's
# path it ended with 1605, with the product code with 1 and no log).
msiexec /i "$(windows_path "$package")" REINSTALL=ALL REINSTALLMODE=amus /qn
check "repair: done, the deleted files back" "0||" "$?|$(differing "$KORVEL_DIST" "$folder" korvelctl.exe)|$(
    differing "$KORVEL_DIST" "$system32" Korvelaim.exe)"

# The restart that follows the driver's installation; then korvelctl from the installed folder.
restart_windows
status=$(wine 'C:\Program Files\Korvel Touchscreen\korvelctl.exe' status 2>&1 | tr -d '\r')
check "korvelctl status from the installed folder, with the stored calibration" "yes" \
    "$(grep -qx 'mouse_mode=[0-3]' <<<"$status" && grep -qx 'stored.XLow=111' <<<"$status" && echo yes || echo "$status")"

msiexec /x "$(windows_path "$package")" /qn
status=$?
check "silent removal: done (or a restart asked for)" yes "$( { [ $status = 0 ] || [ $status = 194 ]; } && echo yes || echo $status)"
echo "     msiexec /x ended with $status"
# The restart, which also deletes what was in use.
[ $status = 194 ] && wine wineboot -r >/dev/null 2>&1
check "removed: no file of the package left" "" "$(find "$drive" \( -iname 'Korvel*' -o -iname 'korvelctl.exe' \) -printf '%P ')"
check "removed: no staged package" 0 "$(staged_packages | wc -l)"
check "removed: no service" yes "$(service_key_gone && echo yes)"
check "removed: the device, found again as new hardware" 0 "$(devices count)"
check "removed: no Add/Remove Programs entry, no key of ours" "|" \
    "$(product_entries)|$(wine reg query 'HKLM\Software\Korvel' >/dev/null 2>&1 && echo there)"

# refused WHAT CONDITION PACKAGE: msiexec /i fails (1603, seen as 67) on the launch
# condition CONDITION and installs nothing. Wine writes no message into its log; the
# package's own text for the condition is shown with it.
refused() {
    msiexec /i "$(windows_path "$3")" /qn
    check "$1: refused, nothing installed" "67||" "$?|$(product_entries)|$(ls "$folder" 2>/dev/null)"
    echo "     its message: $(msiinfo export "$3" LaunchCondition | awk -F'\t' -v c="$2" '$1 == c { print $2 }')"
}
nt4='HKCU\Software\Wine\AppDefaults\msiexec.exe'
wine reg add "$nt4" /v Version /d nt40 /f >/dev/null 2>&1
refused "Windows NT 4.0" "Installed OR VersionNT >= 500" "$package"
wine reg delete "$nt4" /f >/dev/null 2>&1
if [ "$RIG_BITS" = 64 ]; then
    need "an x86 package built" bash "$e2e_top/release/make_package.sh" x86 "$version" "$RIG_STATE/korvel-touch-x86.msi" \
        "$KORVEL_DIST" "$RIG_BUILD/release/README.txt" "$KORVEL_DIST/KorvelMsiAction.dll"
    refused "the x86 package on 64-bit Windows" "Installed OR NOT VersionNT64" "$RIG_STATE/korvel-touch-x86.msi"
fi

# A package whose Korvelseek ends with 3010, as after a driver update that needs a restart.
standin="$RIG_STATE/standin-dist"
rm -rf "$standin"
mkdir -p "$standin"
cp "$KORVEL_DIST"/* "$standin/"
cp "$KORVEL_TOOLS/calibrator_standin.exe" "$standin/Korvelseek.exe"
need "a package with a stand-in built" bash "$e2e_top/release/make_package.sh" "$arch" "$version" \
    "$RIG_STATE/korvel-touch-standin.msi" "$standin" "$RIG_BUILD/release/README.txt" "$KORVEL_DIST/KorvelMsiAction.dll"
msiexec /i "$(windows_path "$RIG_STATE/korvel-touch-standin.msi")" /qn
check "a restart asked for: 3010 (seen as 194), no mark left" "194 gone" \
    "$? $(wine reg query 'HKLM\SOFTWARE\Korvel Touchscreen Restart' >/dev/null 2>&1 && echo left || echo gone)"
fresh_down
e2e_done
