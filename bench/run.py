#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""The collection benchmark: Vux's engine against `dnf list --all`.

    run.py [--small] [--packages N] [--real N] [--groups N] [--file-scale F] [--repeat N]
           [--bench PATH] [--cache DIR] [--no-extra] [--no-api] [--no-single-calls]
           [--no-history] [--no-floor] [--transactions N]

Generates (or reuses) the benchmark repositories and root (genrepo.py),
warms the metadata cache, then measures on that cache, each in a process of
its own (wall time, and peak memory from the child's resource usage):

- `dnf list --all` on the root and its configuration;
- the engine's full collection (vux-collect-bench ROOT): interpreter and
  companion script start, repositories, updates, installed and available
  packages, groups, into a filled entry list;
- with the extra data: loading file lists and change logs and asking
  getFiles / getChangeLog of every package;
- the engine's collection without the adapters' one-call rows (the single
  calls the engine falls back to), checked to give the same rows;
- dnf's Python API on the same work, for reference (dnfapi.py);
- the main window's History window over 1,000 transactions that history.py
  writes into the root's history database.
- what the memory targets leave: the files each process maps and its data
  at its peak, and the least ratio the program's own files allow.

--small is a few hundred packages, for the test suite: it checks that every
step ran and printed its figures, never how fast. Exit status 1 when a step
failed.
"""

import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(HERE)
sys.path.insert(0, HERE)

import genrepo  # noqa: E402
import history  # noqa: E402

COLLECT_KEYS = ("collect_seconds", "entries", "updatable", "available", "installed", "groups",
                "advised", "advisories_seconds")
EXTRA_KEYS = ("filelists_load_seconds", "getfiles_seconds", "files",
              "changelogs_load_seconds", "changelogs_load_cpu", "getchangelog_seconds",
              "getchangelog_repo_seconds", "getchangelog_repo_cpu", "getchangelog_installed_cpu",
              "changelog_records")
API_KEYS = ("api_sack_seconds", "api_advisories_seconds", "api_attributes_seconds", "api_files_seconds",
            "api_other_sack_seconds", "api_other_sack_cpu", "api_changelogs_seconds",
            "api_changelogs_cpu")


class StepError(Exception):
    pass


def measure(cmd, env, what):
    """Runs cmd in its own process: (wall seconds, peak RSS in MB, stdout)."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        started = time.monotonic()
        proc = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=out, stderr=err, env=env)
        _pid, status, usage = os.wait4(proc.pid, 0)
        wall = time.monotonic() - started
        proc.returncode = os.waitstatus_to_exitcode(status)
        out.seek(0)
        err.seek(0)
        text = out.read().decode("utf-8", "replace")
        errors = err.read().decode("utf-8", "replace")
    if proc.returncode != 0:
        raise StepError("%s failed (exit %d): %s\n%s" % (what, proc.returncode, " ".join(cmd),
                                                        (errors or text)[-3000:]))
    return wall, usage.ru_maxrss / 1024.0, text


def figures(text, keys, what):
    values = {}
    for line in text.splitlines():
        key, _sep, value = line.partition(" ")
        try:
            values[key] = float(value)
        except ValueError:
            pass
    missing = [k for k in keys if k not in values]
    if missing:
        raise StepError("%s printed no %s:\n%s" % (what, ", ".join(missing), text[-2000:]))
    return values


def dnf_cmd(root, *args):
    # The root's own configuration, as the engine reads it; no plugins, as
    # the engine's script loads none.
    return ["/usr/bin/dnf", "-q", "--noplugins", "--installroot=%s" % root,
            "--config=%s" % os.path.join(root, "etc", "yum.conf"),
            "--setopt=reposdir=%s" % os.path.join(root, "etc", "yum.repos.d")] + list(args)


def find_bench(path, name="vux-collect-bench"):
    candidates = [path] if path else [os.path.join(SOURCE_DIR, "build", "bench", name)]
    for candidate in candidates:
        if candidate and os.access(candidate, os.X_OK):
            return os.path.abspath(candidate)
    raise StepError("%s not found (build it, or give its path): %s"
                    % (name, ", ".join(c for c in candidates if c)))


def row(label, *cells):
    return "%-44s %s" % (label, "  ".join("%14s" % c for c in cells))


