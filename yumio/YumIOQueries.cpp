// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "python/PyRef.h"
#include "yumio/YumIO.h"

#include <QElapsedTimer>

#include <algorithm>

// ---------------------------------------------------------------------------
// Advisories, read with the collection: the repositories' updateinfo is in
// the sack as soon as it is loaded, and asking it costs little beside the
// collection.

void YumIO::clearAdvisories()
{
    advisoryLists.clear();
    advisoriesLoaded = false;
}

void YumIO::collectAdvisories()
{
    QElapsedTimer clock;
    clock.start();
    clearAdvisories();
    // A script without advisories leaves every update without one.
    if (!PyObject_HasAttrString(yumIO, "collectAdvisories"))
        return;
    pyExceptStart();
    PyObject* yumBaseError = lookupException("yum.Errors.YumBaseError");
    pyExceptExpect(yumBaseError);
    PyRef result = PyRef::steal(pyMethodCall(yumIO, "collectAdvisories", "()"));
    if (pyExceptMatches(result.get(), yumBaseError)) {
        // The table is good without them: say why they are missing, go on.
        QString const why = pyStringDec(pyExceptValuef());
        pyExceptClear();
        warning(tr("The advisories of the updates could not be read: %1").arg(why));
        return;
    }
    pyExceptClear();
    PyRef iterator = PyRef::steal(result ? PyObject_GetIter(result.get()) : nullptr);
    if (!iterator) {
        PyErr_Clear();
        error(tr("Internal error: execution of yumIO.collectAdvisories failed"));
        return;
    }
    auto text = [this](PyObject* object) {
        return object && object != Py_None ? pyString(object) : QString();
    };
    // The script names the package of each advisory; every architecture's
    // row of an updatable name carries it. (Called while collecting, before
    // the rows are in their order.)
    QMultiHash<QString, Package::Entry*> updatable;
    for (Package::Entry* entry : collectOrder) {
        if (entry->kind != Package::Group && entry->state == Package::Updatable)
            updatable.insert(entry->name, entry);
    }
    while (PyObject* next = PyIter_Next(iterator.get())) {
        PyRef row = PyRef::steal(next);
        PyObject* item = row.get();
        if (!PyTuple_Check(item) || PyTuple_GET_SIZE(item) < 8)
            continue;
        QString const name = text(PyTuple_GET_ITEM(item, 0));
        if (!updatable.contains(name))
            continue;
        Package::Advisory advisory;
        advisory.id = text(PyTuple_GET_ITEM(item, 1));
        advisory.kind = Package::advisoryKind(text(PyTuple_GET_ITEM(item, 2)));
        advisory.severity = text(PyTuple_GET_ITEM(item, 3));
        advisory.updated = pyTime(PyTuple_GET_ITEM(item, 4));
        advisory.title = text(PyTuple_GET_ITEM(item, 5));
        advisory.description = text(PyTuple_GET_ITEM(item, 6));
        PyRef references = PyRef::steal(PyObject_GetIter(PyTuple_GET_ITEM(item, 7)));
        while (references) {
            PyRef reference = PyRef::steal(PyIter_Next(references.get()));
            if (!reference)
                break;
            PyObject* fields = reference.get();
            if (!PyTuple_Check(fields) || PyTuple_GET_SIZE(fields) < 4)
                continue;
            advisory.references.append(
                {text(PyTuple_GET_ITEM(fields, 0)), text(PyTuple_GET_ITEM(fields, 1)),
                    text(PyTuple_GET_ITEM(fields, 2)), text(PyTuple_GET_ITEM(fields, 3))});
        }
        PyErr_Clear();
        QList<Package::Advisory>& list = advisoryLists[name];
        list.insert(std::upper_bound(list.begin(), list.end(), advisory,
                        [](Package::Advisory const& a, Package::Advisory const& b) {
                            return a.morePressing(b);
                        }),
            advisory);
        Package::Advisory const& first = list.constFirst();
        for (auto it = updatable.constFind(name); it != updatable.cend() && it.key() == name; ++it) {
            (*it)->advisoryKind = first.kind;
            (*it)->advisorySeverity = quint8(Package::severityRank(first.severity));
        }
    }
    if (PyErr_Occurred())
        handleException();
    advisoriesLoaded = true;
    log(Log::Message, 3,
        tr("Read the advisories of %1 updates in %2 seconds")
            .arg(advisoryLists.size())
            .arg(QString::number(double(clock.nsecsElapsed()) / 1e9, 'f', 3)));
}

