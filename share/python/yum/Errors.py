# SPDX-License-Identifier: GPL-2.0-or-later
"""The exceptions that the companion script raises towards the engine.

Each carries its message in `value` (the engine reads it) and gives it as
its text too.
"""


class YumBaseError(Exception):
    def __init__(self, value=None):
        super().__init__(value)
        self.value = "" if value is None else value

    def __str__(self):
        return "%s" % (self.value,)


class LockError(YumBaseError):
    """The package manager's lock is held by another process, or cannot be
    taken or given back."""

    def __init__(self, value=None, pid=None):
        super().__init__(value)
        self.pid = pid


class RepoError(YumBaseError):
    """A repository is unknown or cannot be loaded."""


class GroupsError(YumBaseError):
    """Group data is missing or unusable."""