def run(args):
    gen_args = argparse.Namespace(packages=args.packages, real=args.real, groups=args.groups,
                                  file_scale=args.file_scale, cache=args.cache)
    started = time.monotonic()
    data = genrepo.generate(gen_args)
    prepared = time.monotonic() - started
    root = data["root"]
    bench = find_bench(args.bench)
    env = dict(os.environ)
    env.setdefault("QT_QPA_PLATFORM", "offscreen")
    env.setdefault("VUXSHARE", os.path.join(SOURCE_DIR, "share"))
    env.setdefault("TZ", "UTC")
    # The main window remembers its layout per user: the benchmark's runs
    # start from none, and leave the user's alone.
    env["XDG_CONFIG_HOME"] = os.path.join(os.path.dirname(os.path.abspath(root)), "config")
    shutil.rmtree(env["XDG_CONFIG_HOME"], ignore_errors=True)
    # The program's cache of the table's rows: emptied before each start
    # without one.
    env["XDG_CACHE_HOME"] = os.path.join(os.path.dirname(os.path.abspath(root)), "xdg-cache")
    shutil.rmtree(env["XDG_CACHE_HOME"], ignore_errors=True)

    print("Repository: %d packages (%d installed in the root), %d groups; generated in %.1f s, "
          "this run found it in %.1f s" % (data["packages"], data["installed"], args.groups,
                                            data["seconds"], prepared), flush=True)
    print("Root: %s" % root, flush=True)

    # Warm the cache: dnf's solv files, the engine's first run.
    measure(dnf_cmd(root, "makecache"), env, "dnf makecache")
    measure([bench, root], env, "vux-collect-bench (warm-up)")
    measure(dnf_cmd(root, "list", "--all"), env, "dnf list --all (warm-up)")

    # The program's start to the filled table is measured in the same rounds
    # as the two it is compared with: on a shared machine the load changes
    # between rounds, not within one.
    table = find_bench(args.table_bench, "vux-table-bench") if args.gui else None
    dnf_runs, vux_runs, starts, updateinfo_runs = [], [], [], []
    cached_starts = []
    listed = 0
    for _round in range(args.repeat):
        wall, rss, text = measure(dnf_cmd(root, "list", "--all"), env, "dnf list --all")
        listed = sum(1 for line in text.splitlines()
                     if line and not line.endswith("Packages"))
        dnf_runs.append((wall, rss))
        wall, _rss, _text = measure(dnf_cmd(root, "updateinfo", "list"), env,
                                    "dnf updateinfo list")
        updateinfo_runs.append(wall)
        wall, rss, text = measure([bench, root], env, "vux-collect-bench")
        values = figures(text, COLLECT_KEYS, "vux-collect-bench")
        vux_runs.append((wall, rss, values))
        if table:
            shutil.rmtree(env["XDG_CACHE_HOME"], ignore_errors=True)  # no cache
            wall, rss, text = measure([table, root, "--start"],
                                      dict(env, VUX_BENCH_SPAWNED=repr(time.monotonic())),
                                      "vux-table-bench --start")
            figures(text, ("start_seconds",) + START_KEYS, "vux-table-bench --start")
            starts.append((wall, rss))
            cached_starts.append(cached_start_round(table, root, env, text))
    if listed <= 0:
        raise StepError("dnf list --all listed nothing")

    dnf_wall = statistics.median(w for w, _r in dnf_runs)
    dnf_rss = statistics.median(r for _w, r in dnf_runs)
    vux_wall = statistics.median(w for w, _r, _v in vux_runs)
    vux_rss = statistics.median(r for _w, r, _v in vux_runs)
    vux_inner = statistics.median(v["collect_seconds"] for _w, _r, v in vux_runs)
    counts = vux_runs[-1][2]
    packages = int(counts["entries"] - counts["groups"])
    if packages <= 0:
        raise StepError("the engine collected no packages")

    print()
    print("Collection, warm cache, median of %d run(s), each in its own process" % args.repeat)
    print(row("", "wall s", "peak MB"))
    print(row("dnf list --all (%d lines)" % listed, "%.2f" % dnf_wall, "%.0f" % dnf_rss))
    print(row("Vux collection (%d entries)" % counts["entries"], "%.2f" % vux_wall,
              "%.0f" % vux_rss))
    print(row("  of which engine start to filled list", "%.2f" % vux_inner, ""))
    print(row("Vux / dnf (targets 1.5 / 2.0)", "%.2f" % (vux_wall / dnf_wall),
              "%.2f" % (vux_rss / dnf_rss)))
    print("  entries: %d updatable (+%d older installed chained), %d installed, %d available, "
          "%d groups" % (counts["updatable"], counts.get("chained_installed", 0),
                         counts["installed"], counts["available"], counts["groups"]))
    # The advisories come with the collection: its step beside dnf's whole
    # command, and (with the API figures below) beside dnf's own reading.
    updateinfo_wall = statistics.median(updateinfo_runs)
    advisories = statistics.median(v["advisories_seconds"] for _w, _r, v in vux_runs)
    print(row("dnf updateinfo list", "%.2f" % updateinfo_wall, ""))
    print(row("  Vux's advisory step (%d updates with one)" % counts["advised"],
              "%.3f" % advisories, ""))
    # The step is what loading them costs Vux: the sack they are read from
    # is loaded for the table anyway. dnf's command loads the sack for them.
    print(target_row("advisories loaded by Vux / dnf updateinfo list",
                     advisories / updateinfo_wall, 1.2, "x"))
    sys.stdout.flush()

    result = {"dnf_wall": dnf_wall, "dnf_rss": dnf_rss, "vux_wall": vux_wall,
              "vux_rss": vux_rss, "starts": starts, "advisories": advisories}
    if args.single_calls:
        wall, rss, text = measure([bench, root, "--single-calls"], env,
                                  "vux-collect-bench --single-calls")
        single = figures(text, ("single_calls_seconds", "single_calls_match"),
                         "vux-collect-bench --single-calls")
        print()
        print("Without the one-call rows (every field its own call), a second collection in "
              "one process: %.2f s, same rows: %s"
              % (single["single_calls_seconds"], "yes" if single["single_calls_match"] else "NO"))
        sys.stdout.flush()
        result["single_calls"] = single
    if args.extra:
        wall, rss, text = measure([bench, root, "--extra"], env, "vux-collect-bench --extra")
        extra = figures(text, EXTRA_KEYS, "vux-collect-bench --extra")
        print()
        print("Extra data through the engine, one process (peak %.0f MB, %.1f s in all)"
              % (rss, wall))
        print(row("", "seconds", "count"))
        print(row("load file lists", "%.2f" % extra["filelists_load_seconds"], ""))
        print(row("getFiles of every package", "%.2f" % extra["getfiles_seconds"],
                  "%d files" % extra["files"]))
        print(row("load change logs", "%.2f" % extra["changelogs_load_seconds"], ""))
        print(row("getChangeLog of every package", "%.2f" % extra["getchangelog_seconds"],
                  "%d records" % extra["changelog_records"]))
        print(row("  of which repository packages", "%.2f" % extra["getchangelog_repo_seconds"],
                  ""))
        sys.stdout.flush()
        result["extra"] = extra
    if args.api:
        wall, rss, text = measure(["/usr/bin/python3", os.path.join(HERE, "dnfapi.py"), root],
                                  env, "dnfapi.py")
        api = figures(text, API_KEYS, "dnfapi.py")
        print()
        print("dnf's Python API on the same root, one process (peak %.0f MB)" % rss)
        print(row("", "seconds", "count"))
        print(row("load the sack", "%.2f" % api["api_sack_seconds"], ""))
        print(row("advisories as dnf updateinfo list reads them",
                  "%.3f" % api["api_advisories_seconds"],
                  "%d lines" % api.get("api_advisory_lines", 0)))
        print(target_row("advisories, Vux's step / dnf's reading",
                         result["advisories"] / max(api["api_advisories_seconds"], 1e-6), 1.2,
                         "x"))
        print(row("seven attributes of every package", "%.2f" % api["api_attributes_seconds"],
                  "%d packages" % api.get("api_packages", 0)))
        print(row("files of every package", "%.2f" % api["api_files_seconds"],
                  "%d files" % api.get("api_files", 0)))
        print(row("load the sack with change logs", "%.2f" % api["api_other_sack_seconds"], ""))
        print(row("change logs of every package", "%.2f" % api["api_changelogs_seconds"],
                  "%d records" % api.get("api_changelog_records", 0)))
        if args.extra:
            # Processor time: steadier than wall time on a shared machine.
            vux = extra["changelogs_load_cpu"] + extra["getchangelog_repo_cpu"]
            dnf = api["api_other_sack_cpu"] + api["api_changelogs_cpu"]
            print(target_row("change logs, Vux / dnf (load + read, cpu)", vux / dnf, 1.2, "x"))
            print("  (Vux: load %.2f s + repository packages %.2f s; dnf: load %.2f s + every "
                  "package %.2f s; installed packages, read from the rpm database, %.2f s more)"
                  % (extra["changelogs_load_cpu"], extra["getchangelog_repo_cpu"],
                     api["api_other_sack_cpu"], api["api_changelogs_cpu"],
                     extra["getchangelog_installed_cpu"]))
        sys.stdout.flush()
        result["api"] = api
    if cached_starts:
        print_cached_starts(cached_starts, dnf_wall)
    if args.gui and not args.starts_only:
        if not args.search_only:
            result["gui"] = gui(args, root, env, result)
        result["search"] = search(args, root, env)
        search_targets(result)
        if args.floor:
            memory_floor(root, env, find_bench(args.table_bench, "vux-table-bench"))
        if args.compare:
            compare(args, root, env)
    if args.history:
        result["history"] = history_window(args, root, env)
    return result


