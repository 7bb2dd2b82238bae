// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QStringDecoder>

#include <atomic>

class QSocketNotifier;
class YumIO;

// Reads the capture pipes in the GUI thread and hands what arrives to the
// engine's output line assembly. When the capture ends, the worker reads on
// until every writer has closed its end (while output keeps coming); a
// writer that holds its end longer (a program a package script left running)
// is read in the GUI thread until it closes, and the minion then deletes
// itself.
//
// Reading never waits for the lock that orders the reads: the GUI thread
// skips a read while another is under way (the worker's, or its own further
// up the stack), so no event that a reader lets through can block it.
class YumIOCapturersMinion : public QObject
{
    Q_OBJECT

public:
    YumIOCapturersMinion(YumIO* engine, int stdoutFd, int stderrFd);
    ~YumIOCapturersMinion() override;

    // Called by the front on the worker when the capture ends, after it has
    // closed its own write ends; the minion owns itself from then on.
    void finish();

public slots:
    void initialize();
    void readStdout();
    void readStderr();

private:
    struct Stream
    {
        int fd;
        bool isStdout;
        bool ended = false; // the last writer has closed its end
        QSocketNotifier* notifier = nullptr; // GUI thread only
        QStringDecoder decoder {QStringDecoder::Utf8};
    };

    void read(Stream& stream);
    bool drain(Stream& stream);
    void finishReading();
    void resume();

    QPointer<YumIO> engine;
    Stream out;
    Stream err;
    QMutex readMutex; // orders the reads of the GUI thread and the worker
    std::atomic<bool> finishing {false}; // the worker reads the rest
    std::atomic<bool> finished {false};
};
