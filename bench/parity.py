#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""The parity harness: Vux against dnf on seeded random worlds.

For each seed, parityworld.py builds a world (real RPMs in three
repositories, a root with some of them installed by dnf and one group
installed with dnf's group install). Then, each time in fresh copies of
that root:

- the table: every row Vux shows (vux-parity, the engine and the main
  window's table without the window) against dnf's own lists (`dnf list
  --installed`, `--available`, `--upgrades`, `--obsoletes`, `dnf group
  list`) and, for the updates, the transaction dnf's solver makes for `dnf
  upgrade`;
- requests, made once through Vux (marked as a user marks them, applied,
  the confirmation accepted at once) and once with `dnf -y` in the other
  copy: "Set Update of All Out-of-Date" against `dnf upgrade`, the install
  of a random available package, the removal of a random installed one,
  a group install, a group removal and a group update, the reinstall of an
  installed package, its downgrade to an older version, a hold of an
  out-of-date package followed by "Set Update of All Out-of-Date" (`dnf
  versionlock add` and `dnf upgrade`, dnf with its version-lock plugin) and
  the undo of the newest transaction; afterwards the two
  roots' `rpm -qa`, the reasons dnf keeps for the installed packages, `dnf
  group list --installed` and the last `dnf history` entry's actions must
  agree.

Every difference is printed with the seed, the world's summary and both
sides. Differences that are intended are listed in INTENDED below, each
with the place in doc/parity.md that gives its reason; they are printed,
marked as such, and do not fail the run.

    parity.py [--seeds 1,2,3 | --first N --count N] [--vux PATH] [--jobs N]
              [--keep DIR] [--quiet]

Exit status 0 when no unlisted difference was found, 1 otherwise, 2 when
the harness itself could not run (a world that did not build, a program
that failed).
"""

import argparse
import concurrent.futures
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(HERE)
sys.path.insert(0, HERE)

import parityworld  # noqa: E402
import sandbox  # noqa: E402  (parityworld put scripts/ on the path)

# Differences that are intended: (identifier, where doc/parity.md gives the
# reason, a test on a difference). A difference that one of them matches is
# reported as intended and does not fail the run.
INTENDED = (
    # "Set Update of All Out-of-Date" marks the out-of-date installed groups
    # too: their update is dnf's group upgrade, which "dnf upgrade" leaves
    # out. The packages agree; dnf's history has the group's upgrade more
    # (after a hold too).
    ("group upgrade in update all", "doc/parity.md#update-all-updates-groups",
     lambda d: d.part.endswith("update all") and d.what == "history" and not d.dnf
     and all(e.startswith("Upgrade @") for e in _side(d.vux))),
    # dnf's lists weigh repository priorities otherwise than its upgrade:
    # "dnf list --obsoletes" names a package that obsoletes an installed one
    # although a repository of higher priority offers the installed version
    # (the upgrade keeps it), "dnf list --upgrades" leaves out a newer
    # version in a repository of lower priority when one of higher priority
    # has only older versions (the upgrade takes it). The table shows what
    # the upgrade does.
    ("the table follows dnf upgrade", "doc/parity.md#the-table-follows-dnf-upgrade",
     lambda d: d.tag == "lists disagree with upgrade"),
)

# The seeds CTest checks (parity_small): between them every kind of package
# a world has (an install-only package, renames, one of them outranked by
# priority, multilib pairs, architecture switches, epochs, packages only
# downgradable or in no repository), a repository of lower priority and one
# of higher cost, an excluded package, and each kind of request.
CI_SEEDS = (5, 36)


class HarnessError(Exception):
    """The harness could not do its part (not a difference)."""


# ---------------------------------------------------------------------------
# Running things


def run(cmd, what, check=True, env=None):
    proc = subprocess.run(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, universal_newlines=True, env=env)
    if check and proc.returncode != 0:
        raise HarnessError("%s failed (exit %d): %s\n%s%s" % (
            what, proc.returncode, " ".join(cmd), proc.stdout[-2000:], proc.stderr[-2000:]))
    return proc


def dnf(root, *args, check=True):
    return run(sandbox.dnf_command(root, *args), "dnf " + " ".join(args), check)


def copy_root(source, target):
    run(["cp", "-a", "--", source, target], "copying a root")
    return target


def vux(program, root, *request):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen",
               VUXSHARE=os.environ.get("VUXSHARE", os.path.join(SOURCE_DIR, "share")))
    proc = run([program, root] + list(request), "vux-parity", check=False, env=env)
    try:
        result = json.loads(proc.stdout)
    except ValueError:
        result = None
    if proc.returncode != 0 or result is None or "rows" not in result:
        raise HarnessError("vux-parity %s failed (exit %d):\n%s%s" % (
            " ".join(request), proc.returncode, proc.stdout[-3000:], proc.stderr[-3000:]))
    return result


# ---------------------------------------------------------------------------
# dnf's answers


def _lines(text):
    """The package lines of dnf's list output, with wrapped lines joined:
    (section, [fields]). A line that starts with blanks continues the one
    before (dnf wraps long names) or, in the obsoletes list, names the
    package obsoleted."""
    section = None
    items = []
    pending = []
    for line in text.splitlines():
        if not line.strip():
            continue
        if not line.startswith(" ") and len(line.split()) <= 3 and line.rstrip().endswith(
                ("Packages", "Upgrades")):
            section = line.strip()
            continue
        indented = line.startswith(" ")
        fields = line.split()
        if pending and len(pending) < 3:
            pending += fields
            if len(pending) >= 3:
                items.append((section, pending, False))
                pending = []
            continue
        if len(fields) < 3:
            pending = fields
            continue
        items.append((section, fields, indented))
    return items


def _nevra(fields):
    name, _dot, arch = fields[0].rpartition(".")
    return name, arch, fields[1], fields[2]


def dnf_table(root):
    """dnf's lists: installed [(name, arch, evr, repo)], available,
    upgrades, obsoletes [(new, old)], groups {"installed", "available"}."""
    table = {}
    for key in ("installed", "available", "upgrades"):
        out = dnf(root, "list", "--" + key).stdout
        table[key] = [_nevra(fields) for _s, fields, _i in _lines(out)]
    obsoletes = []
    current = None
    for _section, fields, indented in _lines(dnf(root, "list", "--obsoletes").stdout):
        if indented and current:
            obsoletes.append((current, _nevra(fields)))
        else:
            current = _nevra(fields)
    table["obsoletes"] = obsoletes
    table["groups"] = dnf_groups(root, everything=True)
    table["plan"] = upgrade_plan(root)
    # Every version the repositories have, for reinstalls and downgrades.
    table["repositories"] = sorted(set(tuple(line.split()) for line in dnf(
        root, "repoquery", "--qf", "%{name} %{arch} %{evr}").stdout.splitlines() if line))
    return table


def upgrade_plan(root):
    """What "dnf upgrade" would do on the root, from dnf's own solver (in a
    process of its own): [{"name", "arch", "evr", "repo", "replaces":
    [[name, arch, evr], ...]}] for each package it would install or upgrade
    to; an install-only package's new version replaces nothing."""
    out = run([sys.executable, os.path.abspath(__file__), "--upgrade-plan", root],
              "dnf's upgrade plan").stdout
    return json.loads(out)


def _print_upgrade_plan(root):
    base = sandbox.dnf_base(root)
    try:
        base.upgrade_all()
        base.resolve()
        goal = base._goal

        def evr(pkg):
            return "%d:%s-%s" % (pkg.epoch, pkg.version, pkg.release) if pkg.epoch \
                else "%s-%s" % (pkg.version, pkg.release)

        plan = []
        for pkg in list(goal.list_upgrades()) + list(goal.list_installs()):
            plan.append({"name": pkg.name, "arch": pkg.arch, "evr": evr(pkg),
                         "repo": pkg.reponame,
                         "replaces": [[old.name, old.arch, evr(old)]
                                      for old in goal.obsoleted_by_package(pkg)]})
        print(json.dumps(plan))
    finally:
        base.close()


def dnf_groups(root, everything=False):
    out = dnf(root, "group", "list", *(() if everything else ("--installed",))).stdout
    groups = {"installed": [], "available": []}
    section = None
    for line in out.splitlines():
        if line.startswith("Installed Groups"):
            section = "installed"
        elif line.startswith("Available Groups"):
            section = "available"
        elif line.startswith("   ") and section:
            groups[section].append(line.strip())
    return groups if everything else sorted(groups["installed"])


def outcome(root):
    """What a request left: the packages, their reasons, the installed
    groups and the last history entry's actions."""
    reasons = {}
    for line in dnf(root, "repoquery", "--installed", "--qf",
                    "%{name}-%{epoch}:%{version}-%{release}.%{arch} %{reason}").stdout.splitlines():
        nevra, _sep, reason = line.partition(" ")
        reasons[nevra] = reason
    history = []
    altered = False
    for line in dnf(root, "history", "info", "last").stdout.splitlines():
        if line.startswith("Packages Altered"):
            altered = True
        elif altered and line.startswith("    "):
            fields = line.split()
            history.append(" ".join(fields[:2]))
        elif altered:
            altered = False
    packages = run(["rpm", "--root", root, "-qa", "--qf",
                    "%{name}-%{epochnum}:%{version}-%{release}.%{arch}\\n"], "rpm -qa").stdout
    return {"packages": sorted(packages.split()), "reasons": reasons,
            "groups": dnf_groups(root), "history": sorted(history)}


# ---------------------------------------------------------------------------
# Comparison


def evr_key(evr):
    import rpm
    epoch, _colon, vr = evr.rpartition(":")
    version, _dash, release = vr.rpartition("-")
    return rpm.labelCompare, (epoch or "0", version, release)


def evr_newer(a, b):
    compare, left = evr_key(a)
    _compare, right = evr_key(b)
    return compare(left, right) > 0


def arch_compatible(a, b):
    return a == b or "noarch" in (a, b)


def _side(value):
    """A side of a difference without the confirmation added to it."""
    return value.get("difference") if isinstance(value, dict) else value


class Difference:
    def __init__(self, part, what, vux=None, dnf=None, tag=None):
        self.part = part  # "table" or the request
        self.what = what
        self.vux = vux
        self.dnf = dnf
        self.tag = tag  # what compare_table knows of its cause
        self.intended = None

    def text(self):
        lines = ["%s: %s" % (self.part, self.what)]
        if self.intended:
            lines[0] += "  [intended: %s]" % self.intended
        for side, value in (("vux", self.vux), ("dnf", self.dnf)):
            if value is not None:
                shown = value if isinstance(value, str) else json.dumps(value, sort_keys=True)
                lines.append("    %s: %s" % (side, shown))
        return "\n".join(lines)


def _row_text(row):
    return "%s %s %s %s %s [%s]" % (row["state"], row["name"], row.get("arch", ""),
                                     row.get("version", ""), row.get("repo", ""),
                                     ", ".join("%s-%s.%s" % (i["name"], i["version"], i["arch"])
                                               for i in row.get("installed", [])))


def compare_table(rows, table):
    """Vux's rows against what dnf says the table must hold: its lists, and
    for the updates what "dnf upgrade" would do (table["plan"]); where dnf's
    lists name other updates than its upgrade makes, the table follows the
    upgrade and the lists' view is noted as an intended difference."""
    diffs = []
    packages = [r for r in rows if r["kind"] != "group"]
    installed = {}
    for name, arch, evr, repo in table["installed"]:
        installed.setdefault((name, arch), []).append(evr)
    available = {}
    for name, arch, evr, repo in table["available"]:
        available.setdefault((name, arch, evr), set()).add(repo)
    listed = {}  # installed (name, arch) -> what dnf's lists offer for it
    for name, arch, evr, _repo in table["upgrades"]:
        for key in installed:
            if key[0] == name and arch_compatible(arch, key[1]):
                listed.setdefault(key, set()).add((name, arch, evr))
    for new, old in table["obsoletes"]:
        listed.setdefault((old[0], old[1]), set()).add(new[:3])
    planned = {}  # installed (name, arch) -> (name, arch, evr, repo) of its update
    for item in table["plan"]:
        update = (item["name"], item["arch"], item["evr"], item["repo"])
        replaces = [tuple(r[:2]) for r in item["replaces"]] or [
            key for key in installed if key[0] == item["name"] and key[1] == item["arch"]]
        for key in replaces:
            planned[key] = update
    used = set()

    def take(test, what, dnfSide):
        found = [r for r in packages if test(r)]
        if len(found) != 1:
            diffs.append(Difference("table", what, [_row_text(r) for r in found] or "no row",
                                    dnfSide))
        for row in found:
            used.add(row["row"])
        return found[0] if len(found) == 1 else None

    # Every installed name and architecture: one row, updatable when dnf's
    # upgrade would update or replace it, showing that package.
    updateKeys = set()
    for (name, arch), versions in sorted(installed.items()):
        newest = max(versions, key=_Ord)
        best = planned.get((name, arch))
        offeredByLists = listed.get((name, arch), set())
        if (best[:3] if best else None) not in offeredByLists and (best or offeredByLists):
            diffs.append(Difference(
                "table", "%s.%s: dnf's lists offer %s, dnf upgrade does %s" % (
                    name, arch, sorted("%s-%s.%s" % (n, e, a) for n, a, e in offeredByLists)
                    or "nothing", "%s-%s.%s" % (best[0], best[2], best[1]) if best else "nothing"),
                tag="lists disagree with upgrade"))
        if best:
            if best[0] == name:
                updateKeys.add(best[:3])
            tip = "" if best[0] == name else best[0]
            take(lambda r, name=name, best=best, tip=tip:
                 r["state"] == "updatable" and r["name"] == name and r["version"] == best[2]
                 and r["arch"] == best[1] and r["repo"] == best[3] and tip in r.get("tip", ""),
                 "%s.%s %s: the update %s-%s.%s" % (name, arch, newest, best[0], best[2], best[1]),
                 "%s-%s.%s from %s" % (best[0], best[2], best[1], best[3]))
        else:
            take(lambda r, name=name, arch=arch, newest=newest:
                 r["state"] == "installed" and r["name"] == name and r["arch"] == arch
                 and r["version"] == newest,
                 "%s.%s %s installed and up to date" % (name, arch, newest),
                 "%s-%s.%s" % (name, newest, arch))
        # View Removable reaches every installed version, each in one row.
        for evr in versions:
            found = [r for r in packages if r.get("removable")
                     and r["removable"]["name"] == name and r["removable"]["arch"] == arch
                     and r["removable"]["version"] == evr]
            if evr != newest:
                for r in found:
                    used.add(r["row"])
            if len(found) != 1:
                diffs.append(Difference(
                    "table", "%s-%s.%s in View Removable" % (name, evr, arch),
                    [_row_text(r) + " shown as %s" % r["removable"] for r in packages
                     if r["name"] == name] or "no row",
                    "installed %s-%s.%s" % (name, evr, arch)))

    # Every package dnf offers to install that is no upgrade of an installed one.
    for (name, arch, evr), repos in sorted(available.items()):
        if (name, arch, evr) in updateKeys:
            continue
        take(lambda r, name=name, arch=arch, evr=evr, repos=repos:
             r["state"] == "available" and r["name"] == name and r["arch"] == arch
             and r["version"] == evr and r["repo"] in repos,
             "%s-%s.%s available" % (name, evr, arch),
             "%s-%s.%s from %s" % (name, evr, arch, "/".join(sorted(repos))))

    for row in packages:
        if row["row"] not in used:
            diffs.append(Difference("table", "a row dnf does not list", _row_text(row)))

    groups = {r["name"]: r["state"] for r in rows if r["kind"] == "group"}
    for state, names in table["groups"].items():
        for name in names:
            shown = groups.pop(name, None)
            fits = (shown == "available") if state == "available" else shown in (
                "installed", "updatable")
            if not fits:
                diffs.append(Difference("table", "group %s" % name, shown or "no row", state))
    for name, shown in groups.items():
        diffs.append(Difference("table", "group %s" % name, shown, "not listed"))
    return diffs


class _Ord:
    """An evr as a sort key."""

    def __init__(self, evr):
        self.key = evr_key(evr)[1]

    def __lt__(self, other):
        import rpm
        return rpm.labelCompare(self.key, other.key) < 0


def compare_outcomes(part, vuxSide, dnfSide):
    diffs = []
    vuxOut, dnfOut = vuxSide["outcome"], dnfSide["outcome"]
    # Both failing is agreement, whatever each says.
    if bool(vuxSide["failed"]) != bool(dnfSide["failed"]):
        diffs.append(Difference(part, "one side failed", vuxSide["failed"] or "applied",
                                dnfSide["failed"] or "applied"))
    for key in ("packages", "groups", "history"):
        left, right = set(vuxOut[key]), set(dnfOut[key])
        if left != right:
            diffs.append(Difference(part, key, sorted(left - right), sorted(right - left)))
    reasons = {n: (r, dnfOut["reasons"].get(n)) for n, r in vuxOut["reasons"].items()
               if n in dnfOut["reasons"] and dnfOut["reasons"][n] != r}
    if reasons:
        diffs.append(Difference(part, "reasons",
                                {n: v for n, (v, _d) in sorted(reasons.items())},
                                {n: d for n, (_v, d) in sorted(reasons.items())}))
    return diffs


# ---------------------------------------------------------------------------
# One seed


def _nevra_arg(name, evr, arch):
    return "%s-%s.%s" % (name, evr if ":" in evr else "0:" + evr, arch)


def requests(seed, table):
    """The requests of a seed: (name, vux arguments, dnf commands), "update
    all" first; each dnf command is (arguments, whether dnf loads its
    version-lock plugin). A group update is asked only of a group that Vux
    shows out of date (the caller drops it otherwise)."""
    return [(part, vuxArgs, [(args, False)]) for part, vuxArgs, args in _requests(seed, table)] \
        + _versionRequests(seed, table)


def _versionRequests(seed, table):
    """Reinstall, downgrade, hold then update all, and undo (drawn apart from
    the others, so that a seed's other requests stay as they were)."""
    rng = random.Random(seed * 7919 + 2)
    result = []
    newest = {}
    for name, arch, evr, _repo in table["installed"]:
        if name != parityworld.RELEASE_PACKAGE and (
                (name, arch) not in newest or evr_newer(evr, newest[(name, arch)])):
            newest[(name, arch)] = evr
    installed = sorted((n, a, e) for (n, a), e in newest.items())
    offered = set(table["repositories"])
    same = [p for p in installed if p in offered]
    if same:
        name, arch, evr = rng.choice(same)
        result.append(("reinstall %s-%s.%s" % (name, evr, arch),
                       ["--reinstall", name, evr, arch],
                       [(["reinstall", _nevra_arg(name, evr, arch)], False)]))
    older = sorted((n, a, e, oa, oe) for n, a, e in installed for on, oa, oe in offered
                   if on == n and arch_compatible(a, oa) and evr_newer(e, oe))
    if older:
        name, arch, evr, toArch, toEvr = rng.choice(older)
        result.append(("downgrade %s-%s.%s to %s" % (name, evr, arch, toEvr),
                       ["--downgrade", name, evr, arch, toEvr],
                       [(["downgrade", _nevra_arg(name, toEvr, toArch)], False)]))
    planned = sorted({tuple(r[:2]) for item in table["plan"] for r in item["replaces"]}
                     | {(i["name"], i["arch"]) for i in table["plan"] if not i["replaces"]})
    held = [(n, a) for n, a in planned if (n, a) in newest]
    if held:
        name, arch = rng.choice(held)
        evr = newest[(name, arch)]
        result.append(("hold %s-%s.%s, update all" % (name, evr, arch),
                       ["--hold-update", name, evr, arch],
                       [(["versionlock", "add", _nevra_arg(name, evr, arch)], True),
                        (["upgrade"], True)]))
    result.append(("undo last", ["--undo-last"], [(["history", "undo", "last"], False)]))
    return result


def _requests(seed, table):
    rng = random.Random(seed * 7919 + 1)
    result = [("update all", ["--update-all"], ["upgrade"])]
    installedKeys = {(n, a) for n, a, _e, _r in table["installed"]}
    upgradeKeys = {(n, a, e) for n, a, e, _r in table["upgrades"]}
    fresh = sorted({(n, a, e) for n, a, e, _r in table["available"]
                    if (n, a) not in installedKeys and (n, a, e) not in upgradeKeys})
    if fresh:
        name, arch, _evr = rng.choice(fresh)
        result.append(("install %s.%s" % (name, arch), ["--install", name, arch],
                       ["install", "%s.%s" % (name, arch)]))
    removable = sorted((n, a, e) for n, a, e, _r in table["installed"]
                       if n != parityworld.RELEASE_PACKAGE)
    if removable:
        name, arch, evr = rng.choice(removable)
        result.append(("remove %s-%s.%s" % (name, evr, arch), ["--remove", name, evr, arch],
                       ["remove", "%s-%s.%s" % (name, evr if ":" in evr else "0:" + evr, arch)]))
    available = sorted(table["groups"]["available"])
    installed = sorted(table["groups"]["installed"])
    if available:
        name = rng.choice(available)
        result.append(("group install %s" % name, ["--group-install", name],
                       ["group", "install", table["groupIds"][name]]))
    if installed:
        name = rng.choice(installed)
        result.append(("group remove %s" % name, ["--group-remove", name],
                       ["group", "remove", table["groupIds"][name]]))
        result.append(("group update %s" % name, ["--group-update", name],
                       ["group", "upgrade", table["groupIds"][name]]))
    return result


def check_seed(seed, program, workdir, log):
    """Differences found on the world of seed: (summary, [Difference])."""
    world = parityworld.World(seed)
    started = time.monotonic()
    summary = world.build(os.path.join(workdir, "world"))
    root = summary["root"]
    table = dnf_table(root)
    table["groupIds"] = {g["name"]: g["id"] for g in world.groups}
    diffs = []
    rows = None
    for index, (part, vuxArgs, dnfArgs) in enumerate(requests(seed, table)):
        if vuxArgs[0] == "--group-update" and not any(
                r["kind"] == "group" and r["name"] == vuxArgs[1] and r["state"] == "updatable"
                for r in rows):
            continue
        vroot = copy_root(root, os.path.join(workdir, "vux-%d" % index))
        droot = copy_root(root, os.path.join(workdir, "dnf-%d" % index))
        result = vux(program, vroot, *vuxArgs)
        if rows is None:
            rows = result["rows"]
            diffs += compare_table(rows, table)
        vuxSide = {"failed": None}
        # Nothing out of date is no difference: dnf's upgrade must then
        # change nothing either.
        if not result.get("marked") and vuxArgs[0] not in ("--update-all", "--hold-update"):
            diffs.append(Difference(part, "Vux has no row to mark for it",
                                    "no row", " ".join(dnfArgs[-1][0])))
            continue
        if vuxArgs[0] == "--hold-update" and result.get("holdFailed"):
            diffs.append(Difference(part, "the hold failed", result["errors"], "held"))
            continue
        if result.get("marked") and not result.get("applied"):
            texts = [d["text"] for d in result["dialogs"] if not d["accepted"]]
            vuxSide["failed"] = " / ".join(texts) or "not applied"
        dnfSide = {"failed": None}
        for args, holds in dnfArgs:
            proc = run(sandbox.dnf_command(droot, *args, holds=holds), "dnf", check=False)
            if proc.returncode != 0:
                dnfSide["failed"] = proc.stderr.strip() or "exit %d" % proc.returncode
                break
        vuxSide["outcome"] = outcome(vroot)
        dnfSide["outcome"] = outcome(droot)
        found = compare_outcomes(part, vuxSide, dnfSide)
        if found:
            confirmations = [d["text"] for d in result["dialogs"] if d["accepted"]]
            if confirmations:
                found[0].vux = {"difference": found[0].vux, "confirmation": confirmations[-1]}
        diffs += found
        shutil.rmtree(vroot)
        shutil.rmtree(droot)
    for diff in diffs:
        for ident, reason, test in INTENDED:
            if test(diff):
                diff.intended = "%s (%s)" % (ident, reason)
                break
    if log:
        log("seed %d: %d differences (%d unlisted) in %.1f s"
            % (seed, len(diffs), sum(1 for d in diffs if not d.intended),
               time.monotonic() - started))
    return summary, diffs


def seed_job(args):
    seed, program, keep = args
    workdir = tempfile.mkdtemp(prefix="vux-parity-%d-" % seed, dir=keep)
    try:
        summary, diffs = check_seed(seed, program, workdir, None)
        return seed, summary, [(d.text(), bool(d.intended)) for d in diffs], None
    except (HarnessError, sandbox.SandboxError, OSError) as error:
        return seed, None, [], str(error)
    finally:
        if not keep:
            shutil.rmtree(workdir, ignore_errors=True)


def report(seed, summary, diffs, out):
    print("=" * 78, file=out)
    print("seed %d: %d differences" % (seed, len(diffs)), file=out)
    print("world: %s" % json.dumps({k: v for k, v in summary.items() if k != "root"},
                                   sort_keys=True), file=out)
    for text, _intended in diffs:
        print(text, file=out)


def find_program(path):
    for candidate in ([path] if path else
                      [os.path.join(SOURCE_DIR, "build", "bench", "vux-parity")]):
        if candidate and os.access(candidate, os.X_OK):
            return os.path.abspath(candidate)
    raise HarnessError("vux-parity not found (build the target vux-parity, or give --vux)")


def main(argv=None):
    argv = sys.argv[1:] if argv is None else argv
    if argv[:1] == ["--upgrade-plan"] and len(argv) == 2:
        _print_upgrade_plan(argv[1])
        return 0
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--seeds", help="comma-separated seeds (default: %s)"
                        % ",".join(map(str, CI_SEEDS)))
    parser.add_argument("--first", type=int, default=1)
    parser.add_argument("--count", type=int, help="seeds FIRST to FIRST+COUNT-1")
    parser.add_argument("--vux", help="the vux-parity program (default build/bench/vux-parity)")
    parser.add_argument("--jobs", type=int, default=1, help="seeds checked at once")
    parser.add_argument("--keep", help="build the worlds under this directory and keep them")
    parser.add_argument("--quiet", action="store_true", help="print differences only")
    args = parser.parse_args(argv)
    if args.count:
        seeds = list(range(args.first, args.first + args.count))
    elif args.seeds:
        seeds = [int(s) for s in args.seeds.split(",") if s]
    else:
        seeds = list(CI_SEEDS)
    try:
        program = find_program(args.vux)
    except HarnessError as error:
        print("parity.py: %s" % error, file=sys.stderr)
        return 2
    if args.keep:
        os.makedirs(args.keep, exist_ok=True)
    # A copy of the program: a build while the run lasts leaves it alone.
    copy = tempfile.mkdtemp(prefix="vux-parity-program-")
    program = shutil.copy2(program, os.path.join(copy, "vux-parity"))
    try:
        return run_seeds(args, seeds, program)
    finally:
        shutil.rmtree(copy, ignore_errors=True)


def run_seeds(args, seeds, program):
    started = time.monotonic()
    unlisted = intended = 0
    broken = []
    jobs = [(seed, program, args.keep) for seed in seeds]
    with concurrent.futures.ProcessPoolExecutor(max(1, args.jobs)) as pool:
        for seed, summary, diffs, error in pool.map(seed_job, jobs):
            if error:
                broken.append(seed)
                print("seed %d: the harness failed: %s" % (seed, error), file=sys.stderr)
                continue
            unlisted += sum(1 for _t, i in diffs if not i)
            intended += sum(1 for _t, i in diffs if i)
            if diffs:
                report(seed, summary, diffs, sys.stdout)
            elif not args.quiet:
                print("seed %d: no difference" % seed)
            sys.stdout.flush()
    print("%d seeds in %.0f s: %d unlisted differences, %d intended, %d seeds not checked"
          % (len(seeds), time.monotonic() - started, unlisted, intended, len(broken)))
    if broken:
        return 2
    return 1 if unlisted else 0


if __name__ == "__main__":
    sys.exit(main())
