// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "base/Credentials.h"
#include "progress/Progress.h"
#include "python/PyRef.h"
#include "yumio/YumIO.h"
#include "yumio/YumIODialogs.h"

#include <QFile>

#include <algorithm>

// What the script reports while it resolves, lists, confirms and runs a
// transaction: dependency-resolution acts, the transaction summary, the
// progress budget of the transaction and its advance.

namespace {

PyObject* none()
{
    Py_RETURN_NONE;
}

// Every size contribution counts at least this much, so that small packages
// still move the bars.
constexpr quint64 sizeFloor = 10240;

quint64 floored(quint64 size)
{
    return std::max(size, sizeFloor);
}

char const* const listNames[7]
    = {"updated", "installed", "removed", "obsoleted", "depupdated", "depinstalled", "depremoved"};
enum { Updated, Installed, Removed, Obsoleted, DepUpdated, DepInstalled, DepRemoved };

} // namespace

// TSINFO lines mean something only inside the script's apply.
void YumIO::tsInfo(QString const& text)
{
    if (applying)
        dsTsInfo(text);
}

quint64 YumIO::floorSize(QString const& name, bool installed) const
{
    Package::Entry const* entry = findEntry(false, name);
    if (entry && installed)
        entry = entry->next;
    return floored(entry ? entry->sizeBytes : 0);
}

// ---------------------------------------------------------------------------
// Dependency resolution

PyObject* YumIO::dsTsCheck(PyObject*)
{
    actPos += loopSize;
    if (progress)
        progress->startItemAct(tr("Resolve Dependencies"), 1, actPos);
    return none();
}

PyObject* YumIO::dsRestartLoop(PyObject*)
{
    loopSize = txCount;
    loopBase += loopSize;
    if (progress)
        progress->changeItemActs(static_cast<Steps>(loopBase) + 10 * static_cast<Steps>(hdrCount));
    return none();
}

void YumIO::dsTsNewPkg(QString const& name, unsigned members, bool needHeader)
{
    // One name may have rows in several architectures: the line speaks of
    // one that is not installed and up to date, if there is one.
    QList<Package::Entry*> const rows = findPackages(name);
    Package::Entry const* entry = rows.value(0, nullptr);
    for (Package::Entry const* row : rows)
        if (row->state != Package::Installed) {
            entry = row;
            break;
        }
    if (!entry) {
        error(tr("Internal error: TSINFO mentions unknown package: %1").arg(name));
        return;
    }
    if (entry->state == Package::Installed) {
        error(tr("Internal error: TSINFO mentions intent to install or upgrade package that "
                 "already seems up-to-date: %1")
                  .arg(name));
        return;
    }
    txCount += members;
    PyObject* package = needHeader ? packageObject(*entry) : nullptr;
    if (package && !QFile::exists(getLocalHdr(package)))
        hdrCount += 1;
    if (progress)
        progress->changeItemActs(static_cast<Steps>(loopBase) + 10 * static_cast<Steps>(hdrCount));
}

void YumIO::dsTsInfo(QString const& text)
{
    auto unexpected = [&] { error(tr("Internal error: unexpected TSINFO: %1").arg(text)); };
    // The name that starts at from, up to the next space (which must be there).
    auto nameAt = [&](int from, int* end) -> QString {
        int const space = text.indexOf(QLatin1Char(' '), from);
        if (space < 0)
            return QString();
        *end = space;
        return text.mid(from, space - from);
    };
    int end = 0;
    if (text.startsWith(QLatin1String("Updating "))) {
        int const from = 9;
        int const space = text.indexOf(QLatin1Char(' '), from);
        dsTsNewPkg(space < 0 ? text.mid(from) : text.mid(from, space - from), 2, true);
    } else if (text.startsWith(QLatin1String("Obsoleting "))) {
        QString const first = nameAt(11, &end);
        int const with = first.isEmpty() ? -1 : text.indexOf(QLatin1String(" with "), end);
        if (with < 0) {
            unexpected();
            return;
        }
        int const from = with + 6;
        int const space = text.indexOf(QLatin1Char(' '), from);
        QString const second = space < 0 ? text.mid(from) : text.mid(from, space - from);
        dsTsNewPkg(first, 1, false);
        dsTsNewPkg(second, 1, true);
    } else if (text.startsWith(QLatin1String("Marking "))) {
        QString const name = nameAt(8, &end);
        if (name.isEmpty()) {
            unexpected();
            return;
        }
        dsTsNewPkg(name, text.contains(QLatin1String(" update ")) ? 2 : 1, true);
    } else if (text.contains(QLatin1String(" marked as erase"))) {
        // Erasures need no download and were counted when marked.
    } else
        unexpected();
}

