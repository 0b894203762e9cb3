#include "applet/dialog_font.h"

#include <string.h>

namespace {

const uint32_t kSetFont = 0x40; // DS_SETFONT
const size_t kHeaderSize = 18;   // DLGTEMPLATE
const size_t kHeaderSizeEx = 26; // DLGTEMPLATEEX
const size_t kItemSize = 18;     // DLGITEMTEMPLATE
const size_t kItemSizeEx = 24;   // DLGITEMTEMPLATEEX

uint16_t Word(const uint8_t* at)
{
    return (uint16_t)(at[0] | at[1] << 8);
}

uint32_t Dword(const uint8_t* at)
{
    return Word(at) | (uint32_t)Word(at + 2) << 16;
}

void PutWord(uint8_t* at, uint16_t value)
{
    at[0] = (uint8_t)value;
    at[1] = (uint8_t)(value >> 8);
}

bool IsExtended(const uint8_t* dialog)
{
    return Word(dialog) == 1 && Word(dialog + 2) == 0xFFFF;
}

// The dialog manager aligns controls to DWORD addresses, not offsets.
size_t AlignedOffset(const uint8_t* dialog, size_t offset)
{
    return offset + ((4 - (((uintptr_t)dialog + offset) & 3)) & 3);
}

// Steps `offset` past a string or an ordinal; false when it runs past `limit`.
bool SkipNameOrOrdinal(const uint8_t* dialog, size_t limit, size_t* offset)
{
    if (*offset + 2 > limit)
        return false;
    if (Word(dialog + *offset) == 0xFFFF) {
        *offset += 4;
        return *offset <= limit;
    }
    for (;;) {
        if (*offset + 2 > limit)
            return false;
        const uint16_t unit = Word(dialog + *offset);
        *offset += 2;
        if (unit == 0)
            return true;
    }
}

// Where a template's parts begin and end, in bytes from its start.
struct Layout {
    bool extended;
    bool hasFont;
    size_t font;      // the font block (after the title)
    size_t fontEnd;
    size_t items;     // the first control, DWORD-aligned; equals `end` without controls
    size_t end;
    uint16_t itemCount;
};

bool Parse(const uint8_t* dialog, size_t limit, Layout* layout)
{
    const bool extended = limit >= 4 && IsExtended(dialog);
    const size_t header = extended ? kHeaderSizeEx : kHeaderSize;
    if (limit < header)
        return false;
    const uint32_t style = Dword(dialog + (extended ? 12 : 0));
    layout->extended = extended;
    layout->hasFont = (style & kSetFont) != 0;
    layout->itemCount = Word(dialog + (extended ? 16 : 8));

    size_t at = header;
    for (int field = 0; field < 3; ++field) { // menu, class, title
        if (!SkipNameOrOrdinal(dialog, limit, &at))
            return false;
    }
    layout->font = at;
    if (layout->hasFont) {
        at += extended ? 6 : 2;
        if (at > limit || !SkipNameOrOrdinal(dialog, limit, &at))
            return false;
    }
    layout->fontEnd = at;
    layout->items = layout->itemCount > 0 ? AlignedOffset(dialog, at) : at;

    at = layout->items;
    for (uint16_t i = 0; i < layout->itemCount; ++i) {
        at = AlignedOffset(dialog, at) + (extended ? kItemSizeEx : kItemSize);
        if (at > limit || !SkipNameOrOrdinal(dialog, limit, &at) || !SkipNameOrOrdinal(dialog, limit, &at))
            return false;
        if (at + 2 > limit)
            return false;
        at += 2 + Word(dialog + at); // creation data: its byte count, then the bytes
        if (at > limit)
            return false;
    }
    layout->end = at;
    return true;
}

size_t FaceLength(const uint16_t* face)
{
    size_t length = 0;
    while (length < DIALOG_FACE_SIZE - 1 && face[length] != 0)
        ++length;
    return length;
}

} // namespace

size_t DialogTemplateSize(const uint8_t* dialog, size_t limit)
{
    Layout layout;
    return Parse(dialog, limit, &layout) ? layout.end : 0;
}

bool ReadDialogFont(const uint8_t* dialog, size_t size, DialogFont* font)
{
    Layout layout;
    if (!Parse(dialog, size, &layout) || !layout.hasFont)
        return false;
    memset(font, 0, sizeof(*font));
    const uint8_t* at = dialog + layout.font;
    font->pointSize = Word(at);
    if (layout.extended) {
        font->weight = Word(at + 2);
        font->italic = at[4];
        font->charset = at[5];
        at += 6;
    } else {
        at += 2;
    }
    const size_t faceLength = (dialog + layout.fontEnd - at) / 2 - 1;
    if (faceLength >= DIALOG_FACE_SIZE)
        return false;
    for (size_t i = 0; i < faceLength; ++i)
        font->face[i] = Word(at + 2 * i);
    return true;
}

bool SetDialogFont(uint8_t* dialog, size_t size, const DialogFont& font)
{
    Layout layout;
    if (!Parse(dialog, size, &layout) || !layout.hasFont)
        return false;
    const size_t faceLength = FaceLength(font.face);
    const size_t fontEnd = layout.font + (layout.extended ? 6 : 2) + 2 * (faceLength + 1);
    const size_t items = layout.itemCount > 0 ? AlignedOffset(dialog, fontEnd) : fontEnd;
    if (items > layout.items)
        return false;

    memmove(dialog + items, dialog + layout.items, layout.end - layout.items);
    uint8_t* at = dialog + layout.font;
    PutWord(at, font.pointSize);
    if (layout.extended) {
        PutWord(at + 2, font.weight);
        at[4] = font.italic;
        at[5] = font.charset;
        at += 6;
    } else {
        at += 2;
    }
    for (size_t i = 0; i <= faceLength; ++i)
        PutWord(at + 2 * i, i < faceLength ? font.face[i] : 0);
    memset(dialog + fontEnd, 0, items - fontEnd);
    return true;
}
