# SPDX-License-Identifier: GPL-2.0-or-later
"""Holds in the companion script: the version-lock plugin's list edited as
the plugin reads it (what a hold adds, what a release takes away, all else
kept, the file replaced whole), and held packages kept by an apply as dnf
keeps them, with the plugin itself reading the same list."""

import os
import stat
import subprocess

import pytest

from script_support import sandbox, script_module

NEEDS_RECIPE = """\
Name:           needs-basalt
Version:        1.0
Release:        1
Summary:        Needs the newer libbasalt
License:        MIT
BuildArch:      noarch
Requires:       libbasalt >= 2:1.2
%description
Needs the newer libbasalt.
%files
"""


@pytest.fixture(scope="module")
def sack_root(tmp_path_factory, repos):
    """A root and dnf's sack of it, for reading lock lines."""
    root = sandbox.make_root(str(tmp_path_factory.mktemp("holds") / "root"))["root"]
    base = sandbox.dnf_base(root)
    yield root, base
    base.close()


def _dnf(root, *args):
    subprocess.run(sandbox.dnf_command(root, *args, holds=True), check=False,
                   stdout=subprocess.PIPE, stderr=subprocess.STDOUT)


LOCKED_ELSEWHERE = ["# kept", "", "!aurora-0:1.1-1.*", "aurora-data", "aurora-data-0:1.0-1.*",
                    "no such package here", "cobalt-0:0.9-1.noarch"]


@pytest.mark.parametrize("lines, hold, expected", [
    # A hold adds the plugin's form after a comment, keeping what is there.
    ([], True, ["<comment>", "aurora-0:1.0-1.x86_64"]),
    (LOCKED_ELSEWHERE, True, LOCKED_ELSEWHERE + ["", "<comment>", "aurora-0:1.0-1.x86_64"]),
    (["aurora-0:1.0-1.x86_64"], True, None),
    # A release takes every line that locks the name, in any of the
    # plugin's forms, and nothing else (a line naming aurora-data reads as
    # aurora at version "data" too, but the plugin takes it as aurora-data).
    (LOCKED_ELSEWHERE + ["aurora", "aurora-0:1.0-1.*", "aurora-1.0-1.x86_64", "aurora-1.0"],
     False, LOCKED_ELSEWHERE),
    (LOCKED_ELSEWHERE, False, None),
])
def test_lock_list_edits(sack_root, script, lines, hold, expected):
    _root, base = sack_root
    holds = script_module("YumIOHolds")
    aurora = base.sack.query().installed().filter(name="aurora").run()[0]
    result = holds.heldLines(base.sack, lines, aurora, hold)
    if expected is None:
        assert result is None
        return
    assert [("<comment>" if line.startswith("# Added lock on ") else line) for line in result] \
        == expected


def test_list_replaced_whole(tmp_path, script):
    holds = script_module("YumIOHolds")
    path = tmp_path / "versionlock.list"
    path.write_text("old\n")
    path.chmod(0o600)
    holds.writeAtomically(str(path), "new\n")
    assert (path.read_text(), stat.S_IMODE(path.stat().st_mode), os.listdir(str(tmp_path))) == (
        "new\n", 0o600, ["versionlock.list"])
    # A directory that cannot be written: the old list stays, no leftovers.
    tmp_path.chmod(0o500)
    try:
        os.seteuid(65534)
        with pytest.raises(OSError):
            holds.writeAtomically(str(path), "newer\n")
    finally:
        os.seteuid(0)
        tmp_path.chmod(0o700)
    assert path.read_text() == "new\n" and os.listdir(str(tmp_path)) == ["versionlock.list"]


def test_holds_agree_with_dnf(make_root, make_yumio, script, tmp_path):
    """A hold made with dnf versionlock shows here, one made here is read by
    the plugin; an apply never updates a held package, not even for a
    dependency, and neither does dnf."""
    recipe = tmp_path / "needs-basalt.recipe"
    recipe.write_text(NEEDS_RECIPE)
    needs = sandbox.make_repo(str(tmp_path / "needs"), sandbox.build_rpms(
        str(recipe), str(tmp_path / "build")))
    root = make_root()
    with open(os.path.join(root, "etc/yum.repos.d/needs.repo"), "w") as repo:
        repo.write("[needs]\nname=needs\nbaseurl=file://%s\ngpgcheck=0\n" % needs)
    _dnf(root, "versionlock", "add", "libbasalt")
    copy = str(tmp_path / "copy")
    subprocess.run(["cp", "-a", root, copy], check=True)

    yumio = make_yumio(root)
    yumio.lock()
    yumio.setupRepos()
    assert [(name, versions) for name, _arch, versions, _rules in yumio.collectHolds()] \
        == [("libbasalt", ["2:1.0-1"])]
    installed = {p.name: p for p in yumio.collectAll().installed}
    yumio.setHold(installed["aurora"], True)
    assert sorted(name for name, *_rest in yumio.collectHolds()) == ["aurora", "libbasalt"]

    # Installing what needs the held package's update fails, as with dnf.
    available = {p.name: p for p in yumio.collectAll().available}
    before = sandbox.installed_packages(root)
    with pytest.raises(script_module("yum.Errors").YumBaseError):
        yumio.apply([available["needs-basalt"]], [], [])
    assert sandbox.installed_packages(root) == before

    # Every update: the held packages stay.
    updates = yumio.collectUpdates()
    pairs = [[update, installed[update.name]] for update in updates
             if update.name in installed and update.name not in ("aurora", "libbasalt")]
    yumio.apply([], pairs, [])
    after = sandbox.installed_packages(root)
    assert "aurora-1.0-1.x86_64" in after and "libbasalt-2:1.0-1.x86_64" in after
    yumio.unlock()  # dnf waits for the package manager's lock

    # dnf's plugin reads the same list: an upgrade in the same root changes
    # nothing more, and in the copy (given the same hold) it does the same.
    _dnf(root, "upgrade")
    assert sandbox.installed_packages(root) == after
    _dnf(copy, "versionlock", "add", "aurora")
    _dnf(copy, "install", "needs-basalt")
    _dnf(copy, "upgrade")
    assert sandbox.installed_packages(copy) == after

