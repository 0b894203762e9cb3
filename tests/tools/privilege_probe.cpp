// privilege_probe: exits with 1 when the silent privilege check grants, 0 when it
// refuses, so a test can run it under a restricted token.
#include "shared/platform.h"
#include "shared/privilege.h"

int main(void)
{
    return CheckPrivilege(GetOsKind(), NULL) ? 1 : 0;
}
