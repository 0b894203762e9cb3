#include "wine_support.h"

#include <gtest/gtest.h>

SimState ReadSimState(void)
{
    SimState state;
    ZeroMemory(&state, sizeof(state));
    EXPECT_TRUE(SimGetState(&state)) << "cannot read the simulated driver's state, error " << GetLastError();
    return state;
}

unsigned RequestCount(const SimState& state, DWORD code)
{
    int index = SimRequestIndex(code);
    EXPECT_GE(index, 0) << "not a touch control code: " << code;
    return index < 0 ? 0 : state.requests[index];
}

void ResetSim(void)
{
    ASSERT_TRUE(SimReset()) << "cannot reset the simulated driver, error " << GetLastError();
}

MessageBoxCatcher::MessageBoxCatcher(int answer) : answer_(answer)
{
    thread_ = CreateThread(NULL, 0, Watch, this, 0, NULL);
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    InterlockedExchange(&stop_, 1);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
}

namespace {

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindProcessDialog(HWND window, LPARAM lParam)
{
    Search* search = (Search*)lParam;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[32];
    if (process == search->process && IsWindowVisible(window) &&
        GetClassNameA(window, className, sizeof(className)) && lstrcmpA(className, "#32770") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The message text is the box's static control with id 0xFFFF.
std::string WindowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

} // namespace

DWORD WINAPI MessageBoxCatcher::Watch(void* self)
{
    MessageBoxCatcher* catcher = (MessageBoxCatcher*)self;
    while (!catcher->stop_) {
        Search search = {GetCurrentProcessId(), NULL};
        EnumWindows(FindProcessDialog, (LPARAM)&search);
        if (search.found != NULL) {
            catcher->caption = WindowText(search.found);
            catcher->text = WindowText(GetDlgItem(search.found, 0xFFFF));
            catcher->seen_ = true;
            PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(catcher->answer_, BN_CLICKED), 0);
            return 0;
        }
        Sleep(50);
    }
    return 0;
}

bool MessageBoxCatcher::Wait(DWORD timeoutMs)
{
    WaitForSingleObject(thread_, timeoutMs);
    return seen_;
}

void DeleteServicesParametersKey(void)
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\Korvelscreen\\Parameters");
}
