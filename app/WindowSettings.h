// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

class QSettings;

// What the main window remembers between runs: its size and place, the
// view (the state shown, groups or not), whether patterns ignore case, the
// sort column and order, and the table's columns (widths and order). Kept
// per user in QSettings' standard place ($XDG_CONFIG_HOME/vux/vux.conf,
// by default ~/.config/vux/vux.conf); a run as root through pkexec or sudo
// keeps root's own.
struct WindowSettings
{
    QByteArray geometry; // empty: the window's own size
    int view = 0; // PackageTable::StateFilter
    bool groups = false;
    bool ignoreCase = false;
    int sortColumn = -1; // -1: the default order
    int sortOrder = 0; // Qt::SortOrder
    QByteArray header; // empty: columns sized to their contents

    // What was saved (defaults where nothing was).
    static WindowSettings load();
    void save() const;
    // Forgets everything saved: the next run starts as the first did.
    static void reset();
    // The file the settings live in.
    static QString fileName();

private:
    static QSettings store();
};
