#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Configures and builds Vux in ./build (or $VUX_BUILD_DIR): everything, or
# only the targets named as arguments (scripts/demo.sh builds just "vux").
# A ccache on PATH is used for the compiler when there is one (rebuilds after
# a branch switch are then cheap); nothing needs it.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VUX_BUILD_DIR:-$top/build}
launcher=""
if command -v ccache >/dev/null 2>&1; then
    launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
fi
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPython3_EXECUTABLE=/usr/bin/python3 $launcher >/dev/null
targets=""
for target in "$@"; do
    targets="$targets --target $target"
done
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" $targets
