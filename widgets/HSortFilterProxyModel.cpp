// SPDX-License-Identifier: GPL-2.0-or-later
#include "widgets/HSortFilterProxyModel.h"

#include "widgets/HAbstractTableModel.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

HSortFilterProxyModel::HSortFilterProxyModel(int secondarySortColumn, QObject* parent)
    : QSortFilterProxyModel(parent)
    , secondarySortColumn(secondarySortColumn)
{
}

void HSortFilterProxyModel::setSourceModel(HAbstractTableModel* model)
{
    QSortFilterProxyModel::setSourceModel(model);
    source = model;
}

void HSortFilterProxyModel::rediscover()
{
    // The reset of the source drops the proxy's mapping; the mapping built
    // again on the next read filters every row anew, so a separate
    // refiltering pass beforehand would be thrown away.
    if (source)
        source->forceSortColumnRediscovery();
    else
        invalidateFilter();
    sort(sortColumn(), sortOrder());
}

void HSortFilterProxyModel::filterChanged()
{
    rediscover();
}

void HSortFilterProxyModel::clear()
{
    rediscover();
}

void HSortFilterProxyModel::setFilterRegularExpression(QString const& pattern)
{
    QSortFilterProxyModel::setFilterRegularExpression(pattern);
    rediscover();
}

void HSortFilterProxyModel::setFilterRegularExpression(QRegularExpression const& expression)
{
    QSortFilterProxyModel::setFilterRegularExpression(expression);
    rediscover();
}

namespace {

// -1, 0 or 1 as the left value is less than, equal to or greater than the
// right, compared as the type of the left value says.
template <typename T> int compare(T const& left, T const& right)
{
    return left < right ? -1 : (right < left ? 1 : 0);
}

int compareValues(QVariant const& left, QVariant const& right)
{
    switch (left.typeId()) {
    case QMetaType::Int:
        return compare(left.toInt(), right.toInt());
    case QMetaType::UInt:
        return compare(left.toUInt(), right.toUInt());
    case QMetaType::LongLong:
        return compare(left.toLongLong(), right.toLongLong());
    case QMetaType::ULongLong:
        return compare(left.toULongLong(), right.toULongLong());
    case QMetaType::Double:
        return compare(left.toDouble(), right.toDouble());
    case QMetaType::QChar:
        return compare(left.toChar().unicode(), right.toChar().unicode());
    case QMetaType::QDate:
        return compare(left.toDate(), right.toDate());
    case QMetaType::QTime:
        return compare(left.toTime(), right.toTime());
    case QMetaType::QDateTime:
        return compare(left.toDateTime(), right.toDateTime());
    default:
        // Plain code-unit order: case-sensitive and not locale-aware.
        return left.toString().compare(right.toString(), Qt::CaseSensitive);
    }
}

} // namespace

bool HSortFilterProxyModel::lessThan(QModelIndex const& left, QModelIndex const& right) const
{
    QVariant const leftValue = left.model() ? left.data(Qt::DisplayRole) : QVariant();
    QVariant const rightValue = right.model() ? right.data(Qt::DisplayRole) : QVariant();
    int const order = compareValues(leftValue, rightValue);
    if (order < 0)
        return true;
    if (order == 0 && left.column() != secondarySortColumn && left.model() && right.model())
        return lessThan(createSecondarySortIndex(left), createSecondarySortIndex(right));
    return false;
}

QModelIndex HSortFilterProxyModel::createSecondarySortIndex(QModelIndex const& index) const
{
    if (!index.model())
        return QModelIndex();
    return index.model()->index(index.row(), secondarySortColumn, QModelIndex());
}
