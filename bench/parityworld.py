# SPDX-License-Identifier: GPL-2.0-or-later
"""Seeded random package worlds for the parity harness (parity.py).

A world is a set of real RPMs (rpmbuild, payloads stored without
compression so that a world builds in seconds), three repositories made of
them with createrepo_c and a sandbox root with some of them installed by
dnf, so that the rpm database and dnf's history are what a real system
would have. What a seed draws:

- plain packages with one to three versions spread over the repositories,
  some needing others (Requires: NAME >= VERSION), one of them a suite;
- packages whose epoch rises while the version falls;
- an install-only package (Provides: installonlypkg(kernel)) with two or
  three versions installed and newer ones in the repositories;
- renames: an installed package that a newer one obsoletes
  (Obsoletes: OLD < VERSION, Provides: OLD = VERSION);
- multilib pairs: one name built for the machine's architecture and i686;
- packages that switch between an architecture and noarch from one
  version to the next;
- packages installed in a version newer than any repository has (only
  downgrades available) and packages no repository has at all;
- the repositories: "first" (with the comps groups), "second" (a lower
  priority or a higher cost, sometimes an excludepkgs line) and "off"
  (disabled);
- two or three groups with mandatory, default and optional packages, one
  of them installed with dnf's group install.

    parityworld.py SEED DIR     builds the world of SEED in DIR (empty or
                                missing) and prints its summary as JSON
"""

import json
import os
import random
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "scripts"))

import sandbox  # noqa: E402

MULTILIB_ARCH = "i686"
REPOS = ("first", "second", "off")
BUILD_TIME = 1704067200
INSTALLONLY_PROVIDE = "installonlypkg(kernel)"
RELEASE_PACKAGE = "parity-release"

SYLLABLES = ("ka", "lo", "mi", "nu", "pe", "ra", "si", "to", "vu", "ze", "bri", "cal", "dor",
             "fen", "gul", "hax", "jin", "kel", "mor", "nax", "pol", "qua", "ris", "tal", "vex")


class Pkg:
    """One binary package of a world."""

    def __init__(self, name, version, release="1", epoch=0, arch=None):
        self.name = name
        self.epoch = epoch
        self.version = version
        self.release = release
        self.arch = arch or sandbox._arch()
        self.repos = set()  # the repositories that carry it; none: the stage only
        self.requires = []
        self.provides = []
        self.obsoletes = []
        self.suite = False

    @property
    def evr(self):
        vr = "%s-%s" % (self.version, self.release)
        return "%d:%s" % (self.epoch, vr) if self.epoch else vr

    @property
    def nevra(self):
        return "%s-%d:%s-%s.%s" % (self.name, self.epoch, self.version, self.release, self.arch)

    @property
    def target(self):
        """The rpmbuild target that makes it: i686 packages need their own."""
        return MULTILIB_ARCH if self.arch == MULTILIB_ARCH else sandbox._arch()


