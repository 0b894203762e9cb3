// The four page templates as the library carries them: dialog style, size and font,
// and every control's id, class, text, style and place in template order. Read from
// the binary, so that what the resource compiler made of the script is what counts.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/applet_import_hook.h"

namespace {

const WORD kNoId = 0xFFFF;

struct TemplateItem {
    DWORD exStyle;
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    std::string className;
    std::string text;
    WORD textOrdinal;
};

struct DialogTemplate {
    DWORD style;
    short cx, cy;
    WORD pointSize;
    std::string typeface;
    std::vector<TemplateItem> items;
};

// Reads a string-or-ordinal field and moves past it; an ordinal comes back in
// ordinal with an empty string.
std::string ReadNameOrOrdinal(const WORD*& at, WORD* ordinal)
{
    *ordinal = 0;
    if (*at == 0xFFFF) {
        *ordinal = at[1];
        at += 2;
        return std::string();
    }
    std::string text;
    for (; *at != 0; ++at)
        text += (char)*at;
    ++at;
    return text;
}

const WORD* AlignToDword(const void* at, const BYTE* base)
{
    size_t offset = (const BYTE*)at - base;
    return (const WORD*)(base + ((offset + 3) & ~(size_t)3));
}

std::string ClassName(WORD ordinal, const std::string& name)
{
    switch (ordinal) {
    case 0:
        return name;
    case 0x80:
        return "button";
    case 0x81:
        return "edit";
    case 0x82:
        return "static";
    case 0x85:
        return "combobox";
    default:
        return "#" + std::to_string(ordinal);
    }
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = (char)tolower((unsigned char)c);
    return text;
}

// Only the extended template form is accepted: the pages are built with it.
bool ReadTemplate(HMODULE module, int id, DialogTemplate* dialog)
{
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), (LPCSTR)RT_DIALOG);
    if (resource == NULL)
        return false;
    const BYTE* base = (const BYTE*)LockResource(LoadResource(module, resource));
    const WORD* words = (const WORD*)base;
    if (base == NULL || words[0] != 1 || words[1] != 0xFFFF)
        return false;
    const DWORD* dwords = (const DWORD*)(base + 4);
    dialog->style = dwords[2];
    WORD count = *(const WORD*)(base + 16);
    const short* rect = (const short*)(base + 18);
    dialog->cx = rect[2];
    dialog->cy = rect[3];
    const WORD* at = (const WORD*)(base + 26);
    WORD ordinal;
    ReadNameOrOrdinal(at, &ordinal); // menu
    ReadNameOrOrdinal(at, &ordinal); // class
    ReadNameOrOrdinal(at, &ordinal); // caption
    if (dialog->style & DS_SETFONT) {
        dialog->pointSize = at[0];
        at += 3; // size, weight, italic and character set
        dialog->typeface = ReadNameOrOrdinal(at, &ordinal);
    }
    for (WORD i = 0; i < count; ++i) {
        at = AlignToDword(at, base);
        const DWORD* head = (const DWORD*)at;
        TemplateItem item;
        item.exStyle = head[1];
        item.style = head[2];
        const short* place = (const short*)(head + 3);
        item.x = place[0];
        item.y = place[1];
        item.cx = place[2];
        item.cy = place[3];
        item.id = (WORD)head[5];
        at = (const WORD*)(head + 6);
        WORD classOrdinal;
        std::string className = ReadNameOrOrdinal(at, &classOrdinal);
        item.className = Lower(ClassName(classOrdinal, className));
        item.text = ReadNameOrOrdinal(at, &item.textOrdinal);
        WORD extra = *at++;
        at = (const WORD*)((const BYTE*)at + extra);
        dialog->items.push_back(item);
    }
    return true;
}

// type: the class's own style bits under typeMask; flags: further bits that must be
// set. Visibility is compared both ways.
struct ExpectedItem {
    WORD id;
    const char* className;
    const char* text;
    WORD textOrdinal;
    DWORD typeMask;
    DWORD type;
    DWORD flags;
    bool visible;
    DWORD exFlags;
    short x, y, cx, cy;
};

const DWORD kText = 0x1F;
const DWORD kButton = 0x0F;
const DWORD kCombo = 0x03;

