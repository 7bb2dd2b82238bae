# SPDX-License-Identifier: GPL-2.0-or-later
"""The transaction side of the companion script: YumIO.apply, from the mixin
ApplyMixin. doc/companion-script.md ("Applying") describes what it does.
"""

import fcntl
import gc
import os
import sys

import dnf
import dnf.callback
import dnf.exceptions
import dnf.logging
import dnf.sack
import libdnf.transaction as _ACTION
import rpm
from dnf.i18n import _

import yumIOC
from yum import Errors

from YumIOCommon import _EXPECTED, _errorText, logger
from YumIOConfig import _inRoot

# rpm changes the process's root directory while a transaction runs into
# another root: what the transaction and its callbacks use is imported now,
# never on first use.
import dnf.goal  # noqa: F401
import dnf.transaction  # noqa: F401
import dnf.yum.rpmtrans  # noqa: F401
import encodings.idna  # noqa: F401



def _shutdownOutputLogging(self):
    """dnf's end of rpm's output logging hands rpm sys.stderr, which here is
    the log writer, not a file: rpm refuses it, and the pipe dnf opened for
    rpm's output then stays rpm's log file after dnf closed it. rpm logs to
    the process's real standard error again instead."""
    rpm.setVerbosity(rpm.RPMLOG_NOTICE)
    rpm.setLogFile(sys.__stderr__)
    try:
        self._writepipe.close()
    except Exception:
        pass


dnf.yum.rpmtrans.RPMTransaction._shutdownOutputLogging = _shutdownOutputLogging


# ---------------------------------------------------------------------------
# Applying a transaction
#
# apply(installs, updates, removes, groups, reinstalls=, downgrades=) marks
# the goal from the engine's lists (groups through dnf's group operations, so
# that dnf records them), resolves, lists the transaction and asks the user,
# downloads, checks signatures, runs the rpm transaction and reports what was
# done; with the rules of the version lock, so that held packages stay.
# applyHistory() (YumIOHistory) marks the goal from dnf's history and runs the
# same way. The engine hears of each step through the transaction callbacks of
# yumIOC, in the order yum gave them.


# dnf's progress actions as yum's transaction event codes: 10 update,
# 20 install, 30 true install, 40 erase, 50 obsoleted, 60 obsoleting,
# 70 available (nothing to show), 90 updated (the old package leaves).
_EVENT_CODES = {
    dnf.callback.PKG_UPGRADE: 10,
    dnf.callback.PKG_DOWNGRADE: 10,
    dnf.callback.PKG_INSTALL: 20,
    dnf.callback.PKG_REINSTALL: 20,
    dnf.callback.PKG_REMOVE: 40,
    dnf.callback.PKG_OBSOLETED: 50,
    dnf.callback.PKG_OBSOLETE: 60,
    dnf.callback.PKG_UPGRADED: 90,
    dnf.callback.PKG_DOWNGRADED: 90,
    dnf.callback.PKG_REINSTALLED: 90,
    dnf.callback.PKG_CLEANUP: 90,
}
# Events that only mark a phase of the transaction: no event of their own.
_PHASE_EVENTS = (dnf.callback.PKG_VERIFY, dnf.callback.PKG_SCRIPTLET,
                 dnf.callback.TRANS_PREPARATION, dnf.callback.TRANS_POST)
_ERASE_CODES = (40, 50, 90)

_STDERR_FILE = open(2, "w", closefd=False)

_SUPERUSER_TEXT = _("This command has to be run with superuser privileges "
                    "(under the root user on most systems).")


class _TxMember:
    """One member of the transaction as yum's transaction information had
    it: pkgtup, repoid, name, and relatedto, the (package, relation) pairs
    that tie it to other members."""

    def __init__(self, pkg, repoid=None):
        self.po = pkg
        self.name = pkg.name
        self.arch = pkg.arch
        self.pkgtup = (pkg.name, pkg.arch, str(pkg.epoch or 0), pkg.version, pkg.release)
        self.repoid = repoid if repoid is not None else pkg.reponame
        self.relatedto = []
        # What the engine sums for downloads: the package's download size.
        self.size = int(getattr(pkg, "downloadsize", 0) or 0)

    def __repr__(self):
        return "<txmbr %s>" % (self.pkgtup,)


