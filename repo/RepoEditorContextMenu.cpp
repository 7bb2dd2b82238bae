// SPDX-License-Identifier: GPL-2.0-or-later
#include "repo/RepoEditorContextMenu.h"

#include "repo/RepoEditorModel.h"

namespace RepoEditor {

ContextMenu::ContextMenu(Model* model, QWidget* widget)
    : model(model)
    , widget(widget)
{
    setObjectName(QStringLiteral("repoContextMenu"));
    addAction(tr("Edit"), this, qOverload<>(&ContextMenu::edit));
    addAction(tr("Browse Repository"), this, &ContextMenu::browse);
}

void ContextMenu::exec(QModelIndex const& index, QPoint const& pos)
{
    menuIndex = index;
    QMenu::exec(pos);
}

void ContextMenu::edit()
{
    if (menuIndex.isValid())
        emit edit(menuIndex);
}

void ContextMenu::browse()
{
    model->browse(menuIndex, widget);
}

} // namespace RepoEditor

#include "moc_RepoEditorContextMenu.cpp"
