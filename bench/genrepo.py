#!/usr/bin/python3
"""A distribution-sized package set for the collection benchmark.

Two repositories and a root:

- "bench-local": real RPMs, all subpackages of one generated spec file
  (rpmbuild, createrepo_c). Every one of them is installed into the root.
- "bench-dist": repository metadata written directly (primary, filelists,
  other, comps, repomd.xml with their checksums), no package files: the
  bulk of the packages, with a newer version of every installed package
  (so the root has as many updates), some names in two versions, about
  30 files and 2 or 3 change-log records per package, and the comps groups.
- a root with the real RPMs installed and both repositories configured
  (file:// URLs, the sandbox's yum.conf).

Everything is cached under $VUX_BENCH_CACHE (default build/bench-cache),
one directory per set of parameters and version of this file, so that a
second run only prints where things are.

    genrepo.py [--packages N] [--real N] [--groups N] [--cache DIR]

prints {"cache": DIR, "root": ROOT, "repos": {id: path}, "packages": N,
"installed": N, "seconds": S}.
"""

import argparse
import concurrent.futures
import hashlib
import io
import json
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time
import zlib
from xml.sax.saxutils import escape, quoteattr

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(SOURCE_DIR, "scripts"))

import sandbox  # noqa: E402

# Bumped when what is generated changes in a way the parameters do not show.
FORMAT = "1"

BUILD_TIME = 1704067200  # 2024-01-01
DIST_REPO = "bench-dist"
LOCAL_REPO = "bench-local"

WORDS = ("alpha", "basalt", "cedar", "delta", "ember", "fjord", "granite", "helix",
         "iris", "jade", "kelp", "lumen", "marble", "nova", "onyx", "pixel", "quartz",
         "rivet", "slate", "tundra", "umber", "vortex", "willow", "xenon", "yarrow",
         "zephyr")
GROUP_NAMES = ("System Tools", "Editors", "Libraries", "Development", "Office",
               "Graphics", "Sound", "Networking", "Science", "Games", "Fonts",
               "Documentation")
AUTHORS = ("Ada Example <ada@example.org>", "Ben Builder <ben@example.org>",
           "Cleo Coder <cleo@example.org>", "Dag Packager <dag@example.org>")


def default_cache():
    return os.environ.get("VUX_BENCH_CACHE") or os.path.join(SOURCE_DIR, "build",
                                                             "bench-cache")


def _key(args):
    digest = hashlib.sha256()
    with open(os.path.abspath(__file__), "rb") as f:
        digest.update(f.read())
    digest.update(repr((FORMAT, args.packages, args.real, args.groups,
                        sandbox.rpm_eval("%_dbpath"), sandbox.YUM_CONF)).encode())
    return "p%d-r%d-g%d-%s" % (args.packages, args.real, args.groups, digest.hexdigest()[:10])


# ---------------------------------------------------------------------------
# Real RPMs: one spec file, one subpackage per installed package


def _real_name(i):
    return "bench-real-%04d" % i


def real_spec(part, first, count):
    """A spec file whose subpackages are bench-real-FIRST ... (count of them),
    three files each; part 0 also makes bench-release, for the release
    version."""
    out = io.StringIO()
    out.write("""\
%%global debug_package %%{nil}
%%global _build_id_links none
%%global __requires_exclude ^/bin/sh$
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
mkdir -p %%{buildroot}/etc
if [ %(part)d = 0 ]; then echo bench > %%{buildroot}/etc/bench-release; fi
for i in $(seq -f %%%%04g %(first)d %(last)d); do
    d=%%{buildroot}/usr/share/bench-real/$i
    mkdir -p $d
    echo $i > $d/README
    echo $i > $d/data.txt
    echo $i > $d/index.html
done
""" % {"part": part, "first": first, "last": first + count - 1})
    if part == 0:
        out.write("""
%package -n bench-release
Version:        1
Summary:        Benchmark release files
Provides:       system-release
Provides:       system-release(releasever) = 1

%description -n bench-release
Tells dnf the release version of the benchmark system.

%files -n bench-release
/etc/bench-release
""")
    for i in range(first, first + count):
        name = _real_name(i)
        out.write("""
%%package -n %(name)s
Summary:        Installed benchmark package %(i)d
Group:          %(group)s

%%description -n %(name)s
Installed benchmark package number %(i)d; the benchmark repository has an
update for it.

%%files -n %(name)s
%%dir /usr/share/bench-real/%(n)04d
/usr/share/bench-real/%(n)04d/README
/usr/share/bench-real/%(n)04d/data.txt
/usr/share/bench-real/%(n)04d/index.html
""" % {"name": name, "i": i, "n": i, "group": GROUP_NAMES[i % len(GROUP_NAMES)]})
    out.write("""
%changelog
* Mon Jan 01 2024 Ada Example <ada@example.org> - 1.0-1
- Update to 1.0
* Fri Dec 01 2023 Ben Builder <ben@example.org> - 0.9-1
- First benchmark build
""")
    return out.getvalue()


