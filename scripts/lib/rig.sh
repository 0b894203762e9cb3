# The test rig: a private Windows XP Wine prefix under a build tree (32-bit for the
# i686 build, 64-bit for the x86_64 one), the simulated touchscreen driver installed
# in it as the service Korvelscreen, and a private Xvfb display. Sourced by
# scripts/winerun, the ctest fixtures, the e2e tests, the demo and the benchmarks.
# Never touches ~/.wine or the user's display.

RIG_SERVICE=Korvelscreen
RIG_DRIVER_FILE=korvelscreen.sys
RIG_SCREEN=1024x768x24
# Where Debian keeps Wine's loaders and servers; KORVEL_WINE_DIR points elsewhere, for
# instance at a copy without a working 32-bit loader to try a host that lacks one.
RIG_WINE_DIR=${KORVEL_WINE_DIR:-/usr/lib/wine}
# Exit status of a Windows-side test that this host cannot run; ctest shows it skipped.
RIG_SKIP=77
# The rig of a build tree has lanes, each with its own prefix, Xvfb, wineserver and
# simulated driver, so that tests run side by side; a test takes a free lane for its
# whole run (rig_in_free_lane). The tests mostly wait on Wine and on the programs'
# own time limits, so there is a lane more than there are cores, at most 4;
# KORVEL_RIG_LANES sets the number.
RIG_LANES=${KORVEL_RIG_LANES:-$(n=$(nproc 2>/dev/null || echo 1); echo $((n + 1 > 4 ? 4 : n + 1)))}
# What flock answers when a lane is held; no test or Wine program exits with it.
RIG_LANE_BUSY=250
. "$(dirname "${BASH_SOURCE[0]}")/i386.sh"

# rig_use BUILD_DIR: point this shell at the rig of a build tree without starting
# anything, in lane KORVEL_RIG_LANE (1 when unset: the demo's and winerun's). The
# tree's architecture picks the prefix, the loader and the server explicitly: Debian's
# wine wrapper runs the 32-bit loader whenever it is installed.
rig_use() {
    RIG_BUILD=$(cd "$1" && pwd)
    RIG_LANE=${KORVEL_RIG_LANE:-1}
    RIG_STATE="$RIG_BUILD/rig"
    [ "$RIG_LANE" = 1 ] || RIG_STATE="$RIG_BUILD/rig/lane$RIG_LANE"
    mkdir -p "$RIG_STATE/bin"
    case "$(cat "$RIG_BUILD/rig/arch" 2>/dev/null || echo i686)" in
    x86_64)
        RIG_BITS=64
        export WINEARCH=win64 WINELOADER="$RIG_WINE_DIR/wine64" WINESERVER="$RIG_WINE_DIR/wineserver64"
        RIG_WINDOWS=winxp64
        ;;
    *)
        RIG_BITS=32
        export WINEARCH=win32 WINELOADER="$RIG_WINE_DIR/wine" WINESERVER="$RIG_WINE_DIR/wineserver32"
        RIG_WINDOWS=winxp
        ;;
    esac
    export WINEPREFIX="$RIG_BUILD/wineprefix"
    [ "$RIG_LANE" = 1 ] || WINEPREFIX="$RIG_BUILD/wineprefix$RIG_LANE"
    export WINEDEBUG="${WINEDEBUG:--all}"
    # No Mono or Gecko installers: the programs need neither.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export KORVEL_DIST="$RIG_BUILD/dist"
    export KORVEL_TOOLS="$RIG_BUILD/tools"
    # wine, wineserver and winepath on the PATH are this architecture's, for every
    # script and tool (timeout, xargs) that the rig's users run them through. Only
    # this tree's: a shell that used the other architecture's tree before (scripts/test
    # tests both) would otherwise keep finding that one's wine first.
    # Their Wine runs without address randomization (rig_no_randomization).
    local norandom
    norandom=$(rig_no_randomization)
    printf '#!/bin/sh\nexec %s"%s" "$@"\n' "$norandom" "$WINELOADER" >"$RIG_STATE/bin/wine"
    printf '#!/bin/sh\nexec "%s" "$@"\n' "$WINESERVER" >"$RIG_STATE/bin/wineserver"
    printf '#!/bin/sh\nexec %s"%s" winepath "$@"\n' "$norandom" "$WINELOADER" >"$RIG_STATE/bin/winepath"
    chmod +x "$RIG_STATE/bin/wine" "$RIG_STATE/bin/wineserver" "$RIG_STATE/bin/winepath"
    local entry others=
    local -a entries
    IFS=: read -ra entries <<<"$PATH"
    for entry in "${entries[@]}"; do
        case "$entry" in
        */rig/bin | */rig/lane*/bin) ;;
        *) others="$others${others:+:}$entry" ;;
        esac
    done
    export PATH="$RIG_STATE/bin${others:+:$others}"
    if [ -f "$RIG_STATE/display" ]; then
        DISPLAY=$(cat "$RIG_STATE/display")
        export DISPLAY
    fi
}

