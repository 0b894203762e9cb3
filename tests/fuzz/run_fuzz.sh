#!/usr/bin/env bash
# run_fuzz.sh CLANGXX SOURCE_DIR WORK_DIR SECONDS: builds the hardware-ID matcher's
# libFuzzer target under AddressSanitizer and UBSan and runs it for a bounded time,
# starting from a small corpus of real-looking hardware-ID lists.
set -euo pipefail
clangxx=$1 top=$2 work=$3 seconds=$4
mkdir -p "$work/corpus" "$work/artifacts"
"$clangxx" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I "$top" "$top/tests/fuzz/installer_hardware_id_fuzz.cpp" "$top/installer/hardware_id_match.cpp" \
    -o "$work/installer_hardware_id_fuzz"
seed() { printf "$2" >"$work/corpus/$1"; }
seed exact 'USB\\VID_7E01&PID_0001\0\0'
seed lower 'usb\\vid_7e03&pid_0020\0\0'
seed revision 'USB\\VID_7E04&PID_0001&REV_0100\0USB\\VID_7E04&PID_0001\0\0'
seed unterminated 'ROOT\\OTHER\0USB\\VID_7E02&PID_0001'
"$work/installer_hardware_id_fuzz" -max_total_time="$seconds" -max_len=600 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/corpus"
