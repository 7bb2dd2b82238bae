"""The package manager's lock, with real processes: while one Vux holds it,
other dnf and Vux processes are refused, dnf's own per-operation locks in the
holding process still work, and nothing stale is left behind."""

import os
import subprocess
import threading

import pytest

from script_support import PYTHON

pytest_plugins = ["script_fixtures"]

KINDS = ("metadata", "download", "rpmdb")

# dnf's own lock functions, as another dnf process uses them.
DNF_LOCK = """
import sys, dnf.lock, dnf.exceptions
kind, where, exit_on_lock = sys.argv[1], sys.argv[2], sys.argv[3] == "1"
lock = getattr(dnf.lock, "build_%s_lock" % kind)(where, exit_on_lock)
try:
    with lock:
        print("entered", flush=True)
except dnf.exceptions.LockError as error:
    print("refused:", error, flush=True)
"""


def lock_place(yumio, kind):
    return yumio.conf.persistdir if kind == "rpmdb" else yumio.conf.cachedir


def other_dnf(yumio, kind, exit_on_lock=True):
    return subprocess.Popen([PYTHON, "-c", DNF_LOCK, kind, lock_place(yumio, kind),
                             "1" if exit_on_lock else "0"],
                            stdout=subprocess.PIPE, universal_newlines=True)


def other_dnf_says(yumio, kind):
    proc = other_dnf(yumio, kind)
    out, _err = proc.communicate(timeout=60)
    return out.strip()


def lock_files(script, yumio):
    return [target for target, _description in script._lockTargets(yumio.conf)]


def owners(paths):
    result = []
    for path in paths:
        try:
            with open(path) as f:
                result.append(int(f.read()))
        except FileNotFoundError:
            result.append(None)
    return result


@pytest.fixture
def yumio(make_root, make_yumio):
    return make_yumio(make_root())


def test_other_dnf_processes_are_refused(script, yumio):
    yumio.lock()
    assert owners(lock_files(script, yumio)) == [os.getpid()] * 3
    for kind, name in zip(KINDS, ("metadata", "cachedir", "RPMDB")):
        assert other_dnf_says(yumio, kind) == "refused: %s already locked by %d" % (
            name, os.getpid())
    yumio.unlock()
    assert owners(lock_files(script, yumio)) == [None] * 3
    for kind in KINDS:
        assert other_dnf_says(yumio, kind) == "entered"


def test_waiting_dnf_goes_on_after_unlock(yumio):
    yumio.lock()
    waiting = other_dnf(yumio, "rpmdb", exit_on_lock=False)
    try:
        with pytest.raises(subprocess.TimeoutExpired):
            waiting.wait(timeout=2)
        yumio.unlock()
        out, _err = waiting.communicate(timeout=60)
        assert out.strip() == "entered"
    finally:
        if waiting.poll() is None:
            waiting.kill()
            waiting.wait()


def test_dnf_operation_locks_inside_the_holding_process(script, yumio):
    import dnf.lock
    yumio.lock()
    files = lock_files(script, yumio)
    for kind in KINDS:
        with getattr(dnf.lock, "build_%s_lock" % kind)(lock_place(yumio, kind), True):
            pass
    yumio.setupRepos()  # dnf takes its metadata lock for this
    assert yumio.sack is not None
    assert owners(files) == [os.getpid()] * 3
    assert other_dnf_says(yumio, "metadata").startswith("refused:")
    yumio.unlock()
    assert owners(files) == [None] * 3


def test_second_vux_process_is_refused(make_root, start_child):
    root = make_root()
    first, second = start_child(root), start_child(root)
    assert first.send("call", "lock") == {"ok": True, "result": None}
    refused = second.send("call", "lock")
    assert (refused["ok"], refused["error"]) == (False, "LockError")
    assert refused["text"].endswith("already locked by %d" % first.pid)
    assert first.send("call", "unlock")["ok"]
    assert second.send("call", "lock")["ok"]
    assert first.send("call", "lock")["error"] == "LockError"


def test_lock_in_this_process_names_the_holder(make_root, make_yumio, start_child):
    from yum import Errors
    root = make_root()
    holder = start_child(root)
    assert holder.send("call", "lock")["ok"]
    yumio = make_yumio(root)
    with pytest.raises(Errors.LockError) as caught:
        yumio.lock()
    assert str(holder.pid) in caught.value.value
    assert caught.value.pid == holder.pid


@pytest.mark.parametrize("ending", ["unlock", "exit", "abort"])
def test_no_stale_lock(script, make_root, make_yumio, start_child, ending):
    root = make_root()
    yumio = make_yumio(root)
    files = lock_files(script, yumio)
    child = start_child(root)
    assert child.send("call", "lock")["ok"]
    assert owners(files) == [child.pid] * 3
    if ending == "unlock":
        assert child.send("call", "unlock")["ok"]
        assert owners(files) == [None] * 3
    child.finish("exit" if ending == "unlock" else ending)
    if ending == "abort":
        # Killed: the files stay, naming a process that is gone, which dnf
        # and Vux take as free.
        assert owners(files) == [child.pid] * 3
    else:
        assert owners(files) == [None] * 3
    yumio.lock()
    assert owners(files) == [os.getpid()] * 3
    yumio.unlock()
    assert owners(files) == [None] * 3


def test_hold_outlives_the_object_and_its_thread(script, make_root, make_yumio):
    root = make_root()
    yumio = make_yumio(root)
    files = lock_files(script, yumio)
    worker = threading.Thread(target=yumio.lock)
    worker.start()
    worker.join()
    # The engine's clear(): flush, a new object; lock() is not called again.
    yumio.flush()
    fresh = make_yumio(root)
    fresh.setupRepos()
    assert owners(files) == [os.getpid()] * 3
    assert other_dnf_says(fresh, "rpmdb").startswith("refused:")
    errors = []

    def unlock():
        try:
            fresh.unlock()
        except Exception as error:  # reported below
            errors.append(error)

    other = threading.Thread(target=unlock)
    other.start()
    other.join()
    assert errors == [] and owners(files) == [None] * 3


def test_contention_inside_an_operation_is_an_error(make_root, make_yumio, start_child):
    from yum import Errors
    root = make_root()
    child = start_child(root)
    assert child.send("dnflock", "metadata")["ok"]  # a dnf operation under way
    yumio = make_yumio(root)
    # Refused at once, not waiting for the holder.
    with pytest.raises(Errors.RepoError) as caught:
        yumio.setupRepos()
    assert caught.value.value == "metadata already locked by %d" % child.pid
    with pytest.raises(Errors.LockError):
        yumio.lock()
    assert child.send("dnfunlock")["ok"]
    yumio.lock()
    yumio.setupRepos()
