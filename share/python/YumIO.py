# SPDX-License-Identifier: GPL-2.0-or-later
"""Vux's companion script: the package work of Vux, done by dnf.

The engine runs this file as __main__ inside its embedded interpreter, with
sys.argv = [program, "info"] or [program, "--installroot=DIR", "info"], and
creates one YumIO object, replaced by a new one on every refresh. Everything
the script has to say goes back through the engine's callback module yumIOC:
dnf's log records, sys.stdout and sys.stderr, and repository progress.

Its parts live beside it, one module per concern (doc/companion-script.md
names them); the class YumIO is made of their mixins.

doc/companion-script.md describes what the engine expects of this file.
"""

import os
import sys

import dnf
import dnf.drpm
from dnf.i18n import _

from YumIOApply import ApplyMixin
from YumIOClean import CleanMixin
from YumIOCollect import CollectMixin
from YumIOCommon import _EXPECTED, _errorText, logger
from YumIOConfig import ConfigMixin, RepoDict, _installRoot
from YumIODetails import DetailsMixin
from YumIOHistory import HistoryMixin
from YumIOHolds import HoldsMixin
from YumIOProcess import ProcessMixin, _lockTargets, _routeLogging, _routeStreams, _setupLogging
from YumIOQueries import QueriesMixin
from YumIOSack import _SackView
from YumIOVersions import VersionsMixin


def usesSqlite():
    """dnf reads metadata into libsolv, never into SQLite."""
    return False


class YumIO(ProcessMixin, ConfigMixin, CollectMixin, DetailsMixin, QueriesMixin, CleanMixin,
            ApplyMixin, HistoryMixin, HoldsMixin, VersionsMixin, dnf.Base):
    """dnf for Vux's engine: see doc/companion-script.md."""

    def __init__(self):
        self._view = None
        self._problems = []
        self._extraTypes = set()
        try:
            # Routed first, so that a configuration error reaches the log.
            _routeLogging()
            conf = self._readConfiguration(_installRoot(sys.argv))
            _setupLogging(conf)
            _routeStreams()
            super().__init__(conf)
            self._repos = RepoDict()
            self._view = _SackView(self)
            self._lockTargets = _lockTargets(conf)
            self._readRepos()
            self._expireMarkedRepos()
        except _EXPECTED + (ValueError,) as error:
            text = _errorText(error)
            logger.critical(_("Config error: %s"), text)
            raise SystemExit(text) from error

    # -- clean-up -----------------------------------------------------------

    def flush(self):
        if self._view is not None:
            self._view.close()
        self.close()

    def usesPresto(self):
        # dnf rebuilds packages from deltas only with deltarpm on and its
        # rebuilding tool installed; otherwise it never does.
        return bool(self.conf.deltarpm) and os.access(dnf.drpm.APPLYDELTA, os.X_OK)