class _TsInfo:
    """dnf's transaction as yum's seven lists, the groups it installs,
    updates or removes (groups, (action, name) pairs), and
    installedSizeChange: the installed size the transaction adds (negative
    when it frees space)."""

    LISTS = ("updated", "installed", "removed", "obsoleted", "depupdated", "depinstalled",
             "depremoved")

    def __init__(self):
        for name in self.LISTS:
            setattr(self, name, [])
        self.installedSizeChange = 0
        self.groups = []

    def makelists(self):
        return tuple(getattr(self, name) for name in self.LISTS)

    def members(self):
        for name in self.LISTS:
            for member in getattr(self, name):
                yield member


class _TsInfoHolder:
    def __init__(self, tsInfo):
        self.tsInfo = tsInfo


# The old side of an update, a downgrade and a reinstall, and the relation
# (yum's) that ties the new side to it.
_REPLACED = {
    _ACTION.TransactionItemAction_UPGRADED: "updates",
    _ACTION.TransactionItemAction_DOWNGRADED: "downgrades",
    _ACTION.TransactionItemAction_REINSTALLED: "reinstalls",
}
_LEAVING = (_ACTION.TransactionItemAction_REMOVE, _ACTION.TransactionItemAction_OBSOLETED) \
    + tuple(_REPLACED)


def _installSize(pkg):
    return int(getattr(pkg, "installsize", 0) or 0)


def _relateReplaced(transaction, members):
    """Ties each new side of an update, downgrade or reinstall to the
    package it replaces: (old member, "updates" / "downgrades" /
    "reinstalls") in its relatedto."""
    items = _packageItems(transaction)
    byItem = {}
    for item in items:
        member = members.get(item.pkg)
        if member is not None and hasattr(item, "_item"):
            byItem[item._item] = member
    for item in items:
        relation = _REPLACED.get(item.action)
        if relation is None or not hasattr(item, "_item"):
            continue
        for newer in item._item.getReplacedBy():
            member = byItem.get(newer)
            if member is not None:
                member.relatedto.append((_TxMember(item.pkg, "installed"), relation))


def _packageItems(transaction):
    """The items of dnf's transaction that change a package: a change of
    the reason dnf keeps for one (dnf makes them when an install-only
    package leaves) has no package to speak of."""
    return [item for item in transaction
            if item.action != _ACTION.TransactionItemAction_REASON_CHANGE]


def _buildTsInfo(transaction, requested):
    """The seven lists of dnf's transaction; requested holds the packages the
    user named, and the packages of a group the user named count as named
    (all else was brought in to resolve dependencies)."""
    info = _TsInfo()
    members = {}
    pending = []
    for item in _packageItems(transaction):
        size = _installSize(item.pkg)
        info.installedSizeChange += -size if item.action in _LEAVING else size
        pkg = item.pkg
        action = item.action
        dep = pkg not in requested and item.reason != _ACTION.TransactionItemReason_GROUP
        if action in (_ACTION.TransactionItemAction_INSTALL,
                      _ACTION.TransactionItemAction_REINSTALL):
            member = _TxMember(pkg)
            (info.depinstalled if dep else info.installed).append(member)
        elif action in (_ACTION.TransactionItemAction_UPGRADE,
                        _ACTION.TransactionItemAction_DOWNGRADE,
                        _ACTION.TransactionItemAction_OBSOLETE):
            member = _TxMember(pkg)
            (info.depupdated if dep else info.updated).append(member)
        elif action == _ACTION.TransactionItemAction_REMOVE:
            member = _TxMember(pkg, "installed")
            (info.depremoved if dep else info.removed).append(member)
        elif action == _ACTION.TransactionItemAction_OBSOLETED:
            member = _TxMember(pkg, "installed")
            info.obsoleted.append(member)
            pending.append((member, item))
        else:
            # The old side of an update, reinstall or downgrade.
            continue
        members[pkg] = member
    # An obsoleted package names the member that obsoletes it.
    for member, item in pending:
        for other in transaction.get_items_replacing_pkg(item.pkg) \
                if hasattr(transaction, "get_items_replacing_pkg") else ():
            newer = members.get(other.pkg)
            if newer is not None:
                member.relatedto.append((newer, "obsoletedby"))
                newer.relatedto.append((member, "obsoletes"))
                break
        else:
            newer = _obsoleting(item.pkg, members, transaction)
            if newer is not None:
                member.relatedto.append((newer, "obsoletedby"))
                newer.relatedto.append((member, "obsoletes"))
    _relateReplaced(transaction, members)
    return info


