#!/usr/bin/env bash
# check_pe.sh OBJDUMP MAX_SUBSYSTEM FILE...: every file imports only Windows system
# DLLs, and (when MAX_SUBSYSTEM is not "any") asks for a subsystem no newer than it.
set -u
objdump=$1 max=$2; shift 2
allowed='^(kernel32|user32|gdi32|advapi32|comctl32|comdlg32|shell32|msvcrt|setupapi|newdev|ole32|oleaut32|version|winmm)\.dll$'
failures=0
[ $# -gt 0 ] || { echo "no file to check"; exit 1; }
for file in "$@"; do
    dump=$("$objdump" -p "$file") || { echo "FAIL $file: objdump could not read it"; failures=$((failures + 1)); continue; }
    dlls=$(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
    [ -n "$dlls" ] || { echo "FAIL $file: no imports found"; failures=$((failures + 1)); }
    for dll in $dlls; do
        if ! printf '%s\n' "$dll" | grep -Eq "$allowed"; then
            echo "FAIL $file imports $dll, which is not a Windows system DLL"
            failures=$((failures + 1))
        fi
    done
    if [ "$max" != any ]; then
        major=$(printf '%s\n' "$dump" | awk '/MajorSubsystemVersion/ {print $2}')
        minor=$(printf '%s\n' "$dump" | awk '/MinorSubsystemVersion/ {print $2}')
        want_major=${max%.*} want_minor=${max#*.}
        if [ -z "$major" ] || [ "$major" -gt "$want_major" ] ||
            { [ "$major" -eq "$want_major" ] && [ "$minor" -gt "$want_minor" ]; }; then
            echo "FAIL $file asks for subsystem $major.$minor, above $max"
            failures=$((failures + 1))
        fi
    fi
    echo "checked $(basename "$file"): imports $(echo $dlls)"
done
exit $((failures > 0))
