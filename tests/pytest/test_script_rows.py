"""The adapters' one-call table rows against the single calls, across a
reload of the sack and after flush()."""

import gc
import weakref

import pytest


def single_calls(package):
    return (package.name, package.printVer(), package.returnSimple("repoid"), package.arch,
            package.size, package.returnSimple("summary"), package.returnSimple("buildtime"),
            package.returnSimple("group"))


@pytest.mark.parametrize("ids", [True, False], ids=["solvable-ids", "package-objects"])
def test_rows_match_single_calls(make_root, make_yumio, script, recorder, monkeypatch, ids):
    if not ids:
        # Where hash() is no solvable id the adapters keep dnf's packages.
        monkeypatch.setattr(script, "_idsWork", lambda sack, pkg: False)
    make_yumio(make_root())  # sys.argv names the root
    yumio = script.YumIO()  # one the fixture does not hold, to see it freed
    yumio.setupRepos()
    lists = yumio.collectAll()
    packages = list(yumio.collectUpdates()) + list(lists.installed) + list(lists.available)
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
    del yumio, lists
    gc.collect()
    assert recorder.calls == [] and (gone() is None or not ids)
    for package in packages:
        assert package.name and package.tableRow() is None
        assert package.returnSimple("summary") is None
