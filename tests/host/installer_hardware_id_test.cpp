#include "installer/hardware_id_match.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

unsigned char* UpperCaseAscii(unsigned char* text)
{
    for (unsigned char* c = text; *c != '\0'; ++c) {
        if (*c >= 'a' && *c <= 'z')
            *c = (unsigned char)(*c - 'a' + 'A');
    }
    return text;
}

// The strings the walk handed to the upper-casing, for the tests that check its bounds.
std::vector<std::string> upperCased;

unsigned char* RecordUpperCase(unsigned char* text)
{
    upperCased.push_back((const char*)text);
    return UpperCaseAscii(text);
}

// The supported table with the null entry that ends a working list.
std::vector<const char*> SupportedList(void)
{
    std::vector<const char*> ids(SupportedHardwareIds, SupportedHardwareIds + SUPPORTED_HARDWARE_ID_COUNT);
    ids.push_back(nullptr);
    return ids;
}

// Data held in a heap block of exactly its own size, so that AddressSanitizer
// reports any read past it.
int MatchExact(const std::string& data)
{
    std::vector<unsigned char> block(data.begin(), data.end());
    std::vector<const char*> ids = SupportedList();
    return MatchHardwareIdList(ids.data(), block.data(), block.size(), UpperCaseAscii);
}

// A device's list as SetupDi returns it: each string with its NUL, then the empty one.
std::string MultiString(std::initializer_list<const char*> strings)
{
    std::string data;
    for (const char* s : strings) {
        data += s;
        data += '\0';
    }
    data += '\0';
    return data;
}

