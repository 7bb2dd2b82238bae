#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Code lines of the product against code lines of its tests, per folder.

A code line is a line that holds something besides comments and blanks:
C++ // and /* */ comments, Python # comments and docstrings do not count.
The product is what is built into the program or installed beside it (the
layer folders and share/); the tests are tests/. Tools that serve the
development (scripts/, bench/, doc/, data/, cmake/) are shown apart and
counted in neither.

    scripts/linecount.py [--top DIR]
"""

import argparse
import ast
import io
import os
import subprocess
import sys
import tokenize

PRODUCT = ("base", "widgets", "python", "log", "progress", "yumio", "repo",
           "packagetable", "app", "share")
TESTS = ("tests",)
TOOLS = ("scripts", "bench", "doc", "data", "cmake")
TARGET = 0.40  # tests at most this share of the product's code lines

CPP = (".cpp", ".h", ".in")
PYTHON = (".py",)
SHELL = (".sh",)


def cpp_lines(text):
    """Line numbers (0-based) that hold C++ code outside comments."""
    code = set()
    line = 0
    i = 0
    n = len(text)
    block = False
    while i < n:
        c = text[i]
        if c == "\n":
            line += 1
            i += 1
            continue
        if block:
            if text.startswith("*/", i):
                block = False
                i += 2
            else:
                i += 1
            continue
        if text.startswith("//", i):
            while i < n and text[i] != "\n":
                i += 1
            continue
        if text.startswith("/*", i):
            block = True
            i += 2
            continue
        if c.isspace():
            i += 1
            continue
        code.add(line)
        if text.startswith('R"', i):
            # A raw string: R"delim( ... )delim", possibly over many lines.
            open_paren = text.find("(", i)
            delim = text[i + 2:open_paren]
            end = text.find(")" + delim + '"', open_paren)
            end = n if end < 0 else end + len(delim) + 2
            for _ in range(text.count("\n", i, end)):
                line += 1
                code.add(line)
            i = end
            continue
        if c in "\"'":
            i += 1
            while i < n and text[i] != c and text[i] != "\n":
                i += 2 if text[i] == "\\" else 1
            i += 1
            continue
        i += 1
    return code


def python_lines(text):
    """Line numbers (0-based) that hold Python code, docstrings left out."""
    docstrings = set()
    try:
        tree = ast.parse(text)
    except SyntaxError:
        tree = None
    if tree is not None:
        for node in ast.walk(tree):
            if isinstance(node, (ast.Module, ast.ClassDef, ast.FunctionDef,
                                 ast.AsyncFunctionDef)) and node.body:
                first = node.body[0]
                if (isinstance(first, ast.Expr) and isinstance(first.value, ast.Constant)
                        and isinstance(first.value.value, str)):
                    docstrings.update(range(first.lineno - 1, first.end_lineno))
    code = set()
    skip = {tokenize.COMMENT, tokenize.NL, tokenize.NEWLINE, tokenize.INDENT,
            tokenize.DEDENT, tokenize.ENCODING, tokenize.ENDMARKER}
    try:
        for token in tokenize.generate_tokens(io.StringIO(text).readline):
            if token.type in skip:
                continue
            for number in range(token.start[0] - 1, token.end[0]):
                if number not in docstrings:
                    code.add(number)
    except (tokenize.TokenError, IndentationError, SyntaxError):
        return shell_lines(text)
    return code


def shell_lines(text):
    return {number for number, line in enumerate(text.split("\n"))
            if line.strip() and not line.strip().startswith("#")}


def count(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
    except OSError:
        return 0
    if path.endswith(CPP):
        return len(cpp_lines(text))
    if path.endswith(PYTHON):
        return len(python_lines(text))
    if path.endswith(SHELL) or text.startswith("#!/bin/sh"):
        return len(shell_lines(text))
    return 0


def tracked_files(top):
    try:
        out = subprocess.run(["git", "-C", top, "ls-files"], check=True,
                             capture_output=True, text=True).stdout
        return [line for line in out.splitlines() if line]
    except (OSError, subprocess.CalledProcessError):
        found = []
        for folder, dirs, files in os.walk(top):
            dirs[:] = [d for d in dirs if not d.startswith(".") and not d.startswith("build")]
            found += [os.path.relpath(os.path.join(folder, f), top) for f in files]
        return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--top", default=os.path.dirname(os.path.dirname(
        os.path.abspath(__file__))))
    args = parser.parse_args()

    per_folder = {}
    for name in tracked_files(args.top):
        parts = name.split("/")
        if len(parts) < 2 or parts[0] not in PRODUCT + TESTS + TOOLS:
            continue
        # tests/ is shown by the layer it tests (tests/yumio, tests/app, ...).
        folder = "/".join(parts[:2]) if parts[0] == "tests" and len(parts) > 2 else parts[0]
        lines = count(os.path.join(args.top, name))
        if lines:
            per_folder[folder] = per_folder.get(folder, 0) + lines

    product = sum(v for k, v in per_folder.items() if k in PRODUCT)
    tests = sum(v for k, v in per_folder.items() if k.split("/")[0] in TESTS)
    tools = sum(v for k, v in per_folder.items() if k in TOOLS)

    print("Code lines (comments and blank lines not counted)")
    print("%-22s %8s" % ("product", ""))
    for folder in PRODUCT:
        print("  %-20s %8d" % (folder + "/", per_folder.get(folder, 0)))
    print("%-22s %8d" % ("  all product", product))
    print("%-22s" % "tests")
    for folder in sorted(k for k in per_folder if k.split("/")[0] in TESTS):
        print("  %-20s %8d" % (folder + "/", per_folder[folder]))
    print("%-22s %8d" % ("  all tests", tests))
    print("%-22s %8d  (%s; counted in neither)" % (
        "development tools", tools, ", ".join(f + "/" for f in TOOLS)))
    ratio = tests / product if product else 0.0
    print("tests / product: %.0f%% (target: at most %.0f%%)%s" % (
        100 * ratio, 100 * TARGET, "" if ratio <= TARGET else "  ABOVE TARGET"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