# rig_no_randomization: the command that runs a program without address randomization,
# with a space after it, or nothing where the kernel refuses that. Debian's Wine has no
# preloader to keep the addresses Windows fixes free before the loader's own heap lands,
# and the kernel puts a 64-bit loader's heap anywhere in the 1 GB above it: 6 starts in
# 40,000 measured here found the shared user data's page (0x7ffe0000) taken and ended at
# once with status 1, saying why only on a Wine "err" channel. Without randomization the
# heap starts right after the loader, 48 MB below that page.
rig_no_randomization() {
    if setarch "$(uname -m)" -R true 2>/dev/null; then echo "setarch $(uname -m) -R "; fi
}

# rig_runnable: whether this host runs the tree's Wine at all. Some kernels execute
# no 32-bit programs; only trying the loader tells.
rig_runnable() {
    "$WINELOADER" --version >/dev/null 2>&1
}

# rig_unrunnable_reason: why not, naming the true cause: the loader not installed,
# the kernel, or else the loader's own message.
rig_unrunnable_reason() {
    local package=wine64 why
    [ "$RIG_BITS" = 32 ] && package="wine32:i386 (after dpkg --add-architecture i386)"
    if [ "$RIG_BITS" = 32 ] && ! host_runs_i386 "$RIG_STATE"; then
        if [ -x "$WINELOADER" ]; then
            echo "this host's kernel runs no 32-bit programs"
        else
            echo "32-bit Wine is not installed, and this host's kernel runs no 32-bit programs"
        fi
    elif [ ! -x "$WINELOADER" ]; then
        echo "${RIG_BITS}-bit Wine is not installed: $WINELOADER is missing; install $package"
    else
        # The shell's own words on a failed exec start with its script and line: dropped.
        why=$("$WINELOADER" --version 2>&1 | head -n 1 | sed -E 's/^.*: line [0-9]+: //')
        echo "${RIG_BITS}-bit Wine does not start: ${why:-$WINELOADER --version failed}"
    fi
}

# rig_skip_unless_runnable: for a Windows-side test, ends it as skipped on such a host.
rig_skip_unless_runnable() {
    if ! rig_runnable; then
        echo "skipped: $(rig_unrunnable_reason)"
        exit "$RIG_SKIP"
    fi
}

# rig_pick_build TOP WHO: the build tree a tool of the project uses, from
# KORVEL_PRESET (win32 or win64) when set, else the 32-bit one where the host runs
# it and the 64-bit one elsewhere; says which on the first line of output.
rig_pick_build() {
    local top=$1 who=$2
    RIG_PRESET=${KORVEL_PRESET:-}
    local why="asked for with KORVEL_PRESET"
    if [ -z "$RIG_PRESET" ]; then
        if "$RIG_WINE_DIR/wine" --version >/dev/null 2>&1; then
            RIG_PRESET=win32 why="32-bit Wine runs on this host"
        else
            RIG_PRESET=win64 why="32-bit Wine does not run on this host"
        fi
    fi
    case "$RIG_PRESET" in
    win32) echo "$who: the 32-bit build, build/win32 ($why; KORVEL_PRESET=win64 picks the other)" ;;
    win64) echo "$who: the 64-bit build, build/win64 ($why; KORVEL_PRESET=win32 picks the other)" ;;
    *) echo "$who: KORVEL_PRESET must be win32 or win64, not '$RIG_PRESET'" >&2; return 2 ;;
    esac
    RIG_PICKED="$top/build/$RIG_PRESET"
}

