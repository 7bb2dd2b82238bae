#!/bin/sh
# Configures and builds Vux in ./build (or $VUX_BUILD_DIR).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VUX_BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPython3_EXECUTABLE=/usr/bin/python3 >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)"
