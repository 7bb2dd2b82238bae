"""The fixtures of the companion script's tests (loaded with
pytest_plugins = ["script_fixtures"])."""

import sys

import pytest

from script_support import Child, load_script, sandbox, yumioc_recorder


@pytest.fixture
def recorder():
    sys.modules["yumIOC"] = yumioc_recorder
    yumioc_recorder.reset()
    yield yumioc_recorder
    yumioc_recorder.reset()


@pytest.fixture
def script(recorder):
    return load_script()


@pytest.fixture
def make_yumio(script):
    """make_yumio(root) builds a script object the way the engine does, with
    sys.argv naming the root; everything is given back after the test."""
    saved = (list(sys.argv), sys.stdout, sys.stderr)
    made = []

    def make(root=None):
        sys.argv = ["vux"] + (["--installroot=%s" % root] if root else []) + ["info"]
        obj = script.YumIO()
        made.append(obj)
        return obj

    yield make
    try:
        for obj in made:
            obj.flush()
        script._releaseHold()
    finally:
        sys.argv, sys.stdout, sys.stderr = saved


@pytest.fixture(scope="session")
def built_repos():
    return sandbox.build_repos()


@pytest.fixture
def make_root(tmp_path, built_repos):
    """make_root(name, **make_root options) -> path of a new sandbox root."""

    def make(name="root", **options):
        return sandbox.make_root(str(tmp_path / name), **options)["root"]

    return make


@pytest.fixture
def start_server():
    """start_server(larder=None, larder_only=False): the sandbox's repository
    server in a child process (from a thread of this process it would wait
    for the interpreter lock that libdnf keeps while it downloads)."""
    servers = []

    def start(larder=None, larder_only=False):
        server = sandbox.ServerProcess(larder=larder, larder_only=larder_only)
        servers.append(server)
        return server

    yield start
    for server in servers:
        server.stop()


@pytest.fixture
def start_child():
    children = []

    def start(root):
        child = Child(root)
        children.append(child)
        return child

    yield start
    for child in children:
        child.kill()
