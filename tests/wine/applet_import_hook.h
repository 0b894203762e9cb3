// Swaps one imported function of a loaded module for a test's own, so that a test
// can watch or bend a Windows call the applet makes without changing the applet.
#pragma once

#include <windows.h>

#include <string>

class ImportHook {
public:
    // Looks the function up by name among the module's imports from dll. The module
// must stay loaded until the hook is gone.
    ImportHook(HMODULE module, const char* dll, const char* function, void* replacement);
    ~ImportHook();
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    bool Installed() const { return slot_ != NULL; }
    // The function the module called before the hook.
    void* Original() const { return original_; }

private:
    void** slot_ = NULL;
    void* original_ = NULL;
};

// The applet library in the build tree's dist folder beside this test's tools folder.
std::string AppletLibraryPath(void);
// A program in this test's own tools folder.
std::string ToolPath(const char* name);