def _obsoleting(old, members, transaction):
    """The member whose package obsoletes the installed package old. A package
    installed by name that obsoletes another is an install, not an
    obsoleting, in dnf's transaction: its Obsoletes name the old package."""
    for other in _packageItems(transaction):
        if other.action == _ACTION.TransactionItemAction_OBSOLETE and other.pkg in members:
            return members[other.pkg]
    for pkg, member in members.items():
        if pkg is old or pkg.name == old.name:
            continue
        for reldep in getattr(pkg, "obsoletes", ()):
            if str(reldep).split(" ", 1)[0] == old.name:
                return member
    return None


def _tsinfoLines(info):
    """yum's "TSINFO: " lines for the members that resolving added, naming the
    packages by the names the engine keys them by."""
    lines = []
    for member in info.depinstalled:
        lines.append("Marking %s as install" % member.name)
    for member in info.depupdated:
        lines.append("Updating %s" % member.name)
    for member in info.depremoved:
        lines.append("%s marked as erase" % member.name)
    return lines


class _DownloadSize:
    """What reportDownloadSize reads of a package: its size."""

    def __init__(self, size):
        self.size = size


class _ApplyMeter(dnf.callback.DownloadProgress):
    """Package downloads as the engine's apply meters. librepo fetches
    several files at once; the engine shows one at a time, so each file is
    started once, when it is first heard of, and only the file shown last
    moves the item bar."""

    def __init__(self):
        super().__init__()
        self.current = None
        self.started = set()
        self.failures = []
        self.told = set()

    def start(self, total_files, total_size, total_drpms=0):
        pass

    def _begin(self, payload):
        self.current = payload
        self.started.add(id(payload))
        pkg = getattr(payload, "pkg", None)
        location = getattr(pkg, "location", None) or str(payload)
        size = int(getattr(payload, "download_size", 0) or 0)
        yumIOC.applyGrabMeterStart(location, os.path.basename(location), None, size, None)

    def progress(self, payload, done):
        if id(payload) not in self.started:
            self._begin(payload)
        if payload is self.current:
            yumIOC.applyGrabMeterUpdate(int(done or 0))

    def end(self, payload, status, msg):
        if id(payload) not in self.started:
            self._begin(payload)
        if payload is self.current:
            yumIOC.applyGrabMeterEnd(int(getattr(payload, "download_size", 0) or 0))
        if status == dnf.callback.STATUS_FAILED or status == dnf.callback.STATUS_MIRROR:
            text = yumIOC.maskCredentials("%s: %s" % (payload, msg))
            # librepo tries a mirror several times: each answer is told once.
            if text not in self.told:
                self.told.add(text)
                logger.error("%s", text)
            if status == dnf.callback.STATUS_FAILED:
                self.failures.append(text)


class _ApplyDisplay(dnf.callback.TransactionProgress):
    """The rpm transaction as the engine's transaction events."""

    def __init__(self):
        super().__init__()
        self.started = False
        self.errors = []
        self.lastName = None

    def progress(self, package, action, ti_done, ti_total, ts_done, ts_total):
        if not self.started:
            self.started = True
            yumIOC.tsInitCallback(1)
        code = _EVENT_CODES.get(action)
        if code is None or package is None or isinstance(package, str):
            return
        name = package.name
        subject = name if code in _ERASE_CODES else package
        yumIOC.tsEvent(subject, code, int(ti_done or 0), int(ti_total or 0), int(ts_done or 0),
                       int(ts_total or 0))

    def scriptout(self, msgs):
        if msgs:
            text = msgs.decode("utf-8", "replace") if isinstance(msgs, bytes) else str(msgs)
            if not text.endswith("\n"):
                text += "\n"
            yumIOC.stdoutWrite(text)

    def error(self, message):
        # dnf hands each error to its own logging display too, whose record
        # (logger "dnf.rpm") reaches the engine's log already: kept for the
        # failure's text only.
        self.errors.append(str(message))


