# SPDX-License-Identifier: GPL-2.0-or-later
"""What belongs to the process, not to one YumIO object: the routing of
dnf's loggers to the engine and to dnf's log files, sys.stdout and
sys.stderr written through the engine, and the hold of the package
manager's lock. This module alone keeps that state (it survives the engine's
clear(), which replaces the YumIO object); the other parts import it from
here, never from YumIO.py, which runs as __main__."""

import atexit
import fcntl
import io
import logging
import logging.handlers
import os
import sys
import time

import yumIOC

import dnf.const
import dnf.lock
import dnf.logging
from dnf.i18n import _

from yum import Errors

from YumIOCommon import _errorText, logger


# ---------------------------------------------------------------------------
# Logging: dnf's records to the engine, and to dnf's log files with the
# credentials masked.

# Counted up while callbacks must not be used (the engine may be gone while an
# old object is collected).
_muted = 0


def _callbackLevel(levelno):
    """(callback, level) for a record level: the log window's detail level
    0 to 10 means what yum's debug level meant."""
    if levelno >= logging.ERROR:
        return yumIOC.errorlog, 0
    if levelno >= logging.WARNING:
        return yumIOC.errorlog, 1
    if levelno >= logging.INFO:
        return yumIOC.log, 2
    if levelno >= logging.DEBUG:
        return yumIOC.log, 3
    if levelno >= dnf.logging.DDEBUG:
        return yumIOC.log, 7
    if levelno >= dnf.logging.SUBDEBUG:
        return yumIOC.log, 8
    if levelno >= dnf.logging.TRACE:
        return yumIOC.log, 9
    return yumIOC.log, 10


class _CallbackHandler(logging.Handler):
    """Hands each record to yumIOC.log or yumIOC.errorlog."""

    def __init__(self):
        super().__init__(logging.NOTSET)
        self.setFormatter(logging.Formatter("%(message)s"))

    def emit(self, record):
        if _muted:
            return
        try:
            callback, level = _callbackLevel(record.levelno)
            callback(level, self.format(record))
        except Exception:  # a log record must never break an operation
            pass


class _MaskingFormatter(logging.Formatter):
    """dnf's log files: dnf and librepo log URLs with their credentials, so
    the program's rule masks them here (the engine masks what it shows)."""

    def format(self, record):
        return yumIOC.maskCredentials(super().format(record))


def _fileLevel(debuglevel):
    """dnf's logfilelevel (0 to 10) as a record level, as dnf reads it."""
    if debuglevel <= 0:
        return dnf.logging.SUPERCRITICAL
    table = {1: logging.INFO, 2: logging.INFO, 7: dnf.logging.DDEBUG,
             8: dnf.logging.SUBDEBUG, 9: dnf.logging.TRACE}
    if debuglevel in table:
        return table[debuglevel]
    if debuglevel <= 6:
        return logging.DEBUG
    return dnf.logging.ALL


