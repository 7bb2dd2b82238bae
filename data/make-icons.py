#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Draws Vux's icons into share/ (run again after changing a drawing)."""

import os
import struct
import zlib

SIZE = 32


def png(path, pixels):
    rows = b"".join(b"\0" + bytes(sum(row, ())) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(rows, 9)))
        f.write(chunk(b"IEND", b""))


def draw(inside):
    clear = (0, 0, 0, 0)
    return [[inside(x + 0.5, y + 0.5) or clear for x in range(SIZE)] for y in range(SIZE)]


def near_segment(x, y, ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx, ay + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= width * width


def package(x, y):
    # A box with a lid seam, in the colours of a parcel.
    if 5 <= x <= 27 and 8 <= y <= 27:
        if abs(x - 16) < 1.5 or abs(y - 13) < 1.0:
            return (120, 70, 20, 255)
        edge = x < 6.5 or x > 25.5 or y < 9.5 or y > 25.5
        return (110, 65, 20, 255) if edge else (205, 150, 80, 255)
    return None


def update(x, y):
    # An upward arrow.
    if 13 <= x <= 19 and 14 <= y <= 28:
        return (20, 90, 200, 255)
    if 4 <= y <= 16 and abs(x - 16) <= (y - 4) * 0.95:
        return (20, 90, 200, 255)
    return None


def check(x, y):
    if near_segment(x, y, 6, 17, 13, 25, 2.6) or near_segment(x, y, 13, 25, 27, 7, 2.6):
        return (20, 150, 40, 255)
    return None


if __name__ == "__main__":
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    os.makedirs(os.path.join(top, "share", "pixmaps"), exist_ok=True)
    os.makedirs(os.path.join(top, "share", "icons"), exist_ok=True)
    png(os.path.join(top, "share", "pixmaps", "vux.icon.png"), draw(package))
    png(os.path.join(top, "share", "icons", "update.png"), draw(update))
    png(os.path.join(top, "share", "icons", "check.png"), draw(check))
