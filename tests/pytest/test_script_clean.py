"""Cleaning dnf's cache in the (sandbox) root: what each kind removes, that
a second clean is harmless, and that a failure is never reported as success."""

import os
import tempfile

import pytest

pytest_plugins = ["script_fixtures"]


def cache_files(cachedir):
    found = set()
    for top, _dirs, files in os.walk(cachedir):
        for name in files:
            found.add(os.path.relpath(os.path.join(top, name), cachedir))
    return found


def repo_dirs(cachedir):
    return sorted(d for d in os.listdir(cachedir) if os.path.isdir(os.path.join(cachedir, d)))


@pytest.fixture
def loaded(make_root, make_yumio):
    """A root whose cache holds metadata of both repositories, a downloaded
    package and a stray header file."""
    root = make_root()
    yumio = make_yumio(root)
    yumio.setupRepos()
    cachedir = yumio.conf.cachedir
    for directory in repo_dirs(cachedir):
        for sub, name in (("packages", "aurora-1.1-1.x86_64.rpm"),
                          ("headers", "aurora-1.1-1.x86_64.hdr")):
            os.makedirs(os.path.join(cachedir, directory, sub), exist_ok=True)
            with open(os.path.join(cachedir, directory, sub, name), "w") as f:
                f.write("cached")
    return yumio, cachedir


@pytest.mark.parametrize("method, what, removed", [
    ("cleanHeaders", "header", lambda f: f.endswith(".hdr")),
    ("cleanPackages", "package", lambda f: f.endswith(".rpm")),
    ("cleanMetadata", "metadata",
     lambda f: "/repodata/" in f or f.endswith((".solv", ".solvx"))),
    ("cleanPickles", "cache", lambda f: f.endswith((".solv", ".solvx"))),
])
def test_clean(loaded, method, what, removed):
    yumio, cachedir = loaded
    before = cache_files(cachedir)
    expected_gone = {f for f in before if removed(f)}
    assert expected_gone
    code, messages = getattr(yumio, method)()
    assert code == 0
    assert messages == ["%d %s files removed" % (len(expected_gone), what)]
    assert cache_files(cachedir) == before - expected_gone
    # Again: nothing left to remove, still a success.
    assert getattr(yumio, method)() == (0, ["0 %s files removed" % what])


def test_clean_without_cache(make_root, make_yumio):
    yumio = make_yumio(make_root(install=False))
    assert yumio.cleanMetadata() == (0, ["0 metadata files removed"])


def test_unwritable_cache_is_a_failure(make_root, start_child):
    if os.geteuid() != 0:
        pytest.skip("needs root to continue as another user")
    root = make_root()
    child = start_child(root)
    assert child.send("call", "setupRepos")["ok"]
    locks = tempfile.mkdtemp(prefix="vux-locks-")
    try:
        os.chmod(locks, 0o1777)
        assert child.send("drop", locks)["result"] == 65534
        answer = child.send("call", "cleanMetadata")
    finally:
        child.finish()
        import shutil
        shutil.rmtree(locks, ignore_errors=True)
    assert answer["ok"]
    code, messages = answer["result"]
    assert code != 0
    assert messages[0] == "0 metadata files removed"
    assert any("Permission denied" in m for m in messages[1:])
    # Nothing was removed.
    assert os.listdir(os.path.join(root, "var/cache/yum"))
