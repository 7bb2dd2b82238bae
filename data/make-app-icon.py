#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Draws Vux's application icon: the scalable SVG and the PNG sizes of the
hicolor theme under data/icons, and the window icon share/pixmaps/vux.icon.png.

Every picture comes from the one drawing below (filled polygons on a 256-unit
canvas), so they always agree. Run it again after changing the drawing:
    /usr/bin/python3 data/make-app-icon.py [TOP]
TOP is the tree to write into (default: this checkout)."""

import math
import os
import struct
import sys
import zlib

# The installation renames the hicolor icons after the application id
# (VUX_APP_ID in CMakeLists.txt).
ICON_NAME = "vux"
CANVAS = 256
PNG_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
WINDOW_ICON_SIZE = 64


def rounded_square(x0, y0, x1, y1, radius, steps=12):
    points = []
    corners = ((x1 - radius, y0 + radius, -90), (x1 - radius, y1 - radius, 0),
               (x0 + radius, y1 - radius, 90), (x0 + radius, y0 + radius, 180))
    for cx, cy, start in corners:
        for i in range(steps + 1):
            angle = math.radians(start + 90.0 * i / steps)
            points.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
    return points


def circle(cx, cy, radius, steps=64):
    return [(cx + radius * math.cos(2 * math.pi * i / steps),
             cy + radius * math.sin(2 * math.pi * i / steps)) for i in range(steps)]


# A parcel on a blue tile, with a round badge carrying an upward arrow: a
# package that is installed or brought up to date. Painted in this order.
DRAWING = (
    ("#2a5db0", rounded_square(16, 16, 240, 240, 40)),
    ("#f2c679", [(128, 44), (212, 86), (128, 128), (44, 86)]),     # top of the box
    ("#d9984a", [(44, 86), (128, 128), (128, 220), (44, 178)]),    # left side
    ("#b87333", [(128, 128), (212, 86), (212, 178), (128, 220)]),  # right side
    ("#fff0c8", [(95, 60.5), (179, 102.5), (161, 111.5), (77, 69.5)]),  # tape on top
    ("#e0b070", [(161, 111.5), (179, 102.5), (179, 194.5), (161, 203.5)]),  # tape down
    ("#ffffff", circle(188, 188, 50)),
    ("#2e9d4f", circle(188, 188, 42)),
    ("#ffffff", [(188, 156), (216, 186), (200, 186), (200, 218), (176, 218), (176, 186),
                 (160, 186)]),
)


def colour(text):
    return tuple(int(text[i:i + 2], 16) / 255.0 for i in (1, 3, 5))


def svg():
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
             'viewBox="0 0 %d %d">' % (CANVAS, CANVAS, CANVAS, CANVAS),
             '  <title>Vux</title>']
    for fill, points in DRAWING:
        path = " ".join("%s%.2f,%.2f" % ("M" if i == 0 else "L", x, y)
                        for i, (x, y) in enumerate(points))
        lines.append('  <path fill="%s" d="%s Z"/>' % (fill, path))
    lines.append("</svg>")
    return "\n".join(lines) + "\n"


def coverage(points, size, rows_per_pixel=8):
    """Fraction of each pixel inside the polygon (non-zero rule), sampled on
    rows_per_pixel lines per pixel row with exact horizontal spans."""
    scale = size / CANVAS
    pts = [(x * scale, y * scale) for x, y in points]
    edges = list(zip(pts, pts[1:] + pts[:1]))
    cover = [[0.0] * size for _ in range(size)]
    weight = 1.0 / rows_per_pixel
    for py in range(size):
        row = cover[py]
        for sub in range(rows_per_pixel):
            y = py + (sub + 0.5) / rows_per_pixel
            crossings = []
            for (ax, ay), (bx, by) in edges:
                if (ay <= y < by) or (by <= y < ay):
                    x = ax + (y - ay) * (bx - ax) / (by - ay)
                    crossings.append((x, 1 if by > ay else -1))
            crossings.sort()
            winding = 0
            for i, (x, direction) in enumerate(crossings):
                before = winding
                winding += direction
                if before != 0 and i > 0:
                    add_span(row, crossings[i - 1][0], x, weight, size)
    return cover


def add_span(row, x0, x1, weight, size):
    x0, x1 = max(0.0, x0), min(float(size), x1)
    if x1 <= x0:
        return
    first, last = int(x0), min(int(math.ceil(x1)), size)
    for px in range(first, last):
        overlap = min(x1, px + 1) - max(x0, px)
        if overlap > 0:
            row[px] += overlap * weight


def raster(size):
    """Premultiplied RGBA floats, the drawing painted in order."""
    image = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]
    for fill, points in DRAWING:
        r, g, b = colour(fill)
        cover = coverage(points, size)
        for y in range(size):
            src_row, dst_row = cover[y], image[y]
            for x in range(size):
                a = min(1.0, src_row[x])
                if a <= 0.0:
                    continue
                dr, dg, db, da = dst_row[x]
                keep = 1.0 - a
                dst_row[x] = (r * a + dr * keep, g * a + dg * keep, b * a + db * keep,
                              a + da * keep)
    return image


def png_bytes(image):
    size = len(image)
    rows = bytearray()
    for row in image:
        rows.append(0)
        for r, g, b, a in row:
            if a > 0.0:
                rows.extend(round(c / a * 255) for c in (r, g, b))
            else:
                rows.extend((0, 0, 0))
            rows.append(round(a * 255))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


def outputs():
    """(relative path, content) of every file this script writes."""
    hicolor = os.path.join("data", "icons", "hicolor")
    files = [(os.path.join(hicolor, "scalable", "apps", ICON_NAME + ".svg"), svg().encode())]
    images = {}
    for size in sorted(set(PNG_SIZES + (WINDOW_ICON_SIZE,))):
        images[size] = png_bytes(raster(size))
    for size in PNG_SIZES:
        files.append((os.path.join(hicolor, "%dx%d" % (size, size), "apps", ICON_NAME + ".png"),
                      images[size]))
    files.append((os.path.join("share", "pixmaps", "vux.icon.png"), images[WINDOW_ICON_SIZE]))
    return files


def main():
    top = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(
        os.path.dirname(os.path.abspath(__file__)))
    for relative, content in outputs():
        path = os.path.join(top, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path + ".new", "wb") as f:
            f.write(content)
        os.replace(path + ".new", path)


if __name__ == "__main__":
    main()
