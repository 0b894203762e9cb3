#!/usr/bin/env bash
# The installer finding the simulated touchscreen. A device with a supported USB
# hardware ID is made present in the prefix, the driver that the rig installed by
# hand is taken away, and Korvelseek searches, finds the device and installs the
# driver package beside it: the service Korvelscreen comes back from KorvelUsb.inf
# and the touchscreen's control device answers again. Without the user's display the
# dialog is held still for a moment in each phase and photographed.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$top/scripts/lib/rig.sh"
rig_use "$(dirname "$KORVEL_DIST")"

title='Korvel Scan Device'
service='HKLM\System\CurrentControlSet\Services\Korvelscreen'
devices() { wine "$KORVEL_TOOLS/setupdi_devices.exe" "$@" | tr -d '\r'; }
probe() { wine "$KORVEL_TOOLS/installer_probe.exe" "$@" | tr -d '\r'; }
show_service() {
    if wine reg query "$service" >/dev/null 2>&1; then
        wine reg query "$service" | tr -d '\r' | grep -E 'DisplayName|ImagePath|Start|Type' | sed 's/^ */    /'
        wine sc query Korvelscreen | tr -d '\r' | grep STATE | sed 's/^ */    /'
    else
        echo "    not installed"
    fi
}
snapshot() {
    probe hold "$title" 1001 "$1" "${@:3}" >/dev/null
    import -window root "$KORVEL_DEMO_SHOTS/$2.png"
    echo "  the dialog shows \"$1\" (bar $(probe bar "$title" 1000)): $2.png"
    probe release "$title" >/dev/null
}
trap 'devices remove >/dev/null' EXIT

devices remove >/dev/null
# Other devices first, so that the search has something to look through.
devices add 400 'USB\VID_046D&PID_C077&REV_7200' 'USB\VID_046D&PID_C077' >/dev/null
devices add 1 'USB\VID_7E01&PID_0001&REV_0100' 'USB\VID_7E01&PID_0001' >/dev/null
echo "plugged in: 400 other devices and the touchscreen USB\\VID_7E01&PID_0001"

# The settings that the earlier parts stored live under the service's key: kept aside
# and put back once the service is installed again.
settings="$KORVEL_DEMO_SHOTS/installer-parameters.reg"
rm -f "$settings"
wine reg export "$service\Parameters" "$(winepath -w "$settings")" >/dev/null 2>&1 || true
rig_driver_down || echo "(the running driver did not stop)"
wine sc delete Korvelscreen >/dev/null 2>&1 || true
rm -f "$WINEPREFIX/drive_c/windows/system32/drivers/korvelscreen.sys"
echo "service Korvelscreen before Korvelseek runs:"
show_service

wine "$KORVEL_DIST/Korvelseek.exe" &
korvelseek=$!
if [ "${KORVEL_DEMO_INTERACTIVE:-0}" != 1 ]; then
    snapshot 'Searching Device...' installer-searching 1000 1
    snapshot 'Install Device...' installer-installing
fi
wait "$korvelseek"
echo "Korvelseek ended with exit code $?"

echo "service Korvelscreen after Korvelseek ran:"
show_service
if [ -f "$settings" ]; then
    wine reg import "$(winepath -w "$settings")" >/dev/null 2>&1 || true
fi
rig_service_running || wine sc start Korvelscreen >/dev/null 2>&1 || true
echo "\\\\.\\KORVELUSB: $(probe touch)"
