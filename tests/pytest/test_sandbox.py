"""The sandbox builder: RPMs, repositories, roots, the HTTP server, the cache."""

import json
import os
import subprocess
import sys
import urllib.error
import urllib.request

import pytest
import rpm

from script_support import sandbox

ARCH = sandbox.rpm_eval("%_arch")
FIRST = ["aurora-1.0-1.%s" % ARCH, "aurora-data-1.0-1.noarch", "cobalt-0.9-1.noarch",
         "granite-3.0-2.%s" % ARCH, "libbasalt-2:1.0-1.%s" % ARCH,
         "sandbox-kernel-5.1.0-1.%s" % ARCH, "sandbox-kernel-5.2.0-1.%s" % ARCH,
         "sandbox-release-1-1.noarch"]
UPDATES = ["aurora-1.1-1.%s" % ARCH, "aurora-data-1.1-1.noarch", "cobalt-1.0-1.noarch",
           "libbasalt-2:1.2-1.%s" % ARCH, "sandbox-kernel-5.3.0-1.%s" % ARCH]


def test_rpms_carry_what_the_tests_rely_on(repos):
    ts = rpm.TransactionSet()
    ts.setVSFlags(rpm._RPMVSF_NOSIGNATURES | rpm._RPMVSF_NODIGESTS)
    h = {}
    for path in repos["rpms"]:
        with open(path, "rb") as f:
            hdr = ts.hdrFromFdno(f.fileno())
        h["%s-%s" % (hdr[rpm.RPMTAG_NAME], hdr[rpm.RPMTAG_VERSION])] = hdr
    assert h["libbasalt-1.0"][rpm.RPMTAG_EPOCH] == 2 == h["libbasalt-1.2"][rpm.RPMTAG_EPOCH]
    assert (h["aurora-1.0"][rpm.RPMTAG_ARCH], h["aurora-data-1.0"][rpm.RPMTAG_ARCH]) == (
        ARCH, "noarch")
    provides = [d.DNEVR()[2:] for d in rpm.ds(h["sandbox-kernel-5.3.0"], "provides")]
    assert "installonlypkg(kernel)" in provides
    assert {"/etc/aurora.conf", "/usr/bin/aurora", "/var/lib/aurora"} <= set(
        h["aurora-1.0"][rpm.RPMTAG_FILENAMES])
    assert h["aurora-1.0"][rpm.RPMTAG_PREIN] and "error(" in h["failing-pre-1.0"][
        rpm.RPMTAG_PREIN]
    # A fixed build host and build times (TZ=UTC): tests compare them.
    assert (h["aurora-1.1"][rpm.RPMTAG_BUILDHOST], h["aurora-1.1"][rpm.RPMTAG_BUILDTIME],
            h["aurora-1.1"][rpm.RPMTAG_CHANGELOGTIME][0]) == (
        "sandbox.vux.test", 1710417600, 1710417600)


def test_repositories_are_readable_by_dnf(tmp_path, repos):
    root = str(tmp_path / "root")
    sandbox.make_root(root, install=False)
    base = sandbox.dnf_base(root, load_system_repo=False)
    try:
        by_repo = {}
        for pkg in base.sack.query().available():
            by_repo.setdefault(pkg.reponame, set()).add(str(pkg))
        assert sorted(by_repo["updates"]) == sorted(UPDATES + ["helix-0.1-1.noarch"])
        assert set(FIRST) | {"ember-0.3-1.noarch", "failing-pre-1.0-1.noarch"} <= by_repo["base"]
        base.read_comps()
        assert sorted((g.id, g.visible) for g in base.comps.groups) == [
            ("core-tools", True), ("hidden-runtime", False), ("office-extras", True)]
    finally:
        base.close()


