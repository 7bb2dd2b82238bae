# SPDX-License-Identifier: GPL-2.0-or-later
"""The repository versions of an installed package that a reinstall or a
downgrade can take."""

from yum import Errors

from YumIOApply import _adapterPackage
from YumIOCommon import _EXPECTED, _yumError
from YumIOPackages import Package


class VersionsMixin:
    """YumIO's packageVersions()."""

    def packageVersions(self, package):
        """What the repositories offer an installed package: (whether its
        very version is there to reinstall, the older versions as
        (version text, NEVRA, repositories), newest first), as dnf's
        reinstall and downgrade find them."""
        if self.sack is None:
            raise Errors.YumBaseError("The repositories have not been read.")
        try:
            pkg = _adapterPackage(package)
            available = self.sack.query().available().filterm(name=pkg.name,
                                                               arch=[pkg.arch, "noarch"])
            same = bool(available.filter(evr=pkg.evr, arch=pkg.arch))
            older = {}
            for candidate in available.filter(evr__lt=pkg.evr):
                key = str(candidate)
                repos = older.setdefault(key, (candidate, set()))[1]
                repos.add(candidate.reponame)
            result = [(Package._printVer(candidate), key, ", ".join(sorted(repos)))
                      for key, (candidate, repos) in older.items()]
            order = {key: candidate for key, (candidate, _repos) in older.items()}
            result.sort(key=lambda row: order[row[1]], reverse=True)
            return same, result
        except _EXPECTED as error:
            raise _yumError(error) from error
