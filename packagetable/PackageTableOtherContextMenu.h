// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QMenu>
#include <QModelIndex>

namespace PackageTable {

class Model;

// The pop-up menu of every column but Action: describe the entry, and
// browse its repository from the Repository column.
class OtherContextMenu : public QMenu
{
    Q_OBJECT

public:
    OtherContextMenu(Model* model, QWidget* view);

    QAction* exec(QModelIndex const& sourceIndex, QPoint const& globalPos);

protected slots:
    void handleDescribeAction();
    void handleBrowseAction();

private:
    Model* model;
    QWidget* view;
    QModelIndex index;
    QAction* describeAction;
    QAction* browseAction;
};

} // namespace PackageTable
