#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Takes the README's picture of the main window: Vux on the demo sandbox,
# under xvfb-run, captured with ImageMagick's "import" (apt-get install
# imagemagick) and cropped to the window. Needs a built ./build/vux. The
# window starts with the first run's layout, whatever the user's Vux keeps.
#     scripts/screenshot.sh [OUTPUT.png] [SECONDS TO WAIT]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VUX_BUILD_DIR:-$top/build}
output=${1:-$top/doc/images/main-window.png}
wait=${2:-40}
demo=$(mktemp -d)
/usr/bin/python3 "$top/scripts/sandbox.py" demo "$demo" >/dev/null
trap 'kill "$(cat "$demo/server.pid")" 2>/dev/null || true; rm -rf "$demo"' EXIT
shot="$demo/screen.png"
xvfb-run -a -s "-screen 0 1100x760x24" sh -c '
    env VUXSHARE="$1/share" XDG_CONFIG_HOME="$3/config" "$2/vux" --installroot="$3/root" >"$3/vux.log" 2>&1 &
    sleep "$4"
    import -window root "$5"
    kill $!' sh "$top" "$build" "$demo" "$wait" "$shot"
# Without a window manager the window sits at the top left on black.
convert "$shot" -trim +repage "$output"
echo "$output"
