# SPDX-License-Identifier: GPL-2.0-or-later
"""The sandbox builder where the other suites do not reach: a directory in
use, the larder paths a plain client sends, the server's refusals. (Plain
paths, dnf's larder form and a wrong password: the engine suites,
TestEngineApply::applyMarks and TestEngineCollect::repositoryFailures.)"""

import os
import urllib.error
import urllib.request

import pytest

from script_support import sandbox


def test_root_refuses_a_directory_in_use(tmp_path):
    (tmp_path / "precious").write_text("keep me")
    with pytest.raises(sandbox.SandboxError, match="is not empty"):
        sandbox.make_root(str(tmp_path))
    assert [p.name for p in tmp_path.iterdir()] == ["precious"]


@pytest.mark.parametrize("path, status", [
    # A plain client puts all in path= (dnf puts the file before the query).
    ("/larder?name=%74ester&password=s3cret&path=%2Fbase%2Frepodata%2Frepomd.xml", 200),
    ("/larder/repodata/repomd.xml?name=tester&path=/base/", 401),
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

