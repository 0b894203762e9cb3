#!/usr/bin/env bash
# Korvelseek: its device search over 1,000 present devices, run inside its real
# dialog, against a bare SetupDi walk that reads every device's hardware IDs in the
# same prefix. Two more walks send the bar's PBM_GETPOS and PBM_SETPOS after each
# device and wait for both: at a step of 0 the position stays, which is the least
# that the pair costs sent that way; at a step of 1 the bar moves for every device,
# and each move is a repaint on the dialog's thread that the walk waits for. The
# search's figure is meant to stay within 1.3 times the bare walk's.
set -euo pipefail

device_count=1000
rounds=5
devices() { wine "$KORVEL_TOOLS/setupdi_devices.exe" "$@" | tr -d '\r'; }

trap 'devices remove >/dev/null' EXIT
devices remove >/dev/null
# None of them supported, so that the search reads every device; making them takes
# about a minute.
echo "making $device_count present devices"
devices add "$device_count" 'USB\VID_7E01&PID_0001&REV_0100' 'USB\VID_7E01&PID_000' >/dev/null
wine "$KORVEL_TOOLS/installer_bench.exe" "$rounds" | tr -d '\r'
