#!/usr/bin/env python3
"""Draws the picture of the update dialogs' "Continue" button: an arrow
pointing right in a round badge, as a strip of 48x48 cells, one per look
of the button (normal, hot, pressed, disabled), and writes it into
resources/ as a 24-bit BMP. Run from the repository root; the result is
checked in, so the build does not need Python.

Magenta (255, 0, 255) is the transparent colour. A bitmap without alpha
cannot blend its edge with whatever lies behind it, so the edge pixels
are blended with the dialogs' usual face colour instead, and pixels the
badge barely touches stay transparent."""
import math
import sys
from pathlib import Path

import bmpfile

CELL = 48
SAMPLES = 4
TRANSPARENT = (255, 0, 255)
FACE = (240, 240, 240)
# Below this share of a pixel the badge leaves it transparent.
MIN_COVER = 0.3

# (badge colour, rim colour, arrow colour, arrow offset in pixels)
LOOKS = [
    ((38, 150, 62), (24, 112, 44), (255, 255, 255), 0),  # normal
    ((56, 178, 82), (32, 134, 56), (255, 255, 255), 0),  # hot
    ((28, 118, 48), (18, 86, 34), (226, 240, 228), 1),  # pressed
    ((178, 178, 178), (150, 150, 150), (236, 236, 236), 0),  # disabled
]

RADIUS = 0.46
RIM = 0.035


def in_badge(x, y):
    return math.hypot(x - 0.5, y - 0.5) <= RADIUS


def in_rim(x, y):
    return math.hypot(x - 0.5, y - 0.5) >= RADIUS - RIM


def in_arrow(x, y):
    shaft = 0.25 <= x <= 0.54 and 0.42 <= y <= 0.58
    # The head: a triangle whose tip points right.
    head = 0.50 <= x <= 0.77 and abs(y - 0.5) <= 0.23 * (0.77 - x) / 0.27
    return shaft or head


def light(colour, y):
    """A little lighter at the top of the badge, darker at its foot."""
    k = 1.12 - 0.24 * y
    return tuple(max(0, min(255, round(c * k))) for c in colour)


def pixel(look, px, py):
    badge, rim, arrow, offset = look
    covered = 0
    total = [0.0, 0.0, 0.0]
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = (px + (sx + 0.5) / SAMPLES) / CELL
            y = (py + (sy + 0.5) / SAMPLES) / CELL
            if not in_badge(x, y):
                continue
            covered += 1
            ax = x - offset / CELL
            ay = y - offset / CELL
            if in_arrow(ax, ay):
                colour = arrow
            elif in_rim(x, y):
                colour = rim
            else:
                colour = light(badge, y)
            for i in range(3):
                total[i] += colour[i]
    share = covered / (SAMPLES * SAMPLES)
    if share < MIN_COVER:
        return TRANSPARENT
    mean = [t / covered for t in total]
    return tuple(round(m * share + f * (1 - share)) for m, f in zip(mean, FACE))


def strip():
    rows = []
    for y in range(CELL):
        row = []
        for look in LOOKS:
            row += [pixel(look, x, y) for x in range(CELL)]
        rows.append(row)
    return bmpfile.bmp(rows, CELL * len(LOOKS))


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else "resources")
    (folder / "Continue.bmp").write_bytes(strip())


if __name__ == "__main__":
    main()
