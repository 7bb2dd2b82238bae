// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// Pieces shared by the start-up suites: a sandbox root served over HTTP, a
// main window run until its start-up has finished, and the program run as a
// process of its own.

#include "app/MainWindow.h"
#include "base/Globals.h"
#include "base/InstallRoot.h"
#include "config-vux-tests.h"
#include "support/ModalAnswerer.h"
#include "support/Sandbox.h"
#include "yumio/YumIO.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>

namespace StartupSupport {

struct Root
{
    // larder: NAME:PASSWORD the server asks for on larder URLs.
    explicit Root(QString const& larder = QString())
        : server(larder)
    {
    }
    QTemporaryDir dir;
    Sandbox::Server server;
    QString file(QString const& inside = QString()) const
    {
        return dir.path() + QStringLiteral("/root") + inside;
    }
    // Builds the root with scripts/sandbox.py's root options (all
    // repositories by default) and makes it the install root; sets the
    // process globals as main does.
    bool make(QString* error, QStringList const& options = {})
    {
        application = qobject_cast<QApplication*>(QCoreApplication::instance());
        program = "vux";
        QStringList const arguments {
            QStringLiteral("root"), file(), QStringLiteral("--url-base"), server.url()};
        if (!server.isRunning() || Sandbox::run(arguments + options, error).isEmpty())
            return false;
        InstallRoot::set(file());
        return true;
    }
    // The lock files the companion script takes.
    QStringList lockFiles() const
    {
        return {file(QStringLiteral("/var/cache/yum/metadata_lock.pid")),
            file(QStringLiteral("/var/cache/yum/download_lock.pid")),
            file(QStringLiteral("/var/lib/dnf/rpmdb_lock.pid"))};
    }
    // The pid in each of them: 0 where there is no file, -1 for a file
    // without one.
    QList<qint64> lockOwners() const
    {
        QList<qint64> pids;
        for (QString const& name : lockFiles()) {
            QFile lock(name);
            bool number = false;
            qint64 const pid
                = lock.open(QIODevice::ReadOnly) ? lock.readAll().trimmed().toLongLong(&number) : 0;
            pids.append(!lock.exists() ? 0 : number ? pid : -1);
        }
        return pids;
    }
};

inline QWidget* panel(MainWindow& window)
{
    return window.findChild<QWidget*>(QStringLiteral("panel"));
}

// Shows the window and waits until initialize() has run to its end: the
// start has ended after a start, the window is closed after a failed one.
inline bool start(MainWindow& window)
{
    window.show();
    return QTest::qWaitFor([&] { return window.started() || !window.isVisible(); }, 600000);
}

// The program as a process of its own on a root: vux itself or, driven, the
// copy that says on standard error when each moment of its life comes and
// does what VUX_DRIVE asks (tests/app/DrivenProgram.cpp).
class Program
{
public:
    // Starts it on root, with the options; drive is VUX_DRIVE for the driven
    // copy. With pendingSignal, the program begins with that signal already
    // pending, as one that came before it could take it.
    bool start(Root const& root, bool driven = false, QString const& drive = QString(),
        int pendingSignal = 0, QStringList const& options = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.insert(QStringLiteral("VUX_DRIVE"), drive);
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        process.setChildProcessModifier([pendingSignal] {
            // A test that dies takes the program with it.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (pendingSignal != 0) {
                sigset_t set;
                sigemptyset(&set);
                sigaddset(&set, pendingSignal);
                pthread_sigmask(SIG_BLOCK, &set, nullptr);
                raise(pendingSignal);
            }
        });
        process.start(QString::fromLocal8Bit(driven ? VUX_DRIVEN_PROGRAM : VUX_BINARY_DIR "/vux"),
            QStringList {QStringLiteral("--installroot=") + root.file()} + options);
        return process.waitForStarted(30000);
    }
    // One still running ends with SIGKILL, as a crash would end it.
    ~Program()
    {
        if (running()) {
            process.kill();
            process.waitForFinished(30000);
        }
    }
    qint64 pid() const { return process.processId(); }
    bool running() const { return process.state() != QProcess::NotRunning; }

    // Waits until the driven program says it has reached the moment
    // ("ready", "dialog TITLE").
    bool reaches(QString const& moment, int ms = 120000)
    {
        QByteArray const line = "vux-moment: " + moment.toLocal8Bit() + '\n';
        QElapsedTimer clock;
        clock.start();
        while (!said.contains(line) && clock.elapsed() < ms) {
            if (!process.waitForReadyRead(100) && process.state() == QProcess::NotRunning)
                break;
            take();
        }
        take();
        return said.contains(line);
    }

    // Sends the signal; true when the program then ends within ms, of its own
    // accord and with status 0.
    bool endsOn(int signal, int ms = 10000)
    {
        take();
        ::kill(pid_t(process.processId()), signal);
        bool const ended = process.waitForFinished(ms);
        take();
        return ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

private:
    // Reads what it said, and passes it on for the test's own output.
    void take()
    {
        QByteArray const text = process.readAllStandardError();
        std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
        said += text;
    }

    QTemporaryDir runtime;
    QProcess process;
    QByteArray said;
};

struct Ended
{
    int code = -1; // -1: crashed or never ended
    QByteArray out;
    QByteArray err;
};

// Runs the program, without a root of its own, to its end.
inline Ended run(QStringList const& arguments, QProcessEnvironment const& environment)
{
    QProcess vux;
    vux.setProcessEnvironment(environment);
    vux.start(QStringLiteral(VUX_BINARY_DIR "/vux"), arguments);
    Ended ended;
    if (!vux.waitForFinished(60000))
        vux.kill();
    else if (vux.exitStatus() == QProcess::NormalExit)
        ended.code = vux.exitCode();
    ended.out = vux.readAllStandardOutput();
    ended.err = vux.readAllStandardError();
    return ended;
}

} // namespace StartupSupport
