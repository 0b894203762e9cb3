# Whether this host's kernel runs 32-bit x86 programs. Some kernels are built or
# booted without that support; Wine's 32-bit loader then cannot start, whether it is
# installed or not. Sourced by the bootstrap and by the rig.

# host_runs_i386 DIR: runs a minimal 32-bit ELF program, written into DIR (a folder of
# the project's: a temporary one may be mounted without execution), that only exits
# with status 0. KORVEL_I386_PROBE names a command to ask instead, for the bootstrap's
# own tests.
host_runs_i386() {
    if [ -n "${KORVEL_I386_PROBE:-}" ]; then
        $KORVEL_I386_PROBE
        return
    fi
    local probe status
    mkdir -p "$1" && probe=$(mktemp "$1/i386-probe.XXXXXX") || return 1
    # ELF header, one loadable segment, then: mov eax, 1; xor ebx, ebx; int 0x80.
    printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0'\
'\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\135\0\0\0\135\0\0\0\5\0\0\0\0\20\0\0\270\1\0\0\0\61\333\315\200' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null
    status=$?
    rm -f "$probe"
    return $status
}
