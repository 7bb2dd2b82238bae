// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "progress/Progress.h"
#include "python/PyRef.h"
#include "yumio/YumIO.h"
#include "yumio/YumIOCapturers.h"
#include "yumio/YumIODialogs.h"
#include "yumio/YumIOThreads.h"

#include <QFile>
#include <QSet>

#include <functional>

// Applying the marked actions: groups are resolved into actions on their
// packages, the three lists go to the script's apply, and the transaction
// callbacks (YumIOTransactionCallbacks.cpp) report what the package manager
// does with them.

QString YumIO::actionText(Package::Action action)
{
    switch (action) {
    case Package::Update:
        return tr("Update");
    case Package::Install:
        return tr("Install");
    case Package::Remove:
        return tr("Remove");
    case Package::Reinstall:
        return tr("Reinstall");
    case Package::Downgrade:
        return tr("Downgrade");
    default:
        return tr("ERROR");
    }
}

void YumIO::resetApplyFields()
{
    confirmText.clear();
    applyConfirmed = false;
    actPos = 0;
    updatedNames.clear();
    txCount = 0;
    hdrCount = 0;
    loopSize = 0;
    loopBase = 0;
    totalDownload = 0;
    downloadNeeded = 0;
    downloadShare = 0;
    installWork = 0;
    lastTsCurrent = -1;
    deltaRebuild = false;
}

bool YumIO::applyReal()
{
    blocker.block();
    ProgressUser progressUser(progress, totalBar, itemBar);
    YumIODialogsUser dialogsUser(dialogs, parent);
    if (historyId == 0)
        log(Log::Heading, 0, tr("Applying"));
    else if (historyOperation == History::RollBack)
        log(Log::Heading, 0, tr("Rolling back to transaction %1").arg(historyId));
    else
        log(Log::Heading, 0, tr("Undoing transaction %1").arg(historyId));
    PyGILStateWrapper lock(true);

    progress->startTotal(tr("Checking Dependencies: Total Progress"), 10000);
    progress->startItem(tr("Preparing"), 100, 1);
    resetApplyFields();
    appliedPart = false;

    if (historyId != 0) {
        // What the package manager's history names is known only once it
        // has resolved: one act until then.
        txCount = 1;
        loopSize = loopBase = txCount;
        progress->setupItemActs(9900, static_cast<Steps>(loopBase));
        return runTransactionCall([this] { return callApplyHistory(); });
    }

    PyRef installs = PyRef::steal(PyList_New(0));
    PyRef updates = PyRef::steal(PyList_New(0));
    PyRef removes = PyRef::steal(PyList_New(0));
    PyRef reinstalls = PyRef::steal(PyList_New(0));
    PyRef downgrades = PyRef::steal(PyList_New(0));
    if (!installs || !updates || !removes || !reinstalls || !downgrades) {
        PyErr_Clear();
        error(tr("Internal error: unable to create the lists of changes"));
        return false;
    }

    for (Package::Entry* entry : entries) {
        entry->applyAction = entry->action;
        entry->applyCause = entry;
    }
    // A script with the package manager's group operations gets the marked
    // groups themselves, so that the package manager records them; another
    // one their packages.
    bool const groupOperations = scriptHasGroupOperations();
    PyRef groups = PyRef::steal(PyList_New(0));
    if (!groups) {
        PyErr_Clear();
        error(tr("Internal error: unable to create the lists of changes"));
        return false;
    }
    if (!(groupOperations ? applyGroupOperations(groups.get()) : applyGroups()))
        return false;

    for (Package::Entry* entry : entries) {
        if (entry->kind == Package::Group)
            continue;
        bool needHeader = false;
        switch (entry->applyAction) {
        case Package::Remove: {
            PyObject* object = entry->next ? entry->next->object : entry->object;
            if (!object || PyList_Append(removes.get(), object) != 0) {
                PyErr_Clear();
                error(tr("Unable to add package %1 to removes list").arg(entry->name));
            }
            txCount += 1;
            break;
        }
        case Package::None:
            break;
        case Package::Install: {
            PyObject* package = packageObject(*entry);
            if (!package || PyList_Append(installs.get(), package) != 0) {
                PyErr_Clear();
                error(tr("Unable to add package %1 to installs list").arg(entry->name));
            }
            txCount += 1;
            needHeader = true;
            break;
        }
        case Package::Update: {
            if (!entry->next) {
                error(
                    tr("Unable to find installed version for package update %1").arg(entry->name));
                return false;
            }
            PyRef pair = PyRef::steal(PyList_New(0));
            if (!pair || !entry->object || PyList_Append(pair.get(), entry->object) != 0) {
                PyErr_Clear();
                error(tr("Unable to add new package to pair for updated package %1")
                          .arg(entry->name));
            } else if (!entry->next->object
                || PyList_Append(pair.get(), entry->next->object) != 0) {
                PyErr_Clear();
                error(tr("Unable to add old package to pair for updated package %1")
                          .arg(entry->name));
            } else if (PyList_Append(updates.get(), pair.get()) != 0) {
                PyErr_Clear();
                error(tr("Unable to add package %1 to updates list").arg(entry->name));
            }
            txCount += 2;
            needHeader = true;
            break;
        }
        case Package::Reinstall:
        case Package::Downgrade: {
            // The installed package, and for a downgrade the version it goes to.
            PyObject* installed = entry->next ? entry->next->object : entry->object;
            bool const downgrade = entry->applyAction == Package::Downgrade;
            PyRef item = !installed ? PyRef()
                : downgrade         ? PyRef::steal(
                              Py_BuildValue("(Os)", installed, entry->downgradeTo().toUtf8().constData()))
                            : PyRef::borrow(installed);
            if (!item
                || PyList_Append(downgrade ? downgrades.get() : reinstalls.get(), item.get())
                    != 0) {
                PyErr_Clear();
                error(tr("Unable to add package %1 to the changes").arg(entry->name));
                return false;
            }
            txCount += 2;
            break;
        }
        }
        PyObject* package = needHeader ? packageObject(*entry) : nullptr;
        if (package && !QFile::exists(getLocalHdr(package)))
            hdrCount += 1;
    }

    loopSize = txCount;
    loopBase = loopSize;
    progress->setupItemActs(9900, static_cast<Steps>(loopBase) + 10 * static_cast<Steps>(hdrCount));

    return runTransactionCall([&] {
        return callApply(installs.get(), updates.get(), removes.get(),
            groupOperations ? groups.get() : nullptr, reinstalls.get(), downgrades.get());
    });
}

