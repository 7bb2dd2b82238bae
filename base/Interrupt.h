// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <functional>

// The signals that ask a program to end (SIGINT, SIGTERM, SIGHUP, SIGQUIT),
// taken by one listening thread instead of handlers: the download library
// replaces a SIGINT handler while it transfers and swallows the signal, rpm
// installs its own during a transaction, and a terminal that goes away or a
// quit key must not end the process halfway through a transaction either.
namespace Interrupt {

// Blocks these signals in the calling thread and so in every thread it
// creates afterwards: call first thing in main.
void blockSignals();
// Undoes blockSignals() in a child process before it runs another program.
void unblockSignals();
// Starts the thread that waits for the signals; onSignal is then run in the
// application's thread for each (a signal that came before is taken then).
void startListener(std::function<void()> onSignal);

} // namespace Interrupt
