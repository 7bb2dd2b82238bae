#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Sandbox RPM systems for the Vux tests, benchmarks and demo.

Builds real RPMs with rpmbuild from the RPM spec files in tests/data/specs,
makes repositories of them with createrepo_c (with the comps file
tests/data/comps.xml in "base"), creates sandbox roots with dnf and serves
the repositories over HTTP on 127.0.0.1, optionally behind larder
credentials carried in the URL.

Everything built is cached in $VUX_SANDBOX_CACHE (default
~/.cache/vux-sandbox), keyed by a hash of the RPM spec files and the comps file,
so a test run builds each RPM once. Builds take an fcntl lock on the cache and
are renamed into place when complete, so concurrent processes do not race.

Command line (run with /usr/bin/python3, the interpreter that has dnf):

  sandbox.py repos
      Build (or reuse) the RPMs and repositories. Prints one JSON object:
      {"cache": ".../", "repos": {"base": "/abs/path", "updates": ..., ...}}

  sandbox.py root DIR [--url-base URL] [--larder NAME:PASSWORD]
                      [--no-install] [--repos base,updates] [--group]
                      [--larder-repos REPO,...] [--mirrors mirrorlist|metalink]
                      [--extra NAME,...]
      Create a sandbox root at DIR (missing or empty). The first versions
      are installed from the file:// repositories, then the .repo files are
      written: file:// URLs by default, URL/<repo>/ with --url-base, and
      URL/larder?name=NAME&password=PASSWORD&path=/<repo>/ with --larder too.
      --larder-repos limits larder URLs to some repositories; --mirrors
      writes mirrorlist= or metalink= URLs of the server (below) instead of
      baseurl=. --group also installs the comps group "core-tools", --extra
      the packages named (from "base" and "updates").
      Prints JSON:
      {"root": DIR, "installed": [nevra, ...], "repos": {id: url}}

  sandbox.py serve [--port 0] [--larder NAME:PASSWORD] [--larder-only]
                   [--port-file FILE] [--log FILE] [--tree DIR] [--watch-pid PID]
      Serve the repository tree (default: the cache's repositories, one
      directory per repository) on 127.0.0.1 until SIGTERM or SIGINT.
      Prints "PORT" on stdout as soon as it listens (and writes it to
      --port-file). Larder URLs "/larder?name=N&password=P&path=/rest" are
      served when they carry the --larder credentials: whatever follows
      "/larder" in the path is appended to the path= value, as dnf appends
      file names before the query string. Missing credentials answer 401,
      wrong ones 403. --larder-only refuses plain paths (401). --log appends
      one line per request, written before the answer is sent: METHOD,
      request path, status, served path ("-" when nothing was served).
      --watch-pid stops the server when that process ends.
      The server also makes up mirror lists and metalinks: /mirrorlist/REPO
      and /metalink/REPO (through larder URLs too) name its own copy of
      REPO, the larder credentials of the request included. The cache also
      holds broken copies of "base" for failure tests: "corrupt-primary"
      (primary metadata that does not match its checksum) and
      "corrupt-repomd" (repomd.xml that is not XML).

  sandbox.py signed-repo DIR [--packages ember,fjord]
      Make a signing key (GnuPG home DIR/gnupg, exported to DIR/key.asc) and
      the repository DIR/repo of the named packages signed with it. Prints
      JSON: {"repo": PATH, "key": PATH, "fingerprint": HEX, "userid": TEXT}

  sandbox.py spec-repo SPEC DIR [--define NAME=VALUE]...
      Build the RPMs of the RPM build recipe SPEC (with the macros given) and make
      the repository DIR of them. Prints JSON: {"repo": PATH, "rpms": [PATH]}

  sandbox.py demo DIR
      Build everything, start a server in the background (pid in
      DIR/server.pid, port in DIR/server.port, requests in DIR/server.log),
      create the root DIR/root with http URLs ("updates" through larder
      credentials demo/sandbox), the group "core-tools", a third version of
      the install-only package and the package "quartz" that "quartzite"
      replaces installed, and
      print the command that runs Vux on it. Running it again on the same DIR
      stops the previous server and replaces the root.

