#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Takes the screenshots of the user manual (doc/manual/images) from the real
# windows under Xvfb, on the demo sandbox: repositories served on 127.0.0.1
# and a root with packages installed. Run it again after changing a window.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VUX_BUILD_DIR:-$top/build}
work=$(mktemp -d)
"$top/scripts/build.sh" >/dev/null
cmake --build "$build" --target manual-shots >/dev/null
/usr/bin/python3 "$top/scripts/sandbox.py" demo "$work" >/dev/null
server=$(cat "$work/server.pid")
trap 'kill "$server" 2>/dev/null || true; rm -rf "$work"' EXIT
env VUXSHARE="$top/share" XDG_CONFIG_HOME="$work/config" xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$build/doc/manual-shots" "$work/root" "$top/doc/manual/images"
ls -l "$top/doc/manual/images"
