# SPDX-License-Identifier: GPL-2.0-or-later
"""share/webbrowser and share/mimeviewer: the URL reaches the desktop's opener
as one argument, and under root the opener runs as the invoking user or not at
all. id, getent, runuser and xdg-open are stand-ins on PATH that record what
they were given."""

import os
import subprocess

import pytest

SHARE = os.path.join(os.path.dirname(__file__), "..", "..", "share")

FAKES = {
    # id -u prints $FAKE_UID; id -g USER prints 1234.
    "id": '[ "$1" = -u ] && echo "$FAKE_UID" || echo 1234\n',
    "getent": '[ "$2" = 1234 ] && echo "alice:x:1234:1234:Alice:/home/alice:/bin/sh"\n',
    # Records its arguments, then runs the command after "--" (no switch).
    "runuser": 'printf "%s\\n" "$@" > "$RECORD.runuser"\n'
               'while [ "$1" != -- ]; do shift; done; shift; exec "$@"\n',
    "xdg-open": 'printf "%s\\n" "$@" > "$RECORD.open"\n'
                'echo "HOME=$HOME USER=$USER DISPLAY=${DISPLAY:-}" >> "$RECORD.open"\n',
}


@pytest.fixture
def run(tmp_path):
    bin_dir = tmp_path / "bin"
    bin_dir.mkdir()
    for name, body in FAKES.items():
        path = bin_dir / name
        path.write_text("#!/bin/sh\n" + body)
        path.chmod(0o755)
    record = str(tmp_path / "record")

    def run(program, arguments, uid, **env):
        environment = {"PATH": "%s:/usr/bin:/bin" % bin_dir, "RECORD": record,
                       "FAKE_UID": str(uid), "HOME": "/root", "USER": "root",
                       "DISPLAY": ":5"}
        environment.update(env)
        if isinstance(arguments, str):
            arguments = [arguments]
        proc = subprocess.run([os.path.join(SHARE, program)] + arguments, env=environment,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              universal_newlines=True)
        read = lambda suffix: (open(record + suffix).read().splitlines()
                               if os.path.exists(record + suffix) else None)
        return proc, read(".open"), read(".runuser")
    run.bin_dir = bin_dir
    return run


URL = "http://127.0.0.1:8080/larder?name=a b&password=p'q&path=/$basearch/"


@pytest.mark.parametrize("program, uid, env, user", [
    ("webbrowser", 1000, {}, "root"),  # not root: as is, no switch
    ("mimeviewer", 1000, {}, "root"),
    ("webbrowser", 0, {"PKEXEC_UID": "1234"}, "alice"),
    ("mimeviewer", 0, {"SUDO_UID": "1234"}, "alice"),
] + [("webbrowser", 0, env, None) for env in (
    {}, {"SUDO_UID": "0"}, {"PKEXEC_UID": "99"}, {"PKEXEC_UID": "12x"},
    {"PKEXEC_UID": "", "SUDO_UID": ""})])
def test_opens_as_the_invoking_user_never_as_root(run, program, uid, env, user):
    # --check says whether it would open, and opens nothing.
    proc, opened, switched = run(program, "--check", uid, **env)
    assert (proc.returncode, opened, switched) == (0 if user else 1, None, None)
    proc, opened, switched = run(program, URL, uid, **env)
    if user is None:
        assert proc.returncode == 1 and "not opening" in proc.stderr
        assert opened is None and switched is None
        return
    assert proc.returncode == 0, proc.stderr
    home = "/root" if user == "root" else "/home/" + user
    assert opened == [URL, "HOME=%s USER=%s DISPLAY=:5" % (home, user)]
    assert (switched or [])[:3] == ([] if uid else ["-u", user, "--"])


def test_viewer_takes_the_type_as_a_hint(run):
    proc, opened, _ = run("mimeviewer", ["application/pdf", "/doc/manual.pdf"], 1000)
    assert proc.returncode == 0, proc.stderr
    assert opened[0] == "/doc/manual.pdf"


def test_without_an_opener_says_so(run):
    os.unlink(os.path.join(run.bin_dir, "xdg-open"))
    # Only the stand-ins on PATH: the machine's own opener must not count.
    proc, opened, _ = run("webbrowser", URL, 1000, PATH=str(run.bin_dir))
    assert proc.returncode == 1
    assert "xdg-open" in proc.stderr and opened is None
