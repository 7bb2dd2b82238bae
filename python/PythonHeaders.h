// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// Python's headers use "slots" as a field name, which Qt defines as a macro.
// Every file that needs the interpreter's C interface includes this one.
#pragma push_macro("slots")
#undef slots
#include <Python.h>
#pragma pop_macro("slots")
