# SPDX-License-Identifier: GPL-2.0-or-later
"""The sack view: where the package adapters find their packages in the sack
of the latest load."""

import array
import os
import weakref

import rpm
import dnf.package
import hawkey

from YumIOCommon import logger


def _pkgKey(pkg):
    return (pkg.name, pkg.epoch, pkg.version, pkg.release, pkg.arch, pkg.reponame)


def _idsWork(sack, pkg):
    """Whether hash() of the sack's packages is their solvable id, from which
    hawkey.Package((sack, id)) makes the package again (libdnf's hawkey).
    Checked on a package, within the range of ids, before relying on it."""
    try:
        ident = hash(pkg)
        limit = 4 * len(sack.query()) + 1024
        return 0 < ident < limit and str(hawkey.Package((sack, ident))) == str(pkg)
    except (TypeError, ValueError, hawkey.Exception):
        return False


def _packages(sack):
    # hawkey's own query: dnf's wraps every package in a Python object.
    return hawkey.Query(sack).run()


def _translation(old, new):
    """old solvable id -> new solvable id (-1: gone) for the packages of the
    sack old found again in the sack new."""
    index = {(p.reponame, str(p)): hash(p) for p in _packages(new)}
    pairs = [(hash(p), index.get((p.reponame, str(p)), -1)) for p in _packages(old)]
    del index
    table = array.array("l", [-1]) * (max((i for i, _n in pairs), default=0) + 1)
    for ident, newIdent in pairs:
        table[ident] = newIdent
    return table


def _fingerprint(base, sack):
    """What decides the solvable ids of a load: the installed packages in
    the order of the database, and the enabled repositories in the order
    they were added with the metadata files they were read from. Two loads
    with the same fingerprint number their packages alike."""
    installed = tuple((hash(p), str(p)) for p in hawkey.Query(sack).filterm(
        reponame=hawkey.SYSTEM_REPO_NAME).run())
    repos = []
    for repo in base.repos.iter_enabled():
        files = []
        for kind in ("primary", "filelists"):
            try:
                path = repo._repo.getMetadataPath(kind)
                info = os.stat(path) if path else None
            except (AttributeError, OSError, RuntimeError):
                return None
            files.append((path, info.st_ino, info.st_size, info.st_mtime_ns) if info else None)
        repos.append((repo.id, tuple(files)))
    return installed, tuple(repos)


