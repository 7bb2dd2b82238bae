#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Searches a world both ways with patterns taken from its own texts.

    searchsample.py ROOT [--count N] [--seed S] [--ignore-case] [--table-bench PATH]

Takes N patterns (default 24) from the root's repository metadata: pieces
of file paths over a slash, of file names, of summaries and descriptions,
of change logs and of dependencies, each escaped as a literal, and a few
expressions made of them (an anchor, a dot for one character, an
alternative). With --ignore-case the letters of each pattern are mixed in
case and searched ignoring case. `vux-table-bench ROOT --compare` then
searches each one both ways (the package manager's data read in C, and the
getters); exit status 1 when any shows other rows. The same seed gives the
same patterns.
"""

import argparse
import glob
import gzip
import os
import random
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

TEXT = re.compile(r"<(summary|description|changelog|file)[^>]*>([^<]+)</\1>")
ENTRY = re.compile(r'<rpm:entry name="([^"]+)"')
SPECIAL = re.compile(r"([\\.^$|?*+()\[\]{}])")


def repository_texts(root, rng, keep):
    """(kind, text) pairs of the root's repositories' metadata, a share of
    them taken at random."""
    texts = []
    cached = os.path.join(root, "var", "cache", "*", "*", "repodata", "*.xml.gz")
    for path in sorted(glob.glob(cached)):
        with gzip.open(path, "rt", encoding="utf-8", errors="replace") as xml:
            for line in xml:
                for kind, text in TEXT.findall(line):
                    if rng.random() < keep:
                        texts.append((kind, text.replace("&lt;", "<").replace("&gt;", ">")
                                      .replace("&amp;", "&")))
                for name in ENTRY.findall(line):
                    if rng.random() < keep / 4:
                        texts.append(("dependency", name))
    return texts


def piece(kind, text, rng):
    """A piece of text as a literal pattern, or None."""
    text = text.split("\n")[rng.randrange(text.count("\n") + 1)].strip()
    if kind == "file":
        slashes = [i for i, c in enumerate(text) if c == "/" and i > 0]
        if not slashes:
            return None
        at = rng.choice(slashes)
        text = text[max(0, at - rng.randint(1, 8)):at + 1 + rng.randint(0, 8)]
    elif len(text) > 6:
        start = rng.randrange(len(text) - 3)
        text = text[start:start + rng.randint(3, 16)]
    return SPECIAL.sub(r"\\\1", text) if len(text.strip()) >= 3 else None


def patterns(root, count, rng):
    texts = repository_texts(root, rng, 0.02)
    if len(texts) < count * 10:  # a small world: all of them
        texts = repository_texts(root, rng, 1.0)
    if not texts:
        raise SystemExit("searchsample.py: no repository metadata under %s" % root)
    literals = []
    for _attempt in range(count * 100):
        if len(literals) == count:
            break
        found = piece(*rng.choice(texts), rng)
        if found and found not in literals:
            literals.append(found)
    if len(literals) < count:
        raise SystemExit("searchsample.py: too few texts under %s" % root)
    # A few expressions: an anchored one, a dot for one character, an
    # alternative of two literals.
    for i in range(0, min(count, 6), 3):
        literals[i] = "^" + literals[i]
        plain = literals[i + 1]
        if len(plain) > 3 and plain[1].isalnum():
            literals[i + 1] = plain[0] + "." + plain[2:]
        literals[i + 2] = "(%s|%s)" % (literals[i + 2], literals[-1 - i])
    return literals


def mixed_case(pattern, rng):
    return "".join(c.upper() if c.isalpha() and rng.random() < 0.5 else c for c in pattern)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("root")
    parser.add_argument("--count", type=int, default=24)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--ignore-case", action="store_true")
    parser.add_argument("--table-bench", help="the vux-table-bench program "
                        "(default build/bench/vux-table-bench)")
    args = parser.parse_args(argv)
    rng = random.Random(args.seed)
    chosen = patterns(args.root, max(args.count, 6), rng)
    options = []
    if args.ignore_case:
        chosen = [mixed_case(p, rng) for p in chosen]
        options = ["--ignore-case"]
    env = dict(os.environ)
    env.setdefault("QT_QPA_PLATFORM", "offscreen")
    env.setdefault("VUXSHARE", os.path.join(os.path.dirname(HERE), "share"))
    env.setdefault("TZ", "UTC")
    from run import find_bench  # run.py takes its own sample from here
    table = find_bench(args.table_bench, "vux-table-bench")
    done = subprocess.run([table, args.root, "--compare"] + options + chosen, env=env,
                          stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, universal_newlines=True)
    if done.returncode != 0:
        print(done.stderr[-3000:], file=sys.stderr)
    lines = [line for line in done.stdout.splitlines()
             if line.startswith(("compare_", "  only"))]
    print("\n".join(lines))
    different = sum(1 for line in lines if " DIFFERENT " in line)
    print("%d patterns, %d with other rows" % (len(chosen), different))
    return 1 if different or done.returncode != 0 else 0


if __name__ == "__main__":
    sys.exit(main())