class _Logging:
    """The process's routing of dnf's loggers, set up once and re-pointed
    when an object works on another log directory."""

    # logger name -> log file name in the log directory (None: no file)
    LOGGERS = (("dnf", dnf.const.LOG), ("librepo", dnf.const.LOG_LIBREPO),
               ("dnf.rpm", dnf.const.LOG_RPM), ("py.warnings", None))

    def __init__(self):
        self.callbackHandler = _CallbackHandler()
        self.fileHandlers = []
        self.logdir = None
        for name, _file in self.LOGGERS:
            log = logging.getLogger(name)
            log.setLevel(dnf.logging.ALL)
            log.addHandler(self.callbackHandler)
        # dnf.rpm has its own file; dnf's records reach "dnf" only once.
        logging.getLogger("dnf.rpm").propagate = False
        logging.captureWarnings(True)
        logging.raiseExceptions = False

    def setFiles(self, conf):
        """Log files in conf.logdir, as dnf would write them. librepo's own
        file log is left out: it writes URLs, credentials included, from C
        code where they cannot be masked."""
        logdir = conf.logdir
        if logdir == self.logdir:
            return
        self.closeFiles()
        formatter = _MaskingFormatter("%(asctime)s %(levelname)s %(message)s",
                                      "%Y-%m-%dT%H:%M:%S%z")
        formatter.converter = time.localtime
        for name, filename in self.LOGGERS:
            if filename is None:
                continue
            path = os.path.join(logdir, filename)
            try:
                os.makedirs(logdir, exist_ok=True)
                handler = logging.handlers.RotatingFileHandler(
                    path, maxBytes=conf.log_size, backupCount=conf.log_rotate,
                    encoding="utf-8")
            except OSError as error:
                # Without its log files dnf can still read: say so and go on.
                logger.warning("%s: %s", path, _errorText(error))
                continue
            handler.setFormatter(formatter)
            if name == "dnf":
                handler.setLevel(_fileLevel(conf.logfilelevel))
            logging.getLogger(name).addHandler(handler)
            self.fileHandlers.append((name, handler))
        self.logdir = logdir

    def closeFiles(self):
        for name, handler in self.fileHandlers:
            logging.getLogger(name).removeHandler(handler)
            handler.close()
        self.fileHandlers = []
        self.logdir = None


_logging = None


def _routeLogging():
    global _logging
    if _logging is None:
        _logging = _Logging()


def _setupLogging(conf):
    _routeLogging()
    _logging.setFiles(conf)


class _CallbackStream(io.TextIOBase):
    """sys.stdout or sys.stderr, written through a yumIOC callback."""

    def __init__(self, callbackName):
        super().__init__()
        self.callbackName = callbackName

    @property
    def encoding(self):
        return "utf-8"

    def writable(self):
        return True

    def isatty(self):
        return False

    def write(self, text):
        if not isinstance(text, str):
            text = str(text, "utf-8", "replace") if isinstance(text, bytes) else str(text)
        if text and not _muted:
            getattr(yumIOC, self.callbackName)(text)
        return len(text)


def _routeStreams():
    if not isinstance(sys.stdout, _CallbackStream):
        sys.stdout = _CallbackStream("stdoutWrite")
    if not isinstance(sys.stderr, _CallbackStream):
        sys.stderr = _CallbackStream("stderrWrite")


# ---------------------------------------------------------------------------
# The package manager's lock
#
# dnf's locks are files holding the PID of their owner; a live PID other than
# one's own means "held". dnf takes them per operation (metadata while loading
# repositories, download, rpmdb for a transaction) and its lock objects unlink
# the file when they are left. Vux holds all three for as long as it runs, so
# that no other dnf or Vux process works on the same system meanwhile. The
# hold belongs to the process, not to a YumIO object or a thread: dnf's own
# per-operation locks in this process see their own PID and go ahead, and
# leave the file in place while the hold lasts.

class _Hold:
    pid = None      # the process that holds (a forked child does not)
    targets = ()    # lock file paths


def _holding(target):
    return _Hold.pid == os.getpid() and target in _Hold.targets


_DnfProcessLock = getattr(dnf.lock, "_vuxDnfProcessLock", dnf.lock.ProcessLock)
dnf.lock._vuxDnfProcessLock = _DnfProcessLock


class _ProcessLock(_DnfProcessLock):
    """dnf's lock, except that leaving it keeps the file while Vux holds it."""

    def __exit__(self, *excArgs):
        if self.count == 1 and _holding(self.target):
            self._unlock_thread()
            return None
        return super().__exit__(*excArgs)


dnf.lock.ProcessLock = _ProcessLock


def _lockTargets(conf):
    """(path, description) of dnf's lock files for this configuration."""
    locks = (dnf.lock.build_metadata_lock(conf.cachedir, True),
             dnf.lock.build_download_lock(conf.cachedir, True),
             dnf.lock.build_rpmdb_lock(conf.persistdir, True))
    return [(lock.target, lock.description) for lock in locks]


