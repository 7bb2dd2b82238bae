# SPDX-License-Identifier: GPL-2.0-or-later
"""Fixtures of the Python suites: sandbox roots and servers (scripts/sandbox.py,
RPMs and repositories cached in $VUX_SANDBOX_CACHE) and the companion script
with a recording yumIOC."""

import contextlib
import sys

import pytest

from script_support import load_script, sandbox, script_module
import yumioc_recorder


@pytest.fixture(scope="session")
def repos():
    """build_repos(): {"cache", "repos": {name: path}, "rpms", "built"}."""
    return sandbox.build_repos()


@pytest.fixture
def make_root(tmp_path, repos):
    """make_root(name="root", **make_root options) -> path of a new sandbox root."""
    return lambda name="root", **options: sandbox.make_root(str(tmp_path / name),
                                                            **options)["root"]


@pytest.fixture
def start_server():
    """start_server(**serve options): a repository server in a child process
    (libdnf keeps the interpreter lock while it downloads) until the test ends."""
    with contextlib.ExitStack() as stack:
        yield lambda **options: stack.enter_context(sandbox.serve(**options))


@pytest.fixture
def recorder():
    yumioc_recorder.reset()
    yield yumioc_recorder
    yumioc_recorder.reset()


@pytest.fixture
def script(recorder):
    return load_script()


@pytest.fixture
def make_yumio(script):
    """make_yumio(root) builds the script's object as the engine does, with
    sys.argv naming the root; flushed and unlocked after the test."""
    saved = (list(sys.argv), sys.stdout, sys.stderr)
    made = []

    def make(root):
        sys.argv = ["vux", "--installroot=%s" % root, "info"]
        made.append(script.YumIO())
        return made[-1]

    yield make
    try:
        for obj in made:
            obj.flush()
        script_module("YumIOProcess")._releaseHold()
    finally:
        sys.argv, sys.stdout, sys.stderr = saved

