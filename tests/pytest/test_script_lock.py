"""The package manager's lock with real processes: while Vux holds it other
processes are refused, dnf's own per-operation locks inside the holding
process still work, and nothing stale is left behind."""

import os
import subprocess
import threading

import pytest

from script_support import PYTHON

KINDS = ("metadata", "download", "rpmdb")

# Another dnf process entering one of dnf's locks.
DNF_LOCK = """
import sys, dnf.lock, dnf.exceptions
try:
    with getattr(dnf.lock, "build_%s_lock" % sys.argv[1])(sys.argv[2], True):
        print("entered")
except dnf.exceptions.LockError as error:
    print("refused:", error)
"""


def place(yumio, kind):
    return yumio.conf.persistdir if kind == "rpmdb" else yumio.conf.cachedir


def other_dnf(yumio, kind):
    return subprocess.run([PYTHON, "-c", DNF_LOCK, kind, place(yumio, kind)], timeout=60,
                          stdout=subprocess.PIPE, universal_newlines=True).stdout.strip()


def owners(script, yumio):
    """The pid in each of dnf's three lock files, None for a missing file."""
    result = []
    for target, _description in script._lockTargets(yumio.conf):
        try:
            with open(target) as f:
                result.append(int(f.read()))
        except FileNotFoundError:
            result.append(None)
    return result


def test_other_dnf_processes_are_refused(script, make_root, make_yumio):
    yumio = make_yumio(make_root())
    yumio.lock()
    assert owners(script, yumio) == [os.getpid()] * 3
    assert [other_dnf(yumio, kind) for kind in KINDS] == [
        "refused: %s already locked by %d" % (name, os.getpid())
        for name in ("metadata", "cachedir", "RPMDB")]
    yumio.unlock()
    assert owners(script, yumio) == [None] * 3
    assert [other_dnf(yumio, kind) for kind in KINDS] == ["entered"] * 3


def test_hold_outlives_dnf_operations_threads_and_objects(script, make_root, make_yumio):
    import dnf.lock
    root = make_root()
    yumio = make_yumio(root)
    worker = threading.Thread(target=yumio.lock)
    worker.start()
    worker.join()
    # The engine's clear(): flush, a new object; lock() is not called again.
    yumio.flush()
    fresh = make_yumio(root)
    fresh.setupRepos()  # dnf takes its metadata lock for this
    for kind in KINDS:
        with getattr(dnf.lock, "build_%s_lock" % kind)(place(fresh, kind), True):
            pass
    assert owners(script, fresh) == [os.getpid()] * 3
    assert other_dnf(fresh, "rpmdb").startswith("refused:")
    fresh.unlock()
    assert owners(script, fresh) == [None] * 3


@pytest.mark.parametrize("ending", ["unlock", "exit", "abort"])
def test_no_stale_lock(script, make_root, make_yumio, start_child, ending):
    root = make_root()
    yumio = make_yumio(root)
    child = start_child(root)
    assert child.send("call", "lock")["ok"]
    assert owners(script, yumio) == [child.pid] * 3
    if ending == "unlock":
        assert child.send("call", "unlock")["ok"]
        assert owners(script, yumio) == [None] * 3
    child.finish("abort" if ending == "abort" else "exit")
    # Killed, the holder leaves files naming a process that is gone: free.
    assert owners(script, yumio) == [child.pid if ending == "abort" else None] * 3
    yumio.lock()
    assert owners(script, yumio) == [os.getpid()] * 3
    yumio.unlock()
    assert owners(script, yumio) == [None] * 3
