// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

class QApplication;

// The one application object, set by main before the main window is built.
// Workers use its thread as the home of the objects that touch widgets.
extern QApplication* application;

// Base name of argv[0]: usage text, command-line errors and the interpreter's
// sys.argv[0].
extern char const* program;
