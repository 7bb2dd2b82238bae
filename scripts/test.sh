#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Installs what is missing, builds, and runs every test (Qt Test suites and
# the pytest suites of the Python side) through CTest.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VUX_BUILD_DIR:-$top/build}
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
cd "$build"
status=0
ctest --output-on-failure -j 2 --timeout 900 || status=$?
/usr/bin/python3 "$top/scripts/linecount.py" --top "$top"
exit $status
