#!/usr/bin/env python3
"""Draws the four icons of the framework's message boxes (information,
question, stop, exclamation) as 48x48 and 64x64 32-bit icons with alpha,
and writes them into resources/. Run from the repository root; the result
is checked in, so the build does not need Python.

Each shape is described in unit coordinates (0..1 across the icon) and
sampled 4x4 times per pixel, so the edges come out smooth at both sizes."""
import math
import sys
from pathlib import Path

import icofile

SAMPLES = 4


def in_circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_rect(x, y, left, top, right, bottom):
    return left <= x <= right and top <= y <= bottom


def in_triangle(x, y, a, b, c):
    def side(p, q):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    s1, s2, s3 = side(a, b), side(b, c), side(c, a)
    return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)


def near_segment(x, y, ax, ay, bx, by, half_width):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx, ay + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= half_width * half_width


def disc(x, y):
    return in_circle(x, y, 0.5, 0.5, 0.46)


def info_glyph(x, y):
    return in_circle(x, y, 0.5, 0.27, 0.07) or in_rect(x, y, 0.43, 0.40, 0.57, 0.78)


def question_glyph(x, y):
    # The hook: a ring around (0.5, 0.35), open at its lower left.
    r = math.hypot(x - 0.5, y - 0.35)
    angle = math.degrees(math.atan2(y - 0.35, x - 0.5))  # y grows downwards
    hook = 0.10 <= r <= 0.20 and not (90 <= angle <= 180)
    stem = in_rect(x, y, 0.44, 0.47, 0.56, 0.62)
    return hook or stem or in_circle(x, y, 0.5, 0.75, 0.07)


def stop_glyph(x, y):
    return near_segment(x, y, 0.32, 0.32, 0.68, 0.68, 0.065) or near_segment(x, y, 0.68, 0.32, 0.32, 0.68, 0.065)


TRIANGLE = ((0.5, 0.05), (0.03, 0.93), (0.97, 0.93))


def warning_shape(x, y):
    return in_triangle(x, y, *TRIANGLE)


def warning_glyph(x, y):
    stem = in_triangle(x, y, (0.44, 0.32), (0.56, 0.32), (0.5, 0.68)) or in_rect(x, y, 0.44, 0.32, 0.56, 0.40)
    return stem or in_circle(x, y, 0.5, 0.80, 0.06)


# (file, shape, shape colour, glyph, glyph colour), colours as (r, g, b)
ICONS = [
    ("MsgInformation.ico", disc, (32, 102, 200), info_glyph, (255, 255, 255)),
    ("MsgQuestion.ico", disc, (32, 102, 200), question_glyph, (255, 255, 255)),
    ("MsgStop.ico", disc, (200, 36, 36), stop_glyph, (255, 255, 255)),
    ("MsgExclamation.ico", warning_shape, (240, 186, 24), warning_glyph, (32, 32, 32)),
]


def pixel(shape, shape_colour, glyph, glyph_colour, size, px, py):
    """The premultiplied-free (r, g, b, a) of one pixel, sampled SAMPLES^2 times."""
    covered = 0
    glyph_hits = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = (px + (sx + 0.5) / SAMPLES) / size
            y = (py + (sy + 0.5) / SAMPLES) / size
            if shape(x, y):
                covered += 1
                if glyph(x, y):
                    glyph_hits += 1
    total = SAMPLES * SAMPLES
    if not covered:
        return 0, 0, 0, 0
    mix = glyph_hits / covered
    r, g, b = (round(s * (1 - mix) + c * mix) for s, c in zip(shape_colour, glyph_colour))
    return r, g, b, round(255 * covered / total)


def image(look, size):
    _, shape, shape_colour, glyph, glyph_colour = look
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            r, g, b, a = pixel(shape, shape_colour, glyph, glyph_colour, size, x, y)
            row += bytes((b, g, r, a))
        rows.append(bytes(row))
    return icofile.dib(rows, size)


def icon(look):
    sizes = (48, 64)
    images = [image(look, s) for s in sizes]
    return icofile.ico(sizes, images)


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else "resources")
    for look in ICONS:
        (folder / look[0]).write_bytes(icon(look))


if __name__ == "__main__":
    main()
