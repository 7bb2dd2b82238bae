# SPDX-License-Identifier: GPL-2.0-or-later
"""Cleaning dnf's cache in the root: what each kind removes, and that a
second clean is harmless."""

import os

import pytest


def cache_files(cachedir):
    return {os.path.relpath(os.path.join(top, name), cachedir)
            for top, _dirs, files in os.walk(cachedir) for name in files}


@pytest.mark.parametrize("method, what, removed", [
    ("cleanHeaders", "header", lambda f: f.endswith(".hdr")),
    ("cleanPackages", "package", lambda f: f.endswith(".rpm")),
    ("cleanMetadata", "metadata", lambda f: "/repodata/" in f or f.endswith((".solv", ".solvx"))),
    ("cleanPickles", "cache", lambda f: f.endswith((".solv", ".solvx"))),
])
def test_clean(make_root, make_yumio, method, what, removed):
    yumio = make_yumio(make_root())
    yumio.setupRepos()
    cachedir = yumio.conf.cachedir
    # A downloaded package and a header file beside each repository's metadata.
    for directory in [d for d in os.listdir(cachedir) if os.path.isdir(os.path.join(cachedir, d))]:
        for sub, name in (("packages", "aurora-1.1-1.x86_64.rpm"),
                          ("headers", "aurora-1.1-1.x86_64.hdr")):
            os.makedirs(os.path.join(cachedir, directory, sub))
            with open(os.path.join(cachedir, directory, sub, name), "w") as f:
                f.write("cached")
    before = cache_files(cachedir)
    gone = {f for f in before if removed(f)}
    assert gone
    assert getattr(yumio, method)() == (0, ["%d %s files removed" % (len(gone), what)])
    assert cache_files(cachedir) == before - gone
    assert getattr(yumio, method)() == (0, ["0 %s files removed" % what])

