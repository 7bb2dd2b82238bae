# SPDX-License-Identifier: GPL-2.0-or-later
"""Cleaning the cache directory, under dnf's locks."""

import os
import re

import dnf.lock
import dnf.logging
import dnf.repo
import dnf.util
from dnf.i18n import _

from yum import Errors

from YumIOCommon import _EXPECTED, _errorText, logger


_HEADER_FILES = r"^[A-Za-z0-9\-_.:]+-[0-9a-fA-F]{16}/headers/.+\.hdr$"


class CleanMixin:
    """YumIO's cleanHeaders(), cleanPackages(), cleanMetadata() and
    cleanPickles()."""

    @staticmethod
    def _requireRoot():
        """Changing the system (a transaction, the caches) needs root; an
        ordinary user gets dnf's own explanation."""
        if not dnf.util.am_i_root():
            raise Errors.YumBaseError(_("This command has to be run with superuser privileges "
                                        "(under the root user on most systems)."))

    def _clean(self, patterns, what):
        """Remove the cache files matching patterns: (code, [messages])."""
        try:
            self._requireRoot()
        except Errors.YumBaseError as error:
            logger.error("%s", error)
            return (1, [str(error)])
        cachedir = self.conf.cachedir
        messages = []
        failures = []
        count = 0
        locks = (dnf.lock.build_metadata_lock(cachedir, True),
                 dnf.lock.build_download_lock(cachedir, True),
                 dnf.lock.build_rpmdb_lock(self.conf.persistdir, True))
        try:
            with locks[0], locks[1], locks[2]:
                regexps = [re.compile(p) for p in patterns]
                walkErrors = []
                for top, _dirs, files in os.walk(cachedir, onerror=walkErrors.append):
                    for name in files:
                        relative = os.path.normpath(
                            os.path.join(os.path.relpath(top, cachedir), name))
                        if not any(r.match(relative) for r in regexps):
                            continue
                        path = os.path.join(top, name)
                        try:
                            os.unlink(path)
                            count += 1
                            logger.log(dnf.logging.DDEBUG, _("Removing file %s"), path)
                        except FileNotFoundError:
                            pass
                        except OSError as error:
                            failures.append("%s: %s" % (path, error.strerror or error))
                for error in walkErrors:
                    if not isinstance(error, FileNotFoundError):
                        failures.append(_errorText(error))
        except _EXPECTED as error:
            failures.append(_errorText(error))
        messages.append("%d %s %s removed" % (count, what, "file" if count == 1 else "files"))
        for line in messages:
            logger.info(line)
        for line in failures:
            logger.error(line)
        return (1 if failures else 0, messages + failures)

    def cleanHeaders(self):
        return self._clean([_HEADER_FILES], "header")

    def cleanPackages(self):
        return self._clean([dnf.repo.CACHE_FILES["packages"]], "package")

    def cleanMetadata(self):
        return self._clean([dnf.repo.CACHE_FILES["metadata"], dnf.repo.CACHE_FILES["dbcache"]],
                           "metadata")

    def cleanPickles(self):
        # dnf's counterpart of yum's pickled metadata is libsolv's cache.
        return self._clean([dnf.repo.CACHE_FILES["dbcache"]], "cache")