TEST(HardwareIdMatch, DeviceListsAgainstTheSupportedTable)
{
    const struct {
        const char* what;
        std::string data;
        int expected;
    } cases[] = {
        {"entry 1", MultiString({"USB\\VID_7E01&PID_0001"}), 0},
        {"entry 2", MultiString({"USB\\VID_7E02&PID_0001"}), 1},
        {"entry 3", MultiString({"USB\\VID_7E03&PID_0007"}), 2},
        {"entry 4", MultiString({"USB\\VID_7E03&PID_0020"}), 3},
        {"entry 5", MultiString({"USB\\VID_7E04&PID_0001"}), 4},
        {"lower case", MultiString({"usb\\vid_7e03&pid_0020"}), 3},
        {"mixed case", MultiString({"Usb\\Vid_7e04&Pid_0001"}), 4},
        {"after other IDs", MultiString({"HID\\VID_7E01&PID_0001", "USB\\VID_7E02&PID_0001"}), 1},
        {"revision part only", MultiString({"USB\\VID_7E01&PID_0001&REV_0100"}), HARDWARE_ID_NO_MATCH},
        {"interface part only", MultiString({"USB\\VID_7E01&PID_0001&MI_00"}), HARDWARE_ID_NO_MATCH},
        {"with and without revision",
         MultiString({"USB\\VID_7E03&PID_0007&REV_0200", "USB\\VID_7E03&PID_0007"}), 2},
        {"prefix of an ID", MultiString({"USB\\VID_7E01&PID_000"}), HARDWARE_ID_NO_MATCH},
        {"vendor only", MultiString({"USB\\VID_7E01"}), HARDWARE_ID_NO_MATCH},
        {"neighbouring product", MultiString({"USB\\VID_7E02&PID_0002"}), HARDWARE_ID_NO_MATCH},
        {"leading space", MultiString({" USB\\VID_7E01&PID_0001"}), HARDWARE_ID_NO_MATCH},
        {"trailing space", MultiString({"USB\\VID_7E01&PID_0001 "}), HARDWARE_ID_NO_MATCH},
        {"non-ASCII tail", MultiString({"USB\\VID_7E01&PID_0001\xE9"}), HARDWARE_ID_NO_MATCH},
        {"table order wins over list order",
         MultiString({"USB\\VID_7E04&PID_0001", "USB\\VID_7E02&PID_0001"}), 1},
        {"no data", std::string(), HARDWARE_ID_NO_MATCH},
        {"empty list", std::string(1, '\0'), HARDWARE_ID_NO_MATCH},
        {"ID after the empty string",
         MultiString({"ROOT\\OTHER"}) + MultiString({"USB\\VID_7E01&PID_0001"}), HARDWARE_ID_NO_MATCH},
        {"no terminators at all", std::string("USB\\VID_7E05&PID_0001"), HARDWARE_ID_NO_MATCH},
        {"last string without its NUL", std::string("ROOT\\OTHER") + '\0' + "USB\\VID_7E03&PID_0020", 3},
        {"list without its empty string", std::string("usb\\vid_7e02&pid_0001") + '\0', 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, MatchExact(c.data)) << c.what;
}

TEST(HardwareIdMatch, ReadsNothingPastTheReturnedSize)
{
    // The caller's buffer holds more than the device returned: stale bytes of an
    // earlier device must neither complete nor extend a string.
    const char buffer[] = "USB\\VID_7E01&PID_0001&REV_0001\0\0";
    std::vector<const char*> ids = SupportedList();
    const struct {
        size_t size;
        int expected;
    } cases[] = {
        {21, 0},                    // the string ends with the data: an exact ID
        {20, HARDWARE_ID_NO_MATCH}, // "...PID_000": the '1' behind it is not part of the data
        {30, HARDWARE_ID_NO_MATCH}, // with its revision part
        {0, HARDWARE_ID_NO_MATCH},
    };
    for (const auto& c : cases) {
        std::vector<unsigned char> block(buffer, buffer + sizeof(buffer));
        EXPECT_EQ(c.expected, MatchHardwareIdList(ids.data(), block.data(), c.size, UpperCaseAscii))
            << "returned size " << c.size;
    }
}

TEST(HardwareIdMatch, BoundedAtTheBufferSize)
{
    std::vector<const char*> ids = SupportedList();

    // A full buffer without a single NUL, even with a returned size beyond the buffer.
    std::vector<unsigned char> full(HARDWARE_ID_LIST_SIZE, 'A');
    for (size_t size : {size_t(HARDWARE_ID_LIST_SIZE), size_t(HARDWARE_ID_LIST_SIZE + 1), size_t(100000)})
        EXPECT_EQ(HARDWARE_ID_NO_MATCH, MatchHardwareIdList(ids.data(), full.data(), size, UpperCaseAscii))
            << "returned size " << size;

    // A supported ID that fills the buffer's last bytes, with no NUL after it.
    const std::string id = "usb\\vid_7e04&pid_0001";
    std::string padding(HARDWARE_ID_LIST_SIZE - id.size() - 1, 'X');
    std::string data = padding + '\0' + id;
    ASSERT_EQ(size_t(HARDWARE_ID_LIST_SIZE), data.size());
    EXPECT_EQ(4, MatchExact(data));

    // The same ID one byte further on no longer fits and is cut at the buffer's end.
    std::vector<unsigned char> longer(data.begin(), data.end());
    longer.insert(longer.begin(), 'X');
    EXPECT_EQ(HARDWARE_ID_NO_MATCH, MatchHardwareIdList(ids.data(), longer.data(), longer.size(), UpperCaseAscii));
}

TEST(HardwareIdMatch, UpperCasesEachStringWithinTheDataOnce)
{
    std::vector<const char*> ids = SupportedList();
    const struct {
        const char* what;
        std::string data;
        size_t size;
        std::vector<std::string> expected;
    } cases[] = {
        {"two strings", MultiString({"abc", "def"}), std::string::npos, {"abc", "def"}},
        {"stops at the empty string", MultiString({"abc"}) + "def", std::string::npos, {"abc"}},
        {"last string cut by the size", MultiString({"abc", "defgh"}), 6, {"abc", "de"}},
        {"nothing returned", MultiString({"abc"}), 0, {}},
        {"leading empty string", std::string(1, '\0') + "abc", std::string::npos, {}},
    };
    for (const auto& c : cases) {
        std::vector<unsigned char> block(c.data.begin(), c.data.end());
        size_t size = c.size == std::string::npos ? block.size() : c.size;
        upperCased.clear();
        EXPECT_EQ(HARDWARE_ID_NO_MATCH, MatchHardwareIdList(ids.data(), block.data(), size, RecordUpperCase)) << c.what;
        EXPECT_EQ(c.expected, upperCased) << c.what;
    }
}

} // namespace
