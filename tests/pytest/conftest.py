"""Shared pytest fixtures: sandbox repositories, roots and a repository server.

Everything comes from scripts/sandbox.py; the RPMs and repositories are
cached in $VUX_SANDBOX_CACHE (CTest points it into the build tree).
"""

import os
import sys

import pytest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))

import sandbox  # noqa: E402

# Credentials the http_server fixture accepts in larder URLs.
LARDER = ("tester", "s3cret")


@pytest.fixture(scope="session")
def repos():
    """build_repos() result: {"cache": DIR/, "repos": {name: path}, "rpms": [...]}."""
    return sandbox.build_repos()


@pytest.fixture
def sandbox_root(tmp_path, repos):
    """A fresh root with the first versions installed and file:// repositories.

    The make_root() result: {"root": path, "installed": [nevra...], "repos": {id: url}}.
    """
    return sandbox.make_root(str(tmp_path / "root"))


@pytest.fixture
def http_server(repos):
    """A server for the cached repositories; larder URLs need LARDER.

    Has .port, .url ("http://127.0.0.1:PORT"), .requests and .clear_requests().
    """
    with sandbox.serve(larder=LARDER) as server:
        yield server


@pytest.fixture
def http_root(tmp_path, http_server):
    """A root with the first versions installed whose repositories are on http_server."""
    return sandbox.make_root(str(tmp_path / "root"), url_base=http_server.url)