The rpm database is wherever rpm's macros put it inside the root (Debian's
rpm uses $HOME/.rpmdb): rpm, dnf and Vux agree as long as they run with the
same macros and $HOME.
"""

import argparse
import configparser
import contextlib
import fcntl
import functools
import hashlib
import html
import json
import os
import posixpath
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(HERE)
DATA_DIR = os.path.join(SOURCE_DIR, "tests", "data")
SPEC_DIR = os.path.join(DATA_DIR, "specs")
COMPS_FILE = os.path.join(DATA_DIR, "comps.xml")

# Bumped when the way the cache is laid out or built changes, so that old
# caches are not reused by code that expects something else.
CACHE_FORMAT = "3"

RELEASEVER = "1"

# rpmbuild runs: (spec file, extra macro definitions, build time, set[,
# target architecture]). The set decides which repository the resulting RPMs
# go to.
BUILDS = (
    ("aurora.spec", {}, 1707134400, "first"),
    ("aurora.spec", {"sandbox_update": "1"}, 1710417600, "update"),
    ("granite.spec", {}, 1708516800, "first"),
    ("extras.spec", {}, 1709000000, "extras"),
    ("clash.spec", {"clash_side": "left"}, 1709000000, "extras"),
    ("clash.spec", {"clash_side": "right"}, 1709000000, "extras"),
    ("mica.spec", {}, 1707134400, "first"),
    ("mica.spec", {}, 1707134400, "first", "i686"),
)

# Repository name -> the builds whose RPMs it carries.
REPO_SETS = {"base": ("first",), "updates": ("update",), "extras": ("extras",)}
COMPS_REPO = "base"
# Deliberately broken copies of "base" for failure tests.
CORRUPT_REPOS = {"corrupt-primary": "primary", "corrupt-repomd": "repomd"}

DEFAULT_REPOS = ("base", "updates")

# The advisories of "updates" (its updateinfo): one of each kind a person
# meets, the security one with a CVE. Each names the packages it covers;
# their versions are those of the repository.
ADVISORIES = (
    {"id": "VUXSA-2024:0001", "type": "security", "severity": "Important",
     "title": "Important: libbasalt security update", "issued": "2024-03-14 12:00:00",
     "description": "A buffer overflow in the Basalt runtime library's parser was fixed.",
     "packages": ("libbasalt",),
     "references": (("cve", "CVE-2099-0001", "https://cve.example.org/CVE-2099-0001",
                     "CVE-2099-0001"),
                    ("bugzilla", "1001", "https://bugs.example.org/1001",
                     "libbasalt: parser overflow"))},
    {"id": "VUXBA-2024:0002", "type": "bugfix", "severity": None,
     "title": "aurora bug fix update", "issued": "2024-03-14 12:00:00",
     "description": "Notes no longer lose their last line.",
     "packages": ("aurora", "aurora-data"),
     "references": (("bugzilla", "1002", "https://bugs.example.org/1002",
                     "aurora: last line lost"),)},
    {"id": "VUXEA-2024:0003", "type": "enhancement", "severity": None,
     "title": "cobalt enhancement update", "issued": "2024-03-15 08:30:00",
     "description": "New helpers for Basalt 1.2.",
     "packages": ("cobalt",), "references": ()},
)
ADVISORY_REPO = "updates"
REPO_NAMES = {
    "base": "Sandbox base",
    "updates": "Sandbox updates",
    "extras": "Sandbox extras (packages that fail or talk when installed)",
    "corrupt-primary": "Sandbox with a corrupt primary",
    "corrupt-repomd": "Sandbox with a corrupt repomd",
}

# What a root gets: first versions of everything updatable, a package without
# an update, and two versions of the install-only package (the third is in
# "updates"). failing-pre, ember, fjord, delta-suite stay available.
FIRST_INSTALL = (
    "sandbox-release",
    "aurora",
    "aurora-data",
    "libbasalt",
    "cobalt",
    "granite",
    "sandbox-kernel-5.1.0",
    "sandbox-kernel-5.2.0",
)
INSTALL_GROUP = "core-tools"
INSTALLONLY_PACKAGE = "sandbox-kernel"
# What the demo root has besides: the install-only package in a third
# version, and the package that "quartzite" in "updates" replaces.
DEMO_EXTRA = ("sandbox-kernel-5.3.0", "quartz")

YUM_CONF = """\
[main]
cachedir=/var/cache/yum
keepcache=0
debuglevel=2
logdir=/var/log
reposdir=/etc/yum.repos.d
gpgcheck=0
installonly_limit=3
obsoletes=1
skip_if_unavailable=False
"""

# dnf's version-lock plugin as its package configures it, inside a root.
VERSIONLOCK_CONF = """\
[main]
enabled = 1
locklist = /etc/dnf/plugins/versionlock.list
"""
# Where dnf_command(holds=True) keeps the plugin configuration that points
# the plugin at a root's lock list (dnf reads plugin configuration from the
# host, never from the install root).
HOLDS_PLUGIN_DIR = ".sandbox/dnf-plugins"

DEMO_LARDER = ("demo", "sandbox")
DEMO_LARDER_REPOS = ("updates",)


class SandboxError(Exception):
    """A sandbox could not be built; the text says why."""


# ---------------------------------------------------------------------------
# Helpers


def _run(cmd, what, env=None, cwd=None):
    """Run a command, raising SandboxError with its output when it fails."""
    try:
        proc = subprocess.run(cmd, env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              universal_newlines=True)
    except OSError as error:
        raise SandboxError("%s: cannot run %s: %s" % (what, cmd[0], error)) from error
    if proc.returncode != 0:
        tail = "\n".join(proc.stdout.splitlines()[-30:])
        raise SandboxError("%s failed (exit %d): %s\n%s"
                           % (what, proc.returncode, " ".join(cmd), tail))
    return proc.stdout


def _tool(name):
    path = shutil.which(name)
    if not path:
        raise SandboxError("%s is not installed (it is needed to build the sandbox)" % name)
    return path


def _dnf():
    # /usr/bin/dnf runs with the distribution's interpreter whatever PATH says.
    for candidate in ("/usr/bin/dnf", "/usr/bin/dnf-3"):
        if os.access(candidate, os.X_OK):
            return candidate
    return _tool("dnf")


def rpm_eval(expr):
    return _run([_tool("rpm"), "--eval", expr], "rpm --eval").strip()


@functools.lru_cache(maxsize=None)
def _arch():
    return rpm_eval("%_arch")


def cache_base():
    """The directory that holds every cached build."""
    path = os.environ.get("VUX_SANDBOX_CACHE") or os.path.join(
        os.path.expanduser("~"), ".cache", "vux-sandbox")
    return os.path.abspath(path)


def _inputs():
    specs = sorted(f for f in os.listdir(SPEC_DIR) if f.endswith(".spec"))
    return [os.path.join(SPEC_DIR, f) for f in specs] + [COMPS_FILE]


def content_key():
    """Hash of what the builds are made from."""
    digest = hashlib.sha256()
    digest.update(("format %s\narch %s\n" % (CACHE_FORMAT, _arch())).encode())
    digest.update(repr(BUILDS).encode())
    digest.update(repr(ADVISORIES).encode())
    for path in _inputs():
        digest.update(os.path.basename(path).encode() + b"\0")
        with open(path, "rb") as f:
            digest.update(f.read())
        digest.update(b"\0")
    return digest.hexdigest()[:16]


@contextlib.contextmanager
def _cache_lock(base):
    os.makedirs(base, exist_ok=True)
    with open(os.path.join(base, ".lock"), "a") as f:
        fcntl.flock(f, fcntl.LOCK_EX)
        try:
            yield
        finally:
            fcntl.flock(f, fcntl.LOCK_UN)


def _remove_stale(directory, prefix):
    """Drop half-built directories left by killed builds (call under the lock)."""
    if not os.path.isdir(directory):
        return
    for name in os.listdir(directory):
        if name.startswith(prefix):
            shutil.rmtree(os.path.join(directory, name), ignore_errors=True)


def _write_file(path, text):
    """Write a file whole: a reader sees the old content or the new one."""
    tmp = "%s.tmp%d" % (path, os.getpid())
    with open(tmp, "w") as f:
        f.write(text)
    os.replace(tmp, path)


# ---------------------------------------------------------------------------
# RPMs and repositories


def build_rpms(spec, topdir, defines=None, buildtime=None, target=None):
    """Build the binary RPMs of one spec file (for the architecture target,
    default the machine's); returns their paths."""
    env = dict(os.environ, TZ="UTC", LC_ALL="C")
    cmd = [_tool("rpmbuild"), "-bb", "--quiet",
           "--define", "_topdir %s" % topdir,
           "--define", "_tmppath %s/tmp" % topdir,
           "--define", "_buildhost sandbox.vux.test"]
    if buildtime is not None:
        env["SOURCE_DATE_EPOCH"] = str(buildtime)
        cmd += ["--define", "use_source_date_epoch_as_buildtime 1"]
    for key, value in sorted((defines or {}).items()):
        cmd += ["--define", "%s %s" % (key, value)]
    if target:
        cmd += ["--target", target]
    cmd.append(spec)
    os.makedirs(os.path.join(topdir, "tmp"), exist_ok=True)
    _run(cmd, "rpmbuild of %s" % os.path.basename(spec), env=env)
    result = []
    for dirpath, _dirs, files in os.walk(os.path.join(topdir, "RPMS")):
        result += [os.path.join(dirpath, f) for f in files if f.endswith(".rpm")]
    return sorted(result)


def make_repo(directory, rpms, comps=None):
    """Make a repository at directory from rpm files (hard-linked when possible)."""
    packages = os.path.join(directory, "Packages")
    os.makedirs(packages, exist_ok=True)
    for rpm in rpms:
        target = os.path.join(packages, os.path.basename(rpm))
        try:
            os.link(rpm, target)
        except OSError:
            shutil.copy2(rpm, target)
    cmd = [_tool("createrepo_c"), "--quiet", "--no-database"]
    if comps:
        cmd += ["--groupfile", comps]
    cmd.append(directory)
    _run(cmd, "createrepo_c")
    return directory


def _repomd_location(directory, kind):
    import xml.etree.ElementTree as ET
    ns = {"r": "http://linux.duke.edu/metadata/repo"}
    root = ET.parse(os.path.join(directory, "repodata", "repomd.xml")).getroot()
    for data in root.findall("r:data", ns):
        if data.get("type") == kind:
            return os.path.join(directory, data.find("r:location", ns).get("href"))
    raise SandboxError("%s has no %s metadata" % (directory, kind))


def corrupt_repo(directory, what="primary"):
    """Break a repository on purpose.

    "primary": the primary metadata file is replaced by garbage (its checksum
    no longer matches repomd.xml); "missing-primary": it is deleted (404 over
    HTTP); "repomd": repomd.xml is not XML any more.
    """
    if what in ("primary", "missing-primary"):
        primary = _repomd_location(directory, "primary")
        os.unlink(primary)  # may be a hard link shared with another repository
        if what == "primary":
            with open(primary, "wb") as f:
                f.write(b"this is not a gzip file\n" * 16)
    elif what == "repomd":
        path = os.path.join(directory, "repodata", "repomd.xml")
        os.unlink(path)
        with open(path, "w") as f:
            f.write("<repomd broken\n")
    else:
        raise ValueError("unknown corruption %r" % what)
    return directory


def _repo_packages(directory):
    """(name, epoch, version, release, arch, source RPM, file name) of every RPM in a
    repository made by make_repo."""
    packages = os.path.join(directory, "Packages")
    rpms = sorted(os.path.join(packages, f) for f in os.listdir(packages) if f.endswith(".rpm"))
    if not rpms:
        return []
    out = _run([_tool("rpm"), "-qp", "--nosignature", "--nodigest", "--qf",
                "%{name} %{epochnum} %{version} %{release} %{arch} %{sourcerpm}\\n"] + rpms,
               "rpm -qp in %s" % directory)
    return [tuple(line.split()) + (os.path.basename(rpm),)
            for line, rpm in zip(out.splitlines(), rpms)]


def updateinfo_xml(advisories, packages):
    """The updateinfo document of advisories (dicts as in ADVISORIES), each
    listing the packages of its names found in packages (from
    _repo_packages)."""
    import xml.etree.ElementTree as ET
    updates = ET.Element("updates")
    for advisory in advisories:
        update = ET.SubElement(updates, "update", {
            "from": "security@vux.example", "status": "stable",
            "type": advisory["type"], "version": "1"})
        for tag in ("id", "title"):
            ET.SubElement(update, tag).text = advisory[tag]
        if advisory.get("severity"):
            ET.SubElement(update, "severity").text = advisory["severity"]
        ET.SubElement(update, "release").text = "Sandbox %s" % RELEASEVER
        ET.SubElement(update, "issued", {"date": advisory["issued"]})
        ET.SubElement(update, "updated", {"date": advisory["issued"]})
        ET.SubElement(update, "description").text = advisory.get("description", "")
        references = ET.SubElement(update, "references")
        for kind, ident, href, title in advisory.get("references", ()):
            ET.SubElement(references, "reference",
                          {"href": href, "id": ident, "type": kind, "title": title})
        collection = ET.SubElement(ET.SubElement(update, "pkglist"), "collection",
                                   {"short": "sandbox"})
        ET.SubElement(collection, "name").text = "Sandbox"
        for name, epoch, version, release, arch, source, filename in packages:
            if name not in advisory["packages"]:
                continue
            package = ET.SubElement(collection, "package", {
                "name": name, "epoch": epoch, "version": version, "release": release,
                "arch": arch, "src": source})
            ET.SubElement(package, "filename").text = filename
    return '<?xml version="1.0" encoding="UTF-8"?>\n' + ET.tostring(updates, "unicode") + "\n"


def add_updateinfo(directory, advisories):
    """Adds the advisories to the repository at directory as its updateinfo
    (modifyrepo_c), replacing any it had. Returns the document written."""
    text = updateinfo_xml(advisories, _repo_packages(directory))
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "updateinfo.xml")
        _write_file(path, text)
        _run([_tool("modifyrepo_c"), "--mdtype=updateinfo", "--no-compress", path,
              os.path.join(directory, "repodata")], "modifyrepo_c")
    return text


