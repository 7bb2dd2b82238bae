// SPDX-License-Identifier: GPL-2.0-or-later
#include "repo/RepoEditorView.h"

#include "repo/RepoEditorContextMenu.h"
#include "repo/RepoEditorModel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QSortFilterProxyModel>

#include <climits>

namespace RepoEditor {

View::View(Model* model, QWidget* parent)
    : HTableView(QStyleOptionViewItem::Left, 1, INT_MAX, parent)
    , editorModel(model)
    , proxy(new QSortFilterProxyModel(this))
{
    setObjectName(QStringLiteral("repoView"));
    setAccessibleName(tr("Repositories"));
    proxy->setSourceModel(editorModel);
    setModel(proxy);
    setShowGrid(false);
    setAlternatingRowColors(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    verticalHeader()->hide();
    auto* header = new QHeaderView(Qt::Horizontal, this);
    setHorizontalHeader(header);
    header->setStretchLastSection(true);
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);

    connect(header, &QHeaderView::sectionClicked, this, &View::handleHorizontalHeaderClicked);
    connect(this, &QAbstractItemView::clicked, this, &View::handleClicked);
    connect(
        this, &QWidget::customContextMenuRequested, this, &View::handleCustomContextMenuRequested);
    connect(this, &QAbstractItemView::doubleClicked, this, &View::handleActivated);
}

// The menu has no parent (a menu's parent would take it for a submenu's).
View::~View()
{
    delete contextMenu;
}

int View::modelRow(QModelIndex const& proxyIndex) const
{
    if (!proxyIndex.isValid())
        return -1;
    return proxy->mapToSource(proxyIndex).row();
}

int View::currentRow() const
{
    return modelRow(currentIndex());
}

void View::setCurrentRow(int row)
{
    QModelIndex const index = proxy->mapFromSource(editorModel->createIndex(row));
    setCurrentIndex(index);
    if (index.isValid())
        scrollTo(index);
}

QModelIndexList View::selectedRows() const
{
    QModelIndexList rows;
    for (QModelIndex const& index : HTableView::selectedRows())
        rows.append(proxy->mapToSource(index));
    return rows;
}

ContextMenu* View::getContextMenu()
{
    if (!contextMenu)
        contextMenu = new ContextMenu(editorModel, this);
    return contextMenu;
}

void View::handleHorizontalHeaderClicked(int column)
{
    sortByColumn(column);
}

void View::handleClicked(QModelIndex const& ix)
{
    QModelIndex const index = proxy->mapToSource(ix);
    if (index.column() == Model::SessColumn)
        editorModel->toggleUse(index);
    else if (index.column() == Model::PermColumn)
        editorModel->toggleEnabled(index);
}

void View::handleCustomContextMenuRequested(QPoint const& pos)
{
    QModelIndex const index = proxy->mapToSource(indexAt(pos));
    if (index.isValid()
        && (index.column() == Model::SessColumn || index.column() == Model::PermColumn))
        return;
    getContextMenu()->exec(index, viewport()->mapToGlobal(pos));
}

void View::handleActivated(QModelIndex const& ix)
{
    emit activated(proxy->mapToSource(ix));
}

void View::currentChanged(QModelIndex const& current, QModelIndex const& previous)
{
    HTableView::currentChanged(current, previous);
    int const currentRow = modelRow(current);
    int const previousRow = modelRow(previous);
    if (currentRow != previousRow)
        emit currentChanged(currentRow, previousRow);
}

// From the keyboard: Space toggles the switch of the current cell, as a click
// does, and Return or Enter edits the current row, as a double click does.
void View::keyPressEvent(QKeyEvent* event)
{
    QModelIndex const current = currentIndex();
    if (current.isValid() && event->modifiers() == Qt::NoModifier) {
        if (event->key() == Qt::Key_Space) {
            handleClicked(current);
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            handleActivated(current);
            return;
        }
    }
    HTableView::keyPressEvent(event);
}

} // namespace RepoEditor

#include "moc_RepoEditorView.cpp"
