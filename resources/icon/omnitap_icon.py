#!/usr/bin/env python3
"""Draws Omnitap's application icon and writes it as a Windows .ico file.

The picture: a key cap seen slightly from above (dark outline, a skirt that shows
more at the bottom, a lighter top face) with a tap mark on the face (a dot inside
a ring). Each size has its own hand-placed geometry so that edges fall on pixel
boundaries and the 16-pixel image stays crisp.

Every size is written three times: 16 colours (the standard VGA palette, hard
edges), 256 colours (the anti-aliased picture on a palette of its own, hard outer
edge) and 32-bit colour with alpha. Only the standard library is used.

With --greyed the same key is drawn in greys: the tray icon while the keys do
nothing (paused, or the keyboard hook is missing).

usage: omnitap_icon.py [--greyed] OUTPUT.ico
"""

import math
import struct
import sys

# Per size, in pixels: outer key (x0, y0, x1, y1, corner radius), outline width,
# face (x0, y0, x1, y1, corner radius), tap mark centre, dot radius, ring radius and
# ring width.
GEOMETRY = {
    16: dict(outer=(1, 1, 15, 15, 3.0), line=1.0, face=(3, 2, 13, 12, 2.0),
             mark=(8, 7), dot=1.25, ring=3.5, ring_w=1.0),
    24: dict(outer=(1, 1, 23, 23, 4.5), line=1.0, face=(4, 2.5, 20, 18.5, 3.0),
             mark=(12, 10.5), dot=2.0, ring=5.5, ring_w=1.4),
    32: dict(outer=(2, 2, 30, 30, 6.0), line=1.25, face=(6, 4, 26, 24, 4.0),
             mark=(16, 14), dot=2.6, ring=7.0, ring_w=1.8),
    48: dict(outer=(2, 2, 46, 46, 9.0), line=1.5, face=(8, 5, 40, 36, 6.0),
             mark=(24, 20.5), dot=4.0, ring=10.5, ring_w=2.6),
}

# Colours per layer: top and bottom of a vertical gradient for the true-colour
# picture, and the VGA palette index used in the 16-colour picture.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
COLOURS = {
    "outline": ((16, 36, 66), (10, 24, 46), 0),
    "skirt": ((44, 96, 168), (26, 62, 118), 4),
    "face": ((104, 170, 240), (58, 128, 214), 12),
    "mark": ((255, 255, 255), (236, 244, 255), 15),
}
# The greyed key: lighter and flatter, so that it reads as "off" beside coloured icons.
GREYED = {
    "outline": ((84, 84, 84), (70, 70, 70), 8),
    "skirt": ((150, 150, 150), (128, 128, 128), 8),
    "face": ((212, 212, 212), (190, 190, 190), 7),
    "mark": ((255, 255, 255), (248, 248, 248), 15),
}

SUPERSAMPLE = 8


def rounded_rect(x0, y0, x1, y1, r):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2

    def inside(x, y):
        qx, qy = abs(x - cx) - hx + r, abs(y - cy) - hy + r
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r <= 0.0
    return inside


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w):
    lo, hi = (r - w / 2) ** 2, (r + w / 2) ** 2
    return lambda x, y: lo <= (x - cx) ** 2 + (y - cy) ** 2 <= hi


def layers(size):
    """The shapes of one size, bottom first, each with its colour name."""
    g = GEOMETRY[size]
    x0, y0, x1, y1, r = g["outer"]
    w = g["line"]
    mx, my = g["mark"]
    return [
        ("outline", rounded_rect(x0, y0, x1, y1, r)),
        ("skirt", rounded_rect(x0 + w, y0 + w, x1 - w, y1 - w, r - w)),
        ("face", rounded_rect(*g["face"])),
        ("mark", disc(mx, my, g["dot"])),
        ("mark", ring(mx, my, g["ring"], g["ring_w"])),
    ]


def coverage(size):
    """For each layer, the share of each pixel it covers (0..1), row by row."""
    n = SUPERSAMPLE
    offsets = [(i + 0.5) / n for i in range(n)]
    result = []
    for name, inside in layers(size):
        grid = [[sum(inside(x + sx, y + sy) for sx in offsets for sy in offsets) / (n * n)
                 for x in range(size)] for y in range(size)]
        result.append((name, grid))
    return result


def shade(name, y, size):
    top, bottom, _ = COLOURS[name]
    t = min(max(y / (size - 1), 0.0), 1.0)
    return tuple(a + (b - a) * t for a, b in zip(top, bottom))


def render_rgba(size):
    """The anti-aliased picture: rows of (r, g, b, a), components 0..255."""
    cov = coverage(size)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            r = g = b = a = 0.0  # premultiplied
            for name, grid in cov:
                c = grid[y][x]
                if c == 0.0:
                    continue
                cr, cg, cb = shade(name, y + 0.5, size)
                r, g, b = (cr * c + r * (1 - c), cg * c + g * (1 - c), cb * c + b * (1 - c))
                a = c + a * (1 - c)
            if a == 0.0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / a), round(g / a), round(b / a), round(a * 255)))
        rows.append(row)
    return rows


