#!/usr/bin/env bash
# The Settings and Sound pages of the sheet that Wine's control.exe opens: control
# states in each mouse mode, live beep requests, and what OK and Cancel leave in the
# registry and the driver. Screenshots of both pages in each mouse mode.
. "$(dirname "$0")/lib.sh" "$1"
. "$(dirname "$0")/applet_lib.sh"

seed_settings() {
    seed MouseMode 3 DblClkRegion 40 DragDelay 300 ButtonMode 1 BeepMode 1 BeepFreq 3000 BeepTime 64
}

# region_state: the region controls as "position enabled" of up-down, edit, label.
region_state() {
    local f
    f=$(fields 1009:pos 1009:enabled 1008:enabled 1012:enabled)
    echo "${f%% *} $(tr -d ' ' <<<"${f#* }")"
}
drag_delay_enabled() {
    fields 1010:enabled 1014:enabled 1015:enabled 1013:enabled | tr -d ' '
}
checked_mode() {
    local mode=0 checked
    for checked in $(fields 1004:checked 1005:checked 1006:checked 1007:checked); do
        [ "$checked" = 1 ] && echo $mode
        mode=$((mode + 1))
    done
}
shoot_both() {
    shot "applet_settings_mode$1"
    visit 2
    settle
    shot "applet_sound_mode$1"
    visit 1
    settle
}

applet_reset
seed_settings
open_sheet
visit 1
settle
check "mode 3 is checked" 3 "$(checked_mode)"
check "mode 3: the region shows DblClkRegion, its controls enabled" "40 111" "$(region_state)"
check "the edit shows the up-down's number" 40 "$(fields 1008:text)"
check "the up-down offers 5..100" "5 100" "$(fields 1009:low 1009:high)"
check "mode 3: drag delay enabled" 1111 "$(drag_delay_enabled)"
check "drag delay position, range and ticks" "300 0 1500 11" \
    "$(fields 1010:pos 1010:min 1010:max 1010:ticks)"
check "the button mode combo is hidden but filled and selected" "0 1 LEFT|RIGHT|MIDDLE" \
    "$(fields 1019:visible 1019:sel 1019:items)"
shoot_both 3

click 1006
check "Drag checked alone" 2 "$(checked_mode)"
check "mode 2: the region shows 5, its controls disabled" "5 000" "$(region_state)"
check "mode 2: drag delay enabled" 1111 "$(drag_delay_enabled)"
shoot_both 2
click 1004
check "Click on touch checked alone" 0 "$(checked_mode)"
check "mode 0: region 5 and disabled" "5 000" "$(region_state)"
check "mode 0: drag delay disabled" 0000 "$(drag_delay_enabled)"
shoot_both 0
click 1005
check "Click on release checked alone" 1 "$(checked_mode)"
check "mode 1: region 5 and disabled" "5 000" "$(region_state)"
check "mode 1: drag delay disabled" 0000 "$(drag_delay_enabled)"
shoot_both 1
click 1006
click 1007
check "back from Drag to Double click,drag: DblClkRegion again" "40 111" "$(region_state)"
check "the radio buttons stay enabled" 1111 \
    "$(fields 1004:enabled 1005:enabled 1006:enabled 1007:enabled | tr -d ' ')"

# The up-down's upper arrow raises the region by one.
read -r left top right bottom <<<"$(probe rect 1009)"
xdotool mousemove $(((left + right) / 2)) $((top + 2)) click 1
settle
check "the up arrow gives 41" "41 41" "$(fields 1009:pos 1008:text)"
# The drag delay by keyboard: End moves the thumb to "Long".
xdotool mousemove $(probe thumb 1010) click 1
xdotool key End
settle
check "End moves the drag delay to 1500" 1500 "$(fields 1010:pos)"
check "the Settings page sent the driver nothing" "0 0" "$(sim_state set_mouse_mode set_beep)"

visit 2
settle
check "beep mode combo" "1 Disabled|Touch|Release" "$(fields 1001:sel 1001:items)"
check "frequency position, range and ticks" "3000 1000 5000 11" \
    "$(fields 1002:pos 1002:min 1002:max 1002:ticks)"
check "duration position, range and ticks" "64 32 512 11" \
    "$(fields 1003:pos 1003:min 1003:max 1003:ticks)"
check "nothing sent when the page starts" 0 "$(sim_state set_beep)"

# A drag of the frequency thumb towards "High": a beep request per notification,
# each with the current mode and duration.
read -r x y <<<"$(probe thumb 1002)"
xdotool mousemove "$x" "$y" mousedown 1
for step in 1 2 3 4 5 6; do
    xdotool mousemove $((x + step * 12)) "$y"
    sleep 0.1
done
xdotool mouseup 1
settle
dragged=$(fields 1002:pos)
check "the thumb moved" yes "$([ "$dragged" -gt 3000 ] && echo yes || echo no)"
check "several requests during the drag" yes "$([ "$(sim_state set_beep)" -ge 3 ] && echo yes || echo no)"
check "the driver has the dragged frequency with mode and duration" "1 $dragged 64" \
    "$(sim_state beep_mode beep_freq beep_time)"
# One key: the move and the end of the move, two notifications, two requests.
before=$(sim_state set_beep)
xdotool key End
settle
check "End: two notifications, two requests" $((before + 2)) "$(sim_state set_beep)"
check "End: the frequency at 5000" 5000 "$(sim_state beep_freq)"
xdotool key Home
settle
check "Home: two more requests" $((before + 4)) "$(sim_state set_beep)"
check "Home: the frequency at 1000" 1000 "$(sim_state beep_freq)"
# "Disabled" goes to the driver at once.
before=$(sim_state set_beep)
click 1001
xdotool key Home Return
settle
check "Disabled: one request at once" $((before + 1)) "$(sim_state set_beep)"
check "Disabled: mode 0" 0 "$(sim_state beep_mode)"
xdotool mousemove $(probe thumb 1003) click 1
xdotool key End
settle
check "the duration at 512 in the driver" 512 "$(sim_state beep_time)"
shot applet_sound_edited

close_sheet ok
check "OK stores exactly the edited values" "3 41 1500 1 0 1000 512" \
    "$(reg_dword "$PARAMETERS_PATH" MouseMode DblClkRegion DragDelay ButtonMode BeepMode BeepFreq BeepTime)"
check "three pages visited: three reloads" 3 "$(sim_state reload_settings)"
check "the driver took the stored values" "3 41 1500 0 1000 512" \
    "$(sim_state mouse_mode dblclk_region drag_delay beep_mode beep_freq beep_time)"

# Cancel after a beep change: one reload, and the driver's beep is the stored one again.
applet_reset
seed_settings
open_sheet
visit 2
settle
xdotool mousemove $(probe thumb 1002) click 1
xdotool key End
settle
check "the live frequency reached the driver" 5000 "$(sim_state beep_freq)"
close_sheet cancel
check "Cancel: one reload" 1 "$(sim_state reload_settings)"
check "Cancel: the driver's beep is the stored one again" "1 3000 64" \
    "$(sim_state beep_mode beep_freq beep_time)"
check "Cancel: the stored frequency is unchanged" 3000 "$(reg_dword "$PARAMETERS_PATH" BeepFreq)"

e2e_done