@pytest.mark.parametrize("group", [False, True])
def test_root_has_first_versions_and_sees_updates(tmp_path, group):
    result = sandbox.make_root(str(tmp_path / "root"), group=group)
    root = result["root"]
    assert result["installed"] == sandbox.installed_packages(root) == sorted(FIRST)
    assert os.listdir(os.path.join(root, "var/cache/yum")) == []  # no metadata left behind
    base = sandbox.dnf_base(root)
    try:
        assert base.conf.releasever == sandbox.RELEASEVER
        assert sorted(str(p) for p in base.sack.query().upgrades()) == sorted(UPDATES)
        kernels = base.sack.query().installed().filter(name="sandbox-kernel")
        assert sorted(p.version for p in kernels) == ["5.1.0", "5.2.0"]
        assert (base.history.group.get("core-tools") is not None) is group
    finally:
        base.close()


def test_root_refuses_a_directory_in_use(tmp_path):
    (tmp_path / "precious").write_text("keep me")
    with pytest.raises(sandbox.SandboxError, match="is not empty"):
        sandbox.make_root(str(tmp_path))
    assert [p.name for p in tmp_path.iterdir()] == ["precious"]


@pytest.mark.parametrize("path, status", [
    ("/base/repodata/repomd.xml", 200),
    # dnf puts the file before the query, joined to path=; a plain client
    # puts all in path=.
    ("/larder/repodata/repomd.xml?name=tester&password=s3cret&path=/base/", 200),
    ("/larder?name=%74ester&password=s3cret&path=%2Fbase%2Frepodata%2Frepomd.xml", 200),
    ("/larder/repodata/repomd.xml?name=tester&path=/base/", 401),
    ("/larder/repodata/repomd.xml?name=tester&password=wrong&path=/base/", 403),
    ("/larder/../../etc/passwd?name=tester&password=s3cret&path=/", 403),
])
def test_server_paths_and_credentials(repos, start_server, path, status):
    server = start_server(larder=("tester", "s3cret"))
    try:
        with urllib.request.urlopen(server.url + path, timeout=10) as response:
            got, body = response.status, response.read()
    except urllib.error.HTTPError as error:
        got, body = error.code, None
    assert got == status
    if status == 200:
        with open(os.path.join(repos["repos"]["base"], "repodata/repomd.xml"), "rb") as f:
            assert body == f.read()
    assert server.requests[-1] == ("GET", path, status, "/base/repodata/repomd.xml"
                                   if status == 200 else None)


def test_cache_is_reused(tmp_path, monkeypatch):
    monkeypatch.setenv("VUX_SANDBOX_CACHE", str(tmp_path / "cache"))
    first = sandbox.build_repos()
    assert first["built"]
    # The second time the build tools fail if anything runs them.
    (tmp_path / "fake").mkdir()
    for tool in ("rpmbuild", "createrepo_c"):
        (tmp_path / "fake" / tool).write_text("#!/bin/sh\nexit 1\n")
        (tmp_path / "fake" / tool).chmod(0o755)
    monkeypatch.setenv("PATH", "%s:%s" % (tmp_path / "fake", os.environ["PATH"]))
    second = sandbox.build_repos()
    assert not second["built"] and second["repos"] == first["repos"]


def test_concurrent_builds_share_one_cache(tmp_path):
    cache = tmp_path / "cache"
    env = dict(os.environ, VUX_SANDBOX_CACHE=str(cache))
    commands = [["repos"]] * 3 + [["root", str(tmp_path / ("root%d" % i))] for i in range(2)]
    procs = [subprocess.Popen([sys.executable, sandbox.__file__] + cmd, env=env,
                              stdout=subprocess.PIPE, universal_newlines=True)
             for cmd in commands]
    outputs = []
    for proc in procs:
        out, _err = proc.communicate(timeout=300)
        assert proc.returncode == 0
        outputs.append(json.loads(out))
    assert outputs[0] == outputs[1] == outputs[2]
    assert [o["installed"] for o in outputs[3:]] == [sorted(FIRST)] * 2
    built = os.path.basename(outputs[0]["cache"].rstrip("/"))
    assert sorted(p.name for p in cache.iterdir()) == [".lock", built]
    assert not [p for p in (cache / built / "roots").iterdir() if p.name.startswith(".")]
    for repo in ("base", "updates"):
        with open(os.path.join(outputs[0]["repos"][repo], "repodata/repomd.xml"), "rb") as f:
            assert f.read().startswith(b"<?xml")
