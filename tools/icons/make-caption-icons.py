#!/usr/bin/env python3
"""Draws the icons of the dialogs' caption buttons (close and minimise, a
normal and a hot look each) as 16x16 and 32x32 32-bit icons, and writes
them into resources/. Run from the repository root; the result is checked
in, so the build does not need Python."""
import sys
from pathlib import Path

import icofile

# (file, glyph, glyph colour, background or None), colours as (r, g, b)
ICONS = [
    ("CaptionClose.ico", "close", (64, 64, 64), None),
    ("CaptionCloseHot.ico", "close", (255, 255, 255), (196, 43, 28)),
    ("CaptionMinimize.ico", "minimize", (64, 64, 64), None),
    ("CaptionMinimizeHot.ico", "minimize", (255, 255, 255), (0, 99, 177)),
]


def glyph_covers(glyph, size, x, y):
    """Whether pixel (x, y), top-down, belongs to the glyph."""
    margin = size // 4
    stroke = max(1, size // 10)
    inside = margin <= x < size - margin and margin <= y < size - margin
    if glyph == "close":
        # Two diagonals of the inner square.
        return inside and (abs(x - y) < stroke or abs(x + y - (size - 1)) < stroke)
    # A bar along the bottom of the inner square.
    bottom = size - margin - 1
    return margin <= x < size - margin and bottom - stroke < y <= bottom


def image(glyph, colour, background, size):
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            if glyph_covers(glyph, size, x, y):
                r, g, b = colour
                a = 255
            elif background:
                r, g, b = background
                a = 255
            else:
                r = g = b = a = 0
            row += bytes((b, g, r, a))
        rows.append(bytes(row))
    return icofile.dib(rows, size)


def icon(glyph, colour, background):
    sizes = (16, 32)
    images = [image(glyph, colour, background, s) for s in sizes]
    return icofile.ico(sizes, images)


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else "resources")
    for name, glyph, colour, background in ICONS:
        (folder / name).write_bytes(icon(glyph, colour, background))


if __name__ == "__main__":
    main()
