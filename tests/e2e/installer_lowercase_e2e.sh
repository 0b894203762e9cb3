#!/usr/bin/env bash
# Korvelseek with a device that reports a supported ID in lower case: the device is
# found and the driver update is asked for every supported ID. (Wine itself compares
# IDs by case when installing, so it installs nothing for this device.)
. "$(dirname "$0")/lib.sh" "$1"
. "$(dirname "$0")/installer_lib.sh"
trap installer_cleanup EXIT

simctl reset >/dev/null
devices remove >/dev/null
# Devices are listed in the order they were made: the near misses come first, so the
# search reads them before it reaches the supported one.
check "near misses made" "made 100" "$(devices add 100 'USB\VID_7E03&PID_0020&REV_0100' 'USB\VID_7E03&PID_002')"
check "device made" "made 1" "$(devices add 1 'usb\vid_7e03&pid_0020&rev_0100' 'usb\vid_7e03&pid_0020')"

log="$RIG_STATE/installer_lowercase.log"
start_installer "$log"
INSTALLED=yes
check "held while installing" ok "$(probe hold "$INSTALLER_TITLE" 1001 'Install Device...' >/dev/null && echo ok)"
shot installer_installing
probe release "$INSTALLER_TITLE" >/dev/null
wait_installer 120
check "ends by itself" 0 "$INSTALLER_STATUS"
check "one update per supported ID" "$(expected_calls "$(windows_path "$KORVEL_DIST/KorvelUsb.inf")")" \
    "$(update_calls "$log")"
e2e_done
