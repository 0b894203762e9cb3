#include "applet/about_layout.h"
#include "applet/calibrator_path.h"
#include "applet/dialog_font.h"
#include "applet/settings_rules.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

const SettingRule& RuleNamed(const char* name)
{
    for (const SettingRule& rule : SettingRules)
        if (strcmp(rule.name, name) == 0)
            return rule;
    ADD_FAILURE() << "no rule for " << name;
    return SettingRules[0];
}

TEST(SettingRules, ReadAndWrittenInTheStoredOrderIntoTheirOwnFields)
{
    const char* const names[SETTING_COUNT] = {"BeepMode", "BeepFreq", "BeepTime", "MouseMode",
                                              "ButtonMode", "DragDelay", "DblClkRegion"};
    TouchSettingsRecord record = {};
    for (int i = 0; i < SETTING_COUNT; ++i) {
        EXPECT_STREQ(names[i], SettingRules[i].name);
        record.*SettingRules[i].field = 100 + i;
    }
    // Each rule writes a field of its own name, none twice.
    EXPECT_EQ(100u, record.BeepMode);
    EXPECT_EQ(101u, record.BeepFreq);
    EXPECT_EQ(102u, record.BeepTime);
    EXPECT_EQ(103u, record.MouseMode);
    EXPECT_EQ(104u, record.ButtonMode);
    EXPECT_EQ(105u, record.DragDelay);
    EXPECT_EQ(106u, record.DblClkRegion);
}

struct LoadCase {
    const char* name;
    bool read;
    uint32_t stored;
    uint32_t kept;
};

TEST(CorrectLoadedValue, KeepsTheDomainAndReplacesEverythingElse)
{
    const LoadCase cases[] = {
        {"BeepMode", true, 0, 0},
        {"BeepMode", true, 2, 2},
        {"BeepMode", true, 3, 2},
        {"BeepMode", false, 1, 2},
        {"BeepFreq", true, 999, 2360},
        {"BeepFreq", true, 1000, 1000},
        {"BeepFreq", true, 5000, 5000},
        {"BeepFreq", true, 5001, 2360},
        {"BeepFreq", false, 3000, 2360},
        {"BeepTime", true, 31, 32},
        {"BeepTime", true, 32, 32},
        {"BeepTime", true, 512, 512},
        {"BeepTime", true, 513, 32},
        {"BeepTime", true, 0, 32},
        {"MouseMode", true, 0, 0},
        {"MouseMode", true, 3, 3},
        {"MouseMode", true, 4, 3},
        {"MouseMode", true, 0xFFFFFFFFu, 3},
        {"MouseMode", false, 1, 3},
        {"ButtonMode", true, 2, 2},
        {"ButtonMode", true, 3, 0},
        {"ButtonMode", true, 0x80000000u, 0},
        {"DragDelay", true, 1500, 1500},
        {"DragDelay", true, 1501, 0},
        {"DragDelay", true, 0xFFFFFFFFu, 0},
        {"DragDelay", false, 700, 0},
        {"DblClkRegion", true, 0, 0},
        {"DblClkRegion", true, 1000, 1000},
        {"DblClkRegion", true, 0xFFFFFFFFu, 0xFFFFFFFFu},
        {"DblClkRegion", false, 40, 25},
    };
    for (const LoadCase& c : cases)
        EXPECT_EQ(c.kept, CorrectLoadedValue(RuleNamed(c.name), c.read, c.stored))
            << c.name << " stored " << c.stored << (c.read ? "" : " (read failed)");
}

TEST(TouchSettingsAtLoad, AreTheLoadDefaults)
{
    // A failed load leaves these, and the message then promises "default values".
    for (const SettingRule& rule : SettingRules)
        EXPECT_EQ(rule.fallback, TouchSettingsAtLoad.*rule.field) << rule.name;
}