SIGNING_USERID = "Vux Test Key <test@vux.example>"


def make_signing_key(directory):
    """A new RSA signing key in the GnuPG home directory/gnupg, exported to
    directory/key.asc. Returns {"home", "key", "fingerprint", "userid"}."""
    home = os.path.join(directory, "gnupg")
    os.makedirs(home, mode=0o700)
    env = dict(os.environ, GNUPGHOME=home)
    gpg = _tool("gpg")
    _run([gpg, "--batch", "--pinentry-mode", "loopback", "--passphrase", "",
          "--quick-gen-key", SIGNING_USERID, "rsa2048", "sign", "never"], "gpg", env=env)
    key = os.path.join(directory, "key.asc")
    _write_file(key, _run([gpg, "--batch", "--armor", "--export", SIGNING_USERID],
                          "gpg --export", env=env))
    listing = _run([gpg, "--batch", "--with-colons", "--fingerprint", SIGNING_USERID],
                   "gpg --fingerprint", env=env)
    fingerprint = next(line.split(":")[9] for line in listing.splitlines()
                       if line.startswith("fpr:"))
    return {"home": home, "key": key, "fingerprint": fingerprint, "userid": SIGNING_USERID}


def make_package_repo(directory, names, key=None):
    """A repository at directory of the sandbox's packages with the given
    names (every version built), copied and signed with key (from
    make_signing_key) when one is given."""
    packages = os.path.join(directory, "Packages")
    os.makedirs(packages)
    copies = []
    for rpm in build_repos()["rpms"]:
        base = os.path.basename(rpm)
        if any(base.startswith(name + "-") and base[len(name) + 1:][:1].isdigit()
               for name in names):
            copies.append(shutil.copy(rpm, os.path.join(packages, base)))
    if not copies:
        raise SandboxError("no package named %s" % ", ".join(names))
    if key is not None:
        env = dict(os.environ, GNUPGHOME=key["home"])
        try:
            _run([_tool("rpmsign"), "--define", "__gpg %s" % _tool("gpg"),
                  "--define", "_gpg_sign_cmd_extra_args --batch --pinentry-mode loopback "
                  "--passphrase ''", "--define", "_gpg_name %s" % key["userid"],
                  "--define", "_gpg_path %s" % key["home"], "--addsign"] + copies,
                 "rpmsign", env=env)
        finally:
            # No agent is left behind for the key's home.
            subprocess.run([_tool("gpgconf"), "--kill", "gpg-agent"], env=env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _run([_tool("createrepo_c"), "--quiet", "--no-database", directory], "createrepo_c")
    return directory


def spec_repo(spec, directory, defines=None):
    """A repository at directory (missing or empty) of the RPMs of one spec
    file, built with the macros defines: {"repo", "rpms"}."""
    os.makedirs(directory, exist_ok=True)
    # Built beside the repository: createrepo_c reads every RPM under it.
    topdir = tempfile.mkdtemp(prefix=".build-", dir=os.path.dirname(os.path.abspath(directory)))
    try:
        built = build_rpms(os.path.abspath(spec), topdir, defines)
        make_repo(directory, built)
    finally:
        shutil.rmtree(topdir, ignore_errors=True)
    packages = os.path.join(directory, "Packages")
    return {"repo": directory,
            "rpms": sorted(os.path.join(packages, os.path.basename(p)) for p in built)}


def signed_repo(directory, names=("ember", "fjord")):
    """A key and a repository signed with it under directory (missing or
    empty): {"repo", "key", "fingerprint", "userid"}."""
    os.makedirs(directory, exist_ok=True)
    key = make_signing_key(directory)
    repo = make_package_repo(os.path.join(directory, "repo"), names, key)
    return {"repo": repo, "key": key["key"], "fingerprint": key["fingerprint"],
            "userid": key["userid"]}


def _build_into(tmp):
    rpms = {}
    for index, (spec, defines, buildtime, rpmset, *target) in enumerate(BUILDS):
        topdir = os.path.join(tmp, "build", str(index))
        built = build_rpms(os.path.join(SPEC_DIR, spec), topdir, defines, buildtime,
                           target[0] if target else None)
        rpms.setdefault(rpmset, []).extend(built)
    rpmdir = os.path.join(tmp, "rpms")
    os.makedirs(rpmdir)
    stored = {}
    for rpmset, paths in rpms.items():
        for path in paths:
            target = os.path.join(rpmdir, os.path.basename(path))
            if os.path.exists(target):
                raise SandboxError("two builds make %s" % os.path.basename(path))
            os.rename(path, target)
            stored.setdefault(rpmset, []).append(target)
    shutil.rmtree(os.path.join(tmp, "build"))
    shutil.copy2(COMPS_FILE, os.path.join(tmp, "comps.xml"))
    repodir = os.path.join(tmp, "repos")
    for repo, sets in REPO_SETS.items():
        paths = [p for s in sets for p in stored.get(s, [])]
        comps = os.path.join(tmp, "comps.xml") if repo == COMPS_REPO else None
        make_repo(os.path.join(repodir, repo), paths, comps)
    add_updateinfo(os.path.join(repodir, ADVISORY_REPO), ADVISORIES)
    for repo, what in CORRUPT_REPOS.items():
        shutil.copytree(os.path.join(repodir, "base"), os.path.join(repodir, repo),
                        copy_function=os.link)
        corrupt_repo(os.path.join(repodir, repo), what)


def _repos_result(cache):
    repodir = os.path.join(cache, "repos")
    repos = {name: os.path.join(repodir, name) for name in sorted(os.listdir(repodir))}
    return {"cache": cache + "/", "repos": repos}


def build_repos(verbose=False):
    """Build (or reuse) the RPMs and repositories.

    Returns {"cache": DIR/, "repos": {name: path}, "rpms": [paths],
    "built": bool} ("built" tells whether this call ran rpmbuild).
    """
    base = cache_base()
    cache = os.path.join(base, content_key())
    built = False
    if not os.path.isdir(cache):
        with _cache_lock(base):
            if not os.path.isdir(cache):
                _remove_stale(base, ".build-")
                tmp = tempfile.mkdtemp(prefix=".build-", dir=base)
                os.chmod(tmp, 0o755)
                try:
                    started = time.monotonic()
                    _build_into(tmp)
                    os.rename(tmp, cache)
                except BaseException:
                    shutil.rmtree(tmp, ignore_errors=True)
                    raise
                built = True
                if verbose:
                    print("sandbox: built %s in %.1f s" % (cache, time.monotonic() - started),
                          file=sys.stderr)
    result = _repos_result(cache)
    rpmdir = os.path.join(cache, "rpms")
    result["rpms"] = sorted(os.path.join(rpmdir, f) for f in os.listdir(rpmdir))
    result["built"] = built
    return result


# ---------------------------------------------------------------------------
# Roots


def _parse_larder(larder):
    if larder is None:
        return None
    if isinstance(larder, str):
        name, sep, password = larder.partition(":")
        if not sep or not name:
            raise SandboxError("larder credentials must be NAME:PASSWORD, not %r" % larder)
        return name, password
    name, password = larder
    return str(name), str(password)


def repo_url(repo, url_base=None, larder=None, repos_dir=None, mirrors=None):
    """The URL of a repository: file://, URL/<repo>/ or a larder URL.

    mirrors "mirrorlist" or "metalink": the URL of the server's mirror list
    or metalink for the repository instead (http only).
    """
    if url_base is None:
        if mirrors:
            raise SandboxError("mirror lists and metalinks need an http URL base")
        path = os.path.join(repos_dir or build_repos()["cache"] + "repos", repo)
        return "file://" + urllib.parse.quote(path) + "/"
    if mirrors not in (None, "mirrorlist", "metalink"):
        raise SandboxError("mirrors must be mirrorlist or metalink, not %r" % mirrors)
    url_base = url_base.rstrip("/")
    path = "/%s/%s" % (mirrors, repo) if mirrors else "/%s/" % repo
    larder = _parse_larder(larder)
    if larder is None:
        return url_base + path
    quote = lambda value: urllib.parse.quote(value, safe="")
    return "%s/larder?name=%s&password=%s&path=%s" % (
        url_base, quote(larder[0]), quote(larder[1]), path)


def write_repo_files(root, urls, enabled=None, mirrors=None):
    """Replace the root's .repo files: one file per repository id.

    urls: {id: URL}, written as baseurl (or as mirrorlist / metalink).
    """
    key = mirrors or "baseurl"
    reposdir = os.path.join(root, "etc", "yum.repos.d")
    os.makedirs(reposdir, exist_ok=True)
    for name in os.listdir(reposdir):
        if name.endswith(".repo"):
            os.unlink(os.path.join(reposdir, name))
    for repo, url in urls.items():
        on = 1 if enabled is None or repo in enabled else 0
        text = ("[%s]\nname=%s\n%s=%s\nenabled=%d\ngpgcheck=0\n"
                % (repo, REPO_NAMES.get(repo, repo), key, url, on))
        _write_file(os.path.join(reposdir, repo + ".repo"), text)


def write_yum_conf(root):
    """The main configuration file, the version-lock plugin's configuration
    and empty lock list, and the directories any system has."""
    for sub in ("etc/yum.repos.d", "etc/dnf/plugins", "var/log", "var/cache/yum", "var/lib"):
        os.makedirs(os.path.join(root, sub), exist_ok=True)
    _write_file(os.path.join(root, "etc", "yum.conf"), YUM_CONF)
    _write_file(os.path.join(root, "etc", "dnf", "plugins", "versionlock.conf"), VERSIONLOCK_CONF)
    locklist = os.path.join(root, "etc", "dnf", "plugins", "versionlock.list")
    if not os.path.exists(locklist):
        _write_file(locklist, "")


def _holds_plugin_dir(root):
    """A plugin configuration directory whose versionlock.conf names the
    root's lock list (the one the root's own configuration names)."""
    parser = configparser.RawConfigParser()
    parser.read(os.path.join(root, "etc", "dnf", "plugins", "versionlock.conf"))
    locklist = parser.get("main", "locklist", fallback="/etc/dnf/plugins/versionlock.list")
    directory = os.path.join(root, HOLDS_PLUGIN_DIR)
    os.makedirs(directory, exist_ok=True)
    _write_file(os.path.join(directory, "versionlock.conf"),
                "[main]\nenabled = 1\nlocklist = %s\n" % os.path.join(root, locklist.lstrip("/")))
    return directory


def dnf_command(root, *args, holds=False):
    """A dnf command line that works on the sandbox root only. With holds,
    dnf's version-lock plugin (and no other) is loaded and reads the root's
    lock list, so that "dnf upgrade" keeps held packages and "dnf versionlock"
    works on the root."""
    plugins = ["--noplugins"]
    if holds:
        plugins = ["--disableplugin=*", "--enableplugin=versionlock",
                   "--setopt=pluginconfpath=%s" % _holds_plugin_dir(root)]
    return [_dnf(), "-y", "-q"] + plugins + [
            "--installroot=%s" % root,
            "--config=%s" % os.path.join(root, "etc", "yum.conf"),
            "--setopt=reposdir=%s" % os.path.join(root, "etc", "yum.repos.d"),
            "--releasever=%s" % RELEASEVER] + list(args)


def installed_packages(root):
    """NEVRAs of the packages in the root's rpm database, sorted."""
    out = _run([_tool("rpm"), "--root", root, "-qa", "--qf", "%{nevra}\\n"],
               "rpm -qa in %s" % root)
    return sorted(line for line in out.splitlines() if line)


def dnf_base(root, fill=True, load_system_repo=True):
    """A dnf.Base on the root, configured the way dnf's command line does it.

    With fill, the enabled repositories and the installed system are in the
    sack. Callers close() it. Independent of the Vux companion script, so
    tests can check what it reports against dnf itself.
    """
    import dnf
    import dnf.rpm

    base = dnf.Base()
    try:
        conf = base.conf
        conf.installroot = root
        conf.config_file_path = os.path.join(root, "etc", "yum.conf")
        conf.read(priority=dnf.conf.PRIO_MAINCONFIG)
        conf.reposdir = [os.path.join(root, "etc", "yum.repos.d")]
        conf.releasever = dnf.rpm.detect_releasever(root) or RELEASEVER
        for option in ("cachedir", "logdir", "persistdir"):
            conf.prepend_installroot(option)
        base.read_all_repos()
        if fill:
            base.fill_sack(load_system_repo=load_system_repo)
    except BaseException:
        base.close()
        raise
    return base


def _populate(root, repos_dir, group, extra=()):
    write_yum_conf(root)
    write_repo_files(root, {"base": repo_url("base", repos_dir=repos_dir)})
    _run(dnf_command(root, "install", *FIRST_INSTALL), "dnf install into %s" % root)
    if group:
        _run(dnf_command(root, "group", "install", INSTALL_GROUP),
             "dnf group install into %s" % root)
    if extra:
        # From both repositories, as they were before anything obsoleted them.
        write_repo_files(root, {repo: repo_url(repo, repos_dir=repos_dir)
                                for repo in DEFAULT_REPOS})
        _run(dnf_command(root, "--setopt=obsoletes=0", "install", *extra),
             "dnf install into %s" % root)
    # A fresh root: no metadata of the file:// repositories, no logs of the set-up.
    for sub in ("var/cache/yum", "var/log"):
        path = os.path.join(root, sub)
        shutil.rmtree(path, ignore_errors=True)
        os.makedirs(path, exist_ok=True)
    write_repo_files(root, {})
    out = _run([_tool("rpm"), "--root", root, "-qa", "--qf",
                "%{name} %{name}-%{version} %{name}.%{arch}\\n"], "rpm -qa in %s" % root)
    have = set(out.split())
    missing = [p for p in FIRST_INSTALL + tuple(extra) if p not in have]
    if missing:
        raise SandboxError("dnf did not install %s into %s" % (", ".join(missing), root))


def _root_template(cache, group, extra=()):
    """A root with the first versions installed (and the packages extra),
    built once per cache."""
    # The rpm database sits where the macros say (under $HOME on Debian), so
    # a template is only good for the same database path.
    recipe = repr((rpm_eval("%_dbpath"), YUM_CONF, FIRST_INSTALL, INSTALL_GROUP, RELEASEVER,
                   tuple(extra)))
    variant = "%s-%s" % ("group" if group else "plain",
                         hashlib.sha256(recipe.encode()).hexdigest()[:10])
    roots = os.path.join(cache, "roots")
    template = os.path.join(roots, variant)
    if os.path.isdir(template):
        return template
    with _cache_lock(cache_base()):
        if os.path.isdir(template):
            return template
        os.makedirs(roots, exist_ok=True)
        _remove_stale(roots, ".tmp-")
        tmp = tempfile.mkdtemp(prefix=".tmp-", dir=roots)
        os.chmod(tmp, 0o755)  # cp -a gives a root the template's mode
        try:
            _populate(tmp, os.path.join(cache, "repos"), group, extra)
            os.rename(tmp, template)
        except BaseException:
            shutil.rmtree(tmp, ignore_errors=True)
            raise
    return template


def make_root(directory, url_base=None, larder=None, install=True, repos=None,
              group=False, larder_repos=None, enabled=None, mirrors=None, extra=()):
    """Create a sandbox root at directory (missing or empty).

    url_base: "http://127.0.0.1:PORT" for http URLs, None for file:// URLs.
    larder: "NAME:PASSWORD" or (name, password): the http URLs go through
    larder credentials (only for the repositories in larder_repos, when
    given). repos: repository ids to configure (default base, updates);
    enabled: the subset written with enabled=1 (default all of them).
    mirrors: "mirrorlist" or "metalink" to point the repositories at the
    server's generated mirror lists or metalinks instead of a baseurl.
    extra: more packages to install (name or name-version), from "base"
    and "updates" as they were before anything obsoleted them.
    Returns {"root": dir, "installed": [nevra...], "repos": {id: baseurl}}.
    """
    directory = os.path.abspath(directory)
    if os.path.lexists(directory):
        if not os.path.isdir(directory):
            raise SandboxError("%s exists and is not a directory" % directory)
        if os.listdir(directory):
            raise SandboxError("%s is not empty: a sandbox root needs an empty directory"
                               % directory)
    repos = list(repos or DEFAULT_REPOS)
    larder = _parse_larder(larder)
    if larder is not None and url_base is None:
        raise SandboxError("larder credentials need an http URL base (--url-base)")
    if mirrors is not None and url_base is None:
        raise SandboxError("mirror lists and metalinks need an http URL base (--url-base)")
    info = build_repos()
    cache = info["cache"].rstrip("/")
    unknown = [r for r in repos if r not in info["repos"]]
    if unknown:
        raise SandboxError("unknown repositories %s (known: %s)"
                           % (", ".join(unknown), ", ".join(sorted(info["repos"]))))
    os.makedirs(directory, exist_ok=True)
    if install:
        if os.geteuid() != 0:
            raise SandboxError("installing packages into a root needs root privileges "
                               "(rpm changes its root directory); use --no-install")
        template = _root_template(cache, group, extra)
        _run(["cp", "-a", "--", template + "/.", directory + "/"],
             "copying the root template")
    else:
        write_yum_conf(directory)
    urls = {}
    for repo in repos:
        use_larder = larder if larder_repos is None or repo in larder_repos else None
        urls[repo] = repo_url(repo, url_base, use_larder, os.path.join(cache, "repos"),
                              mirrors)
    write_repo_files(directory, urls, enabled, mirrors)
    write_yum_conf(directory)
    installed = installed_packages(directory) if install else []
    return {"root": directory, "installed": installed, "repos": urls}


# ---------------------------------------------------------------------------
# HTTP server


def _parse_query(query):
    """Query parameters, percent-decoded ('+' stays a plus)."""
    result = {}
    for part in query.split("&"):
        if not part:
            continue
        key, _sep, value = part.partition("=")
        result.setdefault(urllib.parse.unquote(key), urllib.parse.unquote(value))
    return result


class _Handler(BaseHTTPRequestHandler):
    server_version = "VuxSandbox/1"
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):  # the request log is our own
        pass

    def do_GET(self):
        self._answer(body=True)

    def do_HEAD(self):
        self._answer(body=False)

    def _resolve(self):
        """(status, path inside the tree or None); notes larder credentials used."""
        server = self.server
        split = urllib.parse.urlsplit(self.path)
        path = urllib.parse.unquote(split.path)
        self.larder_used = None
        if path == "/larder" or path.startswith("/larder/"):
            query = _parse_query(split.query)
            if "name" not in query or "password" not in query:
                return 401, None
            if server.larder is None or (query["name"], query["password"]) != server.larder:
                return 403, None
            if "path" not in query:
                return 400, None
            self.larder_used = server.larder
            rest, tail = query["path"], path[len("/larder"):]
            path = rest.rstrip("/") + "/" + tail.lstrip("/") if tail else rest
        elif server.larder_only:
            return 401, None
        if ".." in path.split("/"):
            return 403, None
        clean = posixpath.normpath("/" + path.lstrip("/"))
        if path.endswith("/") and clean != "/":
            clean += "/"
        return 200, clean

    def _answer(self, body):
        status, path = self._resolve()
        data, ctype = b"", "text/plain; charset=utf-8"
        mirrors = MIRROR_PATH.match(path or "")
        if status == 200 and mirrors:
            data, ctype = self._mirrors(mirrors.group(1), mirrors.group(2))
            if data is None:
                status = 404
        elif status == 200:
            local = os.path.join(self.server.tree, path.lstrip("/"))
            if os.path.isdir(local):
                data, ctype = self._listing(path, local), "text/html; charset=utf-8"
            elif os.path.isfile(local):
                try:
                    with open(local, "rb") as f:
                        data = f.read()
                    ctype = _content_type(local)
                except OSError:
                    status = 500
            else:
                status = 404
        if status != 200:
            data = ("%d %s\n" % (status, self.responses.get(status, ("",))[0])).encode()
        self.server.record(self.command, self.path, status, path if status == 200 else None)
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(data)))
        if status == 401:
            self.send_header("WWW-Authenticate", 'Larder realm="sandbox"')
        self.end_headers()
        if body:
            self.wfile.write(data)

    def _mirrors(self, kind, repo):
        """A mirror list or metalink naming this server's copy of repo."""
        repomd = os.path.join(self.server.tree, repo, "repodata", "repomd.xml")
        if not os.path.isfile(repomd):
            return None, None
        host = self.headers.get("Host") or "127.0.0.1:%d" % self.server.server_address[1]
        if self.larder_used:
            quote = lambda value: urllib.parse.quote(value, safe="")
            url = "http://%s/larder?name=%s&password=%s&path=/%s/" % (
                host, quote(self.larder_used[0]), quote(self.larder_used[1]), repo)
        else:
            url = "http://%s/%s/" % (host, repo)
        if kind == "mirrorlist":
            return (url + "\n").encode(), "text/plain; charset=utf-8"
        with open(repomd, "rb") as f:
            content = f.read()
        # librepo takes the base URL as what precedes "repodata/repomd.xml"
        # at the end, so a larder URL carries it in its path= value.
        repomd_url = url + "repodata/repomd.xml"
        text = METALINK % {
            "timestamp": int(os.stat(repomd).st_mtime), "size": len(content),
            "sha256": hashlib.sha256(content).hexdigest(), "url": html.escape(repomd_url)}
        return text.encode(), "application/metalink+xml"

    @staticmethod
    def _listing(path, local):
        items = []
        for name in sorted(os.listdir(local)):
            slash = "/" if os.path.isdir(os.path.join(local, name)) else ""
            link = urllib.parse.quote(name) + slash
            items.append('<li><a href="%s">%s</a></li>' % (link, html.escape(name + slash)))
        title = html.escape(path)
        return ("<!DOCTYPE html>\n<html><head><title>Index of %s</title></head><body>"
                "<h1>Index of %s</h1><ul>%s</ul></body></html>\n"
                % (title, title, "".join(items))).encode()


