"""Package collection and the package and group adapters, checked against
dnf's command line on the same root and against the root's rpm database."""

import os
import re
import shutil
import subprocess

import pytest
import rpm

from script_support import progress_blocks, sandbox

ARCH = sandbox.rpm_eval("%_arch")


def collected(make_yumio, root):
    yumio = make_yumio(root)
    yumio.setupRepos()
    yumio.setupTs()
    updates = list(yumio.collectUpdates())
    lists = yumio.collectAll()
    return yumio, updates, list(lists.installed), list(lists.available)


@pytest.fixture
def collection(make_root, make_yumio):
    return collected(make_yumio, make_root())


def by_name(packages, name):
    return [p for p in packages if p.name == name]


def rows(packages):
    return sorted((p.name, p.arch, p.printVer(), p.repoid) for p in packages)


def dnf(root, *args):
    return subprocess.run(sandbox.dnf_command(root, *args), stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, check=True, universal_newlines=True).stdout


def dnf_list(root, *args):
    """dnf list: {section: [(name, arch, evr, repo)]}, repo "installed" for
    installed packages; an entry may wrap onto a second line."""
    sections, words = {}, []
    for line in dnf(root, "list", *args).splitlines():
        if not words and re.match(r"^[A-Z][A-Za-z ]+$", line):
            section = sections.setdefault(line, [])
            continue
        words += line.split()
        if len(words) >= 3:
            name, _dot, arch = words[0].rpartition(".")
            repo = "installed" if words[2].startswith("@") else words[2]
            section.append((name, arch, words[1], repo))
            words = []
    return sections


def check_agrees_with_dnf(root, updates, installed, available):
    listed = dnf_list(root, "--all")
    assert rows(installed) == sorted(listed["Installed Packages"])
    assert rows(available) == sorted(listed["Available Packages"])
    assert rows(updates) == sorted(dnf_list(root, "--upgrades")["Available Upgrades"])


def dnf_groups(root, *args):
    """dnf group list: {group name: installed}."""
    groups, installed = {}, None
    for line in dnf(root, "group", "list", *args).splitlines():
        if line.endswith("Groups:"):
            installed = line.startswith("Installed")
        else:
            groups[line.strip()] = installed
    return groups


def test_collection_and_groups_agree_with_dnf(make_root, make_yumio):
    root = make_root(group=True)
    yumio, updates, installed, available = collected(make_yumio, root)
    check_agrees_with_dnf(root, updates, installed, available)
    yumio.setupTsGroup()
    groups = {group.name: group for group in yumio.collectGroupInfo()}
    every, visible = dnf_groups(root, "--hidden"), dnf_groups(root)
    assert len(every) == 3 and len(visible) == 2
    assert {name: (g.installed, g.user_visible) for name, g in groups.items()} == {
        name: (installed, name in visible) for name, installed in every.items()}
    office = groups["Office Extras"]
    assert (list(office.mandatory_packages), list(office.default_packages),
            list(office.optional_packages), office.conditional_packages) == (
        ["ember"], ["helix"], ["delta-suite"], {"fjord": "ember"})


def test_install_only_versions_and_epochs(collection):
    _yumio, updates, installed, _available = collection
    kernels = by_name(installed, "sandbox-kernel")
    assert sorted(k.printVer() for k in kernels) == ["5.1.0-1", "5.2.0-1"]
    assert [k.printVer() for k in by_name(updates, "sandbox-kernel")] == ["5.3.0-1"]
    basalt, = by_name(installed, "libbasalt")
    assert (basalt.printVer(), basalt.pkgtup) == ("2:1.0-1", ("libbasalt", ARCH, "2", "1.0", "1"))
    update, = by_name(updates, "libbasalt")
    assert (update.printVer(), update.pkgtup[2]) == ("2:1.2-1", "2")
    aurora, = by_name(installed, "aurora")
    assert (aurora.printVer(), aurora.pkgtup[2]) == ("1.0-1", "0")