QList<Package::Advisory> YumIO::advisories(Package::Entry const& entry) const
{
    // A collection's worker fills the lists while the table shows the rows
    // of the cache: nothing to say until it has finished.
    if (worker || entry.kind == Package::Group || entry.state != Package::Updatable)
        return {};
    return advisoryLists.value(entry.name);
}

// ---------------------------------------------------------------------------
// Relations, asked on demand on the GUI thread (the rule of detail reads in
// YumIO.h: a worker still running is waited for first).

QStringList YumIO::whatRequires(Package::Entry const& entry, bool installed, bool* ok)
{
    waitForWorker();
    PyGILStateWrapper lock(true);
    if (ok)
        *ok = false;
    if (!yumIO || entry.kind == Package::Group)
        return {};
    pyExceptStart();
    PyObject* yumBaseError = lookupException("yum.Errors.YumBaseError");
    pyExceptExpect(yumBaseError);
    PyRef name = PyRef::steal(PyUnicode_FromString(entry.name.toUtf8().constData()));
    PyRef result = PyRef::steal(name ? PyObject_CallMethod(yumIO, "whatRequires", "(OO)",
                                    name.get(), installed ? Py_True : Py_False)
                                     : nullptr);
    if (pyExceptMatches(result.get(), yumBaseError)) {
        pythonExceptionV(tr("Unable to find the packages that require %1").arg(entry.name));
        pyExceptClear();
        return {};
    }
    pyExceptClear();
    PyRef iterator = PyRef::steal(result ? PyObject_GetIter(result.get()) : nullptr);
    if (!iterator) {
        if (PyErr_Occurred())
            handleException();
        error(tr("Internal error: execution of yumIO.whatRequires failed"));
        return {};
    }
    QStringList lines;
    while (PyObject* next = PyIter_Next(iterator.get())) {
        PyRef row = PyRef::steal(next);
        if (!PyTuple_Check(row.get()) || PyTuple_GET_SIZE(row.get()) < 4)
            continue;
        QString line = pyString(PyTuple_GET_ITEM(row.get(), 0)) + QLatin1Char('-')
            + pyString(PyTuple_GET_ITEM(row.get(), 1)) + QLatin1Char('.')
            + pyString(PyTuple_GET_ITEM(row.get(), 2));
        if (!installed)
            line += QLatin1Char(' ') + pyString(PyTuple_GET_ITEM(row.get(), 3));
        lines.append(line);
    }
    if (PyErr_Occurred())
        handleException();
    std::sort(lines.begin(), lines.end());
    if (ok)
        *ok = true;
    return lines;
}

QSet<QString> YumIO::whatProvides(QString const& capability, bool* ok)
{
    waitForWorker();
    PyGILStateWrapper lock(true);
    if (ok)
        *ok = false;
    if (!yumIO)
        return {};
    pyExceptStart();
    PyObject* yumBaseError = lookupException("yum.Errors.YumBaseError");
    pyExceptExpect(yumBaseError);
    PyRef text = PyRef::steal(PyUnicode_FromString(capability.toUtf8().constData()));
    PyRef result = PyRef::steal(
        text ? PyObject_CallMethod(yumIO, "whatProvides", "(O)", text.get()) : nullptr);
    if (pyExceptMatches(result.get(), yumBaseError)) {
        pythonExceptionV(tr("Unable to find what provides %1").arg(capability));
        pyExceptClear();
        return {};
    }
    pyExceptClear();
    if (!result) {
        if (PyErr_Occurred())
            handleException();
        error(tr("Internal error: execution of yumIO.whatProvides failed"));
        return {};
    }
    QSet<QString> names;
    for (QString const& name : textsOf(result.get()))
        names.insert(name);
    if (ok)
        *ok = true;
    return names;
}