def search_targets(result):
    """The Search's and the memory's figures against their targets, in
    processor time where the wall time of a shared machine says little: a
    new pattern once the extra data is loaded, and the program's peak memory
    against dnf's own listing (start to the filled table) and, during the
    first Search, against the plain loop over dnf's API."""
    runs = result["search"]["runs"]
    med = lambda key: statistics.median(v[key] for _r, v in runs)
    print()
    print("Search and memory, median of %d round(s)" % len(runs))
    print(row("", "figure", "target", ""))
    print(target_row("first Search of a new pattern (processor)", med("search_new_0_cpu"), 0.5))
    print(target_row("  the same, wall time", med("search_new_0_seconds"), 0.5))
    print(target_row("first Search with loading / plain loop (processor)",
                     med("search_first_cpu") / result["search"]["plain_cpu"], 0.15, "x"))
    print(target_row("peak memory during Search / plain Python loop",
                     statistics.median(r for r, _v in runs) / result["search"]["plain_rss"],
                     1.0, "x"))
    if result["starts"]:
        start_peak = statistics.median(r for _w, r in result["starts"])
        print(target_row("peak memory of the program / dnf list --all",
                         start_peak / result["dnf_rss"], 1.25, "x"))
        print("  (program %.0f MB to the filled table, dnf list --all %.0f MB)"
              % (start_peak, result["dnf_rss"]))
    sys.stdout.flush()


