// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QMenu>
#include <QModelIndex>

namespace PackageTable {

class Model;
class VersionActions;

// The pop-up menu of every column but Action: describe the entry, browse
// its repository from the Repository column, mark an installed package to
// be reinstalled or downgraded, and hold it at its version or release it.
class OtherContextMenu : public QMenu
{
    Q_OBJECT

public:
    OtherContextMenu(Model* model, QWidget* view);

    QAction* exec(QModelIndex const& sourceIndex, QPoint const& globalPos);

protected slots:
    void handleDescribeAction();
    void handleBrowseAction();
    void handleHoldAction();

private:
    Model* model;
    QWidget* view;
    QModelIndex index;
    QAction* describeAction;
    QAction* browseAction;
    VersionActions* versionActions;
    QAction* holdAction;
};

} // namespace PackageTable
