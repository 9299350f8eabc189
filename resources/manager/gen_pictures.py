#!/usr/bin/env python3
"""Draws the manager's pictures: .ico files in 32-bit colour with alpha and the banner as a 24-bit
.bmp. Every picture is drawn at each of its sizes from shapes given by their signed distance, so
that edges come out anti-aliased without any drawing library; the banner's letters are strokes.

    gen_pictures.py OUTPUT_FOLDER

The numbers in the file names are the resource ids (see Pictures.h next to this script).
"""
import math
import os
import struct
import sys


# ---- colours and the canvas -------------------------------------------------------------------


def rgb(text, alpha=1.0):
    """'#rrggbb' as (r, g, b, a) in 0..1."""
    return (int(text[1:3], 16) / 255, int(text[3:5], 16) / 255, int(text[5:7], 16) / 255, alpha)


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def clamp01(v):
    return 0.0 if v < 0 else 1.0 if v > 1 else v


def linear(x0, y0, c0, x1, y1, c1):
    """A colour going from c0 at (x0, y0) to c1 at (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    length = dx * dx + dy * dy
    return lambda x, y: mix(c0, c1, clamp01(((x - x0) * dx + (y - y0) * dy) / length))


class Canvas:
    """Pixels in premultiplied (r, g, b, a), 0..1; pixel (i, j) covers [i, i+1) x [j, j+1)."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def fill(self, shape, colour, alpha=1.0, box=None):
        """Lays colour (or a function (x, y) -> colour) over the pixels the shape covers."""
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1)))
        for j in range(y0, y1):
            for i in range(x0, x1):
                cx, cy = i + 0.5, j + 0.5
                cover = clamp01(0.5 - shape(cx, cy))
                if cover <= 0:
                    continue
                c = colour(cx, cy) if callable(colour) else colour
                a = cover * alpha * c[3]
                p = self.px[j * self.width + i]
                p[0] = c[0] * a + p[0] * (1 - a)
                p[1] = c[1] * a + p[1] * (1 - a)
                p[2] = c[2] * a + p[2] * (1 - a)
                p[3] = a + p[3] * (1 - a)

    def bgra(self, x, y):
        r, g, b, a = self.px[y * self.width + x]
        if a <= 0:
            return (0, 0, 0, 0)
        return tuple(int(round(clamp01(v) * 255)) for v in (b / a, g / a, r / a, a))


