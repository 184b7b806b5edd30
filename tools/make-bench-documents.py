#!/usr/bin/env python3
"""Writes the benchmark documents of bench/data/: RIC files of exactly 262,144
bytes, the largest a file can be, so that anyone can open them in the editor.

  mixed.ric      a typical large picture: every kind at on-screen sizes, a
                 fifth of the arguments parameter references, some through
                 VarMaps, copy-bits partly past their sprite's used area.
  costliest.ric  made to be expensive to render: every kind at its most
                 costly. A disc of pixels in the middle is never drawn, so no
                 renderer can stop early; circles centred in it
                 (the most pixels per byte), maximum-size lines, rectangles
                 and circles crossing the screen around it, four-digit number
                 boxes, copy-bits reaching past their sprite's canvas, and
                 fix-up only copies whitening the whole screen.
  single-pixel-sprites.ric
                 21,845 sprites of one row of one byte (IDs 1 to 10 in
                 turn), then two zero words: the most sprites a file holds,
                 the heaviest file to open for its size.

Run from anywhere: python3 tools/make-bench-documents.py
The output is the same on every run (fixed seeds).
"""
import math
import os
import random
import struct

SIZE = 262144


def words(*ws):
    return struct.pack("<%dH" % len(ws), *[w & 0xFFFF for w in ws])


def description():
    return words(8, 0, 0, 100, 64)


def sprite(sid, rows):
    """rows: lists of 0/1, all the same length (a multiple of 8 not needed)."""
    bpr = (len(rows[0]) + 7) // 8
    data = bytearray()
    for r in rows:
        for k in range(bpr):
            b = 0
            for bit in range(8):
                x = 8 * k + bit
                if x < len(r) and r[x]:
                    b |= 0x80 >> bit
            data.append(b)
    n = len(data)
    out = words(8 + n + (n & 1), 1, sid, len(rows), bpr) + bytes(data)
    return out + (b"\0" if n & 1 else b"")


def varmap(vid, points):
    return words(6 + 4 * len(points), 2, vid, len(points), *[v for p in points for v in p])


def copybits(sid, px, py, w, h, rx, ry):
    return words(18, 3, 0, sid, px, py, w, h, rx, ry)


def pixel(x, y):
    return words(10, 4, 0, x, y, 0)


def line(x1, y1, x2, y2):
    return words(12, 5, 0, x1, y1, x2, y2)


def rectangle(x, y, w, h):
    return words(12, 6, 0, x, y, w, h)


def circle(x, y, r):
    return words(10, 7, 0, x, y, r)


def numbox(x, y, v):
    return words(10, 8, 0, x, y, v)


def param(p):
    return 0xF000 | p


def mapped(m, p):
    return 0xF000 | (m << 8) | p


def pattern_sprite(sid):
    return sprite(sid, [[1 if (x * y + x) % 3 == 0 else 0 for x in range(100)] for y in range(64)])