MIRROR_PATH = re.compile(r"^/(mirrorlist|metalink)/([^/]+)/?$")

METALINK = """\
<?xml version="1.0" encoding="utf-8"?>
<metalink version="3.0" xmlns="http://www.metalinker.org/" type="dynamic" \
generator="vux-sandbox" xmlns:mm0="http://fedorahosted.org/mirrormanager">
 <files>
  <file name="repomd.xml">
   <mm0:timestamp>%(timestamp)d</mm0:timestamp>
   <size>%(size)d</size>
   <verification>
    <hash type="sha256">%(sha256)s</hash>
   </verification>
   <resources maxconnections="1">
    <url protocol="http" type="http" location="XX" preference="100">%(url)s</url>
   </resources>
  </file>
 </files>
</metalink>
"""


def _content_type(path):
    for suffix, ctype in ((".xml", "application/xml"), (".gz", "application/gzip"),
                          (".rpm", "application/x-rpm"), (".html", "text/html")):
        if path.endswith(suffix):
            return ctype
    return "application/octet-stream"


class _HTTPServer(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, port, tree, larder, larder_only, log):
        super().__init__(("127.0.0.1", port), _Handler)
        self.tree = os.path.abspath(tree)
        self.larder = larder
        self.larder_only = larder_only
        self.log_path = log
        self.requests = []
        self._log_lock = threading.Lock()

    def handle_error(self, request, client_address):
        # A client that hangs up mid-download (a cancelled transfer) is normal.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)

    def record(self, method, path, status, served):
        entry = (method, path, status, served)
        with self._log_lock:
            self.requests.append(entry)
            if self.log_path:
                with open(self.log_path, "a") as f:
                    f.write("%s %s %d %s\n" % (method, path, status, served or "-"))


