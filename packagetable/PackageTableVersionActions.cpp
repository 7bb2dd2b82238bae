// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableVersionActions.h"

#include "base/Share.h"
#include "packagetable/PackageTableModel.h"

#include <QMenu>

namespace PackageTable {

VersionActions::VersionActions(Model* model, QMenu* menu)
    : QObject(menu)
    , model(model)
{
    reinstallAction = menu->addAction(QIcon(Share::absolute(QStringLiteral("icons/reinstall.png"))),
        tr("R&einstall"), this, [this] { this->model->setAction(index, Package::Reinstall); });
    reinstallAction->setObjectName(QStringLiteral("reinstallAction"));
    downgradeMenu = menu->addMenu(
        QIcon(Share::absolute(QStringLiteral("icons/downgrade.png"))), tr("Do&wngrade to"));
    downgradeMenu->setObjectName(QStringLiteral("downgradeMenu"));
    downgradeMenu->menuAction()->setObjectName(QStringLiteral("downgradeAction"));
}

void VersionActions::prepare(QModelIndex const& sourceIndex)
{
    index = sourceIndex;
    downgradeMenu->clear();
    bool const installed = sourceIndex.isValid() && sourceIndex.row() < model->rowCount()
        && model->getState(sourceIndex.row()) != Package::Available
        && model->entry(sourceIndex.row())->kind != Package::Group;
    Package::Versions versions = installed ? model->versions(sourceIndex) : Package::Versions();
    reinstallAction->setEnabled(versions.reinstallable);
    reinstallAction->setToolTip(installed && !versions.reinstallable
            ? tr("No repository has the installed version")
            : QString());
    // A held package keeps its version: the package manager would refuse.
    // An older version installed beside a newer one (an install-only
    // package's) is no package to downgrade.
    bool const held = model->isHeld(sourceIndex);
    if (installed && model->entry(sourceIndex.row())->olderVersion)
        versions.older.clear();
    for (Package::Version const& version : versions.older) {
        QAction* action
            = downgradeMenu->addAction(tr("%1 (%2)").arg(version.version, version.repos), this,
                [this, version] { model->setDowngrade(index, version); });
        action->setObjectName(QStringLiteral("downgradeTo ") + version.version);
    }
    downgradeMenu->menuAction()->setEnabled(!versions.older.isEmpty() && !held);
    downgradeMenu->menuAction()->setToolTip(held    ? tr("The package is held: release it first")
            : versions.older.isEmpty() && installed ? tr("No repository has an older version")
                                                    : QString());
}

} // namespace PackageTable

#include "moc_PackageTableVersionActions.cpp"
