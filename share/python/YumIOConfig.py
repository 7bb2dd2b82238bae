# SPDX-License-Identifier: GPL-2.0-or-later
"""Configuration and repository reading: the install root, the main
configuration file, dnf's configuration under that root, and the repository
files with what dnf leaves out of them."""

import os

import yumIOC

import dnf
import dnf.conf
import dnf.conf.read
import dnf.exceptions
import dnf.repodict
import dnf.rpm
import dnf.util
import dnf.yum.misc
import libdnf.conf
from dnf.i18n import _

from yum import Errors

from YumIOCommon import _errorText, logger


class RepoDict(dnf.repodict.RepoDict):
    """dnf's repositories, with the names the engine uses."""

    @property
    def repos(self):
        return self

    def _get(self, repoid):
        repo = self.get(repoid)
        if repo is None:
            raise Errors.RepoError(_("Unknown repo: '%s'") % repoid)
        return repo

    def enableRepo(self, repoid):
        self._get(repoid).enable()

    def disableRepo(self, repoid):
        self._get(repoid).disable()


def _undecodableOption(parser, section):
    """The first option of the section whose value is not UTF-8 text."""
    for name in parser.options(section):
        try:
            parser.getValue(section, name).encode("utf-8")
        except (UnicodeError, TypeError, RuntimeError):
            return name
    return None


class _RepoReader(dnf.conf.read.RepoReader):
    """dnf's reader of the repository files, which also notes in problems
    what it leaves out and why: a file it cannot parse, a section it cannot
    use (bad identifier, a value that is not UTF-8 text) and a section named
    "main", which dnf ignores without a word."""

    def __init__(self, conf, opts, problems):
        super().__init__(conf, opts)
        self.problems = problems

    def _note(self, repofn, text):
        text = yumIOC.maskCredentials(str(text))
        self.problems.append(text if repofn in text else "%s: %s" % (repofn, text))

    def _build_repo(self, parser, id_, repofn):
        try:
            return super()._build_repo(parser, id_, repofn)
        except (TypeError, UnicodeError) as error:
            # libdnf's bindings take only UTF-8 text (dnf itself stops here
            # with a traceback): the section is skipped like any bad one.
            option = _undecodableOption(parser, id_)
            text = _("Repository '%s': the value of option %s is not UTF-8 text") % (
                id_, option or "?")
            self._note(repofn, text)
            raise dnf.exceptions.ConfigError(text) from error
        except (dnf.exceptions.RepoError, dnf.exceptions.ConfigError) as error:
            self._note(repofn, error)
            raise

    def _get_repos(self, repofn):
        try:
            yield from super()._get_repos(repofn)
        except dnf.exceptions.ConfigError as error:
            self._note(repofn, "%s; the file was skipped" % error)
            raise
        if repofn != self.conf.config_file_path:
            parser = libdnf.conf.ConfigParser()
            try:
                parser.read(repofn)
                if "main" in parser.getData():
                    self._note(repofn, _("a repository may not be named 'main'; "
                                         "the section was ignored"))
            except RuntimeError:
                pass


def _installRoot(argv):
    root = "/"
    args = list(argv[1:])
    while args:
        arg = args.pop(0)
        if arg.startswith("--installroot="):
            root = arg[len("--installroot="):]
        elif arg == "--installroot" and args:
            root = args.pop(0)
    return os.path.abspath(root) if root else "/"


def _inRoot(root, path):
    return os.path.join(root, path.lstrip("/"))


def _mainConfigFile(root):
    preferred = _inRoot(root, "/etc/yum/yum.conf")
    return preferred if os.path.exists(preferred) else _inRoot(root, "/etc/yum.conf")


_DEFAULT_REPOSDIRS = ("/etc/yum.repos.d", "/etc/yum/repos.d")


class ConfigMixin:
    """YumIO's configuration and repositories, read when it is built."""

    @staticmethod
    def _readConfiguration(root):
        conf = dnf.conf.Conf()
        conf.installroot = root
        path = _mainConfigFile(root)
        conf.config_file_path = path
        if os.path.exists(path):
            conf.read(path, priority=dnf.conf.PRIO_MAINCONFIG)
        if conf._get_priority("reposdir") > dnf.conf.PRIO_DEFAULT:
            reposdirs = list(conf.reposdir)
        else:
            reposdirs = list(_DEFAULT_REPOSDIRS)
        # dnf's rule under an install root: the directories inside it when
        # one of them exists there, else as given (host paths).
        if root == "/" or any(os.path.isdir(_inRoot(root, d)) for d in reposdirs):
            reposdirs = [_inRoot(root, d) for d in reposdirs]
        conf.reposdir = reposdirs
        conf.substitutions.update_from_etc(root, varsdir=conf.varsdir)
        if conf.releasever is None:
            try:
                releasever = dnf.rpm.detect_releasever(root)
            except dnf.exceptions.Error as error:
                logger.debug("release version not found: %s", error)
                releasever = None
            if releasever is not None:
                conf.releasever = releasever
        for option in ("cachedir", "logdir", "persistdir"):
            conf.prepend_installroot(option)
        if not dnf.util.am_i_root():
            # As dnf does for an ordinary user: its own cache and log
            # directory, outside a root the user may not write. The rpm
            # database and dnf's records are only read.
            try:
                userdir = dnf.yum.misc.getCacheDir()
            except OSError as error:
                raise dnf.exceptions.Error(
                    _("Could not set cachedir: {}").format(_errorText(error))) from error
            conf.cachedir = userdir
            conf.logdir = userdir
        # Contention for dnf's locks must become an error, never a wait.
        conf.exit_on_lock = True
        conf.yumvar = dict(conf.substitutions)
        return conf

    def _readRepos(self):
        """dnf's read_all_repos(), keeping what it leaves out for
        configurationProblems()."""
        self._problems = []
        for repo in _RepoReader(self.conf, None, self._problems):
            try:
                self.repos.add(repo)
            except dnf.exceptions.ConfigError as error:
                logger.warning(error)
                self._problems.append("%s: %s" % (repo.repofile, error))

    def cacheSources(self):
        """What the rows of a collection are made of, for the engine's cache
        of them: (files whose contents, directories whose listings,
        directories whose files' sizes and times must stay as they are)."""
        root = self.conf.installroot
        files = [self.conf.config_file_path, _inRoot(root, "/etc/dnf/dnf.conf")]
        dirs = list(self.conf.reposdir)
        for top in list(self.conf.reposdir) + [_inRoot(root, d) for d in self.conf.varsdir] \
                + [_inRoot(root, "/etc/dnf/modules.d")]:
            if top not in dirs:
                dirs.append(top)
            try:
                names = sorted(os.listdir(top))
            except OSError:
                continue
            files.extend(os.path.join(top, name) for name in names)
        for repo in self.repos.iter_enabled():
            files.append(os.path.join(repo._repo.getCachedir(), "repodata", "repomd.xml"))
        dbpath = _inRoot(root, dnf.rpm.rpm.expandMacro("%_dbpath"))
        return (files, dirs, [dbpath])

    def configurationProblems(self):
        """What the repository files say that dnf leaves out, one text each,
        naming the file and why."""
        return list(self._problems)

    def _expireMarkedRepos(self):
        # As dnf's command line does: repositories marked by "clean
        # expire-cache" check their metadata again.
        self._activate_persistor()
        expired = self._repo_persistor.get_expired_repos()
        for repoid in (expired if expired is not None else list(self.repos.keys())):
            repo = self.repos.get(repoid)
            if repo is not None:
                repo._repo.expire()
