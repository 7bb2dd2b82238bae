# SPDX-License-Identifier: GPL-2.0-or-later
"""The script's questions to the sack, each answered as dnf's own command
answers it on the same root: the advisories of the updates (dnf updateinfo
list), the packages that require a package (dnf repoquery --whatrequires)
and the packages that provide a capability or file (dnf repoquery
--whatprovides)."""

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
    {"id": "T-3", "type": "bugfix", "severity": None, "title": "cobalt fix",
     "issued": "2024-01-04 00:00:00", "packages": ("cobalt",)},
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


def loaded(make_yumio, root):
    yumio = make_yumio(root)
    yumio.setupRepos()
    yumio.setupTs()
    return yumio


def test_advisories_as_updateinfo_list(advised_root, make_yumio):
    found = loaded(make_yumio, advised_root).collectAdvisories()
    listed = {(name_of(nevra), ident) for ident, _label, nevra in
              dnf_lines(advised_root, "-q", "updateinfo", "list")}
    assert {(row[0], row[1]) for row in found} == listed
    assert ("aurora", "T-1") in listed and not any(name == "granite" for name, _ in listed)
    by_key = {(row[0], row[1]): row for row in found}
    critical = by_key[("aurora", "T-1")]
    assert critical[2:6] == ("security", "Critical", 1704164645, "aurora critical")
    assert critical[7] == [("cve", "CVE-2099-1111", "CVE-2099-1111",
                            "https://cve.example.org/1111")]
    assert by_key[("cobalt", "T-3")][2:4] == ("bugfix", None)
    # One row per package and advisory, though dnf lists each architecture.
    assert len(found) == len(by_key)


@pytest.mark.parametrize("name", ["libbasalt", "aurora-data", "aurora", "ember", "no-such"])
def test_what_requires_as_repoquery(make_root, make_yumio, name):
    root = make_root()
    yumio = loaded(make_yumio, root)
    for installed, option in ((True, ["--installed"]), (False, [])):
        expected = sorted(nevra for nevra, in dnf_lines(
            root, "-q", "repoquery", "--qf", "%{name}-%{evr}.%{arch}", "--whatrequires", name,
            *option))
        found = yumio.whatRequires(name, installed)
        assert sorted("%s-%s.%s" % row[:3] for row in found) == expected, (name, installed)
        assert all((row[3] == "installed") == installed for row in found)
    if name == "libbasalt":
        assert {row[0] for row in yumio.whatRequires(name, True)} == {"aurora", "cobalt"}


@pytest.mark.parametrize("capability", [
    "basalt(api)", "aurora-engine", "/boot/*", "/usr/bin/*", "libbasalt", "installonlypkg(*)",
    "no-such-thing"])
def test_what_provides_as_repoquery(make_root, make_yumio, capability):
    root = make_root()
    expected = set()
    for option in ([], ["--installed"]):
        expected.update(name for name, in dnf_lines(
            root, "-q", "repoquery", "--qf", "%{name}", "--whatprovides", capability, *option))
    assert set(loaded(make_yumio, root).whatProvides(capability)) == expected
