// Korvelpad.cpl as another program sees it: loaded with LoadLibrary, its Control
// Panel entry and its six exports against the simulated driver.
#include <windows.h>

#include <cpl.h>
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "shared/touch_ioctl.h"
#include "tests/wine/applet_exports_api.h"
#include "tests/wine/applet_import_hook.h"
#include "tests/wine/wine_support.h"

namespace {

struct Applet {
    HMODULE module = NULL;
    CplAppletProc CPlApplet = NULL;
    GetMouseModeProc GetMouseMode = NULL;
    SetMouseModeProc SetMouseMode = NULL;
    GetBeepProc GetBeep = NULL;
    SetBeepProc SetBeep = NULL;
    EnableTouchscreenProc EnableTouchscreen = NULL;
    AutoCalibrationProc AutoCalibration = NULL;

    bool Load(const std::string& path)
    {
        module = LoadLibraryA(path.c_str());
        if (module == NULL)
            return false;
        CPlApplet = (CplAppletProc)(void*)GetProcAddress(module, "CPlApplet");
        GetMouseMode = (GetMouseModeProc)(void*)GetProcAddress(module, "GetMouseMode");
        SetMouseMode = (SetMouseModeProc)(void*)GetProcAddress(module, "SetMouseMode");
        GetBeep = (GetBeepProc)(void*)GetProcAddress(module, "GetBeep");
        SetBeep = (SetBeepProc)(void*)GetProcAddress(module, "SetBeep");
        EnableTouchscreen = (EnableTouchscreenProc)(void*)GetProcAddress(module, "EnableTouchscreen");
        AutoCalibration = (AutoCalibrationProc)(void*)GetProcAddress(module, "AutoCalibration");
        return CPlApplet && GetMouseMode && SetMouseMode && GetBeep && SetBeep && EnableTouchscreen &&
               AutoCalibration;
    }
    ~Applet()
    {
        if (module != NULL)
            FreeLibrary(module);
    }
};

// A writable page followed by an inaccessible one, to place records across the edge.
struct GuardedPage {
    GuardedPage()
    {
        base = (BYTE*)VirtualAlloc(NULL, 8192, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        DWORD old;
        VirtualProtect(base + 4096, 4096, PAGE_NOACCESS, &old);
        memset(base, 0x5A, 4096);
    }
    ~GuardedPage() { VirtualFree(base, 0, MEM_RELEASE); }
    // The address whose record of size bytes ends writableBytes into the record.
    void* EndingAfter(size_t writableBytes) { return base + 4096 - writableBytes; }
    BYTE* base;
};

struct ReadOnlyPage {
    ReadOnlyPage() { base = VirtualAlloc(NULL, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READONLY); }
    ~ReadOnlyPage() { VirtualFree(base, 0, MEM_RELEASE); }
    void* base;
};

class AppletExports : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSim();
        ASSERT_TRUE(applet.Load(AppletLibraryPath())) << "cannot load " << AppletLibraryPath() << ", error "
                                                      << GetLastError();
    }
    void TearDown() override { SimFailRequest(0); }
    Applet applet;
};

TEST_F(AppletExports, AllSevenAreFoundByNameAndByTheirOrdinal)
{
    const struct {
        const char* name;
        WORD ordinal;
    } exports[] = {{"CPlApplet", 1},  {"GetMouseMode", 2},      {"SetMouseMode", 3},   {"GetBeep", 4},
                   {"SetBeep", 5},    {"EnableTouchscreen", 6}, {"AutoCalibration", 7}};
    for (const auto& e : exports) {
        FARPROC byName = GetProcAddress(applet.module, e.name);
        FARPROC byOrdinal = GetProcAddress(applet.module, MAKEINTRESOURCEA(e.ordinal));
        EXPECT_TRUE(byName != NULL) << e.name;
        EXPECT_TRUE(byName == byOrdinal) << e.name << " is not ordinal " << e.ordinal;
    }
    EXPECT_TRUE(GetProcAddress(applet.module, MAKEINTRESOURCEA(8)) == NULL) << "an eighth export";
    EXPECT_TRUE(GetProcAddress(applet.module, "_CPlApplet@16") == NULL) << "decorated name exported";
}

