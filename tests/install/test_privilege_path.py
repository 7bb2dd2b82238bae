# SPDX-License-Identifier: GPL-2.0-or-later
"""The privilege path the application menu takes: pkexec, started by an
ordinary user, runs the program as root with that user's display.

Real parts: a system bus (dbus-daemon) and polkitd of the test's own, the
shipped polkit action (configured to name a probe built beside the tests,
tests/install/PrivilegeProbe.cpp, in the program's place) and a rule that
lets the user nobody run it. Everything runs in private mount and process
namespaces: the action, the rule and the bus socket are mounted over
polkitd's directories there, and every process ends with the namespace.
The test is skipped where polkitd or the namespaces cannot be had."""

import json
import os
import pwd
import shutil
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


def run(command, timeout=30, **options):
    return subprocess.run(command, capture_output=True, text=True, timeout=timeout, **options)


def bus_alive():
    with socket.socket(socket.AF_UNIX) as probe:
        return probe.connect_ex(BUS_SOCKET) == 0


def polkit_on_bus():
    reply = run(["dbus-send", "--system", "--print-reply", "--dest=org.freedesktop.DBus",
                 "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                 "string:org.freedesktop.PolicyKit1"])
    return "boolean true" in reply.stdout


def wait_for(test, seconds, what, daemon=None, log=None):
    """Waits until test() holds; a daemon that ends, or time running out,
    makes a Skip (or, without a daemon, a TimeoutError)."""
    deadline = time.monotonic() + seconds
    while not test():
        if daemon is not None and daemon.poll() is not None or time.monotonic() > deadline:
            if daemon is None:
                raise TimeoutError("no %s after %d seconds" % (what, seconds))
            with open(log) as f:
                raise Skip("%s cannot run here: %s" % (what, f.read()))
        time.sleep(0.2)


def placed(content, path):
    """content written to path, readable by polkitd's own user."""
    with open(path, "x") as f:
        f.write(content)
    os.chmod(path, 0o644)


def drive(work):
    """In the private namespaces: brings up a bus and polkitd, runs pkexec as
    the user; returns what the probe printed. Every process started here ends
    with the namespace."""
    # polkitd's directories and the bus directory, ours in this namespace.
    for name, target in (("actions", ACTIONS), ("rules", RULES), ("empty", VENDOR_RULES)):
        os.mkdir(os.path.join(work, name), 0o755)
        if os.path.isdir(target):
            subprocess.run(["mount", "--bind", os.path.join(work, name), target], check=True)
    # /run/dbus may not exist, and nothing is created outside the namespace.
    subprocess.run(["mount", "-t", "tmpfs", "-o", "mode=755", "tmpfs",
                    BUS_DIR if os.path.isdir(BUS_DIR) else "/run"], check=True)
    os.makedirs(BUS_DIR, exist_ok=True)
    with open(POLICY) as f:
        placed(f.read(), os.path.join(work, "actions", os.path.basename(POLICY)))
    placed(RULE % (action_id(), USER), os.path.join(work, "rules", "10-vux-test.rules"))
    placed(BUS_CONFIG, os.path.join(work, "bus.conf"))
    log = os.path.join(work, "daemons.log")
    with open(log, "w") as out:
        bus = subprocess.Popen(["dbus-daemon", "--config-file=" + os.path.join(work, "bus.conf"),
                                "--nofork", "--nopidfile"], stdout=out, stderr=out)
        wait_for(bus_alive, 10, "the system bus", bus, log)
        polkitd = subprocess.Popen([POLKITD, "--no-debug"], stdout=out, stderr=out)
        wait_for(polkit_on_bus, 30, "polkitd", polkitd, log)
    wait_for(lambda: run(["pkaction", "--action-id", action_id()]).returncode == 0,
             30, "polkit action %s" % action_id())

    user = pwd.getpwnam(USER)
    # A shell of the user starts pkexec: pkexec acts for its parent.
    result = run(["setpriv", "--reuid=%d" % user.pw_uid, "--regid=%d" % user.pw_gid,
                  "--clear-groups", "/bin/sh", "-c", 'pkexec "$0"; exit $?', PROBE],
                 timeout=60, cwd="/",
                 env={"PATH": "/usr/bin:/bin", "DISPLAY": DISPLAY,
                      "XAUTHORITY": os.path.join(work, "Xauthority")})
    seen = dict(line.split("=", 1) for line in result.stdout.splitlines() if "=" in line)
    return {"status": result.returncode, "stderr": result.stderr, "seen": seen}


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
    outcome = None
    try:
        os.chmod(work, 0o755)
        # On a time-out unshare is killed, and its namespace with it.
        result = run(["unshare", "--mount", "--propagation", "private", "--pid", "--fork",
                      "--kill-child", "--mount-proc", sys.executable, os.path.abspath(__file__),
                      work], timeout=180)
        if os.path.exists(os.path.join(work, "outcome.json")):
            with open(os.path.join(work, "outcome.json")) as f:
                outcome = json.load(f)
    finally:
        shutil.rmtree(work)
    if outcome is None and "unshare failed" in result.stderr:
        pytest.skip("no private namespaces here: " + result.stderr)
    assert outcome is not None, result.stdout + result.stderr
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
    try:
        outcome = drive(sys.argv[1])
    except Skip as reason:
        outcome = {"skip": str(reason)}
    except TimeoutError as error:
        outcome = {"failure": str(error)}
    with open(os.path.join(sys.argv[1], "outcome.json"), "w") as f:
        json.dump(outcome, f)
