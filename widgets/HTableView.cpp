// SPDX-License-Identifier: GPL-2.0-or-later
#include "widgets/HTableView.h"

#include "widgets/HItemDelegate.h"
#include "widgets/ScreenBound.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

HTableView::HTableView(
    QStyleOptionViewItem::Position decorationPosition, int minRows, int maxRows, QWidget* parent)
    : QTableView(parent)
    , decorationPosition(decorationPosition)
    , minRows(minRows)
    , maxRows(maxRows)
{
    setItemDelegate(new HItemDelegate(parent ? static_cast<QObject*>(parent) : this));
    // Tab and Shift+Tab leave the table for the window's next and previous
    // control, as everywhere else; the arrow keys move within it.
    setTabKeyNavigation(false);
}

void HTableView::initViewItemOption(QStyleOptionViewItem* option) const
{
    QTableView::initViewItemOption(option);
    option->decorationPosition = decorationPosition;
    option->showDecorationSelected = false;
}

int HTableView::frameOnlyAroundContentsPixels() const
{
    return ScreenBound::frameOnlyAroundContentsPixels(this);
}

QSize HTableView::sizeHint() const
{
    QAbstractItemModel const* itemModel = model();
    if (minRows != maxRows) {
        int const rows = itemModel ? itemModel->rowCount() : 0;
        minRows = std::min(std::max(minRows, rows), maxRows);
        maxRows = minRows;
    }
    int const frame = frameWidth();
    int const last = itemModel ? itemModel->columnCount() - 1 : -1;
    int width = frame + (verticalHeader()->isHidden() ? 0 : verticalHeader()->sizeHint().width());
    if (last >= 0)
        width += columnViewportPosition(last) + columnWidth(last);
    width += frameOnlyAroundContentsPixels() + verticalScrollBar()->sizeHint().width() + frame;

    // Before the first row exists the rows are as high as the header's
    // default section, so an empty table still asks for room.
    bool const hasRows = itemModel && itemModel->rowCount() > 0;
    int const rowHeight
        = hasRows ? QTableView::rowHeight(0) : verticalHeader()->defaultSectionSize();
    int height = frame
        + (horizontalHeader()->isHidden() ? 0 : horizontalHeader()->sizeHint().height())
        + (hasRows ? rowViewportPosition(0) : 0) + rowHeight * minRows + frame;
    return QSize(width, height);
}

int HTableView::sizeHintForColumn(int column) const
{
    QAbstractItemModel const* itemModel = model();
    if (!itemModel)
        return -1;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    QAbstractItemDelegate const* delegate = itemDelegateForColumn(column);
    if (!delegate)
        delegate = itemDelegate();
    int width = 0;
    int const rows = itemModel->rowCount(rootIndex());
    for (int row = 0; row < rows; ++row) {
        QModelIndex const index = itemModel->index(row, column, rootIndex());
        width = std::max(width, delegate->sizeHint(option, index).width());
    }
    return showGrid() ? width + 1 : width;
}

void HTableView::growWindow()
{
    for (QWidget* widget = this; widget; widget = widget->parentWidget()) {
        widget->updateGeometry();
        if (widget->isWindow())
            break;
    }
    QWidget* top = window();
    QSize const wanted = ScreenBound::bound(top, top->sizeHint()).expandedTo(top->size());
    top->resize(wanted);
}

void HTableView::resizeColumnsToContents()
{
    QTableView::resizeColumnsToContents();
    growWindow();
}

void HTableView::sortByColumn(int column)
{
    if (!model())
        return;
    QHeaderView* header = horizontalHeader();
    Qt::SortOrder const order = header->sortIndicatorSection() == column
        ? header->sortIndicatorOrder()
        : Qt::AscendingOrder;
    sortByColumn(column, order);
}

void HTableView::sortByColumn(int column, Qt::SortOrder order)
{
    horizontalHeader()->setSortIndicator(column, order);
    if (model())
        model()->sort(column, order);
}

QModelIndexList HTableView::selectedRows() const
{
    QModelIndexList rows;
    QItemSelectionModel const* selection = selectionModel();
    QAbstractItemModel const* itemModel = model();
    if (!selection || !itemModel)
        return rows;
    for (QItemSelectionRange const& range : selection->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            QModelIndex const index = itemModel->index(row, range.left(), range.parent());
            if (itemModel->flags(index) & Qt::ItemIsSelectable)
                rows.append(index);
        }
    }
    return rows;
}
