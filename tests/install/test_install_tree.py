# SPDX-License-Identifier: GPL-2.0-or-later
"""cmake --install into a staging directory: the tree a packager gets, its
desktop files validated, its manual page complete."""

import os

import pytest

from install_support import BINARY_DIR, check_tree, render_manual, run, usage_options


@pytest.fixture(scope="module")
def staged(tmp_path_factory):
    """(staging directory, prefix) after cmake --install with DESTDIR."""
    stage = str(tmp_path_factory.mktemp("stage"))
    result = run(["cmake", "--install", BINARY_DIR], env=dict(os.environ, DESTDIR=stage))
    assert result.returncode == 0, result.stdout + result.stderr
    prefix = run(["cmake", "-L", "-N", BINARY_DIR]).stdout
    prefix = [line.split("=", 1)[1] for line in prefix.splitlines()
              if line.startswith("CMAKE_INSTALL_PREFIX:")][0]
    return stage, prefix


def test_staged_tree_is_complete_and_valid(staged):
    stage, prefix = staged
    installed = check_tree(stage, prefix)
    # Nothing outside the prefix, nothing from the build or the tests.
    outside = [os.path.join(top, name) for top, _dirs, files in os.walk(stage)
               for name in files if not os.path.join(top, name).startswith(stage + prefix + "/")]
    assert not outside
    assert not [p for p in installed if "/tests/" in p or p.endswith((".pyc", ".o", ".ts"))]


def test_manual_page_documents_every_option(staged):
    stage, prefix = staged
    text, warnings = render_manual(stage + prefix + "/share/man/man1/vux.1")
    assert warnings == ""
    options = usage_options()
    assert {"-h", "-H", "--help", "--enablerepo=", "--installroot="} <= set(options)
    missing = [option for option in options + ["-style", "VUXSHARE"] if option not in text]
    assert not missing, "not in the manual page: %s" % missing
    for section in ("SYNOPSIS", "DESCRIPTION", "OPTIONS", "ENVIRONMENT", "FILES",
                    "EXIT STATUS", "SEE ALSO"):
        assert "\n" + section + "\n" in text
    for path in ("/etc/yum/yum.conf", "/etc/yum.repos.d", prefix + "/share/vux"):
        assert path in text
