"""Shared pieces of the companion script's tests: loading the script with the
recording yumIOC, the script in a second process, and dnf's own command line
for comparison.

The fixtures built on them are in script_fixtures.py (a pytest plugin).
"""

import importlib.util
import json
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(os.path.dirname(HERE))
SHARE_PYTHON = os.path.join(SOURCE_DIR, "share", "python")
SCRIPT = os.path.join(SHARE_PYTHON, "YumIO.py")
CHILD = os.path.join(HERE, "script_child.py")
PYTHON = "/usr/bin/python3"

sys.path.insert(0, os.path.join(SOURCE_DIR, "scripts"))
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
            try:
                self.proc.stdin.write(command + "\n")
                self.proc.stdin.flush()
            except BrokenPipeError:  # it ended meanwhile
                pass
        try:
            return self.proc.wait(timeout=60)
        finally:
            for stream in (self.proc.stdin, self.proc.stdout, self.proc.stderr):
                try:
                    stream.close()
                except BrokenPipeError:
                    pass

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.finish()