def _samples(sack, samples=64):
    """The package count of a sack and the identities (package, repository)
    at ids spread over it: what two loads numbering their packages alike
    agree on, a check of the fingerprint that makes no package objects
    beyond the samples."""
    count = hawkey.Query(sack).count()
    step = max(1, count // samples)
    found = []
    for ident in list(range(2, count + 2, step)) + [count + 1]:
        try:
            pkg = hawkey.Package((sack, ident))
            found.append((ident, str(pkg), pkg.reponame))
        except (TypeError, ValueError, hawkey.Exception):
            found.append((ident, None, None))
    return count, found


def _sameSamples(samples, sack):
    count, found = samples
    if hawkey.Query(sack).count() != count:
        return False
    for ident, text, reponame in found:
        try:
            pkg = hawkey.Package((sack, ident))
            if (str(pkg), pkg.reponame) != (text, reponame):
                return False
        except (TypeError, ValueError, hawkey.Exception):
            if text is not None:
                return False
    return True


class _SackView:
    """Finds the packages of the adapters in the current sack.

    An adapter keeps its package's solvable id in the sack it was made from;
    whatever it is asked is read from the sack of the latest load, which after
    collectOtherData() is another sack than the one it was made from: each
    load after the first translates the ids of the previous one, or, when
    the previous sack was let go before the load and the new one numbers
    packages otherwise, the adapter finds its package by its identity
    (repository, name, evr, architecture). Where the ids cannot be relied on, adapters keep their package object and are
    found again by identity (name, epoch, version, release, architecture,
    repository)."""

    def __init__(self, base):
        # Weak: adapters outlive neither the engine's clear() nor the object.
        self.base = weakref.ref(base)
        self.generation = 0
        self.sack = None
        self.byId = None
        self.maps = []      # per generation: its ids -> the next one's (None: by key)
        self.index = None   # without ids: identity -> package of the current sack
        self.keys = None    # key of an adapter -> its id in the current sack
        self.released = None  # samples of a sack let go before the next load
        self.closed = False
        self.ts = None
        self.fingerprint = None

    def release(self):
        """Lets the current sack go before a load that replaces it, keeping
        what newGeneration() compares the next one with. A load made while
        the previous sack is still in memory cannot reuse that memory and
        costs about twice as much."""
        if self.byId and self.sack is not None:
            self.released = _samples(self.sack)
            self.sack = None

    def newGeneration(self):
        base = self.base()
        sack = base.sack if base is not None else None
        old, self.sack = self.sack, sack
        self.index = None
        self.keys = None
        if sack is None:
            return  # what was released is compared with the next load
        fingerprint = _fingerprint(base, sack) if self.byId is not False else None
        same, self.fingerprint = fingerprint == self.fingerprint, fingerprint
        released, self.released = self.released, None
        if released is not None and old is None:
            # A load of the same metadata (the change logs' load, as a rule)
            # numbers the packages as the previous one: nothing to translate.
            # Otherwise adapters find their package again by its identity.
            if same and fingerprint is not None and _sameSamples(released, sack):
                return
            self.maps.append(None)
            self.generation += 1
        elif old is not None and sack is not old:
            if self.byId and same and fingerprint is not None and _sameSamples(
                    _samples(old), sack):
                return
            if self.byId:
                self.maps.append(_translation(old, sack))
            self.generation += 1

    def ref(self, pkg):
        """What an adapter keeps of a package of the current sack."""
        if self.byId is None:
            self.byId = _idsWork(self.sack, pkg)
        return hash(pkg) if self.byId else pkg

    def translate(self, generation, ref, key=None):
        """ref of an older generation as a ref of the current one, or None.
        key: the package's (repository, name, evr, architecture), by which
        it is found where ids were not translated."""
        if ref is None:
            return None
        if self.byId:
            for table in self.maps[generation:]:
                if table is None:
                    return self.find(key)
                ref = table[ref] if 0 <= ref < len(table) else -1
                if ref < 0:
                    return None
            return ref
        if self.index is None:
            self.index = {_pkgKey(p): p for p in self.sack.query()}
        return self.index.get(_pkgKey(ref))

    def find(self, key):
        """The id of the package with key in the current sack, or None."""
        if key is None or self.sack is None:
            return None
        if self.keys is None:
            self.keys = {(p.reponame, p.name, p.evr, p.arch): hash(p)
                         for p in _packages(self.sack)}
        return self.keys.get(key)

    def package(self, ref):
        if self.byId:
            return hawkey.Package((self.sack, ref)) if self.sack is not None else None
        return ref

    def dnfPackage(self, ref):
        """The package as dnf's own class (with its repository and cache
        paths), or None."""
        base = self.base()
        if base is None or self.closed or ref is None:
            return None
        if self.byId:
            return dnf.package.Package((self.sack, ref), base) if self.sack is not None else None
        return ref

    def header(self, name, rpmdbid, evra):
        if self.ts is None:
            base = self.base()
            if base is None:
                return None
            # Reading headers needs no signature or digest checks.
            self.ts = rpm.TransactionSet(base.conf.installroot)
            self.ts.setVSFlags(rpm.RPMVSF_MASK_NOSIGNATURES | rpm.RPMVSF_MASK_NODIGESTS)

        def matches(hdr):
            return hdr[rpm.RPMTAG_NAME] == name and (
                hdr[rpm.RPMTAG_EPOCH] or 0, hdr[rpm.RPMTAG_VERSION], hdr[rpm.RPMTAG_RELEASE],
                hdr[rpm.RPMTAG_ARCH]) == evra

        try:
            # By its place in the database first, by name when that moved.
            for hdr in self.ts.dbMatch(rpm.RPMDBI_PACKAGES, rpmdbid):
                if matches(hdr):
                    return hdr
            for hdr in self.ts.dbMatch(rpm.RPMTAG_NAME, name):
                if matches(hdr):
                    return hdr
        except (rpm.error, TypeError) as error:
            logger.debug("rpm database lookup of %s failed: %s", name, error)
        return None

    def close(self):
        if self.ts is not None:
            self.ts.closeDB()
            self.ts = None
        self.sack = None
        self.maps = []
        self.index = None
        self.keys = None
        self.released = None
        self.closed = True
