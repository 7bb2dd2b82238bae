// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "base/Credentials.h"
#include "python/PyRef.h"
#include "yumio/YumIO.h"

#include <QMutexLocker>
#include <QRegularExpression>

namespace {

PyObject* none()
{
    Py_RETURN_NONE;
}

unsigned levelOf(long level)
{
    return level < 0 ? 0u : static_cast<unsigned>(level);
}

// Text that can be shown: NUL characters and surrogates without their
// other half (a package's scripts may print any bytes) become U+FFFD.
QString showable(QString text)
{
    QChar const replacement(QChar::ReplacementCharacter);
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar const c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isNull() || c.isSurrogate())
            text[i] = replacement;
    }
    return text;
}

// The text argument of a callback: any str or bytes. The argument parser's
// "s" refuses NUL characters and unpaired surrogates, and the script's
// record would be lost with them.
bool textArgument(
    PyObject* object, QString& text, QString (*convert)(PyObject*, void*), void* engine)
{
    if (!PyUnicode_Check(object) && !PyBytes_Check(object)) {
        PyErr_Format(PyExc_TypeError, "a text is required, not %.200s", Py_TYPE(object)->tp_name);
        return false;
    }
    text = showable(convert(object, engine));
    return true;
}

} // namespace

bool YumIO::callbackText(PyObject* object, QString& text)
{
    return textArgument(
        object, text,
        [](PyObject* o, void* engine) { return static_cast<YumIO*>(engine)->pyString(o); }, this);
}

// Stream output arrives in pieces: complete lines become log entries, the
// text after the last newline waits in rest for the remainder of its line.
// The log list's lock also guards the remainders, which the worker (script
// output) and the GUI thread (captured descriptors) share.
void YumIO::write(QString const& text, Log::Kind kind, unsigned level, QString& rest)
{
    bool appended = false;
    {
        QMutexLocker locker(&logList);
        rest += text;
        if (rest.contains(QLatin1Char('\n'))) {
            QStringList parts = rest.split(QLatin1Char('\n'));
            rest = parts.takeLast();
            for (QString const& part : parts)
                logList.append(Log::Entry(kind, level, Credentials::masked(part)));
            appended = true;
        }
    }
    if (appended)
        logList.emitAppended();
}

QStringList YumIO::logLines(QString const& text)
{
    // An error number that follows a colon starts a line of its own.
    static QRegularExpression const errnoPattern(QStringLiteral(": (\\[Errno [0-9]*\\] )"));
    QString split = text;
    split.replace(errnoPattern, QStringLiteral(":\n\\1"));
    return Credentials::masked(split).split(QLatin1Char('\n'));
}

void YumIO::log(Log::Kind kind, unsigned level, QString const& text)
{
    QStringList const lines = logLines(text);
    {
        QMutexLocker locker(&logList);
        for (QString const& line : lines)
            logList.append(Log::Entry(kind, level, line));
    }
    logList.emitAppended();
}

void YumIO::writeStdout(QString const& text)
{
    write(text, Log::Output, 0, stdoutRest);
}

void YumIO::writeStderr(QString const& text)
{
    write(text, Log::Error, 0, stderrRest);
}

// ---------------------------------------------------------------------------
// Callbacks

PyObject* YumIO::stdoutWrite(PyObject* args)
{
    PyObject* object = nullptr;
    QString text;
    if (!PyArg_ParseTuple(args, "O", &object) || !callbackText(object, text))
        return nullptr;
    write(text, Log::Output, 0, stdoutRest);
    return none();
}

PyObject* YumIO::stderrWrite(PyObject* args)
{
    PyObject* object = nullptr;
    QString text;
    if (!PyArg_ParseTuple(args, "O", &object) || !callbackText(object, text))
        return nullptr;
    write(text, stderrKind, stderrLevel, stderrRest);
    return none();
}

PyObject* YumIO::log(PyObject* args)
{
    long level = 0;
    PyObject* object = nullptr;
    QString message;
    if (!PyArg_ParseTuple(args, "lO", &level, &object) || !callbackText(object, message))
        return nullptr;
    log(Log::Message, levelOf(level), message);
    if (message.startsWith(QLatin1String("TSINFO: ")))
        tsInfo(message.mid(8));
    return none();
}

PyObject* YumIO::errorlog(PyObject* args)
{
    long level = 0;
    PyObject* object = nullptr;
    QString text;
    if (!PyArg_ParseTuple(args, "lO", &level, &object) || !callbackText(object, text))
        return nullptr;
    log(Log::Error, levelOf(level), text);
    return none();
}
