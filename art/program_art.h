// The art of the three programs, drawn by code so that the build makes it from source:
// Korvelaim's icon (a red target on a grey disc), Korvelpad's icon (a monitor showing a
// target), its Sound page icon (a loudspeaker), its About picture with the picture's
// mask, and Korvelseek's icon (a monitor under a magnifying glass).
//
// Windows 2000 draws an icon image without its alpha channel: the AND mask, then the
// colour XORed over it. So a pixel under a set mask bit is black in every image, and a
// 32-bit image sets the mask exactly where its alpha is below 128, keeping the alpha
// for Windows XP, which blends with it and ignores the mask.
#pragma once

#include <stdint.h>

#include <vector>

struct ArtFile {
    const char* name; // the file name the resource scripts use
    std::vector<uint8_t> (*build)(void);
};

#define ART_FILE_COUNT 6

// The .ico and .bmp files, icons first.
extern const ArtFile ART_FILES[ART_FILE_COUNT];
