// The generated icons of the three programs: well-formed .ico files with the images
// Windows picks from, drawn cleanly where Windows 2000 ignores the alpha channel, and
// Korvelaim's transparent around its disc and red at the cross-hair; and the About
// picture's colours.
#include <gtest/gtest.h>

#include <string.h>

#include <set>
#include <utility>

#include "art/program_art.h"

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

std::vector<uint8_t> ArtFileNamed(const char* name)
{
    for (const ArtFile& art : ART_FILES)
        if (strcmp(art.name, name) == 0)
            return art.build();
    ADD_FAILURE() << "no art file " << name;
    return std::vector<uint8_t>();
}

struct Pixel {
    uint8_t r, g, b, a; // a: 255 for images without alpha
    bool masked;        // the AND mask's bit
};

// One image of an icon file, read as Windows 2000 reads it.
struct IconImage {
    const std::vector<uint8_t>* file;
    size_t header;
    uint32_t side;
    uint32_t bits;

    size_t Palette() const { return header + 40; }
    size_t Colours() const { return Read32(*file, header + 32); }
    size_t Pixels() const { return Palette() + 4 * Colours(); }

    // Pixel (x, y), y counted from the top.
    Pixel At(uint32_t x, uint32_t y) const
    {
        const uint32_t row = side - 1 - y;
        const size_t line = Pixels() + RowBytes(side, bits) * row;
        Pixel p = {0, 0, 0, 255, false};
        if (bits >= 24) {
            const size_t at = line + x * (bits / 8);
            p = Pixel{file->at(at + 2), file->at(at + 1), file->at(at), bits == 32 ? file->at(at + 3) : (uint8_t)255,
                      false};
        } else {
            const uint8_t byte = file->at(line + x * bits / 8);
            const uint32_t index = bits == 8 ? byte : (x % 2 ? byte & 0x0F : byte >> 4);
            const size_t entry = Palette() + 4 * index;
            p = Pixel{file->at(entry + 2), file->at(entry + 1), file->at(entry), 255, false};
        }
        const size_t mask = Pixels() + RowBytes(side, bits) * side + RowBytes(side, 1) * row;
        p.masked = (file->at(mask + x / 8) & (0x80 >> (x % 8))) != 0;
        return p;
    }
};

std::vector<IconImage> ImagesOf(const std::vector<uint8_t>& icon)
{
    std::vector<IconImage> images;
    for (uint32_t i = 0; i < Read16(icon, 4); ++i) {
        const size_t entry = 6 + 16 * i;
        images.push_back(IconImage{&icon, Read32(icon, entry + 12), icon.at(entry), Read16(icon, entry + 6)});
    }
    return images;
}

typedef std::set<std::pair<uint32_t, uint32_t>> Formats; // (side, bits per pixel)

const Formats kNineImages = {{48, 32}, {32, 32}, {16, 32}, {48, 24}, {32, 24}, {16, 24}, {48, 8}, {32, 8}, {16, 8}};

const struct {
    const char* name;
    Formats formats;
} kIcons[] = {
    {"korvelaim.ico", kNineImages},
    {"korvelpad.ico", kNineImages},
    {"beep.ico", {{32, 4}, {16, 4}}},
    {"korvelseek.ico", {{32, 4}, {16, 4}, {48, 8}, {32, 8}, {16, 8}, {48, 32}, {32, 32}, {16, 32}}},
};

TEST(ProgramIcons, WellFormedWithTheImagesWindowsPicksFrom)
{
    for (const auto& expected : kIcons) {
        SCOPED_TRACE(expected.name);
        const std::vector<uint8_t> icon = ArtFileNamed(expected.name);
        ASSERT_GE(icon.size(), 6u);
        EXPECT_EQ(0u, Read16(icon, 0));
        EXPECT_EQ(1u, Read16(icon, 2)) << "type 1 is an icon";
        const uint32_t count = Read16(icon, 4);
        ASSERT_EQ(expected.formats.size(), count);

        Formats formats;
        size_t expectedOffset = 6 + 16 * count;
        for (uint32_t i = 0; i < count; ++i) {
            const size_t entry = 6 + 16 * i;
            const uint32_t side = icon[entry];
            const uint32_t bits = Read16(icon, entry + 6);
            const uint32_t bytes = Read32(icon, entry + 8);
            const uint32_t offset = Read32(icon, entry + 12);
            SCOPED_TRACE(testing::Message() << "image " << i << ": " << side << " px, " << bits << " bits");
            formats.insert(std::make_pair(side, bits));
            EXPECT_EQ(side, (uint32_t)icon[entry + 1]);
            EXPECT_EQ(bits == 4 ? 16u : 0u, (uint32_t)icon[entry + 2]) << "colour count";
            EXPECT_EQ(1u, Read16(icon, entry + 4)) << "planes";
            ASSERT_EQ(expectedOffset, offset) << "images follow each other without gaps";
            ASSERT_LE((size_t)offset + bytes, icon.size());
            expectedOffset += bytes;

            EXPECT_EQ(40u, Read32(icon, offset));
            EXPECT_EQ(side, Read32(icon, offset + 4));
            EXPECT_EQ(2 * side, Read32(icon, offset + 8)) << "the height counts colour and mask";
            EXPECT_EQ(bits, Read16(icon, offset + 14));
            const uint32_t colours = bits <= 8 ? 1u << bits : 0u;
            EXPECT_EQ(colours, Read32(icon, offset + 32)) << "palette entries";
            EXPECT_EQ(40 + 4 * colours + (RowBytes(side, bits) + RowBytes(side, 1)) * side, (size_t)bytes);
        }
        EXPECT_EQ(icon.size(), expectedOffset) << "nothing after the last image";
        EXPECT_EQ(expected.formats, formats);
    }
}