class Server:
    """A repository server in a thread of this process: .port, .url, .requests, .stop().

    Do not use it in a process that also runs dnf: librepo holds the
    interpreter lock while it downloads, so the server thread starves and
    every download waits for curl's time-outs. serve() runs a process.
    """

    def __init__(self, larder=None, log=None, tree=None, larder_only=False, port=0):
        if tree is None:
            tree = build_repos()["cache"] + "repos"
        if not os.path.isdir(tree):
            raise SandboxError("nothing to serve: %s is not a directory" % tree)
        self._httpd = _HTTPServer(port, tree, _parse_larder(larder), larder_only, log)
        self.port = self._httpd.server_address[1]
        self.url = "http://127.0.0.1:%d" % self.port
        self.tree = self._httpd.tree
        self._thread = None

    @property
    def requests(self):
        """(method, request path, status, served path or None) per request."""
        with self._httpd._log_lock:
            return list(self._httpd.requests)

    def clear_requests(self):
        with self._httpd._log_lock:
            del self._httpd.requests[:]

    def start(self):
        self._thread = threading.Thread(target=self.serve_forever, name="sandbox-http",
                                        daemon=True)
        self._thread.start()
        return self

    def serve_forever(self):
        self._httpd.serve_forever(poll_interval=0.05)

    def shutdown(self):
        """Stop serve_forever(); callable from any thread but the serving one."""
        self._httpd.shutdown()

    def stop(self):
        self._httpd.shutdown()
        self._httpd.server_close()
        if self._thread:
            self._thread.join()


