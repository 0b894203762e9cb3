#include "applet_import_hook.h"

#include <string.h>

namespace {

void** FindImportSlot(HMODULE module, const char* dll, const char* function)
{
    BYTE* base = (BYTE*)module;
    IMAGE_DOS_HEADER* dos = (IMAGE_DOS_HEADER*)base;
    IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(base + dos->e_lfanew);
    IMAGE_DATA_DIRECTORY directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0)
        return NULL;
    for (IMAGE_IMPORT_DESCRIPTOR* import = (IMAGE_IMPORT_DESCRIPTOR*)(base + directory.VirtualAddress);
         import->Name != 0; ++import) {
        if (lstrcmpiA((const char*)(base + import->Name), dll) != 0 || import->OriginalFirstThunk == 0)
            continue;
        IMAGE_THUNK_DATA* names = (IMAGE_THUNK_DATA*)(base + import->OriginalFirstThunk);
        IMAGE_THUNK_DATA* slots = (IMAGE_THUNK_DATA*)(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            IMAGE_IMPORT_BY_NAME* byName = (IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData);
            if (strcmp((const char*)byName->Name, function) == 0)
                return (void**)&slots->u1.Function;
        }
    }
    return NULL;
}

void WriteSlot(void** slot, void* value)
{
    DWORD protection;
    VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection);
    *slot = value;
    // Once written, a copy-on-write page is private: Wine refuses to make it
    // copy-on-write again, so it goes back to read-only.
    VirtualProtect(slot, sizeof(*slot), protection == PAGE_WRITECOPY ? PAGE_READONLY : protection, &protection);
}

std::string BuildTreeFile(const char* folder, const char* name)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof(path));
    std::string tools(path, length);
    tools.erase(tools.find_last_of('\\'));
    std::string top = tools.substr(0, tools.find_last_of('\\'));
    return top + "\\" + folder + "\\" + name;
}

} // namespace

ImportHook::ImportHook(HMODULE module, const char* dll, const char* function, void* replacement)
{
    if (module == NULL)
        return;
    slot_ = FindImportSlot(module, dll, function);
    if (slot_ == NULL)
        return;
    original_ = *slot_;
    WriteSlot(slot_, replacement);
}

ImportHook::~ImportHook()
{
    if (slot_ != NULL)
        WriteSlot(slot_, original_);
}

std::string AppletLibraryPath(void)
{
    return BuildTreeFile("dist", "Korvelpad.cpl");
}

std::string ToolPath(const char* name)
{
    return BuildTreeFile("tools", name);
}
