#!/usr/bin/env bash
# Korvelseek with a supported device present: it installs the driver package from its
# own folder, whatever the current directory, and the installed driver answers; also
# from a folder where someone left DLLs named as the Windows DLLs it needs, none of
# which it may load.
. "$(dirname "$0")/lib.sh" "$1"
. "$(dirname "$0")/installer_lib.sh"
trap installer_cleanup EXIT

simctl reset >/dev/null
devices remove >/dev/null

# A package of the same name in the other current directory that would install the
# service under another display name: it must not be the one used.
elsewhere="$RIG_BUILD/installer-elsewhere"
mkdir -p "$elsewhere"
sed 's/^KorvelUsb.ServiceName=.*/KorvelUsb.ServiceName="Wrong package"/' "$KORVEL_DIST/KorvelUsb.inf" >"$elsewhere/KorvelUsb.inf"

# setupapi.dll and newdev.dll beside the program, each leaving a mark when loaded, and
# Wine told to prefer them as Windows does for a DLL that is no KnownDLL.
planted="$RIG_BUILD/installer-planted"
rm -rf "$planted"
cp -r "$KORVEL_DIST" "$planted"
cp "$KORVEL_TOOLS"/planted/*.dll "$planted/"

for where in "$KORVEL_DIST" "$elsewhere" "$planted"; do
    run="from $(basename "$where")"
    folder=$KORVEL_DIST
    overrides=$WINEDLLOVERRIDES
    if [ "$where" = "$planted" ]; then
        folder=$planted
        overrides="$WINEDLLOVERRIDES;newdev,setupapi=n,b"
    fi
    inf=$(windows_path "$folder/KorvelUsb.inf")
    [ -n "$INSTALLED" ] && restore_plain_driver
    # A device reports its most specific ID first: the match is on the one without revision.
    check "$run: device made" "made 1" "$(devices add 1 'USB\VID_7E03&PID_0020&REV_0100' 'USB\VID_7E03&PID_0020')"
    remove_rig_driver
    check "$run: no service before" yes "$(service_key_gone && [ ! -e "$DRIVER_COPY" ] && echo yes)"

    log="$RIG_STATE/installer_install.log"
    cd "$where"
    WINEDLLOVERRIDES=$overrides start_installer "$log" "$folder/Korvelseek.exe"
    cd - >/dev/null
    INSTALLED=yes
    wait_installer 120
    check "$run: ends by itself" 0 "$INSTALLER_STATUS"
    check "$run: one update per supported ID with the package beside the program" \
        "$(expected_calls "$inf")" "$(update_calls "$log")"
    check "$run: no DLL of the program's folder loaded" "" "$(cd "$folder" && ls ./*.ran 2>/dev/null)"
    check "$run: setupapi and newdev from the system folder" \
        "$(printf '%s\n' 'C:\windows\system32\setupapi.dll' 'C:\windows\system32\newdev.dll')" \
        "$(loaded_dlls "$log" setupapi.dll newdev.dll)"
    check "$run: comctl32 6, as the manifest asks" yes \
        "$(loaded_dlls "$log" comctl32.dll | grep -qi '^C:\\windows\\winsxs\\[^\\]*common-controls[^\\]*_6\.0\.' && echo yes)"

    check "$run: service from the package" "Korvel USB Touchscreen Driver (simulated)" "$(reg_text "$SERVICE_PATH" DisplayName)"
    check "$run: kernel driver" 1 "$(reg_dword "$SERVICE_PATH" Type)"
    check "$run: started on demand" 3 "$(reg_dword "$SERVICE_PATH" Start)"
    check "$run: image" 'C:\windows\system32\drivers\korvelscreen.sys' "$(reg_text "$SERVICE_PATH" ImagePath)"
    check "$run: driver copied from the package" same "$(cmp -s "$KORVEL_DIST/korvelscreen.sys" "$DRIVER_COPY" && echo same)"

    rig_service_running || wine sc start "$RIG_SERVICE" >/dev/null 2>&1
    check "$run: service runs" yes "$(wait_until 15 rig_service_running && echo yes)"
    answer=$(probe touch)
    check "$run: \\\\.\\KORVELUSB answers" "mouse mode" "${answer% *}"
done
e2e_done