// ---------------------------------------------------------------------------
// The transaction summary

int YumIO::makeLists(PyObject* object, PyRef* seven)
{
    PyRef tsInfo = PyRef::steal(PyObject_GetAttrString(object, "tsInfo"));
    if (!tsInfo) {
        PyErr_Clear();
        error("Internal error: transaction information lacks tsInfo\n");
        return 0;
    }
    if (yumVersion() < 20302) {
        PyRef lists = PyRef::steal(pyMethodCall(tsInfo.get(), "makelists", "()"));
        if (!lists)
            return 0;
        if (!PyTuple_Check(lists.get())) {
            error("Internal error: yumIO.makelists() did not return a tuple\n");
            return 0;
        }
        if (PyTuple_GET_SIZE(lists.get()) != 7) {
            error("Internal error: yumIO.makelists() returned tuple of incorrect size\n");
            return 0;
        }
        for (int i = 0; i < 7; ++i)
            seven[i] = PyRef::borrow(PyTuple_GET_ITEM(lists.get(), i));
        return 1;
    }
    for (int i = 0; i < 7; ++i) {
        seven[i] = PyRef::steal(PyObject_GetAttrString(tsInfo.get(), listNames[i]));
        if (!seven[i]) {
            PyErr_Clear();
            error(tr("Internal error: tsInfo lacks %1\n").arg(QLatin1String(listNames[i])));
            return 0;
        }
    }
    return 1;
}

// The name, architecture and version ("EPOCH:VERSION-RELEASE", the epoch
// only when it is not 0) of a package tuple.
YumIO::PkgtupTexts YumIO::pkgtupTexts(PyObject* pkgtup)
{
    QString part[5];
    for (int i = 0; i < 5; ++i) {
        PyObject* item = PySequence_Check(pkgtup) && PySequence_Size(pkgtup) > i
            ? PySequence_GetItem(pkgtup, i)
            : nullptr;
        if (!item)
            PyErr_Clear();
        part[i] = pyStringDec(item);
    }
    QString const version = part[2] == QLatin1String("0") || part[2].isEmpty()
        ? QStringLiteral("%1-%2").arg(part[3], part[4])
        : QStringLiteral("%1:%2-%3").arg(part[2], part[3], part[4]);
    return {part[0], part[1], version};
}

QString YumIO::pkgtupFormat(PyObject* pkgtup)
{
    PkgtupTexts const texts = pkgtupTexts(pkgtup);
    return QStringLiteral("%1 %2 (%3)").arg(texts.name, texts.version, texts.arch);
}

QString YumIO::pkgtupRepoFormat(PyObject* pkgtup, QString const& repo)
{
    return pkgtupFormat(pkgtup) + QStringLiteral(" [%1]").arg(repo);
}

// "NAME OLD -> NEW (ARCH)" of a package tuple and the one it replaces.
QString YumIO::pkgtupChangeFormat(PyObject* older, PyObject* pkgtup)
{
    PkgtupTexts const texts = pkgtupTexts(pkgtup);
    return QStringLiteral("%1 %2 -> %3 (%4)")
        .arg(texts.name, pkgtupTexts(older).version, texts.version, texts.arch);
}

// A transaction member's package tuple, or null after reporting that it has none.
PyRef YumIO::memberPkgtup(PyObject* member)
{
    PyRef pkgtup = PyRef::steal(PyObject_GetAttrString(member, "pkgtup"));
    if (!pkgtup) {
        PyErr_Clear();
        error("Internal error: txmbr lacks pkgtup\n");
    }
    return pkgtup;
}

