// SPDX-License-Identifier: GPL-2.0-or-later
#include "repo/RepoEditorConfigDialog.h"

#include "repo/RepoEditorConfig.h"
#include "repo/RepoEntry.h"
#include "repo/YumConfIO.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace RepoEditor {

QPushButton* dialogButton(QString const& text, char const* objectName, QString const& toolTip)
{
    auto* button = new QPushButton(text);
    button->setObjectName(QLatin1String(objectName));
    button->setToolTip(toolTip);
    button->setAccessibleName(text);
    return button;
}

ConfigDialog::ConfigDialog(YumConfIO* yumConfIO, QWidget* parent)
    : HDialog(parent)
    , yumConfIO(yumConfIO)
{
    setWindowTitle(tr("VUX Repository Configuration"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    config = new Config(grid);

    auto* row = new QHBoxLayout;
    statusLabel = new QLabel;
    statusLabel->setObjectName(QStringLiteral("status"));
    savedStatusPalette = statusLabel->palette();
    resetButton = dialogButton(
        tr("Reset"), "resetButton", tr("Undo changes to this repository configuration"));
    QPushButton* cancelButton = dialogButton(tr("Cancel"), "cancelButton",
        tr("Undo changes to this repository configuration and close the window"));
    okToolTip = tr("Apply changes to all repository configurations, and close the window");
    okButton = dialogButton(tr("OK"), "okButton", okToolTip);
    okButton->setDefault(true);
    row->addWidget(statusLabel);
    row->addStretch(1);
    row->addWidget(resetButton);
    row->addWidget(cancelButton);
    row->addWidget(okButton);
    layout->addLayout(row);

    connect(config, &Config::changed, this, &ConfigDialog::changed);
    connect(resetButton, &QPushButton::clicked, this, &ConfigDialog::reset);
    connect(cancelButton, &QPushButton::clicked, this, &ConfigDialog::cancel);
    connect(okButton, &QPushButton::clicked, this, &ConfigDialog::ok);

    config->disable();
}

ConfigDialog::~ConfigDialog()
{
    delete config;
}

void ConfigDialog::setEntry(Repo::Entry* edited)
{
    entry = edited;
    config->setEntry(*entry);
    updateStatusLabel();
}

void ConfigDialog::setVisible(bool visible)
{
    if (visible) {
        config->setDefaults(yumConfIO->defaultEnabled, yumConfIO->defaultGpgcheck);
        setHasChanged(false);
        config->firstField()->setFocus();
    }
    HDialog::setVisible(visible);
}

void ConfigDialog::updateStatusLabel()
{
    // A form dnf would refuse is never accepted: OK says why it is off.
    QString const refusal = config->refusal();
    okButton->setEnabled(refusal.isEmpty());
    okButton->setToolTip(refusal.isEmpty() ? okToolTip : refusal);
    okButton->setAccessibleDescription(refusal);
    if (config->setStatus(yumConfIO, statusLabel))
        return;
    statusLabel->setPalette(savedStatusPalette);
    statusLabel->clear();
}

void ConfigDialog::setHasChanged(bool changed)
{
    hasChanged = changed;
    resetButton->setEnabled(changed);
    updateStatusLabel();
}

void ConfigDialog::changed()
{
    setHasChanged(true);
}

void ConfigDialog::reset()
{
    config->setEntry(*entry);
    setHasChanged(false);
}

void ConfigDialog::cancel()
{
    reject();
}

void ConfigDialog::ok()
{
    if (!config->refusal().isEmpty())
        return; // a refused form is never accepted, whoever calls this
    if (!hasChanged) {
        reject();
        return;
    }
    Repo::Entry const edited = config->toEntry();
    bool use = yumConfIO->defaultEnabled;
    if (edited.enabled == Qt::Checked)
        use = true;
    else if (edited.enabled == Qt::Unchecked)
        use = false;
    yumConfIO->sessionUse.insert(edited.id, use);
    *entry = edited;
    accept();
}

} // namespace RepoEditor

#include "moc_RepoEditorConfigDialog.cpp"
