#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""A long package history for the History window's benchmark.

    history.py ROOT [--transactions N]

Writes N transactions into dnf's history database of ROOT (its persistence
directory, var/lib/dnf), through libdnf's own Swdb API as dnf writes a
transaction: the items are added, the transaction begun, each item marked
done, the transaction ended. What they hold is shaped like years of a
desktop's life: mostly updates of a few to a few dozen packages at a time
(each an Upgrade and an Upgraded item), installs with their dependencies,
removals with what they leave unneeded, now and then a reinstall, a
downgrade or a transaction that failed; command lines as dnf and Vux record
them. The same on every run (seeded). The database is written on a memory
file system and copied in whole, as syncing every commit to a disk takes
minutes. Existing history of ROOT is replaced.
"""

import argparse
import glob
import os
import random
import shutil
import sys
import tempfile

import libdnf.transaction as T

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import world  # noqa: E402

SEED = 19
START = 1609459200  # 2021-01-01
DAY = 86400
MARKER = ".vux-bench-history"


class _Package:
    def __init__(self, name, version, release, arch):
        self.name, self.version, self.release, self.arch = name, version, release, arch
        self.epoch = 0


def _later(pkg, rng):
    """The package's next release, sometimes a new version."""
    if rng.random() < 0.3:
        parts = pkg.version.split(".")
        parts[-1] = str(int(parts[-1]) + 1) if parts[-1].isdigit() else parts[-1] + ".1"
        return _Package(pkg.name, ".".join(parts), "1", pkg.arch)
    return _Package(pkg.name, pkg.version, str(int(pkg.release) + 1), pkg.arch)


def _item(swdb, pkg, repo, action, reason):
    rpm = swdb.createRPMItem()
    rpm.setName(pkg.name)
    rpm.setEpoch(pkg.epoch)
    rpm.setVersion(pkg.version)
    rpm.setRelease(pkg.release)
    rpm.setArch(pkg.arch)
    return swdb.addItem(rpm, repo, action, reason)


def _nevra(pkg):
    return "%s-%s-%s.%s" % (pkg.name, pkg.version, pkg.release, pkg.arch)


