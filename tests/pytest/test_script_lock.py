# SPDX-License-Identifier: GPL-2.0-or-later
"""The package manager's lock with real processes: while Vux holds it other
processes are refused, dnf's own per-operation locks inside the holding
process leave the hold in place, and nothing stale is left behind."""

import os
import subprocess
import threading

import pytest

from script_support import HERE, PYTHON, script_module

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

# The script holding the lock in another process: "unlock" on stdin lets go,
# "abort" kills the process, the end of input ends it normally.
HOLDER = """
import os, signal, sys
sys.path.insert(0, sys.argv[1])
import script_support
script = script_support.load_script()
sys.argv = ["vux", "--installroot=" + sys.argv[2], "info"]
yumio = script.YumIO()
yumio.lock()
sys.__stdout__.write("locked\\n")
sys.__stdout__.flush()
for line in sys.stdin:
    if line.strip() == "abort":
        os.kill(os.getpid(), signal.SIGKILL)
    yumio.unlock()
    sys.__stdout__.write("unlocked\\n")
    sys.__stdout__.flush()
"""


def place(yumio, kind):
    return yumio.conf.persistdir if kind == "rpmdb" else yumio.conf.cachedir


def other_dnf(yumio, kind):
    return subprocess.run([PYTHON, "-c", DNF_LOCK, kind, place(yumio, kind)], timeout=60,
                          stdout=subprocess.PIPE, universal_newlines=True).stdout.strip()


def owners(yumio):
    """The pid in each of dnf's three lock files, None for a missing file."""
    result = []
    for target, _description in script_module("YumIOProcess")._lockTargets(yumio.conf):
        try:
            with open(target) as f:
                result.append(int(f.read()))
        except FileNotFoundError:
            result.append(None)
    return result


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
    assert owners(fresh) == [os.getpid()] * 3
    assert [other_dnf(fresh, kind) for kind in KINDS] == [
        "refused: %s already locked by %d" % (name, os.getpid())
        for name in ("metadata", "cachedir", "RPMDB")]
    fresh.unlock()
    assert owners(fresh) == [None] * 3
    assert [other_dnf(fresh, kind) for kind in KINDS] == ["entered"] * 3


@pytest.mark.parametrize("ending", ["unlock", "exit", "abort"])
def test_no_stale_lock(script, make_root, make_yumio, ending):
    root = make_root()
    yumio = make_yumio(root)
    with subprocess.Popen([PYTHON, "-c", HOLDER, HERE, root], stdin=subprocess.PIPE,
                          stdout=subprocess.PIPE, universal_newlines=True) as holder:
        assert holder.stdout.readline() == "locked\n"
        assert owners(yumio) == [holder.pid] * 3
        if ending == "unlock":
            holder.stdin.write("unlock\n")
            holder.stdin.flush()
            assert holder.stdout.readline() == "unlocked\n"
            assert owners(yumio) == [None] * 3
        holder.communicate("abort\n" if ending == "abort" else "", timeout=60)
    # Killed, the holder leaves files naming a process that is gone: free.
    assert owners(yumio) == [holder.pid if ending == "abort" else None] * 3
    yumio.lock()
    assert owners(yumio) == [os.getpid()] * 3
    yumio.unlock()
    assert owners(yumio) == [None] * 3