# --- What the memory targets leave -------------------------------------------
# A process's resident memory is its data and the pages of the files it maps
# (libraries, fonts, the program). The program maps Qt's and the window's
# libraries, which neither dnf nor the plain loop loads; with the data of the
# process it is compared with and its own mapped files, it would be at the
# least ratio, which is printed beside each memory target.

def resident_parts(pid):
    """{file: resident KB} and the resident KB of the rest (data), from
    /proc/PID/smaps; None once the process is gone."""
    files, data, name = {}, 0, None
    try:
        with open("/proc/%d/smaps" % pid) as smaps:
            for line in smaps:
                if line[0] in "0123456789abcdef" and "-" in line.split(" ", 1)[0]:
                    fields = line.split(None, 5)
                    name = fields[5].strip() if len(fields) > 5 else ""
                    name = name if name.startswith("/") else None
                elif line.startswith("Rss:"):
                    kb = int(line.split()[1])
                    if name:
                        files[name] = files.get(name, 0) + kb
                    else:
                        data += kb
    except (FileNotFoundError, ProcessLookupError):
        return None
    return files, data


def measure_parts(cmd, env, what):
    """Runs cmd in its own process, reading its mapped files each time its
    resident memory grew by a MB: (peak MB, {file: KB}, data KB) at the
    highest reading."""
    with tempfile.TemporaryFile() as out:
        proc = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=out,
                                stderr=subprocess.STDOUT, env=env)
        best, parts = 0, ({}, 0)
        while True:
            pid, status, usage = os.wait4(proc.pid, os.WNOHANG)
            if pid:
                break
            try:
                with open("/proc/%d/statm" % proc.pid) as statm:
                    rss = int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE") // 1024
            except (FileNotFoundError, ProcessLookupError, IndexError, ValueError):
                rss = 0
            if rss > best + 1024:
                read = resident_parts(proc.pid)
                if read:
                    best, parts = rss, read
            time.sleep(0.01)
        proc.returncode = os.waitstatus_to_exitcode(status)
        if proc.returncode != 0:
            out.seek(0)
            raise StepError("%s failed (exit %d): %s\n%s" % (
                what, proc.returncode, " ".join(cmd), out.read().decode("utf-8", "replace")[-3000:]))
    return usage.ru_maxrss / 1024.0, parts[0], parts[1]


