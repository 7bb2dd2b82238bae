#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Installs what building, testing and running Vux need; does nothing for what
# is already there. Debian and Ubuntu use apt-get; Fedora, RHEL and their
# relatives use dnf.
set -eu

debian_packages="cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools qt6-l10n-tools \
qt6-tools-dev qt6-translations-l10n libgl-dev libpython3.11-dev libsolv-dev librpm-dev libzstd-dev \
python3-dnf python3-rpm python3-pytest dnf dnf-plugins-core rpm createrepo-c xvfb xauth \
ca-certificates desktop-file-utils appstream libxml2-utils groff-base polkitd pkexec gnupg htmldoc"
fedora_packages="cmake gcc-c++ make qt6-qtbase-devel qt6-qttools-devel qt6-linguist \
qt6-qttranslations python3-devel libsolv-devel rpm-devel libzstd-devel python3-dnf python3-dnf-plugin-versionlock \
python3-rpm python3-pytest dnf rpm-build rpm-sign gnupg2 createrepo_c xorg-x11-server-Xvfb \
desktop-file-utils appstream libxml2 groff-base polkit htmldoc"

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if command -v apt-get >/dev/null 2>&1; then
    missing=""
    for p in $debian_packages; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" \
            || missing="$missing $p"
    done
    if [ -n "$missing" ]; then
        echo "Installing:$missing"
        as_root apt-get update -q
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
    fi
elif command -v dnf >/dev/null 2>&1; then
    missing=""
    for p in $fedora_packages; do
        rpm -q "$p" >/dev/null 2>&1 || missing="$missing $p"
    done
    if [ -n "$missing" ]; then
        echo "Installing:$missing"
        as_root dnf install -y $missing
    fi
else
    echo "install-deps.sh: neither apt-get nor dnf found; install by hand:" >&2
    echo "  $debian_packages" >&2
    exit 1
fi
