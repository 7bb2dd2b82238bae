# SPDX-License-Identifier: GPL-2.0-or-later
"""The advisories of the updates as dnf updateinfo list gives them, in shapes
the sandbox's own advisories lack: several for one package, one for the
installed version only, one for a package that is not installed. (The
packages that require or provide something are compared with dnf's
repoquery through the engine, tests/packagetable.)"""

import os
import shutil
import subprocess

import pytest

from script_support import sandbox

# Advisories written into a copy of "updates" for one root: several for one
# package (the most pressing counts), one for the installed version only
# (not an update: left out) and one for a package that is not installed.
ADVISORIES = (
    {"id": "T-1", "type": "security", "severity": "Critical", "title": "aurora critical",
     "issued": "2024-01-02 03:04:05", "packages": ("aurora",),
     "references": (("cve", "CVE-2099-1111", "https://cve.example.org/1111", "CVE-2099-1111"),)},
    {"id": "T-2", "type": "security", "severity": "Low", "title": "aurora low",
     "issued": "2024-01-03 00:00:00", "packages": ("aurora", "aurora-data")},
    {"id": "T-4", "type": "enhancement", "severity": None, "title": "granite",
     "issued": "2024-01-05 00:00:00", "packages": ("granite",)},
    {"id": "T-5", "type": "newpackage", "severity": None, "title": "ember arrives",
     "issued": "2024-01-06 00:00:00", "packages": ("ember",)},
)


def dnf_lines(root, *args):
    out = subprocess.run(sandbox.dnf_command(root, *args), check=True, stdout=subprocess.PIPE,
                         universal_newlines=True).stdout
    return [line.split() for line in out.splitlines() if line.strip()]


def name_of(nevra):
    # NAME-[EPOCH:]VERSION-RELEASE.ARCH
    return nevra.rsplit("-", 2)[0]


@pytest.fixture
def advised_root(make_root, repos, tmp_path):
    """A root whose "updates" (a copy, with "granite" 3.0, the installed
    version, and "ember", not installed, added) carries ADVISORIES."""
    root = make_root()
    copy = str(tmp_path / "updates")
    shutil.copytree(repos["repos"]["updates"], copy)
    extra = [rpm for rpm in repos["rpms"]
             if os.path.basename(rpm).startswith(("granite-3.0-", "ember-"))]
    sandbox.make_repo(copy, extra)
    sandbox.add_updateinfo(copy, ADVISORIES)
    sandbox.write_repo_files(root, {"base": sandbox.repo_url("base"),
                                    "updates": "file://%s/" % copy})
    return root


def test_advisories_as_updateinfo_list(advised_root, make_yumio):
    yumio = make_yumio(advised_root)
    yumio.setupRepos()
    yumio.setupTs()
    found = yumio.collectAdvisories()
    listed = {(name_of(nevra), ident) for ident, _label, nevra in
              dnf_lines(advised_root, "-q", "updateinfo", "list")}
    assert {(row[0], row[1]) for row in found} == listed
    assert ("aurora", "T-1") in listed and not any(name == "granite" for name, _ in listed)
    by_key = {(row[0], row[1]): row for row in found}
    critical = by_key[("aurora", "T-1")]
    assert critical[2:6] == ("security", "Critical", 1704164645, "aurora critical")
    assert critical[7] == [("cve", "CVE-2099-1111", "CVE-2099-1111",
                            "https://cve.example.org/1111")]
    # One row per package and advisory, though dnf lists each architecture.
    assert len(found) == len(by_key)
