# Sourced by the applet's end-to-end tests after lib.sh: opening the sheet with Wine's
# own control.exe, and looking at it from outside through tools/sheet_probe.exe.

APPLET_CPL="$KORVEL_DIST/Korvelpad.cpl"
# control.exe's Wine errors of an earlier test in this lane are not this one's.
rm -f "$RIG_STATE/control.err"
SHEET_TITLE='Korvel Touchscreen Properties'

probe() { winprobe "$@"; }

# fields ID:KEY...: values of the current page's controls, space-separated, from one
# look at the page (of a text with spaces, its first word): each state line's words
# become ID:KEY=VALUE for pick.
fields() {
    local pair ids=()
    for pair; do ids+=("${pair%%:*}"); done
    probe state $(printf '%s\n' "${ids[@]}" | sort -u) |
        awk '{ for (i = 2; i <= NF; i++) printf "%s:%s\n", substr($1, 4), $i }' | pick "$@"
}

# applet_reset: the driver at power-on and no stored settings.
applet_reset() {
    driver_running || driver_restart
    settings_reset
}

# seed NAME VALUE [NAME VALUE...]: stores settings values as REG_DWORDs.
seed() { need "settings values stored" reg_set_dwords "$PARAMETERS_PATH" "$@"; }

# stored_values: how many values the parameters key holds.
stored_values() {
    wine reg query "HKLM\\$PARAMETERS_PATH" 2>/dev/null | tr -d '\r' | grep -c 'REG_'
}

# open_sheet [WINDOWS-PATH]: control.exe on the applet, in the background; waits for
# the sheet and stops the test when none comes, saying whether control.exe had ended,
# whether it loaded the applet and whether the applet's one-sheet mutex is left; Wine's
# errors for it are kept for e2e_stop_details. CONTROL_PID is the control.exe launcher.
open_sheet() {
    local cpl=${1:-} ended log="$RIG_STATE/control.err"
    # What a winepath that failed printed is no path: control.exe would take it as one.
    if [ -z "$cpl" ]; then
        cpl=$(winepath -w "$APPLET_CPL") || e2e_stop "winepath gave no Windows path for $APPLET_CPL (exit status $?)"
    fi
    WINEDEBUG=err+all,warn+shlctrl,+loaddll wine control "$cpl" >/dev/null 2>"$log" &
    CONTROL_PID=$!
    if ! winprobe window "$SHEET_TITLE" 60 >/dev/null; then
        ended="control.exe still running"
        if ! kill -0 "$CONTROL_PID" 2>/dev/null; then
            wait "$CONTROL_PID"
            ended="control.exe ended with status $?"
        fi
        e2e_stop "no window \"$SHEET_TITLE\" after 60 s; $ended; the applet loaded: \
$(grep -qi 'loaddll:.*Korvelpad\.cpl' "$log" && echo yes || echo no); the mutex TamPanel: $(probe mutex TamPanel)"
    fi
    wait_foreground "$SHEET_TITLE"
}

# e2e_stop_details: when a test stops, what Wine reported for the last sheet opened.
e2e_stop_details() {
    [ -s "$RIG_STATE/control.err" ] &&
        echo "     Wine said for control.exe: $(grep -v ':loaddll:' "$RIG_STATE/control.err" | tail -n 5 | paste -sd '|')"
}

# control_ended: no control.exe of this rig's prefix is left. The launcher may end
# before control.exe, and the next open must not find the last one's mutex.
control_ended() { [ -z "$(prefix_pids 'control\.exe')" ]; }

# close_sheet ok|cancel: presses the button and waits for control.exe to end; while
# it lives, the applet's mutex refuses the next sheet.
close_sheet() {
    need "the sheet's $1 button pressed" probe press "$1"
    wait_control_ended
}

wait_control_ended() {
    wait_for 60 "control.exe of the last sheet still running" control_ended
    wait "$CONTROL_PID" 2>/dev/null
    return 0
}

# click ID: a real mouse click on the visible middle of a control.
click() {
    local xy
    xy=$(probe center "$1") || e2e_stop "no control $1 on the sheet to click"
    xdotool mousemove $xy click 1
    sleep 0.3
}

# settled: the sheet has handled the input sent so far; settle waits for it.
settled() { [ "$(probe responds)" = yes ]; }
settle() { wait_for 60 "the sheet not answering" settled; }

# visit N: brings page N forward, as a click on its tab does.
visit() { need "page $1 brought forward" probe visit "$1"; }

# driver_stopped: the simulated driver's service has fully stopped (a stop pending
# still serves the device).
driver_stopped() { wine sc query Korvelscreen 2>/dev/null | grep -q STOPPED; }

driver_running() { wine sc query Korvelscreen 2>/dev/null | grep -q RUNNING; }

# restart_windows: what a restart after a driver's installation does, in a prefix whose
# driver a package installed: a fresh wineserver, and the service started for the
# simulated device, which has no bus to start it.
restart_windows() {
    local attempt
    wineserver -k
    wineserver -w
    wineserver -p >/dev/null 2>&1
    for attempt in 1 2 3 4 5; do
        wine sc start Korvelscreen >/dev/null 2>&1
        wait_until 5 driver_running && return 0
    done
    return 1
}

# driver_restart: starts the stopped driver again; a start right after a stop can
# fail, so it is tried a few times before the test stops.
driver_restart() {
    local attempt
    for attempt in 1 2 3 4 5; do
        rig_driver_up >/dev/null 2>&1
        wait_until 5 driver_running && return 0
    done
    e2e_stop "the simulated driver not running again after 5 starts"
}

# The static texts whose template width itself runs past the page's 212 units: the
# only controls that may reach past the visible part of their page.
PAGE_OVERFLOW_ALLOWED="-1 Static Touchscreen calibration utility converts touchscreen coordinates into screen video coordinates.
-1 Static *. Initially install your touchscreen and corresponding      software.
-1 Static *. Notice the cursor isn't lined with your finger."

# check_pages_fit DPI: on every page every visible control lies inside the page's
# visible part, the Calibration button included, but for those texts; a screenshot of
# each page, applet_page_N_DPIdpi.
check_pages_fit() {
    local page overflow visible=(7 12 15 7)
    for page in 0 1 2 3; do
        visit $page
        settle
        overflow=$(probe overflow)
        check "$1 dpi, page $page: its visible controls checked" "checked ${visible[$page]}" "$(tail -n 1 <<<"$overflow")"
        check "$1 dpi, page $page: no control reaches past the page" "" \
            "$(sed '$d' <<<"$overflow" | grep -vxF -e "$PAGE_OVERFLOW_ALLOWED")"
        shot "applet_page_${page}_${1}dpi"
    done
}

# use_dpi N: the prefix's screen resolution (96 is Wine's own). It takes effect with a
# fresh wineserver, so the server and the simulated driver are started anew, as the
# rig starts them.
use_dpi() {
    if [ "$1" = 96 ]; then
        wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
    else
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    fi
    wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
        /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -k 2>/dev/null
    wineserver -w
    wineserver -p >/dev/null 2>&1
    driver_restart
}
