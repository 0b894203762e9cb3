#!/usr/bin/env bash
# The bootstrap's decisions against stand-ins for apt-get, dpkg and dpkg-query that
# fail as Debian's mirrors and resolver do. One row a case:
#   name | installed packages | apt-get update fails N times | installs that fail |
#   kernel runs 32-bit | expected exit | expected install calls | expected output
set -u
bootstrap="$(cd "$(dirname "$0")/../.." && pwd)/scripts/bootstrap"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"

# dpkg-query -W -f=... PACKAGE: installed when listed in $FAKE_INSTALLED.
cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/sh
for p; do :; done
case " $FAKE_INSTALLED " in *" $p "*) printf 'install ok installed' ;; *) exit 1 ;; esac
STUB
cat >"$work/bin/dpkg" <<'STUB'
#!/bin/sh
[ "$1" = --compare-versions ] && exec /usr/bin/dpkg "$@"
echo "dpkg $*" >>"$FAKE_LOG"
STUB
# update fails the first $FAKE_UPDATE_FAILS times as a mirror in sync does; an install
# whose packages match $FAKE_INSTALL_FAILS fails as the resolver does.
cat >"$work/bin/apt-get" <<'STUB'
#!/bin/sh
echo "apt-get $*" >>"$FAKE_LOG"
case "$1" in
update)
    n=$(grep -c '^apt-get update' "$FAKE_LOG")
    if [ "$n" -le "$FAKE_UPDATE_FAILS" ]; then
        echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
        exit 100
    fi ;;
install)
    if [ -n "$FAKE_INSTALL_FAILS" ] && echo "$*" | grep -q -- "$FAKE_INSTALL_FAILS"; then
        echo "E: Unable to correct problems, you have held broken packages."
        exit 100
    fi
    # A simulation resolved against the release: one library down, one up, one new.
    case " $* " in *" -s "*)
        echo "Inst libgstreamer-plugins-base1.0-0 [1.22.0-3+deb12u7] (1.22.0-3+deb12u6 Debian:12.8/stable [amd64])"
        echo "Inst libc6 [2.36-9+deb12u1] (2.36-9+deb12u9 Debian:12.8/stable [amd64])"
        echo "Inst wine32:i386 (8.0~repack-4 Debian:12.8/stable [i386])" ;;
    esac ;;
esac
exit 0
STUB
# Not root: the bootstrap asks sudo, which must not reach the real apt-get.
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin/"*

all64="cmake g++ make googletest mingw-w64 wine wine64 xvfb xauth xdotool x11-utils imagemagick
binutils-mingw-w64-i686 procps clang libclang-rt-14-dev python3 zip unzip wixl msitools"
all64=$(echo $all64)
cases=(
"everything there|$all64 wine32:i386|0||true|0|0|^$"
"nothing there, a lagging mirror, not even the release's versions: 32-bit Wine only reported|cmake|9|wine32|true|0|4|apt-get update failed 3 times.*unexpected size.*32-bit Wine \(wine32:i386\) cannot be installed, not even.*held broken"
"a lagging i386 index: 32-bit Wine from the release's versions, what moved down said|$all64|9|-qq --no-install-recommends wine32|true|0|3|installed wine32:i386 with the release \S+'s versions.*plain install failed: E: Unable.*moved down: libgstreamer-plugins-base1.0-0 1.22.0-3\+deb12u7 -> 1.22.0-3\+deb12u6; 2 installed packages changed version$"
"a mirror that recovers on the second try|$all64|1||true|0|1|installing wine32:i386$"
"a kernel without 32-bit programs: 32-bit Wine not tried|$all64|0||false|0|0|kernel runs no 32-bit programs$"
"a required package that cannot be had fails the set-up|cmake|0|xvfb|false|1|1|cannot install the required packages: E: Unable to correct"
)

failures=0
for row in "${cases[@]}"; do
    IFS='|' read -r name installed update_fails install_fails runs32 want_exit want_installs want_output <<<"$row"
    log="$work/apt.log"
    : >"$log"
    output=$(PATH="$work/bin:$PATH" FAKE_LOG="$log" FAKE_INSTALLED="$installed" FAKE_UPDATE_FAILS="$update_fails" \
        FAKE_INSTALL_FAILS="$install_fails" KORVEL_I386_PROBE="$runs32" KORVEL_APT_PAUSE=0 "$bootstrap" 2>&1)
    status=$?
    installs=$(grep -c '^apt-get install' "$log")
    output_line=$(echo "$output" | paste -sd ' ')
    if [ "$status" != "$want_exit" ] || [ "$installs" != "$want_installs" ] || ! [[ "$output_line" =~ $want_output ]]; then
        echo "FAIL $name: expected exit $want_exit, $want_installs install calls, output matching '$want_output';" \
            "got exit $status, $installs install calls, output: $output_line"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
done
echo "bootstrap_test: ${#cases[@]} cases, $failures failed"
[ "$failures" -eq 0 ]
