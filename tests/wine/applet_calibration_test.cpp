// Korvelpad.cpl starting the calibration program from its own folder (through the
// export AutoCalibration), and every export with the driver not loaded. A stand-in
// program copied as Korvelaim.exe records how it was started.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "shared/touch_ioctl.h"
#include "tests/wine/applet_exports_api.h"
#include "tests/wine/applet_import_hook.h"
#include "tests/wine/wine_support.h"

namespace {

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

std::string TempRoot(void)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    return std::string(temp) + "korvelpad_calibration";
}

// Makes root and then folders below it until the whole path is length characters.
std::string MakeFolderOfLength(const std::string& root, size_t length)
{
    std::string path = root;
    CreateDirectoryA(path.c_str(), NULL);
    while (path.size() < length) {
        size_t remaining = length - path.size();
        size_t segment = remaining - 1;
        if (segment > 60)
            segment = remaining - 61 == 1 ? 59 : 60;
        if (segment == 0)
            return std::string();
        path += "\\" + std::string(segment, 'd');
        if (!CreateDirectoryA(path.c_str(), NULL) && GetLastError() != ERROR_ALREADY_EXISTS)
            return std::string();
    }
    return path;
}

std::vector<std::string> StandinRuns(const std::string& folder)
{
    std::vector<std::string> runs;
    FILE* file = fopen((folder + "\\standin.log").c_str(), "r");
    if (file == NULL)
        return runs;
    char line[2048];
    while (fgets(line, sizeof(line), file) != NULL)
        runs.push_back(line);
    fclose(file);
    return runs;
}

class AutoCalibrationFromItsFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSim();
        RemoveTree(TempRoot());
        char directory[MAX_PATH];
        GetCurrentDirectoryA(sizeof(directory), directory);
        savedDirectory = directory;
    }
    void TearDown() override
    {
        if (module != NULL)
            FreeLibrary(module);
        SetCurrentDirectoryA(savedDirectory.c_str());
        RemoveTree(TempRoot());
    }
    // Copies the library (under the given name) and optionally the stand-in into folder.
    AutoCalibrationProc Install(const std::string& folder, const char* libraryName, bool withCalibrator)
    {
        std::string library = folder + "\\" + libraryName;
        EXPECT_TRUE(CopyFileA(AppletLibraryPath().c_str(), library.c_str(), FALSE)) << library;
        if (withCalibrator) {
            std::string calibrator = folder + "\\Korvelaim.exe";
            EXPECT_TRUE(CopyFileA(ToolPath("calibrator_standin.exe").c_str(), calibrator.c_str(), FALSE)) << calibrator;
        }
        module = LoadLibraryA(library.c_str());
        EXPECT_TRUE(module != NULL) << library << ", error " << GetLastError();
        return module == NULL ? NULL : (AutoCalibrationProc)(void*)GetProcAddress(module, "AutoCalibration");
    }
    HMODULE module = NULL;
    std::string savedDirectory;
};

TEST_F(AutoCalibrationFromItsFolder, StartsKorvelaimBesideTheLibraryMaximisedAndWaits)
{
    std::string app = MakeFolderOfLength(TempRoot(), TempRoot().size() + 4);
    std::string elsewhere = TempRoot() + "\\cwd";
    ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), NULL));
    // A Korvelaim.exe in the current directory must not be the one that runs.
    ASSERT_TRUE(CopyFileA(ToolPath("calibrator_standin.exe").c_str(), (elsewhere + "\\Korvelaim.exe").c_str(), FALSE));
    ASSERT_TRUE(SetCurrentDirectoryA(elsewhere.c_str()));
    AutoCalibrationProc autoCalibration = Install(app, "Korvelpad.cpl", true);
    ASSERT_TRUE(autoCalibration != NULL);

    EXPECT_TRUE(autoCalibration());
    std::vector<std::string> runs = StandinRuns(app);
    ASSERT_EQ(1u, runs.size()) << "the stand-in had ended when AutoCalibration returned";
    EXPECT_NE(std::string::npos, runs[0].find("flags=1 show=3 ")) << runs[0];
    EXPECT_NE(std::string::npos, runs[0].find("cwd=" + elsewhere + " ")) << runs[0];
    EXPECT_NE(std::string::npos, runs[0].find(app + "\\Korvelaim.exe")) << runs[0];
    EXPECT_TRUE(StandinRuns(elsewhere).empty());
}

TEST_F(AutoCalibrationFromItsFolder, AMissingProgramFailsAndStartsNothing)
{
    std::string app = MakeFolderOfLength(TempRoot(), TempRoot().size() + 4);
    AutoCalibrationProc autoCalibration = Install(app, "Korvelpad.cpl", false);
    ASSERT_TRUE(autoCalibration != NULL);
    SetLastError(0);
    EXPECT_FALSE(autoCalibration());
}