def _read_request_log(path):
    entries = []
    try:
        with open(path) as f:
            lines = f.read().splitlines()
    except FileNotFoundError:
        return entries
    for line in lines:
        parts = line.split(" ")
        if len(parts) == 4 and parts[2].isdigit():
            served = None if parts[3] == "-" else parts[3]
            entries.append((parts[0], parts[1], int(parts[2]), served))
    return entries


def start_server_process(port_file=None, log=None, larder=None, larder_only=False,
                         pid_file=None, errors=None, tree=None, daemon=False):
    """Start `sandbox.py serve`; returns (Popen, port).

    daemon: in its own session, holding none of the caller's descriptors (its
    error output goes to the file errors, or nowhere), so that it outlives
    the caller and a caller reading this process's output is not kept
    waiting by it. Otherwise it stops when this process ends.
    """
    cmd = [sys.executable, os.path.abspath(__file__), "serve", "--port", "0"]
    if port_file:
        cmd += ["--port-file", port_file]
    if log:
        cmd += ["--log", log]
    if larder:
        cmd += ["--larder", "%s:%s" % _parse_larder(larder)]
    if larder_only:
        cmd.append("--larder-only")
    if tree:
        cmd += ["--tree", tree]
    if not daemon:
        cmd += ["--watch-pid", str(os.getpid())]
    err = open(errors, "ab") if errors else (subprocess.DEVNULL if daemon else None)
    try:
        proc = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=err, start_new_session=daemon, close_fds=True)
    finally:
        if errors:
            err.close()
    line = proc.stdout.readline().decode().strip()
    proc.stdout.close()
    if not line.isdigit():
        proc.kill()
        proc.wait()
        raise SandboxError("the repository server did not start")
    if pid_file:
        _write_file(pid_file, "%d\n" % proc.pid)
    return proc, int(line)


