// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/Execute.h"

#include "base/Interrupt.h"
#include "base/Share.h"

#include <QFile>
#include <QMessageBox>
#include <QObject>
#include <QProcess>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Between fork and exec only async-signal-safe calls are sound in a threaded
// process: format into a local buffer and write(2) it.
void report(char const* text)
{
    ssize_t const ignored = ::write(STDERR_FILENO, text, std::strlen(text));
    (void)ignored;
}

} // namespace

void Execute::execute(QWidget* parent, char* const* argv)
{
    pid_t const child = ::fork();
    if (child < 0) {
        int const error = errno;
        QMessageBox::critical(parent, QObject::tr("Help"),
            QObject::tr("fork() failed; errno = %1 (%2)")
                .arg(error)
                .arg(QString::fromLocal8Bit(std::strerror(error))),
            QMessageBox::Ok);
        return;
    }
    if (child == 0) {
        char buffer[1024];
        pid_t const grandchild = ::fork();
        if (grandchild < 0) {
            int const error = errno;
            std::snprintf(buffer, sizeof buffer, "second fork() failed; errno = %u (%s)\n",
                unsigned(error), std::strerror(error));
            report(buffer);
            ::_exit(1);
        }
        if (grandchild == 0) {
            Interrupt::unblockSignals(); // the viewer can be stopped as usual
            ::execv(argv[0], argv);
            int const error = errno;
            std::snprintf(buffer, sizeof buffer, "execv(\"%s\", ...) failed; errno = %u (%s)\n",
                argv[0], unsigned(error), std::strerror(error));
            report(buffer);
            ::_exit(1);
        }
        ::_exit(0);
    }
    // The child leaves at once; reaping it leaves the grandchild to init.
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) { }
}

QString Execute::open(QWidget* parent, QString const& helper, QStringList const& arguments)
{
    QString const program = Share::absolute(helper);
    QProcess check;
    check.setChildProcessModifier([] { Interrupt::unblockSignals(); });
    check.start(program, {QStringLiteral("--check")});
    // The check only looks at the environment: it answers at once.
    if (!check.waitForStarted(10000))
        return QObject::tr("%1 cannot be run: %2").arg(program, check.errorString());
    if (!check.waitForFinished(10000)) {
        check.kill();
        check.waitForFinished();
        return QObject::tr("%1 did not answer").arg(program);
    }
    if (check.exitStatus() != QProcess::NormalExit || check.exitCode() != 0) {
        QString const reason = QString::fromLocal8Bit(check.readAllStandardError()).trimmed();
        return reason.isEmpty()
            ? QObject::tr("%1 refused, with status %2").arg(program).arg(check.exitCode())
            : reason;
    }
    QList<QByteArray> vector {QFile::encodeName(program)};
    for (QString const& argument : arguments)
        vector << argument.toLocal8Bit();
    std::vector<char*> argv;
    for (QByteArray& item : vector)
        argv.push_back(item.data());
    argv.push_back(nullptr);
    execute(parent, argv.data());
    return QString();
}