TEST_F(AppletExports, TheControlPanelEntryListsOneAppletFromItsResources)
{
    EXPECT_EQ(1, applet.CPlApplet(NULL, CPL_INIT, 0, 0));
    EXPECT_EQ(1, applet.CPlApplet(NULL, CPL_GETCOUNT, 0, 0));

    CPLINFO info;
    memset(&info, 0xCC, sizeof(info));
    EXPECT_EQ(0, applet.CPlApplet(NULL, CPL_INQUIRE, 0, (LPARAM)&info));
    EXPECT_EQ(103, info.idIcon);
    EXPECT_EQ(1, info.idName);
    EXPECT_EQ(2, info.idInfo);
    EXPECT_EQ(0, (int)info.lData);

    // Not answered: the host must fall back to the ids above.
    NEWCPLINFOA newInfo;
    memset(&newInfo, 0xCC, sizeof(newInfo));
    EXPECT_EQ(0, applet.CPlApplet(NULL, CPL_NEWINQUIRE, 0, (LPARAM)&newInfo));
    EXPECT_EQ(0xCCCCCCCCu, (unsigned)newInfo.dwSize) << "CPL_NEWINQUIRE filled the record";

    EXPECT_EQ(0, applet.CPlApplet(NULL, CPL_SELECT, 0, 0));
    EXPECT_EQ(0, applet.CPlApplet(NULL, CPL_STOP, 0, 0));
    EXPECT_EQ(0, applet.CPlApplet(NULL, CPL_EXIT, 0, 0));
    EXPECT_EQ(0, applet.CPlApplet(NULL, 0x4242, 0, 0));

    char text[128];
    ASSERT_GT(LoadStringA(applet.module, info.idName, text, sizeof(text)), 0);
    EXPECT_STREQ("Korvel Touchscreen", text);
    ASSERT_GT(LoadStringA(applet.module, info.idInfo, text, sizeof(text)), 0);
    EXPECT_STREQ("Korvel Touchscreen control panel.", text);
    EXPECT_TRUE(LoadIconA(applet.module, MAKEINTRESOURCEA(info.idIcon)) != NULL);
}

TEST_F(AppletExports, ResourcesHoldTheTemplatesPictureMaskAndIcons)
{
    for (int id = 107; id <= 110; ++id)
        EXPECT_TRUE(FindResourceA(applet.module, MAKEINTRESOURCEA(id), (LPCSTR)RT_DIALOG) != NULL) << "dialog " << id;
    for (int id : {110, 109}) {
        HBITMAP bitmap = LoadBitmapA(applet.module, MAKEINTRESOURCEA(id));
        ASSERT_TRUE(bitmap != NULL) << "bitmap " << id;
        BITMAP size;
        GetObjectA(bitmap, sizeof(size), &size);
        EXPECT_EQ(100, size.bmWidth) << "bitmap " << id;
        EXPECT_EQ(111, size.bmHeight) << "bitmap " << id;
        DeleteObject(bitmap);
    }
    for (int size : {48, 32, 16}) {
        HICON icon = (HICON)LoadImageA(applet.module, MAKEINTRESOURCEA(103), IMAGE_ICON, size, size, 0);
        EXPECT_TRUE(icon != NULL) << "icon 103 at " << size;
        if (icon != NULL)
            DestroyIcon(icon);
    }
    HICON beep = (HICON)LoadImageA(applet.module, MAKEINTRESOURCEA(111), IMAGE_ICON, 16, 16, 0);
    EXPECT_TRUE(beep != NULL);
    if (beep != NULL)
        DestroyIcon(beep);
}

TEST_F(AppletExports, MouseModeIsSetAndReadBackOneOpenPerCall)
{
    for (DWORD mode = 0; mode <= 3; ++mode) {
        SimState before = ReadSimState();
        EXPECT_TRUE(applet.SetMouseMode(mode)) << "mode " << mode << ", error " << GetLastError();
        DWORD read = 0xFFFF;
        EXPECT_TRUE(applet.GetMouseMode(&read));
        EXPECT_EQ(mode, read);
        SimState after = ReadSimState();
        EXPECT_EQ(mode, after.mouse_mode);
        EXPECT_EQ(before.opens + 2, after.opens);
        EXPECT_EQ(before.closes + 2, after.closes);
        for (DWORD code : {IOCTL_TOUCH_SET_MOUSE_MODE, IOCTL_TOUCH_GET_MOUSE_MODE})
            EXPECT_EQ(RequestCount(before, code) + 1, RequestCount(after, code)) << std::hex << code;
    }
}

