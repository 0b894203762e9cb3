#!/usr/bin/env bash
# Korvelseek with no supported device present: the dialog shows the search, stays
# up against every way of ending it from outside while the search runs, searches to
# the end, closes by itself and installs nothing.
. "$(dirname "$0")/lib.sh" "$1"
. "$(dirname "$0")/installer_lib.sh"
trap installer_cleanup EXIT

simctl reset >/dev/null
devices remove >/dev/null
# Near misses only (a revision part, a shorter product, a vendor not supported), and
# enough devices that the search runs long enough for its bar to move.
count=500
check "devices made" "made $count" \
    "$(devices add $count 'USB\VID_7E01&PID_0001&REV_0100' 'USB\VID_7E01&PID_000' 'usb\vid_7e05&pid_0001')"

log="$RIG_STATE/installer_search.log"
start_installer "$log"
# The worker is held still in the middle of the search, once the bar has moved, so
# that what follows sees the dialog as it searches, whatever the speed of the machine.
check "held while searching" ok \
    "$(probe hold "$INSTALLER_TITLE" 1001 'Searching Device...' 1000 1 >/dev/null && echo ok)"
shot installer_searching
bar=$(probe bar "$INSTALLER_TITLE" 1000)
check "bar range while searching" 100 "${bar#*/}"
check "bar moved and short of its end while searching" yes \
    "$([ "${bar%/*}" -ge 1 ] && [ "${bar%/*}" -lt 100 ] && echo yes)"

wait_window "$INSTALLER_TITLE"
wait_foreground "$INSTALLER_TITLE"
check "the dialog has the keyboard" "$INSTALLER_TITLE" "$(winprobe foreground)"
xdotool key Return Escape alt+F4
for way in close sysclose ok cancel quit; do
    check "asked to end: $way" "posted $way" "$(probe end "$INSTALLER_TITLE" "$way")"
done
check "the dialog stays up while the search runs" up "$(wait_until 2 dialog_gone && echo gone || echo up)"
check "the program runs on" yes "$(installer_ended || echo yes)"
check "status after the requests" 'Searching Device...' "$(probe text "$INSTALLER_TITLE" 1001)"

probe release "$INSTALLER_TITLE" >/dev/null
wait_installer 60
check "the dialog closes by itself" 0 "$INSTALLER_STATUS"
check "the search read every device" yes \
    "$([ "$(grep -c 'SetupDiGetDeviceRegistryPropertyA' "$log")" -ge $count ] && echo yes)"
check "no driver update without a device" "" "$(update_calls "$log")"
e2e_done
