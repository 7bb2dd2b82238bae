// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

class QWidget;

namespace Execute {

// Starts argv[0] with argv (null-terminated) as a detached process and returns
// at once. The launched program is a grandchild, so it never becomes a zombie
// of this process. A failed fork is reported in a message box over parent.
void execute(QWidget* parent, char* const* argv);

} // namespace Execute
