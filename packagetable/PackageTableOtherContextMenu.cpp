// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableOtherContextMenu.h"

#include "packagetable/PackageTableModel.h"

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
}

QAction* OtherContextMenu::exec(QModelIndex const& sourceIndex, QPoint const& globalPos)
{
    index = sourceIndex;
    browseAction->setVisible(sourceIndex.isValid() && sourceIndex.column() == RepositoryColumn);
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

} // namespace PackageTable

#include "moc_PackageTableOtherContextMenu.cpp"