// Calls show with every member of list and its package tuple; false at the
// first member without one (reported) or when show fails.
bool YumIO::eachMember(
    PyObject* list, std::function<bool(PyObject* member, PyObject* pkgtup)> const& show)
{
    PyRef members = PyRef::listOf(list);
    Py_ssize_t const count = members ? PyList_GET_SIZE(members.get()) : 0;
    for (Py_ssize_t i = 0; i < count; ++i) {
        PyObject* member = PyList_GET_ITEM(members.get(), i);
        PyRef pkgtup = memberPkgtup(member);
        if (!pkgtup || !show(member, pkgtup.get()))
            return false;
    }
    return true;
}

bool YumIO::displayTransactionPkgs(QString const& label, PyObject* list)
{
    return eachMember(list, [&](PyObject*, PyObject* pkgtup) {
        confirmText += QStringLiteral("\t%1: %2\n").arg(label, pkgtupFormat(pkgtup));
        return true;
    });
}

// Members of an install or update list, with their repositories; one that
// replaces an installed package (relations "updates", "downgrades",
// "reinstalls") says so, an update and a downgrade from which version.
bool YumIO::displayTransactionPkgsRepo(QString const& label, PyObject* list)
{
    return eachMember(list, [&](PyObject* member, PyObject* pkgtup) {
        PyRef repo = PyRef::steal(PyObject_GetAttrString(member, "repoid"));
        if (!repo)
            PyErr_Clear();
        PyRef relatedto = PyRef::steal(PyObject_GetAttrString(member, "relatedto"));
        if (!relatedto)
            PyErr_Clear();
        QString shownLabel = label;
        QString shown = pkgtupFormat(pkgtup);
        struct Replacing
        {
            char const* relation;
            QString label;
        };
        for (Replacing const& replacing :
            {Replacing {"updates", label}, Replacing {"downgrades", tr("Downgrade")},
                Replacing {"reinstalls", tr("Reinstall")}}) {
            PyRef older = relatedto
                ? PyRef::steal(findRelation(relatedto.get(), replacing.relation))
                : PyRef();
            PyRef olderTup
                = older ? PyRef::steal(PyObject_GetAttrString(older.get(), "pkgtup")) : PyRef();
            PyErr_Clear();
            if (!olderTup)
                continue;
            shownLabel = replacing.label;
            if (qstrcmp(replacing.relation, "reinstalls") != 0)
                shown = pkgtupChangeFormat(olderTup.get(), pkgtup);
            break;
        }
        confirmText
            += QStringLiteral("\t%1: %2 [%3]\n").arg(shownLabel, shown, pyString(repo.get()));
        return true;
    });
}

PyObject* YumIO::findRelation(PyObject* relatedto, char const* relation)
{
    PyRef pairs = PyRef::listOf(relatedto);
    Py_ssize_t const count = pairs ? PyList_GET_SIZE(pairs.get()) : 0;
    for (Py_ssize_t i = 0; i < count; ++i) {
        PyObject* pair = PyList_GET_ITEM(pairs.get(), i);
        if (!PySequence_Check(pair) || PySequence_Size(pair) < 2) {
            PyErr_Clear();
            continue;
        }
        PyRef kind = PyRef::steal(PySequence_GetItem(pair, 1));
        if (kind && pyString(kind.get()) == QLatin1String(relation))
            return PySequence_GetItem(pair, 0);
        PyErr_Clear();
    }
    return nullptr;
}

bool YumIO::displayTransactionPkgsObs(QString const& label, PyObject* list)
{
    return eachMember(list, [&](PyObject* member, PyObject* pkgtup) {
        PyRef relatedto = PyRef::steal(PyObject_GetAttrString(member, "relatedto"));
        if (!relatedto) {
            PyErr_Clear();
            error("Internal error: package has no relatedto\n");
            return false;
        }
        PyRef by = PyRef::steal(findRelation(relatedto.get(), "obsoletedby"));
        if (!by) {
            error("Internal error: couldn't find obsoletedby package\n");
            return false;
        }
        // Newer yum relates the member itself, older its package tuple.
        PyRef byTup = yumVersion() > 20301 ? memberPkgtup(by.get()) : by;
        if (!byTup)
            return false;
        confirmText += QStringLiteral("\t%1: %2 with %3\n")
                           .arg(label, pkgtupFormat(pkgtup), pkgtupFormat(byTup.get()));
        return true;
    });
}

