# SPDX-License-Identifier: GPL-2.0-or-later
"""The privilege path the application menu takes: pkexec, started by an
ordinary user, runs the program as root with that user's display.

Real parts: a system bus (dbus-daemon) and polkitd of the test's own, the
shipped polkit action (configured to name a probe built beside the tests,
tests/install/PrivilegeProbe.cpp, in the program's place) and a rule that
lets the user nobody run it. Where the machine allows, everything runs in
private mount and process namespaces: the action, the rule and the bus socket
are mounted over polkitd's directories there, and every process ends with
the namespace. Elsewhere the files go into polkitd's real directories (the
machine's bus and polkitd serve when they run) and are removed afterwards.
The test is skipped only where polkitd cannot run."""

import contextlib
import json
import os
import pwd
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET

import pytest

PROBE = os.environ.get("VUX_PRIVILEGE_PROBE", "")
POLICY = os.environ.get("VUX_PRIVILEGE_POLICY", "")
POLKITD = "/usr/lib/polkit-1/polkitd"
ACTIONS = "/usr/share/polkit-1/actions"
RULES = "/etc/polkit-1/rules.d"
VENDOR_RULES = "/usr/share/polkit-1/rules.d"
BUS_DIR = "/run/dbus"
BUS_SOCKET = BUS_DIR + "/system_bus_socket"
USER = "nobody"
DISPLAY = ":73"
TOOLS = ("pkexec", "pkaction", "dbus-daemon", "dbus-send", "setpriv", "mount")

BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=%s</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
""" % BUS_SOCKET

RULE = """polkit.addRule(function(action, subject) {
    if (action.id == "%s" && subject.user == "%s")
        return polkit.Result.YES;
});
"""


class Skip(Exception):
    pass


def action_id():
    return ET.parse(POLICY).getroot().find("action").get("id")


# ---------------------------------------------------------------------------
# The driver: runs as root, in the private namespaces or on the machine.

def run(command, timeout=30, **options):
    return subprocess.run(command, capture_output=True, text=True, timeout=timeout, **options)


def bus_alive():
    with socket.socket(socket.AF_UNIX) as probe:
        try:
            probe.connect(BUS_SOCKET)
            return True
        except OSError:
            return False


def wait_for(test, seconds, what):
    deadline = time.monotonic() + seconds
    while not test():
        if time.monotonic() > deadline:
            raise TimeoutError("no %s after %d seconds" % (what, seconds))
        time.sleep(0.2)


def polkit_on_bus():
    reply = run(["dbus-send", "--system", "--print-reply", "--dest=org.freedesktop.DBus",
                 "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                 "string:org.freedesktop.PolicyKit1"])
    return "boolean true" in reply.stdout


def started(stack, command, **options):
    """A daemon that is stopped (and waited for) when stack closes."""
    process = subprocess.Popen(command, stdin=subprocess.DEVNULL, **options)

    def stop():
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
    stack.callback(stop)
    return process


def placed(stack, content, path):
    """content written to path (mode 644), removed when stack closes."""
    with open(path, "x") as f:
        f.write(content)
    os.chmod(path, 0o644)
    stack.callback(os.remove, path)


def prepare_private(stack, work):
    """polkitd's directories and the bus directory, ours in this namespace."""
    for name, target in (("actions", ACTIONS), ("rules", RULES), ("empty", VENDOR_RULES)):
        os.mkdir(os.path.join(work, name), 0o755)
        if os.path.isdir(target):
            subprocess.run(["mount", "--bind", os.path.join(work, name), target], check=True)
    # /run/dbus may not exist, and nothing is created outside the namespace.
    subprocess.run(["mount", "-t", "tmpfs", "-o", "mode=755", "tmpfs",
                    BUS_DIR if os.path.isdir(BUS_DIR) else "/run"], check=True)
    os.makedirs(BUS_DIR, exist_ok=True)
    return os.path.join(work, "actions"), os.path.join(work, "rules")


def prepare_shared(stack):
    """polkitd's real directories; nothing of the machine is replaced."""
    for directory in (ACTIONS, RULES):
        if not os.path.isdir(directory):
            raise Skip("polkitd's directory %s is missing" % directory)
    if os.path.exists(os.path.join(ACTIONS, os.path.basename(POLICY))):
        raise Skip("the program's polkit action is installed here; the test leaves it alone")
    if os.path.exists(BUS_SOCKET) and not bus_alive():
        raise Skip("%s is left over from a system bus that no longer runs" % BUS_SOCKET)
    if not os.path.isdir(BUS_DIR):
        os.makedirs(BUS_DIR)
        stack.callback(shutil.rmtree, BUS_DIR, True)
    return ACTIONS, RULES


