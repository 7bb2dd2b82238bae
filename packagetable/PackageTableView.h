// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "packagetable/PackageTable.h"
#include "widgets/HTableView.h"

#include <vector>

class YumIO;

namespace PackageTable {

class ActionContextMenu;
class Model;
class OtherContextMenu;
class SortFilterProxyModel;

// The package table on screen. Everything that leaves the view (to the
// model, the menus or the main window) is in source rows, the engine's
// entry indexes.
class View : public HTableView
{
    Q_OBJECT

public:
    View(Model* model, StateFilter stateFilter, bool groupsFilter, YumIO* yumIO,
        QWidget* parent = nullptr);

    void setMode(Mode mode);
    void setFilter(bool on);
    void stateFilterChanged(StateFilter stateFilter);
    void groupsFilterChanged(bool groupsFilter);
    void filtersearch(QString const& pattern);

    QModelIndexList selectedRows() const;
    int sizeHintForColumn(int column) const override;

    // The keyboard's way to sort: one checkable action per column, in the
    // model's column order, with the shortcuts Ctrl+1 to Ctrl+9 and Ctrl+0; the sort
    // column's action is checked.
    QList<QAction*> const& sortActions() const { return sortActionList; }

    Model* packageModel() const { return packages; }
    SortFilterProxyModel* proxyModel() const { return proxy; }
    // The source row shown at a row of the view, -1 for none.
    int sourceRow(int viewRow) const;
    // Whether rows can be marked and their menus opened: not while the rows
    // of the cache are shown before the package manager has loaded.
    void setMarksAllowed(bool allowed) { marksAllowed = allowed; }

signals:
    void currentChanged(int currentRow, int previousRow);
    void stateChanged(int row);

public slots:
    void resizeColumnsToContents();
    void describe();
    // Sorts as a click on the column's header does: ascending on a new sort
    // column, the order reversed on the current one.
    void sortBy(int column);
    // Sorts by the column in the order given.
    void setSort(int column, Qt::SortOrder order);

protected slots:
    void handleHorizontalHeaderClicked(int column);
    void handleActivated(QModelIndex const& ix);
    void handleCustomContextMenuRequested(QPoint const& pos);
    void currentChanged(QModelIndex const& current, QModelIndex const& previous) override;

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int textAdvance(QFontMetrics const& metrics, QString const& text) const;
    void announceCurrent();

    Model* packages; // the source model, not owned
    SortFilterProxyModel* proxy;
    ActionContextMenu* actionMenu = nullptr;
    OtherContextMenu* otherMenu = nullptr;
    QList<QAction*> sortActionList;
    int reportedRow = -1; // the current source row last announced
    bool marksAllowed = true;
    bool keepingCurrent = false; // the current row is restored after a reset
    mutable std::vector<short> charAdvances; // by UTF-16 code unit, -1 unknown
    mutable QFont advanceFont;
    // Approximate text widths of every entry by column, for one collection
    // and font.
    mutable std::vector<int> textWidths[ColumnCount];
    mutable unsigned widthGeneration = 0;
};

} // namespace PackageTable
