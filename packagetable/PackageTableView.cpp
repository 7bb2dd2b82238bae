// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableView.h"

#include "packagetable/PackageTableActionContextMenu.h"
#include "packagetable/PackageTableModel.h"
#include "packagetable/PackageTableOtherContextMenu.h"
#include "packagetable/PackageTableSortFilterProxyModel.h"

#include <QActionGroup>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>
#include <climits>

namespace PackageTable {

View::View(Model* model, StateFilter stateFilter, bool groupsFilter, YumIO* yumIO, QWidget* parent)
    : HTableView(QStyleOptionViewItem::Left, 10, INT_MAX, parent)
    , packages(model)
{
    setObjectName(QStringLiteral("packageView"));
    setAccessibleName(tr("Packages"));
    setAccessibleDescription(tr("Packages, groups and suites with their actions; Space changes "
                                "the action of the current row, the menu key opens its menu"));

    proxy = new SortFilterProxyModel(stateFilter, groupsFilter, yumIO, parent);
    proxy->setSourceModel(model);
    setModel(proxy);

    setShowGrid(false);
    setGridStyle(Qt::NoPen);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAlternatingRowColors(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    verticalHeader()->hide();
    // Every row is as high as the first: the view never measures rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    auto* header = new QHeaderView(Qt::Horizontal, this);
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSelectionMode(QAbstractItemView::SingleSelection);
    header->setSelectionBehavior(QAbstractItemView::SelectColumns);
    setHorizontalHeader(header);

    HTableView::sortByColumn(KindColumn, Qt::AscendingOrder);
    proxy->setFilterKeyColumn(KindColumn);

    auto* sortGroup = new QActionGroup(this);
    for (int column = 0; column < ColumnCount; ++column) {
        QAction* action
            = sortGroup->addAction(model->headerData(column, Qt::Horizontal).toString());
        action->setObjectName(QStringLiteral("sortAction%1").arg(column));
        action->setCheckable(true);
        // Ctrl+1 to Ctrl+9, and Ctrl+0 for the tenth.
        action->setShortcut(QKeySequence(tr("Ctrl+%1").arg((column + 1) % 10)));
        action->setToolTip(tr("Sort the table by this column; again to reverse the order"));
        connect(action, &QAction::triggered, this, [this, column] { sortBy(column); });
        sortActionList.append(action);
    }
    sortActionList[KindColumn]->setChecked(true);
    connect(header, &QHeaderView::sortIndicatorChanged, this, [this](int column) {
        if (column >= 0 && column < ColumnCount)
            sortActionList[column]->setChecked(true);
    });

    connect(header, &QHeaderView::sectionClicked, this, &View::handleHorizontalHeaderClicked);
    // Every filter change resets the rows, and the current row goes with
    // them without the item view saying so.
    connect(proxy, &QAbstractItemModel::modelReset, this, [this] {
        if (!keepingCurrent)
            announceCurrent();
    });
    connect(this, &QAbstractItemView::clicked, this, &View::handleActivated);
    connect(
        this, &QWidget::customContextMenuRequested, this, &View::handleCustomContextMenuRequested);
}

void View::setMode(Mode mode)
{
    proxy->setMode(mode);
}

void View::setFilter(bool on)
{
    proxy->setFilter(on);
}

void View::stateFilterChanged(StateFilter stateFilter)
{
    proxy->setStateFilter(stateFilter);
}

void View::groupsFilterChanged(bool groupsFilter)
{
    proxy->setGroupsFilter(groupsFilter);
}

void View::filtersearch(QString const& pattern)
{
    proxy->setFilterRegExp(pattern);
}

int View::sourceRow(int viewRow) const
{
    QModelIndex const source = proxy->mapToSource(proxy->index(viewRow, 0));
    return source.isValid() ? source.row() : -1;
}

QModelIndexList View::selectedRows() const
{
    QModelIndexList rows = HTableView::selectedRows();
    for (QModelIndex& index : rows)
        index = proxy->mapToSource(index);
    return rows;
}

// Tells the main window the current source row when it differs from the
// one it was last told.
void View::announceCurrent()
{
    QModelIndex const current = proxy->mapToSource(currentIndex());
    int const row = current.isValid() ? current.row() : -1;
    if (row != reportedRow) {
        int const previous = reportedRow;
        reportedRow = row;
        emit currentChanged(row, previous);
    }
}

void View::resizeColumnsToContents()
{
    if (!proxy->getFilter()) {
        HTableView::resizeColumnsToContents();
        return;
    }
    // Sizing over every entry switches the filter off and on, which resets
    // the rows twice; the selection and the current cell are carried across
    // through their source rows.
    std::vector<int> selected;
    for (QModelIndex const& index : HTableView::selectedRows())
        selected.push_back(sourceRow(index.row()));
    // The unfiltered pass resets the source model too: rows, not indexes.
    QModelIndex const current = proxy->mapToSource(currentIndex());
    int const currentRow = current.isValid() ? current.row() : -1;
    int const currentColumn = current.column();
    keepingCurrent = true;
    proxy->setFilter(false);
    HTableView::resizeColumnsToContents();
    proxy->setFilter(true);

    std::vector<int> rows;
    for (int const source : selected) {
        QModelIndex const index = proxy->mapFromSource(packages->index(source, 0));
        if (index.isValid())
            rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    QItemSelection selection;
    int const lastColumn = proxy->columnCount() - 1;
    for (size_t first = 0; first < rows.size();) {
        size_t last = first;
        while (last + 1 < rows.size() && rows[last + 1] <= rows[last] + 1)
            ++last;
        selection.select(proxy->index(rows[first], 0), proxy->index(rows[last], lastColumn));
        first = last + 1;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    QModelIndex const shownCurrent = currentRow == -1
        ? QModelIndex()
        : proxy->mapFromSource(packages->index(currentRow, currentColumn));
    selectionModel()->setCurrentIndex(shownCurrent, QItemSelectionModel::NoUpdate);
    if (shownCurrent.isValid())
        scrollTo(shownCurrent);
    keepingCurrent = false;
    announceCurrent();
}

int View::textAdvance(QFontMetrics const& metrics, QString const& text) const
{
    if (charAdvances.empty() || font() != advanceFont) {
        charAdvances.assign(0x10000, -1);
        advanceFont = font();
    }
    int width = 0;
    for (QChar const c : text) {
        short& advance = charAdvances[c.unicode()];
        if (advance < 0)
            advance = short(metrics.horizontalAdvance(c));
        width += advance;
    }
    return width;
}

int View::sizeHintForColumn(int column) const
{
    // Painting or laying out every cell of a large table takes seconds. The
    // texts are ranked by the sum of their characters' advances (cached per
    // character) and only the widest few are measured by the delegate, which
    // sees kerning, icons and margins.
    int const rows = proxy->rowCount();
    if (rows == 0 || column < 0 || column >= ColumnCount)
        return HTableView::sizeHintForColumn(column);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    QAbstractItemDelegate const* delegate = itemDelegateForColumn(column);
    if (!delegate)
        delegate = itemDelegate();

    // The rows in view, as source rows; unfiltered, simply all of them.
    bool const all = !proxy->getFilter() || rows == packages->rowCount();
    auto source = [&](int row) { return all ? row : sourceRow(row); };

    std::vector<std::pair<int, int>> ranked; // (approximate width, source row)
    if (column < NameColumn) {
        // Icon columns: one row per kind of icon is enough.
        bool seen[16] = {};
        for (int row = 0; row < rows; ++row) {
            int const sourceRow = source(row);
            Package::Entry const& e = *packages->entry(sourceRow);
            int const key = column == ActionColumn ? int(e.action)
                : column == StateColumn            ? int(e.state)
                                                   : int(e.kind);
            if (key >= 0 && key < 16 && !seen[key]) {
                seen[key] = true;
                ranked.emplace_back(0, sourceRow);
            }
        }
    } else {
        QFontMetrics const metrics(font());
        if (widthGeneration != packages->generation() || font() != advanceFont) {
            for (auto& widths : textWidths)
                widths.clear();
            widthGeneration = packages->generation();
        }
        std::vector<int>& widths = textWidths[column];
        if (widths.size() != size_t(packages->rowCount())) {
            widths.resize(size_t(packages->rowCount()));
            for (int row = 0; row < packages->rowCount(); ++row)
                widths[size_t(row)]
                    = textAdvance(metrics, packages->displayText(*packages->entry(row), column));
        }
        ranked.reserve(size_t(rows));
        for (int row = 0; row < rows; ++row) {
            int const sourceRow = source(row);
            ranked.emplace_back(widths[size_t(sourceRow)], sourceRow);
        }
        size_t const candidates = std::min<size_t>(ranked.size(), 16);
        std::partial_sort(ranked.begin(), ranked.begin() + long(candidates), ranked.end(),
            [](auto const& a, auto const& b) { return a.first > b.first; });
        ranked.resize(candidates);
    }
    int width = 0;
    for (auto const& candidate : ranked) {
        QModelIndex const index = proxy->mapFromSource(packages->index(candidate.second, column));
        width = std::max(width, delegate->sizeHint(option, index).width());
    }
    return showGrid() ? width + 1 : width;
}

void View::describe()
{
    packages->describe(proxy->mapToSource(currentIndex()), this);
}

void View::sortBy(int column)
{
    QHeaderView const* header = horizontalHeader();
    bool const reverse = header->sortIndicatorSection() == column
        && header->sortIndicatorOrder() == Qt::AscendingOrder;
    HTableView::sortByColumn(column, reverse ? Qt::DescendingOrder : Qt::AscendingOrder);
    proxy->setFilterKeyColumn(column);
}

void View::setSort(int column, Qt::SortOrder order)
{
    HTableView::sortByColumn(column, order);
    proxy->setFilterKeyColumn(column);
}

void View::handleHorizontalHeaderClicked(int column)
{
    HTableView::sortByColumn(column);
    proxy->setFilterKeyColumn(column);
}

void View::handleActivated(QModelIndex const& ix)
{
    if (!marksAllowed || ix.column() != ActionColumn)
        return;
    QModelIndex const source = proxy->mapToSource(ix);
    packages->toggleAction(source);
    emit stateChanged(source.row());
}

void View::handleCustomContextMenuRequested(QPoint const& pos)
{
    if (!marksAllowed)
        return;
    QModelIndex const source = proxy->mapToSource(indexAt(pos));
    QPoint const global = viewport()->mapToGlobal(pos);
    if (source.isValid() && source.column() == ActionColumn) {
        if (!actionMenu)
            actionMenu = new ActionContextMenu(packages);
        actionMenu->exec(source, global);
        emit stateChanged(source.row());
        return;
    }
    if (!otherMenu)
        otherMenu = new OtherContextMenu(packages, this);
    otherMenu->exec(source, global);
    // It marks too (reinstall, downgrade), and a hold drops marks.
    if (source.isValid())
        emit stateChanged(source.row());
}

void View::currentChanged(QModelIndex const& current, QModelIndex const& previous)
{
    HTableView::currentChanged(current, previous);
    if (!keepingCurrent)
        announceCurrent();
}

void View::changeEvent(QEvent* event)
{
    HTableView::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        packages->setEnabled(isEnabled());
        for (QAction* action : sortActionList)
            action->setEnabled(isEnabled());
    }
}

void View::keyPressEvent(QKeyEvent* event)
{
    // The keyboard's way to what a click and a right click do.
    QModelIndex const current = currentIndex();
    bool const menuKey = event->key() == Qt::Key_Menu
        || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (current.isValid() && menuKey) {
        handleCustomContextMenuRequested(visualRect(current).center());
        return;
    }
    // Space on any cell of a row does what a click on its Action cell does:
    // the row alone is selected and its action moves on. (The view's own
    // Space would add the row to the selection.)
    if (current.isValid() && event->key() == Qt::Key_Space
        && event->modifiers() == Qt::NoModifier) {
        selectionModel()->select(
            current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        handleActivated(current.siblingAtColumn(ActionColumn));
        return;
    }
    HTableView::keyPressEvent(event);
}

} // namespace PackageTable

#include "moc_PackageTableView.cpp"