// The groups a transaction installs, updates or removes: the optional list
// tsInfo.groups of (action, group name), action "install", "upgrade" or
// "remove".
void YumIO::displayTransactionGroups(PyObject* object)
{
    PyRef tsInfo = PyRef::steal(PyObject_GetAttrString(object, "tsInfo"));
    PyRef groups = tsInfo ? PyRef::steal(PyObject_GetAttrString(tsInfo.get(), "groups")) : PyRef();
    PyRef list = groups ? PyRef::listOf(groups.get()) : PyRef();
    PyErr_Clear();
    for (Py_ssize_t i = 0; list && i < PyList_GET_SIZE(list.get()); ++i) {
        PyObject* pair = PyList_GET_ITEM(list.get(), i);
        if (!PyTuple_Check(pair) || PyTuple_GET_SIZE(pair) != 2)
            continue;
        QString const action = pyString(PyTuple_GET_ITEM(pair, 0));
        QString const name = pyString(PyTuple_GET_ITEM(pair, 1));
        QString const label = action == QLatin1String("install") ? tr("Install group")
            : action == QLatin1String("remove")                  ? tr("Remove group")
                                                                 : tr("Update group");
        confirmText += QStringLiteral("\t%1: %2\n").arg(label, name);
    }
    PyErr_Clear();
}

QString YumIO::memberName(PyObject* member)
{
    PyRef name = PyRef::steal(PyObject_GetAttrString(member, "name"));
    if (!name) {
        PyErr_Clear();
        return QString();
    }
    return pyString(name.get());
}

void YumIO::noteTransactionPkgs(Package::Action action, PyObject* list)
{
    PyRef members = PyRef::listOf(list);
    Py_ssize_t const count = members ? PyList_GET_SIZE(members.get()) : 0;
    for (Py_ssize_t i = 0; i < count; ++i) {
        PyObject* member = PyList_GET_ITEM(members.get(), i);
        QString const name = memberName(member);
        // A member without an entry has no size of its own: it counts with
        // the floor, and no entry is made for it.
        PyRef arch = PyRef::steal(PyObject_GetAttrString(member, "arch"));
        if (!arch)
            PyErr_Clear();
        Package::Entry const* entry = arch ? findEntry(false, name, pyString(arch.get())) : nullptr;
        if (!entry)
            entry = findEntry(false, name);
        quint64 const size = floored(entry ? entry->sizeBytes : 0);
        switch (action) {
        case Package::Install:
        case Package::Update: {
            totalDownload += size;
            PyRef po = PyRef::steal(PyObject_GetAttrString(member, "po"));
            if (!po)
                PyErr_Clear();
            PyObject* object = entry ? packageObject(*entry) : nullptr;
            PyObject* package = object ? object : po.get();
            if (!package || !QFile::exists(getLocalPkg(package)))
                downloadNeeded += size;
            installWork += 3 * size;
            if (action == Package::Update) {
                installWork += floorSize(name, true) / 5;
                updatedNames.insert(name);
            }
            break;
        }
        case Package::Remove:
            installWork += size;
            break;
        default:
            break;
        }
    }
}

