# SPDX-License-Identifier: GPL-2.0-or-later
"""A distribution-sized package set for the collection benchmark.

Two repositories and a root:

- "bench-local": real RPMs, the subpackages of a few generated spec files
  (rpmbuild, createrepo_c). Every one of them is installed into the root.
- "bench-dist": repository metadata written directly (primary, filelists,
  other, comps, updateinfo, repomd.xml with their checksums), no package
  files: the
  bulk of the packages, a newer version of one installed package in seven
  (so most installed packages are up to date and a minority can be
  updated), some names in two versions, the comps groups, and advisories
  for every update and one package in ten (a sixth of them security
  advisories, half bug fixes, the rest enhancements).
- a root with the real RPMs installed and both repositories configured
  (file:// URLs, the sandbox's yum.conf).

What the packages hold (names, file trees, change logs, texts) comes from
world.py and is shaped like a distribution's: deep and varied directory
trees, a few shared directories, several change-log records per package.

Everything is cached under $VUX_BENCH_CACHE (default build/bench-cache),
one directory per set of parameters and version of the generator, so that
a second run only prints where things are.

    genrepo.py [--packages N] [--real N] [--groups N] [--file-scale F] [--cache DIR]

prints {"cache": DIR, "root": ROOT, "repos": {id: path}, "packages": N,
"installed": N, "updates": N, "files": N, "changelogs": N, "seconds": S}.
"""

import argparse
import concurrent.futures
import hashlib
import json
import os
import random
import shutil
import sys
import tempfile
import time
import zlib
from xml.sax.saxutils import escape, quoteattr

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(SOURCE_DIR, "scripts"))
sys.path.insert(0, HERE)

import sandbox  # noqa: E402
import world  # noqa: E402

# Bumped when what is generated changes in a way the parameters do not show.
FORMAT = "3"

BUILD_TIME = 1704067200  # 2024-01-01
DIST_REPO = "bench-dist"
LOCAL_REPO = "bench-local"
SEED = 4242
UPDATE_EVERY = 7  # one installed package in seven has an update

GROUP_NAMES = ("System Tools", "Editors", "Libraries", "Development", "Office",
               "Graphics", "Sound", "Networking", "Science", "Games", "Fonts",
               "Documentation")


def default_cache():
    return os.environ.get("VUX_BENCH_CACHE") or os.path.join(SOURCE_DIR, "build",
                                                             "bench-cache")


def _key(args):
    digest = hashlib.sha256()
    for source in (__file__, world.__file__):
        with open(os.path.abspath(source), "rb") as f:
            digest.update(f.read())
    scale = getattr(args, "file_scale", 1.0)
    digest.update(repr((FORMAT, args.packages, args.real, args.groups, scale,
                        sandbox.rpm_eval("%_dbpath"), sandbox.YUM_CONF)).encode())
    return "p%d-r%d-g%d%s-%s" % (args.packages, args.real, args.groups,
                                 "-f%g" % scale if scale != 1.0 else "", digest.hexdigest()[:10])


class Plan:
    """The world's packages: which are installed, which get an update."""

    def __init__(self, packages, real, file_scale=1.0):
        self.file_scale = file_scale
        rng = random.Random(SEED)
        self.packages = world.packages(packages - 1, rng)  # and bench-release
        self.installed = sorted(rng.sample(range(len(self.packages)), real))
        self.updated = set(self.installed[::UPDATE_EVERY])

    def content(self, index):
        """(directories, files, change log) of package index: the same on
        every call (each package draws from a generator of its own)."""
        pkg = self.packages[index]
        rng = random.Random(SEED * 1000003 + index)
        dirs, files = world.files(pkg, rng, self.file_scale)
        return dirs, files, world.changelog(pkg, _built(index), rng)

    def texts(self, index):
        pkg = self.packages[index]
        rng = random.Random(SEED * 7919 + index)
        return world.summary(pkg, rng), world.description(pkg, rng)


def _built(index):
    return BUILD_TIME - (index * 7919) % (86400 * 700)


def _group(index):
    return GROUP_NAMES[index % len(GROUP_NAMES)]


# ---------------------------------------------------------------------------
# Real RPMs: a few spec files, one subpackage per installed package

