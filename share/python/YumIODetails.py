# SPDX-License-Identifier: GPL-2.0-or-later
"""Extra repository data for the package details: file lists and change
logs, which need the metadata loaded again."""

import dnf.repo

from yum import Errors

from YumIOCommon import _EXPECTED, _yumError, logger
from YumIOConfig import _RepoReader
from YumIOProgress import _reportRead


def _fromCacheOnly(repo):
    """Makes repo read only what its cache holds (no download)."""
    try:
        repo._repo.setSyncStrategy(dnf.repo.SYNC_ONLY_CACHE)
    except (AttributeError, RuntimeError):
        pass


class DetailsMixin:
    """YumIO's collectFileLists() and collectOtherData()."""

    def _reload(self, extraType):
        """Read the metadata again, now with extraType too.

        A repository object loads once; new ones, made from the same
        configuration and keeping this run's enabled flags, fetch what the
        cache lacks. When that fails, the previous configuration is loaded
        again from the cache."""
        self._extraTypes.add(extraType)
        enabled = {repoid: bool(repo.enabled) for repoid, repo in dict.items(self._repos)}
        fresh = {}
        try:
            for repo in _RepoReader(self.conf, None, []):
                if repo.id not in enabled or repo.id in fresh:
                    continue
                if enabled[repo.id]:
                    repo.enable()
                else:
                    repo.disable()
                repo.load_metadata_other = "other" in self._extraTypes
                fresh[repo.id] = repo
        except _EXPECTED as error:
            self._extraTypes.discard(extraType)
            raise _yumError(error) from error
        types = getattr(self.conf, "optional_metadata_types", None)
        if "filelists" in self._extraTypes and types is not None and "filelists" not in types:
            self.conf.optional_metadata_types = list(types) + ["filelists"]
        previous = dict(dict.items(self._repos))
        dict.clear(self._repos)
        dict.update(self._repos, fresh)
        # The previous sack goes first (fill_sack() drops the base's hold):
        # the new one then reuses its memory.
        self._view.release()
        try:
            self._loadSack()
        except Errors.RepoError as error:
            # The previous load again, from the cache it was read from.
            self._extraTypes.discard(extraType)
            if types is not None:
                self.conf.optional_metadata_types = types
            dict.clear(self._repos)
            dict.update(self._repos, previous)
            for repo in previous.values():
                _fromCacheOnly(repo)
            try:
                self._loadSack()
            except Errors.RepoError as again:
                logger.error("%s", again.value)
            raise Errors.YumBaseError(error.value) from error

    def _fileListsLoaded(self):
        # dnf before optional_metadata_types always loads file lists.
        types = getattr(self.conf, "optional_metadata_types", None)
        return types is None or "filelists" in types or "filelists" in self._extraTypes

    def collectFileLists(self):
        if self._fileListsLoaded():
            for repo in self.repos.iter_enabled():
                _reportRead(repo.id)
            return
        self._reload("filelists")

    def collectOtherData(self):
        if "other" in self._extraTypes:
            for repo in self.repos.iter_enabled():
                _reportRead(repo.id)
            return
        self._reload("other")
