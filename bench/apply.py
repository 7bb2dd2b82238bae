#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Times applying a transaction through Vux's engine against dnf's command.

Builds N small packages into a repository served over HTTP on 127.0.0.1,
makes two identical sandbox roots, installs the N packages into one with
vux-apply-bench (the engine without the window, the confirmation accepted at
once) and into the other with `dnf install -y`, then removes them the same
way. Vux's figure is the apply alone (its start and package collection,
which dnf's command has no counterpart of, are printed apart); dnf's is the
whole command. Target: at most 1.1x dnf's wall time for each.

    bench/apply.py [--packages 50] [--bench build/bench/vux-apply-bench]
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "scripts"))
import sandbox  # noqa: E402

TARGET = 1.1

SPEC_HEAD = """%global debug_package %{nil}
%global _build_id_links none
Name: benchapply
Version: 1.0
Release: 1
Summary: Apply benchmark package
License: MIT
BuildArch: noarch
%description
Apply benchmark.
"""


def build_repo(top, count):
    """N noarch packages benchapply-NN, each with a few files."""
    spec = [SPEC_HEAD]
    install = ["%install"]
    files = []
    for i in range(count):
        name = "benchapply-%03d" % i
        spec.append("%%package -n %s\nSummary: Package %d\n%%description -n %s\nPackage %d.\n"
                    % (name, i, name, i))
        install.append("mkdir -p %%{buildroot}/usr/share/%s" % name)
        for j in range(5):
            install.append("head -c 20000 /dev/zero | tr '\\\\0' '%s' > "
                           "%%{buildroot}/usr/share/%s/file%d" % ("abcdefghij"[j], name, j))
        files.append("%%files -n %s\n/usr/share/%s\n" % (name, name))
    text = "\n".join(spec) + "\n%prep\n%build\n" + "\n".join(install) + "\n" + "\n".join(files)
    path = os.path.join(top, "benchapply.spec")
    with open(path, "w") as f:
        f.write(text)
    rpms = sandbox.build_rpms(path, os.path.join(top, "rpmbuild"))
    rpms = [r for r in rpms if os.path.basename(r).startswith("benchapply-")]
    repo = os.path.join(top, "tree", "bench")
    sandbox.make_repo(repo, rpms)
    return [os.path.basename(r).rsplit("-", 2)[0] for r in rpms]


def make_root(path, url):
    root = sandbox.make_root(path)["root"]
    with open(os.path.join(root, "etc", "yum.repos.d", "bench.repo"), "w") as f:
        f.write("[bench]\nname=Apply benchmark\nbaseurl=%s/bench/\ngpgcheck=0\n" % url)
    return root


def timed(cmd, what):
    start = time.monotonic()
    proc = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    elapsed = time.monotonic() - start
    if proc.returncode != 0:
        sys.exit("apply.py: %s failed:\n%s%s" % (what, proc.stdout, proc.stderr))
    return elapsed, proc.stdout


def vux(bench, root, verb, names):
    _, out = timed([bench, root, verb] + names, "vux-apply-bench %s" % verb)
    values = dict(line.split() for line in out.splitlines() if len(line.split()) == 2)
    return float(values["apply_seconds"]), float(values["total_seconds"])


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--packages", type=int, default=50)
    parser.add_argument("--bench", default=os.path.join(os.path.dirname(HERE), "build", "bench",
                                                        "vux-apply-bench"))
    args = parser.parse_args(argv)
    if not os.access(args.bench, os.X_OK):
        sys.exit("apply.py: no benchmark program at %s (build the target vux-apply-bench)"
                 % args.bench)
    top = tempfile.mkdtemp(prefix="vux-apply-bench-")
    try:
        names = build_repo(top, args.packages)
        with sandbox.serve(tree=os.path.join(top, "tree")) as server:
            urls = server.url
            vroot = make_root(os.path.join(top, "vux-root"), urls)
            droot = make_root(os.path.join(top, "dnf-root"), urls)
            # Both read the metadata before the clock starts.
            timed(sandbox.dnf_command(droot, "makecache"), "dnf makecache")
            rows = []
            for verb in ("install", "remove"):
                vApply, vTotal = vux(args.bench, vroot, verb, names)
                dnfTime, _ = timed(sandbox.dnf_command(droot, verb, *names), "dnf " + verb)
                rows.append((verb, vApply, vTotal, dnfTime))
            assert sandbox.installed_packages(vroot) == sandbox.installed_packages(droot)
    finally:
        shutil.rmtree(top, ignore_errors=True)
    print("%d packages over HTTP; target: Vux's apply <= %.1fx dnf's command" % (
        args.packages, TARGET))
    print("%-8s %12s %16s %10s %7s %s" % ("", "vux apply s", "vux start+all s", "dnf -y s",
                                           "ratio", "target"))
    for verb, vApply, vTotal, dnfTime in rows:
        ratio = vApply / dnfTime if dnfTime else float("inf")
        print("%-8s %12.2f %16.2f %10.2f %7.2f %s" % (
            verb, vApply, vTotal, dnfTime, ratio, "met" if ratio <= TARGET else "MISSED"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
