# SPDX-License-Identifier: GPL-2.0-or-later
"""Holds: installed packages kept at their version through the lock list of
dnf's version-lock plugin, so that dnf's command line keeps them too.

The plugin reads the file named by "locklist" in
/etc/dnf/plugins/versionlock.conf (both under the install root here); each
line is a package pattern, usually name-epoch:version-release.arch,
that locks its name to the versions it matches; a leading "!" excludes
instead; "#" starts a comment. The plugin hides every other version of a
locked name from the repositories (and whatever obsoletes a locked version),
which is what an apply does here while it resolves."""

import configparser
import contextlib
import fnmatch
import os
import tempfile
import time

import dnf.subject
import hawkey

from yum import Errors

from YumIOApply import _adapterPackage
from YumIOCommon import _EXPECTED, _errorText, logger
from YumIOConfig import _inRoot

PLUGIN_CONF = "/etc/dnf/plugins/versionlock.conf"
DEFAULT_LOCKLIST = "/etc/dnf/plugins/versionlock.list"
# The forms the plugin tries for a line, in its order.
_FORMS = [hawkey.FORM_NEVRA, hawkey.FORM_NEVR, hawkey.FORM_NEV, hawkey.FORM_NA, hawkey.FORM_NAME]


def lockListPath(root):
    """(path of the lock list under root, whether the plugin is set up
    there: its configuration file names the list and does not disable it)."""
    parser = configparser.RawConfigParser(strict=False, interpolation=None)
    try:
        parser.read(_inRoot(root, PLUGIN_CONF))
    except (configparser.Error, OSError, UnicodeDecodeError) as error:
        logger.warning("%s: %s", _inRoot(root, PLUGIN_CONF), error)
        return _inRoot(root, DEFAULT_LOCKLIST), False
    locklist = parser.get("main", "locklist", fallback="").strip()
    try:
        enabled = parser.getboolean("main", "enabled", fallback=True)
    except ValueError:
        enabled = True
    return _inRoot(root, locklist or DEFAULT_LOCKLIST), bool(locklist) and enabled


def _isRule(line):
    text = line.strip()
    return bool(text) and not text.startswith("#")


def readLockList(path):
    """The lines of the lock list as written (without line ends); none when
    there is no list. Raises OSError when it cannot be read."""
    try:
        with open(path, encoding="utf-8", errors="surrogateescape") as f:
            return f.read().splitlines()
    except FileNotFoundError:
        return []


def _ruleNevra(sack, rule):
    """The package a lock line stands for, as the plugin takes
    it: the first of its readings that matches a package (else the last
    reading), or None when the line cannot be read."""
    possible = dnf.subject.Subject(rule).get_nevra_possibilities(forms=_FORMS)
    chosen = None
    for nevra in possible:
        chosen = nevra
        if nevra.to_query(sack):
            break
    return chosen


def lockRules(sack, lines):
    """What the lock lines do to the sack, as the plugin computes it:
    (locked names, query of the locked versions, query of what the plugin
    hides from the repositories)."""
    excluded = sack.query().filter(empty=True)
    locked = sack.query().filter(empty=True)
    names = set()
    for line in lines:
        if not _isRule(line):
            continue
        rule = line.strip()
        exclude = rule.startswith("!")
        nevra = _ruleNevra(sack, rule[1:] if exclude else rule)
        if nevra is None:
            logger.warning("Version lock: could not parse pattern: %s", rule)
            continue
        query = nevra.to_query(sack)
        if exclude:
            excluded = excluded.union(query)
        else:
            names.add(nevra.name)
            locked = locked.union(query)
    if names:
        others = sack.query().filter(name__glob=list(names)).difference(locked)
        excluded = excluded.union(others)
        # Whatever obsoletes a locked version would replace it.
        obsoleting = sack.query().filterm(obsoletes=locked)
        excluded = excluded.union(obsoleting.difference(locked))
    excluded = excluded.filterm(reponame__neq=hawkey.SYSTEM_REPO_NAME)
    return names, locked, excluded


def lockSpec(pkg):
    """The plugin's form of a lock on one package."""
    return "%s-%s:%s-%s.%s" % (pkg.name, pkg.epoch or 0, pkg.version, pkg.release, pkg.arch)


def _holds(sack, line, name):
    """Whether a line of the lock list locks the package name."""
    if not _isRule(line) or line.strip().startswith("!"):
        return False
    nevra = _ruleNevra(sack, line.strip())
    return nevra is not None and fnmatch.fnmatchcase(name, nevra.name)


