// The start-up of the 32-bit programs, in the place of MinGW-w64's crt2.o, which Debian
// builds for the Pentium Pro: its command-line scan alone (a CMOV) stops every program at
// start on a Pentium-class CPU. Compiled for the Pentium with the programs, it does what
// crt2.o does for a native program (MinGW-w64's crt/crtexe.c), in the same order. Left out
// is what serves only start-ups these programs never have: the lock and the checks for
// managed (.NET) images, the private copy of argv, the C initialiser tables .CRT$XI/XC and
// dynamic TLS initialisers (GCC's code uses neither; its constructors are in .ctors, which
// __main runs), the debugging hook for _matherr, and the exception filter that turns
// processor exceptions into signal() calls for programs that install handlers.
#include <windows.h>
#include <corecrt_startup.h>
#include <float.h>
#include <stdlib.h>

enum { CONSOLE_APP = 1, GUI_APP = 2 };
typedef struct {
    int newmode;
} StartupInfo;
_CRTIMP void __cdecl __set_app_type(int type);
_CRTIMP int __cdecl __getmainargs(int* argc, char*** argv, char*** envp, int wildcards, StartupInfo* info);

// MinGW-w64's runtime: wildcard expansion (off unless CRT_glob.o is linked), the new
// handler mode, the C++ constructors, and the relocator (runtime/no_pseudo_relocs.c).
extern int _dowildcard;
extern int _newmode;
void __main(void);
void _pei386_runtime_relocator(void);
int main(int argc, char** argv, char** envp);

// What libmingw32's main() hands to a program's WinMain, and, for the runtime's
// thread_local destructors, that this module is no DLL.
HINSTANCE __mingw_winmain_hInstance;
char* __mingw_winmain_lpCmdLine;
DWORD __mingw_winmain_nShowCmd = SW_SHOWDEFAULT;
char __mingw_module_is_dll = 0;

// A bad argument to a C runtime function makes it return an error, as under MinGW-w64's
// start-up, whatever msvcrt.dll would do by default.
static void __cdecl ignore_invalid_parameter(const wchar_t* expression, const wchar_t* function,
    const wchar_t* file, unsigned int line, uintptr_t reserved)
{
    (void)expression, (void)function, (void)file, (void)line, (void)reserved;
}

// The command line after the program's name and the blanks that follow it.
static char* after_program_name(char* line)
{
    int quoted = 0;
    for (; (unsigned char)*line > ' ' || (*line && quoted); ++line) {
        if (*line == '"')
            quoted = !quoted;
    }
    while (*line && (unsigned char)*line <= ' ')
        ++line;
    return line;
}

// Windows enters with the stack aligned to 4 bytes only.
__attribute__((force_align_arg_pointer, noinline)) static int start(int gui)
{
    int argc;
    char** argv;
    char** envp;
    StartupInfo info = { _newmode };
    __set_app_type(gui ? GUI_APP : CONSOLE_APP);
    __getmainargs(&argc, &argv, &envp, _dowildcard, &info);
    _pei386_runtime_relocator();
    _set_invalid_parameter_handler(ignore_invalid_parameter);
    _fpreset();
    __mingw_winmain_hInstance = GetModuleHandleA(NULL);
    __mingw_winmain_lpCmdLine = after_program_name(_acmdln);
    if (gui) {
        STARTUPINFOA startup;
        GetStartupInfoA(&startup);
        if (startup.dwFlags & STARTF_USESHOWWINDOW)
            __mingw_winmain_nShowCmd = startup.wShowWindow;
    }
    __main();
    exit(main(argc, argv, envp));
}

// The entry points the linker chooses by subsystem.
int mainCRTStartup(void)
{
    return start(0);
}

int WinMainCRTStartup(void)
{
    return start(1);
}

// Functions registered here run at exit in reverse order, as with crt2.o.
int __cdecl atexit(void(__cdecl* function)(void))
{
    return _onexit((_onexit_t)function) ? 0 : -1;
}