def write(path, count, seed=SEED):
    """count transactions into a new history database at path."""
    rng = random.Random(seed)
    pool = [_Package(p.name, p.version, p.release, world.arch(p))
            for p in world.packages(800, rng)]
    installed = {pkg.name: pkg for pkg in pool[:300]}
    available = pool[300:]
    swdb = T.Swdb(path)
    when = START
    rpmdb = "%d:%040x" % (len(installed), rng.getrandbits(160))
    for _number in range(count):
        when += int(rng.expovariate(1.0 / DAY)) + 60
        swdb.initTransaction()
        items = []  # (item, done)
        kind = rng.random()
        names = sorted(installed)
        if kind < 0.55:
            # An update run.
            chosen = rng.sample(names, min(len(names), 1 + int(rng.expovariate(1 / 12.0))))
            for name in chosen:
                old = installed[name]
                new = _later(old, rng)
                items.append(_item(swdb, new, "updates", T.TransactionItemAction_UPGRADE,
                                   T.TransactionItemReason_USER))
                items.append(_item(swdb, old, "updates", T.TransactionItemAction_UPGRADED,
                                   T.TransactionItemReason_USER))
                installed[name] = new
            words = rng.choice((["upgrade"], ["-y", "upgrade"], ["upgrade", "--refresh"]))
            if rng.random() < 0.15:
                words = ["vux", "upgrade"] + [_nevra(installed[n]) for n in chosen]
        elif kind < 0.8 and available:
            # An install, with dependencies.
            wanted = [available.pop(rng.randrange(len(available)))
                      for _i in range(min(len(available), rng.randint(1, 3)))]
            deps = [available.pop(rng.randrange(len(available)))
                    for _i in range(min(len(available), int(rng.expovariate(1 / 3.0))))]
            for pkg, reason in [(p, T.TransactionItemReason_USER) for p in wanted] + \
                    [(p, T.TransactionItemReason_DEPENDENCY) for p in deps]:
                items.append(_item(swdb, pkg, rng.choice(("fedora", "updates")),
                                   T.TransactionItemAction_INSTALL, reason))
                installed[pkg.name] = pkg
            words = ["install"] + [p.name for p in wanted]
            if rng.random() < 0.15:
                words = ["vux", "install"] + [_nevra(p) for p in wanted]
        elif kind < 0.95 and len(names) > 50:
            # A removal, and what it left unneeded.
            gone = rng.sample(names, rng.randint(1, 4))
            for index, name in enumerate(gone):
                pkg = installed.pop(name)
                items.append(_item(swdb, pkg, "@System", T.TransactionItemAction_REMOVE,
                                   T.TransactionItemReason_USER if index == 0
                                   else T.TransactionItemReason_CLEAN))
                available.append(pkg)
            words = ["remove", gone[0]]
        else:
            # A reinstall or a downgrade.
            name = rng.choice(names)
            pkg = installed[name]
            if rng.random() < 0.5:
                items.append(_item(swdb, pkg, "fedora", T.TransactionItemAction_REINSTALL,
                                   T.TransactionItemReason_USER))
                items.append(_item(swdb, pkg, "fedora", T.TransactionItemAction_REINSTALLED,
                                   T.TransactionItemReason_USER))
                words = ["reinstall", name]
            else:
                older = _Package(name, pkg.version, str(max(1, int(pkg.release) - 1)), pkg.arch)
                items.append(_item(swdb, older, "fedora", T.TransactionItemAction_DOWNGRADE,
                                   T.TransactionItemReason_USER))
                items.append(_item(swdb, pkg, "fedora", T.TransactionItemAction_DOWNGRADED,
                                   T.TransactionItemReason_USER))
                installed[name] = older
                words = ["downgrade", name]
        # Each transaction begins on the package database the last one left.
        begin, rpmdb = rpmdb, "%d:%040x" % (len(installed), rng.getrandbits(160))
        swdb.beginTransaction(when, begin, " ".join(words), 1000, "")
        swdb.setReleasever(str(37 + (when - START) // (200 * DAY)))
        failed = rng.random() < 0.01
        for index, item in enumerate(items):
            item.setState(T.TransactionItemState_ERROR if failed and index == 0
                          else T.TransactionItemState_DONE)
        swdb.endTransaction(when + rng.randint(5, 600), rpmdb,
                            T.TransactionState_ERROR if failed else T.TransactionState_DONE)
        swdb.closeTransaction()
    swdb.closeDatabase()


def ensure(root, count):
    """ROOT's history holds the count transactions of write(); made when it
    holds anything else."""
    persist = os.path.join(root, "var", "lib", "dnf")
    marker = os.path.join(persist, MARKER)
    wanted = "%d %d\n" % (count, SEED)
    try:
        with open(marker) as f:
            if f.read() == wanted:
                return False
    except FileNotFoundError:
        pass
    os.makedirs(persist, exist_ok=True)
    scratch = tempfile.mkdtemp(prefix="vux-history-", dir="/dev/shm"
                               if os.path.isdir("/dev/shm") else None)
    try:
        write(os.path.join(scratch, "history.sqlite"), count)
        for old in glob.glob(os.path.join(persist, "history.sqlite*")):
            os.unlink(old)
        for made in glob.glob(os.path.join(scratch, "history.sqlite*")):
            shutil.copy2(made, persist)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    with open(marker, "w") as f:
        f.write(wanted)
    return True


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("root")
    parser.add_argument("--transactions", type=int, default=1000)
    args = parser.parse_args(argv)
    ensure(args.root, args.transactions)
    return 0


if __name__ == "__main__":
    sys.exit(main())
