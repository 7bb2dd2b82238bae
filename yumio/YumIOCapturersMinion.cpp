// SPDX-License-Identifier: GPL-2.0-or-later
#include "yumio/YumIOCapturersMinion.h"

#include "yumio/YumIO.h"

#include <QDeadlineTimer>
#include <QSocketNotifier>

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace {

// How long the end of a capture waits for more output from a writer that
// still holds its end, after the last output and in all; what such a writer
// says later is read in the GUI thread.
constexpr int quietMs = 500;
constexpr int finishMs = 5000;

} // namespace

YumIOCapturersMinion::YumIOCapturersMinion(YumIO* engine, int stdoutFd, int stderrFd)
    : engine(engine)
    , out {stdoutFd, true}
    , err {stderrFd, false}
{
}

YumIOCapturersMinion::~YumIOCapturersMinion()
{
    for (Stream* stream : {&out, &err}) {
        delete stream->notifier;
        if (stream->fd >= 0)
            ::close(stream->fd);
    }
}

// Queued by the front when the capture starts; after a capture that ended
// first it only watches what a writer still holds open.
void YumIOCapturersMinion::initialize()
{
    for (Stream* stream : {&out, &err}) {
        if (stream->notifier || stream->fd < 0)
            continue;
        stream->notifier = new QSocketNotifier(stream->fd, QSocketNotifier::Read);
        connect(stream->notifier, &QSocketNotifier::activated, this,
            stream->isStdout ? &YumIOCapturersMinion::readStdout
                             : &YumIOCapturersMinion::readStderr);
    }
    resume();
}

void YumIOCapturersMinion::readStdout()
{
    read(out);
}

void YumIOCapturersMinion::readStderr()
{
    read(err);
}

void YumIOCapturersMinion::read(Stream& stream)
{
    if (!readMutex.tryLock()) {
        // The worker reads the rest and hands the pipes back when it is
        // done; until then the notifier would only fire again and again.
        if (finishing && stream.notifier)
            stream.notifier->setEnabled(false);
        return;
    }
    drain(stream);
    bool const ended = stream.ended;
    readMutex.unlock();
    if (ended && stream.notifier)
        stream.notifier->setEnabled(false);
    if (finished && out.ended && err.ended)
        deleteLater();
}

// Reads what the pipe holds now; true when anything came. Called with the
// read lock held.
bool YumIOCapturersMinion::drain(Stream& stream)
{
    if (stream.fd < 0 || stream.ended)
        return false;
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        ssize_t const n = ::read(stream.fd, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || errno != EAGAIN)
            stream.ended = true; // no writer is left, or the pipe failed
        break;
    }
    if (bytes.isEmpty())
        return false;
    // A character split between two reads is completed by the next one.
    QString const text = stream.decoder.decode(bytes);
    if (YumIO* target = engine.data()) {
        if (stream.isStdout)
            target->writeStdout(text);
        else
            target->writeStderr(text);
    }
    return true;
}

void YumIOCapturersMinion::finish()
{
    finishing = true;
    {
        QMutexLocker locker(&readMutex);
        finishReading();
    }
    finishing = false;
    finished = true;
    // Back to the GUI thread: delete, or read what a writer still says.
    QMetaObject::invokeMethod(this, &YumIOCapturersMinion::resume, Qt::QueuedConnection);
}

// What the writers wrote before the capture ended, and what they go on
// writing for as long as they keep at it, is read here on the worker: the
// capture's end is where the transaction's output is expected in full.
void YumIOCapturersMinion::finishReading()
{
    QDeadlineTimer const end(finishMs);
    QDeadlineTimer quiet(quietMs);
    while (!(out.ended && err.ended) && !end.hasExpired() && !quiet.hasExpired()) {
        pollfd fds[2];
        nfds_t count = 0;
        for (Stream* stream : {&out, &err}) {
            if (!stream->ended)
                fds[count++] = pollfd {stream->fd, POLLIN, 0};
        }
        int const wait = int(qMin(quiet.remainingTime(), end.remainingTime()));
        if (::poll(fds, count, wait) < 0 && errno != EINTR)
            break;
        bool const outCame = drain(out);
        bool const errCame = drain(err);
        if (outCame || errCame)
            quiet.setRemainingTime(quietMs);
    }
}

void YumIOCapturersMinion::resume()
{
    if (!finished)
        return; // the capture runs: the notifiers read
    if (out.ended && err.ended) {
        deleteLater();
        return;
    }
    for (Stream* stream : {&out, &err}) {
        if (stream->notifier)
            stream->notifier->setEnabled(!stream->ended);
    }
}
