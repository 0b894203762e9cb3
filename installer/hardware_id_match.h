// The comparison of one device's hardware-ID list with the supported touchscreen IDs.
// Pure, so that the walk over data a driver or the registry handed back can be
// exercised on its own, with any data and any size.
#pragma once

#include <stddef.h>

#define SUPPORTED_HARDWARE_ID_COUNT 5

// Room for one working copy of a hardware ID.
#define HARDWARE_ID_SIZE 120

// Room for a device's SPDRP_HARDWAREID data; a longer list is not read.
#define HARDWARE_ID_LIST_SIZE 400

#define HARDWARE_ID_NO_MATCH (-1)

// USB hardware IDs without a revision part, in the order they are searched and installed,
// ended by a null entry as MatchHardwareIdList takes them.
extern const char* const SupportedHardwareIds[SUPPORTED_HARDWARE_ID_COUNT + 1];

// Upper-cases a NUL-terminated string in place and returns it (the shape of _mbsupr).
typedef unsigned char* (*UpperCaseText)(unsigned char* text);

// Compares the entries of ids (ended by a null entry), in order, with each string of
// the device's list once upperCase has been applied to them. The list is the first
// listSize bytes of list (at most HARDWARE_ID_LIST_SIZE are read): strings ended by
// a NUL, the list ended by an empty string or by the end of the data, whichever comes
// first; a string that runs to the end of the data ends there. Returns the index of
// the first entry equal to one of the strings, or HARDWARE_ID_NO_MATCH.
int MatchHardwareIdList(const char* const* ids, const unsigned char* list, size_t listSize, UpperCaseText upperCase);