// Windows 2000 ANDs the mask onto the screen and XORs the colour over it, ignoring the
// alpha: a coloured pixel under a set mask bit would change what lies behind the icon,
// and a faint pixel left unmasked would be drawn solid. Windows XP blends by the alpha,
// so the 32-bit images keep their soft edges in it.
TEST(ProgramIcons, MaskedPixelsAreBlackAndMaskedExactlyWhereAlphaIsBelowHalf)
{
    for (const auto& expected : kIcons) {
        const std::vector<uint8_t> icon = ArtFileNamed(expected.name);
        int softEdge = 0;
        for (const IconImage& image : ImagesOf(icon)) {
            SCOPED_TRACE(testing::Message() << expected.name << ", " << image.side << " px, " << image.bits << " bits");
            int masked = 0, shown = 0;
            for (uint32_t y = 0; y < image.side; ++y) {
                for (uint32_t x = 0; x < image.side; ++x) {
                    const Pixel p = image.At(x, y);
                    masked += p.masked;
                    shown += !p.masked;
                    softEdge += p.a > 0 && p.a < 255;
                    if (p.masked) {
                        EXPECT_EQ(0, p.r | p.g | p.b) << "colour under the mask at " << x << ", " << y;
                    }
                    if (image.bits == 32) {
                        EXPECT_EQ(p.a < 128, p.masked) << "alpha " << (int)p.a << " at " << x << ", " << y;
                    }
                }
            }
            EXPECT_GT(masked, 0) << "nothing is transparent";
            EXPECT_GT(shown, 0) << "nothing is drawn";
        }
        const bool hasAlpha = expected.formats.count(std::make_pair(32u, 32u)) > 0;
        EXPECT_EQ(hasAlpha, softEdge > 0) << expected.name << ": partly transparent pixels";
    }
}

// At 8 bits, with the drawing's own colours in the palette, each once.
TEST(ProgramPictures, AboutPictureAtEightBitsKeepsItsExactColours)
{
    const std::vector<uint8_t> picture = ArtFileNamed("about.bmp");
    ASSERT_GE(picture.size(), 54u);
    EXPECT_EQ(100u, Read32(picture, 18));
    EXPECT_EQ(111u, Read32(picture, 22));
    ASSERT_EQ(8u, Read16(picture, 28));
    const uint32_t colours = Read32(picture, 46);
    ASSERT_LE(colours, 256u);
    std::set<uint32_t> palette;
    for (uint32_t i = 0; i < colours; ++i)
        palette.insert(Read32(picture, 54 + 4 * i));
    EXPECT_EQ(colours, palette.size()) << "a colour twice";
    ASSERT_EQ(54 + 4 * colours, Read32(picture, 10));
    ASSERT_EQ(54 + 4 * colours + 100 * 111, picture.size());
    // 0x00RRGGBB at (x, y) from the top: the target's red centre, its white ring and
    // the screen's blue between them.
    const std::pair<std::pair<int, int>, uint32_t> samples[] = {
        {{50, 40}, 0xDC2020}, {{50, 26}, 0xFFFFFF}, {{20, 20}, 0x1437C8}};
    for (const auto& sample : samples) {
        const int x = sample.first.first, y = sample.first.second;
        const uint32_t index = picture[54 + 4 * colours + 100 * (110 - y) + x];
        ASSERT_LT(index, colours);
        EXPECT_EQ(sample.second, Read32(picture, 54 + 4 * index)) << "at " << x << ", " << y;
    }
}

TEST(ProgramIcons, KorvelaimTransparentCornersAndARedCentreInEveryImage)
{
    const std::vector<uint8_t> icon = ArtFileNamed("korvelaim.ico");
    for (const IconImage& image : ImagesOf(icon)) {
        const uint32_t side = image.side;
        SCOPED_TRACE(testing::Message() << side << " px, " << image.bits << " bits");
        EXPECT_TRUE(image.At(0, 0).masked) << "corner shows";
        EXPECT_TRUE(image.At(side - 1, side - 1).masked) << "corner shows";
        const Pixel centre = image.At(side / 2, side / 2);
        ASSERT_FALSE(centre.masked) << "centre hidden";
        EXPECT_GE(centre.r, 200) << "the cross-hair's centre is red";
        EXPECT_LE(centre.g, 60);
        EXPECT_LE(centre.b, 60);
        // Between ring and rim the disc is grey.
        const Pixel disc = image.At(side / 2 + side * 3 / 10, side / 2 + side / 6);
        ASSERT_FALSE(disc.masked);
        EXPECT_NEAR(disc.r, disc.g, 40) << "grey, not red";
    }
}

} // namespace
