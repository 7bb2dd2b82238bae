// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <functional>

// SIGINT and SIGTERM, taken by one listening thread instead of handlers:
// the download library replaces a SIGINT handler while it transfers and
// swallows the signal, and rpm installs its own during a transaction.
namespace Interrupt {

// Blocks both signals in the calling thread and so in every thread it
// creates afterwards: call first thing in main.
void blockSignals();
// Undoes blockSignals() in a child process before it runs another program.
void unblockSignals();
// Starts the thread that waits for the signals; onSignal is then run in the
// application's thread for each.
void startListener(std::function<void()> onSignal);

} // namespace Interrupt
