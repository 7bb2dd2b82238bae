// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableActionContextMenu.h"

#include "base/Share.h"
#include "packagetable/PackageTableModel.h"
#include "packagetable/PackageTableVersionActions.h"

namespace PackageTable {

ActionContextMenu::ActionContextMenu(Model* model)
    : model(model)
{
    setObjectName(QStringLiteral("actionContextMenu"));
    setAccessibleName(tr("Action"));
    updateAction = addAction(QIcon(Share::absolute(QStringLiteral("icons/update.png"))),
        tr("&Update"), this, &ActionContextMenu::handleUpdateAction);
    installAction = addAction(QIcon(Share::absolute(QStringLiteral("icons/install.png"))),
        tr("&Install"), this, &ActionContextMenu::handleInstallAction);
    removeAction = addAction(QIcon(Share::absolute(QStringLiteral("icons/remove.png"))),
        tr("&Remove"), this, &ActionContextMenu::handleRemoveAction);
    noneAction = addAction(QIcon(), tr("&No Action"), this, &ActionContextMenu::handleNoneAction);
    updateAction->setObjectName(QStringLiteral("updateAction"));
    installAction->setObjectName(QStringLiteral("installAction"));
    removeAction->setObjectName(QStringLiteral("removeAction"));
    noneAction->setObjectName(QStringLiteral("noneAction"));
    addSeparator();
    versionActions = new VersionActions(model, this);
}

QAction* ActionContextMenu::exec(QModelIndex const& sourceIndex, QPoint const& globalPos)
{
    index = sourceIndex;
    Package::State const state = sourceIndex.isValid() && sourceIndex.row() < model->rowCount()
        ? model->getState(sourceIndex.row())
        : Package::Installed;
    // A held package is not updated.
    updateAction->setEnabled(state == Package::Updatable && !model->isHeld(sourceIndex));
    installAction->setEnabled(state == Package::Available);
    removeAction->setEnabled(state != Package::Available);
    noneAction->setEnabled(true);
    versionActions->prepare(sourceIndex);
    return QMenu::exec(globalPos);
}

void ActionContextMenu::handleUpdateAction()
{
    model->setAction(index, Package::Update);
}

void ActionContextMenu::handleInstallAction()
{
    model->setAction(index, Package::Install);
}

void ActionContextMenu::handleRemoveAction()
{
    model->setAction(index, Package::Remove);
}

void ActionContextMenu::handleNoneAction()
{
    model->setAction(index, Package::None);
}

} // namespace PackageTable

#include "moc_PackageTableActionContextMenu.cpp"