TEST_F(AppletExports, BeepAtTheBoundsIsSentAndReadBack)
{
    const BeepSettings cases[] = {{0, 1000, 32}, {2, 5000, 512}, {1, 2360, 100}};
    for (const BeepSettings& beep : cases) {
        EXPECT_TRUE(applet.SetBeep(beep.mode, beep.frequency, beep.duration)) << "error " << GetLastError();
        SimState state = ReadSimState();
        EXPECT_EQ(beep.mode, state.beep_mode);
        EXPECT_EQ(beep.frequency, state.beep_freq);
        EXPECT_EQ(beep.duration, state.beep_time);
        BeepSettings read = {9, 9, 9};
        EXPECT_TRUE(applet.GetBeep(&read));
        EXPECT_EQ(beep.mode, read.mode);
        EXPECT_EQ(beep.frequency, read.frequency);
        EXPECT_EQ(beep.duration, read.duration);
    }
    EXPECT_EQ(ReadSimState().opens, ReadSimState().closes);
}

TEST_F(AppletExports, AnyNonZeroFlagEnablesAndZeroDisables)
{
    const struct {
        BOOL flag;
        unsigned enabled, enables, disables;
    } steps[] = {{0, 0, 0, 1}, {2, 1, 1, 1}, {0, 0, 1, 2}, {1, 1, 2, 2}, {-1, 1, 3, 2}};
    for (const auto& step : steps) {
        EXPECT_TRUE(applet.EnableTouchscreen(step.flag)) << "flag " << step.flag;
        SimState state = ReadSimState();
        EXPECT_EQ(step.enabled, state.enabled) << "flag " << step.flag;
        EXPECT_EQ(step.enables, RequestCount(state, IOCTL_TOUCH_ENABLE)) << "flag " << step.flag;
        EXPECT_EQ(step.disables, RequestCount(state, IOCTL_TOUCH_DISABLE)) << "flag " << step.flag;
    }
}

TEST_F(AppletExports, RefusedArgumentsNeverOpenTheDevice)
{
    GuardedPage guarded;
    ReadOnlyPage readOnly;
    const struct {
        const char* what;
        BOOL (*call)(const Applet&, GuardedPage&, ReadOnlyPage&);
    } cases[] = {
        {"SetMouseMode(4)", [](const Applet& a, GuardedPage&, ReadOnlyPage&) { return a.SetMouseMode(4); }},
        {"SetMouseMode(-1)", [](const Applet& a, GuardedPage&, ReadOnlyPage&) { return a.SetMouseMode(0xFFFFFFFF); }},
        {"GetMouseMode(NULL)", [](const Applet& a, GuardedPage&, ReadOnlyPage&) { return a.GetMouseMode(NULL); }},
        {"GetMouseMode(read-only)",
         [](const Applet& a, GuardedPage&, ReadOnlyPage& r) { return a.GetMouseMode((DWORD*)r.base); }},
        {"GetMouseMode(2 bytes before the edge)",
         [](const Applet& a, GuardedPage& g, ReadOnlyPage&) { return a.GetMouseMode((DWORD*)g.EndingAfter(2)); }},
        {"GetBeep(NULL)", [](const Applet& a, GuardedPage&, ReadOnlyPage&) { return a.GetBeep(NULL); }},
        {"GetBeep(read-only)",
         [](const Applet& a, GuardedPage&, ReadOnlyPage& r) { return a.GetBeep((BeepSettings*)r.base); }},
        {"GetBeep(8 bytes before the edge)",
         [](const Applet& a, GuardedPage& g, ReadOnlyPage&) { return a.GetBeep((BeepSettings*)g.EndingAfter(8)); }},
        {"SetBeep(3, 2360, 32)", [](const Applet& a, GuardedPage&, ReadOnlyPage&) { return a.SetBeep(3, 2360, 32); }},
        {"SetBeep(0, 999, 32)", [](const Applet& a, GuardedPage&, ReadOnlyPage&) { return a.SetBeep(0, 999, 32); }},
        {"SetBeep(0, 5001, 32)", [](const Applet& a, GuardedPage&, ReadOnlyPage&) { return a.SetBeep(0, 5001, 32); }},
        {"SetBeep(0, 2360, 31)", [](const Applet& a, GuardedPage&, ReadOnlyPage&) { return a.SetBeep(0, 2360, 31); }},
        {"SetBeep(0, 2360, 513)", [](const Applet& a, GuardedPage&, ReadOnlyPage&) { return a.SetBeep(0, 2360, 513); }},
        {"SetBeep(-1, -1, -1)",
         [](const Applet& a, GuardedPage&, ReadOnlyPage&) { return a.SetBeep(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF); }},
    };
    for (const auto& c : cases) {
        SimState before = ReadSimState();
        SetLastError(0xdeadbeef);
        EXPECT_FALSE(c.call(applet, guarded, readOnly)) << c.what;
        EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, GetLastError()) << c.what;
        SimState after = ReadSimState();
        EXPECT_EQ(before.opens, after.opens) << c.what << " opened the device";
        EXPECT_EQ(before.refused, after.refused) << c.what << " reached the driver";
    }
    for (size_t i = 0; i < 4096 - 8; ++i)
        ASSERT_EQ(0x5A, guarded.base[i]) << "byte " << i << " of the guarded page was written";

    // Records that end exactly at the edge are writable and served.
    EXPECT_TRUE(applet.GetMouseMode((DWORD*)guarded.EndingAfter(4)));
    EXPECT_TRUE(applet.GetBeep((BeepSettings*)guarded.EndingAfter(12)));
}

