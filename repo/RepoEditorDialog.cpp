// SPDX-License-Identifier: GPL-2.0-or-later
#include "repo/RepoEditorDialog.h"

#include "base/Colors.h"
#include "repo/RepoEditorConfigDialog.h"
#include "repo/RepoEditorContextMenu.h"
#include "repo/RepoEditorModel.h"
#include "repo/RepoEditorView.h"
#include "repo/YumConfIO.h"
#include "widgets/HSeparator.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace RepoEditor {

Dialog::Dialog(YumIO* yumIO, YumConfIO* yumConfIO, QWidget* parent)
    : HDialog(parent)
    , parentWidget(parent)
    , yumIO(yumIO)
    , yumConfIO(yumConfIO)
{
    setWindowTitle(tr("VUX Repository Configuration Editor"));
    setModal(true);
    model = new Model(yumIO, yumConfIO, this);
    view = new View(model, this);
    model->setViewFont(view->font());
    configDialog = new ConfigDialog(yumConfIO, this);

    browseButton = dialogButton(tr("Browse Repository"), "browseButton",
        tr("Browse the first URL specified for the selected repository using an external web "
           "browser"));
    editButton
        = dialogButton(tr("Edit"), "editButton", tr("Edit the selected repository configuration"));
    QPushButton* addButton = dialogButton(
        tr("Add"), "addButton", tr("Create a new repository configuration from scratch"));
    addButton->setAutoDefault(false);
    addButton->setDefault(false);
    copyButton = dialogButton(tr("Copy"), "copyButton",
        tr("Create a new repository configuration based on the selected repository"));
    removeButton = dialogButton(
        tr("Remove"), "removeButton", tr("Remove the selected repository configuration"));
    resetAllButton = dialogButton(tr("Reset All"), "resetAllButton",
        tr("Undo changes to all repository configurations since the last Apply or opening of the "
           "dialog"));
    QPushButton* cancelButton = dialogButton(tr("Cancel"), "cancelButton",
        tr("Undo changes to all repository configurations since the last Apply or opening of the "
           "dialog, and close the window"));
    applyButton = dialogButton(tr("Apply"), "applyButton",
        tr("Apply changes to all repository configurations, but do not close the window"));
    applyButton->setDefault(true);
    QPushButton* okButton = dialogButton(tr("OK"), "okButton",
        tr("Apply changes to all repository configurations, and close the window"));
    statusLabel = new QLabel;
    statusLabel->setObjectName(QStringLiteral("status"));
    savedStatusPalette = statusLabel->palette();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view);
    auto* entryRow = new QHBoxLayout;
    entryRow->addWidget(browseButton);
    entryRow->addStretch(1);
    for (QPushButton* button : {editButton, addButton, copyButton, removeButton})
        entryRow->addWidget(button);
    layout->addLayout(entryRow);
    layout->addWidget(new HSeparator(this));
    auto* closeRow = new QHBoxLayout;
    closeRow->addWidget(statusLabel);
    closeRow->addStretch(1);
    for (QPushButton* button : {resetAllButton, cancelButton, applyButton, okButton})
        closeRow->addWidget(button);
    layout->addLayout(closeRow);

    connect(model, &Model::useChanged, this, &Dialog::useChanged);
    connect(model, &Model::configChanged, this, &Dialog::configChanged);
    connect(view, qOverload<int, int>(&View::currentChanged), this, &Dialog::currentChanged);
    connect(view, &View::activated, this, qOverload<QModelIndex const&>(&Dialog::edit));
    connect(view->getContextMenu(), qOverload<QModelIndex const&>(&ContextMenu::edit), this,
        qOverload<QModelIndex const&>(&Dialog::edit));
    connect(browseButton, &QPushButton::clicked, this, &Dialog::browse);
    connect(editButton, &QPushButton::clicked, this, qOverload<>(&Dialog::edit));
    connect(addButton, &QPushButton::clicked, this, &Dialog::add);
    connect(copyButton, &QPushButton::clicked, this, &Dialog::copy);
    connect(removeButton, &QPushButton::clicked, this, &Dialog::remove);
    connect(resetAllButton, &QPushButton::clicked, this, &Dialog::resetAll);
    connect(cancelButton, &QPushButton::clicked, this, &Dialog::cancel);
    connect(applyButton, &QPushButton::clicked, this, &Dialog::apply);
    connect(okButton, &QPushButton::clicked, this, &Dialog::ok);

    updateButtons();
}

