// An icon file is an ICONDIR, one ICONDIRENTRY per image, then per image a
// BITMAPINFOHEADER, a palette for 4 and 8 bits, the colour rows bottom-up and the
// 1-bit AND mask, rows padded to 4 bytes. A .bmp file is a BITMAPFILEHEADER, a
// BITMAPINFOHEADER and the rows.
#include "art/program_art.h"

#include <math.h>
#include <stdlib.h>

namespace {

const int kBitmapInfoHeaderSize = 40;
const int kSubsamples = 4;

struct Rgba {
    double r, g, b, a;
};

const Rgba kClear = {0, 0, 0, 0};

Rgba Opaque(double r, double g, double b)
{
    return Rgba{r, g, b, 1};
}

// The art at (u, v) in 0..1 across the image, for an image `side` pixels wide.
typedef Rgba (*Paint)(double u, double v, int side);

struct IconImageFormat {
    int side;
    int bitsPerPixel;
};

// Korvelaim: a red target circle and cross-hair on a grey disc with a darker rim.
Rgba PaintTarget(double u, double v, int side)
{
    // Strokes at least a pixel wide, so the 16-pixel image keeps its lines.
    const double stroke = (side >= 32 ? 1.5 : 0.75) / side;
    const double dx = u - 0.5, dy = v - 0.5, d = sqrt(dx * dx + dy * dy);
    const bool crossHair = (fabs(dx) <= stroke && fabs(dy) <= 0.36) || (fabs(dy) <= stroke && fabs(dx) <= 0.36);
    if (fabs(d - 0.24) <= stroke || crossHair)
        return Opaque(255, 0, 0);
    if (d <= 0.47 && d >= 0.41)
        return Opaque(110, 110, 110);
    return d <= 0.47 ? Opaque(200, 200, 200) : kClear;
}

const Rgba kBezel = Opaque(64, 64, 72);
const Rgba kBezelLight = Opaque(128, 128, 136);
const Rgba kStand = Opaque(96, 96, 104);
const Rgba kWhite = Opaque(255, 255, 255);
const Rgba kRed = Opaque(220, 32, 32);

// Korvelpad: a monitor on a stand, a target on its screen.
Rgba PaintMonitor(double u, double v, int)
{
    if (u >= 0.04 && u <= 0.96 && v >= 0.08 && v <= 0.74) {
        if (u < 0.12 || u > 0.88 || v < 0.15 || v > 0.66)
            return v < 0.12 || u < 0.08 ? kBezelLight : kBezel;
        const double cu = u - 0.5, cv = v - 0.405, ring = sqrt(cu * cu + cv * cv);
        if (ring < 0.06)
            return kRed;
        if ((ring > 0.13 && ring < 0.18) || fabs(cu) < 0.025 || fabs(cv) < 0.025)
            return kWhite;
        return u + v < 0.62 ? Opaque(96, 160, 232) : Opaque(32, 96, 192);
    }
    if ((u >= 0.42 && u <= 0.58 && v > 0.74 && v <= 0.86) || (u >= 0.24 && u <= 0.76 && v > 0.86 && v <= 0.94))
        return kStand;
    return kClear;
}

// Korvelpad's Sound page: a loudspeaker sending out two waves.
Rgba PaintSpeaker(double u, double v, int)
{
    if (u >= 0.08 && u <= 0.30 && v >= 0.36 && v <= 0.64)
        return Opaque(128, 128, 128);
    if (u > 0.30 && u <= 0.52 && fabs(v - 0.5) <= 0.14 + (u - 0.30) * 1.3)
        return Opaque(0, 0, 0);
    const double cu = u - 0.5, cv = v - 0.5, r = sqrt(cu * cu + cv * cv);
    if (cu > 0 && fabs(cv) < cu * 1.1 && (fabs(r - 0.22) < 0.045 || fabs(r - 0.36) < 0.045))
        return Opaque(0, 0, 255);
    return kClear;
}

Rgba Blend(Rgba under, Rgba over, double share)
{
    return Opaque(under.r + (over.r - under.r) * share, under.g + (over.g - under.g) * share,
                  under.b + (over.b - under.b) * share);
}

// Korvelseek: a monitor with a touch on its screen, under a magnifying glass.
Rgba PaintSearch(double u, double v, int)
{
    Rgba colour = kClear;
    if (u >= 0.04 && u <= 0.86 && v >= 0.08 && v <= 0.70) {
        colour = kBezel;
        if (u >= 0.10 && u <= 0.80 && v >= 0.14 && v <= 0.62)
            colour = Blend(Opaque(96, 170, 240), Opaque(24, 80, 170), (v - 0.14) / 0.48);
    }
    if (u >= 0.36 && u <= 0.54 && v >= 0.70 && v <= 0.82)
        colour = kStand;
    if (u >= 0.22 && u <= 0.68 && v >= 0.82 && v <= 0.90)
        colour = kBezel;
    if (hypot(u - 0.30, v - 0.32) <= 0.07)
        colour = kWhite;
    const Rgba glass = Opaque(220, 240, 255);
    const double d = hypot(u - 0.62, v - 0.56);
    if (d <= 0.20)
        colour = colour.a > 0 ? Blend(colour, glass, 0.45) : glass;
    if (d >= 0.15 && d <= 0.22)
        colour = Opaque(240, 190, 0);
    const double along = ((u - 0.76) + (v - 0.70)) / 2, across = fabs((u - 0.76) - (v - 0.70)) / sqrt(2.0);
    if (along >= 0 && along <= 0.17 && across <= 0.06)
        colour = Opaque(120, 60, 20);
    return colour;
}

// The art at one size, straight (not premultiplied) colour with the share of the
// pixel it covers as alpha, top row first.
std::vector<Rgba> Render(Paint paint, int side)
{
    std::vector<Rgba> pixels((size_t)side * side);
    for (int py = 0; py < side; ++py) {
        for (int px = 0; px < side; ++px) {
            Rgba sum = kClear;
            for (int sy = 0; sy < kSubsamples; ++sy) {
                for (int sx = 0; sx < kSubsamples; ++sx) {
                    const Rgba s = paint((px + (sx + 0.5) / kSubsamples) / side,
                                         (py + (sy + 0.5) / kSubsamples) / side, side);
                    sum = Rgba{sum.r + s.r * s.a, sum.g + s.g * s.a, sum.b + s.b * s.a, sum.a + s.a};
                }
            }
            if (sum.a > 0)
                pixels[(size_t)py * side + px] =
                    Rgba{sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / (kSubsamples * kSubsamples)};
        }
    }
    return pixels;
}

uint8_t Channel(double value)
{
    const long v = lround(value);
    return (uint8_t)(v < 0 ? 0 : v > 255 ? 255 : v);
}

// The 16 standard VGA colours; for 8 bits followed by a 6x6x6 colour cube and a grey
// ramp. Entry 0 is black, the colour of every masked pixel.
std::vector<Rgba> Palette(int bitsPerPixel)
{
    static const uint8_t kVga[16][3] = {
        {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
        {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
        {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
    };
    std::vector<Rgba> palette;
    if (bitsPerPixel > 8)
        return palette;
    for (const auto& c : kVga)
        palette.push_back(Opaque(c[0], c[1], c[2]));
    if (bitsPerPixel == 4)
        return palette;
    for (int i = 0; i < 216; ++i)
        palette.push_back(Opaque(i / 36 * 51.0, i / 6 % 6 * 51.0, i % 6 * 51.0));
    for (int level = 8; palette.size() < 256; level += 10)
        palette.push_back(Opaque(level, level, level));
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

size_t RowBytes(int width, int bitsPerPixel)
{
    return (((size_t)width * bitsPerPixel + 31) / 32) * 4;
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

void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bitsPerPixel, size_t imageBytes,
                   size_t colours, uint32_t pixelsPerMetre)
{
    Put32(out, kBitmapInfoHeaderSize);
    Put32(out, (uint32_t)width);
    Put32(out, (uint32_t)height);
    Put16(out, 1);
    Put16(out, (uint32_t)bitsPerPixel);
    Put32(out, 0); // BI_RGB
    Put32(out, (uint32_t)imageBytes);
    Put32(out, pixelsPerMetre);
    Put32(out, pixelsPerMetre);
    Put32(out, (uint32_t)colours);
    Put32(out, 0);
}

std::vector<uint8_t> IconImage(Paint paint, const IconImageFormat& format)
{
    const int side = format.side, bits = format.bitsPerPixel;
    const std::vector<Rgba> pixels = Render(paint, side);
    const std::vector<Rgba> palette = Palette(bits);
    std::vector<uint8_t> colour, mask;
    for (int row = side - 1; row >= 0; --row) {
        std::vector<uint8_t> line(RowBytes(side, bits), 0), maskLine(RowBytes(side, 1), 0);
        for (int x = 0; x < side; ++x) {
            const Rgba p = pixels[(size_t)row * side + x];
            // What is less than half covered is left to the mask at every depth, so
            // that Windows 2000 draws a 32-bit image's edge as it draws the others';
            // the alpha stays for the systems that blend with it.
            const uint8_t alpha = Channel(p.a * 255);
            if (bits == 32)
                line[(size_t)x * 4 + 3] = alpha;
            if (alpha < 128) {
                maskLine[x / 8] |= (uint8_t)(0x80 >> (x % 8));
            } else if (bits == 32 || bits == 24) {
                uint8_t* at = &line[(size_t)x * (bits / 8)];
                at[0] = Channel(p.b);
                at[1] = Channel(p.g);
                at[2] = Channel(p.r);
            } else if (bits == 8) {
                line[x] = NearestPaletteIndex(palette, p);
            } else {
                line[x / 2] |= (uint8_t)(NearestPaletteIndex(palette, p) << (x % 2 ? 0 : 4));
            }
        }
        colour.insert(colour.end(), line.begin(), line.end());
        mask.insert(mask.end(), maskLine.begin(), maskLine.end());
    }

    std::vector<uint8_t> out;
    PutInfoHeader(out, side, side * 2, bits, colour.size() + mask.size(), palette.size(), 0); // colour and mask rows
    for (const Rgba& entry : palette) {
        out.push_back(Channel(entry.b));
        out.push_back(Channel(entry.g));
        out.push_back(Channel(entry.r));
        out.push_back(0);
    }
    out.insert(out.end(), colour.begin(), colour.end());
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

std::vector<uint8_t> IconFile(Paint paint, const std::vector<IconImageFormat>& formats)
{
    std::vector<std::vector<uint8_t>> images;
    for (const IconImageFormat& format : formats)
        images.push_back(IconImage(paint, format));
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1); // icon, not cursor
    Put16(out, (uint32_t)formats.size());
    uint32_t offset = (uint32_t)(6 + 16 * formats.size());
    for (size_t i = 0; i < formats.size(); ++i) {
        out.push_back((uint8_t)formats[i].side);
        out.push_back((uint8_t)formats[i].side);
        out.push_back(formats[i].bitsPerPixel == 4 ? 16 : 0); // colour count: 0 for 256 colours and more
        out.push_back(0);
        Put16(out, 1);
        Put16(out, (uint32_t)formats[i].bitsPerPixel);
        Put32(out, (uint32_t)images[i].size());
        Put32(out, offset);
        offset += (uint32_t)images[i].size();
    }
    for (const std::vector<uint8_t>& image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

const int kAboutWidth = 100, kAboutHeight = 111;

// The About picture's outline, 100 x 111: a monitor with rounded corners on a stand.
bool InAboutPicture(int x, int y)
{
    if (x >= 4 && x <= 95 && y >= 6 && y <= 76) {
        const int corner = 6;
        const int dx = x < 4 + corner ? 4 + corner - x : x > 95 - corner ? x - (95 - corner) : 0;
        const int dy = y < 6 + corner ? 6 + corner - y : y > 76 - corner ? y - (76 - corner) : 0;
        return dx * dx + dy * dy <= corner * corner;
    }
    return (x >= 42 && x <= 57 && y > 76 && y <= 92) || (x >= 22 && x <= 77 && y > 92 && y <= 102);
}

Rgba AboutPixel(int x, int y)
{
    if (!InAboutPicture(x, y))
        return Opaque(255, 0, 255); // hidden by the mask; loud, so that a broken mask shows
    if (x >= 12 && x <= 87 && y >= 13 && y <= 68) {
        const int cu = x - 50, cv = y - 40;
        const double r = sqrt((double)(cu * cu + cv * cv));
        if (r < 4)
            return kRed;
        if ((r >= 12 && r <= 15) || abs(cu) <= 1 || abs(cv) <= 1)
            return kWhite;
        return Opaque(20, 40 + 120 * (y - 13) / 55, 200);
    }
    if (y > 76)
        return y <= 92 ? kStand : kBezel;
    return y < 10 || x < 8 ? kBezelLight : kBezel;
}

// A .bmp file of the About picture's size from its rows, bottom-up, and palette.
std::vector<uint8_t> AboutBitmap(int bitsPerPixel, const std::vector<uint8_t>& rows, const std::vector<uint8_t>& palette)
{
    std::vector<uint8_t> out = {'B', 'M'};
    const uint32_t headers = 14 + kBitmapInfoHeaderSize + (uint32_t)palette.size();
    Put32(out, headers + (uint32_t)rows.size());
    Put32(out, 0);
    Put32(out, headers);
    PutInfoHeader(out, kAboutWidth, kAboutHeight, bitsPerPixel, rows.size(), palette.size() / 4, 2835); // 72 dpi
    out.insert(out.end(), palette.begin(), palette.end());
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

// Korvelaim's and Korvelpad's icons: 48, 32 and 16 pixels, each at 32, 24 and 8 bits.
const std::vector<IconImageFormat> kNineImages = {{48, 32}, {32, 32}, {16, 32}, {48, 24}, {32, 24},
                                                  {16, 24}, {48, 8},  {32, 8},  {16, 8}};

std::vector<uint8_t> CalibrationIcon(void)
{
    return IconFile(PaintTarget, kNineImages);
}

std::vector<uint8_t> AppletIcon(void)
{
    return IconFile(PaintMonitor, kNineImages);
}

std::vector<uint8_t> BeepIcon(void)
{
    return IconFile(PaintSpeaker, {{32, 4}, {16, 4}});
}

std::vector<uint8_t> InstallerIcon(void)
{
    return IconFile(PaintSearch, {{32, 4}, {16, 4}, {48, 8}, {32, 8}, {16, 8}, {48, 32}, {32, 32}, {16, 32}});
}

bool SameColour(Rgba a, Rgba b)
{
    return Channel(a.r) == Channel(b.r) && Channel(a.g) == Channel(b.g) && Channel(a.b) == Channel(b.b);
}

// At 8 bits with a palette of the picture's own colours, each exactly: it paints as
// at 24 bits, at a third of the size.
std::vector<uint8_t> AboutPicture(void)
{
    std::vector<Rgba> colours;
    std::vector<uint8_t> rows;
    for (int y = kAboutHeight - 1; y >= 0; --y) {
        std::vector<uint8_t> line(RowBytes(kAboutWidth, 8), 0);
        for (int x = 0; x < kAboutWidth; ++x) {
            const Rgba p = AboutPixel(x, y);
            uint8_t index = colours.empty() ? 0 : NearestPaletteIndex(colours, p);
            if ((colours.empty() || !SameColour(colours[index], p)) && colours.size() < 256) {
                index = (uint8_t)colours.size();
                colours.push_back(p);
            }
            line[x] = index;
        }
        rows.insert(rows.end(), line.begin(), line.end());
    }
    std::vector<uint8_t> palette;
    for (const Rgba& colour : colours)
        palette.insert(palette.end(), {Channel(colour.b), Channel(colour.g), Channel(colour.r), 0});
    return AboutBitmap(8, rows, palette);
}

// One bit per pixel, white (1) where the picture shows: it paints as a 24-bit black
// and white mask would, at a 24th of the size.
std::vector<uint8_t> AboutMask(void)
{
    std::vector<uint8_t> rows;
    for (int y = kAboutHeight - 1; y >= 0; --y) {
        std::vector<uint8_t> line(RowBytes(kAboutWidth, 1), 0);
        for (int x = 0; x < kAboutWidth; ++x) {
            if (InAboutPicture(x, y))
                line[x / 8] |= (uint8_t)(0x80 >> (x % 8));
        }
        rows.insert(rows.end(), line.begin(), line.end());
    }
    return AboutBitmap(1, rows, {0, 0, 0, 0, 255, 255, 255, 0});
}

} // namespace

const ArtFile ART_FILES[ART_FILE_COUNT] = {
    {"korvelaim.ico", CalibrationIcon}, {"korvelpad.ico", AppletIcon},   {"beep.ico", BeepIcon},
    {"korvelseek.ico", InstallerIcon},  {"about.bmp", AboutPicture},     {"about_mask.bmp", AboutMask},
};
