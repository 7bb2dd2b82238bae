// SPDX-License-Identifier: GPL-2.0-or-later
#include "repo/RepoEditorModel.h"

#include "base/Share.h"
#include "repo/RepoBrowse.h"
#include "repo/RepoEntry.h"
#include "repo/YumConfIO.h"

namespace RepoEditor {

Model::Model(YumIO* yumIO, YumConfIO* yumConfIO, QObject* parent)
    : HAbstractTableModel(parent)
    , yumIO(yumIO)
    , yumConfIO(yumConfIO)
    , noneIcon(Share::absolute(QStringLiteral("icons/noneBox.png")))
    , checkIcon(Share::absolute(QStringLiteral("icons/checkBox.png")))
{
    viewFont.setItalic(true);
}

int Model::rowCount(QModelIndex const& parent) const
{
    return parent.isValid() ? 0 : int(yumConfIO->repos.size());
}

int Model::columnCount(QModelIndex const& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

bool Model::isRow(QModelIndex const& index) const
{
    return index.isValid() && index.row() >= 0 && index.row() < yumConfIO->repos.size();
}

bool Model::isEnabled(Repo::Entry const& entry) const
{
    return entry.enabled == Qt::Checked
        || (entry.enabled == Qt::PartiallyChecked && yumConfIO->defaultEnabled);
}

QVariant Model::data(QModelIndex const& index, int role) const
{
    if (!isRow(index))
        return QVariant();
    Repo::Entry const& entry = yumConfIO->repos.at(index.row());
    switch (index.column()) {
    case SessColumn: {
        bool const used = yumConfIO->sessionUse.value(entry.id, false);
        if (role == Qt::DecorationRole)
            return used ? checkIcon : noneIcon;
        if (role == Qt::ToolTipRole)
            return used ? tr("Repository is enabled for this session")
                        : tr("Repository is not enabled for this session");
        // What a screen reader says for the icon.
        if (role == Qt::AccessibleTextRole)
            return used ? tr("Yes") : tr("No");
        break;
    }
    case PermColumn: {
        bool const enabled = isEnabled(entry);
        if (role == Qt::DecorationRole)
            return enabled ? checkIcon : noneIcon;
        if (role == Qt::ToolTipRole)
            return enabled ? tr("Repository is configured to be enabled")
                           : tr("Repository is not configured to be enabled");
        if (role == Qt::AccessibleTextRole)
            return enabled ? tr("Yes") : tr("No");
        break;
    }
    case IdColumn:
        if (role == Qt::DisplayRole)
            return entry.id.isEmpty() ? tr("(new)") : entry.id;
        if (role == Qt::FontRole && entry.id.isEmpty())
            return viewFont;
        break;
    case NameColumn:
        if (role == Qt::DisplayRole)
            return entry.name;
        break;
    default:
        break;
    }
    return QVariant();
}

QVariant Model::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QVariant();
    if (role == Qt::DisplayRole) {
        switch (section) {
        case SessColumn:
            return tr("Sess");
        case PermColumn:
            return tr("Perm");
        case IdColumn:
            return tr("Identifier");
        case NameColumn:
            return tr("Name");
        default:
            break;
        }
    } else if (role == Qt::ToolTipRole) {
        switch (section) {
        case SessColumn:
            return tr("Whether or not the repository is used during this session.\nIt overrides "
                      "the persistent Enabled flag in the repository configuration.");
        case PermColumn:
            return tr("Whether or not the repository is configured to be enabled by default.\nIt "
                      "can be overridden for a particular session.");
        case IdColumn:
            return tr("Unique identifier for the repository");
        case NameColumn:
            return tr("Description of the repository");
        default:
            break;
        }
    }
    return QVariant();
}

int Model::addRow(Repo::Entry const& entry)
{
    int const row = int(yumConfIO->repos.size());
    beginInsertRows(QModelIndex(), row, row);
    yumConfIO->repos.append(entry);
    endInsertRows();
    return row;
}

bool Model::removeRow(int row, QModelIndex const& parent)
{
    if (parent.isValid() || row < 0 || row >= yumConfIO->repos.size())
        return false;
    beginRemoveRows(parent, row, row);
    yumConfIO->repos.removeAt(row);
    endRemoveRows();
    return true;
}

void Model::reset()
{
    beginResetModel();
    endResetModel();
}

QModelIndex Model::createIndex(int row) const
{
    return index(row, 0);
}

void Model::toggleUse(QModelIndex const& index)
{
    if (!isRow(index))
        return;
    QString const& id = yumConfIO->repos.at(index.row()).id;
    yumConfIO->sessionUse.insert(id, !yumConfIO->sessionUse.value(id, false));
    // Every row of the identifier shows the map's value.
    for (int row = 0; row < yumConfIO->repos.size(); ++row) {
        if (yumConfIO->repos.at(row).id == id)
            emit QAbstractItemModel::dataChanged(
                this->index(row, SessColumn), this->index(row, SessColumn));
    }
    emit useChanged();
}

void Model::toggleEnabled(QModelIndex const& index)
{
    if (!isRow(index))
        return;
    Repo::Entry& entry = yumConfIO->repos[index.row()];
    entry.enabled = isEnabled(entry) ? Qt::Unchecked : Qt::Checked;
    QModelIndex const cell = this->index(index.row(), PermColumn);
    emit QAbstractItemModel::dataChanged(cell, cell);
    emit configChanged();
}

void Model::browse(QModelIndex const& index, QWidget* parent)
{
    if (!isRow(index))
        return;
    RepoBrowse::browse(parent, yumConfIO->repos.at(index.row()), yumIO);
}

void Model::dataChanged(int row)
{
    emit QAbstractItemModel::dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void Model::setViewFont(QFont const& font)
{
    viewFont = font;
    viewFont.setItalic(true);
}

} // namespace RepoEditor

#include "moc_RepoEditorModel.cpp"
