# Sourced by the installer's end-to-end tests after lib.sh: devices in the prefix,
# Korvelseek started with Wine's device-installer trace, and a look at its dialog.
INSTALLER_TITLE='Korvel Scan Device'
SERVICE_PATH='System\CurrentControlSet\Services\Korvelscreen'
DRIVER_COPY="$WINEPREFIX/drive_c/windows/system32/drivers/korvelscreen.sys"
INSTALLER_PID=

devices() { wine "$KORVEL_TOOLS/setupdi_devices.exe" "$@" | tr -d '\r'; }
probe() { wine "$KORVEL_TOOLS/installer_probe.exe" "$@" | tr -d '\r'; }

# start_installer LOG [EXE]: starts the program in the background, Wine's setupapi,
# dialog and loader traces going to LOG; the shell's current directory is the program's.
start_installer() {
    WINEDEBUG=trace+setupapi,trace+dialog,+loaddll wine "${2:-$KORVEL_DIST/Korvelseek.exe}" >/dev/null 2>"$1" &
    INSTALLER_PID=$!
}

installer_ended() { ! kill -0 "$INSTALLER_PID" 2>/dev/null; }
dialog_gone() { ! winprobe window "$INSTALLER_TITLE"; }

# wait_installer SECONDS: sets INSTALLER_STATUS to the program's exit code; stops the
# test when it did not end in time. Not for a subshell: only this shell can wait.
wait_installer() {
    wait_for "$1" "Korvelseek still running" installer_ended
    wait "$INSTALLER_PID"
    INSTALLER_STATUS=$?
    INSTALLER_PID=
}

# update_calls LOG: one line per UpdateDriverForPlugAndPlayDevices call that the
# program made: "HARDWARE-ID INF-PATH FLAGS".
update_calls() {
    sed -n 's/.*UpdateDriverForPlugAndPlayDevicesW parent [0-9A-Fa-f]*, hardware_id L"\(.*\)", inf_path L"\(.*\)", flags \(0x[0-9a-f]*\),.*/\1 \2 \3/p' "$1" |
        sed 's/\\\\/\\/g'
}

# loaded_dlls LOG NAME...: the file from which the program loaded each of those DLLs.
loaded_dlls() {
    local log=$1 name
    shift
    for name; do
        sed -n 's/.*:loaddll:.*Loaded L"\(.*\)" at .*/\1/p' "$log" | sed 's/\\\\/\\/g' | grep -i "\\\\$name\$"
    done
}

# expected_calls INF-PATH: the five calls, in the order of the supported table.
expected_calls() {
    local id
    for id in 'USB\VID_7E01&PID_0001' 'USB\VID_7E02&PID_0001' 'USB\VID_7E03&PID_0007' \
        'USB\VID_7E03&PID_0020' 'USB\VID_7E04&PID_0001'; do
        echo "$id $1 0x1"
    done
}

windows_path() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }

# Once the package is installed for a present device, Wine runs the driver as that
# device's function driver, which accepts no stop. Without the device and with a
# fresh wineserver the driver is back to a plain service that tests stop and start.
restore_plain_driver() {
    devices remove >/dev/null
    wineserver -k
    wineserver -w
    # Into no pipe: the server would hold the test's output open until the prefix ends.
    wineserver -p >/dev/null 2>&1
    rig_driver_up
}

# staged_packages: the copies of our package in Windows' INF folder, a line each
# (Windows names them oemN.inf, Wine 8 keeps the package's own name).
staged_packages() {
    grep -l '^; KorvelUsb.inf: the Korvel USB touchscreen driver package' "$WINEPREFIX"/drive_c/windows/inf/*.inf 2>/dev/null
}
unstage_packages() {
    local inf
    for inf in $(staged_packages); do rm -f "$inf" "${inf%.inf}.pnf"; done
}

# Whatever the test leaves: a held or running program, its devices, the driver
# installed from the package or stopped.
INSTALLED=
installer_cleanup() {
    unstage_packages
    if [ -n "$INSTALLER_PID" ] && kill -0 "$INSTALLER_PID" 2>/dev/null; then
        probe release "$INSTALLER_TITLE" >/dev/null 2>&1
        wait_until 10 installer_ended || kill "$INSTALLER_PID" 2>/dev/null
        wait "$INSTALLER_PID" 2>/dev/null
    fi
    if [ -n "$INSTALLED" ]; then
        restore_plain_driver
    else
        devices remove >/dev/null
        rig_driver_up
    fi
}

# reg_text PATH NAME: a string value of HKLM\PATH, empty when missing.
reg_text() {
    wine reg query "HKLM\\$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v n="$2" '$1 == n && $2 ~ /^REG_(EXPAND_)?SZ$/ { sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]+/, ""); print }'
}

# Takes the rig's driver away (service and file), so that only an install from the
# package can bring it back; installer_cleanup puts it back when nothing did.
remove_rig_driver() {
    rig_driver_down
    wine sc delete "$RIG_SERVICE" >/dev/null 2>&1
    wait_for 60 "the service key of $RIG_SERVICE still there after sc delete" service_key_gone
    rm -f "$DRIVER_COPY"
}

service_key_gone() { ! wine reg query "HKLM\\$SERVICE_PATH" >/dev/null 2>&1; }
