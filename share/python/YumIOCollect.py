# SPDX-License-Identifier: GPL-2.0-or-later
"""Collection: the repositories loaded into the sack with their progress, and
the packages and groups of the engine's table."""

import yumIOC
from yum import Errors

from YumIOCommon import _EXPECTED, _errorText, _yumError, logger
from YumIOPackages import Group, InstalledPackage, Package, PackageLists, UpdatePackage
from YumIOProgress import _RepoMeter, _checkInterrupt


def _priority(pkg):
    return pkg.repo.priority if pkg.repo is not None else 99


def _cost(pkg):
    return pkg.repo.cost if pkg.repo is not None else 1000


def _newest(pkgs):
    """The newest of packages, a repository of lower cost first among equals."""
    best = None
    for pkg in pkgs:
        if best is None or pkg.evr_gt(best) or (pkg.evr_eq(best) and _cost(pkg) < _cost(best)):
            best = pkg
    return best


def _updates(installed, available, obsoletes):
    """What "dnf upgrade" makes of each installed name and architecture, as
    its solver weighs the candidates: the available packages of that name in
    an architecture it may change to (the same, or noarch on either side) and
    no older than the installed one, and with obsoletes on the packages that
    obsolete it; of these only those of the best repository priority count
    (a repository of higher priority offering the installed version keeps
    it, one that offers only older versions does not). The newest of them of
    the installed name is the update, else one that obsoletes it (a rename).
    Returns [(update, [(name, arch) of the installed packages it replaces])].
    "dnf list --upgrades" and "--obsoletes" weigh priorities otherwise and
    disagree with the upgrade where they do."""
    newest = {}
    for pkg in installed:
        key = (pkg.name, pkg.arch)
        if key not in newest or pkg.evr_gt(newest[key]):
            newest[key] = pkg
    byName = {}
    for pkg in available.filter(name=list({name for name, _arch in newest})):
        byName.setdefault(pkg.name, []).append(pkg)
    replacing = {}
    if obsoletes:
        for new in available.filter(obsoletes=installed):
            for old in installed.filter(provides=new.obsoletes):
                if old.name != new.name:
                    replacing.setdefault((old.name, old.arch), []).append(new)
    chosen = {}
    for key, old in newest.items():
        candidates = [pkg for pkg in byName.get(old.name, ())
                      if (pkg.arch == old.arch or "noarch" in (pkg.arch, old.arch))
                      and not old.evr_gt(pkg)]
        candidates += replacing.get(key, [])
        if not candidates:
            continue
        best = min(_priority(pkg) for pkg in candidates)
        kept = [pkg for pkg in candidates if _priority(pkg) == best]
        update = _newest(pkg for pkg in kept if pkg.name == old.name and pkg.evr_gt(old))
        if update is None:
            update = _newest(pkg for pkg in kept if pkg.name != old.name)
        if update is not None:
            chosen.setdefault(update, []).append(key)
    return list(chosen.items())


def _adapters(view, packages):
    """The adapters of packages, each made as the engine reads it (it keeps
    their handle() instead): most packages are available ones. The list is
    emptied on the way, so that its package objects go as their rows come."""
    packages.reverse()
    while packages:
        yield Package(view, packages.pop())


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
        try:
            query = self._query()
            view = self._view
            return [UpdatePackage(view, pkg, replaced) for pkg, replaced in
                    _updates(query.installed(), query.available(), self.conf.obsoletes)]
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
                    available.append(pkg)
            return PackageLists([InstalledPackage(view, pkg) for pkg in installed],
                                _adapters(view, available))
        except _EXPECTED as error:
            raise _yumError(error) from error

    def packageAt(self, handle, key):
        """The adapter of an available package the engine kept only the
        handle() of, with its (repository, name, evr, architecture)."""
        return Package.at(self._view, handle, key)

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
        installed = self._installedGroups()
        return [Group(group, group.id in installed) for group in self._comps.groups_iter()]

    def _installedGroups(self):
        """The ids of the groups dnf's history records as installed.

        Asked of the groups the history has ever recorded, all at once: dnf's
        lookup by id searches the whole history once per group, about 6 ms
        each with 1,000 transactions, over a second for 200 groups. The
        pattern is SQL's wildcard where libdnf passes it on as it stands,
        the shell's where libdnf translates it."""
        try:
            persistence = self.history.group
            return {item.getCompsGroupItem().getGroupId()
                    for pattern in ("%", "*") for item in persistence.search_by_pattern(pattern)}
        except _EXPECTED as error:
            # Without dnf's group records no group counts as installed.
            logger.warning(_errorText(error))
            return set()