TEST(IsBeepInRange, AcceptsTheBoundsAndNothingBeyond)
{
    struct Case {
        uint32_t mode, frequency, duration;
        bool accepted;
    } cases[] = {
        {0, 1000, 32, true},
        {2, 5000, 512, true},
        {1, 2360, 100, true},
        {3, 2360, 100, false},
        {0xFFFFFFFFu, 2360, 100, false},
        {1, 999, 100, false},
        {1, 5001, 100, false},
        {1, 2360, 31, false},
        {1, 2360, 513, false},
        {1, 0xFFFFFFFFu, 100, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.accepted, IsBeepInRange(c.mode, c.frequency, c.duration))
            << c.mode << "/" << c.frequency << "/" << c.duration;
}

TEST(DoubleClickParameters, FollowTheMouseMode)
{
    struct Case {
        uint32_t mode, region, size, time;
    } cases[] = {
        {3, 40, 40, 800},
        {3, 25, 25, 800},
        {3, 0, 0, 800},
        {0, 40, 5, 266},
        {1, 40, 5, 266},
        {2, 100, 5, 266},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.size, DoubleClickSize(c.mode, c.region)) << "mode " << c.mode << " region " << c.region;
        EXPECT_EQ(c.time, DoubleClickTime(c.mode)) << "mode " << c.mode;
    }
}

TEST(AboutPicturePosition, CentresAcrossAndInTheUpperHalf)
{
    struct Case {
        int pageWidth, pageHeight, x, y;
    } cases[] = {
        {320, 349, 110, 31}, // 349 / 2 is 174; (174 - 111) / 2 is 31
        {100, 222, 0, 0},
        {101, 223, 0, 0},
        {420, 500, 160, 69},
        // Smaller than the picture: the divisions truncate toward zero.
        {99, 200, 0, -5},
        {97, 100, -1, -30},
    };
    for (const Case& c : cases) {
        PicturePosition at = AboutPicturePosition(c.pageWidth, c.pageHeight, 100, 111);
        EXPECT_EQ(c.x, at.x) << c.pageWidth << " x " << c.pageHeight;
        EXPECT_EQ(c.y, at.y) << c.pageWidth << " x " << c.pageHeight;
    }
}

TEST(CalibratorPathInFolder, AppendsTheProgramOnlyWhenItFits)
{
    char path[260];
    ASSERT_TRUE(CalibratorPathInFolder("C:\\Windows\\System32\\", path, sizeof(path)));
    EXPECT_STREQ("C:\\Windows\\System32\\Korvelaim.exe", path);

    // 246 + 13 characters and the terminator fill the buffer exactly; one more does not.
    std::string folder(245, 'd');
    folder += '\\';
    ASSERT_TRUE(CalibratorPathInFolder(folder.c_str(), path, sizeof(path)));
    EXPECT_EQ(259u, strlen(path));
    EXPECT_EQ(folder + "Korvelaim.exe", path);

    std::string longer = "d" + folder;
    memset(path, 'x', sizeof(path));
    EXPECT_FALSE(CalibratorPathInFolder(longer.c_str(), path, sizeof(path)));
    EXPECT_STREQ("", path);

    std::string tooLong(300, 'd');
    memset(path, 'x', sizeof(path));
    EXPECT_FALSE(CalibratorPathInFolder(tooLong.c_str(), path, sizeof(path)));
    EXPECT_STREQ("", path);
}

void Put16(std::vector<uint8_t>& out, unsigned value)
{
    out.push_back((uint8_t)value);
    out.push_back((uint8_t)(value >> 8));
}

void PutText(std::vector<uint8_t>& out, const char* text)
{
    for (; *text != '\0'; ++text)
        Put16(out, (uint8_t)*text);
    Put16(out, 0);
}

