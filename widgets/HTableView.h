// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QModelIndexList>
#include <QStyleOptionViewItem>
#include <QTableView>

// A table view that sizes itself to its contents: its size hint asks for
// exactly the width of its columns and a fixed number of rows, and
// resizeColumnsToContents() grows the window to show the widened columns.
// Tab leaves it; the arrow keys move within it.
class HTableView : public QTableView
{
public:
    HTableView(QStyleOptionViewItem::Position decorationPosition, int minRows, int maxRows,
        QWidget* parent = nullptr);

    int frameOnlyAroundContentsPixels() const;
    QSize sizeHint() const override;

    // The widest cell of the column over every row of the model (not only
    // the rows in view); -1 without a model.
    int sizeHintForColumn(int column) const override;

    // Sizes every column to its contents, then lets the window grow (never
    // shrink) to show them, up to nine tenths of the screen.
    void resizeColumnsToContents();

    // Sorts by the column: keeps the header's order when the indicator is
    // already on it, ascending otherwise.
    void sortByColumn(int column);
    void sortByColumn(int column, Qt::SortOrder order);

    // One index per selected row (in the range's leftmost column), in
    // selection order; a row selected twice is listed twice.
    QModelIndexList selectedRows() const;

protected:
    void initViewItemOption(QStyleOptionViewItem* option) const override;

    // Lets the window around the view grow to its new size hint.
    void growWindow();

private:
    QStyleOptionViewItem::Position decorationPosition;
    mutable int minRows;
    mutable int maxRows;
};
