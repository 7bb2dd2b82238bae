# SPDX-License-Identifier: GPL-2.0-or-later
"""An ordinary user on a sandbox root owned by root: the companion script
collects packages with dnf's per-user cache and log directory, and refuses
to clean with dnf's explanation."""

import json
import os
import pwd
import shutil
import subprocess
import sys
import tempfile

import pytest

from script_support import SHARE_PYTHON, SOURCE_DIR

pytestmark = pytest.mark.skipif(
    os.geteuid() != 0 or shutil.which("setpriv") is None,
    reason="needs root and setpriv to run as another user")

# Runs as the user: builds the script object as the engine does and reports.
DRIVER = r"""
import json, sys
import script_support, yumioc_recorder
script = script_support.load_script()
sys.argv = ["vux", "--installroot=" + ROOT, "info"]
yumio = script.YumIO()
yumio.lock()
yumio.setupRepos()
lists = yumio.collectAll()
clean = yumio.cleanPackages()
yumio.unlock()
yumio.flush()
sys.__stdout__.write(json.dumps({
    "cachedir": yumio.conf.cachedir, "logdir": yumio.conf.logdir,
    "installed": sorted(p.name for p in lists.installed),
    "available": sorted(p.name for p in lists.available), "clean": clean,
    "errors": [c[2] for c in yumioc_recorder.calls if c[0] == "errorlog"]}))
"""


@pytest.fixture
def readable_dir():
    """A directory every user may read, with the script and its test helpers
    (the checkout itself may sit in root's home)."""
    top = tempfile.mkdtemp(prefix="vux-unprivileged-")
    os.chmod(top, 0o755)
    tree = os.path.join(top, "tree")
    shutil.copytree(SHARE_PYTHON, os.path.join(tree, "share", "python"),
                    ignore=shutil.ignore_patterns("__pycache__"))
    shutil.copytree(os.path.join(SOURCE_DIR, "tests", "pytest"),
                    os.path.join(tree, "tests", "pytest"),
                    ignore=shutil.ignore_patterns("__pycache__"))
    os.makedirs(os.path.join(tree, "scripts"))
    shutil.copy(os.path.join(SOURCE_DIR, "scripts", "sandbox.py"), os.path.join(tree, "scripts"))
    yield top
    shutil.rmtree(top, ignore_errors=True)


def snapshot(root):
    return {os.path.join(top, name) for top, _dirs, files in os.walk(root) for name in files}


def test_ordinary_user_collects_on_a_root_it_may_not_write(readable_dir, start_server):
    import sandbox
    server = start_server()
    root = sandbox.make_root(os.path.join(readable_dir, "root"), url_base=server.url)["root"]
    before = snapshot(root)
    nobody = pwd.getpwnam("nobody")
    result = subprocess.run(
        ["setpriv", "--reuid=%d" % nobody.pw_uid, "--regid=%d" % nobody.pw_gid,
         "--clear-groups", sys.executable, "-c", "ROOT = %r\n%s" % (root, DRIVER)],
        cwd="/", capture_output=True, text=True, timeout=300,
        env=dict(os.environ, PYTHONPATH=os.path.join(readable_dir, "tree", "tests", "pytest"),
                 PYTHONDONTWRITEBYTECODE="1"))
    assert result.returncode == 0, result.stderr
    report = json.loads(result.stdout)
    try:
        # dnf's per-user directory, not the root's /var/cache or /var/log.
        assert report["cachedir"] == report["logdir"]
        assert report["cachedir"].startswith("/var/tmp/dnf-nobody-")
        assert os.stat(report["cachedir"]).st_uid == nobody.pw_uid
        assert os.path.exists(os.path.join(report["cachedir"], "dnf.log"))
        assert snapshot(root) == before
        assert "aurora" in report["installed"] and "ember" in report["available"]
        explanation = ("This command has to be run with superuser privileges "
                       "(under the root user on most systems).")
        assert report["clean"] == [1, [explanation]]
        assert explanation in "".join(report["errors"])
    finally:
        shutil.rmtree(report["cachedir"], ignore_errors=True)
