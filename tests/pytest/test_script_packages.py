# SPDX-License-Identifier: GPL-2.0-or-later
"""The package adapters: two architectures, the simple fields, dependencies
and headers, the one-call table rows, and answers from a reloaded sack.
(Install-only packages and epochs are compared with dnf list through the
engine, tests/yumio/TestEngineCollect.cpp.)"""

import gc
import os
import shutil
import subprocess
import weakref

import pytest
import rpm

from script_support import progress_blocks, sandbox, script_module

ARCH = sandbox.rpm_eval("%_arch")


def collected(yumio):
    yumio.setupRepos()
    yumio.setupTs()
    updates = list(yumio.collectUpdates())
    lists = yumio.collectAll()
    return updates, list(lists.installed), list(lists.available)


@pytest.fixture
def collection(make_root, make_yumio):
    yumio = make_yumio(make_root())
    return (yumio,) + collected(yumio)


def by_name(packages, name):
    return [p for p in packages if p.name == name]


def rows(packages):
    return sorted((p.name, p.arch, p.printVer(), p.repoid) for p in packages)


def test_two_architectures(make_root, make_yumio, tmp_path):
    """"twin" 1.0 installed for x86_64 and i686, 1.1 of both in a repository."""
    if ARCH != "x86_64":
        pytest.skip("the two-architecture package is built for x86_64 and i686")
    (tmp_path / "twin.spec").write_text(
        "Name: twin\nVersion: %{ver}\nRelease: 1\nSummary: Twin\nLicense: MIT\n"
        "%global debug_package %{nil}\n%description\nTwin.\n%install\n"
        "mkdir -p %{buildroot}/usr/share/twin-%{_target_cpu}\n"
        "%files\n/usr/share/twin-%{_target_cpu}\n")
    for version in ("1.0", "1.1"):
        for target in ("x86_64", "i686"):
            subprocess.run(["rpmbuild", "-bb", "--quiet", "--target", target, "--define",
                            "_topdir %s" % (tmp_path / "build"), "--define", "ver %s" % version,
                            str(tmp_path / "twin.spec")], check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    rpms = [str(p) for p in (tmp_path / "build").glob("RPMS/*/*.rpm")]
    repo = sandbox.make_repo(str(tmp_path / "repo"), rpms)
    root = make_root()
    subprocess.run(["rpm", "--root", root, "-i", "--nodeps"] + [p for p in rpms if "-1.0-1." in p],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(os.path.join(root, "etc/yum.repos.d/twins.repo"), "w") as f:
        f.write("[twins]\nname=Twins\nbaseurl=file://%s/\ngpgcheck=0\n" % repo)
    updates, installed, available = collected(make_yumio(root))
    # As dnf list says: both architectures in each list.
    for packages, version, repo in [(updates, "1.1-1", "twins"), (available, "1.1-1", "twins"),
                                    (installed, "1.0-1", "installed")]:
        assert rows(by_name(packages, "twin")) == [("twin", arch, version, repo)
                                                   for arch in ("i686", "x86_64")]
    # Same name and version: each header is the one of its own architecture.
    assert sorted((p.arch, p.hdr[rpm.RPMTAG_ARCH]) for p in by_name(installed, "twin")) == [
        ("i686",) * 2, ("x86_64",) * 2]


def test_simple_fields_dependencies_and_headers(collection):
    _yumio, updates, installed, available = collection
    update, = by_name(updates, "aurora")
    current, = by_name(installed, "aurora")
    for package in (update, current):
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
            (basalt, "provides", ("libbasalt", "EQ", ("2", "1.2", "1"))),
            (cobalt, "requires", ("libbasalt", "LE", ("2", "5.0", None))),
            (cobalt, "conflicts", ("aurora", "LT", ("0", "0.5", None))),
            (cobalt, "obsoletes", ("cobalt-classic", "LT", ("0", "0.9", None)))]:
        assert entry in package.returnPrco(prcotype), (package, prcotype)

    # Only installed packages have a header: their own, from the rpm database.
    assert not any(hasattr(p, "hdr") for p in updates + available)
    for p in installed:
        assert (p.hdr[rpm.RPMTAG_NAME], p.hdr[rpm.RPMTAG_EPOCH] or 0, p.hdr[rpm.RPMTAG_VERSION],
                p.hdr[rpm.RPMTAG_RELEASE], p.hdr[rpm.RPMTAG_ARCH]) == (
            p.name, p.epoch, p.version, p.release, p.arch)


def single_calls(package):
    return (package.name, package.printVer(), package.returnSimple("repoid"), package.arch,
            package.size, package.returnSimple("summary"), package.returnSimple("buildtime"),
            package.returnSimple("group"))


@pytest.mark.parametrize("ids", [True, False], ids=["solvable-ids", "package-objects"])
def test_rows_match_single_calls(make_root, make_yumio, script, recorder, monkeypatch, ids):
    if not ids:
        # Where hash() is no solvable id the adapters keep dnf's packages.
        monkeypatch.setattr(script_module("YumIOSack"), "_idsWork", lambda sack, pkg: False)
    make_yumio(make_root())  # sys.argv names the root
    yumio = script.YumIO()  # one the fixture does not hold, to see it freed
    packages = sum(collected(yumio), [])
    assert yumio._view.byId is ids
    rows = [package.tableRow() for package in packages]
    assert rows == [single_calls(package) for package in packages]
    assert {row[2] for row in rows} == {"base", "updates", "installed"}

    yumio.collectOtherData()  # a new sack
    assert [package.tableRow() for package in packages] == rows
    assert [single_calls(package) for package in packages] == rows

    # The engine's clear(): after flush() the object is freed at once, while
    # its adapters, still held, keep their names and answer nothing else.
    # (Adapters that keep dnf's packages keep the object until they go.)
    yumio.flush()
    recorder.reset()
    gone = weakref.ref(yumio)
    del yumio
    gc.collect()
    assert recorder.calls == [] and (gone() is None or not ids)
    for package in packages:
        assert package.name and package.tableRow() is None
        assert package.returnSimple("summary") is None


def test_file_lists_and_change_logs_from_the_reloaded_sack(collection, recorder):
    yumio, updates, installed, available = collection
    aurora, = by_name(updates, "aurora")
    first_sack = yumio.sack
    assert aurora.returnChangelog() == []  # not in the first load
    recorder.reset()
    yumio.collectFileLists()
    assert sorted(aurora.returnFileEntries("file")) == [
        "/etc/aurora.conf", "/usr/bin/aurora", "/var/lib/aurora"]
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
    # dnf's own records, as the engine reads them, say the same.
    assert [(r["author"], r["text"]) for r in aurora.changelogRecords()] == [
        entry[1:] for entry in log]
    # Every adapter of the first load answers from the new sack.
    assert all(p._pkg() is not None for p in updates + available + installed)


def copied_base(make_root, make_yumio, repos, tmp_path):
    """A root whose only repository is a copy of base (metadata always
    expired), collected: (root, copy, yumio, available packages)."""
    copy = tmp_path / "copy"
    shutil.copytree(repos["repos"]["base"], str(copy))
    root = make_root(repos=["base"])
    with open(os.path.join(root, "etc/yum.repos.d/base.repo"), "w") as f:
        f.write("[base]\nname=Base\nbaseurl=file://%s/\ngpgcheck=0\nmetadata_expire=0\n" % copy)
    yumio = make_yumio(root)
    _updates, _installed, available = collected(yumio)
    return root, copy, yumio, available


def test_reloads_that_fail_or_lose_a_package(make_root, make_yumio, repos, tmp_path):
    from yum import Errors
    _root, copy, yumio, available = copied_base(make_root, make_yumio, repos, tmp_path)
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


def test_reload_failing_without_a_cache(make_root, make_yumio, repos, tmp_path):
    # The change logs cannot be fetched and the cache the previous load came
    # from is gone: no sack is left, adapters answer nothing (no error), and
    # the next load that works finds their packages again.
    from yum import Errors
    root, copy, yumio, available = copied_base(make_root, make_yumio, repos, tmp_path)
    ember, = by_name(available, "ember")
    other, = copy.glob("repodata/*-other.xml.gz")
    saved = tmp_path / other.name
    shutil.move(str(other), str(saved))
    shutil.rmtree(os.path.join(root, "var/cache"))
    with pytest.raises(Errors.YumBaseError, match="base"):
        yumio.collectOtherData()
    assert (ember.tableRow(), ember.returnSimple("summary"), ember.returnChangelog()) == (
        None, None, [])
    shutil.move(str(saved), str(other))
    yumio.collectOtherData()
    assert ember.returnSimple("summary") == "Ember spreadsheet" and ember.returnChangelog()
