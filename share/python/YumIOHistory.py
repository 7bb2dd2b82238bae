# SPDX-License-Identifier: GPL-2.0-or-later
"""dnf's transaction history: the list of transactions and their packages,
as "dnf history list" and "dnf history info" show them, and the undo and
roll back of "dnf history undo/rollback", done the same way through Base."""

import contextlib
import os
import sqlite3

import dnf.db.history
import dnf.exceptions
import hawkey
import libdnf.transaction as _T
from dnf.i18n import _
from dnf.transaction_sr import TransactionReplay, serialize_transaction

from yum import Errors

from YumIOCommon import _EXPECTED, _errorText, logger

# libdnf's action names (getActionName) and short forms (getActionShort).
_ACTIONS = {
    _T.TransactionItemAction_INSTALL: ("Install", "I"),
    _T.TransactionItemAction_DOWNGRADE: ("Downgrade", "D"),
    _T.TransactionItemAction_DOWNGRADED: ("Downgraded", "D"),
    _T.TransactionItemAction_OBSOLETE: ("Obsolete", "O"),
    _T.TransactionItemAction_OBSOLETED: ("Obsoleted", "O"),
    _T.TransactionItemAction_UPGRADE: ("Upgrade", "U"),
    _T.TransactionItemAction_UPGRADED: ("Upgraded", "U"),
    _T.TransactionItemAction_REMOVE: ("Removed", "E"),
    _T.TransactionItemAction_REINSTALL: ("Reinstall", "R"),
    _T.TransactionItemAction_REINSTALLED: ("Reinstalled", "R"),
    _T.TransactionItemAction_REASON_CHANGE: ("Reason Change", "C"),
}
# The old side of an update or downgrade: "dnf history list" does not count it.
_UNCOUNTED = (_T.TransactionItemAction_UPGRADED, _T.TransactionItemAction_DOWNGRADED)

# What undoing an action does ("dnf history undo").
_REVERSED = {
    "Install": "Removed",
    "Removed": "Install",
    "Upgrade": "Downgraded",
    "Upgraded": "Downgrade",
    "Downgrade": "Upgraded",
    "Downgraded": "Upgrade",
    "Reinstalled": "Reinstall",
    "Reinstall": "Reinstalled",
    "Obsoleted": "Install",
    "Obsolete": "Obsoleted",
    "Reason Change": "Reason Change",
}

# One query gives what the list shows; reading every item through libdnf
# costs a third of a second per thousand transactions.
_LIST_QUERY = """
    SELECT t.id, t.dt_begin, t.cmdline, t.state, ti.action, COUNT(ti.id)
    FROM trans AS t LEFT JOIN trans_item AS ti ON ti.trans_id = t.id
    GROUP BY t.id, ti.action ORDER BY t.id DESC"""


def _summary(counts):
    """dnf's "Action(s)" and "Altered" of one transaction, from the number of
    items of each action: one action by its name, several by their short
    forms; the old side of an update or downgrade is not counted."""
    names = set()
    shorts = set()
    altered = 0
    for action, count in counts.items():
        if action in _UNCOUNTED or not count:
            continue
        name, short = _ACTIONS.get(action, (str(action), str(action)))
        names.add(name)
        shorts.add(short)
        altered += count
    if len(names) > 1:
        return ", ".join(sorted(shorts)), altered
    return "".join(names), altered


def _fromDatabase(path):
    """The transactions as (id, begin, command line, actions, altered,
    done), newest first, read straight from the history database."""
    uri = "file:%s?mode=ro" % path.replace("?", "%3f").replace("#", "%23")
    with contextlib.closing(sqlite3.connect(uri, uri=True)) as connection:
        rows = connection.execute(_LIST_QUERY).fetchall()
    result = []
    counts = {}
    for index, (tid, begin, cmdline, state, action, count) in enumerate(rows):
        if action is not None:
            counts[action] = count
        if index + 1 == len(rows) or rows[index + 1][0] != tid:
            actions, altered = _summary(counts)
            result.append((int(tid), int(begin or 0), cmdline or "", actions, altered,
                           state == _T.TransactionState_DONE))
            counts = {}
    return result


def _fromHistory(history):
    """The same list through libdnf's own objects (the slow way)."""
    result = []
    for trans in history.old():
        counts = {}
        for item in trans.packages():
            counts[item.action] = counts.get(item.action, 0) + 1
        actions, altered = _summary(counts)
        result.append((trans.tid, int(trans.beg_timestamp or 0), trans.cmdline or "", actions,
                       altered, trans.return_code == 0))
    return result


def _evr(item):
    if item.epoch:
        return "%s:%s-%s" % (item.epoch, item.version, item.release)
    return "%s-%s" % (item.version, item.release)


def _reasonName(reason):
    try:
        return _T.TransactionItemReasonToString(reason)
    except Exception:
        return ""