const ExpectedItem kCalibration[] = {
    {kNoId, "static",
     "Touchscreen calibration utility converts touchscreen coordinates into screen video coordinates.", 0, kText,
     SS_LEFT, 0, true, 0, 7, 20, 212, 19},
    {1011, "button", "", 0, kButton, BS_PUSHBUTTON, BS_ICON | WS_TABSTOP, true, 0, 169, 164, 36, 38},
    {kNoId, "static", "Calibrate your touchscreen when:", 0, kText, SS_LEFT, 0, true, 0, 7, 52, 129, 8},
    {kNoId, "static", "*. Initially install your touchscreen and corresponding \n    software.", 0, kText, SS_LEFT, 0,
     true, 0, 13, 69, 261, 17},
    {kNoId, "static", "*. Notice the cursor isn't lined with your finger.", 0, kText, SS_LEFT, 0, true, 0, 13, 124,
     221, 8},
    {kNoId, "static", "*. Change the touch monitor video image.", 0, kText, SS_LEFT, 0, true, 0, 13, 87, 198, 8},
    {kNoId, "static", "*. Move or resize touchmonitor video image.", 0, kText, SS_LEFT, 0, true, 0, 13, 105, 173, 8},
};

const ExpectedItem kSettings[] = {
    {1020, "button", "&Mouse Mode", 0, kButton, BS_GROUPBOX, 0, true, 0, 7, 6, 198, 57},
    {1004, "button", "Click on touch", 0, kButton, BS_AUTORADIOBUTTON, WS_TABSTOP, true, 0, 20, 19, 72, 10},
    {1005, "button", "Click on release", 0, kButton, BS_AUTORADIOBUTTON, WS_TABSTOP, true, 0, 20, 32, 80, 10},
    {1006, "button", "Drag", 0, kButton, BS_AUTORADIOBUTTON, WS_TABSTOP, true, 0, 106, 19, 32, 10},
    {1007, "button", "Double click,drag", 0, kButton, BS_AUTORADIOBUTTON, WS_TABSTOP, true, 0, 106, 32, 84, 10},
    {1012, "static", "Double click region:", 0, kText, SS_LEFT, 0, true, 0, 66, 46, 81, 8},
    {1008, "edit", "", 0, 0, 0, ES_READONLY | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, true, 0, 147, 45, 16, 12},
    {1009, "msctls_updown32", "", 0, 0, 0, UDS_ARROWKEYS | UDS_SETBUDDYINT, true, 0, 162, 45, 6, 12},
    {1013, "button", "&Drag Delay", 0, kButton, BS_GROUPBOX, 0, true, 0, 7, 68, 198, 52},
    {1010, "msctls_trackbar32", "", 0, 0, 0, TBS_AUTOTICKS | TBS_BOTH | WS_GROUP | WS_TABSTOP, true, WS_EX_STATICEDGE,
     38, 82, 136, 29},
    {1015, "static", "Long", 0, kText, SS_LEFT, 0, true, 0, 181, 92, 17, 8},
    {1014, "static", "Short", 0, kText, SS_LEFT, 0, true, 0, 13, 92, 21, 8},
    {kNoId, "button", "&Button Mode", 0, kButton, BS_GROUPBOX, 0, false, 0, 7, 131, 198, 41},
    {kNoId, "static", "Current button mode:", 0, kText, SS_LEFT, 0, false, 0, 18, 148, 81, 8},
    {1019, "combobox", "", 0, kCombo, CBS_DROPDOWNLIST, WS_VSCROLL | WS_TABSTOP, false, 0, 115, 146, 60, 77},
};

const DWORD kBeepTrackbar = TBS_AUTOTICKS | TBS_BOTH | WS_BORDER | WS_TABSTOP;

const ExpectedItem kSound[] = {
    {kNoId, "button", "Beep Mode", 0, kButton, BS_GROUPBOX, 0, true, 0, 6, 3, 196, 31},
    {kNoId, "static", "Beep On:", 0, kText, SS_LEFT, 0, true, 0, 20, 16, 33, 8},
    {1001, "combobox", "", 0, kCombo, CBS_DROPDOWNLIST, WS_VSCROLL | WS_GROUP | WS_TABSTOP, true, 0, 85, 13, 86, 56},
    {kNoId, "button", "Beep Settings", 0, kButton, BS_GROUPBOX, 0, true, 0, 6, 39, 196, 165},
    {1002, "msctls_trackbar32", "", 0, 0, 0, kBeepTrackbar, true, WS_EX_CLIENTEDGE, 43, 65, 125, 28},
    {kNoId, "static", "Beep Frequency:", 0, kText, SS_LEFT, 0, true, 0, 14, 52, 61, 8},
    {kNoId, "static", "Low", 0, kText, SS_LEFT, 0, true, 0, 18, 72, 13, 8},
    {kNoId, "static", "High", 0, kText, SS_LEFT, 0, true, 0, 174, 75, 17, 8},
    {kNoId, "static", "Beep Duration:", 0, kText, SS_LEFT, 0, true, 0, 15, 100, 57, 8},
    {1003, "msctls_trackbar32", "", 0, 0, 0, kBeepTrackbar, true, WS_EX_CLIENTEDGE, 43, 112, 125, 29},
    {kNoId, "static", "Short", 0, kText, SS_LEFT, 0, true, 0, 16, 120, 21, 8},
    {kNoId, "static", "Long", 0, kText, SS_LEFT, 0, true, 0, 174, 122, 17, 8},
    {kNoId, "button", "", 0, kButton, BS_GROUPBOX, 0, true, 0, 20, 152, 171, 45},
    {kNoId, "static", "Touch here to test beep.", 0, kText, SS_LEFT, 0, true, 0, 63, 172, 97, 8},
    {kNoId, "static", "", 111, kText, SS_ICON, 0, true, 0, 31, 166, 20, 20},
};

