#include "applet/common_controls.h"

#include <commctrl.h>

#include "applet/applet.h"
#include "applet/resource.h"
#include "shared/privilege.h"
#include "shared/system_library.h"

namespace {

typedef HANDLE(WINAPI* CreateActCtxProc)(const ACTCTXA*);
typedef BOOL(WINAPI* ActivateActCtxProc)(HANDLE, ULONG_PTR*);
typedef BOOL(WINAPI* DeactivateActCtxProc)(DWORD, ULONG_PTR);
typedef void(WINAPI* ReleaseActCtxProc)(HANDLE);
typedef BOOL(WINAPI* InitCommonControlsExProc)(const INITCOMMONCONTROLSEX*);
typedef INT_PTR(WINAPI* PropertySheetProc)(const PROPSHEETHEADERA*);
typedef HRESULT(WINAPI* EnableThemeDialogTextureProc)(HWND, DWORD);

const DWORD kTabTexture = 6; // ETDT_ENABLETAB

// Set while a sheet runs with visual styles.
EnableThemeDialogTextureProc SheetTexture = NULL;

struct ManifestContext {
    HANDLE context;
    ULONG_PTR cookie;
};

FARPROC Kernel32Function(const char* name)
{
    return GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
}

// Makes the library's manifest the thread's active context; false on a system
// without activation contexts or when the manifest cannot be used.
bool EnterManifestContext(ManifestContext* manifest)
{
    CreateActCtxProc create = (CreateActCtxProc)(void*)Kernel32Function("CreateActCtxA");
    ActivateActCtxProc activate = (ActivateActCtxProc)(void*)Kernel32Function("ActivateActCtx");
    ReleaseActCtxProc release = (ReleaseActCtxProc)(void*)Kernel32Function("ReleaseActCtx");
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(AppletInstance, path, sizeof(path));
    if (create == NULL || activate == NULL || release == NULL || length == 0 || length >= sizeof(path))
        return false;

    ACTCTXA description;
    ZeroMemory(&description, sizeof(description));
    description.cbSize = sizeof(description);
    description.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
    description.lpSource = path;
    description.lpResourceName = MAKEINTRESOURCEA(IDR_MANIFEST);
    description.hModule = AppletInstance;
    manifest->context = create(&description);
    if (manifest->context == INVALID_HANDLE_VALUE)
        return false;
    if (!activate(manifest->context, &manifest->cookie)) {
        release(manifest->context);
        return false;
    }
    return true;
}

void LeaveManifestContext(const ManifestContext& manifest)
{
    DeactivateActCtxProc deactivate = (DeactivateActCtxProc)(void*)Kernel32Function("DeactivateActCtx");
    ReleaseActCtxProc release = (ReleaseActCtxProc)(void*)Kernel32Function("ReleaseActCtx");
    deactivate(0, manifest.cookie);
    release(manifest.context);
}

} // namespace

INT_PTR RunStyledPropertySheet(const PROPSHEETHEADERA* header)
{
    ManifestContext manifest;
    const bool styled = EnterManifestContext(&manifest);
    // Loaded inside the context, comctl32 is the version the manifest names; without
    // one, the system folder's. It stays loaded, as an import would keep it: the
    // classes it registered outlive the sheet.
    HMODULE library = LoadCommonControlsLibrary();
    InitCommonControlsExProc initialise =
        library != NULL ? (InitCommonControlsExProc)(void*)GetProcAddress(library, "InitCommonControlsEx") : NULL;
    PropertySheetProc propertySheet =
        initialise != NULL ? (PropertySheetProc)(void*)GetProcAddress(library, "PropertySheetA") : NULL;
    INT_PTR result = -1;
    if (library == NULL) {
        ReportSystemError("LoadLibrary comctl32.dll");
    } else if (propertySheet == NULL) {
        ReportSystemError(initialise == NULL ? "GetProcAddress InitCommonControlsEx" : "GetProcAddress PropertySheetA");
    } else {
        // comctl32 6 brings the theme library with it.
        HMODULE theme = styled ? GetModuleHandleA("uxtheme.dll") : NULL;
        SheetTexture = theme != NULL
                           ? (EnableThemeDialogTextureProc)(void*)GetProcAddress(theme, "EnableThemeDialogTexture")
                           : NULL;
        INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
        initialise(&classes);
        result = propertySheet(header);
        SheetTexture = NULL;
    }
    if (styled)
        LeaveManifestContext(manifest);
    return result;
}

void UseTabTexture(HWND page)
{
    if (SheetTexture != NULL)
        SheetTexture(page, kTabTexture);
}
