// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QMutex>
#include <QObject>
#include <QStringDecoder>

#include <atomic>

class QSocketNotifier;
class YumIO;

// Reads the capture pipes in the GUI thread and hands what arrives to the
// engine's output line assembly.
class YumIOCapturersMinion : public QObject
{
    Q_OBJECT

public:
    YumIOCapturersMinion(YumIO* engine, int stdoutFd, int stderrFd);
    ~YumIOCapturersMinion() override;

    // Called by the front on the worker when the capture ends: no more
    // notifications, and what is still in the pipes is read now.
    void deactivate();

public slots:
    void initialize();
    void readStdout();
    void readStderr();

private:
    void drain(int fd, QStringDecoder& decoder, bool isStdout);

    YumIO* engine;
    std::atomic<bool> active {false};
    bool initialized = false;
    int stdoutFd;
    int stderrFd;
    QSocketNotifier* stdoutNotifier = nullptr;
    QSocketNotifier* stderrNotifier = nullptr;
    QStringDecoder stdoutDecoder {QStringDecoder::Utf8};
    QStringDecoder stderrDecoder {QStringDecoder::Utf8};
    QMutex readMutex; // the final reads on the worker and the notifiers' reads
};
