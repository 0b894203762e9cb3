// Korvelaim's resources as Windows sees them in the built program: the class name
// string, the icon group and its nine images, and the version block; and the manifest
// of each shipped file.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "calibrate/resource.h"

namespace {

// The program beside the tools: <build>/dist/Korvelaim.exe.
std::string ProgramPath(void)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof(path));
    std::string self(path, length);
    std::string tools = self.substr(0, self.find_last_of('\\'));
    return tools.substr(0, tools.find_last_of('\\')) + "\\dist\\Korvelaim.exe";
}

class CalibrationResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        module = LoadLibraryExA(ProgramPath().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module != NULL) << ProgramPath() << ": error " << GetLastError();
    }
    void TearDown() override
    {
        if (module != NULL)
            FreeLibrary(module);
    }
    HMODULE module = NULL;
};

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
#pragma pack(pop)
static_assert(sizeof(GroupIconEntry) == 14, "GRPICONDIRENTRY is 14 bytes");

TEST_F(CalibrationResources, StringOneNamesTheWindowClassInUsEnglish)
{
    char text[100] = "";
    EXPECT_EQ(9, LoadStringA(module, IDS_CLASS_NAME, text, sizeof(text)));
    EXPECT_STREQ("Korvelaim", text);
    // Strings live in blocks of 16: string 1 is in block 1.
    EXPECT_TRUE(FindResourceExA(module, (LPCSTR)RT_STRING, MAKEINTRESOURCEA(1),
                                MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)) != NULL);
}

TEST_F(CalibrationResources, IconGroupHoldsNineImagesThatWindowsCanLoad)
{
    HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(IDI_KORVELAIM), (LPCSTR)RT_GROUP_ICON);
    ASSERT_TRUE(group != NULL);
    const BYTE* data = (const BYTE*)LockResource(LoadResource(module, group));
    ASSERT_TRUE(data != NULL);
    const GroupIconHeader* header = (const GroupIconHeader*)data;
    EXPECT_EQ(1, header->type);
    ASSERT_EQ(9, header->count);
    ASSERT_GE(SizeofResource(module, group), sizeof(GroupIconHeader) + 9 * sizeof(GroupIconEntry));

    std::set<std::pair<int, int>> formats;
    const GroupIconEntry* entries = (const GroupIconEntry*)(data + sizeof(GroupIconHeader));
    for (int i = 0; i < header->count; ++i) {
        const GroupIconEntry& entry = entries[i];
        SCOPED_TRACE(testing::Message() << "image " << i);
        formats.insert(std::make_pair((int)entry.width, (int)entry.bitCount));
        HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(entry.id), (LPCSTR)RT_ICON);
        ASSERT_TRUE(image != NULL);
        EXPECT_EQ(entry.bytes, SizeofResource(module, image));
        HICON icon = CreateIconFromResourceEx((BYTE*)LockResource(LoadResource(module, image)),
                                              SizeofResource(module, image), TRUE, 0x00030000, entry.width,
                                              entry.height, 0);
        ASSERT_TRUE(icon != NULL) << "Windows could not make an icon of it";
        ICONINFO info;
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour;
        ASSERT_TRUE(GetObjectA(info.hbmColor, sizeof(colour), &colour) != 0);
        EXPECT_EQ(entry.width, colour.bmWidth);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    for (int side : {48, 32, 16})
        for (int bits : {32, 24, 8})
            EXPECT_EQ(1u, formats.count(std::make_pair(side, bits))) << side << " px at " << bits << " bits";
}

std::string VersionString(const std::string& block, const char* name)
{
    char* value = NULL;
    UINT length = 0;
    std::string query = "\\StringFileInfo\\080404b0\\" + std::string(name);
    if (!VerQueryValueA(block.data(), query.c_str(), (void**)&value, &length) || value == NULL)
        return "(missing)";
    return value;
}

TEST_F(CalibrationResources, VersionBlockInSimplifiedChinese)
{
    EXPECT_TRUE(FindResourceExA(module, (LPCSTR)RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO),
                                MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)) != NULL)
        << "the version block is in language 2052";

    DWORD handle = 0;
    const std::string path = ProgramPath();
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_NE(0u, size);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, &block[0]));

    VS_FIXEDFILEINFO* fixed = NULL;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", (void**)&fixed, &length));
    EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00000001u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010000u, fixed->dwProductVersionMS);
    EXPECT_EQ(0x00000001u, fixed->dwProductVersionLS);

    WORD* translation = NULL;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", (void**)&translation, &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(0x0804, translation[0]);

    EXPECT_EQ("Touchscreen calibration Utility", VersionString(block, "FileDescription"));
    EXPECT_EQ("Korvelaim", VersionString(block, "InternalName"));
    EXPECT_EQ("Korvelaim.exe", VersionString(block, "OriginalFilename"));
    EXPECT_EQ("Korvel Technology Co., Ltd.", VersionString(block, "CompanyName"));
    EXPECT_EQ("1.0.0.1", VersionString(block, "FileVersion"));
}

// Each shipped file asks for comctl32 6 of the architecture it is built for: the
// programs as resource 1, which Windows reads when it starts them, the applet as 123,
// where the Control Panel looks.
TEST(ShippedManifests, AskForCommonControlsSixOfTheBuiltArchitecture)
{
    const std::string dist = ProgramPath().substr(0, ProgramPath().find_last_of('\\') + 1);
    const std::string architecture = sizeof(void*) == 8 ? "processorArchitecture=\"amd64\"" : "processorArchitecture=\"x86\"";
    const struct {
        const char* file;
        int id;
    } kFiles[] = {{"Korvelaim.exe", 1}, {"Korvelseek.exe", 1}, {"Korvelpad.cpl", 123}};
    for (const auto& expected : kFiles) {
        SCOPED_TRACE(expected.file);
        HMODULE module = LoadLibraryExA((dist + expected.file).c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module != NULL) << "error " << GetLastError();
        HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(expected.id), (LPCSTR)RT_MANIFEST);
        const std::string manifest =
            resource != NULL ? std::string((const char*)LockResource(LoadResource(module, resource)),
                                           SizeofResource(module, resource))
                             : "";
        FreeLibrary(module);
        ASSERT_FALSE(manifest.empty()) << "no manifest " << expected.id;
        EXPECT_NE(std::string::npos, manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
        const size_t own = manifest.find(architecture), dependency = manifest.rfind(architecture);
        EXPECT_TRUE(own != std::string::npos && dependency != own) << "its own and the dependency's " << architecture;
    }
}

} // namespace
