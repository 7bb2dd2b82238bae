"""The sandbox builder: RPMs, repositories, roots, the HTTP server, the cache."""

import json
import os
import signal
import subprocess
import sys
import urllib.error
import urllib.request

import pytest
import rpm

import sandbox
from conftest import LARDER

SCRIPT = sandbox.__file__
ARCH = sandbox.rpm_eval("%_arch")

FIRST = ["aurora-1.0-1.%s" % ARCH, "aurora-data-1.0-1.noarch", "cobalt-0.9-1.noarch",
         "granite-3.0-2.%s" % ARCH, "libbasalt-2:1.0-1.%s" % ARCH,
         "sandbox-kernel-5.1.0-1.%s" % ARCH, "sandbox-kernel-5.2.0-1.%s" % ARCH,
         "sandbox-release-1-1.noarch"]
UPDATES = ["aurora-1.1-1.%s" % ARCH, "aurora-data-1.1-1.noarch", "cobalt-1.0-1.noarch",
           "libbasalt-2:1.2-1.%s" % ARCH, "sandbox-kernel-5.3.0-1.%s" % ARCH]


def run_script(*args, env=None, check=True):
    proc = subprocess.run([sys.executable, SCRIPT] + list(args), env=env,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          universal_newlines=True, timeout=300)
    if check:
        assert proc.returncode == 0, proc.stderr
    return proc


def header(path):
    ts = rpm.TransactionSet()
    ts.setVSFlags(rpm._RPMVSF_NOSIGNATURES | rpm._RPMVSF_NODIGESTS)
    with open(path, "rb") as f:
        return ts.hdrFromFdno(f.fileno())


def headers(repos):
    result = {}
    for path in repos["rpms"]:
        h = header(path)
        result["%s-%s" % (h[rpm.RPMTAG_NAME], h[rpm.RPMTAG_VERSION])] = h
    return result


def dep_strings(h, tag):
    return [d.DNEVR()[2:] for d in rpm.ds(h, tag)]


# ---------------------------------------------------------------------------
# RPMs


def test_rpms_have_the_metadata_the_tests_rely_on(repos):
    h = headers(repos)
    assert set(h) >= {"aurora-1.0", "aurora-1.1", "libbasalt-1.0", "libbasalt-1.2",
                      "sandbox-kernel-5.1.0", "sandbox-kernel-5.2.0", "sandbox-kernel-5.3.0",
                      "delta-suite-2.0", "failing-pre-1.0", "helix-0.1", "fjord-1.4"}
    # Epoch in both versions, noarch and native packages.
    assert h["libbasalt-1.0"][rpm.RPMTAG_EPOCH] == 2 == h["libbasalt-1.2"][rpm.RPMTAG_EPOCH]
    assert h["aurora-1.0"][rpm.RPMTAG_ARCH] == ARCH
    assert h["aurora-data-1.0"][rpm.RPMTAG_ARCH] == "noarch"
    assert h["delta-suite-2.0"][rpm.RPMTAG_GROUP] == "Suite"
    assert all(v[rpm.RPMTAG_GROUP] != "Suite" for k, v in h.items() if k != "delta-suite-2.0")
    # Dependencies of every kind, with the operators and epochs that matter.
    assert "aurora-engine = 0:1.0" in dep_strings(h["aurora-1.0"], "provides")
    assert "libbasalt <= 2:5.0" in dep_strings(h["cobalt-0.9"], "requires")
    assert "aurora < 0.5" in dep_strings(h["cobalt-0.9"], "conflicts")
    assert "cobalt-classic < 0.9" in dep_strings(h["cobalt-0.9"], "obsoletes")
    assert "installonlypkg(kernel)" in dep_strings(h["sandbox-kernel-5.3.0"], "provides")
    assert not any(d.startswith("/bin/sh") for d in dep_strings(h["aurora-1.0"], "requires"))
    # Files and directories.
    files = h["aurora-1.0"][rpm.RPMTAG_FILENAMES]
    assert {"/etc/aurora.conf", "/usr/bin/aurora", "/var/lib/aurora"} <= set(files)
    assert len(h["aurora-data-1.0"][rpm.RPMTAG_FILENAMES]) >= 4
    # Scriptlets: pre/post of aurora, a failing pre of failing-pre.
    assert h["aurora-1.0"][rpm.RPMTAG_PREIN] and h["aurora-1.0"][rpm.RPMTAG_POSTIN]
    assert "error(" in h["failing-pre-1.0"][rpm.RPMTAG_PREIN]
    # Fixed build host and build times, so tests can compare them.
    assert h["aurora-1.0"][rpm.RPMTAG_BUILDHOST] == "sandbox.vux.test"
    assert h["aurora-1.0"][rpm.RPMTAG_BUILDTIME] == 1707134400
    assert h["aurora-1.1"][rpm.RPMTAG_BUILDTIME] == 1710417600