def memory_floor(root, env, table):
    """One run of each pair: the program's start against dnf list --all, its
    first Search against the plain loop; each process's files and data at
    its peak, and the least ratio the program's own files allow."""
    runs = [("dnf list --all", dnf_cmd(root, "list", "--all")),
            ("the program's start", [table, root, "--start"]),
            ("the plain Python loop",
             ["/usr/bin/python3", os.path.join(HERE, "dnfapi.py"), root, "--search"]),
            ("the program's first Search", [table, root, "--search"])]
    measured = []
    for what, cmd in runs:
        shutil.rmtree(env["XDG_CACHE_HOME"], ignore_errors=True)
        measured.append((what,) + measure_parts(cmd, env, what))
    mb = lambda kb: kb / 1024.0
    print()
    print("What the memory targets leave, one run each (mapped files read at each "
          "process's peak)")
    print(row("", "peak MB", "files MB", "data MB"))
    for what, peak, files, data in measured:
        print(row(what, "%.1f" % peak, "%.1f" % mb(sum(files.values())), "%.1f" % mb(data)))
    for (ref, ref_peak, ref_files, ref_data), (what, _peak, files, _data), target in (
            (measured[0], measured[1], 1.25), (measured[2], measured[3], 1.0)):
        own = {name: kb for name, kb in files.items() if name not in ref_files}
        largest = sorted(own, key=own.get, reverse=True)[:3]
        print("  %s maps %.1f MB that %s does not map (%s)"
              % (what, mb(sum(own.values())), ref,
                 ", ".join("%s %.1f" % (os.path.basename(n), mb(own[n])) for n in largest)))
        least = mb(ref_data + sum(files.values()))
        print(row("  least ratio (its data, the program's files)",
                  "%.3f x" % (least / ref_peak), "<= %g x" % target,
                  "out of reach" if least > target * ref_peak else ""))
        left = target * ref_peak - least
        print("  (the target leaves %.1f MB for the table, the window and all else the program "
              "holds)" % left if left >= 0 else
              "  (the target is %.1f MB below that, before the program holds a row)" % -left)
    sys.stdout.flush()


# --- The start with the cache of the table's rows ---------------------------
# Each round: the start without a cache (which writes it), then the start
# with it, both timed from the moment the process is started to the table
# first painted with rows and to the commands enabled; against the round's
# dnf list --all.

START_KEYS = ("table_since_spawn", "start_since_spawn", "rows")


def timed_start(table, root, env, what):
    env = dict(env, VUX_BENCH_SPAWNED=repr(time.monotonic()))
    _wall, _rss, text = measure([table, root, "--start"], env, what)
    return figures(text, START_KEYS, what)


def cached_start_round(table, root, env, uncached_text):
    """The figures of one round: the start without the cache (already run,
    its output given) and one with it."""
    cached = timed_start(table, root, env, "vux-table-bench --start (valid cache)")
    return {"cached": cached, "uncached": figures(uncached_text, START_KEYS, "")}


def print_cached_starts(rounds, dnf_wall):
    med = lambda key, which="cached": statistics.median(r[which][key] for r in rounds)
    print()
    print("Start with the cached rows, median of %d round(s), each in its own process"
          % len(rounds))
    print(row("", "figure", "target", ""))
    print(target_row("start to filled table, valid cache / dnf list --all",
                     med("table_since_spawn") / dnf_wall, 0.25, "x"))
    print(target_row("start to filled table, no cache / dnf list --all",
                     med("table_since_spawn", "uncached") / dnf_wall, 0.8, "x"))
    print(target_row("start to engine ready, valid cache / dnf list --all",
                     med("start_since_spawn") / dnf_wall, 0.8, "x"))
    print("  (filled table: valid cache %.2f s, no cache %.2f s; engine ready: valid cache "
          "%.2f s, no cache %.2f s; dnf list --all %.2f s; %d rows)"
          % (med("table_since_spawn"), med("table_since_spawn", "uncached"),
             med("start_since_spawn"), med("start_since_spawn", "uncached"), dnf_wall,
             rounds[-1]["cached"]["rows"]))
    if any(r["cached"]["rows"] != r["uncached"]["rows"] for r in rounds):
        raise StepError("the start with the cache showed another number of rows")
    sys.stdout.flush()