// A dialog template laid out as the resource compiler writes one: header, no menu,
// the default class, a title, the font block when there is a face, then three
// buttons, each on a DWORD boundary.
std::vector<uint8_t> BuildTemplate(bool extended, const char* face, unsigned pointSize)
{
    std::vector<uint8_t> out;
    const unsigned style = 0x40000000u | (face != NULL ? 0x40u : 0u); // WS_CHILD, DS_SETFONT
    if (extended) {
        Put16(out, 1);
        Put16(out, 0xFFFF);
        out.insert(out.end(), 8, 0); // help id, extended style
    }
    Put16(out, style & 0xFFFF);
    Put16(out, style >> 16);
    if (!extended)
        out.insert(out.end(), 4, 0);
    Put16(out, 3);
    for (unsigned value : {0u, 0u, 212u, 217u})
        Put16(out, value);
    Put16(out, 0);
    Put16(out, 0);
    PutText(out, "Sheet");
    if (face != NULL) {
        Put16(out, pointSize);
        if (extended) {
            Put16(out, 400);
            out.push_back(0);
            out.push_back(1);
        }
        PutText(out, face);
    }
    for (unsigned id = 1; id <= 3; ++id) {
        out.resize((out.size() + 3) & ~(size_t)3, 0);
        out.insert(out.end(), extended ? 12 : 8, 0); // help id, styles
        for (unsigned value : {7u * id, 20u, 50u, 14u})
            Put16(out, value);
        Put16(out, id);
        if (extended)
            Put16(out, 0);
        Put16(out, 0xFFFF);
        Put16(out, 0x0080);
        PutText(out, id == 2 ? "Cancel" : "OK");
        Put16(out, 0);
    }
    return out;
}

TEST(DialogFont, TheSheetTemplateTakesThePagesFontInPlaceOrStaysAsItWas)
{
    const std::vector<uint8_t> page = BuildTemplate(true, "Verdana", 10);
    DialogFont verdana = {};
    ASSERT_TRUE(ReadDialogFont(page.data(), page.size(), &verdana));
    EXPECT_EQ(10, verdana.pointSize);
    EXPECT_EQ(400, verdana.weight);
    EXPECT_EQ(1, verdana.charset);
    EXPECT_EQ(std::u16string(u"Verdana"), std::u16string((const char16_t*)verdana.face));

    const struct {
        bool extended;
        const char* sheetFace; // NULL: no font block
        bool changed;
    } cases[] = {
        {false, "MS Shell Dlg", true}, {true, "MS Shell Dlg", true}, {false, "Verdana", true},
        {true, "Verdana", true},       {false, "MS", false},         {true, "MS", false},
        {false, NULL, false},          {true, NULL, false},
    };
    const size_t kGuard = 16;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.extended ? "DLGTEMPLATEEX" : "DLGTEMPLATE") << " with "
                                        << (c.sheetFace ? c.sheetFace : "no font"));
        const std::vector<uint8_t> sheet = BuildTemplate(c.extended, c.sheetFace, 8);
        ASSERT_EQ(sheet.size(), DialogTemplateSize(sheet.data(), sheet.size()));
        EXPECT_EQ(0u, DialogTemplateSize(sheet.data(), sheet.size() - 1)) << "a template cut short";

        std::vector<uint8_t> buffer = sheet;
        buffer.insert(buffer.end(), kGuard, 0xCC);
        EXPECT_EQ(c.changed, SetDialogFont(buffer.data(), sheet.size(), verdana));
        EXPECT_EQ(std::vector<uint8_t>(kGuard, 0xCC), std::vector<uint8_t>(buffer.end() - kGuard, buffer.end()))
            << "written past the template";
        if (!c.changed) {
            EXPECT_EQ(sheet, std::vector<uint8_t>(buffer.begin(), buffer.begin() + sheet.size()));
            continue;
        }
        // The same template as the resource compiler would write it with the pages'
        // font (the plain form has no weight or character set).
        std::vector<uint8_t> expected = BuildTemplate(c.extended, "Verdana", 10);
        ASSERT_EQ(expected.size(), DialogTemplateSize(buffer.data(), sheet.size()));
        EXPECT_EQ(expected, std::vector<uint8_t>(buffer.begin(), buffer.begin() + expected.size()));
    }
}

} // namespace
