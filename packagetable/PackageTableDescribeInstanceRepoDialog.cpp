// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableDescribeInstanceRepoDialog.h"

#include "base/Credentials.h"
#include "repo/RepoBrowse.h"
#include "widgets/DescriptionLabels.h"
#include "yumio/YumIO.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace PackageTable {
namespace Describe {
namespace Instance {

RepoDialog::RepoDialog(YumIO* yumIO, QWidget* parent)
    : QDialog(parent)
    , yumIO(yumIO)
{
    setObjectName(QStringLiteral("repoDescribeDialog"));
    setWindowTitle(tr("VUX Repository Description"));
    setAttribute(Qt::WA_ShowModal);
    auto* layout = new QVBoxLayout(this);
    areaHolder = new QHBoxLayout;
    layout->addLayout(areaHolder);

    auto* row = new QHBoxLayout;
    auto* browseButton = new QPushButton(tr("Browse Repository"), this);
    browseButton->setObjectName(QStringLiteral("browseButton"));
    browseButton->setToolTip(tr("Browse the first URL specified for the selected repository "
                                "using an external web browser"));
    browseButton->setAutoDefault(false);
    row->addWidget(browseButton);
    row->addStretch();
    auto* closeButton = new QPushButton(tr("Close"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setDefault(true);
    row->addWidget(closeButton);
    layout->addLayout(row);

    connect(browseButton, &QPushButton::clicked, this, &RepoDialog::browse);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

void RepoDialog::config(Repo::Entry const& entry)
{
    delete contents;
    repo = entry;
    hasRepo = true;

    contents = new QWidget(this);
    auto* layout = new QVBoxLayout(contents);
    layout->setContentsMargins(0, 0, 0, 0);
    DescriptionLabels::addTitle(layout, entry.id, contents);

    auto* grid = new QGridLayout;
    int row = 0;
    auto const addPair = [&](QString const& key, QString const& value) {
        if (value.isEmpty())
            return;
        auto* keyLabel = new QLabel(tr("%1:").arg(key), contents);
        QLabel* valueLabel = DescriptionLabels::value(value, key, contents);
        keyLabel->setBuddy(valueLabel);
        grid->addWidget(keyLabel, row, 0, Qt::AlignRight | Qt::AlignTop);
        grid->addWidget(valueLabel, row, 1, Qt::AlignLeft | Qt::AlignTop);
        ++row;
    };
    // Larder credentials stay off the screen; browsing uses the real URL.
    addPair(tr("Name"), entry.name);
    addPair(tr("URLs"), Credentials::masked(entry.baseurl));
    addPair(tr("Mirror list URL"), Credentials::masked(entry.mirrorlist));
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    layout->addStretch();
    areaHolder->addWidget(contents);
}

void RepoDialog::setVisible(bool visible)
{
    if (!visible && contents) {
        areaHolder->removeWidget(contents);
        delete contents;
        contents = nullptr;
    }
    QDialog::setVisible(visible);
}

void RepoDialog::browse()
{
    if (hasRepo)
        RepoBrowse::browse(this, repo, yumIO);
}

} // namespace Instance
} // namespace Describe
} // namespace PackageTable