# Run by rpmbuild's %install: makes the directories and empty files the
# manifests name, under the build root.
MAKE_FILES = """\
import os, sys
root = sys.argv[1]
for manifest in sys.argv[2:]:
    with open(manifest) as f:
        for line in f:
            path = line.rstrip("\\n")
            if path.startswith("%dir "):
                os.makedirs(root + path[5:], exist_ok=True)
            elif path:
                os.makedirs(os.path.dirname(root + path), exist_ok=True)
                with open(root + path, "w") as out:
                    out.write(path + "\\n")
"""


def _spec_changelog(entries):
    out = []
    for who, when, text in entries:
        out.append("* %s %s\n%s\n" % (time.strftime("%a %b %d %Y", time.gmtime(when)), who,
                                       text.replace("%", "%%")))
    return "\n".join(out)


def real_spec(plan, part, indexes, manifests, maker):
    """A spec file whose subpackages are the installed packages indexes;
    part 0 also makes bench-release, for the release version."""
    lists = [os.path.join(manifests, "%d.files" % i) for i in indexes]
    for index, path in zip(indexes, lists):
        dirs, files, _log = plan.content(index)
        with open(path, "w") as f:
            f.write("".join("%%dir %s\n" % d for d in dirs))
            f.write("".join("%s\n" % p for p in files))
    if part == 0:
        release = os.path.join(manifests, "release.files")
        with open(release, "w") as f:
            f.write("/etc/bench-release\n")
        lists.append(release)
    out = ["""\
%%global debug_package %%{nil}
%%global _build_id_links none
%%global __requires_exclude ^/bin/sh$
%%global __provides_exclude_from ^/
%%global __requires_exclude_from ^/
# Quick to build: no compression, no post-install passes, no dependency
# generators (the dependencies the files would bring are not what is measured).
%%global _binary_payload w.ufdio
%%global __os_install_post %%{nil}

Name:           bench-real-part%(part)d
Version:        1.0
Release:        1
Summary:        Benchmark packages
License:        MIT
Group:          System Environment/Base
URL:            http://example.org/bench
Vendor:         Vux Bench
Packager:       Ada Example <ada@example.org>
BuildArch:      noarch
AutoReqProv:    no

%%description
The source of the installed benchmark packages.

%%install
/usr/bin/python3 %(maker)s %%{buildroot} %(lists)s
""" % {"part": part, "maker": maker, "lists": " ".join(lists)}]
    if part == 0:
        out.append("""
%%package -n bench-release
Version:        1
Summary:        Benchmark release files
Provides:       system-release
Provides:       system-release(releasever) = 1

%%description -n bench-release
Tells dnf the release version of the benchmark system.

%%files -n bench-release -f %s
""" % release)
    for index, path in zip(indexes, lists):
        pkg = plan.packages[index]
        summary, description = plan.texts(index)
        out.append("""
%%package -n %(name)s
Version:        %(version)s
Release:        %(release)s
Summary:        %(summary)s
Group:          %(group)s
AutoReqProv:    no

%%description -n %(name)s
%(description)s

%%files -n %(name)s -f %(list)s
""" % {"name": pkg.name, "version": pkg.version, "release": pkg.release,
       "summary": summary, "group": _group(index), "description": description,
       "list": path})
    # The source's change log: that of its first package.
    out.append("\n%%changelog\n%s" % _spec_changelog(plan.content(indexes[0])[2]))
    return "".join(out)


def build_local(work, plan):
    """The real RPMs and their repository: rpmbuild runs once per core, each
    on a few spec files."""
    indexes = plan.installed
    parts = max(1, min(8, len(indexes)))
    specdir = os.path.join(work, "spec")
    manifests = os.path.join(work, "manifests")
    os.makedirs(specdir)
    os.makedirs(manifests)
    maker = os.path.join(specdir, "makefiles.py")
    with open(maker, "w") as f:
        f.write(MAKE_FILES)
    jobs = []
    for part in range(parts):
        spec = os.path.join(specdir, "bench-real-%d.spec" % part)
        with open(spec, "w") as f:
            f.write(real_spec(plan, part, indexes[part::parts], manifests, maker))
        jobs.append((spec, os.path.join(work, "rpmbuild-%d" % part)))

    def build(job):
        rpms = sandbox.build_rpms(job[0], job[1], buildtime=BUILD_TIME)
        shutil.rmtree(os.path.join(job[1], "BUILDROOT"), ignore_errors=True)
        return rpms

    with concurrent.futures.ThreadPoolExecutor(min(parts, os.cpu_count() or 1)) as pool:
        built = list(pool.map(build, jobs))
    rpms = [path for paths in built for path in paths]
    repo = os.path.join(work, "repos", LOCAL_REPO)
    sandbox.make_repo(repo, rpms)
    for _spec, topdir in jobs:
        shutil.rmtree(topdir)
    shutil.rmtree(specdir)
    shutil.rmtree(manifests)
    return repo, sorted(os.path.join(repo, "Packages", os.path.basename(p)) for p in rpms)