class World:
    """The packages, repositories, groups and installed set of one seed."""

    def __init__(self, seed):
        self.seed = seed
        self.rng = random.Random(seed)
        self.packages = []
        self.installed = []  # packages the set-up installs by NEVRA
        self.families = []  # (kind, name) per family, for the summary
        self.groups = []  # {"id", "name", "mandatory", "default", "optional"}
        self.installedGroup = None
        self.repoOptions = {"first": {}, "second": {}, "off": {"enabled": "0"}}
        self._names = set()
        self._draw()

    # -- drawing ------------------------------------------------------------

    def _name(self, prefix=""):
        while True:
            name = prefix + "".join(self.rng.choice(SYLLABLES)
                                    for _ in range(self.rng.choice((2, 2, 3))))
            if name not in self._names:
                self._names.add(name)
                return name

    def _place(self, newest):
        """The repositories of one version: the newest is mostly somewhere."""
        roll = self.rng.random()
        if roll < 0.45:
            return {"first"}
        if roll < 0.65:
            return {"second"}
        if roll < 0.8:
            return {"first", "second"}
        if roll < 0.9 or newest:
            return {"off"} if roll < 0.9 else {"first"}
        return set()

    def _versions(self, count, epochs=False):
        """count ascending (epoch, version, release), no two with the same
        version and release (the file name of an RPM has no epoch)."""
        result = []
        major = self.rng.randint(0, 3)
        epoch = self.rng.randint(1, 3) if epochs else 0
        while len(result) < count:
            if epochs and result and self.rng.random() < 0.5:
                # A higher epoch with a lower version.
                epoch += 1
                major = max(0, major - 2)
            else:
                major += self.rng.randint(1, 2)
            version = (epoch, "%d.%d" % (major, self.rng.randint(0, 9)),
                       str(self.rng.randint(1, 3)))
            if all(version[1:] != other[1:] for other in result):
                result.append(version)
        return result

    def _family(self, kind, name, versions, arches=None, installed=None):
        """Packages of one name: each version (for each of arches) placed in
        the repositories; installed picks the versions (by index) that the
        set-up installs."""
        self.families.append((kind, name))
        made = []
        for index, (epoch, version, release) in enumerate(versions):
            repos = self._place(index == len(versions) - 1)
            for arch in arches or [None]:
                pkg = Pkg(name, version, release, epoch, arch)
                pkg.repos = set(repos)
                self.packages.append(pkg)
                made.append((index, pkg))
        for index, pkg in made:
            if installed and index in installed:
                self.installed.append(pkg)
        return [pkg for _index, pkg in made]

    def _draw(self):
        rng = self.rng
        arch = sandbox._arch()
        release = Pkg(RELEASE_PACKAGE, "1", arch="noarch")
        release.provides = ["system-release", "system-release(releasever) = 1"]
        self.packages.append(release)
        self.installed.append(release)

        plain = []
        for _ in range(rng.randint(4, 8)):
            count = rng.randint(1, 3)
            pick = rng.random()
            installed = None if pick < 0.4 else {rng.randrange(count)}
            plain.append(self._family("plain", self._name(), self._versions(count),
                                      [rng.choice((arch, arch, "noarch"))], installed))
        for _ in range(rng.randint(0, 2)):
            self._family("epoch", self._name(), self._versions(3, epochs=True), None,
                         {0} if rng.random() < 0.7 else None)
        if rng.random() < 0.8:
            name = self._name("kern")
            versions = [(0, "5.%d.0" % i, "1") for i in range(1, rng.randint(3, 5) + 1)]
            kernels = self._family("installonly", name, versions, None,
                                   set(range(rng.randint(2, min(3, len(versions))))))
            for pkg in kernels:
                pkg.provides.append(INSTALLONLY_PROVIDE)
        for _ in range(rng.randint(0, 2)):
            old = self._name()
            new = self._name()
            self._family("renamed", old, [(0, "1.0", "1")], None, {0})
            successor = self._family("renaming", new, [(0, "2.0", "1")])[0]
            successor.obsoletes.append("%s < 2.0" % old)
            successor.provides.append("%s = 2.0" % old)
            successor.repos = {rng.choice(("first", "second"))}
        for _ in range(rng.randint(0, 2)):
            versions = self._versions(2)
            installed = {0}
            packages = self._family("multilib", self._name("lib"), versions,
                                    [arch, MULTILIB_ARCH], installed)
            if rng.random() < 0.5:
                # Only the machine's architecture installed.
                self.installed = [p for p in self.installed
                                  if not (p in packages and p.arch == MULTILIB_ARCH)]
        for _ in range(rng.randint(0, 2)):
            versions = self._versions(2)
            first, second = (arch, "noarch") if rng.random() < 0.5 else ("noarch", arch)
            name = self._name()
            self.families.append(("archswitch", name))
            old = Pkg(name, versions[0][1], versions[0][2], 0, first)
            new = Pkg(name, versions[1][1], versions[1][2], 0, second)
            old.repos = self._place(False)
            new.repos = {rng.choice(("first", "second"))}
            self.packages += [old, new]
            self.installed.append(old)
        if rng.random() < 0.5:
            # Installed newer than anything the repositories carry.
            packages = self._family("downgrade", self._name(), self._versions(2), None, {1})
            packages[0].repos = {"first"}
            packages[1].repos = set()
        if rng.random() < 0.3:
            self._family("extra", self._name(), self._versions(1), None, {0})[0].repos = set()

        # Dependencies between plain packages: a later one needs an earlier
        # one in its first version or newer.
        for index in range(1, len(plain)):
            if rng.random() < 0.4:
                needed = rng.choice(plain[:index])[0]
                for pkg in plain[index]:
                    pkg.requires.append("%s >= %s" % (needed.name, needed.version))
        if plain and rng.random() < 0.5:
            for pkg in rng.choice(plain):
                pkg.suite = True

        # Repository options: "second" ranks below "first".
        second = self.repoOptions["second"]
        choice = rng.random()
        if choice < 0.4:
            second["priority"] = "150"
        elif choice < 0.8:
            second["cost"] = "2000"
        if rng.random() < 0.3:
            repo = rng.choice(("first", "second"))
            names = sorted({p.name for p in self.packages if repo in p.repos
                            and p.name != RELEASE_PACKAGE})
            if names:
                self.repoOptions[repo]["excludepkgs"] = rng.choice(names)
        self._drawGroups()

    def _installable(self, name):
        """Whether the configured repositories offer name (enabled, not
        excluded)."""
        for pkg in self.packages:
            if pkg.name != name:
                continue
            for repo in pkg.repos:
                options = self.repoOptions[repo]
                if options.get("enabled", "1") == "1" and options.get("excludepkgs") != name:
                    return True
        return False

    def _drawGroups(self):
        rng = self.rng
        kinds = ("plain", "epoch", "multilib", "archswitch")
        names = sorted({name for kind, name in self.families
                        if kind in kinds and self._installable(name)})
        if len(names) < 2:
            return
        for index in range(rng.randint(2, 3)):
            members = rng.sample(names, min(len(names), rng.randint(2, 4)))
            cut1 = rng.randint(1, max(1, len(members) - 1))
            cut2 = rng.randint(cut1, len(members))
            self.groups.append({
                "id": "grp-%c" % (ord("a") + index),
                "name": "Group %c" % (ord("A") + index),
                "mandatory": members[:cut1],
                "default": members[cut1:cut2],
                "optional": members[cut2:],
            })
        self.installedGroup = rng.choice(self.groups)["id"]

    # -- building -----------------------------------------------------------

    def comps(self):
        out = ['<?xml version="1.0" encoding="UTF-8"?>',
               '<!DOCTYPE comps PUBLIC "-//Red Hat, Inc.//DTD Comps info//EN" "comps.dtd">',
               "<comps>"]
        for group in self.groups:
            out += ["  <group>", "    <id>%s</id>" % group["id"],
                    "    <name>%s</name>" % group["name"],
                    "    <description>Packages of %s.</description>" % group["name"],
                    "    <default>false</default>", "    <uservisible>true</uservisible>",
                    "    <packagelist>"]
            for kind in ("mandatory", "default", "optional"):
                for name in group[kind]:
                    out.append('      <packagereq type="%s">%s</packagereq>' % (kind, name))
            out += ["    </packagelist>", "  </group>"]
        out.append("</comps>")
        return "\n".join(out) + "\n"

    def specs(self):
        """(target, spec text) per rpmbuild run: one spec per target and
        version slot, so that the subpackages of a spec have distinct names."""
        slots = {}
        for pkg in self.packages:
            key = (pkg.target, pkg.name)
            index = slots.get(key, 0)
            slots[key] = index + 1
            pkg.slot = index
        result = []
        for target in sorted({p.target for p in self.packages}):
            for slot in range(max(s for (t, _n), s in slots.items() if t == target)):
                members = [p for p in self.packages if p.target == target and p.slot == slot]
                if members:
                    result.append((target, self._spec(target, slot, members)))
        return result

    def _spec(self, target, slot, members):
        out = ["""\
%%global debug_package %%{nil}
%%global _build_id_links none
%%global __os_install_post %%{nil}
%%define _binary_payload w0.ufdio
Name: parity-source-%s-%d
Version: 1
Release: 1
Summary: The source of a parity world
License: MIT
AutoReqProv: no
%%description
Parity world %d.
""" % (target, slot, self.seed)]
        install = ["%install"]
        for pkg in members:
            lines = ["%%package -n %s" % pkg.name]
            if pkg.epoch:
                lines.append("Epoch: %d" % pkg.epoch)
            lines += ["Version: %s" % pkg.version, "Release: %s" % pkg.release,
                      "Summary: %s of world %d" % (pkg.name, self.seed)]
            if pkg.arch == "noarch":
                lines.append("BuildArch: noarch")
            if pkg.suite:
                lines.append("Group: Suite")
            lines += ["Provides: %s" % p for p in pkg.provides]
            lines += ["Requires: %s" % r for r in pkg.requires]
            lines += ["Obsoletes: %s" % o for o in pkg.obsoletes]
            lines += ["%%description -n %s" % pkg.name, "%s, a package of parity world %d."
                      % (pkg.name, self.seed)]
            # One directory per name and version: install-only versions sit
            # side by side, and the two builds of a multilib pair own the same
            # identical file.
            directory = "/usr/share/parity/%s/%s" % (pkg.name, pkg.evr)
            lines += ["%%files -n %s" % pkg.name, directory, ""]
            out.append("\n".join(lines))
            install.append("mkdir -p %%{buildroot}%s && echo '%s %s' > %%{buildroot}%s/README"
                           % (directory, pkg.name, pkg.evr, directory))
        out.append("\n".join(install) + "\n")
        return "\n".join(out)

    def repoFile(self, repo, url):
        options = {"name": "Parity %s" % repo, "baseurl": url, "enabled": "1", "gpgcheck": "0"}
        options.update(self.repoOptions[repo])
        return "[%s]\n%s\n" % (repo, "".join("%s=%s\n" % item for item in options.items()))

    def build(self, directory):
        """Builds the RPMs, the repositories and the root under directory;
        returns the summary."""
        directory = os.path.abspath(directory)
        os.makedirs(directory, exist_ok=True)
        rpms = []
        for index, (target, text) in enumerate(self.specs()):
            path = os.path.join(directory, "spec", "%d.spec" % index)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as f:
                f.write(text)
            topdir = os.path.join(directory, "rpmbuild", str(index))
            rpms += sandbox.build_rpms(path, topdir, buildtime=BUILD_TIME, target=target)
        byFile = {os.path.basename(p): p for p in rpms}
        comps = os.path.join(directory, "comps.xml")
        with open(comps, "w") as f:
            f.write(self.comps())

        def files(packages):
            return [byFile["%s-%s-%s.%s.rpm" % (p.name, p.version, p.release, p.arch)]
                    for p in packages]

        repodir = os.path.join(directory, "repos")
        for repo in REPOS:
            sandbox.make_repo(os.path.join(repodir, repo),
                              files([p for p in self.packages if repo in p.repos]),
                              comps if repo == "first" else None)
        stage = sandbox.make_repo(os.path.join(directory, "stage"), files(self.packages))
        root = os.path.join(directory, "root")
        self._install(root, stage, repodir)
        shutil.rmtree(os.path.join(directory, "rpmbuild"))
        shutil.rmtree(stage)
        return self.summary(root)

    def _install(self, root, stage, repodir):
        sandbox.write_yum_conf(root)
        reposdir = os.path.join(root, "etc", "yum.repos.d")
        with open(os.path.join(reposdir, "stage.repo"), "w") as f:
            f.write("[stage]\nname=Stage\nbaseurl=file://%s/\ngpgcheck=0\n" % stage)
        # As the packages were once installed: by name, from wherever they
        # were then (an obsoleted package was not obsoleted yet).
        sandbox._run(sandbox.dnf_command(root, "--setopt=obsoletes=0", "install",
                                         *[p.nevra for p in self.installed]),
                     "dnf install into %s" % root)
        os.unlink(os.path.join(reposdir, "stage.repo"))
        for repo in REPOS:
            with open(os.path.join(reposdir, repo + ".repo"), "w") as f:
                f.write(self.repoFile(repo, "file://%s/%s/" % (repodir, repo)))
        if self.installedGroup:
            sandbox._run(sandbox.dnf_command(root, "group", "install", self.installedGroup),
                         "dnf group install into %s" % root)
        for sub in ("var/cache/yum", "var/log"):
            shutil.rmtree(os.path.join(root, sub), ignore_errors=True)
            os.makedirs(os.path.join(root, sub), exist_ok=True)

    def summary(self, root=None):
        text = {
            "seed": self.seed,
            "families": ["%s %s" % family for family in self.families],
            "repos": {repo: sorted("%s-%s.%s" % (p.name, p.evr, p.arch)
                                   for p in self.packages if repo in p.repos)
                      for repo in REPOS},
            "repoOptions": self.repoOptions,
            "groups": self.groups,
            "installedGroup": self.installedGroup,
        }
        if root:
            text["root"] = root
            text["installed"] = sandbox.installed_packages(root)
        return text


def build(seed, directory):
    return World(seed).build(directory)


def main(argv=None):
    argv = sys.argv[1:] if argv is None else argv
    if len(argv) != 2 or not argv[0].isdigit():
        print(__doc__.strip().splitlines()[-2].strip(), file=sys.stderr)
        print("usage: parityworld.py SEED DIR", file=sys.stderr)
        return 2
    try:
        print(json.dumps(build(int(argv[0]), argv[1]), indent=1))
    except sandbox.SandboxError as error:
        print("parityworld.py: %s" % error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
