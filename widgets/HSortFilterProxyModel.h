// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QSortFilterProxyModel>

class HAbstractTableModel;

// A sort and filter proxy that compares cells by the type of their value
// and orders equal cells by a fixed secondary column. Every change of
// filter resets the source model and sorts again by the current column.
class HSortFilterProxyModel : public QSortFilterProxyModel
{
public:
    HSortFilterProxyModel(int secondarySortColumn, QObject* parent = nullptr);

    void setSourceModel(HAbstractTableModel* model);
    HAbstractTableModel* sourceTableModel() const { return source; }
    int getSecondarySortColumn() const { return secondarySortColumn; }

    // The filter operations: each refilters, resets the source model and
    // sorts again by sortColumn() and sortOrder().
    void filterChanged();
    void clear();
    void setFilterRegularExpression(QString const& pattern);
    void setFilterRegularExpression(QRegularExpression const& expression);

protected:
    bool lessThan(QModelIndex const& left, QModelIndex const& right) const override;
    QModelIndex createSecondarySortIndex(QModelIndex const& index) const;

    // The reset and the sort that follow every filter change.
    void rediscover();

private:
    int secondarySortColumn;
    HAbstractTableModel* source = nullptr;
};