PyObject* YumIO::listTransaction(PyObject* args)
{
    PyObject* object = nullptr;
    if (!PyArg_ParseTuple(args, "O", &object))
        return nullptr;
    PyRef lists[7];
    if (!makeLists(object, lists))
        return nullptr;
    confirmText += tr("Transaction to be performed:\n");
    displayTransactionGroups(object);
    bool ok = displayTransactionPkgsRepo(tr("Install"), lists[Installed].get())
        && displayTransactionPkgsRepo(tr("Update"), lists[Updated].get())
        && displayTransactionPkgs(tr("Remove"), lists[Removed].get());
    auto nonEmpty = [](PyObject* list) { return PyObject_IsTrue(list) == 1; };
    if (ok
        && (nonEmpty(lists[DepInstalled].get()) || nonEmpty(lists[DepUpdated].get())
            || nonEmpty(lists[DepRemoved].get()))) {
        confirmText += tr("Performing the following to resolve dependencies:\n");
        ok = displayTransactionPkgsRepo(tr("Install"), lists[DepInstalled].get())
            && displayTransactionPkgsRepo(tr("Update"), lists[DepUpdated].get())
            && displayTransactionPkgs(tr("Remove"), lists[DepRemoved].get());
    }
    if (ok && nonEmpty(lists[Obsoleted].get())) {
        confirmText += tr("Other Transactions:\n");
        ok = displayTransactionPkgsObs(tr("Obsoleting"), lists[Obsoleted].get());
    }
    PyErr_Clear();
    if (!ok)
        return nullptr;
    displayInstalledSizeChange(object);
    noteTransactionPkgs(Package::Install, lists[Installed].get());
    noteTransactionPkgs(Package::Update, lists[Updated].get());
    noteTransactionPkgs(Package::Remove, lists[Removed].get());
    noteTransactionPkgs(Package::Install, lists[DepInstalled].get());
    noteTransactionPkgs(Package::Update, lists[DepUpdated].get());
    noteTransactionPkgs(Package::Remove, lists[DepRemoved].get());
    noteTransactionPkgs(Package::Remove, lists[Obsoleted].get());
    return none();
}

// The change of the installed size the script computed (tsInfo's
// installedSizeChange), when it did.
void YumIO::displayInstalledSizeChange(PyObject* object)
{
    PyRef tsInfo = PyRef::steal(PyObject_GetAttrString(object, "tsInfo"));
    PyRef change = tsInfo
        ? PyRef::steal(PyObject_GetAttrString(tsInfo.get(), "installedSizeChange"))
        : PyRef();
    long long const bytes
        = change && PyLong_Check(change.get()) ? PyLong_AsLongLong(change.get()) : 0;
    bool const known = change && PyLong_Check(change.get()) && !PyErr_Occurred();
    PyErr_Clear();
    if (!known)
        return;
    QString const size = bytesFormat(quint64(bytes < 0 ? -bytes : bytes));
    confirmText += tr("Installed size change: %1\n")
                       .arg((bytes < 0 ? QStringLiteral("-") : QStringLiteral("+")) + size);
}

PyObject* YumIO::reportDownloadSize(PyObject* args)
{
    PyObject* packages = nullptr;
    if (!PyArg_ParseTuple(args, "O", &packages))
        return nullptr;
    quint64 total = 0;
    int downloads = 0;
    PyRef iterator = PyRef::steal(PyObject_GetIter(packages));
    if (!iterator)
        PyErr_Clear();
    while (iterator) {
        PyRef package = PyRef::steal(PyIter_Next(iterator.get()));
        if (!package)
            break;
        total += sizeOf(package.get());
        ++downloads;
    }
    PyErr_Clear();
    // A transaction that only removes downloads nothing: no size to tell.
    if (downloads > 0)
        confirmText += tr("Total download size: %1\n").arg(bytesFormat(total));
    return none();
}

PyObject* YumIO::userconfirm(PyObject*)
{
    if (progress) {
        progress->endItemActs();
        progress->reset();
    }
    applyConfirmed = dialogs && dialogs->confirm(tr("Apply"), confirmText) == 1;
    log(Log::Heading, 0, applyConfirmed ? tr("Applying: OK") : tr("Not Applying: Canceled"));
    if (applyConfirmed) {
        downloadShare
            = totalDownload == 0 ? 0 : static_cast<quint32>(downloadNeeded * 24000 / totalDownload);
        Steps const total = static_cast<Steps>(downloadShare) + (usesPresto() ? 2000 : 0)
            + (hasTransTest() ? 2000 : 0) + 9100;
        if (progress) {
            progress->startTotal(tr("Running Transaction: Total Progress"), total);
            progress->startItem(tr("Preparing"), 100, 1);
            progress->setupItemActs(downloadShare, downloadNeeded);
        }
    }
    return PyLong_FromLong(applyConfirmed ? 1 : 0);
}

