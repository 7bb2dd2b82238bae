#!/bin/sh
# Installs what is missing, builds, prepares a sandbox RPM system (repositories
# served on 127.0.0.1, a root with packages installed) and opens Vux on it.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VUX_BUILD_DIR:-$top/build}
demo=${VUX_DEMO_DIR:-$build/demo}
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
/usr/bin/python3 "$top/tests/support/sandbox.py" demo "$demo" >/dev/null
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display: running under xvfb-run" >&2
    exec env VUXSHARE="$top/share" xvfb-run -a "$build/vux" --log --installroot="$demo/root" "$@"
fi
exec env VUXSHARE="$top/share" "$build/vux" --log --installroot="$demo/root" "$@"