// The script's apply with the lists of the marks, the groups' list only to
// a script with group operations; reinstalls and downgrades go by keyword,
// and only when there are any, so that a script without them still takes
// the rest.
PyObject* YumIO::callApply(PyObject* installs, PyObject* updates, PyObject* removes,
    PyObject* groups, PyObject* reinstalls, PyObject* downgrades)
{
    PyRef method = PyRef::steal(PyObject_GetAttrString(yumIO, "apply"));
    PyRef args = PyRef::steal(groups ? PyTuple_Pack(4, installs, updates, removes, groups)
                                     : PyTuple_Pack(3, installs, updates, removes));
    PyRef keywords = PyRef::steal(PyDict_New());
    if (!method || !args || !keywords)
        return nullptr;
    if ((PyList_GET_SIZE(reinstalls) > 0
            && PyDict_SetItemString(keywords.get(), "reinstalls", reinstalls) != 0)
        || (PyList_GET_SIZE(downgrades) > 0
            && PyDict_SetItemString(keywords.get(), "downgrades", downgrades) != 0))
        return nullptr;
    return PyObject_Call(
        method.get(), args.get(), PyDict_Size(keywords.get()) > 0 ? keywords.get() : nullptr);
}

// Runs the script's transaction call (an apply, or an undo from the
// history) with the transaction callbacks and the output capture in place.
// The result of apply(): whether a confirmed transaction ran.
bool YumIO::runTransactionCall(std::function<PyObject*()> const& call)
{
    {
        YumIOCapturersUser capturersUser(capturers, this);
        pyExceptStart();
        PyObject* yumBaseError = lookupException("yum.Errors.YumBaseError");
        PyObject* brokenPipe = PyExc_BrokenPipeError;
        pyExceptExpect(yumBaseError);
        pyExceptExpect(brokenPipe);
        // Callbacks inside the call open frames of their own, which forget
        // where the log stood: the failure report needs it.
        int const mark = logCount();
        applying = true;
        PyRef result = PyRef::steal(call());
        applying = false;
        rpmRunning = false;
        logMark = mark;
        if (!result)
            appliedPart = scriptChangedSystem();
        if (pyExceptMatches(result.get(), yumBaseError)) {
            pythonExceptionV(
                historyId == 0 ? tr("Error applying changes") : tr("Error undoing transactions"));
            pyExceptClear();
            return false;
        }
        if (pyExceptMatches(result.get(), brokenPipe)) {
            PyErr_Clear();
            pythonException(tr("Error applying changes: Exiting on Broken Pipe"));
            pyExceptClear();
            return false;
        }
        pyExceptClear();
        if (!result)
            return false;
    }

    // The script's flush closes the package manager's session; the table is
    // collected afresh after a transaction, but a declined one keeps the
    // table, the marks and the objects behind them in use.
    if (applyConfirmed)
        PyRef::steal(pyMethodCall(yumIO, "flush", "()"));
    progress->reset();
    updatedNames.clear();
    return applyConfirmed;
}