PyObject* YumIO::confirmKeyImport(PyObject* args)
{
    char const* userid = nullptr;
    char const* fingerprint = nullptr;
    char const* source = nullptr;
    if (!PyArg_ParseTuple(args, "sss", &userid, &fingerprint, &source))
        return nullptr;
    QString const text
        = tr("Importing GPG key:\n Userid     : \"%1\"\n Fingerprint: %2\n From       : %3\n"
             "Is this ok?")
              .arg(QString::fromUtf8(userid), QString::fromUtf8(fingerprint),
                  Credentials::masked(QString::fromUtf8(source)));
    int const answer = dialogs
        ? dialogs->warning(tr("Apply"), text, tr("Import"), tr("Do Not Import"), QString(), 1, 1)
        : 1;
    log(Log::Message, 1, text);
    log(Log::Message, 1, answer == 0 ? tr("Key imported") : tr("Key not imported"));
    return PyLong_FromLong(answer == 0 ? 1 : 0);
}

// ---------------------------------------------------------------------------
// The rpm transaction

PyObject* YumIO::tsInitCallback(PyObject* args)
{
    long real = 0;
    if (!PyArg_ParseTuple(args, "l", &real))
        return nullptr;
    actPos = 0;
    lastTsCurrent = -1;
    rpmRunning = real != 0;
    if (!progress)
        return none();
    if (real == 0) {
        if (!deltaRebuild) {
            progress->endItemActs();
            if (usesPresto()) {
                progress->startItem(tr("Finishing RPM rebuild from deltas"), 2000, 1);
                progress->setItemValue(1);
            }
        }
        if (hasTransTest()) {
            progress->startItem(tr("Preparing to Test Transaction"), 1000, 1);
            progress->setupItemActs(1000, installWork / 20);
        }
    } else {
        if (hasTransTest())
            progress->endItemActs();
        progress->startItem(tr("Preparing to Run Transaction"), 1000, 1);
        progress->setupItemActs(8000, installWork + installWork / 20);
    }
    return none();
}

PyObject* YumIO::tsCallback(PyObject* args)
{
    long what = 0;
    long long amount = 0;
    long long total = 0;
    PyObject* key = nullptr;
    PyObject* data = nullptr;
    if (!PyArg_ParseTuple(args, "lLLOO", &what, &amount, &total, &key, &data))
        return nullptr;
    Steps const value = static_cast<Steps>(std::max(amount, 0LL));
    Steps const tail = static_cast<Steps>(std::max(total, 0LL));
    bool handled = false;
    if (what & (4 | 8))
        handled = true;
    if (what & 32) {
        actPos += static_cast<quint32>(installWork / 20);
        if (progress)
            progress->startItemAct(tr("Transaction Test"), tail, actPos);
        handled = true;
    }
    if (what & 16) {
        if (progress)
            progress->setItemValue(value);
        handled = true;
    }
    if (what & 64) {
        if (progress)
            progress->setItemValue(tail);
        handled = true;
    }
    if (what & 2) {
        QString name;
        if (PySequence_Check(key) && PySequence_Size(key) > 0) {
            PyRef header = PyRef::steal(PySequence_GetItem(key, 0));
            if (header)
                name = pyMappingString(header.get(), "name");
        }
        PyErr_Clear();
        QString const text = updatedNames.contains(name) ? tr("Updating %1").arg(name)
                                                         : tr("Installing %1").arg(name);
        actPos += static_cast<quint32>(3 * floorSize(name));
        log(Log::Message, 1, text);
        if (progress)
            progress->startItemAct(text, tail, actPos);
        handled = true;
    }
    if (what & 1) {
        if (progress)
            progress->setItemValue(value);
        handled = true;
    }
    if (what & 256) {
        QString const name = pyString(key);
        QString text;
        if (updatedNames.contains(name)) {
            text = tr("Completing update for: %1").arg(name);
            actPos += static_cast<quint32>(floorSize(name, true) / 5);
        } else {
            text = tr("Removing %1").arg(name);
            actPos += static_cast<quint32>(floorSize(name));
            log(Log::Message, 1, text);
        }
        if (progress)
            progress->startItemAct(text, tail, actPos);
        handled = true;
    }
    if (what & 128) {
        if (progress)
            progress->setItemValue(value);
        handled = true;
    }
    if (what & 512) {
        if (progress)
            progress->setItemValue(tail);
        handled = true;
    }
    if (!handled)
        warning(tr("Internal error: YumIO::tsCallback what=%1 not understood; ignoring").arg(what));
    return none();
}