# ---------------------------------------------------------------------------
# Generated metadata


class _Writer:
    """A gzip-compressed metadata file, with the checksums repomd.xml needs."""

    def __init__(self, path):
        self.path = path
        self.file = open(path, "wb")
        self.deflate = zlib.compressobj(1, zlib.DEFLATED, 31)
        self.open_sha = hashlib.sha256()
        self.sha = hashlib.sha256()
        self.open_size = 0
        self.size = 0

    def write(self, text):
        data = text.encode("utf-8")
        self.open_sha.update(data)
        self.open_size += len(data)
        self._out(self.deflate.compress(data))

    def _out(self, data):
        if data:
            self.sha.update(data)
            self.size += len(data)
            self.file.write(data)

    def close(self):
        self._out(self.deflate.flush())
        self.file.close()


def _dist_entries(plan):
    """(index, version, release, epoch, arch) of every package of the
    generated repository: the packages not installed (one in twelve also
    in an older release) and the updates of installed packages."""
    installed = set(plan.installed)
    for index, pkg in enumerate(plan.packages):
        if index in plan.updated:
            yield index, pkg.version, str(int(pkg.release) + 1), 0, "noarch"
        if index in installed:
            continue
        epoch = 1 if index % 40 == 0 else 0
        arch = world.arch(pkg)
        yield index, pkg.version, pkg.release, epoch, arch
        if index % 12 == 0 and int(pkg.release) > 1:
            yield index, pkg.version, str(int(pkg.release) - 1), epoch, arch


def _primary_file(path):
    # What createrepo puts into the primary metadata besides the file lists.
    return path.startswith("/etc/") or "bin/" in path


ADVISORY_EVERY = 10  # besides the updates, one package in ten has an advisory
SEVERITIES = ("Low", "Moderate", "Important", "Critical")


def _advisory(index, nevra, update, rng):
    """The updateinfo entry of one package of the generated repository:
    about a sixth of them security advisories (with a CVE and a bug),
    half bug fixes, the rest enhancements, as a distribution's updates
    repository has them."""
    draw = rng.random()
    kind = "security" if draw < 0.17 else "bugfix" if draw < 0.67 else "enhancement"
    name, epoch, version, release, arch = nevra
    ident = "BENCH-%d:%05d" % (2023 + index % 2, index)
    refs = ['<reference href="https://bugs.example.org/%d" id="%d" type="bugzilla" '
            'title="%s: problem %d"/>' % (index, index, name, index)]
    severity = ""
    if kind == "security":
        severity = "<severity>%s</severity>" % SEVERITIES[rng.randrange(len(SEVERITIES))]
        refs.append('<reference href="https://cve.example.org/CVE-2099-%05d" id="CVE-2099-%05d" '
                    'type="cve" title="CVE-2099-%05d"/>' % (index, index, index))
    issued = BUILD_TIME + (3 * 86400 if update else 0) - (index * 613) % (86400 * 300)
    stamp = time.strftime("%Y-%m-%d %H:%M:%S", time.gmtime(issued))
    return ('<update from="bench@example.org" status="stable" type="%s" version="2.0">'
            '<id>%s</id><title>%s %s update</title>%s<release>Bench 1</release>'
            '<issued date="%s"/><updated date="%s"/><rights>Copyright Bench</rights>'
            '<summary>%s update</summary><description>%s</description>'
            '<references>%s</references><pkglist><collection short="bench">'
            '<name>Bench</name><package name="%s" version="%s" release="%s" epoch="%d" '
            'arch="%s" src="%s-%s-%s.src.rpm"><filename>%s-%s-%s.%s.rpm</filename></package>'
            '</collection></pkglist></update>\n'
            % (kind, ident, name, kind, severity, stamp, stamp, name,
               escape("An update of %s %s-%s." % (name, version, release)), "".join(refs),
               name, version, release, epoch, arch, name, version, release,
               name, version, release, arch))


