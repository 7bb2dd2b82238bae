// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "base/Credentials.h"
#include "python/PyRef.h"
#include "python/PyText.h"
#include "yumio/YumIO.h"
#include "yumio/YumIODialogs.h"

#include <QHash>
#include <QMutexLocker>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

// ---------------------------------------------------------------------------
// Text

QString YumIO::pyString(PyObject* object)
{
    if (!object || object == Py_None)
        return QString();
    if (PyUnicode_Check(object))
        return PyText::toQString(object);
    if (PyBytes_Check(object))
        return QString::fromUtf8(PyBytes_AS_STRING(object), PyBytes_GET_SIZE(object));
    warning(tr("Internal error: YumIO::pyString did not understand type"));
    return QString();
}

QString YumIO::pyStringDec(PyObject* object)
{
    QString const text = pyString(object);
    Py_XDECREF(object);
    return text;
}

QString YumIO::pyStringX(PyObject* object)
{
    if (object && (PyUnicode_Check(object) || PyBytes_Check(object)))
        return pyString(object);
    if (object && PyList_Check(object)) {
        if (PyList_GET_SIZE(object) != 0)
            warning(tr("Internal error: YumIO::pyStringX did not understand non-empty list"));
        return QString();
    }
    warning(tr("Internal error: YumIO::pyStringX did not understand type"));
    return QString();
}

QString YumIO::pyStringXDec(PyObject* object)
{
    QString const text = pyStringX(object);
    Py_XDECREF(object);
    return text;
}

QString YumIO::pyMappingString(PyObject* mapping, char const* key)
{
    PyObject* item = PyMapping_GetItemString(mapping, key);
    if (!item && PyErr_Occurred())
        handleException();
    return pyStringDec(item);
}