def _tryLock(target, pid):
    """dnf's protocol: pid when taken (or ours already), the owner's pid
    when held by another live process, -1 when the file is busy."""
    fd = os.open(target, os.O_CREAT | os.O_RDWR, 0o644)
    try:
        try:
            fcntl.flock(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
        except BlockingIOError:
            return -1
        old = os.read(fd, 20)
        if old:
            try:
                oldPid = int(old)
            except ValueError:
                raise Errors.LockError(
                    _('Malformed lock file found: %s.\n'
                      'Ensure no other dnf/yum process is running and '
                      'remove the lock file manually or run '
                      'systemd-tmpfiles --remove dnf.conf.') % target)
            if oldPid == pid:
                return pid
            if os.access("/proc/%d/stat" % oldPid, os.F_OK):
                return oldPid
        os.lseek(fd, 0, os.SEEK_SET)
        os.ftruncate(fd, 0)
        os.write(fd, str(pid).encode("utf-8"))
        return pid
    finally:
        os.close(fd)


def _unlockFile(target, pid):
    """Remove a lock file only while it is ours."""
    try:
        fd = os.open(target, os.O_RDWR)
    except FileNotFoundError:
        return
    try:
        fcntl.flock(fd, fcntl.LOCK_EX)
        content = os.read(fd, 20)
        try:
            owner = int(content)
        except ValueError:
            return
        if owner == pid and os.fstat(fd).st_ino == os.stat(target).st_ino:
            os.unlink(target)
    finally:
        os.close(fd)


def _takeHold(targets):
    pid = os.getpid()
    if _Hold.pid == pid and set(_Hold.targets) == set(t for t, _d in targets):
        return
    _releaseHold()
    taken = []
    try:
        for target, description in targets:
            os.makedirs(os.path.dirname(target), exist_ok=True)
            owner = -1
            for _attempt in range(200):
                owner = _tryLock(target, pid)
                if owner != -1:
                    break
                time.sleep(0.01)
            if owner == -1:
                raise Errors.LockError("%s lock file %s is busy" % (description, target))
            if owner != pid:
                raise Errors.LockError("%s already locked by %d" % (description, owner),
                                       owner)
            taken.append(target)
    except OSError as error:
        for target in taken:
            _unlockFile(target, pid)
        raise Errors.LockError(_errorText(error)) from error
    except Errors.LockError:
        for target in taken:
            _unlockFile(target, pid)
        raise
    _Hold.pid = pid
    _Hold.targets = tuple(taken)


def _releaseHold():
    if _Hold.pid != os.getpid():
        _Hold.pid, _Hold.targets = None, ()
        return
    targets = _Hold.targets
    _Hold.pid, _Hold.targets = None, ()
    failures = []
    for target in targets:
        try:
            _unlockFile(target, os.getpid())
        except OSError as error:
            failures.append(_errorText(error))
    if failures:
        raise Errors.LockError("\n".join(failures))


def _releaseAtExit():
    try:
        _releaseHold()
    except Errors.LockError:
        pass


atexit.register(_releaseAtExit)


class ProcessMixin:
    """YumIO's part in the process's state: the lock, and no callbacks while
    an old object is collected."""

    def __del__(self):
        global _muted
        _muted += 1
        try:
            super().__del__()
        except Exception:
            pass
        finally:
            _muted -= 1

    # -- lock ---------------------------------------------------------------

    # The engine shows what was logged during the call, so a refusal is
    # logged as well as raised: the user learns who holds the lock.

    def lock(self):
        try:
            _takeHold(self._lockTargets)
        except Errors.LockError as error:
            logger.error("%s", error)
            raise

    def unlock(self):
        try:
            _releaseHold()
        except Errors.LockError as error:
            logger.error("%s", error)
            raise
