// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/Interrupt.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <csignal>
#include <pthread.h>
#include <thread>

namespace {

sigset_t stopSignals()
{
    sigset_t stops;
    sigemptyset(&stops);
    for (int number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        sigaddset(&stops, number);
    return stops;
}

} // namespace

void Interrupt::blockSignals()
{
    sigset_t const stops = stopSignals();
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);
}

void Interrupt::unblockSignals()
{
    sigset_t const stops = stopSignals();
    pthread_sigmask(SIG_UNBLOCK, &stops, nullptr);
}

void Interrupt::startListener(std::function<void()> onSignal)
{
    std::thread([onSignal = std::move(onSignal)] {
        sigset_t const stops = stopSignals();
        for (;;) {
            int number = 0;
            if (sigwait(&stops, &number) != 0)
                continue;
            // The process ends with the application: the thread is left to it.
            if (QCoreApplication* app = QCoreApplication::instance())
                QMetaObject::invokeMethod(app, onSignal, Qt::QueuedConnection);
        }
    }).detach();
}
