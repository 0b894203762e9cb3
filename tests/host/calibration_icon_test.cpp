// The generated program icon: a well-formed .ico with the nine images Windows picks
// from, transparent around the disc and red at the cross-hair.
#include <gtest/gtest.h>

#include "calibrate/icon_image.h"

namespace {

uint32_t Read16(const std::vector<uint8_t>& data, size_t at)
{
    return data.at(at) | (uint32_t)data.at(at + 1) << 8;
}

uint32_t Read32(const std::vector<uint8_t>& data, size_t at)
{
    return Read16(data, at) | Read16(data, at + 2) << 16;
}

size_t RowBytes(uint32_t side, uint32_t bits)
{
    return ((side * bits + 31) / 32) * 4;
}

struct Rgb {
    uint8_t r, g, b;
};

// The colour of pixel (x, y), y counted from the top, and whether the mask shows it.
bool PixelAt(const std::vector<uint8_t>& icon, size_t image, uint32_t side, uint32_t bits, uint32_t x, uint32_t y,
             Rgb* colour)
{
    const size_t palette = image + 40;
    const size_t pixels = palette + (bits == 8 ? 256 * 4 : 0);
    const size_t mask = pixels + RowBytes(side, bits) * side;
    const uint32_t row = side - 1 - y;
    const size_t at = pixels + RowBytes(side, bits) * row + x * (bits / 8);
    if (bits == 8) {
        const size_t entry = palette + 4 * icon.at(at);
        *colour = Rgb{icon.at(entry + 2), icon.at(entry + 1), icon.at(entry)};
    } else {
        *colour = Rgb{icon.at(at + 2), icon.at(at + 1), icon.at(at)};
    }
    const uint8_t maskByte = icon.at(mask + RowBytes(side, 1) * row + x / 8);
    const bool transparent = (maskByte & (0x80 >> (x % 8))) != 0;
    if (bits == 32 && icon.at(at + 3) == 0)
        return false;
    return !transparent;
}

TEST(CalibrationIcon, NineImagesInTheThreeSizesAndDepths)
{
    const std::vector<uint8_t> icon = BuildIconFile();
    ASSERT_GE(icon.size(), 6u + 16u * 9u);
    EXPECT_EQ(0u, Read16(icon, 0));
    EXPECT_EQ(1u, Read16(icon, 2)) << "type 1 is an icon";
    ASSERT_EQ(9u, Read16(icon, 4));

    const uint32_t sides[] = {48, 32, 16};
    const uint32_t depths[] = {32, 24, 8};
    bool seen[3][3] = {};
    size_t expectedOffset = 6 + 16 * 9;
    for (size_t i = 0; i < 9; ++i) {
        const size_t entry = 6 + 16 * i;
        const uint32_t side = icon[entry];
        const uint32_t bits = Read16(icon, entry + 6);
        const uint32_t bytes = Read32(icon, entry + 8);
        const uint32_t offset = Read32(icon, entry + 12);
        SCOPED_TRACE(testing::Message() << "image " << i << ": " << side << " px, " << bits << " bits");
        EXPECT_EQ(side, (uint32_t)icon[entry + 1]);
        EXPECT_EQ(1u, Read16(icon, entry + 4)) << "planes";
        ASSERT_EQ(expectedOffset, offset) << "images follow each other without gaps";
        ASSERT_LE((size_t)offset + bytes, icon.size());
        expectedOffset += bytes;

        EXPECT_EQ(40u, Read32(icon, offset));
        EXPECT_EQ(side, Read32(icon, offset + 4));
        EXPECT_EQ(2 * side, Read32(icon, offset + 8)) << "the height counts colour and mask";
        EXPECT_EQ(bits, Read16(icon, offset + 14));
        const size_t palette = bits == 8 ? 256 * 4 : 0;
        EXPECT_EQ(40 + palette + (RowBytes(side, bits) + RowBytes(side, 1)) * side, (size_t)bytes);

        for (int s = 0; s < 3; ++s)
            for (int d = 0; d < 3; ++d)
                if (sides[s] == side && depths[d] == bits)
                    seen[s][d] = true;
    }
    EXPECT_EQ(icon.size(), expectedOffset) << "nothing after the last image";
    for (int s = 0; s < 3; ++s)
        for (int d = 0; d < 3; ++d)
            EXPECT_TRUE(seen[s][d]) << sides[s] << " px at " << depths[d] << " bits is missing";
}

TEST(CalibrationIcon, TransparentCornersAndARedCentreInEveryImage)
{
    const std::vector<uint8_t> icon = BuildIconFile();
    for (size_t i = 0; i < 9; ++i) {
        const size_t entry = 6 + 16 * i;
        const uint32_t side = icon[entry];
        const uint32_t bits = Read16(icon, entry + 6);
        const size_t image = Read32(icon, entry + 12);
        SCOPED_TRACE(testing::Message() << side << " px, " << bits << " bits");
        Rgb colour;
        EXPECT_FALSE(PixelAt(icon, image, side, bits, 0, 0, &colour)) << "corner shows";
        EXPECT_FALSE(PixelAt(icon, image, side, bits, side - 1, side - 1, &colour)) << "corner shows";
        ASSERT_TRUE(PixelAt(icon, image, side, bits, side / 2, side / 2, &colour)) << "centre hidden";
        EXPECT_GE(colour.r, 200) << "the cross-hair's centre is red";
        EXPECT_LE(colour.g, 60);
        EXPECT_LE(colour.b, 60);
        // Between ring and rim the disc is grey.
        ASSERT_TRUE(PixelAt(icon, image, side, bits, side / 2 + side * 3 / 10, side / 2 + side / 6, &colour));
        EXPECT_NEAR(colour.r, colour.g, 40) << "grey, not red";
    }
}

} // namespace
