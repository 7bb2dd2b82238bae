// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "python/PyRef.h"
#include "yumio/YumIO.h"

#include <cerrno>
#include <cstdlib>

QString YumIO::yumVersionStr()
{
    if (!yumVersionKnown) {
        PyGILStateWrapper lock(true);
        PyObject* version = pyValue("yum", "__version__");
        if (!version)
            version = pyValue("cli", "__version__");
        yumVersionText = version ? pyString(version) : QString();
        yumVersionKnown = true;
    }
    return yumVersionText;
}

unsigned YumIO::yumVersion()
{
    if (yumVersionParsed)
        return yumVersionNumber;
    QString const text = yumVersionStr();
    QStringList const parts = text.split(QLatin1Char('.'));
    static unsigned const weights[] = {10000, 100, 1};
    unsigned number = 0;
    for (int i = 0; i < parts.size() && i < 3; ++i) {
        QByteArray const part = parts[i].toLatin1();
        errno = 0;
        unsigned long const value = std::strtoul(part.constData(), nullptr, 10);
        if (errno != 0)
            warning(tr("Internal error: yum version not understood: %1").arg(text));
        number += static_cast<unsigned>(value) * weights[i];
    }
    yumVersionNumber = number;
    yumVersionParsed = true;
    return number;
}

bool YumIO::hasDistribGroups()
{
    return yumVersion() > 20499;
}

bool YumIO::hasTransTest()
{
    return yumVersion() <= 30202;
}

bool YumIO::hasPickledCache()
{
    return yumVersion() <= 20901;
}

bool YumIO::usesSqlite()
{
    if (!sqliteKnown) {
        PyGILStateWrapper lock(true);
        pyExceptStart();
        PyRef result = PyRef::steal(pyCall("usesSqlite", "()"));
        sqliteUsed = result.get() == Py_True;
        pyExceptClear();
        sqliteKnown = true;
    }
    return sqliteUsed;
}

bool YumIO::usesPresto()
{
    if (!prestoKnown) {
        PyGILStateWrapper lock(true);
        if (!yumIO)
            return false; // asked again once there is a script object
        pyExceptStart();
        PyRef result = PyRef::steal(pyMethodCall(yumIO, "usesPresto", "()"));
        prestoUsed = result.get() == Py_True;
        pyExceptClear();
        prestoKnown = true;
    }
    return prestoUsed;
}

// One cleaning call of the script: a tuple whose first item is 0 on
// success, then the script's messages, which the script has logged already.
// False with the reasons in failures, so a cache that could not be cleaned
// never passes for a clean one.
bool YumIO::cleanStep(char const* method, QStringList& failures)
{
    PyGILStateWrapper lock(true);
    if (!scriptReady())
        return false;
    PyRef result = PyRef::steal(pyMethodCall(yumIO, method, "()"));
    long code = -1;
    QStringList messages;
    if (result && PyTuple_Check(result.get()) && PyTuple_GET_SIZE(result.get()) >= 1) {
        PyObject* first = PyTuple_GET_ITEM(result.get(), 0);
        if (PyLong_Check(first))
            code = PyLong_AsLong(first);
        if (PyErr_Occurred()) {
            PyErr_Clear();
            code = -1;
        }
        if (PyTuple_GET_SIZE(result.get()) > 1) {
            PyRef iterator = PyRef::steal(PyObject_GetIter(PyTuple_GET_ITEM(result.get(), 1)));
            while (iterator) {
                PyRef message = PyRef::steal(PyIter_Next(iterator.get()));
                if (!message)
                    break;
                messages.append(pyString(message.get()));
            }
            PyErr_Clear();
        }
    }
    if (code == 0) {
        if (!messages.isEmpty())
            cleaned << messages.first();
        return true;
    }
    // The first message counts what was removed; the others say what failed.
    if (messages.size() > 1)
        messages.removeFirst();
    failures
        += messages.isEmpty() ? QStringList {tr("The package manager gave no reason.")} : messages;
    return false;
}

// A cleaning command: its steps in order, and one report when any failed.
bool YumIO::clean(QString const& heading, QList<char const*> const& methods)
{
    log(Log::Heading, 0, heading);
    cleaned.clear();
    QStringList failures;
    bool ok = true;
    for (char const* method : methods)
        ok = cleanStep(method, failures) && ok;
    if (!ok && !failures.isEmpty())
        error(tr("Unable to clean the cache:\n%1").arg(failures.join(QLatin1Char('\n'))));
    return ok;
}

bool YumIO::cleanHeaders()
{
    return clean(tr("Cleaning Headers"), {"cleanHeaders"});
}

bool YumIO::cleanPackages()
{
    return clean(tr("Cleaning Packages"), {"cleanPackages"});
}

bool YumIO::cleanXmlMetadata()
{
    return clean(tr("Cleaning Xml Metadata"), {"cleanMetadata"});
}

bool YumIO::cleanPickledCache()
{
    return clean(tr("Cleaning Pickled Cache"), {"cleanPickles"});
}

bool YumIO::cleanAll()
{
    QList<char const*> methods {"cleanHeaders", "cleanPackages", "cleanMetadata"};
    if (hasPickledCache())
        methods.append("cleanPickles");
    return clean(tr("Cleaning All"), methods);
}
