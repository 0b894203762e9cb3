#!/usr/bin/env bash
# Korvelseek with a supported device present: it installs the driver package from its
# own folder, whatever the current directory, and the installed driver answers; also
# from a folder where someone left DLLs named as the Windows DLLs it needs, none of
# which it may load. Then the same with /quiet: no window, the package staged in
# Windows' INF folder, and the exit codes of a bad command line and of a package
# missing beside the program.
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
check "with its window: the dialog was built" yes "$(grep -q 'trace:dialog' "$log" && echo yes)"

run=quiet
restore_plain_driver
unstage_packages
check "$run: device made" "made 1" "$(devices add 1 'USB\VID_7E03&PID_0020&REV_0100' 'USB\VID_7E03&PID_0020')"
remove_rig_driver
# From the folder with the planted DLLs: the step that the package runs as the system.
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;newdev,setupapi=n,b" WINEDEBUG=trace+setupapi,trace+dialog \
    wine "$planted/Korvelseek.exe" /quiet >/dev/null 2>"$log"
check "$run: done" 0 "$?"
check "$run: no window, no message" "" "$(grep -m1 'trace:dialog' "$log")"
check "$run: no DLL of the program's folder loaded" "" "$(cd "$planted" && ls ./*.ran 2>/dev/null)"
check "$run: one update per supported ID with the package beside the program" \
    "$(expected_calls "$inf")" "$(update_calls "$log")"
check "$run: package staged" 1 "$(staged_packages | wc -l)"
check "$run: driver copied from the package" same "$(cmp -s "$KORVEL_DIST/korvelscreen.sys" "$DRIVER_COPY" && echo same)"
check "$run: service from the package" "Korvel USB Touchscreen Driver (simulated)" "$(reg_text "$SERVICE_PATH" DisplayName)"
wine "$KORVEL_DIST/Korvelseek.exe" -QUIET >/dev/null 2>&1
check "$run again: done, the package staged once" "0 1" "$? $(staged_packages | wc -l)"

# Exit codes and the one line on standard error.
lone="$RIG_BUILD/installer-lone"
mkdir -p "$lone"
cp "$KORVEL_DIST/Korvelseek.exe" "$lone/"
for row in "/quiet /now|2|Korvelseek: usage: Korvelseek [/quiet [/remove]]" "/remove|2|Korvelseek: usage: " \
    "/quiet|1|Korvelseek: $(windows_path "$lone")\KorvelUsb.inf 2: "; do
    IFS='|' read -r words code line <<<"$row"
    # shellcheck disable=SC2086 # the words are the command line
    wine "$lone/Korvelseek.exe" $words >/dev/null 2>"$RIG_STATE/quiet.err"
    status=$?
    said=$(tr -d '\r' <"$RIG_STATE/quiet.err" | grep '^Korvelseek: ')
    check "Korvelseek $words (no package beside it): exit code, one line" "$code 1 yes" \
        "$status $(grep -c . <<<"$said") $([[ "$said" == "$line"* ]] && echo yes)"
done
e2e_done