def drive(work, private):
    """Brings up the bus and polkitd where missing, runs pkexec as the user;
    returns what the probe printed, or the reason to skip."""
    with contextlib.ExitStack() as stack:
        actions, rules = prepare_private(stack, work) if private else prepare_shared(stack)
        name = "vux-privilege-test-%d" % os.getpid()
        with open(POLICY) as f:
            placed(stack, f.read(), os.path.join(actions, os.path.basename(POLICY)))
        placed(stack, RULE % (action_id(), USER), os.path.join(rules, "10-%s.rules" % name))

        if not bus_alive():
            if not private:
                stack.callback(lambda: os.path.exists(BUS_SOCKET) and os.remove(BUS_SOCKET))
            config = os.path.join(work, "bus.conf")
            with open(config, "w") as f:
                f.write(BUS_CONFIG)
            bus = started(stack, ["dbus-daemon", "--config-file=" + config, "--nofork",
                                  "--nopidfile"], stderr=subprocess.PIPE)
            try:
                wait_for(lambda: bus_alive() or bus.poll() is not None, 10, "system bus")
            except TimeoutError as error:
                raise Skip("polkitd has no system bus: %s" % error)
            if bus.poll() is not None:
                raise Skip("polkitd has no system bus: " + bus.stderr.read().decode())
        if not polkit_on_bus():
            log = open(os.path.join(work, "polkitd.log"), "w+")
            stack.enter_context(log)
            polkitd = started(stack, [POLKITD, "--no-debug"], stdout=log, stderr=log)
            try:
                wait_for(lambda: polkit_on_bus() or polkitd.poll() is not None, 30, "polkitd")
            except TimeoutError as error:
                raise Skip("polkitd cannot run here: %s" % error)
            if polkitd.poll() is not None:
                log.seek(0)
                raise Skip("polkitd cannot run here: " + log.read())
        # polkitd reads the action (at once, or when it notices the new file).
        try:
            wait_for(lambda: run(["pkaction", "--action-id", action_id()]).returncode == 0,
                     30, "polkit action %s" % action_id())
        except TimeoutError as error:
            return {"failure": str(error)}

        user = pwd.getpwnam(USER)
        # A shell of the user starts pkexec: pkexec acts for its parent.
        result = run(["setpriv", "--reuid=%d" % user.pw_uid, "--regid=%d" % user.pw_gid,
                      "--clear-groups", "/bin/sh", "-c", 'pkexec "$0"; exit $?', PROBE],
                     timeout=60, cwd="/",
                     env={"PATH": "/usr/bin:/bin", "DISPLAY": DISPLAY,
                          "XAUTHORITY": os.path.join(work, "Xauthority")})
        seen = dict(line.split("=", 1) for line in result.stdout.splitlines() if "=" in line)
        return {"status": result.returncode, "stderr": result.stderr, "seen": seen}


def driver_main(work, mode):
    def stop(_signum, _frame):
        raise SystemExit("stopped")
    signal.signal(signal.SIGTERM, stop)
    try:
        outcome = drive(work, mode == "private")
    except Skip as reason:
        outcome = {"skip": str(reason)}
    with open(os.path.join(work, "outcome.json"), "w") as f:
        json.dump(outcome, f)


# ---------------------------------------------------------------------------
# The test

def outcome_of(command, work, timeout):
    """Runs the driver command; its outcome, or None when it left none."""
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               text=True)
    try:
        output = process.communicate(timeout=timeout)[0]
    except subprocess.TimeoutExpired:
        # The driver cleans up on SIGTERM; in the namespaces unshare's
        # death ends every process there.
        process.terminate()
        try:
            output = process.communicate(timeout=30)[0]
        except subprocess.TimeoutExpired:
            process.kill()
            output = process.communicate()[0]
    path = os.path.join(work, "outcome.json")
    if not os.path.exists(path):
        return None, output
    with open(path) as f:
        return json.load(f), output


def test_pkexec_runs_the_program_as_root_with_the_users_display():
    if os.geteuid() != 0:
        pytest.skip("needs root: it starts a system bus and polkitd, and runs pkexec as %s"
                    % USER)
    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if missing or not os.access(POLKITD, os.X_OK):
        pytest.skip("polkitd cannot run: not installed (%s)" % " ".join(missing or [POLKITD]))
    assert os.access(PROBE, os.X_OK) and os.path.exists(POLICY), (PROBE, POLICY)

    # Readable by polkitd's own user, which reads the action and the rule.
    work = tempfile.mkdtemp(prefix="vux-privilege-")
    try:
        os.chmod(work, 0o755)
        driver = [sys.executable, os.path.abspath(__file__), work]
        outcome, output = outcome_of(
            ["unshare", "--mount", "--propagation", "private", "--pid", "--fork",
             "--kill-child", "--mount-proc"] + driver + ["private"], work, 180)
        if outcome is None and "unshare failed" in output:
            outcome, output = outcome_of(driver + ["shared"], work, 180)
    finally:
        shutil.rmtree(work)
    assert outcome is not None, output
    if "skip" in outcome:
        pytest.skip(outcome["skip"])
    assert "failure" not in outcome, outcome["failure"]
    assert outcome["status"] == 0, outcome
    seen = outcome["seen"]
    assert seen["euid"] == "0"
    assert seen["PKEXEC_UID"] == str(pwd.getpwnam(USER).pw_uid)
    # The user's display and authority file, on X11 (root cannot reach the
    # user's Wayland compositor).
    assert seen["DISPLAY"] == DISPLAY
    assert seen["XAUTHORITY"] == os.path.join(work, "Xauthority")
    assert seen["QT_QPA_PLATFORM"] == "xcb" and seen["hasDisplay"] == "1"


if __name__ == "__main__":
    driver_main(sys.argv[1], sys.argv[2])
