# SPDX-License-Identifier: GPL-2.0-or-later
"""The companion script's object on a sandbox root: configuration taken from
inside the root, and the repositories' enabled flags."""

import os

import pytest

from script_support import progress_blocks


@pytest.mark.parametrize("conf_file, reposdirs", [
    ("etc/yum.conf", ["etc/yum.repos.d"]),  # the sandbox's own, reposdir=/etc/yum.repos.d
    # etc/yum/yum.conf wins; without reposdir yum's two defaults, inside the root.
    ("etc/yum/yum.conf", ["etc/yum.repos.d", "etc/yum/repos.d"]),
    # A reposdir named by its host path is used as given when the root has no
    # such directory, as dnf --installroot does.
    ("host path", ["etc/yum.repos.d"]),
])
def test_configuration_comes_from_the_root(make_root, make_yumio, conf_file, reposdirs):
    root = make_root()
    if conf_file == "host path":
        conf_file = "etc/yum.conf"
        with open(os.path.join(root, conf_file), "a") as f:
            f.write("reposdir=%s/etc/yum.repos.d\n" % root)
    elif conf_file != "etc/yum.conf":
        os.makedirs(os.path.join(root, "etc/yum"))
        with open(os.path.join(root, conf_file), "w") as f:
            f.write("[main]\ngpgcheck=0\n")
    yumio = make_yumio(root)
    conf = yumio.conf
    assert conf.installroot == root
    assert conf.config_file_path == os.path.join(root, conf_file)
    assert list(conf.reposdir) == [os.path.join(root, d) for d in reposdirs]
    for path in (conf.cachedir, conf.logdir, conf.persistdir):
        assert path.startswith(root + "/")
    assert conf.yumvar["releasever"] == "1"  # from the root's sandbox-release
    assert sorted(yumio.repos.repos) == ["base", "updates"]


def test_repository_flags_hold_through_loads(make_root, make_yumio, recorder):
    from yum import Errors
    yumio = make_yumio(make_root(enabled=["updates"]))
    repos = yumio.repos.repos
    assert isinstance(repos, dict)
    assert (repos["base"].enabled, repos["updates"].enabled) == (0, 1)
    yumio.repos.enableRepo("base")
    yumio.repos.disableRepo("updates")
    for call in (yumio.repos.enableRepo, yumio.repos.disableRepo):
        with pytest.raises(Errors.RepoError, match="^Unknown repo: 'upd\\*'$"):
            call("upd*")
    yumio.setupRepos()
    yumio.collectOtherData()  # the reload must not take the flags from the files again
    assert [repoid for repoid, _block in progress_blocks(recorder.calls)] == ["base", "base"]
    assert {k: v.enabled for k, v in yumio.repos.repos.items()} == {"base": 1, "updates": 0}
    assert {p.reponame for p in yumio.sack.query().available()} == {"base"}

