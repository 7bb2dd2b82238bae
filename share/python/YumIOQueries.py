# SPDX-License-Identifier: GPL-2.0-or-later
"""Questions asked of the loaded sack, as dnf's own commands ask them: the
advisories of the updates (dnf updateinfo list), the installed or available
packages that need a package (dnf repoquery --whatrequires) and the packages
that provide a capability or file (dnf repoquery --whatprovides)."""

import dnf.subject
import hawkey

from yum import Errors

from YumIOCommon import _EXPECTED, _yumError
from YumIOPackages import Package

_ADVISORY_TYPES = {
    hawkey.ADVISORY_SECURITY: "security",
    hawkey.ADVISORY_BUGFIX: "bugfix",
    hawkey.ADVISORY_ENHANCEMENT: "enhancement",
    hawkey.ADVISORY_NEWPACKAGE: "newpackage",
}
_REFERENCE_TYPES = {
    hawkey.REFERENCE_CVE: "cve",
    hawkey.REFERENCE_BUGZILLA: "bugzilla",
    hawkey.REFERENCE_VENDOR: "vendor",
}


def _seconds(stamp):
    # hawkey makes the date with datetime.fromtimestamp: timestamp() is its
    # inverse in any time zone.
    try:
        return int(stamp.timestamp())
    except (AttributeError, OverflowError, ValueError, OSError):
        return 0


class QueriesMixin:
    """YumIO's collectAdvisories(), whatRequires() and whatProvides()."""

    def _sackQuery(self):
        if self.sack is None:
            raise Errors.YumBaseError("The repositories have not been read.")
        return self.sack.query()

    def collectAdvisories(self):
        """The advisories of packages newer than the newest installed
        version of their name and architecture, what "dnf updateinfo list"
        lists: one tuple (name, id, type, severity, updated, title,
        description, references) per package name and advisory, references
        as (type, id, title, url)."""
        try:
            installed = self._sackQuery().installed().latest(1)
            details = {}
            seen = set()
            result = []
            for apkg in installed.get_advisory_pkgs(hawkey.GT):
                advisory = apkg.get_advisory(self.sack)
                if advisory is None:
                    continue
                key = (apkg.name, advisory.id)
                if key in seen:
                    continue
                seen.add(key)
                fields = details.get(advisory.id)
                if fields is None:
                    fields = (advisory.id, _ADVISORY_TYPES.get(advisory.type, "unknown"),
                              advisory.severity or None, _seconds(advisory.updated),
                              advisory.title or "", advisory.description or "",
                              [(_REFERENCE_TYPES.get(ref.type, "unknown"), ref.id or "",
                                ref.title or "", ref.url or "")
                               for ref in advisory.references])
                    details[advisory.id] = fields
                result.append((apkg.name,) + fields)
            return result
        except _EXPECTED as error:
            raise _yumError(error) from error

    def whatRequires(self, name, installed):
        """The installed (else the available) packages that require the
        package name, as "dnf repoquery --whatrequires NAME [--installed]"
        finds them: a dependency on the name itself or on what the packages
        of that name provide. Tuples (name, printVer(), arch, repoid), in
        name order; repoid "installed" for installed packages."""
        try:
            query = self._sackQuery()
            query = query.installed() if installed else query.available()
            named = query.intersection(dnf.subject.Subject(name).get_best_query(
                self.sack, with_provides=False, with_filenames=False))
            found = query.filter(requires__glob=[name]).union(query.filter(requires=named))
            return [(pkg.name, Package._printVer(pkg), pkg.arch,
                     "installed" if pkg.reponame == hawkey.SYSTEM_REPO_NAME else pkg.reponame)
                    for pkg in sorted(found, key=str)]
        except _EXPECTED as error:
            raise _yumError(error) from error

    def whatProvides(self, capability):
        """The names of the installed and available packages that provide
        the capability or, when none does, hold the file, as
        "dnf repoquery --whatprovides" finds them (shell wildcards allowed)
        among the installed and among the available packages."""
        try:
            names = set()
            for query in (self._sackQuery().installed(), self._sackQuery().available()):
                found = query.filter(provides__glob=[capability])
                if not found:
                    found = query.filter(file__glob=[capability])
                names.update(pkg.name for pkg in found)
            return sorted(names)
        except _EXPECTED as error:
            raise _yumError(error) from error
