#!/usr/bin/python3
"""Draws the repository editor's switch icons into share/icons (run again
after changing a drawing). Uses the PNG writer of make-icons.py."""

import importlib.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))
spec = importlib.util.spec_from_file_location("make_icons", os.path.join(HERE, "make-icons.py"))
icons = importlib.util.module_from_spec(spec)
spec.loader.exec_module(icons)


def box(x, y):
    # An empty square with a dark frame.
    if 5 <= x <= 27 and 5 <= y <= 27:
        edge = x < 7.5 or x > 24.5 or y < 7.5 or y > 24.5
        return (60, 60, 60, 255) if edge else (255, 255, 255, 255)
    return None


def checked_box(x, y):
    if icons.near_segment(x, y, 10, 16, 14, 21, 2.0) or icons.near_segment(x, y, 14, 21, 22, 10, 2.0):
        return (20, 150, 40, 255)
    return box(x, y)


if __name__ == "__main__":
    out = os.path.join(os.path.dirname(HERE), "share", "icons")
    os.makedirs(out, exist_ok=True)
    icons.png(os.path.join(out, "noneBox.png"), icons.draw(box))
    icons.png(os.path.join(out, "checkBox.png"), icons.draw(checked_box))
