// The program icon, drawn by code so that the build makes it from source: a red
// target circle and cross-hair on a grey disc, as the calibration shows them, at
// 48, 32 and 16 pixels and at 32, 24 and 8 bits per pixel each.
#pragma once

#include <stdint.h>

#include <vector>

#define ICON_IMAGE_COUNT 9

struct IconImageFormat {
    int side;
    int bitsPerPixel;
};

// The nine formats in the order the icon file lists them.
extern const IconImageFormat ICON_IMAGE_FORMATS[ICON_IMAGE_COUNT];

// The whole .ico file: directory, then each image as a DIB with its mask.
std::vector<uint8_t> BuildIconFile(void);
