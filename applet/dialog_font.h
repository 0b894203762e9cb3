// The font block of a dialog template in memory (DLGTEMPLATE or DLGTEMPLATEEX), and
// putting one template's font into another in place. The property sheet measures its
// pages in its own template's font, so it is given the pages' font before it is made.
// Pure byte handling, no Windows calls.
#pragma once

#include <stddef.h>
#include <stdint.h>

#define DIALOG_FACE_SIZE 32 // LF_FACESIZE, the terminating zero included

struct DialogFont {
    uint16_t pointSize;
    uint16_t weight;  // DLGTEMPLATEEX only
    uint8_t italic;   // DLGTEMPLATEEX only
    uint8_t charset;  // DLGTEMPLATEEX only
    uint16_t face[DIALOG_FACE_SIZE]; // UTF-16, zero-terminated
};

// The template's length in bytes, its controls included, or 0 when it is malformed or
// does not end within `limit` bytes.
size_t DialogTemplateSize(const uint8_t* dialog, size_t limit);

// The template's font; false when it has none (no DS_SETFONT) or is malformed.
bool ReadDialogFont(const uint8_t* dialog, size_t size, DialogFont* font);

// Gives the template of `size` bytes the font, moving its controls to the next DWORD
// boundary after the new font block. Only those `size` bytes are written: a font
// block that would make the template longer, or a template without a font, leaves
// it unchanged and returns false.
bool SetDialogFont(uint8_t* dialog, size_t size, const DialogFont& font);
