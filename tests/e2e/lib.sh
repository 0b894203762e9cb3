# Sourced by the end-to-end tests: "$1" is the build tree whose rig (prefix,
# simulated driver, Xvfb) the ctest fixture has brought up.
set -u
e2e_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$e2e_top/scripts/lib/rig.sh"
# The test runs again in a free lane of the rig, which it holds to its end.
if [ -z "${KORVEL_RIG_LANE:-}" ]; then
    rig_in_free_lane "$1" bash "$0" "$1"
    exit
fi
rig_use "$1"
rig_skip_unless_runnable
E2E_NAME=$(basename "$0" .sh)
E2E_SHOTS="$RIG_BUILD/screenshots"
mkdir -p "$E2E_SHOTS"
e2e_failures=0
e2e_checks=0

# check WHAT EXPECTED ACTUAL: one assertion, reported either way.
check() {
    e2e_checks=$((e2e_checks + 1))
    if [ "$2" = "$3" ]; then
        echo "ok   $1"
    else
        echo "FAIL $1: expected '$2', got '$3'"
        e2e_failures=$((e2e_failures + 1))
    fi
}

# e2e_done: the test's exit status.
e2e_done() {
    echo "$E2E_NAME: $e2e_checks checks, $e2e_failures failed"
    [ "$e2e_failures" -eq 0 ] && [ "$e2e_checks" -gt 0 ]
}

