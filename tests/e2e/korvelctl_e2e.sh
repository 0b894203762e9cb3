#!/usr/bin/env bash
# korvelctl against the simulated driver: each command's effect on the driver and on
# its open counter, the status lines, bad input that never opens the device, requests
# the driver refuses, exit codes in a cmd.exe batch file, files missing beside it,
# calibrate through Korvelaim, and the driver absent.
. "$(dirname "$0")/lib.sh" "$1"
. "$(dirname "$0")/calibrate_lib.sh"

CTL="$KORVEL_DIST/korvelctl.exe"
work=$(mktemp -d "$RIG_BUILD/korvelctl_e2e.XXXXXX")
finish() {
    rig_driver_up >/dev/null 2>&1
    cal_cleanup
    rm -rf "$work"
}
trap finish EXIT

# run PROGRAM ARGS...: one run; its exit code in CODE, its output in OUT and ERR
# without the CRs.
run() {
    local program=$1
    shift
    CODE=0
    wine "$program" "$@" >"$work/out" 2>"$work/err" </dev/null || CODE=$?
    OUT=$(tr -d '\r' <"$work/out")
    ERR=$(tr -d '\r' <"$work/err")
}
ctl() { run "$CTL" "$@"; }

# state_keys KEY...: those values of the driver's state, from one reading.
state_keys() {
    local state key out=""
    state=$(simctl state </dev/null)
    for key in "$@"; do
        out="$out $(sed -n "s/^$key=//p" <<<"$state")"
    done
    echo "${out# }"
}

reg_set() { wine reg add "HKLM\\$PARAMETERS_PATH" /v "$1" /t "$2" /d "$3" /f >/dev/null 2>&1; }

# The system's texts for the codes the rig produces, as Wine's FormatMessageA gives them.
TEXT_FAILED='General failure.'             # 31, an injected failure
TEXT_NO_FILE='File not found.'             # 2, the device is absent
TEXT_OPEN_FAILED='Open failed.'            # 110, EnableTouchscreen's failed open
TEXT_NO_PROC='Procedure not found.'        # 127, an export missing

settings_reset

for args in "" help; do
    # shellcheck disable=SC2086
    ctl $args
    check "'$args': usage on standard output, exit 0" "0|1|" "$CODE|$(grep -c '^usage: korvelctl status' <<<"$OUT")|$ERR"
done
check "no command and help: device not opened" "0" "$(state_keys opens)"

key_absent() { wine reg query "HKLM\\$PARAMETERS_PATH" >/dev/null 2>&1 || echo absent; }
before=$(key_absent)
ctl status
check "status: exit 0, nothing on standard error" "0|" "$CODE|$ERR"
check "status: the parameters key absent before and after" "absent absent" "$before $(key_absent)"
check "status: the driver's values, no stored ones" \
    "mouse_mode=0 beep_mode=1 beep_freq=2000 beep_time=100" "$(echo $OUT)"
check "status: one open each for the mode and the beep, both closed" "2 2" "$(state_keys opens closes)"

names="XLow XHigh YLow YHigh SwapXY BeepMode BeepFreq BeepTime MouseMode ButtonMode DragDelay DblClkRegion"
value=100
expected="mouse_mode=0 beep_mode=1 beep_freq=2000 beep_time=100"
for name in $names; do
    value=$((value + 1))
    reg_set "$name" REG_DWORD "$value"
    expected="$expected stored.$name=$value"
done
ctl status
check "status: all twelve stored values, in the key's order" "0|$expected" "$CODE|$(echo $OUT)"

wine reg delete "HKLM\\$PARAMETERS_PATH" /v YLow /f >/dev/null 2>&1
wine reg delete "HKLM\\$PARAMETERS_PATH" /v DblClkRegion /f >/dev/null 2>&1
reg_set ButtonMode REG_SZ 110
reg_set DragDelay REG_DWORD 4294967295
ctl status
check "status: absent and non-DWORD values left out, a DWORD printed unsigned" \
    "0|mouse_mode=0 beep_mode=1 beep_freq=2000 beep_time=100 stored.XLow=101 stored.XHigh=102 stored.YHigh=104 stored.SwapXY=105 stored.BeepMode=106 stored.BeepFreq=107 stored.BeepTime=108 stored.MouseMode=109 stored.DragDelay=4294967295" \
    "$CODE|$(echo $OUT)"