// The three lines whose words are the maker's own are checked for place only.
const ExpectedItem kAbout[] = {
    {kNoId, "static", "Korvel Control Pnael", 0, kText, SS_LEFT, 0, true, 0, 70, 93, 72, 8},
    {kNoId, "static", "Version 1.0U for Windows 2000/XP", 0, kText, SS_LEFT, 0, true, 0, 48, 106, 117, 8},
    {kNoId, "static", "Support USB Only", 0, kText, SS_LEFT, 0, true, 0, 76, 119, 61, 8},
    {kNoId, "static", NULL, 0, kText, SS_LEFT, 0, true, 0, 69, 132, 74, 8},
    {kNoId, "static", "Korvel Technology Co., Ltd.", 0, kText, SS_LEFT, 0, true, 0, 56, 145, 99, 8},
    {kNoId, "static", NULL, 0, kText, SS_LEFT, 0, true, 0, 74, 158, 64, 8},
    {kNoId, "static", NULL, 0, kText, SS_LEFT, 0, true, 0, 61, 171, 89, 8},
};

struct ExpectedTemplate {
    int id;
    short cy;
    const ExpectedItem* items;
    size_t count;
};

std::string WithoutCarriageReturns(std::string text)
{
    std::string plain;
    for (char c : text)
        if (c != '\r')
            plain += c;
    return plain;
}

TEST(AppletTemplates, EveryPageHasItsStyleSizeFontAndControlsInOrder)
{
    HMODULE module = LoadLibraryExA(AppletLibraryPath().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module != NULL) << "cannot load " << AppletLibraryPath();
    const ExpectedTemplate templates[] = {
        {107, 216, kCalibration, sizeof(kCalibration) / sizeof(kCalibration[0])},
        {108, 217, kSettings, sizeof(kSettings) / sizeof(kSettings[0])},
        {109, 217, kSound, sizeof(kSound) / sizeof(kSound[0])},
        {110, 217, kAbout, sizeof(kAbout) / sizeof(kAbout[0])},
    };
    for (const ExpectedTemplate& t : templates) {
        DialogTemplate dialog;
        if (!ReadTemplate(module, t.id, &dialog)) {
            ADD_FAILURE() << "no extended dialog template " << t.id;
            continue;
        }
        const DWORD pageStyle = WS_CHILD | WS_CAPTION | WS_DISABLED;
        EXPECT_EQ(pageStyle, dialog.style & pageStyle) << "template " << t.id;
        EXPECT_EQ(0u, dialog.style & WS_VISIBLE) << "template " << t.id;
        EXPECT_EQ(212, dialog.cx) << "template " << t.id;
        EXPECT_EQ(t.cy, dialog.cy) << "template " << t.id;
        EXPECT_EQ(10, dialog.pointSize) << "template " << t.id;
        EXPECT_EQ("Verdana", dialog.typeface) << "template " << t.id;
        ASSERT_EQ(t.count, dialog.items.size()) << "template " << t.id;
        for (size_t i = 0; i < t.count; ++i) {
            const ExpectedItem& e = t.items[i];
            const TemplateItem& item = dialog.items[i];
            std::string where = "template " + std::to_string(t.id) + " control " + std::to_string(i);
            EXPECT_EQ(e.id, item.id) << where;
            EXPECT_EQ(e.className, item.className) << where;
            if (e.text != NULL) {
                EXPECT_EQ(e.text, WithoutCarriageReturns(item.text)) << where;
            }
            EXPECT_EQ(e.textOrdinal, item.textOrdinal) << where;
            EXPECT_EQ(e.type, item.style & e.typeMask) << where;
            EXPECT_EQ(e.flags, item.style & e.flags) << where;
            EXPECT_EQ(e.visible, (item.style & WS_VISIBLE) != 0) << where;
            EXPECT_EQ(e.exFlags, item.exStyle & e.exFlags) << where;
            EXPECT_EQ(e.x, item.x) << where;
            EXPECT_EQ(e.y, item.y) << where;
            EXPECT_EQ(e.cx, item.cx) << where;
            EXPECT_EQ(e.cy, item.cy) << where;
        }
    }
    FreeLibrary(module);
}

} // namespace
