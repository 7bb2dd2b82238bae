// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QModelIndex>
#include <QObject>

class QAction;
class QMenu;

namespace PackageTable {

class Model;

// The entries of a row's pop-up menu that mark an installed package to be
// reinstalled or downgraded: "Reinstall", and "Downgrade to" with a
// submenu of the older versions the repositories have.
class VersionActions : public QObject
{
    Q_OBJECT

public:
    // Adds the entries to menu (which owns them).
    VersionActions(Model* model, QMenu* menu);

    // Enables the entries for the row about to be shown, with the versions
    // the repositories offer its installed package.
    void prepare(QModelIndex const& sourceIndex);

private:
    Model* model;
    QModelIndex index;
    QAction* reinstallAction;
    QMenu* downgradeMenu;
};

} // namespace PackageTable