# ---- shapes: functions (x, y) -> signed distance in pixels, negative inside ---------------------


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ring(cx, cy, r, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2


def rect(x0, y0, x1, y1, radius=0.0):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2

    def d(x, y):
        qx, qy = abs(x - cx) - hx + radius, abs(y - cy) - hy + radius
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - radius
    return d


def segment(ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    length = dx * dx + dy * dy or 1e-9

    def d(x, y):
        t = clamp01(((x - ax) * dx + (y - ay) * dy) / length)
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - width / 2
    return d


def polyline(points, width):
    return union(*(segment(*a, *b, width) for a, b in zip(points, points[1:])))


def arc(cx, cy, r, a0, a1, width):
    """The part of a circle from angle a0 counter-clockwise to a1 (degrees, 0 to the right)."""
    span = (a1 - a0) % 360 or 360
    ends = [(cx + r * math.cos(math.radians(a)), cy - r * math.sin(math.radians(a))) for a in (a0, a1)]

    def d(x, y):
        angle = math.degrees(math.atan2(-(y - cy), x - cx))
        if (angle - a0) % 360 <= span:
            dist = abs(math.hypot(x - cx, y - cy) - r)
        else:
            dist = min(math.hypot(x - ex, y - ey) for ex, ey in ends)
        return dist - width / 2
    return d


def polygon(points):
    n = len(points)

    def d(x, y):
        best = float('inf')
        sign = 1.0
        for k in range(n):
            (ax, ay), (bx, by) = points[k], points[k - 1]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = clamp01((wx * ex + wy * ey) / (ex * ex + ey * ey))
            best = min(best, math.hypot(wx - ex * t, wy - ey * t))
            c1, c2, c3 = y >= ay, y < by, ex * wy > ey * wx
            if (c1 and c2 and c3) or (not c1 and not c2 and not c3):
                sign = -sign
        return sign * best
    return d


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def intersect(*shapes):
    return lambda x, y: max(s(x, y) for s in shapes)


def subtract(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))


def grow(shape, by):
    return lambda x, y: shape(x, y) - by


def scaled(shape, s):
    """A shape drawn on a design grid, put on pixels s times as large."""
    return lambda x, y: shape(x / s, y / s) * s


# ---- strokes of letters and digits --------------------------------------------------------------
# Units: x-height 1, baseline 0, y upwards; each glyph is (advance, top, strokes). A stroke is
# ('seg', x0, y0, x1, y1) or ('arc', cx, cy, r, a0, a1); every glyph is cut flat at its baseline
# and top.

GLYPHS = {
    'K': (0.9, 1.4, [('seg', 0.1, 0, 0.1, 1.4), ('seg', 0.14, 0.5, 0.86, 1.48),
                     ('seg', 0.4, 0.8, 0.92, -0.08)]),
    'o': (1.0, 1.0, [('arc', 0.5, 0.5, 0.4, 0, 360)]),
    'r': (0.72, 1.0, [('seg', 0.1, 0, 0.1, 1.0), ('arc', 0.55, 0.45, 0.45, 62, 180)]),
    'v': (0.92, 1.0, [('seg', 0.02, 1.1, 0.46, -0.06), ('seg', 0.46, -0.06, 0.9, 1.1)]),
    'a': (1.0, 1.0, [('arc', 0.5, 0.5, 0.4, 0, 360), ('seg', 0.9, 0, 0.9, 1.0)]),
    'n': (1.0, 1.0, [('seg', 0.1, 0, 0.1, 1.0), ('arc', 0.5, 0.5, 0.4, 0, 180),
                     ('seg', 0.9, 0.5, 0.9, 0)]),
    'e': (1.0, 1.0, [('arc', 0.5, 0.5, 0.4, 0, 322), ('seg', 0.1, 0.5, 0.9, 0.5)]),
    '1': (0.6, 1.0, [('seg', 0.38, 0, 0.38, 1.0), ('seg', 0.38, 0.98, 0.08, 0.74)]),
    '2': (0.72, 1.0, [('arc', 0.36, 0.69, 0.27, -38, 160), ('seg', 0.573, 0.524, 0.1, 0.09),
                      ('seg', 0.06, 0.09, 0.7, 0.09)]),
}


def text(chars, left, baseline, size, weight=0.2, spacing=0.2):
    """The strokes of chars, x-height size pixels, as one shape and its bounding box."""
    shapes = []
    x = left
    for ch in chars:
        advance, top, strokes = GLYPHS[ch]
        parts = []
        for kind, *v in strokes:
            if kind == 'seg':
                parts.append(segment(x + v[0] * size, baseline - v[1] * size, x + v[2] * size,
                                     baseline - v[3] * size, weight * size))
            else:
                parts.append(arc(x + v[0] * size, baseline - v[1] * size, v[2] * size, v[3], v[4],
                                 weight * size))
        band = rect(x - size, baseline - top * size, x + (advance + 1) * size, baseline)
        shapes.append(intersect(union(*parts), band))
        x += (advance + spacing) * size
    tallest = max(GLYPHS[ch][1] for ch in chars)
    return union(*shapes), (left - 2, baseline - tallest * size - 2, x + 2, baseline + 2)


# ---- the pieces the pictures share --------------------------------------------------------------

WHITE = rgb('#ffffff')


def status_disc(c, s, base, light, rim, mark):
    """A disc with a darker rim, lighter at the top, and a white mark (16-unit grid)."""
    c.fill(scaled(circle(8, 8, 7.5), s), rim)
    c.fill(scaled(circle(8, 8, 6.5), s), linear(0, 1.5 * s, light, 0, 14 * s, base))
    c.fill(scaled(mark, s), WHITE)


def badge_shape(kind):
    """A small mark for the lower right corner of a 16-unit picture."""
    if kind == 'plus':
        return union(rect(10, 8, 12, 14), rect(8, 10, 14, 12))
    if kind == 'cross':
        return union(segment(8.8, 8.8, 13.7, 13.7, 2.1), segment(13.7, 8.8, 8.8, 13.7, 2.1))
    # a small anchor of one-pixel strokes
    return union(ring(11.5, 7.5, 1.5, 1.1), segment(11.5, 9, 11.5, 14.5, 1.3),
                 segment(9.5, 10.5, 13.5, 10.5, 1.1), arc(11.5, 11.3, 3.4, 195, 345, 1.3))


def badge(c, s, kind, colour, edge):
    shape = badge_shape(kind)
    c.fill(scaled(grow(shape, 1.2 if kind == 'anchor' else 1.7), s), WHITE)
    if edge:
        c.fill(scaled(grow(shape, 0.8), s), edge)
    c.fill(scaled(shape, s), colour)


def anchor(cx, top, half, width):
    """An anchor centred on cx, its ring at top, arms half wide, drawn with strokes of width."""
    height = half * 2.1
    ring_r = half * 0.3
    shank_top = top + ring_r
    arm_cy = top + height - half
    return union(
        ring(cx, top, ring_r, width * 0.85),
        segment(cx, shank_top, cx, top + height, width),
        segment(cx - half * 0.55, top + height * 0.33, cx + half * 0.55, top + height * 0.33, width),
        arc(cx, arm_cy, half, 195, 345, width),
        polygon([(cx - half * 1.18, arm_cy - half * 0.05), (cx - half * 0.78, arm_cy + half * 0.1),
                 (cx - half * 1.1, arm_cy + half * 0.5)]),
        polygon([(cx + half * 1.18, arm_cy - half * 0.05), (cx + half * 1.1, arm_cy + half * 0.5),
                 (cx + half * 0.78, arm_cy + half * 0.1)]))


def page(c, s, paper, edge, lines):
    """A sheet with a folded corner and lines of text (16-unit grid)."""
    outline = [(3, 1), (10, 1), (13, 4), (13, 15), (3, 15)]
    c.fill(scaled(polygon(outline), s), edge)
    c.fill(scaled(grow(polygon(outline), -1), s), paper)
    c.fill(scaled(polygon([(9.5, 1.5), (9.5, 4.5), (12.5, 4.5)]), s), edge)
    c.fill(scaled(polygon([(10.2, 2), (10.2, 3.8), (12, 3.8)]), s), mix(paper, edge, 0.35))
    for y, right in ((6, 11), (8, 11), (10, 9), (12, 8)):
        c.fill(scaled(rect(5, y, right, y + 1), s), lines)


def folder(c, s):
    """A yellow folder (16-unit grid)."""
    edge = rgb('#a8761a')
    back = polygon([(1, 3), (6, 3), (7.5, 4.5), (15, 4.5), (15, 14), (1, 14)])
    c.fill(scaled(back, s), edge)
    c.fill(scaled(grow(back, -1), s), rgb('#e0a938'))
    front = rect(1, 6, 15, 14, 0.5)
    c.fill(scaled(front, s), edge)
    c.fill(scaled(grow(front, -1), s), linear(0, 7 * s, rgb('#fbe08a'), 0, 13 * s, rgb('#eab648')))


def drive(c, s, x0, y0, x1, y1, lamp=True):
    """A disk drive seen from the front: a metal slab with a slot and a lamp (pixels / s)."""
    r = (y1 - y0) * 0.18
    body = rect(x0, y0, x1, y1, r)
    c.fill(scaled(body, s), rgb('#4f5b68'))
    c.fill(scaled(grow(body, -1), s), linear(0, y0 * s, rgb('#f2f5f8'), 0, y1 * s, rgb('#a7b2be')))
    mid = y0 + (y1 - y0) * 0.55
    c.fill(scaled(rect(x0 + 1, mid, x1 - 1, mid + 0.6), s), rgb('#7d8995', 0.7))
    slot_y = mid + (y1 - mid) * 0.45
    c.fill(scaled(rect(x0 + (x1 - x0) * 0.12, slot_y - 0.5, x0 + (x1 - x0) * 0.5, slot_y + 0.5, 0.5), s),
           rgb('#5b6672'))
    if lamp:
        lx = x1 - (x1 - x0) * 0.14
        c.fill(scaled(circle(lx, slot_y, 1.3), s), rgb('#2a6b2a'))
        c.fill(scaled(circle(lx, slot_y, 0.9), s), rgb('#6fe05a'))


def digit_badge(c, s, cx, cy, r, digit, base, light, rim):
    c.fill(scaled(circle(cx, cy, r + 1), s), WHITE)
    c.fill(scaled(circle(cx, cy, r), s), rim)
    c.fill(scaled(circle(cx, cy, r - 1), s), linear(0, (cy - r) * s, light, 0, (cy + r) * s, base))
    size = r * 1.05 * s
    advance = GLYPHS[digit][0]
    shape, _ = text(digit, cx * s - advance * size / 2, cy * s + size / 2, size, weight=0.24)
    c.fill(shape, WHITE)


# ---- the pictures -------------------------------------------------------------------------------


def in_force(c, s):
    status_disc(c, s, rgb('#2f9e3f'), rgb('#66cc70'), rgb('#1b6426'),
                polyline([(4.4, 8.2), (6.9, 10.7), (11.6, 5.5)], 1.9))


def preboot_disabled(c, s):
    status_disc(c, s, rgb('#c78a12'), rgb('#e8b43e'), rgb('#80560a'),
                union(rect(5, 4.5, 7, 11.5), rect(9, 4.5, 11, 11.5)))


def service_disabled(c, s):
    status_disc(c, s, rgb('#a8222a'), rgb('#d0464c'), rgb('#661015'),
                union(segment(5.3, 5.3, 10.7, 10.7, 1.9), segment(10.7, 5.3, 5.3, 10.7, 1.9)))


def padlock(c, s, open_):
    if open_:
        shackle_c, body_c, body_l, edge, hole = (rgb('#8a9096'), rgb('#a3a8ad'), rgb('#cdd1d4'),
                                                 rgb('#61676d'), rgb('#50565c'))
        lift = 2
    else:
        shackle_c, body_c, body_l, edge, hole = (rgb('#3f6aa8'), rgb('#d89a1c'), rgb('#f6d46a'),
                                                 rgb('#8a5e0c'), rgb('#5a3c06'))
        lift = 0
    cy = 6.5 - lift
    shackle = union(arc(8, cy, 3, 0, 180, 2), segment(5, cy, 5, 9, 2),
                    segment(11, cy, 11, cy + (0.3 if open_ else 2.5), 2))
    c.fill(scaled(grow(shackle, 0.5), s), mix(shackle_c, rgb('#000000'), 0.35))
    c.fill(scaled(shackle, s), shackle_c)
    body = rect(2, 7, 14, 15, 1.3)
    c.fill(scaled(body, s), edge)
    c.fill(scaled(grow(body, -1), s), linear(0, 8 * s, body_l, 0, 14 * s, body_c))
    c.fill(scaled(union(circle(8, 10.5, 1.3), rect(7.4, 10.5, 8.6, 13, 0.3)), s), hole)


def area(c, s, digit, base, light, rim):
    drive(c, s, 1.5, 6, 30.5, 20, lamp=False)
    digit_badge(c, s, 24, 23.5, 7, digit, base, light, rim)


def product(c, s):
    """Two stacked areas, the upper one running: the program icon's design (32-unit grid)."""
    top = rect(2, 3, 30, 15, 2.5)
    c.fill(scaled(top, s), rgb('#163f7c'))
    c.fill(scaled(grow(top, -1), s), linear(0, 4 * s, rgb('#5aa4ee'), 0, 14 * s, rgb('#2866b8')))
    c.fill(scaled(rect(6, 8.5, 16, 10, 0.7), s), rgb('#1c4f94'))
    c.fill(scaled(circle(24, 9, 2.4), s), rgb('#1d5a1d'))
    c.fill(scaled(circle(24, 9, 1.7), s), rgb('#86ee6a'))
    bottom = rect(2, 17, 30, 29, 2.5)
    c.fill(scaled(bottom, s), rgb('#1d6a3a'))
    c.fill(scaled(grow(bottom, -1), s), linear(0, 18 * s, rgb('#6ad092'), 0, 28 * s, rgb('#2f9a5c')))
    c.fill(scaled(rect(6, 22.5, 16, 24, 0.7), s), rgb('#22774a'))


def boot_screen(c, s):
    """A monitor showing a boot menu of two lines, the first chosen (48-unit grid)."""
    bezel = rect(3, 5, 45, 36, 3)
    c.fill(scaled(bezel, s), rgb('#232a33'))
    c.fill(scaled(grow(bezel, -1), s), linear(0, 5 * s, rgb('#56606c'), 0, 36 * s, rgb('#38414b')))
    c.fill(scaled(rect(6.5, 8.5, 41.5, 32.5, 1), s), linear(0, 9 * s, rgb('#1f4a8c'), 0, 32 * s,
                                                          rgb('#0d2452')))
    c.fill(scaled(rect(9.5, 13, 38.5, 19.5, 1), s), rgb('#5aa8f0'))
    c.fill(scaled(rect(12.5, 15.5, 31, 17, 0.75), s), WHITE)
    c.fill(scaled(rect(12.5, 23, 27, 24.5, 0.75), s), rgb('#a8bcd6'))
    c.fill(scaled(rect(20.5, 36, 27.5, 40.5), s), rgb('#3d4651'))
    stand = rect(13, 40, 35, 43.5, 1.6)
    c.fill(scaled(stand, s), rgb('#2b323b'))
    c.fill(scaled(grow(stand, -0.9), s), rgb('#65707c'))


def key(c, s):
    """A gold key lying from top left to bottom right, its teeth below (32-unit grid)."""
    along = lambda shape: lambda x, y: shape((x + y) / math.sqrt(2), (y - x) / math.sqrt(2))
    shape = union(subtract(circle(9.5, 9.5, 7.2), circle(8.2, 8.2, 2.4)),
                  along(rect(17, -2.2, 38.5, 2.2, 0.8)),
                  along(rect(29, 0, 32, 4.6, 0.5)),
                  along(rect(34.5, 0, 38.5, 4.6, 0.5)))
    c.fill(scaled(shape, s), rgb('#7a5608'))
    c.fill(scaled(grow(shape, -1), s), linear(4 * s, 4 * s, rgb('#fbe07a'), 28 * s, 28 * s,
                                              rgb('#cf9616')))


def bullet(c, s):
    status_disc(c, s, rgb('#1f64b8'), rgb('#5aa6ee'), rgb('#15457f'),
                polyline([(6.6, 4.6), (10, 8), (6.6, 11.4)], 2.1))


def wizard_header(c, s):
    """An anchor standing over a disk drive (48-unit grid)."""
    drive(c, s, 3, 29, 45, 45)
    shape = anchor(24, 6.5, 12, 3.2)
    c.fill(scaled(grow(shape, 1.5), s), WHITE)
    c.fill(scaled(grow(shape, 0.7), s), rgb('#0f2f5c'))
    c.fill(scaled(shape, s), linear(0, 3 * s, rgb('#3f7fd0'), 0, 34 * s, rgb('#1f4f94')))


def missing_file(c, s):
    page(c, s, rgb('#e3e6e9'), rgb('#9aa1a8'), rgb('#c3c8cd'))
    badge(c, s, 'cross', rgb('#dd2b2b'), rgb('#8c1414'))


def added_file(c, s):
    page(c, s, WHITE, rgb('#6b7580'), rgb('#9db0c6'))
    badge(c, s, 'plus', rgb('#3cb44a'), rgb('#1b6426'))


def added_folder(c, s):
    folder(c, s)
    badge(c, s, 'plus', rgb('#3cb44a'), rgb('#1b6426'))


def anchored_file(c, s):
    page(c, s, WHITE, rgb('#6b7580'), rgb('#9db0c6'))
    badge(c, s, 'anchor', rgb('#1d4f99'), None)


def anchored_folder(c, s):
    folder(c, s)
    badge(c, s, 'anchor', rgb('#1d4f99'), None)


def banner():
    """400 x 150: a calm gradient, the product name and the two areas as two overlapping disks."""
    w, h = 400, 150
    c = Canvas(w, h)
    c.fill(lambda x, y: -1, linear(0, 0, rgb('#0e2a5c'), w, h * 1.6, rgb('#12807f')))
    c.fill(circle(320, 70, 120), rgb('#7fd6e0'), alpha=0.06, box=(190, 0, 400, 150))
    c.fill(circle(320, 70, 80), rgb('#7fd6e0'), alpha=0.06, box=(230, 0, 400, 150))

    def platter(cx, cy, r, light, dark, shadow):
        box = (cx - r - 8, cy - r - 8, cx + r + 8, cy + r + 8)
        if shadow:
            c.fill(grow(circle(cx + 3, cy + 4, r), 2), rgb('#000000'), alpha=0.3, box=box)
        c.fill(circle(cx, cy, r), mix(dark, rgb('#000000'), 0.35), box=box)
        c.fill(circle(cx, cy, r - 1.5), linear(cx - r, cy - r, light, cx + r, cy + r, dark), box=box)
        for k in (0.82, 0.66):
            c.fill(ring(cx, cy, r * k, 1.2), rgb('#ffffff'), alpha=0.28, box=box)
        c.fill(circle(cx, cy, r * 0.3), mix(dark, rgb('#000000'), 0.2), box=box)
        c.fill(circle(cx, cy, r * 0.3 - 2), linear(cx, cy - r * 0.3, light, cx, cy + r * 0.3, dark),
               box=box)
        c.fill(circle(cx, cy, r * 0.09), mix(dark, rgb('#000000'), 0.5), box=box)
        c.fill(arc(cx, cy, r * 0.9, 100, 160, 2.5), rgb('#ffffff'), alpha=0.55, box=box)

    platter(358, 62, 36, rgb('#fde49a'), rgb('#d08f1e'), False)
    platter(314, 86, 36, rgb('#f4f7fa'), rgb('#9fb0c2'), True)

    shape, box = text('Korvane', 26, 94, 27, weight=0.2, spacing=0.19)
    c.fill(lambda x, y: shape(x - 2, y - 2.5), rgb('#000000'), alpha=0.3, box=(box[0], box[1], box[2] + 4,
                                                                              box[3] + 4))
    c.fill(shape, WHITE, box=box)
    c.fill(rect(28, 106, 230, 108, 1), rgb('#9fe3e6'), alpha=0.55)
    return c


# ---- files --------------------------------------------------------------------------------------


def render(draw, size, grid):
    c = Canvas(size, size)
    draw(c, size / grid)
    return c


def write_ico(path, canvases):
    blobs = []
    for c in canvases:
        size = c.width
        header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        rows = [b''.join(struct.pack('<BBBB', *c.bgra(x, y)) for x in range(size))
                for y in range(size - 1, -1, -1)]
        mask_row = b'\x00' * (((size + 31) // 32) * 4)
        blobs.append(header + b''.join(rows) + mask_row * size)
    out = struct.pack('<HHH', 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for c, data in zip(canvases, blobs):
        out += struct.pack('<BBBBHHII', c.width % 256, c.height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(blobs))


def write_bmp(path, c):
    stride = (c.width * 3 + 3) // 4 * 4
    rows = []
    for y in range(c.height - 1, -1, -1):
        row = b''.join(bytes(c.bgra(x, y)[:3]) for x in range(c.width))
        rows.append(row + b'\x00' * (stride - len(row)))
    data = b''.join(rows)
    info = struct.pack('<IiiHHIIiiII', 40, c.width, c.height, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(head + info + data)


# id: (name, drawing, design grid, sizes)
ICONS = {
    201: ('InForce', in_force, 16, (16, 32)),
    202: ('PreBootDisabled', preboot_disabled, 16, (16, 32)),
    203: ('ServiceDisabled', service_disabled, 16, (16, 32)),
    204: ('PasswordEnabled', lambda c, s: padlock(c, s, False), 16, (16, 32)),
    205: ('PasswordDeactivated', lambda c, s: padlock(c, s, True), 16, (16, 32)),
    211: ('OriginalRunning', lambda c, s: area(c, s, '1', rgb('#2f9e3f'), rgb('#66cc70'), rgb('#1b6426')),
          32, (32, 48)),
    212: ('RescueRunning', lambda c, s: area(c, s, '2', rgb('#e0780e'), rgb('#f8b04a'), rgb('#8a4606')),
          32, (32, 48)),
    220: ('Product', product, 32, (32, 48)),
    240: ('BootScreen', boot_screen, 48, (48,)),
    241: ('Key', key, 32, (32,)),
    251: ('MissingFile', missing_file, 16, (16,)),
    252: ('AddedFile', added_file, 16, (16,)),
    253: ('AddedFolder', added_folder, 16, (16,)),
    254: ('AnchoredFile', anchored_file, 16, (16,)),
    255: ('AnchoredFolder', anchored_folder, 16, (16,)),
    256: ('Bullet', bullet, 16, (16,)),
    257: ('WizardHeader', wizard_header, 48, (48,)),
    258: ('AboutProduct', product, 32, (48, 32)),
}


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for number, (name, draw, grid, sizes) in ICONS.items():
        write_ico(os.path.join(out, '%d-%s.ico' % (number, name)), [render(draw, n, grid) for n in sizes])
    write_bmp(os.path.join(out, '230-Banner.bmp'), banner())


if __name__ == '__main__':
    main()
