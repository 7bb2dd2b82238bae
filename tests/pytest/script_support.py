"""Shared pieces of the companion script's tests: loading the script with the
recording yumIOC, sandbox roots, a repository server process, and dnf's own
command line for comparison.

Test modules import the fixtures they use from here.
"""

import importlib.util
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile

import pytest

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(os.path.dirname(HERE))
SHARE_PYTHON = os.path.join(SOURCE_DIR, "share", "python")
SCRIPT = os.path.join(SHARE_PYTHON, "YumIO.py")
CHILD = os.path.join(HERE, "script_child.py")
PYTHON = "/usr/bin/python3"

sys.path.insert(0, os.path.join(SOURCE_DIR, "tests", "support"))
import sandbox  # noqa: E402

import yumioc_recorder  # noqa: E402

_script = None


def load_script():
    """The companion script as a module, loaded once per process as the
    engine loads it: share/python first on sys.path, yumIOC registered."""
    global _script
    if _script is None:
        sys.modules["yumIOC"] = yumioc_recorder
        if sys.path[0] != SHARE_PYTHON:
            sys.path.insert(0, SHARE_PYTHON)
        spec = importlib.util.spec_from_file_location("YumIO", SCRIPT)
        module = importlib.util.module_from_spec(spec)
        spec.loader.exec_module(module)
        _script = module
    return _script


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


class ServerProcess:
    """The sandbox's repository server in a process of its own: served from
    a thread of the test process, it would wait for the interpreter lock that
    libdnf keeps while it downloads."""

    def __init__(self, larder=None, larder_only=False):
        self.dir = tempfile.mkdtemp(prefix="vux-server-")
        self.log = os.path.join(self.dir, "requests.log")
        self.pid, self.port = sandbox.start_server_process(
            os.path.join(self.dir, "port"), log=self.log, larder=larder,
            larder_only=larder_only)
        self.url = "http://127.0.0.1:%d" % self.port

    def requests(self):
        try:
            with open(self.log) as f:
                return [line.split() for line in f]
        except FileNotFoundError:
            return []

    def stop(self):
        try:
            os.kill(self.pid, signal.SIGTERM)
            os.waitpid(self.pid, 0)
        except (ProcessLookupError, ChildProcessError):
            pass
        shutil.rmtree(self.dir, ignore_errors=True)


@pytest.fixture
def start_server():
    servers = []

    def start(larder=None, larder_only=False):
        server = ServerProcess(larder, larder_only)
        servers.append(server)
        return server

    yield start
    for server in servers:
        server.stop()


def dnf_list(root, *args):
    """dnf's own "list" on a sandbox root: {section: [(name, arch, evr, repo)]}."""
    proc = subprocess.run(sandbox.dnf_command(root, "list", *args), stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          universal_newlines=True)
    assert proc.returncode == 0, proc.stderr
    sections = {}
    current = None
    pending = []
    for line in proc.stdout.splitlines():
        if re.match(r"^[A-Z][A-Za-z ]+$", line.strip()) and not pending:
            current = sections.setdefault(line.strip(), [])
            continue
        pending += line.split()
        if len(pending) >= 3:
            nameArch, evr, repo = pending[:3]
            name, _dot, arch = nameArch.rpartition(".")
            current.append((name, arch, evr, repo))
            pending = []
    return sections


def progress_blocks(calls):
    """The progress callbacks split per repository: [(repoid, [calls])],
    each block ending with the repository's (-1, -1, repoid) report."""
    blocks = []
    current = []
    for call in calls:
        if call[0] not in ("collectProgress", "collectGrabMeterStart",
                           "collectGrabMeterUpdate", "collectGrabMeterEnd"):
            continue
        current.append(call)
        if call[0] == "collectProgress" and call[1:3] == (-1, -1):
            blocks.append((call[3], current))
            current = []
    assert not current, "progress after the last repository: %r" % current
    return blocks


def shown_id(url):
    """What the engine shows of a meter URL: the text between its last two
    slashes."""
    parts = url.rsplit("/", 2)
    return parts[1] if len(parts) == 3 else None


class Child:
    """The companion script in another process, driven through
    script_child.py one command at a time."""

    def __init__(self, root):
        self.proc = subprocess.Popen(
            [PYTHON, CHILD, root], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            stderr=subprocess.PIPE, universal_newlines=True, bufsize=1)
        self.pid = self.proc.pid
        assert self.answer()["result"] == "ready"

    def answer(self):
        line = self.proc.stdout.readline()
        if not line:
            raise AssertionError("the child ended: %s" % self.proc.stderr.read())
        return json.loads(line)

    def send(self, *words):
        self.proc.stdin.write(" ".join(words) + "\n")
        self.proc.stdin.flush()
        return self.answer()

    def finish(self, command="exit"):
        """Ends the child with command ("exit" runs its exit handlers,
        "abort" kills it at once); returns its exit status."""
        if self.proc.poll() is None:
            self.proc.stdin.write(command + "\n")
            self.proc.stdin.flush()
        try:
            return self.proc.wait(timeout=60)
        finally:
            self.proc.stdin.close()
            self.proc.stdout.close()
            self.proc.stderr.close()

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
        self.finish()


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
