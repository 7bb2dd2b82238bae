# SPDX-License-Identifier: GPL-2.0-or-later
"""The companion script's apply on dnf: an unsigned package refused, a
declined transaction with the calls the engine's progress counts on. (The
key question and the superuser check are tested through the engine.)"""

import glob
import os
import subprocess

import pytest

from script_support import sandbox, script_module
import yumioc_recorder


@pytest.fixture(scope="module")
def unsigned_repo(tmp_path_factory, repos):
    """A repository of unsigned packages ("repo") and a key made here for
    its gpgkey option ("key")."""
    top = str(tmp_path_factory.mktemp("unsigned"))
    key = sandbox.make_signing_key(top)
    return {"repo": sandbox.make_package_repo(os.path.join(top, "unsigned"), ("ember", "fjord")),
            "key": key["key"]}


def _prepare(make_root, make_yumio, repoid, baseurl, key):
    root = make_root()
    with open(os.path.join(root, "etc/yum.repos.d/%s.repo" % repoid), "w") as repo:
        repo.write("[%s]\nname=%s\nbaseurl=file://%s\ngpgcheck=1\ngpgkey=file://%s\n"
                   % (repoid, repoid, baseurl, key))
    yumio = make_yumio(root)
    yumio.lock()
    for other in ("base", "updates"):
        yumio.repos.disableRepo(other)
    yumio.setupRepos()
    available = {p.name: p for p in yumio.collectAll().available}
    return root, yumio, available


def _installed(root):
    out = subprocess.run(["rpm", "--root", root, "-qa", "--qf", "%{NAME}\\n"],
                         stdout=subprocess.PIPE, check=True, text=True).stdout
    return set(out.split())


def test_unsigned_package_refused(make_root, make_yumio, script, unsigned_repo):
    root, yumio, available = _prepare(make_root, make_yumio, "unsigned", unsigned_repo["repo"],
                                      unsigned_repo["key"])
    before = _installed(root)
    with pytest.raises(script_module("yum.Errors").YumBaseError) as raised:
        yumio.apply([available["ember"]], [], [])
    assert "ember-0.3-1.noarch" in raised.value.value
    assert _installed(root) == before


def test_declined_confirmation_downloads_nothing(make_root, make_yumio, script, start_server):
    server = start_server()
    root = make_root(url_base=server.url)
    yumio = make_yumio(root)
    yumio.lock()
    yumio.setupRepos()
    available = {p.name: p for p in yumio.collectAll().available}
    yumioc_recorder.answers["userconfirm"] = 0
    yumio.apply([available["fjord"]], [], [])
    names = [call[0] for call in yumioc_recorder.calls if call[0] not in (
        "log", "errorlog", "stdoutWrite", "stderrWrite") and not call[0].startswith("collect")]
    assert names == ["dsTsCheck", "dsRestartLoop", "dsTsCheck", "listTransaction",
                     "reportDownloadSize", "userconfirm"]
    assert "fjord" not in _installed(root)
    assert not glob.glob(os.path.join(root, "var/cache/**/*.rpm"), recursive=True)
    # The line that resolving added names the dependency by its name.
    assert ("log", 7, "TSINFO: Marking ember as install") in yumioc_recorder.calls
