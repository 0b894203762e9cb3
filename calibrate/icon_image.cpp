// Draws the program icon and lays it out as an .ico file: an ICONDIR, one
// ICONDIRENTRY per image, then per image a BITMAPINFOHEADER, a palette for 8 bits,
// the colour rows bottom-up and the 1-bit transparency mask, rows padded to 4 bytes.
#include "calibrate/icon_image.h"

#include <math.h>

const IconImageFormat ICON_IMAGE_FORMATS[ICON_IMAGE_COUNT] = {
    {48, 32}, {32, 32}, {16, 32}, {48, 24}, {32, 24}, {16, 24}, {48, 8}, {32, 8}, {16, 8},
};

namespace {

const int kBitmapInfoHeaderSize = 40;
const int kPaletteEntries = 256;
const int kSubsamples = 4;

struct Rgba {
    double r, g, b, a;
};

// Paints a colour over `base` with the given coverage.
Rgba Over(Rgba base, double r, double g, double b, double coverage)
{
    const double a = coverage + base.a * (1.0 - coverage);
    if (a <= 0.0)
        return Rgba{0, 0, 0, 0};
    const double keep = base.a * (1.0 - coverage);
    return Rgba{(r * coverage + base.r * keep) / a, (g * coverage + base.g * keep) / a,
                (b * coverage + base.b * keep) / a, a};
}

// Whether a point in a unit square belongs to each layer of the art.
bool InDisc(double dx, double dy)
{
    return dx * dx + dy * dy <= 0.47 * 0.47;
}

bool InRim(double dx, double dy)
{
    const double d = sqrt(dx * dx + dy * dy);
    return d <= 0.47 && d >= 0.41;
}

bool InTargetRing(double dx, double dy, double stroke)
{
    const double d = sqrt(dx * dx + dy * dy);
    return fabs(d - 0.24) <= stroke;
}

bool InCrossHair(double dx, double dy, double stroke)
{
    const double reach = 0.36;
    return (fabs(dx) <= stroke && fabs(dy) <= reach) || (fabs(dy) <= stroke && fabs(dx) <= reach);
}

// The art at one size, straight (not premultiplied) RGBA, top row first.
std::vector<Rgba> DrawIcon(int side)
{
    // Strokes at least a pixel wide, so the 16-pixel image keeps its lines.
    const double stroke = (side >= 32 ? 1.5 : 0.75) / side;
    std::vector<Rgba> pixels((size_t)side * side);
    for (int py = 0; py < side; ++py) {
        for (int px = 0; px < side; ++px) {
            double disc = 0, rim = 0, red = 0;
            for (int sy = 0; sy < kSubsamples; ++sy) {
                for (int sx = 0; sx < kSubsamples; ++sx) {
                    const double dx = (px + (sx + 0.5) / kSubsamples) / side - 0.5;
                    const double dy = (py + (sy + 0.5) / kSubsamples) / side - 0.5;
                    disc += InDisc(dx, dy);
                    rim += InRim(dx, dy);
                    red += InTargetRing(dx, dy, stroke) || InCrossHair(dx, dy, stroke);
                }
            }
            const double samples = kSubsamples * kSubsamples;
            Rgba pixel{0, 0, 0, 0};
            pixel = Over(pixel, 200, 200, 200, disc / samples);
            pixel = Over(pixel, 110, 110, 110, rim / samples);
            pixel = Over(pixel, 255, 0, 0, red / samples);
            pixels[(size_t)py * side + px] = pixel;
        }
    }
    return pixels;
}

uint8_t Channel(double value)
{
    const long v = lround(value);
    return (uint8_t)(v < 0 ? 0 : v > 255 ? 255 : v);
}

// A 6x6x6 colour cube and a grey ramp: enough for the few colours of the art.
std::vector<Rgba> MakePalette(void)
{
    std::vector<Rgba> palette;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette.push_back(Rgba{r * 51.0, g * 51.0, b * 51.0, 1});
    while (palette.size() < (size_t)kPaletteEntries) {
        const double grey = (palette.size() - 216) * 255.0 / 39.0;
        palette.push_back(Rgba{grey, grey, grey, 1});
    }
    return palette;
}

uint8_t NearestPaletteIndex(const std::vector<Rgba>& palette, Rgba colour)
{
    size_t best = 0;
    double bestDistance = 1e30;
    for (size_t i = 0; i < palette.size(); ++i) {
        const double dr = palette[i].r - colour.r, dg = palette[i].g - colour.g, db = palette[i].b - colour.b;
        const double distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return (uint8_t)best;
}

size_t RowBytes(int side, int bitsPerPixel)
{
    return (((size_t)side * bitsPerPixel + 31) / 32) * 4;
}

size_t ImageBytes(const IconImageFormat& format)
{
    const size_t palette = format.bitsPerPixel == 8 ? kPaletteEntries * 4 : 0;
    return kBitmapInfoHeaderSize + palette + RowBytes(format.side, format.bitsPerPixel) * format.side +
           RowBytes(format.side, 1) * format.side;
}

void Put16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back((uint8_t)value);
    out.push_back((uint8_t)(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void AppendImage(std::vector<uint8_t>& out, const IconImageFormat& format, const std::vector<Rgba>& palette)
{
    const int side = format.side;
    const std::vector<Rgba> pixels = DrawIcon(side);
    const size_t colourRow = RowBytes(side, format.bitsPerPixel);
    const size_t maskRow = RowBytes(side, 1);

    Put32(out, kBitmapInfoHeaderSize);
    Put32(out, (uint32_t)side);
    Put32(out, (uint32_t)side * 2); // colour rows and mask rows
    Put16(out, 1);
    Put16(out, (uint32_t)format.bitsPerPixel);
    Put32(out, 0); // BI_RGB
    Put32(out, (uint32_t)(colourRow * side + maskRow * side));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, format.bitsPerPixel == 8 ? kPaletteEntries : 0);
    Put32(out, 0);
    if (format.bitsPerPixel == 8) {
        for (const Rgba& entry : palette) {
            out.push_back(Channel(entry.b));
            out.push_back(Channel(entry.g));
            out.push_back(Channel(entry.r));
            out.push_back(0);
        }
    }

    // Without an alpha channel a pixel is either drawn or left to the mask.
    for (int row = side - 1; row >= 0; --row) {
        std::vector<uint8_t> line;
        for (int x = 0; x < side; ++x) {
            const Rgba p = pixels[(size_t)row * side + x];
            const bool opaque = p.a >= 0.5;
            if (format.bitsPerPixel == 32) {
                line.push_back(Channel(p.b));
                line.push_back(Channel(p.g));
                line.push_back(Channel(p.r));
                line.push_back(Channel(p.a * 255));
            } else if (format.bitsPerPixel == 24) {
                line.push_back(opaque ? Channel(p.b) : 0);
                line.push_back(opaque ? Channel(p.g) : 0);
                line.push_back(opaque ? Channel(p.r) : 0);
            } else {
                line.push_back(opaque ? NearestPaletteIndex(palette, p) : 0);
            }
        }
        line.resize(colourRow, 0);
        out.insert(out.end(), line.begin(), line.end());
    }
    for (int row = side - 1; row >= 0; --row) {
        std::vector<uint8_t> line(maskRow, 0);
        for (int x = 0; x < side; ++x) {
            if (pixels[(size_t)row * side + x].a < 0.5)
                line[x / 8] |= (uint8_t)(0x80 >> (x % 8));
        }
        out.insert(out.end(), line.begin(), line.end());
    }
}

} // namespace

std::vector<uint8_t> BuildIconFile(void)
{
    const std::vector<Rgba> palette = MakePalette();
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1); // icon, not cursor
    Put16(out, ICON_IMAGE_COUNT);
    uint32_t offset = 6 + 16 * ICON_IMAGE_COUNT;
    for (const IconImageFormat& format : ICON_IMAGE_FORMATS) {
        const uint32_t bytes = (uint32_t)ImageBytes(format);
        out.push_back((uint8_t)format.side);
        out.push_back((uint8_t)format.side);
        out.push_back(0); // colour count: 0 for 256 colours and more
        out.push_back(0);
        Put16(out, 1);
        Put16(out, (uint32_t)format.bitsPerPixel);
        Put32(out, bytes);
        Put32(out, offset);
        offset += bytes;
    }
    for (const IconImageFormat& format : ICON_IMAGE_FORMATS)
        AppendImage(out, format, palette);
    return out;
}
