// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

class QApplication;

// Installs the program's preferred widget style unless the user chose one,
// on the command line or in the toolkit's own settings.
class DefaultStyle
{
public:
    // Reads the untouched argument vector, before QApplication strips it.
    DefaultStyle(int argc, char** argv);

    // Installs the named style and its standard palette when the user chose
    // none and the style exists; otherwise the toolkit's default stays.
    void set(QApplication& app, QString const& name);

    bool userChosen() const { return chosen; }

private:
    bool chosen = false;
};