def writeAtomically(path, text):
    """Replace the file with text: a reader sees the old list or the new one,
    never a part; the file keeps its permissions."""
    directory = os.path.dirname(path)
    os.makedirs(directory, exist_ok=True)
    try:
        mode = os.stat(path).st_mode & 0o7777
    except FileNotFoundError:
        mode = 0o644
    fd, temporary = tempfile.mkstemp(prefix=".versionlock.", suffix=".tmp", dir=directory)
    try:
        with os.fdopen(fd, "w", encoding="utf-8", errors="surrogateescape") as f:
            f.write(text)
            f.flush()
            os.fchmod(f.fileno(), mode)
            os.fsync(f.fileno())
        os.replace(temporary, path)
    except BaseException:
        with contextlib.suppress(OSError):
            os.unlink(temporary)
        raise
    with contextlib.suppress(OSError):
        handle = os.open(directory, os.O_RDONLY)
        try:
            os.fsync(handle)
        finally:
            os.close(handle)


def heldLines(sack, lines, pkg, hold):
    """The lock list's lines after holding pkg (a line in the plugin's form
    added, unless one the same is there) or releasing it (every lock line
    that locks its name removed). Comments, excludes and lines that are not
    understood stay as they are. None when nothing changes."""
    if hold:
        spec = lockSpec(pkg)
        if any(line.strip() == spec for line in lines):
            return None
        result = list(lines)
        if result and result[-1].strip():
            result.append("")
        result.append("# Added lock on %s (Vux)" % time.ctime())
        result.append(spec)
        return result
    result = [line for line in lines if not _holds(sack, line, pkg.name)]
    return result if len(result) != len(lines) else None


class HoldsMixin:
    """YumIO's holds: collectHolds(), setHold(), and the plugin's rules
    during an apply."""

    def _lockList(self):
        return lockListPath(self.conf.installroot)

    def _readLockList(self):
        path, _configured = self._lockList()
        try:
            return readLockList(path)
        except (OSError, UnicodeError) as error:
            raise Errors.YumBaseError(
                "Unable to read version lock configuration: %s" % _errorText(error)) from error

    def collectHolds(self):
        """The installed packages held by the lock list: (name, arch, the
        versions it locks them to, the lines that lock them)."""
        if self.sack is None:
            return []
        lines = self._readLockList()
        if not any(_isRule(line) for line in lines):
            return []
        try:
            names, locked, _excluded = lockRules(self.sack, lines)
            if not names:
                return []
            held = self.sack.query().installed().filterm(name__glob=list(names))
            result = []
            for pkg in held:
                versions = sorted({p.evr for p in locked.filter(name=pkg.name)})
                rules = [line.strip() for line in lines if _holds(self.sack, line, pkg.name)]
                result.append((pkg.name, pkg.arch, versions, rules))
            return result
        except _EXPECTED as error:
            raise Errors.YumBaseError(_errorText(error)) from error

    def holdsConfigured(self):
        """Whether dnf's version-lock plugin reads the list here (else only
        Vux keeps the holds)."""
        return self._lockList()[1]

    def setHold(self, package, hold):
        """Hold the installed package at its version, or release it."""
        pkg = _adapterPackage(package)
        path, configured = self._lockList()
        lines = self._readLockList()
        changed = heldLines(self.sack, lines, pkg, bool(hold))
        if changed is None:
            return None
        try:
            writeAtomically(path, "".join(line + "\n" for line in changed))
        except OSError as error:
            text = "Cannot write the version lock list %s: %s" % (path, _errorText(error))
            logger.error("%s", text)
            raise Errors.YumBaseError(text) from error
        logger.info("%s %s (%s)", "Held" if hold else "Released", lockSpec(pkg), path)
        if not configured:
            logger.warning("dnf's version-lock plugin is not set up in %s: the command line "
                           "does not keep this hold", _inRoot(self.conf.installroot, PLUGIN_CONF))
        return None

    @contextlib.contextmanager
    def _heldBack(self):
        """The plugin's rules on the sack while a transaction is resolved, so
        that held packages stay as they are; the sack as before afterwards."""
        lines = self._readLockList()
        excluded = None
        if any(_isRule(line) for line in lines):
            _names, _locked, excluded = lockRules(self.sack, lines)
            if excluded:
                self.sack.add_excludes(excluded)
            else:
                excluded = None
        try:
            yield
        finally:
            if excluded is not None and self.sack is not None:
                self.sack.remove_excludes(excluded)