TEST_F(AutoCalibrationFromItsFolder, APathThatJustFitsRunsAndOneCharacterMoreIsRefused)
{
    // The folder and "\Korvelaim.exe" fill 259 characters, the most a path may hold.
    std::string fits = MakeFolderOfLength(TempRoot(), 245);
    ASSERT_EQ(245u, fits.size());
    AutoCalibrationProc autoCalibration = Install(fits, "Korvelpad.cpl", true);
    ASSERT_TRUE(autoCalibration != NULL);
    EXPECT_TRUE(autoCalibration());
    EXPECT_EQ(1u, StandinRuns(fits).size());
    FreeLibrary(module);
    module = NULL;

    // A shorter library name in a deeper folder: the library loads, its calibration
    // program's path would not fit.
    std::string deeper = MakeFolderOfLength(TempRoot() + "\\x", 247);
    ASSERT_EQ(247u, deeper.size());
    autoCalibration = Install(deeper, "k.cpl", false);
    ASSERT_TRUE(autoCalibration != NULL);
    EXPECT_FALSE(autoCalibration());
}

class DriverNotLoaded : public ::testing::Test {
protected:
    void SetUp() override
    {
        manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
        ASSERT_TRUE(manager != NULL);
        service = OpenServiceA(manager, "Korvelscreen", SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS);
        ASSERT_TRUE(service != NULL);
        SERVICE_STATUS status;
        ControlService(service, SERVICE_CONTROL_STOP, &status);
        ASSERT_TRUE(WaitForState(SERVICE_STOPPED)) << "the simulated driver did not stop";
        ASSERT_EQ(INVALID_HANDLE_VALUE, CreateFileA(TOUCH_DEVICE_NAME, GENERIC_READ | GENERIC_WRITE, 0, NULL,
                                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
        openError = GetLastError();
        ASSERT_TRUE(applet.Load());
    }
    void TearDown() override
    {
        // The first start after a stop can fail under Wine; it is tried again.
        bool running = false;
        for (int attempt = 0; attempt < 3 && !running; ++attempt) {
            StartServiceA(service, 0, NULL);
            running = WaitForState(SERVICE_RUNNING);
        }
        EXPECT_TRUE(running) << "the simulated driver did not start again";
        CloseServiceHandle(service);
        CloseServiceHandle(manager);
        ResetSim();
    }
    bool WaitForState(DWORD wanted)
    {
        for (int i = 0; i < 50; ++i) {
            SERVICE_STATUS status;
            if (QueryServiceStatus(service, &status) && status.dwCurrentState == wanted)
                return true;
            Sleep(100);
        }
        return false;
    }
    struct Library {
        HMODULE module = NULL;
        bool Load()
        {
            module = LoadLibraryA(AppletLibraryPath().c_str());
            return module != NULL;
        }
        template <typename T> T Get(const char* name) { return (T)(void*)GetProcAddress(module, name); }
        ~Library()
        {
            if (module != NULL)
                FreeLibrary(module);
        }
    } applet;
    SC_HANDLE manager = NULL;
    SC_HANDLE service = NULL;
    DWORD openError = 0;
};

TEST_F(DriverNotLoaded, EveryExportFailsWithTheOpensError)
{
    EXPECT_NE(0u, openError);
    DWORD mode = 0x77;
    BeepSettings beep = {7, 7, 7};
    const struct {
        const char* what;
        BOOL result;
        DWORD error;
    } calls[] = {
        {"GetMouseMode", (SetLastError(0), applet.Get<GetMouseModeProc>("GetMouseMode")(&mode)), GetLastError()},
        {"SetMouseMode", (SetLastError(0), applet.Get<SetMouseModeProc>("SetMouseMode")(2)), GetLastError()},
        {"GetBeep", (SetLastError(0), applet.Get<GetBeepProc>("GetBeep")(&beep)), GetLastError()},
        {"SetBeep", (SetLastError(0), applet.Get<SetBeepProc>("SetBeep")(1, 2000, 64)), GetLastError()},
    };
    for (const auto& call : calls) {
        EXPECT_FALSE(call.result) << call.what;
        EXPECT_EQ(openError, call.error) << call.what;
    }
    EXPECT_EQ(0x77u, mode);
    EXPECT_EQ(7u, beep.frequency);

    SetLastError(0);
    EXPECT_FALSE(applet.Get<EnableTouchscreenProc>("EnableTouchscreen")(TRUE));
    EXPECT_EQ((DWORD)ERROR_OPEN_FAILED, GetLastError());
}

TEST_F(DriverNotLoaded, AutoCalibrationStartsNothing)
{
    // The stand-in beside the library would log a start.
    std::string folder = TempRoot();
    RemoveTree(folder);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    ASSERT_TRUE(CopyFileA(AppletLibraryPath().c_str(), (folder + "\\Korvelpad2.cpl").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(ToolPath("calibrator_standin.exe").c_str(), (folder + "\\Korvelaim.exe").c_str(), FALSE));
    HMODULE copy = LoadLibraryA((folder + "\\Korvelpad2.cpl").c_str());
    ASSERT_TRUE(copy != NULL);
    AutoCalibrationProc autoCalibration = (AutoCalibrationProc)(void*)GetProcAddress(copy, "AutoCalibration");
    EXPECT_FALSE(autoCalibration());
    EXPECT_TRUE(StandinRuns(folder).empty());
    FreeLibrary(copy);
    RemoveTree(folder);
}

} // namespace