def write_dist(repo, plan, groups):
    """The generated repository's metadata; returns (packages, files,
    change-log records)."""
    entries = list(_dist_entries(plan))
    repodata = os.path.join(repo, "repodata")
    os.makedirs(repodata)
    tmp = {kind: _Writer(os.path.join(repodata, kind + ".xml.gz"))
           for kind in ("primary", "filelists", "other", "updateinfo")}
    n = len(entries)
    tmp["primary"].write(
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        '<metadata xmlns="http://linux.duke.edu/metadata/common" '
        'xmlns:rpm="http://linux.duke.edu/metadata/rpm" packages="%d">\n' % n)
    tmp["filelists"].write(
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        '<filelists xmlns="http://linux.duke.edu/metadata/filelists" packages="%d">\n' % n)
    tmp["other"].write(
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        '<otherdata xmlns="http://linux.duke.edu/metadata/other" packages="%d">\n' % n)
    tmp["updateinfo"].write('<?xml version="1.0" encoding="UTF-8"?>\n<updates>\n')
    advisory_rng = random.Random(SEED * 31)
    primary, filelists, other = [], [], []
    file_count = changelog_count = 0
    for index, version, release, epoch, arch in entries:
        pkg = plan.packages[index]
        name = pkg.name
        nevra = "%s-%s%s-%s.%s" % (name, "%d:" % epoch if epoch else "", version, release, arch)
        pkgid = hashlib.sha256(nevra.encode()).hexdigest()
        evr = 'epoch="%d" ver="%s" rel="%s"' % (epoch, version, release)
        dirs, files, log = plan.content(index)
        summary, description = plan.texts(index)
        built = _built(index) + (86400 * 3 if index in plan.updated else 0)
        size = 4000 + int(random.Random(index).lognormvariate(11.5, 1.6)) % 3000000000
        requires = "".join('<rpm:entry name="lib%s.so.%d()(64bit)"/>'
                           % (world.VOCAB[(index + k) % len(world.VOCAB)], k)
                           for k in range(1 + index % 4))
        primary.append(
            '<package type="rpm"><name>%(name)s</name><arch>%(arch)s</arch>'
            '<version %(evr)s/><checksum type="sha256" pkgid="YES">%(pkgid)s</checksum>'
            '<summary>%(summary)s</summary><description>%(description)s</description>'
            '<packager>Bench Builder &lt;bench@example.org&gt;</packager>'
            '<url>https://example.org/%(project)s</url>'
            '<time file="%(built)d" build="%(built)d"/>'
            '<size package="%(size)d" installed="%(isize)d" archive="%(isize)d"/>'
            '<location href="Packages/%(first)s/%(nvra)s.rpm"/>'
            '<format><rpm:license>MIT</rpm:license><rpm:vendor>Vux Bench</rpm:vendor>'
            '<rpm:group>%(group)s</rpm:group><rpm:buildhost>bench.vux.test</rpm:buildhost>'
            '<rpm:sourcerpm>%(project)s-%(version)s-%(release)s.src.rpm</rpm:sourcerpm>'
            '<rpm:header-range start="4504" end="%(hend)d"/>'
            '<rpm:provides><rpm:entry name="%(name)s" flags="EQ" %(evr)s/>'
            '<rpm:entry name="%(name)s(%(arch)s)" flags="EQ" %(evr)s/></rpm:provides>'
            '<rpm:requires>%(requires)s</rpm:requires>%(pfiles)s</format></package>\n'
            % {"name": name, "arch": arch, "evr": evr, "pkgid": pkgid,
               "summary": escape(summary), "description": escape(description),
               "project": pkg.project, "built": built, "size": size, "isize": size * 3,
               "first": name[0], "nvra": "%s-%s-%s.%s" % (name, version, release, arch),
               "group": _group(index), "version": version, "release": release,
               "hend": 6000 + index % 9000, "requires": requires,
               "pfiles": "".join("<file>%s</file>" % p for p in files if _primary_file(p))})
        filelists.append('<package pkgid="%s" name="%s" arch="%s"><version %s/>%s%s</package>\n'
                         % (pkgid, name, arch, evr,
                            "".join('<file type="dir">%s</file>' % d for d in dirs),
                            "".join("<file>%s</file>" % p for p in files)))
        file_count += len(dirs) + len(files)
        # Oldest first, as createrepo writes them.
        other.append('<package pkgid="%s" name="%s" arch="%s"><version %s/>%s</package>\n'
                     % (pkgid, name, arch, evr, "".join(
                         '<changelog author=%s date="%d">%s</changelog>'
                         % (quoteattr(who), when, escape(text))
                         for who, when, text in reversed(log))))
        changelog_count += len(log)
        update = index in plan.updated and release != pkg.release
        if update or index % ADVISORY_EVERY == 0:
            tmp["updateinfo"].write(_advisory(
                index, (name, epoch, version, release, arch), update, advisory_rng))
        if len(primary) >= 2000:
            for kind, items in (("primary", primary), ("filelists", filelists),
                                ("other", other)):
                tmp[kind].write("".join(items))
                items.clear()
    tmp["primary"].write("".join(primary) + "</metadata>\n")
    tmp["filelists"].write("".join(filelists) + "</filelists>\n")
    tmp["other"].write("".join(other) + "</otherdata>\n")
    tmp["updateinfo"].write("</updates>\n")
    for writer in tmp.values():
        writer.close()

    comps = comps_text(plan, groups)
    data = []
    for kind, writer in tmp.items():
        final = os.path.join(repodata, "%s-%s.xml.gz" % (writer.sha.hexdigest(), kind))
        os.rename(writer.path, final)
        data.append((kind, writer.sha.hexdigest(), writer.open_sha.hexdigest(),
                     os.path.basename(final), writer.size, writer.open_size))
    comps_bytes = comps.encode()
    comps_sha = hashlib.sha256(comps_bytes).hexdigest()
    comps_name = "%s-comps.xml" % comps_sha
    with open(os.path.join(repodata, comps_name), "wb") as f:
        f.write(comps_bytes)
    repomd = ['<?xml version="1.0" encoding="UTF-8"?>\n'
              '<repomd xmlns="http://linux.duke.edu/metadata/repo" '
              'xmlns:rpm="http://linux.duke.edu/metadata/rpm">\n'
              '  <revision>%d</revision>\n' % BUILD_TIME]
    for kind, sha, open_sha, name, size, open_size in data:
        repomd.append(
            '  <data type="%s">\n    <checksum type="sha256">%s</checksum>\n'
            '    <open-checksum type="sha256">%s</open-checksum>\n'
            '    <location href="repodata/%s"/>\n    <timestamp>%d</timestamp>\n'
            '    <size>%d</size>\n    <open-size>%d</open-size>\n  </data>\n'
            % (kind, sha, open_sha, name, BUILD_TIME, size, open_size))
    repomd.append(
        '  <data type="group">\n    <checksum type="sha256">%s</checksum>\n'
        '    <location href="repodata/%s"/>\n    <timestamp>%d</timestamp>\n'
        '    <size>%d</size>\n  </data>\n</repomd>\n'
        % (comps_sha, comps_name, BUILD_TIME, len(comps_bytes)))
    with open(os.path.join(repodata, "repomd.xml"), "w") as f:
        f.write("".join(repomd))
    return n, file_count, changelog_count


