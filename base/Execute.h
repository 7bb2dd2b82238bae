// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace Execute {

// Starts argv[0] with argv (null-terminated) as a detached process and returns
// at once. The launched program is a grandchild, so it never becomes a zombie
// of this process. A failed fork is reported in a message box over parent.
void execute(QWidget* parent, char* const* argv);

// Opens something through a helper program of the share directory
// (webbrowser or mimeviewer) with the arguments given. The helper is asked
// first ("--check") whether it can open anything here: it runs no browser
// as root, and needs the desktop's opener. An empty text when the helper was
// started; otherwise why it was not (the helper's own words when it said).
QString open(QWidget* parent, QString const& helper, QStringList const& arguments);

} // namespace Execute