wine reg delete "HKLM\\$PARAMETERS_PATH" /f >/dev/null 2>&1

# Each command changes what it names, opens the device once and closes it again.
simctl reset >/dev/null
while IFS='|' read -r args keys expected; do
    read -r opens closes <<<"$(state_keys opens closes)"
    # shellcheck disable=SC2086
    ctl $args
    check "$args: exit 0, silent" "0||" "$CODE|$OUT|$ERR"
    # shellcheck disable=SC2086
    check "$args: the driver's state, one open and close" "$expected $((opens + 1)) $((closes + 1))" \
        "$(state_keys $keys opens closes)"
done <<'EOF_WALK'
mode drag|mouse_mode|2
mode CLICK|mouse_mode|0
beep touch 1000 32|beep_mode beep_freq beep_time|1 1000 32
beep 2 5000 512|beep_mode beep_freq beep_time|2 5000 512
disable|enabled|0
enable|enabled|1
EOF_WALK
ctl status
check "status after the walk" "0|mouse_mode=0 beep_mode=2 beep_freq=5000 beep_time=512" "$CODE|$(echo $OUT)"

# Bad input: exit 2, a line on what was wrong and the usage on standard error,
# nothing on standard output, and the driver untouched, its open counter included.
before=$(simctl state)
while IFS='|' read -r what args; do
    # shellcheck disable=SC2086
    ctl $args
    check "usage error, $what: exit 2, usage on standard error only" "2|korvelctl: |1|" \
        "$CODE|$(head -n 1 <<<"$ERR" | cut -c1-11)|$(grep -c '^usage: korvelctl status' <<<"$ERR")|$OUT"
done <<'EOF_BAD'
unknown command|frobnicate
mode without a value|mode
status with an argument|status now
mode out of range|mode 4
beep frequency with a unit|beep 0 1000Hz 32
mode negative|mode -1
mode wrapping into range|mode 4294967299
EOF_BAD
check "bad input: the driver's state unchanged, device never opened" "$before" "$(simctl state)"
ctl mode 9
check "bad value: the line names it and its range" \
    "korvelctl: bad value '9' for 'mode': VALUE is 0..3 or click, release, drag, double" "$(head -n 1 <<<"$ERR")"

# Requests the driver refuses: exit 1, one line naming the export and the system's text.
while IFS='|' read -r failing args step; do
    simctl fail "$failing" >/dev/null
    before=$(state_keys mouse_mode beep_mode beep_freq beep_time enabled)
    # shellcheck disable=SC2086
    ctl $args
    check "$failing refused: exit 1, one line, nothing on standard output" \
        "1||korvelctl: $step: $TEXT_FAILED" "$CODE|$OUT|$ERR"
    check "$failing refused: nothing changed" "$before" "$(state_keys mouse_mode beep_mode beep_freq beep_time enabled)"
done <<'EOF_FAIL'
set_mouse_mode|mode 2|SetMouseMode
set_beep|beep 1 1000 32|SetBeep
enable|enable|EnableTouchscreen
get_mouse_mode|status|GetMouseMode
get_beep|status|GetBeep
EOF_FAIL
simctl fail none >/dev/null
read -r opens closes <<<"$(state_keys opens closes)"
check "refused requests: every open closed" "$opens" "$closes"

# From a batch file: %ERRORLEVEL% after a done request, a usage error and a refusal.
simctl reset >/dev/null
simctl fail enable >/dev/null
ctl_windows=$(wine winepath -w "$CTL" | tr -d '\r')
printf '@echo off\r\n"%s" mode double\r\necho mode=%%ERRORLEVEL%%\r\n"%s" mode 9 2>nul\r\necho usage=%%ERRORLEVEL%%\r\n"%s" enable 2>nul\r\necho enable=%%ERRORLEVEL%%\r\n"%s" status >nul\r\necho status=%%ERRORLEVEL%%\r\n' \
    "$ctl_windows" "$ctl_windows" "$ctl_windows" "$ctl_windows" >"$work/walk.bat"
wine cmd /c "$(wine winepath -w "$work/walk.bat" | tr -d '\r')" >"$work/batch" 2>&1 </dev/null
check "cmd batch: %ERRORLEVEL% 0, 2, 1, 0" "mode=0 usage=2 enable=1 status=0" "$(tr -d '\r' <"$work/batch" | xargs)"
check "cmd batch: the mode was set" 3 "$(sim_state mouse_mode)"
simctl fail none >/dev/null

