#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Draws the icons of the package table, its menus and the repository editor
into share/icons (run again after changing a drawing).

Each icon is a list of filled shapes painted in order on a 32x32 canvas and
sampled 4x4 per pixel, so edges stay smooth when Qt scales the icon down to a
table row. Shapes are bold on purpose: they must read at 16 pixels.
"""

import importlib.util
import os

SIZE = 32
SAMPLES = 4


def _shared():
    # The PNG writer of make-icons.py (a file name with a hyphen, so loaded
    # by path).
    spec = importlib.util.spec_from_file_location(
        "make_icons", os.path.join(os.path.dirname(os.path.abspath(__file__)), "make-icons.py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    assert module.SIZE == SIZE
    return module


png = _shared().png


# --- shapes: each is (inside(x, y) -> bool, rgba) ---------------------------

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def ring_rect(x0, y0, x1, y1, width):
    outer, inner = rect(x0, y0, x1, y1), rect(x0 + width, y0 + width, x1 - width, y1 - width)
    return lambda x, y: outer(x, y) and not inner(x, y)


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def segment(ax, ay, bx, by, width):
    def inside(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= width * width

    return inside


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result

    return inside


def render(shapes):
    pixels = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied colour and alpha
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = px + (sx + 0.5) / SAMPLES
                    y = py + (sy + 0.5) / SAMPLES
                    colour = (0, 0, 0, 0)
                    for inside, rgba in shapes:
                        if inside(x, y):
                            colour = rgba
                    a = colour[3] / 255.0
                    acc[0] += colour[0] * a
                    acc[1] += colour[1] * a
                    acc[2] += colour[2] * a
                    acc[3] += a
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if alpha == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(c / acc[3])) for c in acc[:3]) + (int(round(alpha * 255)),))
        pixels.append(row)
    return pixels


# --- palette ------------------------------------------------------------------

BLUE = (25, 95, 205, 255)
GREEN = (30, 150, 50, 255)
RED = (205, 35, 35, 255)
AMBER = (225, 130, 0, 255)
WHITE = (255, 255, 255, 255)
BOX_EDGE = (90, 90, 90, 255)
BOX_FILL = (250, 250, 250, 255)
PARCEL = (205, 150, 80, 255)
PARCEL_EDGE = (110, 65, 20, 255)
SLATE = (70, 85, 110, 255)


# --- glyphs -------------------------------------------------------------------

def up_arrow(cx, top, bottom, half, colour):
    head = top + half * 1.1
    return [
        (polygon([(cx, top), (cx + half, head), (cx - half, head)]), colour),
        (rect(cx - half * 0.42, head - 0.5, cx + half * 0.42, bottom), colour),
    ]


def down_arrow(cx, top, bottom, half, colour):
    head = bottom - half * 1.1
    return [
        (polygon([(cx, bottom), (cx + half, head), (cx - half, head)]), colour),
        (rect(cx - half * 0.42, top, cx + half * 0.42, head + 0.5), colour),
    ]


def again(cx, cy, r, width, colour):
    """A circular arrow: a ring open at the upper right, its head there."""
    ring = circle(cx, cy, r + width / 2)
    hole = circle(cx, cy, r - width / 2)
    gap = lambda x, y: x > cx and y < cy - (x - cx) * 0.2
    head = polygon([(cx + r - width * 1.9, cy - 1.0), (cx + r + width * 1.9, cy - 1.0),
                    (cx + r, cy + width * 2.2)])
    return [
        (lambda x, y: ring(x, y) and not hole(x, y) and not gap(x, y), colour),
        (head, colour),
    ]


def padlock(colour):
    shackle = lambda x, y: (circle(16, 13, 8)(x, y) and not circle(16, 13, 5)(x, y)
                            and y <= 13.5) or rect(8, 13, 11, 17)(x, y) or rect(21, 13, 24, 17)(x, y)
    return [
        (shackle, colour),
        (rect(6, 15, 26, 29), colour),
        (circle(16, 21, 2.6), WHITE),
        (rect(15, 21, 17, 26), WHITE),
    ]


def plus(cx, cy, half, width, colour):
    return [
        (rect(cx - half, cy - width, cx + half, cy + width), colour),
        (rect(cx - width, cy - half, cx + width, cy + half), colour),
    ]


def cross(cx, cy, half, width, colour):
    return [
        (segment(cx - half, cy - half, cx + half, cy + half, width), colour),
        (segment(cx - half, cy + half, cx + half, cy - half, width), colour),
    ]


def tick(x0, y0, width, colour, scale=1.0):
    return [
        (segment(x0, y0, x0 + 6 * scale, y0 + 7 * scale, width), colour),
        (segment(x0 + 6 * scale, y0 + 7 * scale, x0 + 18 * scale, y0 - 8 * scale, width), colour),
    ]


def box(inner=()):
    return [(rect(3, 3, 29, 29), BOX_FILL), (ring_rect(3, 3, 29, 29, 2.5), BOX_EDGE)] + list(inner)


def parcel(x0, y0, x1, y1):
    cx = (x0 + x1) / 2
    seam = y0 + (y1 - y0) * 0.3
    return [
        (rect(x0, y0, x1, y1), PARCEL_EDGE),
        (rect(x0 + 1.6, y0 + 1.6, x1 - 1.6, y1 - 1.6), PARCEL),
        (rect(cx - 1.2, y0, cx + 1.2, y1), PARCEL_EDGE),
        (rect(x0, seam - 0.8, x1, seam + 0.8), PARCEL_EDGE),
    ]


ICONS = {
    # The state column: out of date (attention) and up to date (all well).
    "out-of-date.png": [(circle(16, 16, 14), AMBER)] + up_arrow(16, 6, 26, 7.5, WHITE),
    "up-to-date.png": [(circle(16, 16, 14), GREEN)] + tick(8.5, 16.5, 2.6, WHITE),
    # ... and held at its version.
    "held.png": padlock(SLATE),
    # The action column: a box, empty or holding the action's sign.
    "noneBox.png": box(),
    "updateBox.png": box(up_arrow(16, 6.5, 26, 7.5, BLUE)),
    "installBox.png": box(plus(16, 16, 9, 2.6, GREEN)),
    "removeBox.png": box(cross(16, 16, 7.5, 2.6, RED)),
    "reinstallBox.png": box(again(16, 16.5, 7, 2.6, GREEN)),
    "downgradeBox.png": box(down_arrow(16, 6, 25.5, 7.5, AMBER)),
    "checkBox.png": box(tick(8.5, 16.5, 2.6, GREEN, 0.85)),
    # The kind column: one parcel, two overlapping, three stacked.
    "package.png": parcel(5, 8, 27, 27),
    "group.png": parcel(2, 4, 18, 18) + parcel(13, 13, 30, 29),
    "suite.png": parcel(9, 3, 23, 15) + parcel(2, 16, 16, 29) + parcel(16, 16, 30, 29),
    # The action menu's signs without a box.
    "install.png": plus(16, 16, 12, 3.3, GREEN),
    "remove.png": cross(16, 16, 10, 3.3, RED),
    "reinstall.png": again(16, 16.5, 10, 3.3, GREEN),
    "downgrade.png": down_arrow(16, 3, 29, 10, AMBER),
}


if __name__ == "__main__":
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = os.path.join(top, "share", "icons")
    os.makedirs(target, exist_ok=True)
    for name, shapes in ICONS.items():
        png(os.path.join(target, name), render(shapes))
