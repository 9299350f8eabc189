#!/usr/bin/env python3
"""Draws the log viewer's pictures as .ico files in 32-bit colour with alpha: the program icon
(a page of log lines, 16 and 32 pixels) and the four 16-pixel category pictures of the master
list: ADV (a blue "i" disc), DET (a page with a magnifier-like corner), ERR (a red disc with a
white bar), REC (a green circular arrow).

    gen_pictures.py OUTPUT_FOLDER
"""
import math
import os
import struct
import sys


def ico(path, images):
    """images: list of (size, pixel function (x, y) -> (b, g, r, a)), y counted from the top."""
    blobs = []
    for size, pixel in images:
        header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        rows = []
        for y in range(size - 1, -1, -1):
            rows.append(b''.join(struct.pack('<BBBB', *pixel(x, y)) for x in range(size)))
        mask_row = b'\x00' * (((size + 31) // 32) * 4)
        blobs.append(header + b''.join(rows) + mask_row * size)
    out = struct.pack('<HHH', 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for (size, _), data in zip(images, blobs):
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(blobs))


CLEAR = (0, 0, 0, 0)


def disc(colour, inner):
    def pixel(x, y):
        d = math.hypot(x - 7.5, y - 7.5)
        if d > 7.3:
            return CLEAR
        if d > 6.3:
            return tuple(int(c * 0.6) for c in colour[:3]) + (255,)
        return inner(x, y) or colour
    return pixel


def advisory(x, y):
    # a white "i": dot and stem
    if 7 <= x <= 8 and (y in (3, 4) or 6 <= y <= 12):
        return (255, 255, 255, 255)
    return None


def error(x, y):
    # a white bar across
    if 4 <= x <= 11 and 7 <= y <= 8:
        return (255, 255, 255, 255)
    return None


def detail(x, y):
    # a page with lines of text
    if not (2 <= x <= 13 and 1 <= y <= 14):
        return CLEAR
    if x in (2, 13) or y in (1, 14):
        return (90, 90, 90, 255)
    if y in (4, 6, 8, 10, 12) and 4 <= x <= (11 if y != 12 else 8):
        return (170, 110, 40, 255)
    return (255, 255, 255, 255)


def recovery(x, y):
    # a green ring, open at the top right, with an arrow head
    d = math.hypot(x - 7.5, y - 8)
    angle = math.degrees(math.atan2(-(y - 8), x - 7.5)) % 360
    if 4.2 <= d <= 6.6 and not (20 <= angle <= 80):
        return (40, 160, 40, 255)
    if 10 <= x <= 14 and 1 <= y <= 5 and (x - 10) + (5 - y) <= 4 and x >= 10 and y <= 5 and x + y >= 13:
        return (40, 160, 40, 255)
    return CLEAR


def program(size):
    s = size / 32.0
    def pixel(x, y):
        if 5 * s <= x < 27 * s and 2 * s <= y < 30 * s:
            if x < 6 * s or x >= 26 * s or y < 3 * s or y >= 29 * s:
                return (70, 70, 70, 255)
            row = int((y - 6 * s) // (4 * s))
            if y >= 6 * s and (y - 6 * s) % (4 * s) < 2 * s and 8 * s <= x < (24 - 4 * (row % 2)) * s:
                return (180, 100, 30, 255) if row % 3 else (40, 40, 200, 255)
            return (250, 250, 250, 255)
        return CLEAR
    return pixel


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    ico(os.path.join(out, 'Quillon.ico'), [(16, program(16)), (32, program(32))])
    ico(os.path.join(out, 'ADV.ico'), [(16, disc((200, 120, 30, 255), advisory))])
    ico(os.path.join(out, 'DET.ico'), [(16, detail)])
    ico(os.path.join(out, 'ERR.ico'), [(16, disc((40, 40, 210, 255), error))])
    ico(os.path.join(out, 'REC.ico'), [(16, recovery)])


main()
