# SPDX-License-Identifier: GPL-2.0-or-later
"""Repository progress for the engine's meters, and the user's request to
stop a running operation."""

import dnf.callback
import dnf.repo
from dnf.i18n import _

import yumIOC
from yum import Errors



# ---------------------------------------------------------------------------
# Repository progress: five acts per repository (mirror list, repomd,
# download, convert, read), see doc/companion-script.md.

class _RepoMeter(dnf.callback.DownloadProgress):
    """Turns librepo's reports for one repository's metadata into the
    engine's download acts.

    librepo reports (total, done) of the file it fetches: the mirror list
    first (when there is one), repomd.xml next, then the rest of the
    metadata with a total that grows as files join. A report with another
    total after a complete file, or after a zero report, is the next file."""

    def __init__(self, repo):
        super().__init__()
        self.repoid = repo.id
        origin = ""
        for url in list(repo.baseurl or []) + [repo.metalink or "", repo.mirrorlist or ""]:
            if url:
                origin = url
                break
        self.origin = origin.rstrip("/") or "repository"
        self.files = (["metalink.xml"] if repo.metalink or repo.mirrorlist else []) \
            + ["repomd.xml", "primary.xml.gz"]
        self.phase = -1
        self.size = 0
        self.done = 0
        self.boundary = False

    def _startAct(self, size):
        name = self.files[self.phase]
        url = "%s/%s/%s" % (self.origin, self.repoid, name)
        yumIOC.collectGrabMeterStart(url, name, "%s/%s" % (self.repoid, name), size, None)
        self.size = size
        self.done = 0
        self.boundary = False

    def _endAct(self):
        if self.phase >= 0 and self.size:
            yumIOC.collectGrabMeterEnd(self.done)
        self.size = 0

    def start(self, total_files, total_size, total_drpms=0):
        pass

    def progress(self, payload, done):
        total = int(payload.download_size or 0)
        done = int(done or 0)
        if total <= 0:
            if self.size and self.done >= self.size:
                self.boundary = True
            return
        last = len(self.files) - 1
        if self.phase < 0:
            self.phase = 0
            self._startAct(total)
        elif total != self.size or self.boundary:
            if self.phase < last and (self.done >= self.size or self.boundary):
                self._endAct()
                self.phase += 1
                self._startAct(total)
            elif total != self.size:
                # The same file with another total, or the rest of the
                # metadata growing: the act starts again with the new size.
                self._startAct(total)
            else:
                self.boundary = False
        if done != self.done:
            self.done = done
            yumIOC.collectGrabMeterUpdate(done)

    def end(self, payload, status, msg):
        self._endAct()

    def finish(self):
        self._endAct()


# ---------------------------------------------------------------------------
# Stopping at the user's request: the engine answers yumIOC.interrupted()
# from any thread. librepo calls the progress callbacks of a transfer about
# once a second even while a server stays silent, and aborts the transfer
# when one answers LR_CB_ABORT; dnf's own callbacks always go on.

_LR_CB_ABORT = 1


def _interrupted():
    check = getattr(yumIOC, "interrupted", None)
    try:
        return bool(check()) if check is not None else False
    except Exception:
        return False


def _abortingProgress(dnfProgress):
    def progress(self, totalToDownload, downloaded):
        dnfProgress(self, totalToDownload, downloaded)
        return _LR_CB_ABORT if _interrupted() else 0
    progress.vuxAborting = True
    return progress


for _callbacks in (dnf.repo.RepoCallbacks, dnf.repo.PackageTargetCallbacks):
    if not getattr(_callbacks.progress, "vuxAborting", False):
        _callbacks.progress = _abortingProgress(_callbacks.progress)


def _checkInterrupt():
    if _interrupted():
        raise Errors.RepoError(_("Interrupted by the user"))


def _reportRead(repoid):
    """The convert and read acts of a repository whose data is in the sack."""
    yumIOC.collectProgress(0, 1, "MD Read")
    yumIOC.collectProgress(1, 1, "MD Read")
    yumIOC.collectProgress(-1, -1, repoid)
