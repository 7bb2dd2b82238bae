// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/Globals.h"

QApplication* application = nullptr;
char const* program = "vux";