def test_change_logs_have_fixed_times_and_authors(repos):
    h = headers(repos)
    log = list(zip(h["aurora-1.1"][rpm.RPMTAG_CHANGELOGTIME],
                   h["aurora-1.1"][rpm.RPMTAG_CHANGELOGNAME]))
    # rpm dates records at noon; the build runs with TZ=UTC.
    assert log == [(1710417600, "Ada Example <ada@example.org> - 1.1-1"),
                   (1707134400, "Ben Builder <ben@example.org> - 1.0-1"),
                   (1704801600, "Ada Example <ada@example.org> - 0.9-1")]
    assert len(h["aurora-1.0"][rpm.RPMTAG_CHANGELOGTIME]) == 2
    assert h["aurora-1.1"][rpm.RPMTAG_CHANGELOGTEXT][0] == (
        "- Update to 1.1: paper theme fixes\n- Basalt 1.2")


# ---------------------------------------------------------------------------
# Repositories


def test_repositories_are_readable_by_dnf(tmp_path, repos):
    root = str(tmp_path / "root")
    sandbox.make_root(root, install=False)
    base = sandbox.dnf_base(root, load_system_repo=False)
    try:
        by_repo = {}
        for pkg in base.sack.query().available():
            by_repo.setdefault(pkg.reponame, set()).add(str(pkg))
        assert sorted(by_repo["updates"]) == sorted(UPDATES + ["helix-0.1-1.noarch"])
        assert set(FIRST) <= by_repo["base"]
        assert {"delta-suite-2.0-1.noarch", "ember-0.3-1.noarch", "failing-pre-1.0-1.noarch",
                "fjord-1.4-2.%s" % ARCH} <= by_repo["base"]
        base.read_comps()
        groups = {g.id: g for g in base.comps.groups}
        assert sorted(groups) == ["core-tools", "hidden-runtime", "office-extras"]
        assert not groups["hidden-runtime"].visible and groups["core-tools"].visible
        kinds = {(p.name, p.option_type, p.requires)
                 for p in groups["office-extras"].packages_iter()}
        assert kinds == {("ember", 4, None), ("helix", 2, None), ("delta-suite", 8, None),
                         ("fjord", 1, "ember")}
        mandatory = {p.name for p in groups["core-tools"].mandatory_packages}
        assert {"aurora", "libbasalt"} == mandatory
    finally:
        base.close()


@pytest.mark.parametrize("repo", sorted(sandbox.CORRUPT_REPOS))
def test_corrupt_repositories_fail_to_load(tmp_path, repo):
    import dnf.exceptions

    root = str(tmp_path / "root")
    sandbox.make_root(root, install=False, repos=[repo])
    base = sandbox.dnf_base(root, fill=False)
    try:
        with pytest.raises(dnf.exceptions.RepoError):
            base.fill_sack(load_system_repo=False)
    finally:
        base.close()


# ---------------------------------------------------------------------------
# Roots


