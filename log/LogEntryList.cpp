// SPDX-License-Identifier: GPL-2.0-or-later
// Log::EntryList is declared in Log.h and needs no code of its own; its
// meta-object is compiled here so that users of the log link it without the
// engine's meta-objects.
#include "log/Log.h"

#include "moc_Log.cpp"