def build_local(work, count):
    """The real RPMs and their repository: rpmbuild runs once per core, each
    on a share of the packages."""
    parts = max(1, min(os.cpu_count() or 1, 4, count))
    specdir = os.path.join(work, "spec")
    os.makedirs(specdir)
    jobs = []
    first = 0
    for part in range(parts):
        share = count // parts + (1 if part < count % parts else 0)
        spec = os.path.join(specdir, "bench-real-%d.spec" % part)
        with open(spec, "w") as f:
            f.write(real_spec(part, first, share))
        jobs.append((spec, os.path.join(work, "rpmbuild-%d" % part)))
        first += share
    with concurrent.futures.ThreadPoolExecutor(parts) as pool:
        built = list(pool.map(lambda job: sandbox.build_rpms(job[0], job[1],
                                                             buildtime=BUILD_TIME), jobs))
    rpms = [path for paths in built for path in paths]
    repo = os.path.join(work, "repos", LOCAL_REPO)
    sandbox.make_repo(repo, rpms)
    for _spec, topdir in jobs:
        shutil.rmtree(topdir)
    shutil.rmtree(specdir)
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


def _packages(count, installed, rng):
    """(name, arch, version, release, epoch, group index) of every package of
    the generated repository: a newer version of each installed package,
    then distribution packages, one in twelve in two versions."""
    result = []
    for name in installed:
        result.append((name, "noarch", "1.1", "1", 0))
    i = 0
    while len(result) < count:
        word = WORDS[i % len(WORDS)]
        name = "%s-%s%05d" % (word, WORDS[(i // len(WORDS)) % len(WORDS)], i)
        arch = "noarch" if i % 3 == 0 else "x86_64"
        epoch = 1 if i % 40 == 0 else 0
        version = "%d.%d" % (1 + i % 7, i % 13)
        result.append((name, arch, version, "1", epoch))
        if i % 12 == 0 and len(result) < count:
            result.append((name, arch, version, "2", epoch))
        i += 1
    return result


def _evr_attrs(epoch, version, release):
    return 'epoch="%d" ver="%s" rel="%s"' % (epoch, version, release)


def write_dist(repo, count, installed, groups):
    """The generated repository's metadata; returns the package count."""
    rng = random.Random(4242)
    packages = _packages(count, installed, rng)
    repodata = os.path.join(repo, "repodata")
    os.makedirs(repodata)
    tmp = {kind: _Writer(os.path.join(repodata, kind + ".xml.gz"))
           for kind in ("primary", "filelists", "other")}
    n = len(packages)
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
    subdirs = ("bin", "lib", "share/doc", "share/man/man1", "share/locale/de/LC_MESSAGES",
               "share/icons")
    primary, filelists, other = [], [], []
    for index, (name, arch, version, release, epoch) in enumerate(packages):
        nevra = "%s-%s%s-%s.%s" % (name, "%d:" % epoch if epoch else "", version, release, arch)
        pkgid = hashlib.sha256(nevra.encode()).hexdigest()
        evr = _evr_attrs(epoch, version, release)
        group = GROUP_NAMES[index % len(GROUP_NAMES)]
        size = 10000 + (index * 7919) % 5000000
        built = BUILD_TIME + index * 61
        word = WORDS[index % len(WORDS)]
        requires = "".join('<rpm:entry name="lib%s.so.%d()(64bit)"/>' % (WORDS[(index + k) % 26], k)
                           for k in range(1 + index % 4))
        primary.append(
            '<package type="rpm"><name>%(name)s</name><arch>%(arch)s</arch>'
            '<version %(evr)s/><checksum type="sha256" pkgid="YES">%(pkgid)s</checksum>'
            '<summary>The %(word)s tool, package %(index)d</summary>'
            '<description>%(name)s does %(word)s things for the benchmark. It is one of '
            'the generated packages of a distribution-sized repository.</description>'
            '<packager>Bench Builder &lt;bench@example.org&gt;</packager>'
            '<url>http://example.org/%(name)s</url>'
            '<time file="%(built)d" build="%(built)d"/>'
            '<size package="%(size)d" installed="%(isize)d" archive="%(isize)d"/>'
            '<location href="Packages/%(nvra)s.rpm"/>'
            '<format><rpm:license>MIT</rpm:license><rpm:vendor>Vux Bench</rpm:vendor>'
            '<rpm:group>%(group)s</rpm:group><rpm:buildhost>bench.vux.test</rpm:buildhost>'
            '<rpm:sourcerpm>%(name)s-%(version)s-%(release)s.src.rpm</rpm:sourcerpm>'
            '<rpm:header-range start="4504" end="%(hend)d"/>'
            '<rpm:provides><rpm:entry name="%(name)s" flags="EQ" %(evr)s/>'
            '<rpm:entry name="%(name)s(%(arch)s)" flags="EQ" %(evr)s/></rpm:provides>'
            '<rpm:requires>%(requires)s</rpm:requires>'
            '<file>/usr/bin/%(name)s</file></format></package>\n'
            % {"name": name, "arch": arch, "evr": evr, "pkgid": pkgid, "word": word,
               "index": index, "built": built, "size": size, "isize": size * 3,
               "nvra": "%s-%s-%s.%s" % (name, version, release, arch), "group": group,
               "version": version, "release": release, "hend": 6000 + index % 9000,
               "requires": requires})
        files = ['<file>/usr/bin/%s</file>' % name,
                 '<file type="dir">/usr/share/%s</file>' % name]
        for k in range(28 + index % 5):
            files.append('<file>/usr/%s/%s-%02d.%s</file>'
                         % (subdirs[k % len(subdirs)], name, k, WORDS[k % 26]))
        filelists.append('<package pkgid="%s" name="%s" arch="%s"><version %s/>%s</package>\n'
                         % (pkgid, name, arch, evr, "".join(files)))
        changes = []
        for k in range(2 + index % 2):
            changes.append('<changelog author=%s date="%d">- %s change %d of %s</changelog>'
                           % (quoteattr("%s - %s-%s" % (AUTHORS[(index + k) % 4], version,
                                                         release)),
                              built - k * 86400 * 30 - built % 86400 + 43200,
                              "Fix" if k else "Update", k, escape(name)))
        other.append('<package pkgid="%s" name="%s" arch="%s"><version %s/>%s</package>\n'
                     % (pkgid, name, arch, evr, "".join(changes)))
        if len(primary) >= 2000:
            tmp["primary"].write("".join(primary))
            tmp["filelists"].write("".join(filelists))
            tmp["other"].write("".join(other))
            primary, filelists, other = [], [], []
    tmp["primary"].write("".join(primary) + "</metadata>\n")
    tmp["filelists"].write("".join(filelists) + "</filelists>\n")
    tmp["other"].write("".join(other) + "</otherdata>\n")
    for writer in tmp.values():
        writer.close()

    comps = comps_text(packages, installed, groups)
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
    return n


def comps_text(packages, installed, groups):
    names = sorted(set(p[0] for p in packages))
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
    # rpm itself: dnf's resolution is not what is measured here.
    sandbox._run([rpm, "--root", root, "-i", "--nosignature", "--nodigest", "--noscripts"]
                 + rpms, "rpm -i into %s" % root)
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
            local, rpms = build_local(work, args.real)
            installed = [_real_name(i) for i in range(args.real)]
            count = write_dist(os.path.join(work, "repos", DIST_REPO),
                               args.packages - len(rpms), installed, args.groups)
            # The paths inside the root and the results name the final place.
            repos = {LOCAL_REPO: os.path.join(target, "repos", LOCAL_REPO),
                     DIST_REPO: os.path.join(target, "repos", DIST_REPO)}
            root = os.path.join(work, "root")
            os.makedirs(root)
            make_root(root, rpms, repos)
            result = {"cache": target, "root": os.path.join(target, "root"), "repos": repos,
                      "packages": count + len(rpms), "installed": len(rpms),
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
                        help="packages in both repositories together (default 60000)")
    parser.add_argument("--real", type=int, default=2000,
                        help="real RPMs, all installed in the root (default 2000)")
    parser.add_argument("--groups", type=int, default=200, help="comps groups (default 200)")
    parser.add_argument("--cache", default=default_cache(),
                        help="cache directory (default $VUX_BENCH_CACHE or build/bench-cache)")
    args = parser.parse_args(argv)
    if args.real < 1 or args.packages < 2 * args.real + 1 or args.groups < 1:
        parser.error("need --real >= 1, --packages > 2 * --real and --groups >= 1")
    try:
        result = generate(args)
    except sandbox.SandboxError as error:
        print("genrepo.py: %s" % error, file=sys.stderr)
        return 1
    print(json.dumps(result))
    return 0


if __name__ == "__main__":
    sys.exit(main())