def finish(doc):
    """Fills the rest of the buffer exactly with on-screen pixels and lines."""
    rest = SIZE - len(doc)
    for lines in range(0, 7):
        if rest >= 14 * lines and (rest - 14 * lines) % 12 == 0:
            doc += line(0, 0, 99, 0) * lines
            doc += b"".join(pixel(i % 100, 63) for i in range((rest - 14 * lines) // 12))
            break
    assert len(doc) == SIZE, rest
    return doc


def mixed():
    rng = random.Random(11)

    def arg(lo, hi):
        k = rng.randrange(10)
        if k < 1:
            return mapped(1 + rng.randrange(3), rng.randrange(8))
        if k < 2:
            return param(rng.randrange(8))
        return rng.randint(lo, hi)

    doc = bytearray(description())
    doc += pattern_sprite(1)
    doc += sprite(2, [[(x ^ y) & 1 for x in range(32)] for y in range(16)])
    doc += sprite(3, [[1 if x in (0, 7) or y in (0, 7) else 0 for x in range(8)] for y in range(8)])
    for m in (1, 2, 3):
        doc += varmap(m, [(0, 0), (50, 20 * m), (100, 60)])
    while SIZE - len(doc) > 64:
        k = rng.randrange(100)
        if k < 30:
            doc += line(arg(0, 110), arg(0, 70), arg(0, 110), arg(0, 70))
        elif k < 45:
            doc += rectangle(arg(0, 90), arg(0, 56), arg(1, 60), arg(1, 40))
        elif k < 60:
            doc += circle(arg(0, 99), arg(0, 63), arg(1, 40))
        elif k < 70:
            doc += numbox(arg(0, 90), arg(0, 63), arg(0, 4095))
        elif k < 85:
            # Some reach past the used area of sprites 2 and 3.
            doc += copybits(1 + rng.randrange(3), arg(0, 60), arg(0, 40), arg(1, 48), arg(1, 32),
                            arg(0, 99), arg(0, 63))
        else:
            doc += pixel(arg(0, 99), arg(0, 63))
    return finish(doc)


# The NXT points no element of the costliest document draws: a disc of 317
# points about (50, 31), too many to test each shape against.
CENTRE = (50, 31)
HOLE = {(x, y) for x in range(100) for y in range(64) if (x - 50) ** 2 + (y - 31) ** 2 <= 100}


def line_points_on_screen(x1, y1, x2, y2):
    """The points of the line walk that lie on the screen (doubled error term)."""
    ax, sx = 2 * abs(x2 - x1), (x2 > x1) - (x2 < x1)
    ay, sy = 2 * abs(y2 - y1), (y2 > y1) - (y2 < y1)
    x, y = x1, y1
    out = set()
    if ax > ay:
        e = ay - ax // 2
        while x != x2 and x < 100:
            out.add((x, y))
            if e >= 0:
                y += sy
                e -= ax
            x += sx
            e += ay
    else:
        e = ax - ay // 2
        while y != y2 and y < 64:
            out.add((x, y))
            if e >= 0:
                x += sx
                e -= ay
            y += sy
            e += ax
    out.add((x2, y2))
    return out


def circle_hits(cx, cy, r, point):
    """Whether the circle walk of radius r about (cx, cy) plots `point`."""
    qx, qy = abs(point[0] - cx), abs(point[1] - cy)
    if qx < r:
        t = r * r - qx * qx
        y = (1 + math.isqrt(4 * t - 3)) // 2
        while y > 0 and y * (y - 1) >= t:
            y -= 1
        while (y + 1) * y < t:
            y += 1
        if y == qy:
            return True
    if qy <= r:
        s = r * r - qy * qy
        x = 0 if s <= 0 else (math.isqrt(4 * s + 1) - 1) // 2
        while s > 0 and x > 0 and (x - 1) * x >= s:
            x -= 1
        while s > 0 and x * (x + 1) < s:
            x += 1
        if x == qx:
            return True
    return r == 0 and (qx, qy) == (0, 0)


def costliest():
    rng = random.Random(12)
    hx, hy = CENTRE
    doc = bytearray(pattern_sprite(1))
    doc += sprite(2, [[1] * 16 for _ in range(4)])
    while SIZE - len(doc) > 64:
        k = rng.randrange(100)
        if k < 55:
            # A ring about the hole, wholly or partly on the screen.
            cx, cy = hx + rng.randint(-3, 3), hy + rng.randint(-3, 3)
            doc += circle(cx, cy, rng.randint(15, 60))
        elif k < 65:
            # The longest lines, crossing the screen past the hole.
            while True:
                if rng.randrange(2):
                    x1, y1, x2, y2 = 0, rng.randint(0, 63), 4095, rng.randint(0, 4095)
                else:
                    x1, y1, x2, y2 = rng.randint(0, 99), 0, rng.randint(0, 4095), 4095
                if not (HOLE & line_points_on_screen(x1, y1, x2, y2)):
                    break
            doc += line(x1, y1, x2, y2)
        elif k < 72:
            # Rectangles as large as constants allow, their lower left corner
            # below and left of the hole.
            doc += rectangle(rng.randint(0, hx - 11), rng.randint(0, hy - 11), 4095,
                             4095)
        elif k < 80:
            # Circles as large as constants allow, their arc crossing the screen.
            while True:
                cx, r = rng.randint(0, 4095), rng.randint(3000, 4095)
                cy = 32 + r - rng.randint(-40, 40)
                if cy <= 4095 and not any(circle_hits(cx, cy, r, p) for p in HOLE):
                    break
            doc += circle(cx, cy, r)
        elif k < 88:
            # Four-digit number boxes, clear of the hole's text lines.
            y = rng.choice([0, 8, 48, 56])
            doc += numbox(rng.randint(0, 99), y, rng.randint(1000, 4095))
        elif k < 94:
            # Copies reaching past the sprite's canvas, copied right of the
            # hole, and copies from beyond it: only the fix-up, over the screen.
            if rng.randrange(2):
                doc += copybits(rng.choice([1, 2]), rng.randint(0, 1100), rng.randint(0, 600),
                                4095, 4095, rng.randint(hx + 11, 99), 0)
            else:
                doc += copybits(1, rng.randint(1024, 4095), 0, 4095, 4095, rng.randint(0, 99), 0)
        else:
            doc += pixel(rng.choice([hx - 11, hx + 11]), rng.randint(0, 63))
    return finish(doc)


def single_pixel_sprites():
    doc = b"".join(sprite(1 + i % 10, [[1]]) for i in range(SIZE // 12))
    return doc + bytes(SIZE - len(doc))


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "bench", "data")
    os.makedirs(out, exist_ok=True)
    for name, doc in (("mixed.ric", mixed()), ("costliest.ric", costliest()),
                      ("single-pixel-sprites.ric", single_pixel_sprites())):
        with open(os.path.join(out, name), "wb") as f:
            f.write(doc)


if __name__ == "__main__":
    main()
