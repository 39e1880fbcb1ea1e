#!/usr/bin/env python3
"""Draws the program icon: a monitor whose dark screen shows two rows of text, as the overlay device lays them over
video. Writes a Windows .ico with 16, 32 and 48 pixel images (32-bit colour with alpha and an AND mask).

Usage: make_icon.py OUTPUT.ico

The design is laid out on a 48-unit grid with every edge on a multiple of 3, so that all three sizes come out
with sharp edges and no smoothing is needed.
"""

import struct
import sys

GRID = 48
SIZES = (16, 32, 48)

STAND = (0x5A, 0x61, 0x6E)
BEZEL = (0x3C, 0x42, 0x4D)
SCREEN = (0x0B, 0x16, 0x26)
ROW1 = (0xF2, 0xF2, 0xF2)
ROW2 = (0xFF, 0xD2, 0x3C)

# (left, top, right, bottom) of the monitor's frame; its corners are rounded off by one grid step so that the
# outline reads as a screen, not a plain box.
BEZEL_BOX = (0, 3, 48, 39)
CORNER_CUT = 3

# (left, top, right, bottom, colour) in grid units, painted in this order.
SHAPES = [
    (21, 36, 27, 42, STAND),  # neck
    (12, 42, 36, 45, STAND),  # foot
    BEZEL_BOX + (BEZEL,),
    (3, 6, 45, 36, SCREEN),
    # Row 1: four character cells.
    (6, 12, 12, 18, ROW1),
    (15, 12, 21, 18, ROW1),
    (24, 12, 30, 18, ROW1),
    (33, 12, 39, 18, ROW1),
    # Row 2: three character cells.
    (6, 24, 12, 30, ROW2),
    (15, 24, 21, 30, ROW2),
    (24, 24, 30, 30, ROW2),
]


def render(size):
    """Returns rows top to bottom of (r, g, b, a) pixels."""
    step = size / GRID

    def span(a, b):
        return range(round(a * step), round(b * step))

    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]
    for left, top, right, bottom, colour in SHAPES:
        for y in span(top, bottom):
            for x in span(left, right):
                pixels[y][x] = colour + (255,)

    left, top, right, bottom = (round(v * step) for v in BEZEL_BOX)
    cut = round(CORNER_CUT * step)
    for d in range(cut):
        for e in range(cut - d):
            for x, y in ((left + e, top + d), (right - 1 - e, top + d), (left + e, bottom - 1 - d),
                         (right - 1 - e, bottom - 1 - d)):
                pixels[y][x] = (0, 0, 0, 0)
    return pixels


def dib(pixels):
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def ico(sizes):
    images = [dib(render(size)) for size in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return bytes(out)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as f:
        f.write(ico(SIZES))


if __name__ == "__main__":
    main()
