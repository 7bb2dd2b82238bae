"""Fixtures of the Python suites: sandbox roots and servers (scripts/sandbox.py,
RPMs and repositories cached in $VUX_SANDBOX_CACHE) and the companion script,
in this process with a recording yumIOC or in a child process."""

import contextlib
import json
import subprocess
import sys

import pytest

from script_support import CHILD, PYTHON, load_script, sandbox
import yumioc_recorder


@pytest.fixture(scope="session")
def repos():
    """build_repos(): {"cache", "repos": {name: path}, "rpms", "built"}."""
    return sandbox.build_repos()


@pytest.fixture
def make_root(tmp_path, repos):
    """make_root(name="root", **make_root options) -> path of a new sandbox root."""
    return lambda name="root", **options: sandbox.make_root(str(tmp_path / name),
                                                            **options)["root"]


@pytest.fixture
def start_server():
    """start_server(**serve options): a repository server in a child process
    (libdnf keeps the interpreter lock while it downloads) until the test ends."""
    with contextlib.ExitStack() as stack:
        yield lambda **options: stack.enter_context(sandbox.serve(**options))


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
    """make_yumio(root) builds the script's object as the engine does, with
    sys.argv naming the root; flushed and unlocked after the test."""
    saved = (list(sys.argv), sys.stdout, sys.stderr)
    made = []

    def make(root):
        sys.argv = ["vux", "--installroot=%s" % root, "info"]
        made.append(script.YumIO())
        return made[-1]

    yield make
    try:
        for obj in made:
            obj.flush()
        script._releaseHold()
    finally:
        sys.argv, sys.stdout, sys.stderr = saved


class Child:
    """The script in another process (script_child.py), one command a line."""

    def __init__(self, root):
        self.proc = subprocess.Popen([PYTHON, CHILD, root], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, universal_newlines=True)
        self.pid = self.proc.pid
        assert self.answer() == {"ok": True, "result": "ready"}

    def answer(self):
        line = self.proc.stdout.readline()
        assert line, "the child ended"
        return json.loads(line)

    def send(self, *words):
        self.proc.stdin.write(" ".join(words) + "\n")
        self.proc.stdin.flush()
        return self.answer()

    def finish(self, command="exit"):
        """"exit" runs the child's exit handlers, "abort" kills it at once."""
        with contextlib.suppress(BrokenPipeError):
            self.proc.stdin.write(command + "\n")
            self.proc.stdin.flush()
        self.proc.wait(timeout=60)

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        for stream in (self.proc.stdin, self.proc.stdout):
            with contextlib.suppress(BrokenPipeError):
                stream.close()


@pytest.fixture
def start_child():
    children = []
    yield lambda root: children.append(Child(root)) or children[-1]
    for child in children:
        child.close()