// The script's systemChanged after a failed apply: true when its
// transaction had applied some members before it failed. The pending
// exception stays as it was.
bool YumIO::scriptChangedSystem()
{
    PyObject *type = nullptr, *value = nullptr, *traceback = nullptr;
    PyErr_Fetch(&type, &value, &traceback);
    PyRef changed = PyRef::steal(PyObject_GetAttrString(yumIO, "systemChanged"));
    bool const result = changed && PyObject_IsTrue(changed.get()) == 1;
    PyErr_Clear();
    PyErr_Restore(type, value, traceback);
    return result;
}

// ---------------------------------------------------------------------------
// Groups

// Whether the script applies groups with the package manager's own group
// operations (its attribute groupOperations is true).
bool YumIO::scriptHasGroupOperations()
{
    PyRef flag = PyRef::steal(PyObject_GetAttrString(yumIO, "groupOperations"));
    bool const result = flag && PyObject_IsTrue(flag.get()) == 1;
    PyErr_Clear();
    return result;
}

// The marked groups as the script's group operations: (group object,
// "install", "upgrade" or "remove", names the operation must leave alone).
// The package manager decides which of a group's packages an operation
// takes; only a package the user marked against the group's action asks
// which action wins, and keeps its own when that is the answer.
bool YumIO::applyGroupOperations(PyObject* operations)
{
    for (Package::Entry* group : std::as_const(entries)) {
        if (group->kind != Package::Group || group->applyAction == Package::None)
            continue;
        bool const removing = group->applyAction == Package::Remove;
        char const* const operation = removing       ? "remove"
            : group->applyAction == Package::Install ? "install"
                                                     : "upgrade";
        auto against = [removing](Package::Entry const* package) {
            return removing ? package->applyAction == Package::Install
                    || package->applyAction == Package::Update
                            : package->applyAction == Package::Remove;
        };
        PyRef names = PyRef::steal(removing ? allPkgs(group) : pkgTree(group));
        if (!names)
            return false;
        QStringList kept;
        bool const answered = forGroupPackages(names.get(), [&](Package::Entry* package) {
            if (!against(package))
                return true;
            if (!applyGrpConflict(group, package))
                return false;
            if (against(package))
                kept.append(package->name);
            return true;
        });
        if (!answered)
            return false;
        PyRef keptList = PyRef::steal(PyList_New(0));
        for (QString const& name : std::as_const(kept)) {
            PyRef text = PyRef::steal(PyUnicode_FromString(name.toUtf8().constData()));
            if (keptList && text)
                PyList_Append(keptList.get(), text.get());
        }
        PyRef operationText = PyRef::steal(PyUnicode_FromString(operation));
        PyRef item = keptList && operationText
            ? PyRef::steal(PyTuple_Pack(3, group->object, operationText.get(), keptList.get()))
            : PyRef();
        if (!item || PyList_Append(operations, item.get()) != 0) {
            PyErr_Clear();
            error(tr("Internal error: unable to create the lists of changes"));
            return false;
        }
    }
    return true;
}

bool YumIO::applyGroups()
{
    for (Package::Entry* entry : entries) {
        if (entry->kind != Package::Group)
            continue;
        bool ok = true;
        switch (entry->applyAction) {
        case Package::Remove:
            ok = applyGrpRemove(entry);
            break;
        case Package::Install:
            ok = applyGrpInstall(entry);
            break;
        case Package::Update:
            ok = applyGrpUpdate(entry);
            break;
        case Package::Reinstall: // not for groups
        case Package::Downgrade:
        case Package::None:
            break;
        }
        if (!ok)
            return false;
    }
    return true;
}

