#!/usr/bin/env python3
"""Draws the Korvane icon (two stacked disk areas, the upper one running) as a .ico file with
16 and 32 pixel images in 32-bit colour with alpha."""
import struct
import sys


def pixel(x, y, size):
    """The colour (b, g, r, a) at a pixel of the image of the given size, y counted from the top."""
    s = size / 32.0
    inset = 2 * s
    def inside(top, bottom):
        return inset <= x < size - inset and top * s <= y < bottom * s
    if inside(3, 15):
        edge = x < inset + s or x >= size - inset - s or y < 4 * s or y >= 14 * s
        if 22 * s <= x < 26 * s and 7 * s <= y < 11 * s:
            return (80, 230, 120, 255)  # the running lamp
        return (120, 60, 20, 255) if edge else (200, 120, 40, 255)
    if inside(17, 29):
        edge = x < inset + s or x >= size - inset - s or y < 18 * s or y >= 28 * s
        return (60, 110, 30, 255) if edge else (110, 170, 60, 255)
    return (0, 0, 0, 0)


def image(size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        rows.append(b''.join(struct.pack('<BBBB', *pixel(x, y, size)) for x in range(size)))
    mask_row = b'\x00' * (((size + 31) // 32) * 4)
    return header + b''.join(rows) + mask_row * size


def main():
    sizes = [16, 32]
    images = [image(n) for n in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], 'wb') as f:
        f.write(out + b''.join(images))


main()