class _Named(set):
    """The packages a history operation names, by their NEVRA."""

    def __contains__(self, pkg):
        return set.__contains__(self, str(pkg))


class HistoryMixin:
    """YumIO's history: historyTransactions(), historyItems(), applyHistory()."""

    def historyTransactions(self):
        """Every transaction of dnf's history, newest first: (id, begin time,
        command line, actions, number of packages altered, completed)."""
        path = self.history.dbpath
        if not os.path.exists(path):
            return []
        try:
            return _fromDatabase(path)
        except sqlite3.Error as error:
            logger.debug("history database read through libdnf: %s", error)
        try:
            return _fromHistory(self.history)
        except _EXPECTED as error:
            raise Errors.YumBaseError(_errorText(error)) from error

    def _pastTransaction(self, tid):
        try:
            found = self.history.old([int(tid)])
        except _EXPECTED as error:
            raise Errors.YumBaseError(_errorText(error)) from error
        if not found:
            raise Errors.YumBaseError(_('Transaction ID "{0}" not found.').format(tid))
        return found[0]

    def historyItems(self, tid):
        """The packages (and groups) of one transaction: (action, name,
        version, architecture, repository, reason, done), by name."""
        result = []
        for item in self._pastTransaction(tid).packages():
            done = item.state == _T.TransactionItemState_DONE
            reason = _reasonName(item.reason)
            if item.is_package():
                result.append((item.action_name, item.name, _evr(item), item.arch,
                               item.from_repo or "", reason, done))
            elif item.is_group():
                group = item.get_group()
                result.append((item.action_name, "@" + group.getGroupId(), "", "", "",
                               reason, done))
            elif item.is_environment():
                environment = item.get_environment()
                result.append((item.action_name, "@" + environment.getEnvironmentId(), "", "",
                               "", reason, done))
        order = {name: index for index, (name, _short) in enumerate(_ACTIONS.values())}
        result.sort(key=lambda row: (row[1], row[3], order.get(row[0], len(order))))
        return result

    # -- undo and roll back -------------------------------------------------

    def _reverted(self, trans):
        """The transaction data that undoes trans (dnf's own serialisation,
        every action turned round as "dnf history undo" does)."""
        data = serialize_transaction(trans)
        for kind in ("rpms", "groups", "environments"):
            for item in data.get(kind, []):
                item["action"] = _REVERSED[item["action"]]
                if item["action"] == "Install" and item.get("reason") == "clean":
                    item["reason"] = "dependency"
                if item["action"] == "Reason Change" and "nevra" in item:
                    nevra = hawkey.Subject(item["nevra"]).get_nevra_possibilities(
                        forms=[hawkey.FORM_NEVRA])[0]
                    reason = self.history.swdb.resolveRPMTransactionItemReason(
                        nevra.name, nevra.arch, trans.tids()[0] - 1)
                    item["reason"] = _T.TransactionItemReasonToString(reason)
                if item.get("repo_id") == hawkey.SYSTEM_REPO_NAME:
                    # Nothing can be installed again from the installed system.
                    item["repo_id"] = None
        return data

    def _revertedData(self, operation, tid):
        old = self._pastTransaction(tid)
        if operation == "undo":
            return self._reverted(old)
        if operation != "rollback":
            raise Errors.YumBaseError("unknown history operation %s" % operation)
        last = self.history.last()
        if last is None or old.tid == last.tid:
            raise Errors.YumBaseError(
                "Transaction %d is the last one: there is nothing to roll back" % old.tid)
        merged = None
        for trans in self.history.old(list(range(old.tid + 1, last.tid + 1))):
            if trans.altered_lt_rpmdb:
                logger.warning(_('Transaction history is incomplete, before %u.'), trans.tid)
            elif trans.altered_gt_rpmdb:
                logger.warning(_('Transaction history is incomplete, after %u.'), trans.tid)
            if merged is None:
                merged = dnf.db.history.MergedTransactionWrapper(trans)
            else:
                merged.merge(trans)
        return self._reverted(merged)

    def applyHistory(self, operation, tid):
        """Undo transaction tid ("undo") or every transaction after it
        ("rollback"), as dnf's history command does, through the same
        confirmation, download and run as apply()."""
        return self._applyGuarded(self._runHistory, str(operation), int(tid))

    def _runHistory(self, operation, tid):
        self._beginApply()
        data = self._revertedData(operation, tid)
        named = _Named(item["nevra"] for item in data.get("rpms", []))
        with self._heldBack():
            replay = TransactionReplay(self, data=data, ignore_installed=True, ignore_extras=True)
            try:
                replay.run()
            except dnf.exceptions.Error as error:
                raise Errors.YumBaseError(_errorText(error)) from error
            return self._runGoal(named, False, ["vux", "history", operation, str(tid)],
                                 resolved=replay.post_transaction, warnings=replay.get_warnings)