# Files missing beside korvelctl: the library, its exports, the calibration program.
mkdir "$work/alone" "$work/fake"
cp "$CTL" "$work/alone/"
read -r opens <<<"$(state_keys opens)"
run "$work/alone/korvelctl.exe" mode 1
check "no Korvelpad.cpl: exit 1, the line names the load" "1|korvelctl: LoadLibrary " "$CODE|$(cut -c1-23 <<<"$ERR")"
check "no Korvelpad.cpl: the line names the file" 1 "$(grep -c 'Korvelpad.cpl: ' <<<"$ERR")"
run "$work/alone/korvelctl.exe" mode 4
check "no Korvelpad.cpl: bad input is still a usage error" 2 "$CODE"
cp "$CTL" "$work/fake/"
cp "$KORVEL_TOOLS/korvelsimctl.exe" "$work/fake/Korvelpad.cpl"
run "$work/fake/korvelctl.exe" mode 1
check "Korvelpad.cpl without the export: exit 1 and the line" \
    "1|korvelctl: Korvelpad.cpl has no export SetMouseMode: $TEXT_NO_PROC" "$CODE|$ERR"
echo 'no program' >"$work/alone/Korvelpad.cpl"
library=$(wine winepath -w "$work/alone/Korvelpad.cpl" | tr -d '\r')
run "$work/alone/korvelctl.exe" mode 1
check "Korvelpad.cpl no program: the system's text names the file" \
    "1|korvelctl: LoadLibrary $library: Bad EXE format for $library." "$CODE|$ERR"
check "missing library or export: device not opened" "$opens" "$(state_keys opens)"
cp "$KORVEL_DIST/Korvelpad.cpl" "$work/alone/"
run "$work/alone/korvelctl.exe" calibrate
check "no Korvelaim.exe: exit 1 and the line" \
    "1|korvelctl: AutoCalibration: Korvelaim.exe is missing beside Korvelpad.cpl" "$CODE|$ERR"
echo 'no program' >"$work/alone/Korvelaim.exe"
calibrator=$(wine winepath -w "$work/alone/Korvelaim.exe" | tr -d '\r')
run "$work/alone/korvelctl.exe" calibrate
check "Korvelaim.exe no program: the line names it" \
    "1|korvelctl: AutoCalibration: start $calibrator: Bad EXE format for $calibrator." "$CODE|$ERR"

# calibrate: Korvelaim runs and korvelctl waits for it to end.
cal_reset
wine "$CTL" calibrate >"$work/out" 2>"$work/err" </dev/null &
CAL_PID=$!
cal_wait_target 1
check "calibrate: Korvelaim shows its first target" 1 "$(sim_state clear_point)"
check "calibrate: korvelctl still waits" 0 "$(kill -0 "$CAL_PID" 2>/dev/null; echo $?)"
cal_key Escape
cal_wait_exit
check "calibrate: exit 0 once Korvelaim has ended, silent" "0|" "$CAL_CODE|$(cat "$work/out" "$work/err")"
check "calibrate: the export's open and Korvelaim's, all closed" "2 2" "$(state_keys opens closes)"
cal_restore_window_management

# The driver absent: exit 1 with the failed open, and Korvelaim is not started.
check "driver stopped" 0 "$(rig_driver_down; echo $?)"
while IFS='|' read -r args step text; do
    # shellcheck disable=SC2086
    ctl $args
    check "no driver, $args: exit 1 and the line" "1||korvelctl: $step: $text" "$CODE|$OUT|$ERR"
done <<EOF_ABSENT
status|GetMouseMode|$TEXT_NO_FILE
mode 2|SetMouseMode|$TEXT_NO_FILE
enable|EnableTouchscreen|$TEXT_OPEN_FAILED
calibrate|AutoCalibration|the touchscreen driver is not loaded
EOF_ABSENT
check "no driver: Korvelaim not started" "" "$(winprobe windows Korvelaim)"
ctl mode 9
check "no driver: bad input is still a usage error" 2 "$CODE"
check "driver started again" 0 "$(rig_driver_up; echo $?)"
e2e_done
