#!/usr/bin/env python3
"""Draws Tavilo's two icons and writes them as .ico files.

resources/app.ico (group 401): a sheet of paper with a folded corner,
text lines and a blue margin bar, the editor's own picture.
resources/about.ico (group 500): the same sheet on a round blue badge.

Each file holds seven 32-bit images (256, 128, 64, 48, 32, 24, 16 px),
stored as bottom-up BGRA bitmaps with an AND mask, which every version
of Windows reads. Shapes are drawn at 4x4 supersampling so the small
sizes stay smooth. Run from anywhere; needs only the standard library.
"""
import os
import struct

SIZES = [256, 128, 64, 48, 32, 24, 16]
SUPER = 4

PAPER = (250, 250, 247)
EDGE = (70, 80, 96)
FOLD = (214, 218, 226)
INK = (96, 108, 128)
BLUE = (38, 110, 200)
BADGE = (30, 96, 180)


def inside_sheet(x, y):
    """Unit-square coordinates; returns the colour of the sheet at (x, y) or None."""
    left, right, top, bottom = 0.18, 0.82, 0.06, 0.94
    fold = 0.2
    if not (left <= x <= right and top <= y <= bottom):
        return None
    # The cut corner at the top right.
    if x - (right - fold) > y - top:
        return None
    border = 0.035
    if x - (right - fold) > y - top - border * 1.4:
        return EDGE
    if (x < left + border or x > right - border or y < top + border
            or y > bottom - border):
        return EDGE
    # The fold triangle.
    if x > right - fold and y < top + fold and x - (right - fold) <= y - top:
        return FOLD
    # Margin bar, like the gutter's wrap bar.
    if left + 0.09 <= x <= left + 0.13 and 0.3 <= y <= 0.84:
        return BLUE
    # Text lines.
    for i, length in enumerate((0.42, 0.34, 0.46, 0.28, 0.38)):
        ly = 0.32 + i * 0.115
        if ly <= y <= ly + 0.045 and left + 0.18 <= x <= left + 0.18 + length:
            return INK
    return PAPER


def app_pixel(x, y):
    c = inside_sheet(x, y)
    return None if c is None else c + (255,)


def about_pixel(x, y):
    dx, dy = x - 0.5, y - 0.5
    if dx * dx + dy * dy > 0.49 * 0.49:
        return None
    # The sheet, shrunk into the badge.
    sx, sy = 0.5 + (x - 0.5) / 0.7, 0.5 + (y - 0.5) / 0.7
    c = inside_sheet(sx, sy)
    return (c if c is not None else BADGE) + (255,)


def render(pixel, size):
    """Returns rows top to bottom of (r, g, b, a) with supersampled coverage."""
    rows = []
    n = size * SUPER
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SUPER):
                for sx in range(SUPER):
                    c = pixel((px * SUPER + sx + 0.5) / n, (py * SUPER + sy + 0.5) / n)
                    if c is not None:
                        for k in range(3):
                            acc[k] += c[k] * c[3]
                        acc[3] += c[3]
            samples = SUPER * SUPER
            a = acc[3] / samples
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(acc[k] / acc[3] + 0.5) for k in range(3)) + (int(a + 0.5),))
        rows.append(row)
    return rows


def dib(rows, size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def write_ico(path, pixel):
    images = [dib(render(pixel, s), s) for s in SIZES]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        dim = 0 if size == 256 else size
        out += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'resources')
    write_ico(os.path.join(here, 'app.ico'), app_pixel)
    write_ico(os.path.join(here, 'about.ico'), about_pixel)
