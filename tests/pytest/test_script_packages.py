# SPDX-License-Identifier: GPL-2.0-or-later
"""The package adapters: the simple fields, dependencies and headers (two
architectures of one version among them), the one-call table rows, and
answers from a reloaded sack; the repositories' enabled flags through
reloads. (Install-only packages and epochs are compared with dnf list through
the engine, tests/yumio/TestEngineCollect.cpp; the configuration the script
reads from inside the root shows in every engine suite's agreement with dnf,
its precedence rules in tests/repo/TestRepo.cpp.)"""

import gc
import os
import shutil
import weakref

import pytest
import rpm

from script_support import progress_blocks, sandbox, script_module


def collected(yumio):
    yumio.setupRepos()
    yumio.setupTs()
    updates = list(yumio.collectUpdates())
    lists = yumio.collectAll()
    return updates, list(lists.installed), list(lists.available)


def by_name(packages, name):
    return [p for p in packages if p.name == name]


def test_simple_fields_dependencies_and_headers(make_root, make_yumio):
    root = make_root(extra=("libmica.x86_64", "libmica.i686"))
    updates, installed, available = collected(make_yumio(root))
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

    # (An installed header's "LE" and metadata's "EQ" are read through the
    # engine: TestEngineCollect::rowsAndDetails; every flag by one table.)
    assert ("libbasalt", "GE", ("2", "1.0", None)) in update.returnPrco("requires")

    # Only installed packages have a header: their own, from the rpm
    # database, each architecture of one name and version its own.
    assert sorted(p.arch for p in by_name(installed, "libmica")) == ["i686", "x86_64"]
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


def test_reloads_that_work_fail_or_lose_a_package(make_root, make_yumio, repos, tmp_path,
                                                  recorder):
    """A root whose only repository is a copy of base, its metadata always
    expired: reloads fail, or find a package gone."""
    from yum import Errors
    copy = tmp_path / "copy"
    shutil.copytree(repos["repos"]["base"], str(copy))
    root = make_root(repos=["base"])
    with open(os.path.join(root, "etc/yum.repos.d/base.repo"), "w") as f:
        f.write("[base]\nname=Base\nbaseurl=file://%s/\ngpgcheck=0\nmetadata_expire=0\n" % copy)
    yumio = make_yumio(root)
    _updates, _installed, available = collected(yumio)
    ember, = by_name(available, "ember")
    fjord, = by_name(available, "fjord")
    assert fjord.returnChangelog() == []  # not in the first load

    # A reload that cannot fetch the change logs: the first load stays in use.
    other, = copy.glob("repodata/*-other.xml.gz")
    saved = tmp_path / other.name
    shutil.move(str(other), str(saved))
    with pytest.raises(Errors.YumBaseError, match="base"):
        yumio.collectOtherData()
    assert ember.returnSimple("summary") == "Ember spreadsheet" and ember.returnChangelog() == []
    # Without the cache that load came from, no sack is left: adapters answer
    # nothing (no error).
    shutil.rmtree(os.path.join(root, "var/cache"))
    with pytest.raises(Errors.YumBaseError, match="base"):
        yumio.collectOtherData()
    assert (ember.tableRow(), ember.returnSimple("summary"), ember.returnChangelog()) == (
        None, None, [])
    # The repository loses ember, then file lists and change logs load into a
    # new sack: ember's adapter keeps its name and answers nothing else; the
    # others answer from the new sack, dnf's own records (as the engine reads
    # them) saying what the change log says.
    shutil.move(str(saved), str(other))
    for path in copy.glob("Packages/ember-*.rpm"):
        path.unlink()
    sandbox.make_repo(str(copy), [])
    recorder.reset()
    yumio.collectFileLists()
    yumio.collectOtherData()
    assert [repoid for repoid, _block in progress_blocks(recorder.calls)] == ["base"] * 2
    assert (ember.name, ember.tableRow(), ember.printVer(), ember.returnChangelog()) == (
        "ember", None, "", [])
    assert fjord.tableRow()[:2] == ("fjord", "1.4-2") and fjord.returnFileEntries("file")
    assert [(r["author"], r["text"]) for r in fjord.changelogRecords()] == [
        entry[1:] for entry in fjord.returnChangelog()] and fjord.returnChangelog()


def test_repository_flags_hold_through_loads(make_root, make_yumio, recorder):
    yumio = make_yumio(make_root(enabled=["updates"]))
    repos = yumio.repos.repos
    assert (repos["base"].enabled, repos["updates"].enabled) == (0, 1)
    yumio.repos.enableRepo("base")
    yumio.repos.disableRepo("updates")
    yumio.setupRepos()
    yumio.collectOtherData()  # the reload must not take the flags from the files again
    assert [repoid for repoid, _block in progress_blocks(recorder.calls)] == ["base", "base"]
    assert {k: v.enabled for k, v in yumio.repos.repos.items()} == {"base": 1, "updates": 0}
    assert {p.reponame for p in yumio.sack.query().available()} == {"base"}
