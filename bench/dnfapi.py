#!/usr/bin/python3
"""What dnf's own Python API needs for the work of a collection, as a
reference for the engine's figures.

    dnfapi.py ROOT

Prints "key value" lines: the sack load, seven attributes of every package,
the file lists of every package, and (after a second load with the "other"
metadata) the change logs of every package.
"""

import os
import sys
import time

import dnf
import dnf.rpm


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


def main(argv):
    if len(argv) != 2:
        print("usage: dnfapi.py ROOT", file=sys.stderr)
        return 2
    root = os.path.abspath(argv[1])
    out = lambda key, value: print("%s %s" % (key, value), flush=True)

    started = time.monotonic()
    base = base_on(root)
    out("api_sack_seconds", "%.3f" % (time.monotonic() - started))
    packages = list(base.sack.query())
    started = time.monotonic()
    for pkg in packages:
        (pkg.name, pkg.arch, pkg.evr, pkg.reponame, pkg.summary, pkg.buildtime,
         pkg.downloadsize)
    out("api_attributes_seconds", "%.3f" % (time.monotonic() - started))
    out("api_packages", len(packages))
    started = time.monotonic()
    files = 0
    for pkg in packages:
        files += len(pkg.files)
    out("api_files_seconds", "%.3f" % (time.monotonic() - started))
    out("api_files", files)
    del packages
    base.close()

    started = time.monotonic()
    base = base_on(root, other=True)
    out("api_other_sack_seconds", "%.3f" % (time.monotonic() - started))
    started = time.monotonic()
    records = 0
    for pkg in base.sack.query():
        records += len(pkg.changelogs)
    out("api_changelogs_seconds", "%.3f" % (time.monotonic() - started))
    out("api_changelog_records", records)
    base.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
