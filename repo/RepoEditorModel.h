// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "widgets/HAbstractTableModel.h"

#include <QFont>
#include <QIcon>

class YumConfIO;
class YumIO;

namespace Repo {
struct Entry;
}

namespace RepoEditor {

// The configured repositories, one row per entry of YumConfIO::repos in list
// order: whether each is used in this session (Sess), whether it is
// configured enabled (Perm), its identifier and its name.
class Model : public HAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { SessColumn, PermColumn, IdColumn, NameColumn, ColumnCount };

    Model(YumIO* yumIO, YumConfIO* yumConfIO, QObject* parent = nullptr);

    int rowCount(QModelIndex const& parent = QModelIndex()) const override;
    int columnCount(QModelIndex const& parent = QModelIndex()) const override;
    QVariant data(QModelIndex const& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Appends entry and returns its row.
    int addRow(Repo::Entry const& entry);
    bool removeRow(int row, QModelIndex const& parent = QModelIndex());
    void reset();
    QModelIndex createIndex(int row) const;
    void toggleUse(QModelIndex const& index);
    void toggleEnabled(QModelIndex const& index);
    void browse(QModelIndex const& index, QWidget* parent);
    void dataChanged(int row);
    // The font of the view; "(new)" is shown in its italic form.
    void setViewFont(QFont const& font);

    // Whether the entry is configured enabled: explicitly, or by the main
    // section's default.
    bool isEnabled(Repo::Entry const& entry) const;

signals:
    void useChanged();
    void configChanged();

private:
    bool isRow(QModelIndex const& index) const;

    YumIO* yumIO = nullptr;
    YumConfIO* yumConfIO = nullptr;
    QFont viewFont;
    QIcon noneIcon;
    QIcon checkIcon;
};

} // namespace RepoEditor
