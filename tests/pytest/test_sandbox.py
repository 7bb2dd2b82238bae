# SPDX-License-Identifier: GPL-2.0-or-later
"""The sandbox builder where the other suites do not reach: a directory in
use, the server's larder paths and refusals, the cache under concurrent use."""

import json
import os
import subprocess
import sys
import urllib.error
import urllib.request

import pytest

from script_support import sandbox

ARCH = sandbox.rpm_eval("%_arch")
FIRST = ["aurora-1.0-1.%s" % ARCH, "aurora-data-1.0-1.noarch", "cobalt-0.9-1.noarch",
         "granite-3.0-2.%s" % ARCH, "libbasalt-2:1.0-1.%s" % ARCH,
         "sandbox-kernel-5.1.0-1.%s" % ARCH, "sandbox-kernel-5.2.0-1.%s" % ARCH,
         "sandbox-release-1-1.noarch"]


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


def test_concurrent_builds_share_one_cache(tmp_path, monkeypatch):
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
    # Built once: the next call reuses it.
    monkeypatch.setenv("VUX_SANDBOX_CACHE", str(cache))
    again = sandbox.build_repos()
    assert not again["built"] and again["repos"] == outputs[0]["repos"]
