#!/usr/bin/env python3
"""Draws Korvelseek's icon, a touchscreen under a magnifying glass, and writes it as
korvelseek.ico with eight images: 32x32 and 16x16 at 4 bits per pixel, and 48x48,
32x32 and 16x16 at 8 and at 32 bits per pixel. Run it again after changing the art."""
import math
import os
import struct

VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
       (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def palette_256():
    # The 16 standard colours, a 6x6x6 colour cube and a grey ramp.
    colours = list(VGA)
    for r in range(6):
        for g in range(6):
            for b in range(6):
                colours.append((r * 51, g * 51, b * 51))
    while len(colours) < 256:
        level = (len(colours) - 232) * 10 + 8
        colours.append((level, level, level))
    return colours[:256]


def blend(under, over, alpha):
    return tuple(int(u + (o - u) * alpha) for u, o in zip(under, over))


def sample(u, v):
    """The art at (u, v) in 0..1 coordinates: (r, g, b, alpha)."""
    colour, alpha = (0, 0, 0), 0.0
    # The monitor: a dark bezel around a blue screen, on a short stand.
    if 0.04 <= u <= 0.86 and 0.08 <= v <= 0.70:
        colour, alpha = (64, 64, 72), 1.0
        if 0.10 <= u <= 0.80 and 0.14 <= v <= 0.62:
            shade = (v - 0.14) / 0.48
            colour = blend((96, 170, 240), (24, 80, 170), shade)
    if 0.36 <= u <= 0.54 and 0.70 <= v <= 0.82:
        colour, alpha = (96, 96, 104), 1.0
    if 0.22 <= u <= 0.68 and 0.82 <= v <= 0.90:
        colour, alpha = (64, 64, 72), 1.0
    # A touch on the screen.
    if math.hypot(u - 0.30, v - 0.32) <= 0.07:
        colour, alpha = (255, 255, 255), 1.0
    # The magnifying glass: a yellow ring with a glassy middle and a handle.
    d = math.hypot(u - 0.62, v - 0.56)
    if d <= 0.20:
        colour, alpha = blend(colour, (220, 240, 255), 0.45) if alpha else (220, 240, 255), 1.0
    if 0.15 <= d <= 0.22:
        colour, alpha = (240, 190, 0), 1.0
    t = ((u - 0.76) + (v - 0.70)) / 2
    w = abs((u - 0.76) - (v - 0.70)) / math.sqrt(2)
    if 0.0 <= t <= 0.17 and w <= 0.06:
        colour, alpha = (120, 60, 20), 1.0
    return colour, alpha


def render(size):
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            # Four samples a pixel smooth the edges of the 32-bit images.
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in (0.25, 0.75):
                for sx in (0.25, 0.75):
                    colour, alpha = sample((x + sx) / size, (y + sy) / size)
                    for i in range(3):
                        acc[i] += colour[i] * alpha
                    acc[3] += alpha
            alpha = acc[3] / 4
            colour = tuple(int(c / acc[3]) for c in acc[:3]) if acc[3] else (0, 0, 0)
            row.append((colour, alpha))
        pixels.append(row)
    return pixels


def nearest(colour, palette):
    return min(range(len(palette)), key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))


def mask_rows(pixels, size):
    stride = ((size + 31) // 32) * 4
    data = b""
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, (_, alpha) in enumerate(row):
            if alpha < 0.5:
                bits[x // 8] |= 0x80 >> (x % 8)
        data += bytes(bits)
    return data


def image(size, bpp):
    pixels = render(size)
    colours = {4: VGA, 8: palette_256()}.get(bpp, [])
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, 0, 0, 0, len(colours), 0)
    table = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in colours)
    xor = b""
    stride = ((size * bpp + 31) // 32) * 4
    for row in reversed(pixels):
        line = bytearray()
        if bpp == 32:
            for colour, alpha in row:
                line += bytes((colour[2], colour[1], colour[0], int(round(alpha * 255))))
        elif bpp == 8:
            for colour, alpha in row:
                line.append(nearest(colour, colours) if alpha >= 0.5 else 0)
        else:
            indices = [nearest(colour, colours) if alpha >= 0.5 else 0 for colour, alpha in row]
            for i in range(0, size, 2):
                line.append((indices[i] << 4) | indices[i + 1])
        line += bytes(stride - len(line))
        xor += bytes(line)
    return header + table + xor + mask_rows(pixels, size), len(colours)


def main():
    formats = [(32, 4), (16, 4), (48, 8), (32, 8), (16, 8), (48, 32), (32, 32), (16, 32)]
    images = [(size, bpp) + image(size, bpp) for size, bpp in formats]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bpp, data, colours in images:
        out += struct.pack("<BBBBHHII", size, size, colours if colours < 256 else 0, 0, 1, bpp, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, _, data, _ in images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "korvelseek.ico")
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
