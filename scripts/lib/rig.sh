# The test rig: a private 32-bit Windows XP Wine prefix under a build tree, the
# simulated touchscreen driver installed in it as the service Korvelscreen, and a
# private Xvfb display. Sourced by scripts/winerun, the ctest fixtures, the e2e tests,
# the demo and the benchmarks. Never touches ~/.wine or the user's display.

RIG_SERVICE=Korvelscreen
RIG_DRIVER_FILE=korvelscreen.sys
RIG_SCREEN=1024x768x24

# rig_use BUILD_DIR: point this shell at the rig of a build tree without starting anything.
rig_use() {
    RIG_BUILD=$(cd "$1" && pwd)
    RIG_STATE="$RIG_BUILD/rig"
    mkdir -p "$RIG_STATE"
    export WINEPREFIX="$RIG_BUILD/wineprefix"
    export WINEARCH=win32
    export WINEDEBUG="${WINEDEBUG:--all}"
    # No Mono or Gecko installers: the programs need neither.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export KORVEL_DIST="$RIG_BUILD/dist"
    export KORVEL_TOOLS="$RIG_BUILD/tools"
    if [ -f "$RIG_STATE/display" ]; then
        DISPLAY=$(cat "$RIG_STATE/display")
        export DISPLAY
    fi
}

rig_log() { printf 'rig: %s\n' "$*" >&2; }

# Makes the prefix once; later runs reuse it.
rig_prefix() {
    if [ -f "$WINEPREFIX/.korvel-ready" ]; then
        return 0
    fi
    rig_log "making the Wine prefix $WINEPREFIX (Windows XP, 32-bit)"
    rm -rf "$WINEPREFIX"
    wineboot -i >"$RIG_STATE/wineboot.log" 2>&1 || { cat "$RIG_STATE/wineboot.log" >&2; return 1; }
    wine winecfg -v winxp >>"$RIG_STATE/wineboot.log" 2>&1 || return 1
    wineserver -w || true
    touch "$WINEPREFIX/.korvel-ready"
}

# Starts a private Xvfb on the first free display from :70 and records it.
rig_display_up() {
    if [ -f "$RIG_STATE/xvfb.pid" ] && kill -0 "$(cat "$RIG_STATE/xvfb.pid")" 2>/dev/null; then
        DISPLAY=$(cat "$RIG_STATE/display"); export DISPLAY
        return 0
    fi
    local n=70
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do
        n=$((n + 1))
    done
    Xvfb ":$n" -screen 0 "$RIG_SCREEN" -nolisten tcp >"$RIG_STATE/xvfb.log" 2>&1 &
    echo $! >"$RIG_STATE/xvfb.pid"
    local tries=0
    while [ ! -e "/tmp/.X11-unix/X$n" ]; do
        tries=$((tries + 1))
        if [ $tries -gt 100 ] || ! kill -0 "$(cat "$RIG_STATE/xvfb.pid")" 2>/dev/null; then
            rig_log "Xvfb :$n did not start"; cat "$RIG_STATE/xvfb.log" >&2; return 1
        fi
        sleep 0.1
    done
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
        rig_log "no simulated driver at $sys; build the win32 preset first"; return 1
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

# rig_up [DISPLAY]: everything a test needs: a display (the given one, else a
# private Xvfb), the prefix, a wineserver kept alive between the test programs (the
# driver's state lives in it) and the driver started.
rig_up() {
    if [ -n "${1:-}" ]; then
        export DISPLAY="$1"
        echo "$1" >"$RIG_STATE/display"
    else
        rig_display_up || return 1
    fi
    rig_prefix || return 1
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