def test_root_has_first_versions_and_sees_updates(sandbox_root):
    root = sandbox_root["root"]
    assert sandbox_root["installed"] == sorted(FIRST)
    assert sandbox.installed_packages(root) == sorted(FIRST)
    assert os.stat(root).st_mode & 0o777 == 0o755
    with open(os.path.join(root, "etc", "yum.conf")) as f:
        conf = f.read()
    for line in ("gpgcheck=0", "cachedir=/var/cache/yum", "reposdir=/etc/yum.repos.d",
                 "installonly_limit=3", "keepcache=0"):
        assert line in conf.splitlines()
    assert sorted(os.listdir(os.path.join(root, "etc", "yum.repos.d"))) == [
        "base.repo", "updates.repo"]
    # The set-up leaves no metadata cache behind.
    assert os.listdir(os.path.join(root, "var", "cache", "yum")) == []
    base = sandbox.dnf_base(root)
    try:
        assert base.conf.releasever == sandbox.RELEASEVER
        assert sorted(str(p) for p in base.sack.query().upgrades()) == sorted(UPDATES)
        kernels = base.sack.query().installed().filter(name="sandbox-kernel")
        assert sorted(p.version for p in kernels) == ["5.1.0", "5.2.0"]
        assert base.history.group.get("core-tools") is None
    finally:
        base.close()


def test_root_with_group_has_it_installed(tmp_path):
    result = sandbox.make_root(str(tmp_path / "root"), group=True)
    base = sandbox.dnf_base(result["root"])
    try:
        base.read_comps()
        assert base.history.group.get("core-tools") is not None
        assert base.history.group.get("office-extras") is None
        # The group holds an updatable mandatory package.
        updatable = {p.name for p in base.sack.query().upgrades()}
        assert "aurora" in updatable
    finally:
        base.close()


def test_failing_pre_fails_its_transaction(sandbox_root):
    root = sandbox_root["root"]
    proc = subprocess.run(sandbox.dnf_command(root, "install", "failing-pre"),
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          universal_newlines=True)
    assert proc.returncode != 0
    assert "Error in PREIN scriptlet in rpm package failing-pre" in proc.stdout
    assert not any(p.startswith("failing-pre") for p in sandbox.installed_packages(root))


def test_root_command_line(tmp_path):
    root = str(tmp_path / "root")
    proc = run_script("root", root, "--no-install", "--url-base", "http://127.0.0.1:9/",
                      "--larder", "us er:p&w=1", "--repos", "updates")
    result = json.loads(proc.stdout)
    url = "http://127.0.0.1:9/larder?name=us%20er&password=p%26w%3D1&path=/updates/"
    assert result == {"root": root, "installed": [], "repos": {"updates": url}}
    with open(os.path.join(root, "etc", "yum.repos.d", "updates.repo")) as f:
        assert "baseurl=%s\n" % url in f.read()
    assert os.listdir(os.path.join(root, "etc", "yum.repos.d")) == ["updates.repo"]


@pytest.mark.parametrize("args, message", [
    (["--no-install"], "is not empty"),
    (["--no-install", "--larder", "a:b"], "need an http URL base"),
    (["--no-install", "--url-base", "http://x", "--larder", "nocolon"], "NAME:PASSWORD"),
    (["--no-install", "--repos", "base,nosuch"], "unknown repositories nosuch"),
])
def test_root_refuses_bad_requests(tmp_path, args, message):
    root = tmp_path / "root"
    root.mkdir()
    if message == "is not empty":
        (root / "precious").write_text("keep me")
    proc = run_script("root", str(root), *args, check=False)
    assert proc.returncode == 1 and message in proc.stderr and not proc.stdout
    assert [p.name for p in root.iterdir()] == (["precious"] if message == "is not empty" else [])


# ---------------------------------------------------------------------------
# HTTP server


def fetch(url):
    try:
        with urllib.request.urlopen(url, timeout=10) as response:
            return response.status, response.read()
    except urllib.error.HTTPError as error:
        return error.code, error.read()


def repomd(repos, repo="base"):
    with open(os.path.join(repos["repos"][repo], "repodata", "repomd.xml"), "rb") as f:
        return f.read()