TEST_F(AppletExports, AFailedRequestLeavesTheCallersRecordAndClosesTheDevice)
{
    const DWORD codes[] = {IOCTL_TOUCH_GET_MOUSE_MODE, IOCTL_TOUCH_SET_MOUSE_MODE, IOCTL_TOUCH_GET_BEEP,
                           IOCTL_TOUCH_SET_BEEP, IOCTL_TOUCH_ENABLE};
    for (DWORD code : codes) {
        ASSERT_TRUE(SimFailRequest(code));
        DWORD mode = 0x77;
        BeepSettings beep = {7, 7, 7};
        BOOL result;
        switch (code) {
        case IOCTL_TOUCH_GET_MOUSE_MODE:
            result = applet.GetMouseMode(&mode);
            break;
        case IOCTL_TOUCH_SET_MOUSE_MODE:
            result = applet.SetMouseMode(1);
            break;
        case IOCTL_TOUCH_GET_BEEP:
            result = applet.GetBeep(&beep);
            break;
        case IOCTL_TOUCH_SET_BEEP:
            result = applet.SetBeep(1, 2000, 64);
            break;
        default:
            result = applet.EnableTouchscreen(TRUE);
            break;
        }
        EXPECT_FALSE(result) << std::hex << code;
        EXPECT_NE(0u, GetLastError()) << std::hex << code;
        EXPECT_EQ(0x77u, mode);
        EXPECT_EQ(7u, beep.mode);
        EXPECT_EQ(7u, beep.frequency);
        EXPECT_EQ(7u, beep.duration);
        SimState state = ReadSimState();
        EXPECT_EQ(1u, RequestCount(state, code)) << std::hex << code;
        EXPECT_EQ(state.opens, state.closes) << std::hex << code;
        ResetSim();
    }
}

