# SPDX-License-Identifier: GPL-2.0-or-later
"""Collection: the repositories loaded into the sack with their progress, and
the packages and groups of the engine's table."""

import yumIOC
from yum import Errors

from YumIOCommon import _EXPECTED, _errorText, _yumError, logger
from YumIOPackages import Group, InstalledPackage, Package, PackageLists, ReplacingPackage
from YumIOProgress import _RepoMeter, _checkInterrupt


def _outranked(available, old, new):
    """Whether a repository of higher priority than new's offers old's name:
    dnf's upgrade then keeps old (the solver takes the candidates of the
    best priority only), although "dnf list --obsoletes" names new."""
    priority = new.repo.priority if new.repo is not None else 99
    return any(pkg.repo is not None and pkg.repo.priority < priority
               for pkg in available.filter(name=old.name))


class CollectMixin:
    """YumIO's loading of the repositories and its collections."""

    # -- repositories -------------------------------------------------------

    def _add_repo_to_sack(self, repo):
        # dnf's per-repository step of fill_sack(), with the progress acts.
        self._loadingRepo = repo.id
        _checkInterrupt()
        meter = _RepoMeter(repo)
        repo.set_progress_bar(meter)
        try:
            repo.load()
        finally:
            meter.finish()
            repo.set_progress_bar(None)
        _checkInterrupt()
        yumIOC.collectProgress(0, 1, "MD Read")
        super()._add_repo_to_sack(repo)
        yumIOC.collectProgress(1, 1, "MD Read")
        yumIOC.collectProgress(-1, -1, repo.id)

    def _loadSack(self):
        self._loadingRepo = None
        try:
            self.fill_sack(load_system_repo="auto", load_available_repos=True)
        except _EXPECTED as error:
            text = _errorText(error)
            repoid = self._loadingRepo
            if repoid and repoid not in text:
                text = "%s: %s" % (repoid, text)
            raise Errors.RepoError(text) from error
        finally:
            self._loadingRepo = None
        self._view.newGeneration()

    def setupRepos(self):
        self._loadSack()

    def setupTs(self):
        if self.sack is None:
            raise Errors.YumBaseError("The repositories have not been read.")

    # -- packages -----------------------------------------------------------

    def _query(self):
        if self.sack is None:
            raise Errors.YumBaseError("The repositories have not been read.")
        return self.sack.query()

    def collectUpdates(self):
        # What "dnf upgrade" would bring: the newest upgrade of each name and
        # architecture and, with obsoletes on, the newest package that
        # replaces installed ones of another name.
        try:
            query = self._query()
            view = self._view
            updates = [Package(view, pkg)
                       for pkg in query.filter(upgrades_by_priority=True).latest().run()]
            if self.conf.obsoletes:
                installed = query.installed()
                available = query.available()
                for pkg in available.filter(obsoletes_by_priority=installed).latest():
                    replaced = [(old.name, old.arch)
                                for old in installed.filter(provides=pkg.obsoletes)
                                if old.name != pkg.name and not _outranked(available, old, pkg)]
                    if replaced:
                        updates.append(ReplacingPackage(view, pkg, replaced))
            return updates
        except _EXPECTED as error:
            raise _yumError(error) from error

    def collectAll(self):
        # As "dnf list --all" sorts them.
        try:
            query = self._query()
            installed = list(query.installed())
            newest = {}
            pkgtups = set()
            for pkg in installed:
                pkgtups.add(pkg.pkgtup)
                key = (pkg.name, pkg.arch)
                if key not in newest or pkg.evr_gt(newest[key]):
                    newest[key] = pkg
            view = self._view
            available = []
            for pkg in query.available().filterm(latest_per_arch_by_priority=True):
                if pkg.pkgtup in pkgtups:
                    continue
                old = newest.get((pkg.name, pkg.arch))
                if old is None or pkg.evr_gt(old):
                    available.append(Package(view, pkg))
            return PackageLists([InstalledPackage(view, pkg) for pkg in installed], available)
        except _EXPECTED as error:
            raise _yumError(error) from error

    # -- groups -------------------------------------------------------------

    def setupTsGroup(self):
        try:
            comps = self.read_comps(arch_filter=True)
        except _EXPECTED as error:
            raise _yumError(error, Errors.GroupsError) from error
        if not comps.groups:
            raise Errors.GroupsError("No Groups Available")

    def collectGroupInfo(self):
        if self._comps is None:
            return []
        try:
            persistence = self.history.group
        except _EXPECTED as error:
            # Without dnf's group records no group counts as installed.
            logger.warning(_errorText(error))
            persistence = None
        result = []
        for group in self._comps.groups_iter():
            installed = persistence is not None and persistence.get(group.id) is not None
            result.append(Group(group, installed))
        return result