QString YumIO::simpleString(PyObject* package, char const* key)
{
    PyGILStateWrapper lock(true);
    pyExceptStart();
    pyExceptExpect(PyExc_KeyError);
    PyObject* result = pyMethodCall(package, "returnSimple", "(s)", key);
    pyExceptClear(); // discards a KeyError
    if (!result || result == Py_None) {
        Py_XDECREF(result);
        return QString();
    }
    QString text = pyStringXDec(result);
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

// ---------------------------------------------------------------------------
// Numbers

namespace {

// A decimal number at the start of a text, as strtoull reads it; range
// errors are reported through ok.
quint64 parseUnsigned(QByteArray const& text, bool& ok)
{
    errno = 0;
    quint64 const value = std::strtoull(text.constData(), nullptr, 10);
    ok = errno == 0;
    return value;
}

} // namespace

quint64 YumIO::sizeOf(PyObject* package)
{
    PyRef size = PyRef::steal(PyObject_GetAttrString(package, "size"));
    if (!size) {
        PyErr_Clear();
        warning(tr("Internal error: package size not understood"));
        return 0;
    }
    bool called = false;
    if (!PyLong_Check(size.get()) && !PyBytes_Check(size.get()) && !PyUnicode_Check(size.get())
        && PyCallable_Check(size.get())) {
        size = PyRef::steal(PyObject_CallObject(size.get(), nullptr));
        called = true;
        if (!size) {
            if (PyErr_Occurred())
                handleException();
            return 0;
        }
    }
    if (PyLong_Check(size.get())) {
        unsigned long long const value = PyLong_AsUnsignedLongLong(size.get());
        if (PyErr_Occurred()) { // negative or too large
            PyErr_Clear();
            warning(tr("Internal error: package size not understood: %1")
                        .arg(pyStringDec(PyObject_Str(size.get()))));
            return 0;
        }
        return value;
    }
    if (PyBytes_Check(size.get()) || PyUnicode_Check(size.get())) {
        QString const text = pyString(size.get());
        bool ok = true;
        quint64 const value = parseUnsigned(text.toLatin1(), ok);
        if (!ok)
            warning(tr("Internal error: package size not understood: %1").arg(text));
        return value;
    }
    warning(called ? tr("Internal error: package size result not understood")
                   : tr("Internal error: package size not understood"));
    return 0;
}

long YumIO::pyTime(PyObject* object)
{
    if (!object)
        return 0;
    if (PyLong_Check(object)) {
        long const value = PyLong_AsLong(object);
        if (PyErr_Occurred()) {
            PyErr_Clear();
            warning(tr("Internal error: time not understood"));
            return 0;
        }
        return value;
    }
    if (PyBytes_Check(object) || PyUnicode_Check(object)) {
        QString const text = pyString(object);
        QByteArray const bytes = text.toLatin1();
        errno = 0;
        long const value = static_cast<long>(std::strtoul(bytes.constData(), nullptr, 10));
        if (errno != 0)
            warning(tr("Internal error: time not understood: %1").arg(text));
        return value;
    }
    warning(tr("Internal error: time not understood"));
    return 0;
}

long YumIO::pyTimeDec(PyObject* object)
{
    long const value = pyTime(object);
    Py_XDECREF(object);
    return value;
}

long YumIO::buildTimeOf(PyObject* package)
{
    return pyTimeDec(pyMethodCall(package, "returnSimple", "(s)", "buildtime"));
}

PyObject* YumIO::pyDictGetItem(PyObject* dict, QString const& key)
{
    if (!dict || !PyDict_Check(dict))
        return nullptr;
    return PyDict_GetItemString(dict, key.toLocal8Bit().constData());
}

// ---------------------------------------------------------------------------
// Formatting

QString YumIO::bytesFormat(quint64 bytes)
{
    struct Unit
    {
        double threshold;
        double divisor;
        char const* name;
    };
    static Unit const units[] = {
        {1000.0 * 1125899906842624.0, 1152921504606846976.0, QT_TR_NOOP("Eb")},
        {1000.0 * 1099511627776.0, 1125899906842624.0, QT_TR_NOOP("Pb")},
        {1000.0 * 1073741824.0, 1099511627776.0, QT_TR_NOOP("Tb")},
        {1000.0 * 1048576.0, 1073741824.0, QT_TR_NOOP("Gb")},
        {1000.0 * 1024.0, 1048576.0, QT_TR_NOOP("Mb")},
        {1000.0, 1024.0, QT_TR_NOOP("Kb")},
    };
    double value = static_cast<double>(bytes);
    char const* unit = QT_TR_NOOP("b");
    for (Unit const& candidate : units) {
        if (value >= candidate.threshold) {
            value /= candidate.divisor;
            unit = candidate.name;
            break;
        }
    }
    char number[64];
    // Whole bytes have no fraction; a larger unit shows one below 10.
    bool const fraction = bytes >= 1000 && value < 9.95;
    std::snprintf(number, sizeof number, fraction ? "%.1f" : "%.0f", value);
    return QString::fromLatin1(number) + tr(unit);
}

QString YumIO::timeFormat(long seconds)
{
    return Package::timeText(seconds);
}

QString YumIO::dateFormat(long seconds)
{
    // A Search formats the date of every change-log record of every
    // package. Records share their dates (midnights), so each thread keeps
    // the texts it made; the time zone is taken to stay as it was.
    thread_local QHash<long, QString> made;
    if (auto const found = made.constFind(seconds); found != made.cend())
        return *found;
    if (made.size() >= 8192)
        made.clear();
    return made.insert(seconds, Package::timeText(seconds, false)).value();
}

// ---------------------------------------------------------------------------
// Reporting

int YumIO::logCount()
{
    QMutexLocker locker(&logList);
    return logList.count();
}

QString YumIO::errorTitle()
{
    return tr("VUX Yum Error");
}

QString YumIO::warningTitle()
{
    return tr("VUX Yum Warning");
}

void YumIO::error(QString const& message)
{
    log(Log::Error, 0, message);
    // An operation stopped at the user's request fails as expected: no one
    // is left to read a dialog about it.
    if (dialogs && !interruptRequested())
        dialogs->critical(
            errorTitle(), Credentials::masked(message), QString(), QString(), QString(), 0, -1);
}

void YumIO::warning(QString const& message)
{
    log(Log::Warning, 0, message);
    if (dialogs && !interruptRequested())
        dialogs->warning(
            warningTitle(), Credentials::masked(message), QString(), QString(), QString(), 0, -1);
}

void YumIO::error(char const* message)
{
    error(QString::fromUtf8(message));
}

void YumIO::warning(char const* message)
{
    warning(QString::fromUtf8(message));
}

void YumIO::pythonException(QString const& message)
{
    int const start = logMark != -1 ? logMark : logCount();
    log(Log::Error, 0, message);
    QStringList lines;
    {
        QMutexLocker locker(&logList);
        for (int i = start; i < logList.count(); ++i) {
            Log::Entry const& entry = logList.at(i);
            if (entry.kind == Log::Error && entry.level < 3)
                lines.append(entry.text);
        }
    }
    if (dialogs && !interruptRequested())
        dialogs->scrollable(errorTitle(), lines.join(QLatin1Char('\n')));
}

void YumIO::pythonExceptionV(QString const& message)
{
    // The script often logs the text it raises (a line per entry), and the
    // package manager logs some of its lines itself: the report, which shows
    // the errors logged below level 3, shows each line once, and the log
    // holds it once.
    QString const value = pyStringDec(pyExceptValuef());
    int const start = logMark != -1 ? logMark : logCount();
    QStringList errors;
    {
        QMutexLocker locker(&logList);
        for (int i = start; i < logList.count(); ++i)
            if (logList.at(i).kind == Log::Error && logList.at(i).level < 3)
                errors.append(logList.at(i).text);
    }
    if (value.isEmpty() || !errors.join(QLatin1Char('\n')).contains(value)) {
        QStringList untold;
        for (QString const& line : logLines(value)) {
            if (!errors.contains(line))
                untold.append(line);
        }
        if (!untold.isEmpty())
            log(Log::Error, 0, untold.join(QLatin1Char('\n')));
    }
    pythonException(message);
}

// ---------------------------------------------------------------------------
// Expectation frames remember where the log stood, so a failure report can
// show what the package manager logged as errors during the framed call.

void YumIO::pyExceptExpect(PyObject* type)
{
    logMark = logCount();
    Python::pyExceptExpect(type);
}

void YumIO::pyExceptClear()
{
    logMark = -1;
    Python::pyExceptClear();
}

void YumIO::exceptionExpected() { }
