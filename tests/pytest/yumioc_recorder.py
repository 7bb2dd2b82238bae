# SPDX-License-Identifier: GPL-2.0-or-later
"""A stand-in for the engine's callback module yumIOC: records every
callback as (name, *arguments) and, like the engine's argument parser,
raises TypeError into the script for arguments of the wrong kind.
maskCredentials is the program's own (the module yumioc_mask, which the build
makes from the program's pieces and CTest names in VUX_PYTEST_MODULES)."""

import os
import sys

if not os.environ.get("VUX_PYTEST_MODULES"):
    raise ImportError("VUX_PYTEST_MODULES does not name the build's directory of yumioc_mask: "
                      "run the suites through ctest")
sys.path.insert(0, os.environ["VUX_PYTEST_MODULES"])
from yumioc_mask import maskCredentials  # noqa: E402,F401

calls = []

# Callback -> the engine's argument format ("l"/"L" int, "s" str, "O" any).
FORMATS = {
    "stdoutWrite": "s", "stderrWrite": "s", "log": "ls", "errorlog": "ls",
    "collectProgress": "llO", "collectGrabMeterStart": "sssOO",
    "collectGrabMeterUpdate": "L", "collectGrabMeterEnd": "L",
    "applyGrabMeterStart": "OOOLO", "applyGrabMeterUpdate": "L", "applyGrabMeterEnd": "L",
    "dsTsCheck": "", "dsRestartLoop": "", "listTransaction": "O", "reportDownloadSize": "O",
    "tsInitCallback": "l", "tsEvent": "OlLLll", "postTransactionOutput": "O",
}

KINDS = {"l": int, "L": int, "s": str, "O": object}


def _callback(name, fmt):
    def callback(*args):
        if len(args) != len(fmt) or not all(
                isinstance(value, KINDS[code]) and not (code in "lL" and isinstance(value, bool))
                for code, value in zip(fmt, args)):
            raise TypeError("%s() wants %s, got %r" % (name, fmt, args))
        calls.append((name,) + args)
    return callback


for _name, _fmt in FORMATS.items():
    globals()[_name] = _callback(_name, _fmt)


def userconfirm():
    calls.append(("userconfirm",))
    return 1  # the user confirms the transaction


def confirmKeyImport(userid, fingerprint, source):
    calls.append(("confirmKeyImport", userid, fingerprint, source))
    return 1  # and imports the key


def reset():
    del calls[:]

