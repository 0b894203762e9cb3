#!/usr/bin/env bash
# Korvelaim on Windows NT 4, which has no key for the driver's parameters: the run
# and the question as usual, then Yes ends with the registry error, nothing stored,
# the mode restored and exit code 0.
. "$(dirname "$0")/lib.sh" "$1"
. "$(dirname "$0")/calibrate_lib.sh"
app_defaults='HKCU\Software\Wine\AppDefaults\Korvelaim.exe'
restore_version() { wine reg delete "$app_defaults" /f >/dev/null 2>&1; cal_cleanup; }
trap restore_version EXIT

cal_reset
wine reg add "$app_defaults" /v Version /d nt40 /f >/dev/null 2>&1
cal_start
cal_run 0 3000 900 900 3000 880 910
cal_wait_question
check "calibration sent" "0,3700,200,200,3700,0" "$(sim_state calibration)"
xdotool key Return
wait_window "Korvel Touchscreen"
wait_foreground "Korvel Touchscreen"
shot calibrate_write_error
check "the registry error, owned by the calibration window" \
    "caption=Korvel Touchscreen owner=other text=Write registry error! Maybe due to security reason" "$(cal_box)"
xdotool key Return
cal_wait_exit
check "exit code" 0 "$CAL_CODE"
check "nothing stored" "XLow= XHigh= YLow= YHigh= SwapXY=" "$(cal_stored)"
check "mouse mode restored" 0 "$(sim_state mouse_mode)"
e2e_done
