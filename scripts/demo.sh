#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Installs what is missing, builds, prepares a sandbox RPM system (repositories
# served on 127.0.0.1, a root with packages installed) and opens Vux on it.
# The repository server is stopped when Vux ends. Extra arguments go to Vux.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VUX_BUILD_DIR:-$top/build}
demo=${VUX_DEMO_DIR:-$build/demo}
step() {
    printf '\n==> %s\n' "$*" >&2
}

step "Checking the packages Vux needs (installing only what is missing)"
"$top/scripts/install-deps.sh"
step "Building the program in $build (only vux, not the test suites; a first build takes a few minutes)"
"$top/scripts/build.sh" vux
step "Building sandbox RPMs and repositories, serving them on 127.0.0.1 and installing a sandbox root in $demo"

# What the sandbox made, without its instructions for running Vux by hand:
# this script does that, and stops the server afterwards.
summary=$(/usr/bin/python3 "$top/scripts/sandbox.py" demo "$demo")
printf '%s\n' "$summary" | sed '/^Run Vux on it:/,$d' >&2
server=$(cat "$demo/server.pid")
trap 'kill "$server" 2>/dev/null || true' EXIT
trap 'exit 130' INT TERM

step "Opening Vux on the sandbox root $demo/root"
run=""
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display: running under xvfb-run (end it with Ctrl+C)" >&2
    run="xvfb-run -a"
fi
status=0
# The build tree's doc/ holds the manual as an installation lays it out
# (html/index.html, and manual.pdf when htmldoc is installed): the Help menu
# shows it from there.
env VUXSHARE="$top/share" VUXDOC="$build/doc" $run "$build/vux" --log --installroot="$demo/root" "$@" || status=$?
exit "$status"