def target_row(label, value, target, unit="s"):
    """A figure beside its target: VALUE <= TARGET, ok or MISSED."""
    return row(label, ("%.3f %s" % (value, unit)).strip(), "<= %g %s" % (target, unit),
               "ok" if value <= target else "MISSED")


# Patterns timed as new Searches once the extra data is loaded, the first of
# them the one held against the target; and a dozen searched both ways (the
# package manager's data read in C, and the getters), which must show the
# same rows: literals common and rare, anchors, alternatives, an invalid
# pattern, one matching every text, and patterns found only in a file path,
# only in a change log, only in a dependency.
NEW_PATTERNS = ("no-such-text-anywhere-1", "lib", "^python3-", "texlive|fonts",
                "[0-9]+\\.[0-9]+-[0-9]+x")
COMPARE_PATTERNS = ("lib", "no-such-text-anywhere", "upstream issue #42", "^python3-",
                    "\\.pyc$", "texlive|fonts", "(unbalanced", "/__pycache__/",
                    "out-of-bounds read", "so\\.[0-9]\\(\\)", "x*",
                    "[0-9]+\\.[0-9]+-[0-9]+x", "Update to [0-9.]+\n\n\\* [A-Z]")


def search(args, root, env):
    """The Search on its own: the first one (loading the file lists and
    change logs), then new patterns, in rounds interleaved with the plain
    Python loop over dnf's API; the process's peak memory against the
    loop's."""
    table = find_bench(args.table_bench, "vux-table-bench")
    runs, loops = [], []
    for _round in range(args.repeat):
        wall, rss, text = measure([table, root, "--search"] + list(NEW_PATTERNS), env,
                                  "vux-table-bench --search")
        values = figures(text, ("search_first_seconds", "search_first_cpu",
                                "search_first_peak_mb", "table_rss_mb")
                         + tuple("search_new_%d_seconds" % i for i in range(len(NEW_PATTERNS))),
                         "vux-table-bench --search")
        runs.append((rss, values))
        wall, rss, text = measure(["/usr/bin/python3", os.path.join(HERE, "dnfapi.py"),
                                   root, "--search"], env, "dnfapi.py --search")
        loops.append((rss, figures(text, ("api_search_sack_seconds", "api_search_loop_seconds",
                                          "api_search_sack_cpu", "api_search_loop_cpu"),
                                   "dnfapi.py --search")))
    med = lambda key: statistics.median(v[key] for _r, v in runs)
    print()
    print("The Search (main window, offscreen), median of %d round(s)" % args.repeat)
    print(row("", "figure", "target", ""))
    print(target_row("first Search of a new pattern, extra data loaded",
                     med("search_new_0_seconds"), 0.5))
    print("  (%s; processor %.2f s)" % (NEW_PATTERNS[0], med("search_new_0_cpu")))
    for i, pattern in enumerate(NEW_PATTERNS[1:], 1):
        print("  new pattern %-28s %.2f s (processor %.2f s), %d rows"
              % (pattern, med("search_new_%d_seconds" % i), med("search_new_%d_cpu" % i),
                 med("search_new_%d_rows" % i)))
    peak = statistics.median(r for r, _v in runs)
    out = {"runs": runs}
    plain = statistics.median(v["api_search_sack_seconds"] + v["api_search_loop_seconds"]
                              for _r, v in loops)
    plain_rss = statistics.median(r for r, _v in loops)
    print(target_row("first Search with loading / plain Python loop",
                     med("search_first_seconds") / plain, 0.15, "x"))
    print("  (first Search %.2f s, processor %.2f s; the loop %.2f s, processor %.2f s)"
          % (med("search_first_seconds"), med("search_first_cpu"), plain,
             statistics.median(v["api_search_loop_cpu"] for _r, v in loops)))
    print(target_row("peak memory during Search / plain Python loop", peak / plain_rss,
                     1.0, "x"))
    print("  (program %.0f MB: %.0f MB with the table filled, %.0f MB at most during "
          "the first Search; the loop %.0f MB)"
          % (peak, med("table_rss_mb"), med("search_first_peak_mb"), plain_rss))
    out.update(plain=plain, plain_rss=plain_rss,
               plain_cpu=statistics.median(v["api_search_sack_cpu"] + v["api_search_loop_cpu"]
                                           for _r, v in loops))
    sys.stdout.flush()
    return out


