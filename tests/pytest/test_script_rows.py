"""The adapters' one-call table rows, and how adapters find their package
again after a reload, a flush, or a package that left the repository."""

import os
import shutil

import pytest

from script_support import sandbox

pytest_plugins = ["script_fixtures"]


def collected(make_yumio, root):
    yumio = make_yumio(root)
    yumio.setupRepos()
    updates = list(yumio.collectUpdates())
    lists = yumio.collectAll()
    return yumio, updates + list(lists.installed) + list(lists.available)


def single_calls(package):
    """The fields of a table row as the engine reads them one call at a time."""
    return (package.name, package.printVer(), package.returnSimple("repoid"), package.arch,
            package.size, package.returnSimple("summary"), package.returnSimple("buildtime"),
            package.returnSimple("group"))


@pytest.mark.parametrize("ids", [True, False], ids=["solvable-ids", "package-objects"])
def test_rows_match_single_calls_before_and_after_a_reload(make_root, make_yumio, script,
                                                           monkeypatch, ids):
    if not ids:
        # Where hash() is no solvable id the adapters keep dnf's packages.
        monkeypatch.setattr(script, "_idsWork", lambda sack, pkg: False)
    yumio, packages = collected(make_yumio, make_root())
    assert packages
    rows = {}
    for package in packages:
        row = package.tableRow()
        assert row == single_calls(package), package
        rows[(package.name, package.repoid, row[1])] = row
    assert yumio._view.byId is ids
    suite = [p for p in packages if p.name == "delta-suite"][0]
    assert suite.tableRow()[7] == "Suite"
    installed = [p for p in packages if p.repoid == "installed"]
    assert installed and all(p.tableRow()[2] == "installed" for p in installed)

    first_sack = yumio.sack
    yumio.collectOtherData()
    assert yumio.sack is not first_sack
    for package in packages:
        row = package.tableRow()
        assert row == rows[(package.name, package.repoid, row[1])]
        assert row == single_calls(package)
    aurora = [p for p in packages if p.name == "aurora" and p.repoid == "updates"][0]
    assert len(aurora.returnChangelog()) == 3
    assert (aurora.epoch, aurora.version, aurora.pkgtup[2]) == (0, "1.1", "0")


def test_package_gone_after_reload(make_root, make_yumio, built_repos, tmp_path):
    # A repository that loses a package between the first load and the
    # reload for the change logs: its adapter keeps its name, says nothing
    # else, and the others still answer.
    copy = tmp_path / "copy"
    shutil.copytree(built_repos["repos"]["base"], str(copy))
    root = make_root(repos=["base"])
    with open(os.path.join(root, "etc/yum.repos.d/base.repo"), "w") as f:
        f.write("[base]\nname=Base\nbaseurl=file://%s/\ngpgcheck=0\nmetadata_expire=0\n"
                % copy)
    yumio, packages = collected(make_yumio, root)
    ember = [p for p in packages if p.name == "ember"][0]
    fjord = [p for p in packages if p.name == "fjord"][0]
    for rpm in (copy / "Packages").glob("ember-*.rpm"):
        rpm.unlink()
    sandbox.make_repo(str(copy), [])
    yumio.collectOtherData()
    assert ember.name == "ember" and ember.arch == "noarch"
    assert ember.tableRow() is None
    assert ember.returnSimple("summary") is None and ember.returnChangelog() == []
    assert ember.printVer() == "" and ember.size == 0
    assert fjord.tableRow() == single_calls(fjord) and fjord.returnChangelog()


def test_adapters_after_flush(make_root, make_yumio):
    yumio, packages = collected(make_yumio, make_root())
    yumio.flush()
    for package in packages[:5]:
        assert package.name and package.arch
        assert package.tableRow() is None
        assert package.returnSimple("summary") is None