class ServerProcess:
    """A repository server in a child process: .port, .url, .requests, .stop()."""

    def __init__(self, larder=None, log=None, tree=None, larder_only=False):
        if tree is None:
            tree = build_repos()["cache"] + "repos"
        if not os.path.isdir(tree):
            raise SandboxError("nothing to serve: %s is not a directory" % tree)
        self._own_log = log is None
        if self._own_log:
            fd, log = tempfile.mkstemp(prefix="vux-sandbox-http-", suffix=".log")
            os.close(fd)
        self.log = os.path.abspath(log)
        self.tree = os.path.abspath(tree)
        try:
            self._proc, self.port = start_server_process(
                log=self.log, larder=larder, larder_only=larder_only, tree=self.tree)
        except BaseException:
            if self._own_log:
                os.unlink(self.log)
            raise
        self.pid = self._proc.pid
        self.url = "http://127.0.0.1:%d" % self.port

    @property
    def requests(self):
        """(method, request path, status, served path or None) per request.

        A request is logged before its answer is sent, so it is here once the
        client has its answer.
        """
        return _read_request_log(self.log)

    def clear_requests(self):
        with open(self.log, "w"):
            pass

    def stop(self):
        if self._proc.poll() is None:
            self._proc.terminate()
            try:
                self._proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self._proc.kill()
                self._proc.wait()
        if self._own_log:
            with contextlib.suppress(FileNotFoundError):
                os.unlink(self.log)


@contextlib.contextmanager
def serve(larder=None, log=None, tree=None, larder_only=False, thread=False):
    """Serve the repositories on 127.0.0.1 while the block runs.

    Yields an object with .port, .url, .requests and .clear_requests().
    The server runs in a child process (thread=True: in a thread, only for
    processes that do not run dnf themselves).
    """
    if thread:
        server = Server(larder, log, tree, larder_only).start()
    else:
        server = ServerProcess(larder, log, tree, larder_only)
    try:
        yield server
    finally:
        server.stop()


# ---------------------------------------------------------------------------
# Demo


def _alive_server(pidfile):
    """The pid of a running server started by a previous demo, or None."""
    try:
        with open(pidfile) as f:
            pid = int(f.read().strip())
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            cmdline = f.read().split(b"\0")
    except (OSError, ValueError):
        return None
    if any(arg.endswith(b"sandbox.py") for arg in cmdline) and b"serve" in cmdline:
        return pid
    return None


def _stop_pid(pid, timeout=10):
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        return
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            with open("/proc/%d/stat" % pid) as f:
                if f.read().rpartition(")")[2].split()[0] == "Z":
                    return  # exited; waiting for its parent to reap it
        except (OSError, IndexError):
            return
        time.sleep(0.05)


# What the demo does with dnf after the root is made: a history of a few
# transactions beside the root's first ones, and a package held with
# "dnf versionlock" (it has an update waiting), so that the History window
# and a hold show at once.
DEMO_TRANSACTIONS = (("install", "ember"), ("install", "fjord"), ("remove", "fjord"))
DEMO_HELD = "libbasalt"


