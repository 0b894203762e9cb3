#include "touch_settings.h"

#include <stdio.h>

#include "applet/applet.h"
#include "shared/os_kind.h"
#include "shared/parameters_key.h"

TouchSettingsRecord TouchSettings = TouchSettingsAtLoad;
BOOL SettingsChanged = FALSE;

namespace {

void GiveWindowsDoubleClickParameters(const TouchSettingsRecord& settings)
{
    UINT size = DoubleClickSize(settings.MouseMode, settings.DblClkRegion);
    UINT time = DoubleClickTime(settings.MouseMode);
    SystemParametersInfoA(SPI_SETDOUBLECLKWIDTH, size, NULL, SPIF_UPDATEINIFILE);
    SystemParametersInfoA(SPI_SETDOUBLECLKHEIGHT, size, NULL, SPIF_UPDATEINIFILE);
    SystemParametersInfoA(SPI_SETDOUBLECLICKTIME, time, NULL, SPIF_UPDATEINIFILE);
}

} // namespace

BOOL LoadProfileSetting(int osKind)
{
    if (ParametersBasePath(osKind) == NULL)
        return FALSE;
    HKEY key;
    if (OpenParametersKey(osKind, FALSE, &key) != ERROR_SUCCESS) {
        MessageBoxA(NULL, "Open registry path error,Consult us for reasons.", APPLET_CAPTION, MB_OK);
        return FALSE;
    }
    for (const SettingRule& rule : SettingRules) {
        DWORD type, size, value = 0;
        bool read = ReadParameterValue(key, rule.name, &type, &size, &value) == ERROR_SUCCESS;
        TouchSettings.*rule.field = CorrectLoadedValue(rule, read, value);
    }
    RegCloseKey(key);
    return TRUE;
}

BOOL SaveProfileSetting(int osKind)
{
    if (ParametersBasePath(osKind) == NULL)
        return FALSE;
    HKEY key;
    if (OpenParametersKey(osKind, TRUE, &key) != ERROR_SUCCESS) {
        MessageBoxA(NULL, "Open registry path for updating settings error.", APPLET_CAPTION, MB_OK);
        return FALSE;
    }
    for (const SettingRule& rule : SettingRules) {
        LONG status = WriteParameterValue(key, rule.name, TouchSettings.*rule.field);
        if (status != ERROR_SUCCESS) {
            char caption[64] = "SaveProfileSetting_";
            int prefix = lstrlenA(caption);
            lstrcpynA(caption + prefix, rule.name, (int)sizeof(caption) - prefix);
            ReportErrorCode(status, caption);
        }
    }
    GiveWindowsDoubleClickParameters(TouchSettings);
    RegCloseKey(key);
    return TRUE;
}

BOOL ReportErrorCode(LONG code, const char* caption)
{
    DWORD lastError = GetLastError();
    char* text = NULL;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, NULL, (DWORD)code,
                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPSTR)&text, 0, NULL);
    BOOL shown = FALSE;
    if (length != 0 && text != NULL) {
        MessageBoxA(NULL, text, caption, MB_ICONINFORMATION);
        shown = TRUE;
    }
    if (text != NULL)
        LocalFree(text);
    SetLastError(lastError);
    return shown;
}