def comps_text(plan, groups):
    names = sorted(p.name for p in plan.packages)
    installed = [plan.packages[i].name for i in sorted(plan.updated)]
    rng = random.Random(77)
    out = ['<?xml version="1.0" encoding="UTF-8"?>\n'
           '<!DOCTYPE comps PUBLIC "-//Red Hat, Inc.//DTD Comps info//EN" "comps.dtd">\n'
           '<comps>\n']
    for g in range(groups):
        members = rng.sample(names, min(len(names), 24))
        if installed and g % 4 == 0:
            members[0] = installed[g % len(installed)]  # some groups with updates
        lines = []
        for k, member in enumerate(members):
            kind = ("mandatory", "default", "optional")[k % 3]
            if k == len(members) - 1:
                lines.append('      <packagereq type="conditional" requires="%s">%s</packagereq>'
                             % (members[0], member))
            else:
                lines.append('      <packagereq type="%s">%s</packagereq>' % (kind, member))
        out.append('  <group>\n    <id>bench-group-%03d</id>\n'
                   '    <name>Bench %s %03d</name>\n'
                   '    <name xml:lang="de">Bench-Gruppe %03d</name>\n'
                   '    <description>Generated group %d.</description>\n'
                   '    <default>false</default>\n    <uservisible>%s</uservisible>\n'
                   '    <packagelist>\n%s\n    </packagelist>\n  </group>\n'
                   % (g, GROUP_NAMES[g % len(GROUP_NAMES)], g, g, g,
                      "false" if g % 10 == 9 else "true", "\n".join(lines)))
    out.append('</comps>\n')
    return "".join(out)


