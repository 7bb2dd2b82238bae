// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "widgets/HTableView.h"

class QSortFilterProxyModel;

namespace RepoEditor {

class ContextMenu;
class Model;

// The table of the repository editor. Rows it reports or takes are rows of
// the model, whatever the sort order: a click on Sess or Perm toggles that
// switch, a double click or Return edits the row.
class View : public HTableView
{
    Q_OBJECT

public:
    explicit View(Model* model, QWidget* parent = nullptr);
    ~View() override;

    int currentRow() const;
    void setCurrentRow(int row);
    QModelIndexList selectedRows() const;
    ContextMenu* getContextMenu();

signals:
    void currentChanged(int currentRow, int previousRow);
    void activated(QModelIndex const& ix);

public slots:
    void handleHorizontalHeaderClicked(int column);
    void handleClicked(QModelIndex const& ix);
    void handleCustomContextMenuRequested(QPoint const& pos);
    void handleActivated(QModelIndex const& ix);

protected slots:
    void currentChanged(QModelIndex const& current, QModelIndex const& previous) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int modelRow(QModelIndex const& proxyIndex) const;

    Model* editorModel = nullptr;
    QSortFilterProxyModel* proxy = nullptr;
    ContextMenu* contextMenu = nullptr;
};

} // namespace RepoEditor