def compare(args, root, env):
    """COMPARE_PATTERNS, then patterns taken from the world's own texts
    (searchsample.py, the same every run), also in mixed case ignoring case:
    each searched both ways, the same rows or the step fails."""
    import searchsample  # noqa: E402 (it imports this module)
    table = find_bench(args.table_bench, "vux-table-bench")
    rng = random.Random(1)
    sampled = searchsample.patterns(root, 12, rng)
    print()
    print("Both ways of searching (C over the package manager's data, and the getters):")
    for options, patterns in (([], list(COMPARE_PATTERNS)), ([], sampled),
                              (["--ignore-case"],
                               [searchsample.mixed_case(p, rng) for p in sampled])):
        with tempfile.TemporaryFile() as out:
            proc = subprocess.run([table, root, "--compare"] + options + patterns,
                                  stdin=subprocess.DEVNULL, stdout=out,
                                  stderr=subprocess.STDOUT, env=env)
            out.seek(0)
            text = out.read().decode("utf-8", "replace")
        if options:
            print("  ignoring case:")
        for line in text.splitlines():
            if line.startswith(("compare_", "  only", "search_paths_agree")):
                print("  " + line)
        sys.stdout.flush()
        if proc.returncode != 0 or "search_paths_agree 1.0000" not in text:
            raise StepError("the two ways of searching disagree (or the comparison failed):\n%s"
                            % text[-3000:])


def gui(args, root, env, result):
    """The main window's table: start to the filled table (own processes,
    measured in the collection rounds), then filter, sorts, column sizing
    and Search in one process per round, against dnf on the same root."""
    table = find_bench(args.table_bench, "vux-table-bench")
    starts = result["starts"]
    ops = []
    for _round in range(args.repeat):
        _wall, _rss, text = measure([table, root, "--repeat", str(max(3, args.repeat))], env,
                                    "vux-table-bench")
        ops.append(figures(text, ("filter_seconds", "sort_name_seconds", "sort_size_seconds",
                                  "resize_seconds", "security_view_seconds",
                                  "requiredby_max_seconds", "requiredby_median_seconds",
                                  "search_first_seconds", "search_again_seconds"),
                           "vux-table-bench"))
    _wall, _rss, text = measure(["/usr/bin/python3", os.path.join(HERE, "dnfapi.py"), root,
                                 "--search"], env, "dnfapi.py --search")
    loop = figures(text, ("api_search_sack_seconds", "api_search_loop_seconds"),
                   "dnfapi.py --search")
    med = lambda key: statistics.median(o[key] for o in ops)
    start = statistics.median(w for w, _r in starts)
    peak = statistics.median(r for _w, r in starts)
    plain = loop["api_search_sack_seconds"] + loop["api_search_loop_seconds"]
    print()
    print("The package table (main window, offscreen), median of %d round(s)" % args.repeat)
    print(row("", "figure", "target", ""))
    print(target_row("filter change (Filter mode, all entries)", med("filter_seconds"), 0.050))
    print(target_row("sort by Name", med("sort_name_seconds"), 0.150))
    print(target_row("sort by Size", med("sort_size_seconds"), 0.150))
    print(target_row("resizeColumnsToContents, every row", med("resize_seconds"), 0.300))
    print(target_row("switch to View Security Updates", med("security_view_seconds"), 0.050))
    print(target_row("Required By of a package, the slowest asked", med("requiredby_max_seconds"),
                     0.200))
    print("  (median %.3f s)" % med("requiredby_median_seconds"))
    print(target_row("first full Search / plain Python loop",
                     med("search_first_seconds") / plain, 1.5, "x"))
    print("  (first Search %.2f s; the loop: load %.2f s + reading %.2f s)"
          % (med("search_first_seconds"), loop["api_search_sack_seconds"],
             loop["api_search_loop_seconds"]))
    print(target_row("repeated Search", med("search_again_seconds"), 0.050))
    print(target_row("start to filled table / dnf list --all", start / result["dnf_wall"], 1.0,
                     "x"))
    print(target_row("start to filled table / engine collection", start / result["vux_wall"],
                     1.2, "x"))
    print("  (start to filled table %.2f s; dnf list --all %.2f s; engine %.2f s)"
          % (start, result["dnf_wall"], result["vux_wall"]))
    print(target_row("peak memory of the program / dnf's", peak / result["dnf_rss"], 2.0, "x"))
    print("  (program %.0f MB, dnf %.0f MB)" % (peak, result["dnf_rss"]))
    sys.stdout.flush()
    return {"start": start, "peak": peak, "loop": loop, "ops": ops}