@pytest.mark.parametrize("path, status, served", [
    ("/base/repodata/repomd.xml", 200, "/base/repodata/repomd.xml"),
    # dnf puts the file name before the query; a plain client puts it in path=.
    ("/larder/repodata/repomd.xml?name=tester&password=s3cret&path=/base/", 200,
     "/base/repodata/repomd.xml"),
    ("/larder/repodata/repomd.xml?name=tester&password=s3cret&path=/base", 200,
     "/base/repodata/repomd.xml"),
    ("/larder?name=tester&password=s3cret&path=/base/repodata/repomd.xml", 200,
     "/base/repodata/repomd.xml"),
    ("/larder?name=%74ester&password=s3cre%74&path=%2Fbase%2Frepodata%2Frepomd.xml", 200,
     "/base/repodata/repomd.xml"),
    ("/larder/repodata/repomd.xml?path=/base/", 401, None),
    ("/larder/repodata/repomd.xml?name=tester&path=/base/", 401, None),
    ("/larder/repodata/repomd.xml?name=tester&password=wrong&path=/base/", 403, None),
    ("/larder/repodata/repomd.xml?name=other&password=s3cret&path=/base/", 403, None),
    ("/larder/repodata/repomd.xml?name=tester&password=s3cret", 400, None),
    ("/base/repodata/nothing.xml", 404, None),
    ("/larder/../../etc/passwd?name=tester&password=s3cret&path=/", 403, None),
    ("/../../etc/passwd", 403, None),
])
def test_server_paths_and_credentials(repos, http_server, tmp_path, path, status, served):
    got, body = fetch(http_server.url + path)
    assert got == status
    if status == 200:
        assert body == repomd(repos)
    assert http_server.requests[-1] == ("GET", path, status, served)


def test_server_larder_only_and_log(repos, tmp_path):
    log = tmp_path / "server.log"
    with sandbox.serve(larder="a:b", log=str(log), larder_only=True) as server:
        assert fetch(server.url + "/base/repodata/repomd.xml")[0] == 401
        status, body = fetch(server.url + "/larder?name=a&password=b&path=/updates/repodata/")
        assert status == 200 and b"repomd.xml" in body
    assert log.read_text().splitlines() == [
        "GET /base/repodata/repomd.xml 401 -",
        "GET /larder?name=a&password=b&path=/updates/repodata/ 200 /updates/repodata/"]


def test_server_without_larder_account_refuses_larder_urls(repos):
    with sandbox.serve() as server:
        assert fetch(server.url + "/larder?name=a&password=b&path=/base/")[0] == 403
        assert fetch(server.url + "/base/")[0] == 200


def test_dnf_reads_repositories_through_larder_urls(tmp_path, http_server):
    result = sandbox.make_root(str(tmp_path / "root"), url_base=http_server.url,
                               larder=LARDER, larder_repos=["updates"])
    assert result["repos"]["updates"].startswith(http_server.url + "/larder?name=tester&")
    base = sandbox.dnf_base(result["root"])
    try:
        assert sorted(str(p) for p in base.sack.query().upgrades()) == sorted(UPDATES)
    finally:
        base.close()
    served = {(path, status, where) for _m, path, status, where in http_server.requests}
    assert ("/base/repodata/repomd.xml", 200, "/base/repodata/repomd.xml") in served
    assert any(p.startswith("/larder/repodata/repomd.xml?name=tester&password=s3cret&path=")
               and s == 200 and w == "/updates/repodata/repomd.xml" for p, s, w in served)
    assert all(status == 200 for _p, status, _w in served)


@pytest.mark.parametrize("larder", [None, LARDER], ids=["plain", "larder"])
@pytest.mark.parametrize("mirrors", ["mirrorlist", "metalink"])
def test_dnf_follows_generated_mirror_lists(tmp_path, http_server, mirrors, larder):
    root = str(tmp_path / "root")
    result = sandbox.make_root(root, url_base=http_server.url, larder=larder, install=False,
                               repos=["updates"], mirrors=mirrors)
    with open(os.path.join(root, "etc", "yum.repos.d", "updates.repo")) as f:
        assert "%s=%s\n" % (mirrors, result["repos"]["updates"]) in f.read()
    base = sandbox.dnf_base(root, load_system_repo=False)
    try:
        assert len(base.sack.query().available()) == len(UPDATES) + 1
    finally:
        base.close()
    requests = [(path, status, served) for _m, path, status, served in http_server.requests]
    assert requests[0][1:] == (200, "/%s/updates" % mirrors)
    assert ("/updates/repodata/repomd.xml" if larder is None else
            "/larder/repodata/repomd.xml?name=tester&password=s3cret&path=/updates/",
            200, "/updates/repodata/repomd.xml") in requests
    assert all(status == 200 for _p, status, _s in requests)


