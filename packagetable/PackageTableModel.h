// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "packagetable/PackageTable.h"
#include "widgets/HAbstractTableModel.h"
#include "yumio/Package.h"

#include <QByteArray>
#include <QColor>
#include <QIcon>
#include <QModelIndexList>
#include <QPointer>

#include <vector>

class QWidget;
class YumConfIO;
class YumIO;

namespace PackageTable {

namespace Describe {
class Dialog;
}

// The engine's entries as a table of ten columns, one row per entry in the
// engine's order. The only thing written back is an entry's action.
class Model : public HAbstractTableModel
{
    Q_OBJECT

public:
    Model(YumIO* yumIO, QObject* parent = nullptr);

    int rowCount(QModelIndex const& parent = QModelIndex()) const override;
    int columnCount(QModelIndex const& parent = QModelIndex()) const override;
    QVariant data(QModelIndex const& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void setYumConfIO(YumConfIO* yumConfIO) { this->yumConfIO = yumConfIO; }
    Package::State getState(int row) const;
    void setAction(QModelIndex const& index, Package::Action action);
    void toggleAction(QModelIndex const& index);
    void setEnabled(bool enabled) { this->enabled = enabled; }
    bool isEnabled() const { return enabled; }
    void describe(QModelIndex const& index, QWidget* parent);
    void browse(QModelIndex const& index, QWidget* parent);

    // Reinstall and downgrade: what the repositories offer the installed
    // package of a row, and a Downgrade mark to one of its older versions.
    Package::Versions versions(QModelIndex const& index) const;
    void setDowngrade(QModelIndex const& index, Package::Version const& version);
    // Holds the installed package of a row at its version, or releases it
    // (the package manager's version lock); a held package loses a mark to
    // update or downgrade it. False when that failed (reported).
    bool setHold(QModelIndex const& index, bool hold);
    // Whether a row's installed package is held (false for other rows).
    bool isHeld(QModelIndex const& index) const;
    // To be called after the engine rebuilt its entries: every proxy and
    // view reads the model anew, and the caches of the old entries go.
    void reset();

    // Counts the changes of what the rows show: the resets that followed a
    // rebuild of the entries, and the switches of setInstalledShown. Caches
    // kept by others compare it.
    unsigned generation() const { return resetCount; }

    // Whether the rows show what a removal takes away: the installed version
    // of an updatable package instead of its update (View Removable). The
    // caller refreshes its views afterwards (the proxy's setStateFilter
    // does).
    void setInstalledShown(bool shown);
    bool installedShown() const { return showInstalled; }
    // The entry whose texts a row shows: the entry itself, or the installed
    // version of an updatable package while installedShown().
    Package::Entry const& shownEntry(Package::Entry const& entry) const
    {
        return showInstalled && entry.state == Package::Updatable && entry.next ? *entry.next
                                                                                : entry;
    }

    // Fast access for the proxy and the view, without variants. Rows must
    // be valid.
    Package::Entry* entry(int row) const;
    QString displayText(Package::Entry const& entry, int column) const;
    // The Advisory column's text: the kind of an update's most pressing
    // advisory, with a security advisory's severity.
    static QString advisoryText(Package::Entry const& entry);
    // The visible texts of columns Name to Build Time joined by blanks, as
    // 8-bit text; kept until the next reset.
    QByteArray const& filterText(int row) const;

    Describe::Dialog* describeDialog() const { return dialog; }
    // The engine whose entries are the rows; null once it is gone.
    YumIO* engine() const;

public slots:
    void setSelected(QModelIndexList const& indices);
    // Mark Update on every row out of date, or on those with a security
    // advisory; a held package is left as it is.
    void setUpdateAll() { markUpdates(false); }
    void setSecurityUpdates() { markUpdates(true); }
    void clearActions();

private:
    void markUpdates(bool securityOnly);
    bool validRow(QModelIndex const& index) const;
    void actionChanged(int row);
    QVariant decoration(Package::Entry const& entry, int column) const;
    QVariant toolTip(Package::Entry const& entry, int column) const;
    QVariant foreground(Package::Entry const& entry) const;

    // Guarded: the window deletes the engine on its way out, and a repaint
    // in between must find no rows rather than freed ones.
    QPointer<YumIO> yumIO;
    YumConfIO* yumConfIO = nullptr;
    Describe::Dialog* dialog = nullptr;
    bool enabled = true;
    bool showInstalled = false;
    unsigned resetCount = 0;
    mutable std::vector<QByteArray> filterTexts;

    QIcon outOfDateIcon;
    QIcon upToDateIcon;
    QIcon noneIcon;
    QIcon updateIcon;
    QIcon installIcon;
    QIcon removeIcon;
    QIcon reinstallIcon;
    QIcon downgradeIcon;
    QIcon heldIcon;
    QIcon suiteIcon;
    QIcon groupIcon;
    QIcon packageIcon;
    QIcon noIcon;

    QColor updatableColor;
    QColor updatableDisabledColor;
    QColor availableColor;
    QColor availableDisabledColor;
    QColor installedColor;
    QColor installedDisabledColor;
};

} // namespace PackageTable
