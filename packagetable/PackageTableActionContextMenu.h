// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QMenu>
#include <QModelIndex>

namespace PackageTable {

class Model;
class VersionActions;

// The pop-up menu of the Action column: the actions the entry's state
// allows, "no action", and reinstalling or downgrading an installed
// package.
class ActionContextMenu : public QMenu
{
    Q_OBJECT

public:
    explicit ActionContextMenu(Model* model);

    QAction* exec(QModelIndex const& sourceIndex, QPoint const& globalPos);

protected slots:
    void handleUpdateAction();
    void handleInstallAction();
    void handleRemoveAction();
    void handleNoneAction();

private:
    Model* model;
    QModelIndex index;
    QAction* updateAction;
    QAction* installAction;
    QAction* removeAction;
    QAction* noneAction;
    VersionActions* versionActions;
};

} // namespace PackageTable