int Dialog::exec()
{
    // QDialog::exec() would wait for a dialog that a failed read kept from
    // showing: read first, and end the run at once when that fails.
    if (!isVisible()) {
        if (!openFresh()) {
            setResult(Rejected);
            return Rejected;
        }
        openedByExec = true;
    }
    return HDialog::exec();
}

// Steps of every opening before the dialog shows; false when the files
// cannot be read (the reader has said why).
bool Dialog::openFresh()
{
    savedSessionUse = yumConfIO->sessionUse;
    bool const read = yumConfIO->read(parentWidget);
    model->reset();
    if (!read)
        return false;
    // Ascending by identifier, whatever order was chosen before.
    view->horizontalHeader()->setSortIndicator(Model::NameColumn, Qt::DescendingOrder);
    view->sortByColumn(Model::IdColumn);
    view->resizeColumnsToContents();
    sessionUseChanged = false;
    applied = false;
    setConfigHasChanged(false);
    return true;
}

void Dialog::setVisible(bool visible)
{
    if (visible == isVisible()) {
        HDialog::setVisible(visible);
        return;
    }
    if (visible) {
        bool const opened = openedByExec;
        openedByExec = false;
        if (!opened && !openFresh())
            return;
        HDialog::setVisible(true);
        return;
    }
    HDialog::setVisible(false);
    if (applied || sessionUseChanged || forceReposChanged)
        emit reposChanged();
}

void Dialog::currentChanged(int, int)
{
    updateButtons();
    updateStatusLabel();
}

void Dialog::updateButtons()
{
    bool const hasCurrent = view->currentRow() != -1;
    for (QPushButton* button : {browseButton, editButton, copyButton, removeButton})
        button->setEnabled(hasCurrent);
    resetAllButton->setEnabled(configHasChanged);
    applyButton->setEnabled(configHasChanged);
}

void Dialog::useChanged()
{
    sessionUseChanged = true;
}

void Dialog::configChanged()
{
    setConfigHasChanged(true);
}

void Dialog::browse()
{
    model->browse(model->createIndex(view->currentRow()), this);
}

void Dialog::edit()
{
    edit(model->createIndex(view->currentRow()));
}

void Dialog::edit(QModelIndex const& ix)
{
    if (!ix.isValid() || ix.row() >= yumConfIO->repos.size())
        return;
    int const row = ix.row();
    QHash<QString, bool> const use = yumConfIO->sessionUse;
    configDialog->setEntry(&yumConfIO->repos[row]);
    if (configDialog->exec() != Accepted)
        return;
    // Accepting sets the repository's use in this session from its Enabled
    // choice: the package lists must follow when that changed it.
    if (yumConfIO->sessionUse != use)
        sessionUseChanged = true;
    model->dataChanged(row);
    setConfigHasChanged(true);
}

void Dialog::add()
{
    addEntry(Repo::Entry());
}

void Dialog::copy()
{
    int const row = view->currentRow();
    if (row < 0 || row >= yumConfIO->repos.size())
        return;
    addEntry(yumConfIO->repos.at(row));
}

// Runs the configuration dialog on entry and appends it when accepted.
void Dialog::addEntry(Repo::Entry entry)
{
    QHash<QString, bool> const use = yumConfIO->sessionUse;
    configDialog->setEntry(&entry);
    if (configDialog->exec() != Accepted)
        return;
    if (yumConfIO->sessionUse != use)
        sessionUseChanged = true;
    view->setCurrentIndex(QModelIndex());
    int const row = model->addRow(entry);
    view->setCurrentRow(row);
    model->dataChanged(row);
    setConfigHasChanged(true);
}

