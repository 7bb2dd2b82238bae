# SPDX-License-Identifier: GPL-2.0-or-later
"""The adapters the engine reads: packages (from a repository or installed),
groups, and collectAll()'s result. They answer from the current sack through
YumIOSack's view."""

import calendar
import datetime
import os
import re

import rpm


# ---------------------------------------------------------------------------
# Package adapters

_interned = {}


def _intern(text):
    # Architectures and repository names: a few texts shared by every adapter.
    return _interned.setdefault(text, text)


_FLAGS = {"=": "EQ", "<": "LT", "<=": "LE", ">": "GT", ">=": "GE"}
_RELDEP_RE = re.compile(r"^(\S+) (<=|>=|=|<|>) (\S+)$")
_PRCO = ("provides", "requires", "conflicts", "obsoletes")


def _splitEvr(evr):
    """(epoch, version, release) of an rpm version text, as yum split it:
    epoch "0" when absent, release None when absent."""
    colon = evr.find(":")
    epoch = evr[:colon] if colon != -1 else "0"
    rest = evr[colon + 1:]
    dash = rest.find("-")
    version = rest[:dash] if dash != -1 else rest
    release = rest[dash + 1:] if dash != -1 else None
    return (epoch or "0", version or None, release)


def _prcoTuple(reldep):
    text = str(reldep)
    match = _RELDEP_RE.match(text)
    if not match:
        return (text, None, (None, None, None))
    return (match.group(1), _FLAGS[match.group(2)], _splitEvr(match.group(3)))


# Days from 0001-01-01 to 1970-01-01: a date's midnight UTC in seconds.
_EPOCH_ORDINAL = datetime.date(1970, 1, 1).toordinal()


def _seconds(stamp):
    """A change-log date or time as int seconds (a date: its midnight UTC)."""
    if type(stamp) is datetime.date:
        return (stamp.toordinal() - _EPOCH_ORDINAL) * 86400
    if stamp is None:
        return 0
    if isinstance(stamp, (int, float)):
        return int(stamp)
    return calendar.timegm(stamp.timetuple())


def _text(value):
    if value is None:
        return None
    if isinstance(value, bytes):
        return value.decode("utf-8", "replace")
    return str(value)


class Package:
    """A repository package as the engine reads it.

    Only the name and architecture are kept; everything else is read from
    the current sack when asked (see _SackView)."""

    __slots__ = ("_view", "_gen", "_ref", "name", "arch", "_evr", "_repo", "_fresh")

    SIMPLE = {"summary": "summary", "description": "description", "group": "group",
              "vendor": "vendor", "relativepath": "location", "sourcerpm": "sourcerpm",
              "license": "license", "packager": "packager", "url": "url"}

    def __init__(self, view, pkg):
        self._view = view
        self._gen = view.generation
        self._ref = view.ref(pkg)
        self.name = pkg.name
        self.arch = _intern(pkg.arch)
        # With the name and architecture, what finds the package in a load
        # that numbers packages anew.
        self._evr = pkg.evr
        self._repo = _intern(pkg.reponame)
        # The package it was made from, for the first question (the
        # collection's tableRow()), instead of making it again from its id.
        self._fresh = pkg

    @classmethod
    def at(cls, view, handle, key):
        """The adapter of a package by its handle() and its identity key
        (repository, name, evr, architecture), made again on demand."""
        self = cls.__new__(cls)
        self._view = view
        self._gen, self._ref = handle
        self._repo, self.name, self._evr, self.arch = key
        self._repo = _intern(self._repo)
        self.arch = _intern(self.arch)
        self._fresh = None
        return self

    def handle(self):
        """(generation, id) by which at() makes this adapter again, or None
        where the view keeps packages rather than ids."""
        return (self._gen, self._ref) if type(self._ref) is int else None

    def __repr__(self):
        return "<%s %s %s>" % (self.__class__.__name__, self.nevra(), self.repoid)

    def _current(self):
        """The ref of the package in the current sack, or None."""
        view = self._view
        if view.closed:
            return None
        if self._gen != view.generation:
            self._ref = view.translate(
                self._gen, self._ref, (self._repo, self.name, self._evr, self.arch))
            self._gen = view.generation
        return self._ref

    def _pkg(self):
        fresh = self._fresh
        if fresh is not None:
            self._fresh = None
            if self._gen == self._view.generation and not self._view.closed:
                return fresh
        ref = self._current()
        return self._view.package(ref) if ref is not None else None

    def nevra(self):
        return "%s-%s.%s" % (self.name, self.printVer(), self.arch)

    @property
    def epoch(self):
        pkg = self._pkg()
        return pkg.epoch if pkg is not None else 0

    @property
    def version(self):
        pkg = self._pkg()
        return pkg.version if pkg is not None else None

    @property
    def release(self):
        pkg = self._pkg()
        return pkg.release if pkg is not None else None

    @property
    def repoid(self):
        pkg = self._pkg()
        return _intern(pkg.reponame) if pkg is not None else None

    def _size(self, pkg):
        return int(pkg.downloadsize or 0)

    @property
    def size(self):
        pkg = self._pkg()
        return self._size(pkg) if pkg is not None else 0

    @staticmethod
    def _printVer(pkg):
        if pkg is None:
            return ""
        if pkg.epoch:
            return "%s:%s-%s" % (pkg.epoch, pkg.version, pkg.release)
        return "%s-%s" % (pkg.version, pkg.release)

    def printVer(self):
        return self._printVer(self._pkg())

    @property
    def pkgtup(self):
        pkg = self._pkg()
        if pkg is None:
            return (self.name, self.arch, None, None, None)
        return (self.name, self.arch, str(pkg.epoch), pkg.version, pkg.release)

    def tableRow(self):
        """The fields of a table row in one call: (name, printVer, repoid,
        arch, size, summary, buildtime, group), as the single calls give
        them; None when the package is no longer there."""
        pkg = self._pkg()
        if pkg is None:
            return None
        return (self.name, self._printVer(pkg), self._repoid(pkg), self.arch, self._size(pkg),
                _text(pkg.summary), int(pkg.buildtime or 0), _text(pkg.group))

    def _repoid(self, pkg):
        return _intern(pkg.reponame)

    def returnSimple(self, key):
        if key == "repoid":
            return self.repoid
        if key == "buildtime":
            pkg = self._pkg()
            return int(pkg.buildtime or 0) if pkg is not None else 0
        if key == "buildhost":
            return self._buildhost()
        attr = self.SIMPLE[key]
        pkg = self._pkg()
        return _text(getattr(pkg, attr, None)) if pkg is not None else None

    def _buildhost(self):
        return None  # not in the repository metadata dnf reads

    def returnPrco(self, prcotype):
        pkg = self._pkg()
        if pkg is None or prcotype not in _PRCO:
            return []
        return [_prcoTuple(reldep) for reldep in getattr(pkg, prcotype)]

    @property
    def prco(self):
        return {prcotype: self.returnPrco(prcotype) for prcotype in _PRCO}

    def returnFileEntries(self, ftype="file", primary_only=False):
        if ftype != "file":
            return []  # dnf keeps paths without their kind
        pkg = self._pkg()
        if pkg is None:
            return []
        files = pkg.files  # dnf makes a new list per call: no copy needed
        return files if type(files) is list else list(files)

    @property
    def files(self):
        return {"file": self.returnFileEntries("file")}

    def returnChangelog(self):
        pkg = self._pkg()
        if pkg is None:
            return []
        # Read for every package by a Search: one pass, no call per field
        # where dnf gives what is expected (a date, texts).
        return [(_seconds(entry.get("timestamp")),
                 author if type(author) is str else _text(author) or "",
                 text if type(text) is str else _text(text) or "")
                for entry in pkg.changelogs
                for author, text in ((entry.get("author"), entry.get("text")),)]

    def changelogRecords(self):
        """dnf's own change-log records, mappings with "timestamp" (a date),
        "author" and "text": what returnChangelog() converts, handed to the
        engine as they are (a Search reads every record of every package)."""
        pkg = self._pkg()
        return pkg.changelogs if pkg is not None else []

    @property
    def changelog(self):
        return self.returnChangelog()

    def localPkg(self):
        pkg = self._view.dnfPackage(self._current())
        try:
            return pkg.localPkg() if pkg is not None else None
        except (KeyError, AttributeError, TypeError):
            return None

    def localHdr(self):
        # dnf keeps no header cache: where yum would have kept the header.
        pkg = self._view.dnfPackage(self._current())
        try:
            pkgdir = pkg.repo.cache_pkgdir()
        except (KeyError, AttributeError, TypeError):
            return None
        base = os.path.basename(pkg.location or "")
        if base.endswith(".rpm"):
            base = base[:-4]
        return os.path.join(os.path.dirname(pkgdir), "headers", base + ".hdr")


