# SPDX-License-Identifier: GPL-2.0-or-later
"""Loading the companion script as the engine does, and splitting what it
reports per repository."""

import importlib
import importlib.util
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(os.path.dirname(HERE))
SHARE_PYTHON = os.path.join(SOURCE_DIR, "share", "python")
PYTHON = "/usr/bin/python3"

sys.path.insert(0, os.path.join(SOURCE_DIR, "scripts"))
import sandbox  # noqa: E402,F401

import yumioc_recorder  # noqa: E402

_script = None


def load_script():
    """YumIO.py as a module, once per process, with share/python first on
    sys.path (its yum package) and the recording yumIOC registered."""
    global _script
    if _script is None:
        sys.modules["yumIOC"] = yumioc_recorder
        sys.path.insert(0, SHARE_PYTHON)
        spec = importlib.util.spec_from_file_location(
            "YumIO", os.path.join(SHARE_PYTHON, "YumIO.py"))
        _script = importlib.util.module_from_spec(spec)
        spec.loader.exec_module(_script)
    return _script


def script_module(name):
    """One of the modules beside YumIO.py (the one that keeps the lock and the
    logging, say), the very module the script uses."""
    load_script()
    return importlib.import_module(name)


def progress_blocks(calls):
    """The progress callbacks per repository: [(repoid, [calls])], each
    block ending with that repository's collectProgress(-1, -1, repoid)."""
    blocks, current = [], []
    for call in calls:
        if call[0] in ("collectProgress", "collectGrabMeterStart", "collectGrabMeterUpdate",
                       "collectGrabMeterEnd"):
            current.append(call)
            if call[:3] == ("collectProgress", -1, -1):
                blocks.append((call[3], current))
                current = []
    assert not current, "progress after the last repository: %r" % current
    return blocks
