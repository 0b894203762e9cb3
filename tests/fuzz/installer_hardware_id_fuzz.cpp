// libFuzzer target: any bytes as a device's hardware-ID data. The matcher must stay
// inside the data it is given and agree with a plain reference walk built on
// std::string.
#include "installer/hardware_id_match.h"

#include <stddef.h>
#include <stdint.h>

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

int ReferenceMatch(const uint8_t* data, size_t size)
{
    std::string list((const char*)data, size < HARDWARE_ID_LIST_SIZE ? size : HARDWARE_ID_LIST_SIZE);
    std::vector<std::string> strings;
    size_t start = 0;
    while (start < list.size()) {
        size_t nul = list.find('\0', start);
        std::string text = list.substr(start, nul == std::string::npos ? std::string::npos : nul - start);
        if (text.empty())
            break;
        for (char& c : text) {
            if (c >= 'a' && c <= 'z')
                c = (char)(c - 'a' + 'A');
        }
        strings.push_back(text);
        if (nul == std::string::npos)
            break;
        start = nul + 1;
    }
    for (int entry = 0; entry < SUPPORTED_HARDWARE_ID_COUNT; ++entry) {
        for (const std::string& text : strings) {
            if (text == SupportedHardwareIds[entry])
                return entry;
        }
    }
    return HARDWARE_ID_NO_MATCH;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* ids[SUPPORTED_HARDWARE_ID_COUNT + 1] = {};
    for (int entry = 0; entry < SUPPORTED_HARDWARE_ID_COUNT; ++entry)
        ids[entry] = SupportedHardwareIds[entry];

    // Exactly the fuzzer's bytes, so that AddressSanitizer sees any read past them;
    // the returned size is also taken at its word when it claims more than the buffer.
    size_t held = size < HARDWARE_ID_LIST_SIZE ? size : HARDWARE_ID_LIST_SIZE;
    std::vector<unsigned char> buffer(data, data + held);
    int found = MatchHardwareIdList(ids, buffer.data(), size, UpperCaseAscii);
    if (found != ReferenceMatch(data, size))
        __builtin_trap();
    return 0;
}
