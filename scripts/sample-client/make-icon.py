#!/usr/bin/env python3
"""Draws the sample client's icon into an icon file: 48x48 first (the size a
desktop shows), then 32x32 and 16x16, each a 32-bit bitmap with its mask.
A blue disc with a white arrow pointing up (a transfer).
  make-icon.py OUTPUT.ico"""
import math
import struct
import sys


def pixel(x, y, size):
    """RGBA of the pixel whose centre is (x + 0.5, y + 0.5), top row first."""
    c = size / 2
    px, py = (x + 0.5 - c) / c, (y + 0.5 - c) / c
    r = math.hypot(px, py)
    if r > 0.95:
        return (0, 0, 0, 0)
    arrow_head = py < 0.05 and abs(px) < (0.05 - py) * 0.9 and py > -0.6
    arrow_shaft = abs(px) < 0.16 and 0.0 <= py < 0.6
    if arrow_head or arrow_shaft:
        return (255, 255, 255, 255)
    shade = int(180 + 60 * (1 - r))
    return (30, 90, min(shade, 255), 255)


def bitmap(size):
    rows = [[pixel(x, y, size) for x in range(size)] for y in range(size)]
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(
        bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = (size + 31) // 32 * 4
    mask = b""
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    return header + colour + mask


def main():
    sizes = (48, 32, 16)
    images = [bitmap(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    out += b"".join(images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