# ---------------------------------------------------------------------------
# The root


def make_root(root, rpms, repos):
    if os.geteuid() != 0:
        raise sandbox.SandboxError("installing the benchmark packages into a root needs root "
                                   "privileges (rpm changes its root directory)")
    sandbox.write_yum_conf(root)
    rpm = sandbox._tool("rpm")
    sandbox._run([rpm, "--root", root, "--initdb"], "rpm --initdb")
    # rpm itself: dnf's resolution is not what is measured here. Generated
    # names may make two packages own one path.
    sandbox._run([rpm, "--root", root, "-i", "--nosignature", "--nodigest", "--noscripts",
                  "--replacefiles"] + rpms, "rpm -i into %s" % root)
    urls = {repo: "file://" + path + "/" for repo, path in repos.items()}
    sandbox.write_repo_files(root, urls)


def generate(args):
    base = os.path.abspath(args.cache)
    target = os.path.join(base, _key(args))
    result_file = os.path.join(target, "result.json")
    if os.path.isfile(result_file):
        with open(result_file) as f:
            return json.load(f)
    os.makedirs(base, exist_ok=True)
    with sandbox._cache_lock(base):
        if os.path.isfile(result_file):
            with open(result_file) as f:
                return json.load(f)
        started = time.monotonic()
        sandbox._remove_stale(base, ".gen-")
        work = tempfile.mkdtemp(prefix=".gen-", dir=base)
        os.chmod(work, 0o755)
        try:
            plan = Plan(args.packages, args.real, getattr(args, "file_scale", 1.0))
            _local, rpms = build_local(work, plan)
            count, files, changelogs = write_dist(os.path.join(work, "repos", DIST_REPO),
                                                  plan, args.groups)
            # The paths inside the root and the results name the final place.
            repos = {LOCAL_REPO: os.path.join(target, "repos", LOCAL_REPO),
                     DIST_REPO: os.path.join(target, "repos", DIST_REPO)}
            root = os.path.join(work, "root")
            os.makedirs(root)
            make_root(root, rpms, repos)
            result = {"cache": target, "root": os.path.join(target, "root"), "repos": repos,
                      "packages": count + len(rpms), "installed": len(rpms),
                      "updates": len(plan.updated), "files": files, "changelogs": changelogs,
                      "seconds": round(time.monotonic() - started, 1)}
            with open(os.path.join(work, "result.json"), "w") as f:
                json.dump(result, f)
            if os.path.isdir(target):
                shutil.rmtree(target)
            os.rename(work, target)
        except BaseException:
            shutil.rmtree(work, ignore_errors=True)
            raise
    return result


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--packages", type=int, default=60000,
                        help="package names in both repositories together (default 60000)")
    parser.add_argument("--real", type=int, default=2000,
                        help="real RPMs, all installed in the root (default 2000)")
    parser.add_argument("--groups", type=int, default=200, help="comps groups (default 200)")
    parser.add_argument("--file-scale", type=float, default=1.0,
                        help="multiplies the typical number of files of a package (default 1)")
    parser.add_argument("--cache", default=default_cache(),
                        help="cache directory (default $VUX_BENCH_CACHE or build/bench-cache)")
    args = parser.parse_args(argv)
    if (args.real < 1 or args.packages < 2 * args.real + 1 or args.groups < 1
            or args.file_scale <= 0):
        parser.error("need --real >= 1, --packages > 2 * --real, --groups >= 1 and "
                     "--file-scale > 0")
    try:
        result = generate(args)
    except sandbox.SandboxError as error:
        print("genrepo.py: %s" % error, file=sys.stderr)
        return 1
    print(json.dumps(result))
    return 0


if __name__ == "__main__":
    sys.exit(main())
