#!/usr/bin/env bash
# Korvelpad's exports: one exported call (open, one request, close) against the bare
# CreateFileA / DeviceIoControl / CloseHandle sequence, measured in one process.
set -euo pipefail
wine sc query Korvelscreen 2>/dev/null | grep -q RUNNING || { echo "applet: the simulated driver is not running"; exit 1; }
wine "$KORVEL_TOOLS/applet_bench.exe" "$(winepath -w "$KORVEL_DIST/Korvelpad.cpl")" | tr -d '\r'
