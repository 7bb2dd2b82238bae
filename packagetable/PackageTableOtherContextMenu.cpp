// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableOtherContextMenu.h"

#include "base/Share.h"
#include "packagetable/PackageTableModel.h"
#include "packagetable/PackageTableVersionActions.h"

namespace PackageTable {

OtherContextMenu::OtherContextMenu(Model* model, QWidget* view)
    : model(model)
    , view(view)
{
    setObjectName(QStringLiteral("otherContextMenu"));
    setAccessibleName(tr("Package"));
    describeAction = addAction(tr("&Describe"), this, &OtherContextMenu::handleDescribeAction);
    browseAction = addAction(tr("Browse Repository"), this, &OtherContextMenu::handleBrowseAction);
    describeAction->setObjectName(QStringLiteral("describeAction"));
    browseAction->setObjectName(QStringLiteral("browseAction"));
    addSeparator();
    versionActions = new VersionActions(model, this);
    addSeparator();
    holdAction = addAction(QIcon(Share::absolute(QStringLiteral("icons/held.png"))), QString(),
        this, &OtherContextMenu::handleHoldAction);
    holdAction->setObjectName(QStringLiteral("holdAction"));
}

QAction* OtherContextMenu::exec(QModelIndex const& sourceIndex, QPoint const& globalPos)
{
    index = sourceIndex;
    browseAction->setVisible(sourceIndex.isValid() && sourceIndex.column() == RepositoryColumn);
    versionActions->prepare(sourceIndex);
    bool const installed = sourceIndex.isValid() && sourceIndex.row() < model->rowCount()
        && model->getState(sourceIndex.row()) != Package::Available
        && model->entry(sourceIndex.row())->kind != Package::Group;
    bool const held = model->isHeld(sourceIndex);
    holdAction->setText(held ? tr("Release &Hold") : tr("&Hold at Installed Version"));
    holdAction->setToolTip(held ? tr("Let the package be updated and downgraded again")
                                : tr("Keep the package at its installed version: it is not "
                                     "updated, by this program or by dnf, until released"));
    holdAction->setEnabled(installed);
    return QMenu::exec(globalPos);
}

void OtherContextMenu::handleDescribeAction()
{
    model->describe(index, view);
}

void OtherContextMenu::handleBrowseAction()
{
    model->browse(index, view);
}

void OtherContextMenu::handleHoldAction()
{
    model->setHold(index, !model->isHeld(index));
}

} // namespace PackageTable

#include "moc_PackageTableOtherContextMenu.cpp"
