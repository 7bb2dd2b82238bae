// SPDX-License-Identifier: GPL-2.0-or-later
#include "yumio/YumIOCapturers.h"

#include "base/Globals.h"
#include "yumio/YumIO.h"
#include "yumio/YumIOCapturersMinion.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

void closeIfOpen(int& fd)
{
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

QThread* guiThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return app ? app->thread() : QThread::currentThread();
}

} // namespace

YumIOCapturers::YumIOCapturers(YumIO* engine)
    : engine(engine)
{
    savedStdout = ::dup(1);
    savedStderr = ::dup(2);
    // Only descriptors 1 and 2 (dup2 clears the flag) lead into the pipes in
    // the programs rpm starts: no other copy may keep a pipe open.
    if (::pipe2(stdoutPipe, O_CLOEXEC) != 0 || ::pipe2(stderrPipe, O_CLOEXEC) != 0) {
        engine->error(tr("Unable to open pipe to capture rpm transaction output"));
        return;
    }
    bool const stdoutRedirected = ::dup2(stdoutPipe[1], 1) >= 0;
    if (!stdoutRedirected || ::dup2(stderrPipe[1], 2) < 0) {
        // Half a capture has no reader: descriptor 1 would lead into a pipe
        // that fills up and then blocks every writer.
        if (stdoutRedirected)
            ::dup2(savedStdout, 1);
        engine->error(tr("Unable to dup2 pipe to capture rpm transaction output"));
        return;
    }
    ::fcntl(stdoutPipe[0], F_SETFL, ::fcntl(stdoutPipe[0], F_GETFL) | O_NONBLOCK);
    ::fcntl(stderrPipe[0], F_SETFL, ::fcntl(stderrPipe[0], F_GETFL) | O_NONBLOCK);

    // The minion owns the read ends from here on.
    minion = new YumIOCapturersMinion(engine, stdoutPipe[0], stderrPipe[0]);
    stdoutPipe[0] = -1;
    stderrPipe[0] = -1;
    minion->moveToThread(guiThread());
    QMetaObject::invokeMethod(minion, "initialize", Qt::QueuedConnection);
}

YumIOCapturers::~YumIOCapturers()
{
    // What rpm's scripts wrote through the C library's buffered streams
    // (a Lua print, for one) belongs in the pipes, not after them.
    std::fflush(stdout);
    std::fflush(stderr);
    bool restored = true;
    if (savedStdout >= 0 && ::dup2(savedStdout, 1) < 0)
        restored = false;
    if (savedStderr >= 0 && ::dup2(savedStderr, 2) < 0)
        restored = false;
    if (!restored) {
        // Descriptors 1 and 2 still lead into the pipes: leave the pipes and
        // the minion in place rather than close them under the writers.
        engine->error(tr("Unable to dup2 to restore stderr"));
        return;
    }
    closeIfOpen(savedStdout);
    closeIfOpen(savedStderr);
    // Without writers the pipes end once drained.
    closeIfOpen(stdoutPipe[1]);
    closeIfOpen(stderrPipe[1]);
    closeIfOpen(stdoutPipe[0]);
    closeIfOpen(stderrPipe[0]);
    if (minion) {
        minion->finish(); // reads the rest; deletes itself once the pipes end
        minion = nullptr;
    }
}