@pytest.fixture(scope="module")
def twin_repo(tmp_path_factory):
    """A repository of "twin" 1.0 and 1.1, each built for x86_64 and i686."""
    if ARCH != "x86_64":
        pytest.skip("the two-architecture package is built for x86_64 and i686")
    top = tmp_path_factory.mktemp("twin")
    (top / "twin.spec").write_text(
        "Name: twin\nVersion: %{ver}\nRelease: 1\nSummary: Twin\nLicense: MIT\n"
        "%global debug_package %{nil}\n%description\nTwin.\n%install\n"
        "mkdir -p %{buildroot}/usr/share/twin-%{_target_cpu}\n"
        "%files\n/usr/share/twin-%{_target_cpu}\n")
    for version in ("1.0", "1.1"):
        for target in ("x86_64", "i686"):
            subprocess.run(["rpmbuild", "-bb", "--quiet", "--target", target, "--define",
                            "_topdir %s" % (top / "build"), "--define", "ver %s" % version,
                            str(top / "twin.spec")], check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    rpms = [str(p) for p in (top / "build").glob("RPMS/*/*.rpm")]
    return sandbox.make_repo(str(top / "repo"), rpms), rpms


def test_two_architectures(make_root, make_yumio, twin_repo):
    repo, rpms = twin_repo
    root = make_root()
    subprocess.run(["rpm", "--root", root, "-i", "--nodeps"] + [p for p in rpms if "-1.0-1." in p],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(os.path.join(root, "etc/yum.repos.d/twins.repo"), "w") as f:
        f.write("[twins]\nname=Twins\nbaseurl=file://%s/\ngpgcheck=0\n" % repo)
    yumio, updates, installed, available = collected(make_yumio, root)
    check_agrees_with_dnf(root, updates, installed, available)
    assert rows(by_name(updates, "twin")) == [("twin", arch, "1.1-1", "twins")
                                              for arch in ("i686", "x86_64")]
    twins = by_name(installed, "twin")
    # Same name and version: each header is the one of its own architecture.
    assert sorted((p.arch, p.hdr[rpm.RPMTAG_ARCH]) for p in twins) == [("i686",) * 2,
                                                                        ("x86_64",) * 2]


def test_simple_fields_dependencies_and_headers(collection):
    _yumio, updates, installed, available = collection
    update, = by_name(updates, "aurora")
    current, = by_name(installed, "aurora")
    for package in (update, current):
        assert package.returnSimple("summary") == "Aurora desktop notes"
        assert package.returnSimple("url") == "http://example.org/aurora"
        with pytest.raises(KeyError):
            package.returnSimple("colour")
    assert [update.returnSimple(key) for key in ("repoid", "sourcerpm", "buildtime", "buildhost")
            ] == ["updates", "aurora-1.1-1.src.rpm", 1710417600, None]
    assert [current.returnSimple(key) for key in ("repoid", "buildtime", "buildhost")] == [
        "installed", 1707134400, "sandbox.vux.test"]
    # Sizes: what a download costs, what an installed package takes.
    assert update.size == os.path.getsize(update.localPkg())
    assert current.size == current.hdr[rpm.RPMTAG_SIZE]

    basalt, = by_name(updates, "libbasalt")
    cobalt, = by_name(updates, "cobalt")
    for package, prcotype, entry in [
            (update, "requires", ("libbasalt", "GE", ("2", "1.0", None))),
            (update, "provides", ("aurora-engine", "EQ", ("0", "1.1", None))),
            (basalt, "provides", ("libbasalt", "EQ", ("2", "1.2", "1"))),
            (cobalt, "requires", ("libbasalt", "LE", ("2", "5.0", None))),
            (cobalt, "conflicts", ("aurora", "LT", ("0", "0.5", None))),
            (cobalt, "obsoletes", ("cobalt-classic", "LT", ("0", "0.9", None)))]:
        assert entry in package.returnPrco(prcotype), (package, prcotype)
    assert update.prco["requires"] == update.returnPrco("requires")

    # Only installed packages have a header: their own, from the rpm database.
    assert not any(hasattr(p, "hdr") for p in updates + available)
    for p in installed:
        assert (p.hdr[rpm.RPMTAG_NAME], p.hdr[rpm.RPMTAG_EPOCH] or 0, p.hdr[rpm.RPMTAG_VERSION],
                p.hdr[rpm.RPMTAG_RELEASE], p.hdr[rpm.RPMTAG_ARCH]) == (
            p.name, p.epoch, p.version, p.release, p.arch)


def test_file_lists_and_change_logs_from_the_reloaded_sack(collection, recorder):
    yumio, updates, installed, available = collection
    aurora, = by_name(updates, "aurora")
    ember, = by_name(available, "ember")
    first_sack = yumio.sack
    assert aurora.returnChangelog() == []  # not in the first load
    recorder.reset()
    yumio.collectFileLists()
    assert sorted(aurora.returnFileEntries("file")) == [
        "/etc/aurora.conf", "/usr/bin/aurora", "/var/lib/aurora"]
    assert aurora.files == {"file": aurora.returnFileEntries("file")}
    yumio.collectOtherData()
    assert yumio.sack is not first_sack
    assert [repoid for repoid, _block in progress_blocks(recorder.calls)] == [
        "base", "updates"] * 2
    log = aurora.returnChangelog()
    assert [entry[:2] for entry in log] == [
        (1710374400, "Ada Example <ada@example.org> - 1.1-1"),
        (1707091200, "Ben Builder <ben@example.org> - 1.0-1"),
        (1704758400, "Ada Example <ada@example.org> - 0.9-1")]
    assert log[0][2] == "- Update to 1.1: paper theme fixes\n- Basalt 1.2"
    assert aurora.changelog == log and aurora.returnFileEntries("file")
    assert ember.returnChangelog() and ember.returnFileEntries("file")
    # Every adapter of the first load answers from the new sack.
    assert all(p._pkg() is not None for p in updates + available + installed)


def test_reloads_that_fail_or_lose_a_package(make_root, make_yumio, repos, tmp_path):
    from yum import Errors
    copy = tmp_path / "copy"
    shutil.copytree(repos["repos"]["base"], str(copy))
    root = make_root(repos=["base"])
    with open(os.path.join(root, "etc/yum.repos.d/base.repo"), "w") as f:
        f.write("[base]\nname=Base\nbaseurl=file://%s/\ngpgcheck=0\nmetadata_expire=0\n" % copy)
    yumio, _updates, _installed, available = collected(make_yumio, root)
    ember, = by_name(available, "ember")
    fjord, = by_name(available, "fjord")
    other, = copy.glob("repodata/*-other.xml.gz")
    other.unlink()
    with pytest.raises(Errors.YumBaseError, match="base"):
        yumio.collectOtherData()
    # The first load stays in use.
    assert ember.returnSimple("summary") == "Ember spreadsheet" and ember.returnChangelog() == []
    # The repository loses ember, then the reload works: ember's adapter keeps
    # its name and answers nothing else; the others find their own package.
    for path in copy.glob("Packages/ember-*.rpm"):
        path.unlink()
    sandbox.make_repo(str(copy), [])
    yumio.collectOtherData()
    assert (ember.name, ember.tableRow(), ember.printVer(), ember.returnChangelog()) == (
        "ember", None, "", [])
    assert fjord.tableRow()[:2] == ("fjord", "1.4-2") and fjord.returnChangelog()
