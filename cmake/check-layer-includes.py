#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Fails the build when a file of one layer includes a file of a higher layer.

Usage: check-layer-includes.py SOURCE_DIR LAYERS FILE_LIST
LAYERS is the layer order from the bottom, comma-separated; FILE_LIST names
the layers' files (absolute, separated by semicolons, as CMake writes a list).
The layer of a file is its folder under SOURCE_DIR; an include is read as
"folder/name" against the include root SOURCE_DIR, a bare name as a file of
the including folder. Includes of anything else (Qt, the system) pass.
"""

import re
import sys
from pathlib import Path

INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]')


def violations(source_dir, layers, files):
    rank = {name: index for index, name in enumerate(layers)}
    for path in files:
        relative = path.relative_to(source_dir)
        layer = relative.parts[0]
        text = path.read_text(encoding="utf-8", errors="replace")
        for number, line in enumerate(text.splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            parts = match.group(1).split("/")
            used = parts[0] if len(parts) > 1 else layer
            if rank.get(used, -1) > rank[layer]:
                below = ", ".join(layers[: rank[layer]]) or "no other layer"
                yield (f'{relative}:{number}: error: #include "{match.group(1)}": the layer '
                       f"{layer}/ includes the higher layer {used}/; {layer}/ may use only: "
                       f"{below} (doc/layers.md)")


def main():
    source_dir = Path(sys.argv[1])
    layers = sys.argv[2].split(",")
    files = [Path(name) for name in Path(sys.argv[3]).read_text().split(";") if name]
    found = list(violations(source_dir, layers, files))
    for message in found:
        print(message, file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