def _adapterPackage(adapter):
    """dnf's package behind an engine adapter (or a dnf package itself)."""
    view = getattr(adapter, "_view", None)
    if view is None:
        return adapter
    pkg = view.dnfPackage(adapter._current())
    if pkg is None:
        raise Errors.YumBaseError("%s is no longer available" % getattr(adapter, "name", adapter))
    return pkg


def _rpmLockHolder(root):
    """A text naming the holder of rpm's transaction lock in root, or None.
    rpm would wait for the lock without a word, for ever."""
    try:
        path = rpm.expandMacro("%{_rpmlock_path}")
    except Exception:
        return None
    if not path or path.startswith("%"):
        return None
    path = _inRoot(root, path)
    try:
        fd = os.open(path, os.O_RDWR)
    except OSError:
        return None
    try:
        try:
            fcntl.lockf(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
        except OSError:
            return "rpm's transaction lock %s is held by another process" % path
        fcntl.lockf(fd, fcntl.LOCK_UN)
        return None
    finally:
        os.close(fd)


def _historyLine(installs, updates, removes, groups, reinstalls=(), downgrades=()):
    words = ["vux"]
    for operation in ("install", "upgrade", "remove"):
        ids = [group.groupid for group, op, _kept in groups if op == operation]
        if ids:
            words += ["group", operation] + ids
    for verb, pkgs in (("install", installs), ("upgrade", updates), ("remove", removes),
                       ("reinstall", reinstalls), ("downgrade", downgrades)):
        if pkgs:
            words.append(verb)
            words.extend(str(pkg) for pkg in pkgs)
    return words


def _signatureCheck(base, pkgs):
    """Verify every package from a repository with gpgcheck, offering keys
    that are not yet imported, as dnf's command does."""
    # dnf offers a repository's keys once per Base, whatever the answer: a
    # key declined in an earlier apply is offered again.
    getattr(base, "_repo_set_imported_gpg_keys", set()).clear()
    for pkg in pkgs:
        result, text = base.package_signature_check(pkg)
        if result == 0:
            continue
        if result == 1:
            asked = []

            def question(info):
                asked.append(info)
                return bool(yumIOC.confirmKeyImport(
                    str(info.get("userid", "")), str(info.get("fingerprint", "")),
                    str(info.get("keyurl", ""))))

            try:
                base.package_import_key(pkg, fullaskcb=question)
            except dnf.exceptions.Error as error:
                raise Errors.YumBaseError(
                    "The signature of %s could not be verified: %s" % (pkg, _errorText(error))
                ) from error
            result, text = base.package_signature_check(pkg)
            if result == 0:
                continue
        raise Errors.YumBaseError(yumIOC.maskCredentials("%s: %s" % (
            pkg, text or "the package's signature could not be verified")))


class ApplyMixin:
    """YumIO's apply(); the transaction run it shares with applyHistory()."""

    # The engine hands over marked groups (apply's fourth list) rather than
    # their packages.
    groupOperations = True

    def apply(self, installs, updates, removes, groups=(), *, reinstalls=(), downgrades=()):
        return self._applyGuarded(self._applyTransaction, installs, updates, removes,
                                  list(groups), reinstalls, downgrades)

    def _applyGuarded(self, run, *args):
        """run(*args) with dnf's and the system's errors as yum's, logged."""
        try:
            return run(*args)
        except BrokenPipeError:
            raise
        except Errors.YumBaseError as error:
            # The lines dnf has logged itself (a failed scriptlet's) are not
            # logged twice.
            told = getattr(error, "told", ())
            untold = [line for line in str(error).split("\n") if line not in told]
            if untold:
                logger.error("%s", "\n".join(untold))
            raise
        except _EXPECTED as error:
            text = _errorText(error)
            logger.error("%s", text)
            raise Errors.YumBaseError(text) from error

    def _markGroups(self, groups):
        """dnf's group operations, as its group command makes them: install
        with the configuration's package types (leaving the packages the user
        kept apart), upgrade, remove."""
        if groups and self._comps is None:
            self.read_comps(arch_filter=True)
        done = []
        for group, operation, kept in groups:
            groupid = getattr(group, "groupid", None)
            if groupid is None:
                raise Errors.YumBaseError("%s is not a group" % (group,))
            try:
                if operation == "install":
                    self.group_install(groupid, tuple(self.conf.group_package_types),
                                       exclude=list(kept), strict=self.conf.strict)
                elif operation == "upgrade":
                    self.group_upgrade(groupid)
                elif operation == "remove":
                    self.group_remove(groupid)
                else:
                    raise Errors.YumBaseError("unknown group operation %s" % operation)
            except dnf.exceptions.CompsError as error:
                raise Errors.GroupsError(_errorText(error)) from error
            done.append((operation, group.name))
        return done

    def _beginApply(self):
        """What comes before a goal is marked: the checks, and an empty goal
        and rpm transaction set."""
        # Whether this apply changed the system, for the engine after a failure.
        self.systemChanged = False
        if os.geteuid() != 0:
            raise Errors.YumBaseError(_SUPERUSER_TEXT)
        if self.sack is None:
            raise Errors.YumBaseError("The repositories have not been read.")
        self.reset(goal=True)
        # dnf adds each transaction's members to one rpm transaction set and
        # forgets it only when the Base closes: after a failed transaction the
        # old members would be run again with the new ones. Each apply starts
        # with a set of its own.
        self._closeRpmDB()

    def _applyTransaction(self, installs, updates, removes, groups, reinstalls, downgrades):
        self._beginApply()
        installPkgs = [_adapterPackage(p) for p in installs]
        updatePkgs = [_adapterPackage(pair[0]) for pair in updates]
        removePkgs = [_adapterPackage(p) for p in removes]
        replacedPkgs = [_adapterPackage(pair[1]) for pair in updates]
        removing = bool(removePkgs) or any(op == "remove" for _group, op, _kept in groups)
        if removing and not (installPkgs or updatePkgs or reinstalls or downgrades) and all(
                op == "remove" for _group, op, _kept in groups):
            return self._removeOnly(removePkgs, groups)
        reinstallPkgs = [self._sameAvailable(_adapterPackage(p)) for p in reinstalls]
        downgradePkgs = [self._downgradeTarget(_adapterPackage(p), nevra)
                         for p, nevra in downgrades]
        return self._runTransaction(installPkgs, updatePkgs, removePkgs, groups, removing,
                                    replacedPkgs, reinstallPkgs, downgradePkgs)

    def _removeOnly(self, removePkgs, groups):
        """Removals only are resolved against the installed system alone, as
        dnf's remove and group remove commands load no repository: with the
        repositories the solver takes other packages along (the other
        architecture of a multilib pair, for one)."""
        full = self._sack
        self._sack = self._installedSack()
        try:
            self.reset(goal=True)
            installed = self._sack.query().installed()
            removePkgs = [installed.filter(name=p.name, epoch=p.epoch, version=p.version,
                                           release=p.release, arch=p.arch)[0]
                          for p in removePkgs]
            return self._runTransaction([], [], removePkgs, groups, True)
        finally:
            self._sack = full
            self.reset(goal=True)

    def _installedSack(self):
        """A sack of the installed packages alone, set up as fill_sack() sets
        up dnf's."""
        sack = dnf.sack._build_sack(self)
        sack.load_system_repo(build_cache=False)
        conf = self.conf
        sack._configure(conf.installonlypkgs, conf.installonly_limit, conf.allow_vendor_change)
        return sack

    def _runTransaction(self, installPkgs, updatePkgs, removePkgs, groups, removing,
                        replacedPkgs=(), reinstallPkgs=(), downgradePkgs=()):
        requested = set(installPkgs) | set(updatePkgs) | set(removePkgs) \
            | set(replacedPkgs) | set(reinstallPkgs) | set(downgradePkgs)
        with self._heldBack():
            groupActions = self._markGroups(groups)
            for pkg in installPkgs:
                self.package_install(pkg, strict=True)
            for pkg in updatePkgs:
                self.package_upgrade(pkg)
            # As "dnf remove" erases: what was installed only for the removed
            # packages goes too when the configuration says so.
            for pkg in removePkgs:
                self._goal.erase(pkg, clean_deps=self.conf.clean_requirements_on_remove)
            for pkg in reinstallPkgs:
                self.package_reinstall(pkg)
            for pkg in downgradePkgs:
                self.package_downgrade(pkg, strict=True)
            # Resolution: removals take what depends on them along, as
            # "dnf remove" and "dnf group remove".
            return self._runGoal(requested, removing, _historyLine(
                installPkgs, updatePkgs, removePkgs, groups, reinstallPkgs, downgradePkgs),
                groups=groupActions)

    def _sameAvailable(self, pkg):
        """The repository package of an installed one's very version."""
        same = self.sack.query().available().filterm(name=pkg.name, evr=pkg.evr, arch=pkg.arch)
        if not same:
            raise Errors.YumBaseError("Installed package %s not available." % str(pkg))
        return same.run()[0]

    def _downgradeTarget(self, pkg, nevra):
        """The older repository package named by nevra for an installed one."""
        older = self.sack.query().available().filterm(nevra_strict=str(nevra))
        if not older:
            raise Errors.YumBaseError(_("No match for argument: %s") % nevra)
        target = older.run()[0]
        if target.name != pkg.name or not pkg.evr_gt(target):
            raise Errors.YumBaseError(
                "%s is not an older version of %s" % (nevra, str(pkg)))
        return target

    def _runGoal(self, requested, allowErasing, historyArgs, resolved=None, warnings=None,
                 groups=()):
        """Resolves the marked goal, lists the transaction and asks the user,
        downloads, checks signatures and runs it, recorded in dnf's history
        with the command line historyArgs. requested holds what the user
        asked for; resolved is called once the goal is resolved, warnings
        gives texts to log after the run; groups are the (operation, name)
        pairs of the group operations marked."""
        yumIOC.dsTsCheck()
        self.resolve(allow_erasing=allowErasing)
        if resolved is not None:
            resolved()
        info = _buildTsInfo(self.transaction, requested)
        info.groups = list(groups)
        lines = _tsinfoLines(info)
        for line in lines:
            logger.log(dnf.logging.DDEBUG, "TSINFO: %s", line)
        if lines:
            yumIOC.dsRestartLoop()
            yumIOC.dsTsCheck()
        holder = _TsInfoHolder(info)
        yumIOC.listTransaction(holder)

        downloads = [pkg for pkg in self.transaction.install_set]
        yumIOC.reportDownloadSize([_DownloadSize(int(pkg.downloadsize or 0))
                                   for pkg in downloads if not pkg._is_local_pkg()])
        if not yumIOC.userconfirm():
            # Declined: nothing is downloaded or changed.
            self.reset(goal=True)
            return None

        meter = _ApplyMeter()
        try:
            self.download_packages(downloads, progress=meter)
        except dnf.exceptions.DownloadError as error:
            details = meter.failures or [_errorText(error)]
            raise Errors.YumBaseError(
                "Error downloading packages:\n" + "\n".join("  " + d for d in details)) from error
        gpgchecked = [pkg for pkg in downloads
                      if pkg.repo is not None and getattr(pkg.repo, "gpgcheck", False)]
        _signatureCheck(self, gpgchecked)

        lockHolder = _rpmLockHolder(self.conf.installroot)
        if lockHolder:
            raise Errors.LockError(lockHolder)

        self.args = historyArgs
        display = _ApplyDisplay()
        yumIOC.tsInitCallback(0)
        # dnf hands rpm sys.stderr back as its log file when a transaction ends:
        # that must be a real file, not the stream to the engine.
        saved = sys.stderr
        sys.stderr = _STDERR_FILE
        try:
            self.do_transaction(display=display)
            gc.collect()
        finally:
            sys.stderr = saved
            self.systemChanged = any(item.state == _ACTION.TransactionItemState_DONE
                                     for item in _packageItems(self.transaction))
        if not display.started:
            yumIOC.tsInitCallback(1)
        failed = [item for item in _packageItems(self.transaction)
                  if item.state == _ACTION.TransactionItemState_ERROR]
        if failed or display.errors:
            done = sorted(str(item.pkg) for item in _packageItems(self.transaction)
                          if item.state == _ACTION.TransactionItemState_DONE)
            text = ["Transaction failed"]
            text.extend(display.errors)
            text.append("Not applied: " + (", ".join(sorted(str(i.pkg) for i in failed)) or "-"))
            text.append("Applied: " + (", ".join(done) or "nothing"))
            failure = Errors.YumBaseError("\n".join(text))
            failure.told = set(display.errors)
            raise failure
        for text in (warnings() if warnings is not None else ()):
            logger.warning("%s", text)
        yumIOC.postTransactionOutput(holder)
        return None
