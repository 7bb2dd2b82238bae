// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "python/PyRef.h"
#include "yumio/YumIO.h"

// Holds (the package manager's version lock) and the other repository
// versions of an installed package, which a reinstall or a downgrade takes.

namespace {

// The installed package of a row: the row's own, or the one an update
// replaces.
PyObject* installedObject(Package::Entry const& entry)
{
    if (entry.kind == Package::Group)
        return nullptr;
    if (entry.state == Package::Installed)
        return entry.object;
    if (entry.state == Package::Updatable && entry.next)
        return entry.next->object;
    return nullptr;
}

QString holdKey(QString const& name, QString const& arch)
{
    return name + QLatin1Char('\n') + arch;
}

} // namespace

// Marks the installed packages the version lock holds (interpreter lock
// held). A script without holds holds nothing.
void YumIO::readHolds(QList<Package::Entry*> const& targets)
{
    if (!yumIO || !PyObject_HasAttrString(yumIO, "collectHolds"))
        return;
    PyRef list
        = PyRef::steal(scriptQuery(tr("Unable to read the held packages"), "collectHolds", "()"));
    PyRef rows = list ? PyRef::listOf(list.get()) : PyRef();
    PyErr_Clear();
    QHash<QString, QString> heldAt;
    for (Py_ssize_t i = 0; rows && i < PyList_GET_SIZE(rows.get()); ++i) {
        PyObject* row = PyList_GET_ITEM(rows.get(), i);
        if (!PyTuple_Check(row) || PyTuple_GET_SIZE(row) < 3)
            continue;
        QString const name = pyString(PyTuple_GET_ITEM(row, 0));
        QString const arch = pyString(PyTuple_GET_ITEM(row, 1));
        QStringList const versions = textsOf(PyTuple_GET_ITEM(row, 2));
        // A lock that matches no version still holds the package where it is.
        heldAt.insert(holdKey(name, arch),
            versions.isEmpty() ? tr("no version") : versions.join(QStringLiteral(", ")));
    }
    // An update may be of another architecture (noarch) than the installed
    // package its row stands for: the hold is the installed package's.
    for (Package::Entry* entry : targets) {
        Package::Entry const* installed
            = entry->state == Package::Updatable && entry->next ? entry->next : entry;
        if (entry->kind != Package::Group)
            entry->setHeldAt(entry->state == Package::Available
                    ? QString()
                    : heldAt.value(holdKey(installed->name, installed->arch)));
    }
}

bool YumIO::setHold(Package::Entry const& entry, bool hold)
{
    DetailLock lock(this);
    PyObject* installed = installedObject(entry);
    if (!installed || !yumIO)
        return false;
    PyRef result = PyRef::steal(scriptQuery(
        hold ? tr("Unable to hold %1").arg(entry.name) : tr("Unable to release %1").arg(entry.name),
        "setHold", "(OO)", installed, hold ? Py_True : Py_False));
    if (!result)
        return false;
    readHolds(entries);
    log(Log::Message, 1,
        hold ? tr("Held %1 at version %2").arg(entry.name, entry.heldAt())
             : tr("Released the hold on %1").arg(entry.name));
    return true;
}

Package::Versions YumIO::packageVersions(Package::Entry const& entry, bool* ok)
{
    DetailLock lock(this);
    Package::Versions result;
    PyObject* installed = installedObject(entry);
    PyRef pair = installed && yumIO
        ? PyRef::steal(scriptQuery(tr("Unable to find the versions of %1").arg(entry.name),
            "packageVersions", "(O)", installed))
        : PyRef();
    PyRef older = pair && PyTuple_Check(pair.get()) && PyTuple_GET_SIZE(pair.get()) == 2
        ? PyRef::listOf(PyTuple_GET_ITEM(pair.get(), 1))
        : PyRef();
    PyErr_Clear();
    if (ok)
        *ok = bool(older);
    if (!older)
        return result;
    result.reinstallable = PyObject_IsTrue(PyTuple_GET_ITEM(pair.get(), 0)) == 1;
    PyErr_Clear();
    for (Py_ssize_t i = 0; i < PyList_GET_SIZE(older.get()); ++i) {
        PyObject* row = PyList_GET_ITEM(older.get(), i);
        if (!PyTuple_Check(row) || PyTuple_GET_SIZE(row) < 3)
            continue;
        result.older.append({pyString(PyTuple_GET_ITEM(row, 0)), pyString(PyTuple_GET_ITEM(row, 1)),
            pyString(PyTuple_GET_ITEM(row, 2))});
    }
    return result;
}
