# Sourced by the end-to-end tests: "$1" is the build tree whose rig (prefix,
# simulated driver, Xvfb) the ctest fixture has brought up.
set -u
e2e_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$e2e_top/scripts/lib/rig.sh"
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

simctl() { wine "$KORVEL_TOOLS/korvelsimctl.exe" "$@" | tr -d '\r'; }

# sim_state KEY: one value of the simulated driver's state.
sim_state() { simctl state | sed -n "s/^$1=//p"; }

# reg_dword PATH NAME: a REG_DWORD of HKLM\PATH in decimal, empty when missing.
reg_dword() {
    local hex
    hex=$(wine reg query "HKLM\\$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n {print $3}')
    [ -n "$hex" ] && printf '%d\n' "$hex"
}

PARAMETERS_PATH='System\CurrentControlSet\Services\Korvelscreen\Parameters'

# wait_window NAME [SECONDS]: the X id of the first visible window with that title.
wait_window() {
    local limit=$(( ${2:-15} * 10 )) i=0 id
    while [ $i -lt "$limit" ]; do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1; i=$((i + 1))
    done
    return 1
}

# wait_until SECONDS COMMAND...: polls until the command succeeds.
wait_until() {
    local limit=$(( $1 * 10 )) i=0
    shift
    while [ $i -lt "$limit" ]; do
        "$@" && return 0
        sleep 0.1; i=$((i + 1))
    done
    return 1
}

shot() { import -window root "$E2E_SHOTS/$1.png" 2>/dev/null; }