def render_vga(size):
    """The 16-colour picture: a VGA index per pixel, None where transparent. A layer
    paints a pixel it covers at least half of."""
    pixels = [[None] * size for _ in range(size)]
    for name, grid in coverage(size):
        index = COLOURS[name][2]
        for y in range(size):
            for x in range(size):
                if grid[y][x] >= 0.5:
                    pixels[y][x] = index
    return pixels


def median_cut(colours, limit):
    """At most `limit` representative colours for a list of (colour, count)."""
    boxes = [colours]
    while len(boxes) < limit:
        splittable = [b for b in boxes if len(b) > 1]
        if not splittable:
            break
        box = max(splittable, key=lambda b: max(
            max(c[0][k] for c in b) - min(c[0][k] for c in b) for k in range(3)))
        channel = max(range(3), key=lambda k: max(c[0][k] for c in box) - min(c[0][k] for c in box))
        box.sort(key=lambda c: c[0][channel])
        total, half = sum(c[1] for c in box), 0
        for cut, c in enumerate(box):
            half += c[1]
            if half * 2 >= total:
                break
        cut = min(max(cut + 1, 1), len(box) - 1)
        boxes.remove(box)
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(c[1] for c in box)
        palette.append(tuple(round(sum(c[0][k] * c[1] for c in box) / total) for k in range(3)))
    return palette


def render_256(size):
    """The 256-colour picture: (palette, rows of indices or None where transparent)."""
    rgba = render_rgba(size)
    counts = {}
    for row in rgba:
        for r, g, b, a in row:
            if a >= 128:
                counts[(r, g, b)] = counts.get((r, g, b), 0) + 1
    palette = sorted(counts) if len(counts) <= 256 else median_cut(list(counts.items()), 256)
    lookup = {}

    def nearest(c):
        if c not in lookup:
            lookup[c] = min(range(len(palette)),
                            key=lambda i: sum((p - q) ** 2 for p, q in zip(palette[i], c)))
        return lookup[c]
    rows = [[nearest((r, g, b)) if a >= 128 else None for r, g, b, a in row] for row in rgba]
    return palette, rows


def pack_rows(rows, bits, value):
    """Bottom-up rows of `bits`-per-pixel values, each row padded to 4 bytes."""
    out = bytearray()
    for row in reversed(rows):
        line, acc, filled = bytearray(), 0, 0
        for pixel in row:
            acc = (acc << bits) | value(pixel)
            filled += bits
            if filled == 8:
                line.append(acc)
                acc, filled = 0, 0
        if filled:
            line.append(acc << (8 - filled))
        line += bytes(-len(line) % 4)
        out += line
    return out


def dib(size, bits, palette, xor_rows, transparent):
    """One icon image: BITMAPINFOHEADER (double height), palette, colour bits, AND mask."""
    xor = pack_rows(xor_rows, bits, lambda p: p) if bits != 32 else b"".join(
        bytes((b, g, r, a)) for row in reversed(xor_rows) for r, g, b, a in row)
    mask = pack_rows(transparent, 1, lambda t: 1 if t else 0)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(xor) + len(mask),
                         0, 0, len(palette), 0)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + colours + xor + mask


def images(size):
    vga = render_vga(size)
    yield 16, dib(size, 4, VGA, [[p or 0 for p in row] for row in vga],
                  [[p is None for p in row] for row in vga])
    palette, rows = render_256(size)
    palette += [(0, 0, 0)] * (256 - len(palette))
    yield 0, dib(size, 8, palette, [[p or 0 for p in row] for row in rows],
                 [[p is None for p in row] for row in rows])
    rgba = render_rgba(size)
    yield 0, dib(size, 32, [], rgba, [[px[3] == 0 for px in row] for row in rgba])


def write_ico(path):
    entries = []
    for size in sorted(GEOMETRY, reverse=True):
        for colour_count, data in images(size):
            bits = struct.unpack_from("<H", data, 14)[0]
            entries.append((size, colour_count, bits, data))
    offset = 6 + 16 * len(entries)
    head = struct.pack("<HHH", 0, 1, len(entries))
    body = b""
    for size, colour_count, bits, data in entries:
        head += struct.pack("<BBBBHHII", size, size, colour_count, 0, 1, bits, len(data), offset)
        offset += len(data)
        body += data
    with open(path, "wb") as f:
        f.write(head + body)


if __name__ == "__main__":
    args = sys.argv[1:]
    if args[:1] == ["--greyed"]:
        COLOURS.update(GREYED)
        args = args[1:]
    if len(args) != 1:
        sys.exit(__doc__.strip().splitlines()[-1])
    write_ico(args[0])