// DeviceIoControl as the library sees it, reporting a beep reply of another size.
BOOL(WINAPI* realDeviceIoControl)(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
DWORD reportedBeepBytes;

BOOL WINAPI DeviceIoControlWithOddBeepReply(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out,
                                            DWORD outSize, LPDWORD returned, LPOVERLAPPED overlapped)
{
    BOOL ok = realDeviceIoControl(device, code, in, inSize, out, outSize, returned, overlapped);
    if (ok && code == IOCTL_TOUCH_GET_BEEP && returned != NULL)
        *returned = reportedBeepBytes;
    return ok;
}

TEST_F(AppletExports, GetBeepTakesOnlyATwelveByteReply)
{
    ImportHook hook(applet.module, "KERNEL32.dll", "DeviceIoControl", (void*)DeviceIoControlWithOddBeepReply);
    ASSERT_TRUE(hook.Installed());
    realDeviceIoControl = (decltype(realDeviceIoControl))hook.Original();
    ASSERT_TRUE(applet.SetBeep(1, 3000, 64));
    // What a served call leaves as last error is all an odd reply may leave too.
    reportedBeepBytes = 12;
    BeepSettings served = {7, 7, 7};
    SetLastError(0xdeadbeef);
    EXPECT_TRUE(applet.GetBeep(&served));
    DWORD servedError = GetLastError();
    EXPECT_EQ(3000u, served.frequency);
    for (DWORD bytes : {0u, 8u, 11u, 16u}) {
        reportedBeepBytes = bytes;
        BeepSettings beep = {7, 7, 7};
        SetLastError(0xdeadbeef);
        EXPECT_FALSE(applet.GetBeep(&beep)) << bytes << " bytes";
        EXPECT_EQ(servedError, GetLastError()) << bytes << " bytes: no last error of its own";
        EXPECT_EQ(7u, beep.mode);
        EXPECT_EQ(7u, beep.frequency);
        EXPECT_EQ(7u, beep.duration);
    }
    SimState state = ReadSimState();
    EXPECT_EQ(5u, RequestCount(state, IOCTL_TOUCH_GET_BEEP));
    EXPECT_EQ(state.opens, state.closes);
}

struct ThreadWork {
    const Applet* applet;
    int index;
    LONG failures;
};

DWORD WINAPI CallMixed(void* parameter)
{
    ThreadWork* work = (ThreadWork*)parameter;
    const Applet& a = *work->applet;
    for (int i = 0; i < 500; ++i) {
        DWORD mode;
        BeepSettings beep;
        BOOL ok;
        switch ((i + work->index) % 5) {
        case 0:
            ok = a.SetMouseMode((DWORD)(i % 4));
            break;
        case 1:
            ok = a.GetMouseMode(&mode);
            break;
        case 2:
            ok = a.SetBeep((DWORD)(i % 3), 1000 + (DWORD)i, 32 + (DWORD)i % 480);
            break;
        case 3:
            ok = a.GetBeep(&beep);
            break;
        default:
            ok = a.EnableTouchscreen(i % 2);
            break;
        }
        if (!ok)
            InterlockedIncrement(&work->failures);
    }
    return 0;
}

TEST_F(AppletExports, EightThreadsAtOnceAllSucceedAndLeakNoHandle)
{
    DWORD warm;
    ASSERT_TRUE(applet.GetMouseMode(&warm));
    ResetSim();
    DWORD handlesBefore = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &handlesBefore));

    ThreadWork work[8];
    HANDLE threads[8];
    for (int t = 0; t < 8; ++t) {
        work[t] = {&applet, t, 0};
        threads[t] = CreateThread(NULL, 0, CallMixed, &work[t], 0, NULL);
        ASSERT_TRUE(threads[t] != NULL);
    }
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(8, threads, TRUE, 600000));
    for (int t = 0; t < 8; ++t) {
        CloseHandle(threads[t]);
        EXPECT_EQ(0, work[t].failures) << "thread " << t;
    }

    DWORD handlesAfter = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &handlesAfter));
    EXPECT_EQ(handlesBefore, handlesAfter);

    SimState state = ReadSimState();
    EXPECT_EQ(4000u, state.opens);
    EXPECT_EQ(4000u, state.closes);
    EXPECT_EQ(800u, RequestCount(state, IOCTL_TOUCH_SET_MOUSE_MODE));
    EXPECT_EQ(800u, RequestCount(state, IOCTL_TOUCH_GET_MOUSE_MODE));
    EXPECT_EQ(800u, RequestCount(state, IOCTL_TOUCH_SET_BEEP));
    EXPECT_EQ(800u, RequestCount(state, IOCTL_TOUCH_GET_BEEP));
    EXPECT_EQ(800u, RequestCount(state, IOCTL_TOUCH_ENABLE) + RequestCount(state, IOCTL_TOUCH_DISABLE));
    EXPECT_EQ(0u, state.refused);
}

} // namespace