def _demo_history(root):
    for args in DEMO_TRANSACTIONS:
        _run(dnf_command(root, *args), "dnf %s in the demo root" % " ".join(args))
    _run(dnf_command(root, "versionlock", "add", DEMO_HELD, holds=True),
         "dnf versionlock add %s in the demo root" % DEMO_HELD)


def demo(directory):
    directory = os.path.abspath(directory)
    marker = os.path.join(directory, ".vux-sandbox-demo")
    pidfile = os.path.join(directory, "server.pid")
    root = os.path.join(directory, "root")
    if os.path.isdir(directory) and os.listdir(directory) and not os.path.exists(marker):
        raise SandboxError("%s is not empty and was not made by a demo" % directory)
    os.makedirs(directory, exist_ok=True)
    _write_file(marker, "A Vux sandbox demo directory.\n")
    old = _alive_server(pidfile)
    if old:
        _stop_pid(old)
    shutil.rmtree(root, ignore_errors=True)
    build_repos(verbose=True)
    proc, port = start_server_process(os.path.join(directory, "server.port"),
                                      log=os.path.join(directory, "server.log"),
                                      larder=DEMO_LARDER, pid_file=pidfile,
                                      errors=os.path.join(directory, "server.err"),
                                      daemon=True)
    url = "http://127.0.0.1:%d" % port
    try:
        result = make_root(root, url_base=url, larder=DEMO_LARDER,
                           larder_repos=DEMO_LARDER_REPOS, group=True, extra=DEMO_EXTRA)
        _demo_history(root)
    except BaseException:
        _stop_pid(proc.pid)
        proc.wait()
        with contextlib.suppress(FileNotFoundError):
            os.unlink(pidfile)
        raise
    vux = os.path.join(SOURCE_DIR, "build", "vux")
    print("Sandbox root:      %s (%d packages installed, updates waiting, %s held, "
          "a history of transactions)" % (root, len(installed_packages(root)), DEMO_HELD))
    print("Repository server: %s (pid in %s, requests in %s)"
          % (url, pidfile, os.path.join(directory, "server.log")))
    for repo, repourl in result["repos"].items():
        print("  %-8s %s" % (repo, repourl))
    print("Larder credentials of \"updates\": name %s, password %s" % DEMO_LARDER)
    print()
    print("Run Vux on it:")
    print("  VUXSHARE=%s %s --installroot=%s" % (os.path.join(SOURCE_DIR, "share"), vux, root))
    print("Stop the server afterwards:")
    print("  kill $(cat %s)" % pidfile)
    return result


# ---------------------------------------------------------------------------
# Command line


def _cmd_serve(args):
    server = Server(args.larder, args.log, args.tree, args.larder_only, args.port)

    def stop(_signum=None, _frame=None):
        # shutdown() waits for serve_forever(), which runs in this thread.
        threading.Thread(target=server.shutdown, daemon=True).start()

    def watch(pid):
        while True:
            time.sleep(0.5)
            try:
                os.kill(pid, 0)
            except ProcessLookupError:
                stop()
                return
            except PermissionError:
                pass

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    if args.watch_pid:
        threading.Thread(target=watch, args=(args.watch_pid,), daemon=True).start()
    if args.port_file:
        _write_file(args.port_file, "%d\n" % server.port)
    sys.stdout.write("%d\n" % server.port)
    sys.stdout.flush()
    try:
        server.serve_forever()
    finally:
        server._httpd.server_close()
    return 0


def main(argv=None):
    parser = argparse.ArgumentParser(
        prog="sandbox.py", description=__doc__.split("\n\n")[0],
        epilog=__doc__.split("\n\n", 1)[1], formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", metavar="COMMAND")
    sub.required = True
    sub.add_parser("repos", help="build or reuse the RPMs and repositories")
    root = sub.add_parser("root", help="create a sandbox root")
    root.add_argument("dir")
    root.add_argument("--url-base", help="http://127.0.0.1:PORT for http repository URLs")
    root.add_argument("--larder", metavar="NAME:PASSWORD", help="use larder URLs")
    root.add_argument("--no-install", action="store_true", help="configuration only")
    root.add_argument("--repos", default=",".join(DEFAULT_REPOS),
                      help="repositories to configure (default: %(default)s)")
    root.add_argument("--group", action="store_true",
                      help="also install the comps group %s" % INSTALL_GROUP)
    root.add_argument("--larder-repos", metavar="REPO,...",
                      help="use larder URLs for these repositories only")
    root.add_argument("--mirrors", choices=("mirrorlist", "metalink"),
                      help="point the repositories at the server's mirror lists or metalinks")
    root.add_argument("--extra", metavar="NAME,...",
                      help="also install these packages (name or name-version)")
    srv = sub.add_parser("serve", help="serve the repositories over HTTP")
    srv.add_argument("--port", type=int, default=0)
    srv.add_argument("--larder", metavar="NAME:PASSWORD")
    srv.add_argument("--larder-only", action="store_true")
    srv.add_argument("--port-file")
    srv.add_argument("--log")
    srv.add_argument("--tree", help="directory to serve (default: the cached repositories)")
    srv.add_argument("--watch-pid", type=int, metavar="PID",
                     help="stop when process PID ends (for test harnesses)")
    sig = sub.add_parser("signed-repo", help="a signing key and a repository signed with it")
    sig.add_argument("dir")
    sig.add_argument("--packages", default="ember,fjord",
                     help="names of the packages (default: %(default)s)")
    spr = sub.add_parser("spec-repo", help="a repository of the RPMs of one spec file")
    spr.add_argument("spec")
    spr.add_argument("dir")
    spr.add_argument("--define", action="append", default=[], metavar="NAME=VALUE",
                     help="a macro for rpmbuild (repeatable)")
    dem = sub.add_parser("demo", help="repositories, a server and a root for trying Vux")
    dem.add_argument("dir")
    args = parser.parse_args(argv)

    try:
        if args.command == "repos":
            info = build_repos(verbose=True)
            print(json.dumps({"cache": info["cache"], "repos": info["repos"]}))
        elif args.command == "root":
            repos = [r for r in args.repos.split(",") if r]
            larder_repos = args.larder_repos.split(",") if args.larder_repos else None
            extra = tuple(n for n in (args.extra or "").split(",") if n)
            result = make_root(args.dir, url_base=args.url_base, larder=args.larder,
                               install=not args.no_install, repos=repos, group=args.group,
                               larder_repos=larder_repos, mirrors=args.mirrors, extra=extra)
            print(json.dumps(result))
        elif args.command == "serve":
            return _cmd_serve(args)
        elif args.command == "signed-repo":
            names = [n for n in args.packages.split(",") if n]
            print(json.dumps(signed_repo(args.dir, names)))
        elif args.command == "spec-repo":
            defines = dict(d.split("=", 1) for d in args.define if "=" in d)
            print(json.dumps(spec_repo(args.spec, args.dir, defines)))
        elif args.command == "demo":
            demo(args.dir)
    except SandboxError as error:
        print("sandbox.py: %s" % error, file=sys.stderr)
        return 1
    except OSError as error:
        print("sandbox.py: %s" % error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