PyObject* YumIO::tsEvent(PyObject* args)
{
    PyObject* package = nullptr;
    long action = 0;
    long long current = 0;
    long long total = 0;
    long tsCurrent = 0;
    long tsTotal = 0;
    if (!PyArg_ParseTuple(
            args, "OlLLll", &package, &action, &current, &total, &tsCurrent, &tsTotal))
        return nullptr;
    Steps const value = static_cast<Steps>(std::max(current, 0LL));
    Steps const tail = static_cast<Steps>(std::max(total, 0LL));
    switch (action) {
    case 10:
    case 20:
    case 30:
    case 60:
        if (tsCurrent != lastTsCurrent) {
            QString const name = memberName(package);
            QString const text = action == 10 || action == 60 ? tr("Updating %1").arg(name)
                                                              : tr("Installing %1").arg(name);
            actPos += static_cast<quint32>(3 * floorSize(name));
            log(Log::Message, 1, text);
            if (progress)
                progress->startItemAct(text, tail, actPos);
            lastTsCurrent = tsCurrent;
        }
        if (progress)
            progress->setItemValue(value);
        break;
    case 40:
    case 50:
    case 90:
        if (tsCurrent != lastTsCurrent) {
            QString const name = pyString(package);
            QString text;
            if (action == 40) {
                text = tr("Removing %1").arg(name);
                actPos += static_cast<quint32>(floorSize(name));
                log(Log::Message, 1, text);
            } else {
                text = tr("Completing update for: %1").arg(name);
                actPos += static_cast<quint32>(floorSize(name, true) / 5);
            }
            if (progress)
                progress->startItemAct(text, tail, actPos);
            lastTsCurrent = tsCurrent;
        }
        if (progress)
            progress->setItemValue(value);
        break;
    case 70:
        break;
    default:
        warning(
            tr("Internal error: YumIO::tsEvent action=%1 not understood; ignoring").arg(action));
        break;
    }
    return none();
}

PyObject* YumIO::postTransactionOutput(PyObject* args)
{
    PyObject* object = nullptr;
    if (!PyArg_ParseTuple(args, "O", &object))
        return nullptr;
    if (progress)
        progress->endItemActs();
    PyRef lists[7];
    if (!makeLists(object, lists))
        return nullptr;
    bool const ok = displayTransactionPkgs(tr("Removed"), lists[Removed].get())
        && displayTransactionPkgs(tr("Dependency Removed"), lists[DepRemoved].get())
        && displayTransactionPkgs(tr("Installed"), lists[Installed].get())
        && displayTransactionPkgs(tr("Dependency Installed"), lists[DepInstalled].get())
        && displayTransactionPkgs(tr("Updated"), lists[Updated].get())
        && displayTransactionPkgs(tr("Dependency Updated"), lists[DepUpdated].get())
        && displayTransactionPkgs(tr("Obsoleted"), lists[Obsoleted].get());
    if (!ok)
        return nullptr;
    return PyUnicode_FromString("");
}

// ---------------------------------------------------------------------------
// Local files

QString YumIO::getLocalPkg(PyObject* package)
{
    PyObject* path = PyObject_CallMethod(package, "localPkg", nullptr);
    if (!path) {
        PyErr_Clear();
        return QString();
    }
    return path == Py_None ? (Py_DECREF(path), QString()) : pyStringDec(path);
}

QString YumIO::getLocalHdr(PyObject* package)
{
    PyObject* path = PyObject_CallMethod(package, "localHdr", nullptr);
    if (!path) {
        PyErr_Clear();
        return QString();
    }
    return path == Py_None ? (Py_DECREF(path), QString()) : pyStringDec(path);
}
