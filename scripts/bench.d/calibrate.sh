#!/usr/bin/env bash
# Korvelaim: the CPU it uses while it waits for a touch, as a share of the wall time
# (against a minimal full-screen program idling in its message loop), and the time
# from its start to the first target against that program's time to its first paint.
set -euo pipefail

wait_seconds=10
startup_runs=15
simctl() { wine "$KORVEL_TOOLS/korvelsimctl.exe" "$@" | tr -d '\r'; }
sim_state() { simctl state | sed -n "s/^$1=//p"; }

# CPU nanoseconds of every thread of a process so far.
cpu_ns() {
    local total=0 task
    for task in /proc/"$1"/task/*/schedstat; do
        total=$((total + $(cut -d' ' -f1 "$task")))
    done
    echo "$total"
}

# The wineserver of this prefix (other prefixes may have their own).
own_wineserver() {
    local pid
    for pid in $(pgrep -x 'wineserver(32|64)?'); do
        if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            echo "$pid"; return 0
        fi
    done
    return 1
}

# idle_share PID: the program's and the wineserver's CPU in % of one core, and the
# wall time in seconds, over $wait_seconds.
idle_share() {
    local pid=$1 server program0 server0=0 start program1 server1=0 end
    server=$(own_wineserver || true)
    program0=$(cpu_ns "$pid"); [ -n "$server" ] && server0=$(cpu_ns "$server"); start=$(date +%s%N)
    sleep "$wait_seconds"
    program1=$(cpu_ns "$pid"); [ -n "$server" ] && server1=$(cpu_ns "$server"); end=$(date +%s%N)
    awk -v p=$((program1 - program0)) -v s=$((server1 - server0)) -v w=$((end - start)) -v known="$server" \
        'BEGIN { printf "%.3f %s %.3f\n", 100 * p / w, known == "" ? "n/a" : sprintf("%.3f", 100 * s / w), w / 1e9 }'
}

simctl reset >/dev/null
wine "$KORVEL_DIST/Korvelaim.exe" &
korvelaim=$!
for _ in $(seq 200); do [ "$(sim_state clear_point)" = 1 ] && break; sleep 0.1; done
[ "$(sim_state clear_point)" = 1 ] || { echo "calibrate bench: no target shown"; kill "$korvelaim"; exit 1; }
sleep 1
read -r waiting waiting_server wall < <(idle_share "$korvelaim")
xdotool key Escape
wait "$korvelaim" || true

wine "$KORVEL_TOOLS/fullscreen_baseline.exe" &
baseline=$!
sleep 2
read -r idle idle_server _ < <(idle_share "$baseline")
kill "$baseline"
wait "$baseline" 2>/dev/null || true

echo "CPU while waiting ${wall} s for a touch, in % of one core:"
echo "  Korvelaim waiting for a touch:            $waiting % (its wineserver $waiting_server %)"
echo "  minimal full-screen program, idle:        $idle % (its wineserver $idle_server %)"
awk -v k="$waiting" 'BEGIN { printf "  ratio Korvelaim CPU / wall time: %.5f (goal below 0.01)\n", k / 100 }'

simctl reset >/dev/null
wine "$KORVEL_TOOLS/startup_timer.exe" "$startup_runs" "$(winepath -w "$KORVEL_DIST/Korvelaim.exe")" \
    "$(winepath -w "$KORVEL_TOOLS/fullscreen_baseline.exe")" | tr -d '\r' | tail -n 2
