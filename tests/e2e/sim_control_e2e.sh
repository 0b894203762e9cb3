#!/usr/bin/env bash
# korvelsimctl: the state it prints, the commands that change it, and usage errors,
# which must be told apart (exit 2, a message on stderr) and change nothing.
. "$(dirname "$0")/lib.sh" "$1"

simctl reset >/dev/null
power_on="mouse_mode=0
beep_mode=1
beep_freq=2000
beep_time=100
enabled=1
calibration=0,0,0,4096,4096,0
button_mode=0
drag_delay=0
dblclk_region=25
opens=0
closes=0
queued=0
dropped=0
refused=0
failing=none
set_calibration=0
set_beep=0
get_beep=0
get_mouse_mode=0
set_mouse_mode=0
read_point=0
clear_point=0
enable=0
disable=0
reload_settings=0"
check "state: every key once, in order, at power-on" "$power_on" "$(simctl state)"

# The rig's Wine runs without address randomization where the host allows it, down to
# the process that the rig's service start made to host the driver.
if [ -n "$(rig_no_randomization)" ]; then
    check "the driver's host process runs without address randomization" 00040000 \
        "$(for pid in $(prefix_pids winedevice); do cat "/proc/$pid/personality"; done | sort -u)"
fi

simctl touch 12 -34 >/dev/null
check "touch: the 32-bit extremes" 0 "$(wine "$KORVEL_TOOLS/korvelsimctl.exe" touch -2147483648 2147483647; echo $?)"
check "touch: queued" 2 "$(sim_state queued)"
for i in $(seq 1 15); do simctl touch "$i" "$i" >/dev/null; done
sim_look
check "touch: a full queue keeps 16" 16 "$(seen queued)"
check "touch: and counts the drop" 1 "$(seen dropped)"

simctl fail read_point >/dev/null
check "fail NAME" read_point "$(sim_state failing)"
simctl fail clear_point >/dev/null
check "fail NAME replaces the old one" clear_point "$(sim_state failing)"
simctl fail none >/dev/null
check "fail none" none "$(sim_state failing)"

simctl fail get_beep >/dev/null
simctl reset >/dev/null
check "reset: back to power-on" "$power_on" "$(simctl state)"

# usage ARGS...: "exit status/whether stderr said something/stdout".
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
usage() {
    local out status
    out=$(wine "$KORVEL_TOOLS/korvelsimctl.exe" "$@" 2>"$errors")
    status=$?
    printf '%s/%s/%s' "$status" "$([ -s "$errors" ] && echo message || echo silent)" "$out"
}
simctl fail enable >/dev/null
before=$(simctl state)
while IFS='|' read -r what args; do
    # shellcheck disable=SC2086
    check "usage error: $what" "2/message/" "$(usage $args)"
done <<'EOF'
no command|
unknown command|frobnicate
state with an argument|state now
touch with one reading|touch 5
touch with a word|touch 5 five
touch with hex|touch 0x10 5
touch beyond 32 bits|touch 2147483648 0
touch below 32 bits|touch 0 -2147483649
fail with an unknown name|fail read_points
fail without a name|fail
EOF
check "usage errors change nothing" "$before" "$(simctl state)"
simctl reset >/dev/null
e2e_done