Package::Entry* YumIO::groupPackage(PyObject* name)
{
    QString const text = pyString(name);
    return findEntry(false, text);
}

void YumIO::applyGrpMark(
    Package::Entry const* group, Package::Entry* package, Package::Action action)
{
    package->applyAction = action;
    package->applyCause = const_cast<Package::Entry*>(group);
    applyGrpLog(group, package);
}

bool YumIO::applyGrpUpdate(Package::Entry const* group)
{
    PyRef required = PyRef::steal(requiredPkgs(group));
    if (!required)
        return false;
    QSet<QString> requiredNames;
    for (QString const& name : textsOf(required.get()))
        requiredNames.insert(name);
    return applyGrpAdd(group, &requiredNames);
}

bool YumIO::applyGrpInstall(Package::Entry const* group)
{
    return applyGrpAdd(group, nullptr);
}

// Installing and updating a group differ only in what an available package
// of it gets: an update installs the required ones (requiredNames) and
// leaves the optional ones, an install (null) takes every one.
bool YumIO::applyGrpAdd(Package::Entry const* group, QSet<QString> const* requiredNames)
{
    PyRef tree = PyRef::steal(pkgTree(group));
    if (!tree)
        return false;
    return forGroupPackages(tree.get(), [&](Package::Entry* package) {
        switch (package->applyAction) {
        case Package::Update:
        case Package::Install:
            applyGrpLogWas(group, package);
            break;
        case Package::None:
            if (package->state == Package::Updatable && package->held())
                applyGrpLogNot(group, package, Package::Update, tr("the package is held"));
            else if (package->state == Package::Updatable)
                applyGrpMark(group, package, Package::Update);
            else if (package->state == Package::Available) {
                if (!requiredNames || requiredNames->contains(package->name))
                    applyGrpMark(group, package, Package::Install);
                else
                    applyGrpLogNot(group, package, Package::Install, tr("the package is optional"));
            }
            break;
        case Package::Reinstall:
        case Package::Downgrade:
            // The group would update what is out of date; an installed
            // package that is up to date it leaves to its own mark.
            if (package->state == Package::Updatable)
                return applyGrpConflict(group, package);
            break;
        default:
            return applyGrpConflict(group, package);
        }
        return true;
    });
}

bool YumIO::applyGrpRemove(Package::Entry const* group)
{
    PyRef all = PyRef::steal(allPkgs(group));
    if (!all)
        return false;
    return forGroupPackages(all.get(), [&](Package::Entry* package) {
        switch (package->applyAction) {
        case Package::Remove:
            applyGrpLog(group, package);
            break;
        case Package::None:
            if (package->state == Package::Updatable || package->state == Package::Installed)
                applyGrpMark(group, package, Package::Remove);
            break;
        default:
            return applyGrpConflict(group, package);
        }
        return true;
    });
}

// Calls visit for each package of a group's name list (a sequence or a
// dictionary's keys) that has an entry; stops at the first false.
bool YumIO::forGroupPackages(PyObject* list, std::function<bool(Package::Entry*)> const& visit)
{
    PyRef names = PyRef::listOf(list);
    Py_ssize_t const count = names ? PyList_GET_SIZE(names.get()) : 0;
    for (Py_ssize_t i = 0; i < count; ++i) {
        Package::Entry* package = groupPackage(PyList_GET_ITEM(names.get(), i));
        if (package && !visit(package))
            return false;
    }
    return true;
}

bool YumIO::applyGrpConflict(Package::Entry const* group, Package::Entry* package)
{
    Package::Action proposed = Package::None;
    switch (package->state) {
    case Package::Updatable:
        proposed = Package::Update;
        break;
    case Package::Available:
        proposed = Package::Install;
        break;
    case Package::Installed:
        proposed = Package::Remove;
        break;
    default:
        error("Internal error: applyGrpConflict unexpected package state\n");
        return false;
    }
    QString const current = actionText(package->applyAction);
    QString question;
    if (package->applyCause == package)
        question = tr("Package %1 is included in group %2 which was marked for %3,\nso the package "
                      "would be marked for %4,\nbut it was marked individually for %5.\nHow do you "
                      "wish to proceed?")
                       .arg(package->name, group->name, actionText(group->applyAction),
                           actionText(proposed), current);
    else if (!package->applyCause)
        question = tr("Package %1 is included in group %2 which was marked for %3,\nso the package "
                      "would be marked for %4,\nbut you resolved an earlier conflict by marking it "
                      "for %5.\nHow do you wish to proceed?")
                       .arg(package->name, group->name, actionText(group->applyAction),
                           actionText(proposed), current);
    else
        question = tr("Package %1 is included in group %2 which was marked for %3,\nso the package "
                      "would be marked for %4,\nbut it also was part of group %5 and so was marked "
                      "for %6.\nHow do you wish to proceed?")
                       .arg(package->name, group->name, actionText(group->applyAction),
                           actionText(proposed), package->applyCause->name, current);

    int const answer = dialogs ? dialogs->critical(
                           tr("Apply"), question, actionText(proposed), current, tr("Cancel"), 2, 2)
                               : 2;
    if (answer == 2)
        return false;
    if (answer == 0)
        package->applyAction = proposed;
    log(Log::Message, 4,
        tr("Manually resolving conflict: marking package %1 for %3")
            .arg(package->name, actionText(package->applyAction)));
    package->applyCause = nullptr;
    return true;
}