class InstalledPackage(Package):
    """An installed package: "installed" as its repository, its installed
    size, and its header from the root's rpm database as hdr."""

    __slots__ = ("_hdr",)

    def __init__(self, view, pkg):
        super().__init__(view, pkg)
        self._hdr = None

    @property
    def repoid(self):
        return "installed"

    def _repoid(self, pkg):
        return "installed"

    def _size(self, pkg):
        return int(pkg.installsize or 0)

    @property
    def hdr(self):
        if self._hdr is None:
            pkg = self._pkg()
            if pkg is not None:
                self._hdr = self._view.header(
                    self.name, pkg.rpmdbid, (pkg.epoch, pkg.version, pkg.release, self.arch))
            if self._hdr is None:
                raise AttributeError("%s is no longer in the rpm database" % self.nevra())
        return self._hdr

    def _buildhost(self):
        try:
            return _text(self.hdr[rpm.RPMTAG_BUILDHOST])
        except AttributeError:
            return None

    def localPkg(self):
        return None

    def localHdr(self):
        return None


class UpdatePackage(Package):
    """A repository package as the update of installed packages: replaces
    lists their (name, architecture), of its own name or, for a package that
    obsoletes them (a rename), of another."""

    __slots__ = ("replaces",)

    def __init__(self, view, pkg, replaces):
        super().__init__(view, pkg)
        self.replaces = replaces


class Group:
    """A comps group as the engine reads it."""

    def __init__(self, group, installed):
        self.groupid = group.id
        self.name = group.ui_name or group.name or group.id
        # The description shown with the group, translated where the metadata
        # has the language.
        self.description = group.ui_description or ""
        self.user_visible = bool(group.visible)
        self.installed = bool(installed)
        self.mandatory_packages = {p.name: 1 for p in group.mandatory_packages}
        self.default_packages = {p.name: 1 for p in group.default_packages}
        self.optional_packages = {p.name: 1 for p in group.optional_packages}
        self.conditional_packages = {p.name: p.requires for p in group.conditional_packages}

    def __repr__(self):
        return "<Group %s>" % self.groupid


class PackageLists:
    """collectAll()'s result."""

    def __init__(self, installed, available):
        self.installed = installed
        self.available = available