# rig_in_free_lane BUILD_DIR COMMAND...: runs the command in the first lane of the
# tree's rig that no other command holds, waiting for one, and returns its status;
# KORVEL_RIG_LANE tells the command which. flock -o keeps the lock in flock itself:
# a wineserver or service that the command starts must not hold the lane after it.
rig_in_free_lane() {
    local build=$1 lane status
    shift
    mkdir -p "$build/rig"
    while :; do
        for lane in $(seq "$RIG_LANES"); do
            KORVEL_RIG_LANE=$lane flock -n -o -E "$RIG_LANE_BUSY" "$build/rig/lane$lane.lock" "$@"
            status=$?
            [ "$status" -eq "$RIG_LANE_BUSY" ] || return "$status"
        done
        sleep 0.2
    done
}

rig_log() { printf 'rig: %s\n' "$*" >&2; }

# Makes the prefix once; later runs reuse it. A lane past the first starts as a copy
# of the first lane's, taken while its server is down (rig up makes lane 1's first):
# a copy takes seconds where wineboot takes half a minute.
rig_prefix() {
    if [ -f "$WINEPREFIX/.korvel-ready" ]; then
        return 0
    fi
    local first="$RIG_BUILD/wineprefix"
    if [ "$RIG_LANE" != 1 ] && [ -f "$first/.korvel-ready" ]; then
        rig_log "making the Wine prefix $WINEPREFIX as a copy of $first"
        WINEPREFIX=$first wineserver -k 2>/dev/null
        WINEPREFIX=$first wineserver -w 2>/dev/null
        # Copied beside and then moved: a copy cut short must not count as made.
        rm -rf "$WINEPREFIX" "$WINEPREFIX.copy"
        cp -a "$first" "$WINEPREFIX.copy" && mv "$WINEPREFIX.copy" "$WINEPREFIX"
        return
    fi
    rig_log "making the Wine prefix $WINEPREFIX (Windows XP, ${RIG_BITS}-bit)"
    rm -rf "$WINEPREFIX"
    wine wineboot -i >"$RIG_STATE/wineboot.log" 2>&1 || { cat "$RIG_STATE/wineboot.log" >&2; return 1; }
    wine winecfg -v "$RIG_WINDOWS" >>"$RIG_STATE/wineboot.log" 2>&1 || return 1
    wineserver -w || true
    touch "$WINEPREFIX/.korvel-ready"
}

# Starts a private Xvfb on the first free display from :70 and records it. Lanes come
# up at once: choosing a number and starting its server is one step under a lock,
# which the server itself must not inherit.
rig_display_up() {
    if [ -f "$RIG_STATE/xvfb.pid" ] && kill -0 "$(cat "$RIG_STATE/xvfb.pid")" 2>/dev/null; then
        DISPLAY=$(cat "$RIG_STATE/display"); export DISPLAY
        return 0
    fi
    local n=70 lock status=0 tries=0
    exec {lock}>"/tmp/.korvel-rig-display.lock"
    flock "$lock"
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do
        n=$((n + 1))
    done
    Xvfb ":$n" -screen 0 "$RIG_SCREEN" -nolisten tcp >"$RIG_STATE/xvfb.log" 2>&1 {lock}>&- &
    echo $! >"$RIG_STATE/xvfb.pid"
    while [ ! -e "/tmp/.X11-unix/X$n" ]; do
        tries=$((tries + 1))
        if [ $tries -gt 100 ] || ! kill -0 "$(cat "$RIG_STATE/xvfb.pid")" 2>/dev/null; then
            rig_log "Xvfb :$n did not start"; cat "$RIG_STATE/xvfb.log" >&2; status=1
            break
        fi
        sleep 0.1
    done
    exec {lock}>&-
    [ "$status" -eq 0 ] || return 1
    echo ":$n" >"$RIG_STATE/display"
    export DISPLAY=":$n"
}

