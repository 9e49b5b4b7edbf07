#!/usr/bin/env python3
"""Writes the pictures of the test skin library into pictures/.

Every file is written here byte by byte, so that every pixel is known:
BMP files, and one baseline JPEG of a single colour (a JPEG whose blocks
hold nothing but their mean, which any decoder reads). Run it again only
to change the pictures; its output is kept in the tree.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "pictures")

KEY = (255, 0, 255)


def write_bmp(name, width, height, pixel):
    """24-bit bottom-up BMP; pixel(x, y) gives (r, g, b) with y from the top."""
    row = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        line += bytes(row - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(header + info + data)


# 60 x 40: nine regions of distinct colours split at x 20 and 40, y 10 and
# 30; the top-left 4 x 4 pixels are the colour key.
NINE = [
    [(200, 0, 0), (0, 200, 0), (0, 0, 200)],
    [(200, 200, 0), (0, 200, 200), (120, 0, 160)],
    [(100, 50, 0), (50, 100, 150), (150, 150, 150)],
]


def nine(x, y):
    if x < 4 and y < 4:
        return KEY
    column = 0 if x < 20 else (1 if x < 40 else 2)
    row = 0 if y < 10 else (1 if y < 30 else 2)
    return NINE[row][column]


def solid(colour):
    return lambda x, y: colour


# 96 x 72: a small window, rounded corners cut out with the key colour, a
# title band, a light body, a button band at the bottom and a border;
# stretches between x 12...84 and y 20...52.
def window(x, y):
    w, h, radius = 96, 72, 8
    for cx, cy in ((radius, radius), (w - radius - 1, radius), (radius, h - radius - 1),
                   (w - radius - 1, h - radius - 1)):
        if (x < radius or x >= w - radius) and (y < radius or y >= h - radius):
            if (x - cx) ** 2 + (y - cy) ** 2 > radius * radius and abs(x - cx) <= radius and abs(y - cy) <= radius:
                return KEY
    if x < 2 or y < 2 or x >= w - 2 or y >= h - 2:
        return (30, 40, 90)
    if y < 18:
        t = (y - 2) / 16
        return (int(40 + 60 * t), int(70 + 70 * t), int(160 + 60 * t))
    if y >= 52:
        return (210, 215, 230)
    shade = 235 - int(12 * math.sin(x / 7.0) ** 2)
    return (shade, shade, 240)


def button(base):
    def paint(x, y):
        if x == 0 or y == 0 or x == 23 or y == 11:
            return (20, 20, 60)
        return tuple(min(255, c + (10 if y < 6 else 0)) for c in base)
    return paint


def write_solid_jpeg(name, width, height, rgb):
    """Baseline JPEG, 4:4:4, every quantiser 1: each 8 x 8 block is its DC
    term alone, so a solid picture decodes to (almost) exactly rgb."""
    r, g, b = rgb
    ycc = (0.299 * r + 0.587 * g + 0.114 * b,
           128 - 0.168736 * r - 0.331264 * g + 0.5 * b,
           128 + 0.5 * r - 0.418688 * g - 0.081312 * b)
    dcs = [int(round(8 * (c - 128))) for c in ycc]

    def codes(bits, values):
        table, code, k = {}, 0, 0
        for length in range(1, 17):
            for _ in range(bits[length - 1]):
                table[values[k]] = (code, length)
                code += 1
                k += 1
            code <<= 1
        return table

    dc_bits = [0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]
    dc_values = list(range(12))
    ac_bits = [1] + [0] * 15   # one symbol: end of block
    ac_values = [0x00]
    dc_codes, ac_codes = codes(dc_bits, dc_values), codes(ac_bits, ac_values)

    out = bytearray()
    acc, count = 0, 0

    def put(value, length):
        nonlocal acc, count
        for i in range(length - 1, -1, -1):
            acc = (acc << 1) | ((value >> i) & 1)
            count += 1
            if count == 8:
                out.append(acc)
                if acc == 0xFF:
                    out.append(0)
                acc, count = 0, 0

    blocks = ((width + 7) // 8) * ((height + 7) // 8)
    previous = [0, 0, 0]
    for _ in range(blocks):
        for component in range(3):
            diff = dcs[component] - previous[component]
            previous[component] = dcs[component]
            category = abs(diff).bit_length()
            put(*dc_codes[category])
            if category:
                put(diff if diff > 0 else diff + (1 << category) - 1, category)
            put(*ac_codes[0x00])
    if count:
        put((1 << (8 - count)) - 1, 8 - count)

    def segment(marker, payload):
        return struct.pack(">HH", marker, len(payload) + 2) + payload

    data = b"\xFF\xD8"
    data += segment(0xFFE0, b"JFIF\0" + struct.pack(">BBBHHBB", 1, 1, 0, 1, 1, 0, 0))
    data += segment(0xFFDB, bytes([0]) + bytes([1] * 64))
    data += segment(0xFFC0, struct.pack(">BHHB", 8, height, width, 3) + bytes([1, 0x11, 0, 2, 0x11, 0, 3, 0x11, 0]))
    data += segment(0xFFC4, bytes([0x00]) + bytes(dc_bits) + bytes(dc_values))
    data += segment(0xFFC4, bytes([0x10]) + bytes(ac_bits) + bytes(ac_values))
    data += segment(0xFFDA, bytes([3, 1, 0x00, 2, 0x00, 3, 0x00, 0, 63, 0]))
    data += bytes(out) + b"\xFF\xD9"
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    write_bmp("nine.bmp", 60, 40, nine)
    write_bmp("area-normal.bmp", 8, 6, solid((10, 20, 30)))
    write_bmp("area-hot.bmp", 8, 6, solid((40, 50, 60)))
    write_bmp("area-pressed.bmp", 8, 6, solid((70, 80, 90)))
    write_bmp("area-disabled.bmp", 8, 6, solid((100, 110, 120)))
    write_bmp("window.bmp", 96, 72, window)
    write_bmp("button-normal.bmp", 24, 12, button((90, 140, 220)))
    write_bmp("button-hot.bmp", 24, 12, button((120, 180, 250)))
    write_bmp("button-pressed.bmp", 24, 12, button((40, 80, 160)))
    write_bmp("button-disabled.bmp", 24, 12, button((160, 160, 160)))
    write_solid_jpeg("solid.jpg", 16, 12, (200, 60, 30))


if __name__ == "__main__":
    main()