simctl() {
    wine "$KORVEL_TOOLS/korvelsimctl.exe" "$@" | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# pick KEY...: from the KEY=VALUE words on standard input, the values of those keys
# in that order, space-separated; empty for a key not there.
pick() {
    awk -v want="$*" '{ for (i = 1; i <= NF; i++) if ((p = index($i, "=")) > 0) v[substr($i, 1, p - 1)] = substr($i, p + 1) }
        END { n = split(want, k, " "); for (i = 1; i <= n; i++) printf "%s%s", v[k[i]], i < n ? " " : "\n" }'
}

# sim_state KEY...: values of the simulated driver's state, read at once: each look
# is a Wine process. A look that fails or prints nothing is said on stderr, beside the
# check that then reads empty values.
sim_state() {
    local out status
    out=$(simctl state)
    status=$?
    [ "$status" -eq 0 ] && [ -n "$out" ] || echo "note: korvelsimctl state: status $status, ${#out} bytes out" >&2
    pick "$@" <<<"$out"
}
# sim_look: one look at that state, for the checks after it: seen KEY... reads it.
sim_look() {
    SIM_SEEN=$(simctl state) && [ -n "$SIM_SEEN" ] || e2e_stop "no state from korvelsimctl"
}
seen() { pick "$@" <<<"$SIM_SEEN"; }

# reg_values PATH NAME...: NAME=VALUE for each REG_DWORD of HKLM\PATH asked for, in
# decimal, empty when missing; reg_dword PATH NAME... the values alone. One look.
reg_values() {
    local path=$1 listing name hex out=()
    shift
    listing=$(wine reg query "HKLM\\$path" 2>/dev/null | tr -d '\r')
    for name; do
        hex=$(awk -v n="$name" '$1 == n {print $3}' <<<"$listing")
        out+=("$name=$([ -n "$hex" ] && printf '%d' "$hex")")
    done
    echo "${out[*]}"
}
reg_dword() { reg_values "$@" | sed -E 's/(^| )[^ =]+=/\1/g'; }

# reg_set_dwords PATH NAME VALUE [NAME VALUE...]: REG_DWORDs stored under HKLM\PATH,
# all with one reg import (a file on Wine's drive Z:, which is /).
reg_set_dwords() {
    local path=$1 file="$RIG_STATE/import.reg"
    shift
    {
        printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\%s]\r\n' "$path"
        while [ $# -ge 2 ]; do
            printf '"%s"=dword:%08x\r\n' "$1" "$2"
            shift 2
        done
    } >"$file"
    wine reg import "Z:${file//\//\\}" >/dev/null 2>&1
}

PARAMETERS_PATH='System\CurrentControlSet\Services\Korvelscreen\Parameters'

# settings_reset: the simulated driver at power-on and no Parameters key. A step that
# did not take stops the test here, not at a later check that reads an earlier test's
# values; the key's absence is read from a listing of its parent, which a Wine process
# that failed to run would not give.
settings_cleared() {
    local listing
    listing=$(wine reg query "HKLM\\${PARAMETERS_PATH%\\*}" 2>/dev/null | tr -d '\r')
    [ -n "$listing" ] && ! grep -qi '\\Parameters$' <<<"$listing"
}
settings_reset() {
    simctl reset >/dev/null || e2e_stop "the simulated driver not reset (exit status $?)"
    wine reg delete "HKLM\\$PARAMETERS_PATH" /f >/dev/null 2>&1
    settings_cleared || e2e_stop "the stored settings not deleted"
}

# winprobe COMMAND...: tools/sheet_probe.exe on any program's windows; in the rig's
# Wine virtual desktop they are no X windows, so only Wine can see them.
winprobe() {
    wine "$KORVEL_TOOLS/sheet_probe.exe" "$@" | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

msgbox_up() { winprobe msgbox >/dev/null; }

# e2e_stop WHAT: a condition that the rest of the test depends on does not hold. The
# test fails here, naming it, rather than later checks failing for another reason; a
# test's e2e_stop_details, when defined, adds what it knows.
# Not in a command substitution: it must end the test's own shell.
e2e_stop() {
    e2e_failures=$((e2e_failures + 1))
    echo "FAIL $1 (the screen then: $E2E_SHOTS/${E2E_NAME}_stopped.png)"
    echo "     programs of the prefix then: $(prefix_programs | paste -sd ',' | sed 's/,/, /g')"
    ! declare -F e2e_stop_details >/dev/null || e2e_stop_details
    shot "${E2E_NAME}_stopped"
    echo "$E2E_NAME: stopped after $e2e_checks checks, $e2e_failures failed"
    exit 1
}

# prefix_pids PATTERN: the processes of this shell's prefix whose command line matches
# (other lanes and prefixes run the same programs).
prefix_pids() {
    local pid
    for pid in $(pgrep -f "$1" 2>/dev/null); do
        { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$pid"
    done
}

# prefix_programs: the Windows programs running in this shell's prefix, a line each.
prefix_programs() {
    local pid
    for pid in $(prefix_pids '\.exe'); do
        tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | sed -E 's/ +$//; s/^[^ ]*\\//'
        echo
    done
}

# wait_until SECONDS COMMAND...: polls until the command succeeds, for at most SECONDS
# of wall time however long each poll takes; for a condition that may rightly never hold.
wait_until() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}

# wait_for SECONDS WHAT COMMAND...: polls until the command succeeds, else stops the
# test with "WHAT after SECONDS s". A met condition costs nothing: limits are generous.
wait_for() {
    local seconds=$1 what=$2
    shift 2
    wait_until "$seconds" "$@" || e2e_stop "$what after $seconds s"
}

# need WHAT COMMAND...: a step whose result the rest depends on; stops the test with
# WHAT and the command's exit status when it fails.
need() {
    local what=$1
    shift
    "$@" || e2e_stop "$what (exit status $?)"
}

# wait_window TITLE [SECONDS]: waits for a visible window with that title, else stops.
wait_window() {
    winprobe window "$1" "${2:-60}" || e2e_stop "no window \"$1\" after ${2:-60} s"
}

# wait_foreground TITLE: brings the window of that title forward until it is active
# with a focus and its X window (Wine gives each top-level window one inside the
# desktop's) has the X input focus, so that the keys typed next reach it; else stops.
# Each Wine thread reads its own X connection: keys sent while the X focus is still on
# another thread's window wait there unread.
keys_reach() {
    local id
    winprobe activate "$1" || return 1
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && xdotool windowfocus --sync "$id" 2>/dev/null
    [ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" = "$1" ]
}
wait_foreground() { wait_for 60 "\"$1\" not active with the keyboard" keys_reach "$1"; }

shot() { import -window root "$E2E_SHOTS/$1.png" 2>/dev/null; }

# differing FROM TO FILE...: the files that are missing in TO or differ from FROM there.
differing() {
    local from=$1 to=$2 file out=()
    shift 2
    for file; do cmp -s "$from/$file" "$to/$file" || out+=("$file"); done
    echo "${out[*]}"
}

# fresh_prefix NAME: the rest of the test runs in a new Windows XP prefix of its own,
# $RIG_BUILD/NAME-prefix, ended and removed with the test; the rig's prefix is left alone.
fresh_prefix() {
    export WINEPREFIX="$RIG_BUILD/$1-prefix"
    trap fresh_down EXIT
    rm -rf "$WINEPREFIX"
    wine wineboot -i >"$RIG_STATE/$1-wineboot.log" 2>&1
    wine winecfg -v "$RIG_WINDOWS" >>"$RIG_STATE/$1-wineboot.log" 2>&1
    rig_crash_reports
}
fresh_down() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    rm -rf "$WINEPREFIX"
}
