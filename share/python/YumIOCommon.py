# SPDX-License-Identifier: GPL-2.0-or-later
"""What every part of the companion script uses: the texts and yum
exceptions that stand for dnf's errors, and dnf's logger, through which the
script logs (YumIOProcess routes it). Credentials in texts are masked by the
program's own rule, yumIOC.maskCredentials."""

import logging

import yumIOC

import dnf.exceptions
import hawkey
import libdnf.error

from yum import Errors


# ---------------------------------------------------------------------------
# Errors

# What dnf, libdnf, hawkey and the operating system raise for expected
# failures; anything else is a fault of this script and keeps its traceback.
_EXPECTED = (dnf.exceptions.Error, OSError, RuntimeError, hawkey.Exception,
             libdnf.error.Error)


def _errorText(error):
    text = str(error)
    if not text and isinstance(error, OSError) and error.strerror:
        text = error.strerror
    return yumIOC.maskCredentials(text or error.__class__.__name__)


def _yumError(error, cls=Errors.YumBaseError):
    """The yum exception of class cls (LockError for dnf's lock errors) that
    stands for the dnf or system exception error."""
    if isinstance(error, dnf.exceptions.LockError) and issubclass(Errors.LockError, cls):
        return Errors.LockError(_errorText(error), getattr(error, "pid", None))
    return cls(_errorText(error))


logger = logging.getLogger("dnf")
