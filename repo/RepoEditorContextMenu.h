// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QMenu>
#include <QModelIndex>

namespace RepoEditor {

class Model;

// The pop-up menu of the editor's table: Edit and Browse Repository for the
// row it was opened on (nothing when it was opened away from any row).
class ContextMenu : public QMenu
{
    Q_OBJECT

public:
    ContextMenu(Model* model, QWidget* widget);

    // Runs the menu at the global position for the model index.
    void exec(QModelIndex const& index, QPoint const& pos);

signals:
    void edit(QModelIndex const& ix);

public slots:
    void edit();
    void browse();

private:
    Model* model = nullptr;
    QWidget* widget = nullptr;
    QModelIndex menuIndex;
};

} // namespace RepoEditor
