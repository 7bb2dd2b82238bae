# SPDX-License-Identifier: GPL-2.0-or-later
"""The source archive the build makes carries packaging/vux.spec, from which
rpmbuild builds an RPM; the RPM installs into a sandbox root with a
complete, valid tree."""

import glob
import os
import shutil

from install_support import BINARY_DIR, HOMEPAGE, SOURCE_DIR, VERSION, check_tree, run

# A fixed place in the build tree (and ccache with it as base directory), so
# that building again recompiles only what changed.
TOPDIR = os.path.join(BINARY_DIR, "rpm-package-test")


def rpmbuild_environment():
    env = dict(os.environ)
    if shutil.which("ccache"):
        env.update(CMAKE_CXX_COMPILER_LAUNCHER="ccache", CCACHE_BASEDIR=TOPDIR,
                   CCACHE_NOHASHDIR="1")
    return env


def test_rpm_builds_and_installs_into_a_sandbox_root(tmp_path):
    shutil.rmtree(TOPDIR, ignore_errors=True)
    os.makedirs(os.path.join(TOPDIR, "SOURCES"))
    result = run(["cpack", "--config", os.path.join(BINARY_DIR, "CPackSourceConfig.cmake"),
                  "-B", os.path.join(TOPDIR, "SOURCES")])
    assert result.returncode == 0, result.stdout + result.stderr
    archive = os.path.join(TOPDIR, "SOURCES", "vux-%s.tar.gz" % VERSION)
    listing = run(["tar", "tzf", archive]).stdout.splitlines()
    assert "vux-%s/packaging/vux.spec" % VERSION in listing
    top = "vux-%s/" % VERSION
    assert not [p for p in listing if not p.startswith(top) or p.startswith(top + "build/")
                or "__pycache__" in p or p.rstrip("/") == top + ".git" or "/.git/" in p]

    # The build recipe a packager finds in the archive, configured by the build.
    spec = os.path.join(TOPDIR, "vux.spec")
    with open(spec, "w") as f:
        f.write(run(["tar", "xzOf", archive, "vux-%s/packaging/vux.spec" % VERSION]).stdout)
    command = ["rpmbuild", "-bb", "--nodeps", "--define", "_topdir " + TOPDIR,
               "--define", "_smp_mflags -j2", "--define", "debug_package %{nil}"]
    if run(["rpm", "--eval", "%{?cmake:yes}"]).stdout.strip() != "yes":
        # Fedora's cmake macros, where this rpmbuild has none.
        command += ["--load", os.path.join(SOURCE_DIR, "tests", "install", "cmake.macros")]
    result = run(command + [spec], env=rpmbuild_environment(), timeout=1500)
    assert result.returncode == 0, result.stdout[-6000:] + result.stderr[-4000:]
    [package] = glob.glob(os.path.join(TOPDIR, "RPMS", "*", "vux-%s-*.rpm" % VERSION))

    requires = run(["rpm", "-qp", "--requires", package]).stdout.split()
    assert run(["rpm", "-qp", "--qf", "%{URL}", package]).stdout == HOMEPAGE
    assert {"python3-dnf", "python3-rpm", "polkit"} <= set(requires)

    root = str(tmp_path / "root")
    result = run(["rpm", "--root", root, "--nodeps", "-i", package])
    assert result.returncode == 0, result.stderr
    assert run(["rpm", "--root", root, "-q", "vux"]).stdout.startswith("vux-%s-" % VERSION)
    listed = {p for p in run(["rpm", "-qlp", package]).stdout.split()}
    installed = check_tree(root, "/usr")
    package_files = {p for p in installed if not p.startswith("/usr/lib/.build-id/")}
    assert package_files <= listed
    assert not [p for p in listed if not p.startswith("/usr/")]
    shutil.rmtree(TOPDIR, ignore_errors=True)