def test_serve_command_line(tmp_path, repos):
    port_file = tmp_path / "port"
    proc = subprocess.Popen([sys.executable, SCRIPT, "serve", "--port-file", str(port_file),
                             "--larder", "n:p"], stdout=subprocess.PIPE,
                            universal_newlines=True)
    try:
        port = int(proc.stdout.readline())
        assert port_file.read_text() == "%d\n" % port
        url = "http://127.0.0.1:%d" % port
        assert fetch(url + "/larder/repodata/repomd.xml?name=n&password=p&path=/base/") == (
            200, repomd(repos))
    finally:
        proc.send_signal(signal.SIGTERM)
        assert proc.wait(timeout=10) == 0


def running(pid):
    """True while pid is a live process (a zombie has no command line)."""
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            return bool(f.read())
    except OSError:
        return False


def test_demo_serves_a_root_with_updates(tmp_path):
    demo = tmp_path / "demo"
    try:
        out = run_script("demo", str(demo)).stdout
        assert "--installroot=%s" % (demo / "root") in out
        first_pid = int((demo / "server.pid").read_text())
        # A second run replaces the server and the root.
        run_script("demo", str(demo))
        pid = int((demo / "server.pid").read_text())
        assert pid != first_pid and not running(first_pid)
        base = sandbox.dnf_base(str(demo / "root"))
        try:
            assert len(list(base.sack.query().upgrades())) == len(UPDATES)
            assert base.history.group.get("core-tools") is not None
        finally:
            base.close()
        log = (demo / "server.log").read_text()
        assert "/larder/repodata/repomd.xml?name=demo&password=sandbox&path=/updates/" in log
    finally:
        pid = sandbox._alive_server(str(demo / "server.pid"))
        if pid:
            os.kill(pid, signal.SIGTERM)


def test_demo_refuses_a_foreign_directory(tmp_path):
    (tmp_path / "mine").write_text("x")
    proc = run_script("demo", str(tmp_path), check=False)
    assert proc.returncode == 1 and "not made by a demo" in proc.stderr
    assert [p.name for p in tmp_path.iterdir()] == ["mine"]


# ---------------------------------------------------------------------------
# The cache


def test_cache_is_reused(tmp_path, monkeypatch):
    monkeypatch.setenv("VUX_SANDBOX_CACHE", str(tmp_path / "cache"))
    first = sandbox.build_repos()
    assert first["built"]
    # The second time, the build tools fail if anything runs them.
    fake = tmp_path / "fake"
    fake.mkdir()
    for tool in ("rpmbuild", "createrepo_c"):
        (fake / tool).write_text("#!/bin/sh\nexit 1\n")
        (fake / tool).chmod(0o755)
    monkeypatch.setenv("PATH", "%s:%s" % (fake, os.environ["PATH"]))
    second = sandbox.build_repos()
    assert not second["built"] and second["repos"] == first["repos"]


def test_concurrent_builds_share_one_cache(tmp_path):
    cache = tmp_path / "cache"
    env = dict(os.environ, VUX_SANDBOX_CACHE=str(cache))
    roots = [str(tmp_path / ("root%d" % i)) for i in range(2)]
    commands = [[sys.executable, SCRIPT, "repos"]] * 3 + [
        [sys.executable, SCRIPT, "root", root] for root in roots]
    procs = [subprocess.Popen(cmd, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              universal_newlines=True) for cmd in commands]
    outputs = []
    for proc in procs:
        out, err = proc.communicate(timeout=300)
        assert proc.returncode == 0, err
        outputs.append(json.loads(out))
    assert outputs[0] == outputs[1] == outputs[2]
    assert [o["installed"] for o in outputs[3:]] == [sorted(FIRST)] * 2
    entries = sorted(p.name for p in cache.iterdir())
    assert entries == [".lock", os.path.basename(outputs[0]["cache"].rstrip("/"))]
    assert not [p for p in (cache / entries[1] / "roots").iterdir() if p.name.startswith(".")]
    for repo in ("base", "updates"):
        assert repomd({"repos": outputs[0]["repos"]}, repo).startswith(b"<?xml")
