#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""What dnf's own Python API needs for the work of a collection, as a
reference for the engine's figures.

    dnfapi.py ROOT [--no-files | --search]

Prints "key value" lines (wall and processor seconds): the sack load, the
advisories "dnf updateinfo list" lists, seven attributes of every package, the file lists of every package, and (after a
second load with the "other" metadata) the change logs of every package.
--search reads what the table's Search reads of every package, in a plain
loop.
"""

import os
import sys
import time

import dnf
import dnf.rpm
import hawkey


def base_on(root, other=False):
    base = dnf.Base()
    conf = base.conf
    conf.installroot = root
    conf.config_file_path = os.path.join(root, "etc", "yum.conf")
    conf.read(priority=dnf.conf.PRIO_MAINCONFIG)
    conf.reposdir = [os.path.join(root, "etc", "yum.repos.d")]
    conf.releasever = dnf.rpm.detect_releasever(root)
    for option in ("cachedir", "logdir", "persistdir"):
        conf.prepend_installroot(option)
    base.read_all_repos()
    if other:
        for repo in base.repos.iter_enabled():
            repo.load_metadata_other = True
    base.fill_sack(load_system_repo=True)
    return base


class Clock:
    """Wall and processor time since the last lap: prints NAME_seconds and
    NAME_cpu."""

    def __init__(self, out):
        self.out = out
        self.restart()

    def restart(self):
        self.wall = time.monotonic()
        self.cpu = time.process_time()

    def lap(self, name):
        self.out(name + "_seconds", "%.3f" % (time.monotonic() - self.wall))
        self.out(name + "_cpu", "%.3f" % (time.process_time() - self.cpu))
        self.restart()


def search_loop(root, out):
    """What the table's Search reads of every package, read by a plain loop
    through dnf's objects (one load with file lists and change logs)."""
    clock = Clock(out)
    base = base_on(root, other=True)
    clock.lap("api_search_sack")
    count = 0
    for pkg in base.sack.query():
        fields = (pkg.name, pkg.evr, pkg.reponame, pkg.arch, pkg.downloadsize, pkg.summary,
                  pkg.buildtime, pkg.description, pkg.group, pkg.vendor, pkg.installtime,
                  pkg.location, pkg.sourcerpm, pkg.license, pkg.packager, pkg.url,
                  [str(r) for r in pkg.provides], [str(r) for r in pkg.requires],
                  [str(r) for r in pkg.conflicts], [str(r) for r in pkg.obsoletes],
                  pkg.files, pkg.changelogs)
        count += len(fields)
    clock.lap("api_search_loop")
    out("api_search_packages", count // 22)
    base.close()


def main(argv):
    if len(argv) not in (2, 3) or (len(argv) == 3 and argv[2] not in ("--no-files", "--search")):
        print("usage: dnfapi.py ROOT [--no-files | --search]", file=sys.stderr)
        return 2
    root = os.path.abspath(argv[1])
    out = lambda key, value: print("%s %s" % (key, value), flush=True)
    if argv[2:] == ["--search"]:
        search_loop(root, out)
        return 0
    clock = Clock(out)

    base = base_on(root)
    clock.lap("api_sack")
    # What "dnf updateinfo list" works out once the sack is loaded: the
    # advisories of packages newer than the newest installed ones.
    listed = set()
    for apkg in base.sack.query().installed().latest(1).get_advisory_pkgs(hawkey.GT):
        advisory = apkg.get_advisory(base.sack)
        listed.add((apkg.name, advisory.id, advisory.type, advisory.severity))
    clock.lap("api_advisories")
    out("api_advisory_lines", len(listed))
    clock.restart()
    packages = list(base.sack.query())
    clock.restart()
    for pkg in packages:
        (pkg.name, pkg.arch, pkg.evr, pkg.reponame, pkg.summary, pkg.buildtime,
         pkg.downloadsize)
    clock.lap("api_attributes")
    out("api_packages", len(packages))
    if "--no-files" not in argv:
        files = 0
        for pkg in packages:
            files += len(pkg.files)
        clock.lap("api_files")
        out("api_files", files)
    del packages
    base.close()

    clock.restart()
    base = base_on(root, other=True)
    clock.lap("api_other_sack")
    records = 0
    for pkg in base.sack.query():
        records += len(pkg.changelogs)
    clock.lap("api_changelogs")
    out("api_changelog_records", records)
    base.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
