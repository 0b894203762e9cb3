// Code the gate refuses: a choice that becomes a CMOV for the Pentium Pro, and a read of
// the static TLS slot.
#include <windows.h>

extern ULONG _tls_index;

__declspec(dllexport) int choose(int flag, int first, int second)
{
    return flag ? first : second;
}

__declspec(dllexport) ULONG slot(void)
{
    return _tls_index;
}
