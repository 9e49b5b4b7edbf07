"""Writes 24-bit BMP files: the format of the bitmaps the resource script
takes as they are (no alpha; a key colour stands for transparency)."""

import struct


def bmp(rows, width):
    """The file of a picture from its rows of (r, g, b) tuples, top row first."""
    stride = (width * 3 + 3) & ~3
    pad = bytes(stride - width * 3)
    pixels = b"".join(bytes(c for r, g, b in row for c in (b, g, r)) + pad for row in reversed(rows))  # bottom-up
    header = struct.pack("<IiiHHIIiiII", 40, width, len(rows), 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(header)
    return struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + header + pixels