void Dialog::remove()
{
    QList<int> rows;
    for (QModelIndex const& index : view->selectedRows()) {
        if (index.isValid() && !rows.contains(index.row()))
            rows.append(index.row());
    }
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    view->setCurrentIndex(QModelIndex());
    for (int row : std::as_const(rows))
        model->removeRow(row);
    setConfigHasChanged(true);
}

// Runs change, which may replace the entry list, then shows the list anew
// with the entry of the former current row's identifier current again.
void Dialog::keepingCurrent(std::function<void()> const& change)
{
    int const row = view->currentRow();
    bool const hadCurrent = row >= 0 && row < yumConfIO->repos.size();
    QString const id = hadCurrent ? yumConfIO->repos.at(row).id : QString();
    change();
    model->reset();
    if (hadCurrent)
        setEntryToOldId(id);
    updateButtons();
    updateStatusLabel();
}

void Dialog::resetAll()
{
    keepingCurrent([this] {
        yumConfIO->sessionUse = savedSessionUse;
        // On failure the list holds what could be read; the reader has said
        // why.
        yumConfIO->read(this);
    });
    sessionUseChanged = false;
    setConfigHasChanged(false);
}

void Dialog::reset() { }

void Dialog::cancel()
{
    resetAll();
    reject();
}

bool Dialog::apply()
{
    bool written = false;
    // The writer may drop entries (at its check) and complete file names
    // even when a file then cannot be written: the table must show the list
    // as it now is, either way.
    keepingCurrent([this, &written] { written = yumConfIO->write(this); });
    if (!written)
        return false;
    applied = true;
    setConfigHasChanged(false);
    return true;
}

void Dialog::ok()
{
    if (!configHasChanged || apply())
        accept();
}

void Dialog::setEntryToOldId(QString const& id)
{
    for (int row = int(yumConfIO->repos.size()) - 1; row >= 0; --row) {
        if (yumConfIO->repos.at(row).id == id) {
            view->setCurrentRow(row);
            return;
        }
    }
}

void Dialog::setConfigHasChanged(bool changed)
{
    configHasChanged = changed;
    updateButtons();
    updateStatusLabel();
}

bool Dialog::hasEmptyId() const
{
    return std::any_of(yumConfIO->repos.cbegin(), yumConfIO->repos.cend(),
        [](Repo::Entry const& entry) { return entry.id.isEmpty(); });
}

QString Dialog::getDuplicateId() const
{
    QList<Repo::Entry> const& repos = yumConfIO->repos;
    for (qsizetype i = 0; i < repos.size(); ++i) {
        for (qsizetype j = i + 1; j < repos.size(); ++j) {
            if (repos.at(i).id == repos.at(j).id)
                return repos.at(i).id;
        }
    }
    return QString();
}

QString Dialog::statusText(Status status, QString const& duplicate)
{
    switch (status) {
    case NoIdentifier:
        return tr("A repository has no Identifier");
    case DuplicateIdentifier:
        return tr("Two or more repositories have the Identifier, %1").arg(duplicate);
    case UnappliedChanges:
        return tr("Unapplied Configuration Changes");
    }
    return QString();
}

void Dialog::updateStatusLabel()
{
    if (hasEmptyId()) {
        statusLabel->setPalette(Colors::makeError(savedStatusPalette));
        statusLabel->setText(statusText(NoIdentifier));
        return;
    }
    QString const duplicate = getDuplicateId();
    if (!duplicate.isEmpty()) {
        statusLabel->setPalette(Colors::makeError(savedStatusPalette));
        statusLabel->setText(statusText(DuplicateIdentifier, duplicate));
        return;
    }
    if (configHasChanged) {
        statusLabel->setPalette(Colors::makeOK(savedStatusPalette));
        statusLabel->setText(statusText(UnappliedChanges));
        return;
    }
    statusLabel->setPalette(savedStatusPalette);
    statusLabel->clear();
}

} // namespace RepoEditor

#include "moc_RepoEditorDialog.cpp"
