#!/usr/bin/env bash
# Korvelseek: its device search over 1,000 present devices, run inside its real
# dialog, against a bare SetupDi walk that reads every device's hardware IDs in the
# same prefix. A third walk moves the dialog's bar after each device as the search
# does: under Wine each change of the bar's position is a repaint of several
# milliseconds, so that walk shows what the bar itself costs.
set -euo pipefail

device_count=1000
rounds=3
devices() { wine "$KORVEL_TOOLS/setupdi_devices.exe" "$@" | tr -d '\r'; }

trap 'devices remove >/dev/null' EXIT
devices remove >/dev/null
# None of them supported, so that the search reads every device; making them takes
# about a minute.
echo "making $device_count present devices"
devices add "$device_count" 'USB\VID_7E01&PID_0001&REV_0100' 'USB\VID_7E01&PID_000' >/dev/null
wine "$KORVEL_TOOLS/installer_bench.exe" "$rounds" | tr -d '\r'
