# SPDX-License-Identifier: GPL-2.0-or-later
"""Names of the yum package manager that Vux's engine looks up, on dnf.

Only what the engine reads lives here: the version text, so that the engine
takes its code paths for a current package manager, and the exception
classes of `yum.Errors`, which the companion script raises.
"""

try:
    import dnf.const
    __version__ = dnf.const.VERSION
except ImportError:  # no dnf: the companion script reports that itself
    __version__ = ""

from . import Errors  # noqa: E402  (the engine walks yum.Errors as an attribute)

__all__ = ["Errors", "__version__"]
