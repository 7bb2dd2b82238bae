// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableStatusLine.h"

#include "packagetable/PackageTableModel.h"
#include "yumio/YumIO.h"

#include <QTimer>

namespace PackageTable {

StatusLine::StatusLine(Model* model, QWidget* parent)
    : QLabel(parent)
    , model(model)
{
    setObjectName(QStringLiteral("statusLine"));
    setAccessibleName(tr("Package counts"));
    setTextFormat(Qt::PlainText);
    // Marking every update changes hundreds of rows: the counts are made
    // once afterwards.
    connect(model, &QAbstractItemModel::modelReset, this, &StatusLine::schedule);
    connect(model, &QAbstractItemModel::dataChanged, this, &StatusLine::schedule);
    refresh();
}

StatusLine::Counts StatusLine::counts() const
{
    Counts counts;
    int const rows = model->rowCount();
    for (int row = 0; row < rows; ++row) {
        Package::Entry const& e = *model->entry(row);
        if (e.action != Package::None) {
            ++counts.marked;
            if (e.kind != Package::Group
                && (e.action == Package::Install || e.action == Package::Update))
                counts.download += e.sizeBytes;
        }
        if (e.kind == Package::Group)
            continue;
        switch (e.state) {
        case Package::Updatable:
            ++counts.updatable;
            ++counts.installed;
            if (e.advisoryKind == Package::SecurityAdvisory)
                ++counts.security;
            break;
        case Package::Installed:
            ++counts.installed;
            break;
        case Package::Available:
            ++counts.available;
            break;
        }
    }
    return counts;
}

void StatusLine::schedule()
{
    if (scheduled)
        return;
    scheduled = true;
    QTimer::singleShot(0, this, [this] {
        if (scheduled)
            refresh();
    });
}

void StatusLine::refresh()
{
    scheduled = false;
    // Nothing is counted before the first collection.
    if (model->generation() == 0) {
        clear();
        return;
    }
    Counts const c = counts();
    QString updatable = tr("Updatable: %1").arg(c.updatable);
    if (c.security > 0)
        updatable = tr("Updatable: %1 (%2 security)").arg(c.updatable).arg(c.security);
    QString marked = tr("Marked: %1").arg(c.marked);
    if (c.download > 0)
        marked
            = tr("Marked: %1 (%2 to download)").arg(c.marked).arg(YumIO::bytesFormat(c.download));
    setText(tr("%1    Installed: %2    Available: %3    %4")
                .arg(updatable)
                .arg(c.installed)
                .arg(c.available)
                .arg(marked));
}

} // namespace PackageTable

#include "moc_PackageTableStatusLine.cpp"