def history_window(args, root, env):
    """The History window opened from the main window's menu over a history
    of args.transactions transactions (written into the root once)."""
    program = find_bench(args.history_bench, "vux-history-bench")
    history.ensure(root, args.transactions)
    rounds = []
    for _round in range(args.repeat):
        _wall, _rss, text = measure([program, root, "--repeat", str(max(3, args.repeat))], env,
                                    "vux-history-bench")
        rounds.append(figures(text, ("history_open_seconds", "history_reopen_seconds",
                                     "history_rows"), "vux-history-bench"))
    med = lambda key: statistics.median(r[key] for r in rounds)
    print()
    print("The History window (main window, offscreen, %d packages collected), median of %d "
          "round(s)" % (args.packages, args.repeat))
    print(row("", "figure", "target", ""))
    print(target_row("open with %d transactions" % med("history_rows"),
                     med("history_open_seconds"), 0.300))
    print(target_row("open again (read and listed anew)", med("history_reopen_seconds"), 0.300))
    sys.stdout.flush()
    return rounds


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--small", action="store_true",
                        help="a few hundred packages, one round (the test suite's run)")
    parser.add_argument("--packages", type=int, default=60000)
    parser.add_argument("--real", type=int, default=2000)
    parser.add_argument("--groups", type=int, default=200)
    parser.add_argument("--file-scale", type=float, default=1.0,
                        help="multiplies the typical number of files of a package (default 1)")
    parser.add_argument("--repeat", type=int, default=3, help="measured rounds (default 3)")
    parser.add_argument("--bench", help="the vux-collect-bench program "
                        "(default build/bench/vux-collect-bench)")
    parser.add_argument("--cache", default=genrepo.default_cache(),
                        help="cache directory (default $VUX_BENCH_CACHE or build/bench-cache)")
    parser.add_argument("--no-extra", dest="extra", action="store_false",
                        help="leave out file lists and change logs")
    parser.add_argument("--no-api", dest="api", action="store_false",
                        help="leave out the dnf API reference")
    parser.add_argument("--no-single-calls", dest="single_calls", action="store_false",
                        help="leave out the collection without one-call rows")
    parser.add_argument("--no-gui", dest="gui", action="store_false",
                        help="leave out the package table of the main window")
    parser.add_argument("--table-bench", help="the vux-table-bench program "
                        "(default build/bench/vux-table-bench)")
    parser.add_argument("--search-only", action="store_true",
                        help="of the main window's figures only the Search and memory ones")
    parser.add_argument("--starts-only", action="store_true",
                        help="only the collection and the program's starts (with and without "
                        "the cached rows): no extra data, API reference or table operations")
    parser.add_argument("--compare", action="store_true",
                        help="search a dozen patterns both ways and check the rows agree "
                        "(always with --small; slow on a large world)")
    parser.add_argument("--no-floor", dest="floor", action="store_false",
                        help="leave out what the memory targets leave (one more run of dnf "
                        "list --all, the start, the plain loop and the Search)")
    parser.add_argument("--no-history", dest="history", action="store_false",
                        help="leave out the History window")
    parser.add_argument("--transactions", type=int, default=1000,
                        help="transactions in the root's history (default 1000)")
    parser.add_argument("--history-bench", help="the vux-history-bench program "
                        "(default build/bench/vux-history-bench)")
    args = parser.parse_args(argv)
    if args.small:
        args.packages, args.real, args.groups, args.repeat = 300, 40, 10, 1
        args.compare = True
        args.transactions = 50
    if args.starts_only:
        args.extra = args.api = args.single_calls = args.compare = args.history = False
    if args.repeat < 1:
        parser.error("--repeat must be at least 1")
    try:
        run(args)
    except (StepError, genrepo.sandbox.SandboxError) as error:
        print("run.py: %s" % error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