# Wine's output always goes to files here, never into a pipe: processes that a wine
# command starts (services, winedevice, explorer) inherit its descriptors and would
# hold a pipe, and whoever reads it, open until the prefix ends.
rig_service_running() {
    wine sc query "$RIG_SERVICE" >"$RIG_STATE/sc.out" 2>&1
    grep -q RUNNING "$RIG_STATE/sc.out"
}

# Installs the simulated driver from dist/ and starts it; the first start after a
# fresh wineserver can fail, so it is tried again.
rig_driver_up() {
    local sys="$KORVEL_DIST/$RIG_DRIVER_FILE"
    if [ ! -f "$sys" ]; then
        rig_log "no simulated driver at $sys; build the tree first"; return 1
    fi
    if rig_service_running; then
        return 0
    fi
    cp "$sys" "$WINEPREFIX/drive_c/windows/system32/drivers/$RIG_DRIVER_FILE"
    if ! wine sc query "$RIG_SERVICE" >"$RIG_STATE/sc.out" 2>&1; then
        wine sc create "$RIG_SERVICE" type= kernel start= demand \
            binPath= "C:\\windows\\system32\\drivers\\$RIG_DRIVER_FILE" >/dev/null 2>&1
    fi
    local attempt
    for attempt in 1 2 3; do
        wine sc start "$RIG_SERVICE" >/dev/null 2>&1
        if rig_service_running; then
            return 0
        fi
        sleep 1
    done
    rig_log "the service $RIG_SERVICE did not start"; cat "$RIG_STATE/sc.out" >&2
    return 1
}

rig_driver_down() {
    wine sc stop "$RIG_SERVICE" >/dev/null 2>&1
    local tries=0
    while rig_service_running && [ $tries -lt 20 ]; do
        sleep 0.2; tries=$((tries + 1))
    done
    ! rig_service_running
}

# rig_desktop on|off: whether the prefix's programs run in a Wine virtual desktop as
# large as the screen. On a bare Xvfb there is no window manager: Wine would wait about
# 2 s for each window it hides, and windows would show no caption or frame. Inside the
# virtual desktop Wine draws them as Windows does, and they are no X windows: tests
# find them through Wine (tools/sheet_probe.exe).
RIG_DESKTOP_KEY='HKCU\Software\Wine\Explorer'
rig_desktop() {
    if [ "$1" = on ]; then
        wine reg add "$RIG_DESKTOP_KEY\Desktops" /v Default /d "${RIG_SCREEN%x*}" /f >/dev/null 2>&1 &&
            wine reg add "$RIG_DESKTOP_KEY" /v Desktop /d Default /f >/dev/null 2>&1
    else
        wine reg delete "$RIG_DESKTOP_KEY" /v Desktop /f >/dev/null 2>&1
        return 0
    fi
}

# rig_crash_reports: a program that crashes ends at once, its backtrace on its standard
# output, instead of waiting behind winedbg's crash dialog, which no one in the rig
# answers: a test would then stop at its time limit without saying why.
rig_crash_reports() {
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
}

# rig_up [DISPLAY]: everything a test needs: a display (the given one, else a
# private Xvfb with a Wine virtual desktop), the prefix, a wineserver kept alive
# between the test programs (the driver's state lives in it) and the driver started.
rig_up() {
    if ! rig_runnable; then
        rig_log "$(rig_unrunnable_reason)"
        return 1
    fi
    if [ -n "${1:-}" ]; then
        export DISPLAY="$1"
        echo "$1" >"$RIG_STATE/display"
    else
        rig_display_up || return 1
    fi
    rig_prefix || return 1
    if [ -n "${1:-}" ]; then rig_desktop off; else rig_desktop on; fi || return 1
    rig_crash_reports || return 1
    # A fresh server made persistent here: -p does not change a server that is
    # already running, and the driver's state must not depend on an earlier run.
    wineserver -k 2>/dev/null || true
    wineserver -w || true
    wineserver -p >/dev/null 2>&1 || return 1
    rig_driver_up
}

# Ends every process of the prefix and the display that the rig started.
rig_down() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
    fi
    if [ -f "$RIG_STATE/xvfb.pid" ]; then
        kill "$(cat "$RIG_STATE/xvfb.pid")" 2>/dev/null
        rm -f "$RIG_STATE/xvfb.pid"
    fi
    rm -f "$RIG_STATE/display"
    return 0
}
