"""Package collection and the package and group adapters, checked against
dnf's own command line and the root's rpm database."""

import os
import shutil
import subprocess

import pytest
import rpm

from script_support import dnf_list, progress_blocks, sandbox

pytest_plugins = ["script_fixtures"]

ARCH = sandbox.rpm_eval("%_arch")


def collected(make_yumio, root):
    yumio = make_yumio(root)
    yumio.setupRepos()
    yumio.setupTs()
    updates = list(yumio.collectUpdates())
    lists = yumio.collectAll()
    return yumio, updates, list(lists.installed), list(lists.available)


def rows(packages, installed=False):
    return sorted((p.name, p.arch, p.printVer(), None if installed else p.repoid)
                  for p in packages)


def dnf_rows(entries, installed=False):
    return sorted((name, arch, evr, None if installed else repo)
                  for name, arch, evr, repo in entries)


def header_files(hdr):
    dirs = hdr[rpm.RPMTAG_DIRNAMES]
    return [dirs[i] + b for i, b in zip(hdr[rpm.RPMTAG_DIRINDEXES], hdr[rpm.RPMTAG_BASENAMES])]


def by_name(packages, name):
    return [p for p in packages if p.name == name]


@pytest.fixture(scope="module")
def twin_repo(tmp_path_factory):
    """A repository of a package built for two architectures, 1.0 and 1.1."""
    if ARCH != "x86_64":
        pytest.skip("the two-architecture package is built for x86_64 and i686")
    top = tmp_path_factory.mktemp("twin")
    spec = top / "twin.spec"
    spec.write_text(
        "Name: twin\nVersion: %{ver}\nRelease: 1\nSummary: Built for two architectures\n"
        "License: MIT\nGroup: Applications/System\n%global debug_package %{nil}\n"
        "%description\nTwin.\n%install\nmkdir -p %{buildroot}/usr/share/twin-%{_target_cpu}\n"
        "echo %{_target_cpu} > %{buildroot}/usr/share/twin-%{_target_cpu}/arch\n"
        "%files\n/usr/share/twin-%{_target_cpu}\n")
    rpms = []
    for version in ("1.0", "1.1"):
        for target in ("x86_64", "i686"):
            build = top / ("build-%s-%s" % (version, target))
            subprocess.run(["rpmbuild", "-bb", "--quiet", "--target", target,
                            "--define", "_topdir %s" % build, "--define", "ver %s" % version,
                            str(spec)], check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            rpms += [str(p) for p in build.glob("RPMS/*/*.rpm")]
    return sandbox.make_repo(str(top / "repo"), rpms), rpms


def test_collection_agrees_with_dnf_list(make_root, make_yumio):
    root = make_root()
    yumio, updates, installed, available = collected(make_yumio, root)
    listed = dnf_list(root, "--all")
    assert rows(installed, True) == dnf_rows(listed["Installed Packages"], True)
    assert rows(available) == dnf_rows(listed["Available Packages"])
    assert rows(updates) == dnf_rows(dnf_list(root, "--updates")["Available Upgrades"])
    assert {p.repoid for p in installed} == {"installed"}


def test_two_architectures(make_root, make_yumio, twin_repo):
    repo, rpms = twin_repo
    root = make_root()
    first = [p for p in rpms if "-1.0-1." in p]
    subprocess.run(["rpm", "--root", root, "-i", "--nodeps"] + first, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(os.path.join(root, "etc/yum.repos.d/twins.repo"), "w") as f:
        f.write("[twins]\nname=Twins\nbaseurl=file://%s/\ngpgcheck=0\n" % repo)
    yumio, updates, installed, available = collected(make_yumio, root)
    assert rows(by_name(installed, "twin"), True) == [
        ("twin", "i686", "1.0-1", None), ("twin", "x86_64", "1.0-1", None)]
    assert rows(by_name(updates, "twin")) == [
        ("twin", "i686", "1.1-1", "twins"), ("twin", "x86_64", "1.1-1", "twins")]
    listed = dnf_list(root, "--all")
    assert rows(installed, True) == dnf_rows(listed["Installed Packages"], True)
    assert rows(available) == dnf_rows(listed["Available Packages"])
    # Same name and version: each header is the one of its own architecture.
    for package in by_name(installed, "twin"):
        assert package.hdr[rpm.RPMTAG_ARCH] == package.arch
        assert "/usr/share/twin-%s/arch" % package.arch in header_files(package.hdr)


def test_install_only_versions_and_epochs(make_root, make_yumio):
    root = make_root()
    yumio, updates, installed, available = collected(make_yumio, root)
    kernels = by_name(installed, "sandbox-kernel")
    assert sorted(k.printVer() for k in kernels) == ["5.1.0-1", "5.2.0-1"]
    assert sorted(k.hdr[rpm.RPMTAG_VERSION] for k in kernels) == ["5.1.0", "5.2.0"]
    assert [k.printVer() for k in by_name(updates, "sandbox-kernel")] == ["5.3.0-1"]
    basalt, = by_name(installed, "libbasalt")
    assert basalt.printVer() == "2:1.0-1"
    assert basalt.pkgtup == ("libbasalt", basalt.arch, "2", "1.0", "1")
    update, = by_name(updates, "libbasalt")
    assert (update.printVer(), update.pkgtup[2]) == ("2:1.2-1", "2")
    aurora, = by_name(installed, "aurora")
    assert aurora.printVer() == "1.0-1" and aurora.pkgtup[2] == "0"


def test_simple_fields(make_root, make_yumio):
    root = make_root()
    yumio, updates, installed, available = collected(make_yumio, root)
    update, = by_name(updates, "aurora")
    current, = by_name(installed, "aurora")
    expected = {
        "summary": "Aurora desktop notes", "group": "Applications/Productivity",
        "vendor": "Vux Sandbox", "packager": "Ada Example <ada@example.org>",
        "url": "http://example.org/aurora", "license": "MIT",
    }
    for package in (update, current):
        for key, value in expected.items():
            assert package.returnSimple(key) == value, key
        assert package.returnSimple("description").startswith("Aurora keeps short notes")
        with pytest.raises(KeyError):
            package.returnSimple("colour")
    assert update.returnSimple("repoid") == update.repoid == "updates"
    assert update.returnSimple("sourcerpm") == "aurora-1.1-1.src.rpm"
    assert update.returnSimple("relativepath") == "Packages/aurora-1.1-1.%s.rpm" % ARCH
    assert update.returnSimple("buildtime") == 1710417600
    assert update.returnSimple("buildhost") is None  # not in the repository metadata
    assert current.returnSimple("repoid") == current.repoid == "installed"
    assert current.returnSimple("buildtime") == 1707134400
    assert current.returnSimple("buildhost") == "sandbox.vux.test"
    # Sizes: what a download costs, what an installed package takes.
    assert update.size == os.path.getsize(update.localPkg())
    assert current.size == current.hdr[rpm.RPMTAG_SIZE]
    assert update.localHdr().endswith("/headers/aurora-1.1-1.%s.hdr" % ARCH)
    assert current.localPkg() is None
    suite, = by_name(available, "delta-suite")
    assert suite.returnSimple("group") == "Suite"


def test_headers_only_for_installed(make_root, make_yumio):
    root = make_root()
    yumio, updates, installed, available = collected(make_yumio, root)
    assert installed and all(hasattr(p, "hdr") for p in installed)
    assert not any(hasattr(p, "hdr") for p in updates + available)
    for package in installed:
        hdr = package.hdr
        assert isinstance(hdr, rpm.hdr)
        assert (hdr[rpm.RPMTAG_NAME], hdr[rpm.RPMTAG_EPOCH] or 0, hdr[rpm.RPMTAG_VERSION],
                hdr[rpm.RPMTAG_RELEASE], hdr[rpm.RPMTAG_ARCH]) == (
            package.name, package.epoch, package.version, package.release, package.arch)
    aurora, = by_name(installed, "aurora")
    assert "/usr/bin/aurora" in header_files(aurora.hdr)


@pytest.mark.parametrize("name, prcotype, entry", [
    ("aurora", "requires", ("libbasalt", "GE", ("2", "1.0", None))),
    ("aurora", "requires", ("aurora-data", "GE", ("0", "1.0", None))),
    ("aurora", "provides", ("aurora-engine", "EQ", ("0", "1.1", None))),
    ("aurora", "provides", ("aurora", "EQ", ("0", "1.1", "1"))),
    ("libbasalt", "provides", ("basalt(api)", "EQ", ("0", "1", None))),
    ("libbasalt", "provides", ("libbasalt", "EQ", ("2", "1.2", "1"))),
    ("cobalt", "requires", ("libbasalt", "LE", ("2", "5.0", None))),
    ("cobalt", "conflicts", ("aurora", "LT", ("0", "0.5", None))),
    ("cobalt", "obsoletes", ("cobalt-classic", "LT", ("0", "0.9", None))),
])
def test_prco_tuples(make_root, make_yumio, name, prcotype, entry):
    yumio, updates, installed, available = collected(make_yumio, make_root())
    package, = by_name(updates, name)
    assert entry in package.returnPrco(prcotype)
    assert package.prco[prcotype] == package.returnPrco(prcotype)
    for item in package.returnPrco(prcotype):
        assert isinstance(item[0], str) and item[1] in (None, "EQ", "LT", "LE", "GT", "GE")
        assert len(item[2]) == 3


def test_file_lists_and_change_logs_from_the_reloaded_sack(make_root, make_yumio, recorder):
    root = make_root()
    yumio, updates, installed, available = collected(make_yumio, root)
    aurora, = by_name(updates, "aurora")
    ember, = by_name(available, "ember")
    first_sack = yumio.sack
    # The first load carries no change logs.
    assert aurora.returnChangelog() == []

    recorder.reset()
    yumio.collectFileLists()
    assert sorted(aurora.returnFileEntries("file")) == [
        "/etc/aurora.conf", "/usr/bin/aurora", "/var/lib/aurora"]
    assert aurora.files == {"file": aurora.returnFileEntries("file")}
    assert [r for r, _b in progress_blocks(recorder.calls)] == ["base", "updates"]

    recorder.reset()
    yumio.collectOtherData()
    assert yumio.sack is not first_sack
    assert [r for r, _b in progress_blocks(recorder.calls)] == ["base", "updates"]
    log = aurora.returnChangelog()
    assert [(entry[0], entry[1]) for entry in log] == [
        (1710374400, "Ada Example <ada@example.org> - 1.1-1"),
        (1707091200, "Ben Builder <ben@example.org> - 1.0-1"),
        (1704758400, "Ada Example <ada@example.org> - 0.9-1")]
    assert log[0][2] == "- Update to 1.1: paper theme fixes\n- Basalt 1.2"
    assert aurora.changelog == log
    assert ember.returnChangelog() and ember.returnFileEntries("file")
    # Every adapter made from the first load answers from the new sack.
    for package in updates + available + installed:
        assert package._pkg() is not None, package
    # The session's enabled flags survive the reload.
    assert sorted(yumio.repos.repos) == ["base", "updates"]

    # Loaded once: asking again reads nothing more.
    recorder.reset()
    yumio.collectOtherData()
    assert yumio.sack is not first_sack and aurora.returnChangelog() == log


def test_reload_keeps_disabled_repositories_out(make_root, make_yumio):
    yumio = make_yumio(make_root())
    yumio.repos.disableRepo("updates")
    yumio.setupRepos()
    yumio.collectOtherData()
    assert yumio.repos.repos["updates"].enabled == 0
    assert not yumio.sack.query().filter(reponame="updates")


@pytest.mark.parametrize("group_installed", [False, True])
def test_groups(make_root, make_yumio, group_installed):
    yumio = make_yumio(make_root(group=group_installed))
    yumio.setupRepos()
    yumio.setupTsGroup()
    groups = {g.name: g for g in yumio.collectGroupInfo()}
    assert sorted(groups) == ["Core Tools", "Hidden Runtime", "Office Extras"]
    core = groups["Core Tools"]
    assert core.installed is group_installed
    assert not groups["Office Extras"].installed
    assert (core.user_visible, groups["Hidden Runtime"].user_visible) == (True, False)
    assert sorted(core.mandatory_packages) == ["aurora", "libbasalt"]
    assert sorted(core.default_packages) == ["aurora-data", "granite"]
    assert sorted(core.optional_packages) == ["cobalt"]
    assert core.conditional_packages == {}
    assert groups["Office Extras"].conditional_packages == {"fjord": "ember"}


def test_no_groups_available(make_root, make_yumio):
    from yum import Errors
    yumio = make_yumio(make_root())
    yumio.repos.disableRepo("base")  # the only repository with group data
    yumio.setupRepos()
    with pytest.raises(Errors.GroupsError) as caught:
        yumio.setupTsGroup()
    assert "No Groups Available" in caught.value.value
    assert list(yumio.collectGroupInfo()) == []


def test_failed_reload_keeps_the_first_load(make_root, make_yumio, built_repos, tmp_path):
    from yum import Errors
    copy = tmp_path / "copy"
    shutil.copytree(built_repos["repos"]["base"], str(copy))
    root = make_root(repos=["base"])
    with open(os.path.join(root, "etc/yum.repos.d/base.repo"), "w") as f:
        f.write("[base]\nname=Base\nbaseurl=file://%s/\ngpgcheck=0\n" % copy)
    yumio, updates, installed, available = collected(make_yumio, root)
    ember, = by_name(available, "ember")
    other, = copy.glob("repodata/*-other.xml.gz")
    moved = tmp_path / other.name
    other.rename(moved)
    with pytest.raises(Errors.YumBaseError) as caught:
        yumio.collectOtherData()
    assert "base" in caught.value.value
    assert ember.returnSimple("summary") == "Ember spreadsheet"
    assert ember.returnChangelog() == []
    assert yumio.repos.repos["base"].enabled == 1
    # Once the data is there again, loading it works.
    moved.rename(other)
    yumio.collectOtherData()
    assert ember.returnChangelog()
