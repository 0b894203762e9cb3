// Bounded walk over a device's hardware-ID list.
#include "installer/hardware_id_match.h"

#include <string.h>

const char* const SupportedHardwareIds[SUPPORTED_HARDWARE_ID_COUNT + 1] = {
    "USB\\VID_7E01&PID_0001",
    "USB\\VID_7E02&PID_0001",
    "USB\\VID_7E03&PID_0007",
    "USB\\VID_7E03&PID_0020",
    "USB\\VID_7E04&PID_0001",
    NULL,
};

int MatchHardwareIdList(const char* const* ids, const unsigned char* list, size_t listSize, UpperCaseText upperCase)
{
    // The returned data need not end in NULs, and the upper-casing runs to a NUL: the
    // strings are handled in a copy that always has two behind the data, so neither
    // a last string nor a last double-byte lead byte can take a step past it.
    unsigned char strings[HARDWARE_ID_LIST_SIZE + 2];
    size_t size = listSize < HARDWARE_ID_LIST_SIZE ? listSize : HARDWARE_ID_LIST_SIZE;
    if (size > 0)
        memcpy(strings, list, size);
    strings[size] = '\0';
    strings[size + 1] = '\0';
    const unsigned char* end = strings + size;

    for (unsigned char* text = strings; text < end && *text != '\0'; text += strlen((const char*)text) + 1)
        upperCase(text);

    for (int entry = 0; ids[entry] != NULL; ++entry) {
        for (const unsigned char* text = strings; text < end && *text != '\0'; text += strlen((const char*)text) + 1) {
            // Equal multibyte strings are equal byte for byte.
            if (strcmp((const char*)text, ids[entry]) == 0)
                return entry;
        }
    }
    return HARDWARE_ID_NO_MATCH;
}
