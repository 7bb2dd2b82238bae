# SPDX-License-Identifier: GPL-2.0-or-later
"""A stand-in for Vux's companion script, for what dnf cannot produce: the
code paths of older package-manager versions and failures on demand.

It answers from a small fixed package set. The environment chooses its
behaviour when an object is made:
  VUX_STANDIN_FAIL   "method:Exception[:text]": that method logs two errors
                     (a message and a detail among them) and raises (SystemExit, RuntimeError, bdb.BdbQuit or a
                     yum.Errors class); "collectAll:no-installed" leaves out
                     the installed list.
  VUX_STANDIN_SIZES  "1": packages named size-* are available too, with
                     sizes of every shape (see SIZES).
Every call is appended to `calls`, for the tests to read.
"""

import bdb
import os

import yum
import yumIOC
from yum import Errors

calls = []

# The stand-in's odd sizes: a number, a text, bytes (a number up to the first
# non-digit), a callable, a number too large, no number at all.
SIZES = {"size-number": 123, "size-text": "123", "size-bytes": b"12x",
         "size-callable": lambda: 77, "size-huge": 99999999999999999999999, "size-list": [1]}


def usesSqlite():
    calls.append("usesSqlite")
    return False


def _failure(method):
    spec = os.environ.get("VUX_STANDIN_FAIL", "")
    parts = spec.split(":", 2)
    if parts[0] != method or len(parts) < 2:
        return None
    return parts[1], (parts[2] if len(parts) > 2 else "%s failed on purpose" % method)


def _maybeFail(method):
    calls.append(method)
    failure = _failure(method)
    if failure is None:
        return
    kind, text = failure
    if kind == "no-installed":
        return
    yumIOC.errorlog(0, "first error of %s" % method)
    yumIOC.log(2, "an ordinary message that stays out of the dialog")
    yumIOC.errorlog(1, "second error of %s" % method)
    yumIOC.errorlog(3, "a detail that stays out of the dialog")
    if kind == "SystemExit":
        raise SystemExit(1)
    if kind == "RuntimeError":
        raise RuntimeError(text)
    if kind == "BdbQuit":
        raise bdb.BdbQuit(text)
    raise getattr(Errors, kind)(text)


class _Repo:
    def __init__(self, enabled):
        self.enabled = enabled


class _Repos:
    def __init__(self):
        self.repos = {"standin": _Repo(1), "extra": _Repo(0)}

    def enableRepo(self, repoid):
        calls.append("enableRepo " + repoid)
        self.repos[repoid].enabled = 1

    def disableRepo(self, repoid):
        calls.append("disableRepo " + repoid)
        self.repos[repoid].enabled = 0


class _Conf:
    yumvar = {"basearch": "x86_64", "releasever": "1"}


class Package:
    def __init__(self, name, version, repoid, group="Applications/Text", size=2048):
        self.name = name
        self.arch = "noarch"
        self.size = size
        self.version = version
        self.simple = {"repoid": repoid, "summary": "The %s package\n\n" % name,
                       "group": group, "buildtime": 86400, "description": "About " + name}

    def printVer(self):
        return self.version

    def returnSimple(self, key):
        return self.simple[key]


class _Group:
    def __init__(self, name, installed, mandatory, visible=True):
        self.name = name
        self.user_visible = visible
        self.installed = installed
        self.mandatory_packages = dict.fromkeys(mandatory)
        self.default_packages = {}
        self.optional_packages = {}
        self.conditional_packages = {}


class _GroupInfo:
    """Group information as versions before 2.5 gave it: one object for all."""
    visible_groups = ["Second", "Stand-in Group"]
    group_installed = {"Stand-in Group": True, "Second": False}
    mandatory_pkgs = {"Stand-in Group": ["beta"], "Second": ["alpha"]}
    sub_groups = {"Stand-in Group": ["Second"], "Second": ["Stand-in Group"]}
    # Package lists as group resolution reads them: the tree holds optional
    # packages too.
    required = {"Stand-in Group": ["beta", "alpha"], "Second": ["alpha"]}
    tree = {"Stand-in Group": ["beta", "alpha", "gamma"], "Second": ["alpha"]}

    def requiredPkgs(self, name):
        return list(self.required[name])

    def pkgTree(self, name):
        return list(self.tree[name])


class _All:
    def __init__(self, installed, available, withInstalled=True):
        if withInstalled:
            self.installed = installed
        self.available = available


class YumIO:
    def __init__(self):
        _maybeFail("__init__")
        self.repos = _Repos()
        self.conf = _Conf()

    def lock(self):
        _maybeFail("lock")

    def unlock(self):
        _maybeFail("unlock")

    def setupRepos(self):
        _maybeFail("setupRepos")

    def setupTs(self):
        _maybeFail("setupTs")

    def collectUpdates(self):
        _maybeFail("collectUpdates")
        return [Package("alpha", "2.0-1", "standin")]

    def collectAll(self):
        _maybeFail("collectAll")
        installed = [Package("alpha", "1.0-1", "installed"), Package("beta", "1.0-1", "installed")]
        available = [Package("gamma", "3:1.0-1", "standin", group="Suite")]
        if os.environ.get("VUX_STANDIN_SIZES") == "1":
            available += [Package(name, "1.0-1", "standin", size=size)
                          for name, size in SIZES.items()]
        return _All(installed, available, _failure("collectAll") is None)

    def setupTsGroup(self):
        _maybeFail("setupTsGroup")

    def collectGroupInfo(self):
        _maybeFail("collectGroupInfo")
        if yum.__version__ < "2.5":
            return _GroupInfo()
        return [_Group("Stand-in Group", True, ["alpha"]),
                _Group("Invisible", False, [], visible=False)]

    def flush(self):
        calls.append("flush")

    def apply(self, installs, updates, removes):
        """Records what it was asked, as apply:INSTALLS/UPDATES/REMOVES."""
        calls.append("apply:%s/%s/%s" % (",".join(p.name for p in installs),
                                          ",".join(pair[0].name for pair in updates),
                                          ",".join(p.name for p in removes)))

    def usesPresto(self):
        calls.append("usesPresto")
        return False
