// SPDX-License-Identifier: GPL-2.0-or-later
#include "yumio/YumIOCapturersMinion.h"

#include "yumio/YumIO.h"

#include <QMutexLocker>
#include <QSocketNotifier>

#include <cerrno>
#include <unistd.h>

YumIOCapturersMinion::YumIOCapturersMinion(YumIO* engine, int stdoutFd, int stderrFd)
    : engine(engine)
    , stdoutFd(stdoutFd)
    , stderrFd(stderrFd)
{
}

YumIOCapturersMinion::~YumIOCapturersMinion()
{
    readStdout();
    readStderr();
    delete stdoutNotifier;
    delete stderrNotifier;
    if (stdoutFd >= 0)
        ::close(stdoutFd);
    if (stderrFd >= 0)
        ::close(stderrFd);
}

void YumIOCapturersMinion::initialize()
{
    if (!initialized) {
        initialized = true;
        stdoutNotifier = new QSocketNotifier(stdoutFd, QSocketNotifier::Read);
        stderrNotifier = new QSocketNotifier(stderrFd, QSocketNotifier::Read);
        connect(
            stdoutNotifier, &QSocketNotifier::activated, this, &YumIOCapturersMinion::readStdout);
        connect(
            stderrNotifier, &QSocketNotifier::activated, this, &YumIOCapturersMinion::readStderr);
    }
    active = true;
}

void YumIOCapturersMinion::deactivate()
{
    if (!active.exchange(false))
        return;
    // QObject::disconnect is safe from another thread.
    disconnect(stdoutNotifier, nullptr, this, nullptr);
    disconnect(stderrNotifier, nullptr, this, nullptr);
    readStdout();
    readStderr();
}

void YumIOCapturersMinion::readStdout()
{
    drain(stdoutFd, stdoutDecoder, true);
}

void YumIOCapturersMinion::readStderr()
{
    drain(stderrFd, stderrDecoder, false);
}

void YumIOCapturersMinion::drain(int fd, QStringDecoder& decoder, bool isStdout)
{
    QMutexLocker locker(&readMutex);
    if (fd < 0)
        return;
    QByteArray bytes;
    char buffer[8192];
    for (;;) {
        ssize_t const n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break; // empty (EAGAIN), closed, or failed
    }
    if (bytes.isEmpty())
        return;
    // A character split between two reads is completed by the next one.
    QString const text = decoder.decode(bytes);
    if (isStdout)
        engine->writeStdout(text);
    else
        engine->writeStderr(text);
}