void YumIO::applyGrpLog(Package::Entry const* group, Package::Entry const* package)
{
    log(Log::Message, 4,
        tr("For group %1, marking package %2 for %3")
            .arg(group->name, package->name, actionText(package->applyAction)));
}

void YumIO::applyGrpLogWas(Package::Entry const* group, Package::Entry const* package)
{
    log(Log::Message, 4,
        tr("For group %1, package %2 already was marked for %3")
            .arg(group->name, package->name, actionText(package->applyAction)));
}

void YumIO::applyGrpLogNot(Package::Entry const* group, Package::Entry const* package,
    Package::Action action, QString const& reason)
{
    log(Log::Message, 4,
        tr("For group %1, not marking package %2 for %3, becuase %4")
            .arg(group->name, package->name, actionText(action), reason));
}

// ---------------------------------------------------------------------------
// Package lists of a group: methods of the group information under older
// yum, the keys of the group's package mappings under newer yum.

PyObject* YumIO::groupKeys(Package::Entry const* group, QList<char const*> const& mappings,
    QString const& missing, QString const& improper)
{
    PyRef result = PyRef::steal(PyList_New(0));
    if (!result) {
        PyErr_Clear();
        return nullptr;
    }
    for (char const* name : mappings) {
        PyRef mapping = PyRef::steal(PyObject_GetAttrString(group->object, name));
        if (!mapping) {
            PyErr_Clear();
            error(missing);
            return nullptr;
        }
        PyRef keys = PyRef::steal(PyObject_CallMethod(mapping.get(), "keys", nullptr));
        PyRef list = keys ? PyRef::steal(PySequence_List(keys.get())) : PyRef();
        if (!list) {
            PyErr_Clear();
            error(improper);
            return nullptr;
        }
        Py_ssize_t const size = PyList_GET_SIZE(list.get());
        for (Py_ssize_t i = 0; i < size; ++i)
            if (PyList_Append(result.get(), PyList_GET_ITEM(list.get(), i)) != 0) {
                PyErr_Clear();
                error(improper);
                return nullptr;
            }
    }
    return result.release();
}

PyObject* YumIO::requiredPkgs(Package::Entry const* group)
{
    if (!group->object)
        return nullptr;
    if (!hasDistribGroups()) {
        QByteArray const name = group->name.toUtf8();
        return pyMethodCall(group->object, "requiredPkgs", "(s)", name.constData());
    }
    return groupKeys(group, {"mandatory_packages", "default_packages"},
        tr("Internal error: group lacks required package lists"),
        tr("Internal error: group lacks required proper required package lists"));
}

PyObject* YumIO::pkgTree(Package::Entry const* group)
{
    if (!group->object)
        return nullptr;
    if (!hasDistribGroups()) {
        QByteArray const name = group->name.toUtf8();
        return pyMethodCall(group->object, "pkgTree", "(s)", name.constData());
    }
    return requiredPkgs(group);
}

PyObject* YumIO::allPkgs(Package::Entry const* group)
{
    if (!group->object)
        return nullptr;
    if (!hasDistribGroups()) {
        QByteArray const name = group->name.toUtf8();
        return pyMethodCall(group->object, "requiredPkgs", "(s)", name.constData());
    }
    return groupKeys(group,
        {"mandatory_packages", "default_packages", "optional_packages", "conditional_packages"},
        tr("Internal error: group lacks package lists"),
        tr("Internal error: group lacks required proper package lists"));
}
