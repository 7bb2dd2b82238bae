#include "python/PythonHeaders.h"

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

} // namespace

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
                logList.append(Log::Entry(kind, level, maskLarder(part)));
            appended = true;
        }
    }
    if (appended)
        logList.emitAppended();
}

void YumIO::log(Log::Kind kind, unsigned level, QString const& text)
{
    // An error number that follows a colon starts a line of its own.
    static QRegularExpression const errnoPattern(QStringLiteral(": (\\[Errno [0-9]*\\] )"));
    QString split = text;
    split.replace(errnoPattern, QStringLiteral(":\n\\1"));
    QStringList const lines = maskLarder(split).split(QLatin1Char('\n'));
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
    char const* text = nullptr;
    if (!PyArg_ParseTuple(args, "s", &text))
        return nullptr;
    write(QString::fromUtf8(text), Log::Output, 0, stdoutRest);
    return none();
}

PyObject* YumIO::stderrWrite(PyObject* args)
{
    char const* text = nullptr;
    if (!PyArg_ParseTuple(args, "s", &text))
        return nullptr;
    write(QString::fromUtf8(text), stderrKind, stderrLevel, stderrRest);
    return none();
}

PyObject* YumIO::log(PyObject* args)
{
    long level = 0;
    char const* text = nullptr;
    if (!PyArg_ParseTuple(args, "ls", &level, &text))
        return nullptr;
    QString const message = QString::fromUtf8(text);
    log(Log::Message, levelOf(level), message);
    if (message.startsWith(QLatin1String("TSINFO: ")))
        tsInfo(message.mid(8));
    return none();
}

PyObject* YumIO::errorlog(PyObject* args)
{
    long level = 0;
    char const* text = nullptr;
    if (!PyArg_ParseTuple(args, "ls", &level, &text))
        return nullptr;
    log(Log::Error, levelOf(level), QString::fromUtf8(text));
    return none();
}
