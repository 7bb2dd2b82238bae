// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableDescribeInstanceArea.h"

#include "packagetable/PackageTableDescribeDialog.h"
#include "packagetable/PackageTableDescribeInstanceRepoDialog.h"
#include "repo/YumConfIO.h"
#include "widgets/DescriptionLabels.h"
#include "widgets/HScrollArea.h"
#include "widgets/TextDialog.h"
#include "yumio/Package.h"
#include "yumio/YumIO.h"

#include <QApplication>
#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace PackageTable {
namespace Describe {
namespace Instance {

Area::Area(Dialog* dialog, QBoxLayout* contentLayout, YumIO* yumIO, Package::Entry const& entry,
    YumConfIO* yumConfIO, bool primary)
    : QObject(dialog)
    , dialog(dialog)
    , yumIO(yumIO)
    , entry(&entry)
    , yumConfIO(yumConfIO)
    , parentWidget(contentLayout->parentWidget())
{
    scrollArea = new HScrollArea(80, 24, parentWidget);
    scrollArea->setObjectName(
        primary ? QStringLiteral("primaryArea") : QStringLiteral("secondaryArea"));
    scrollArea->setAccessibleName(tr("%1 %2").arg(entry.name, entry.verRel));
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setFrameShadow(QFrame::Plain);
    contents = new QWidget;
    grid = new QGridLayout;

    addHeader(yumIO->getState(entry));
    if (entry.kind == Package::Group)
        addGroupRows();
    else
        addPackageRows(primary);
    updateButtons();

    auto* row = new QHBoxLayout(contents);
    row->addLayout(grid);
    row->addStretch();
    scrollArea->setWidget(contents);
    contentLayout->addWidget(scrollArea);
}

QWidget* Area::widget() const
{
    return scrollArea;
}

void Area::addPackageRows(bool primary)
{
    YumIO& io = *yumIO;
    Package::Entry const& e = *entry;
    if (primary) {
        addPair(tr("Kind"), io.getKind(e));
        // A rename: the update is a package of another name.
        if (!e.replacement.isEmpty())
            addPair(tr("Replaced by"), e.replacement);
        addPair(tr("Version"), io.getVerRel(e));
        if (e.repo != QLatin1String("installed")) {
            Button const details = addPairButton(tr("Repository"), io.getRepo(e), tr("Details"));
            repo = details.button;
            if (repo) {
                repo->setObjectName(QStringLiteral("repoButton"));
                repo->setAccessibleName(tr("Repository Details"));
                connect(repo, &QPushButton::clicked, this, &Area::handleRepo);
            }
        }
        addPair(tr("Architecture"), io.getArch(e));
        addPair(tr("Size"), io.getSize(e));
        addPair(tr("Summary"), io.getSummary(e));
        addPair(tr("Description"), io.getDescription(e));
        addPair(tr("Group"), io.getGroup(e));
        addPair(tr("Vendor"), io.getVendor(e));
        addPair(tr("Build Time"), io.getBuildTime(e));
        addPair(tr("Build Host"), io.getBuildHost(e));
        addPair(tr("Install Time"), io.getInstallTime(e));
        addPair(tr("Binary RPM"), io.getBinaryRpm(e));
        addPair(tr("Source RPM"), io.getSourceRpm(e));
        addPair(tr("License"), io.getLicense(e));
        addPair(tr("Packager"), io.getPackager(e));
        addPair(tr("URL"), io.getUrl(e));
        addPair(tr("Relocations"), io.getRelocations(e));
        addPair(tr("Provides"), io.getProvides(e));
        addPair(tr("Requires"), io.getRequires(e));
        addPair(tr("Conflicts"), io.getConflicts(e));
        addPair(tr("Obsoletes"), io.getObsoletes(e));
    } else {
        addPair(tr("Version"), io.getVerRel(e));
        addPair(tr("Size"), io.getSize(e));
        addPair(tr("Build Time"), io.getBuildTime(e));
        addPair(tr("Packager"), io.getPackager(e));
    }
    files = addButton(tr("Files"), tr("Show"));
    files.button->setObjectName(QStringLiteral("filesButton"));
    connect(files.button, &QPushButton::clicked, this, &Area::handleFiles);
    changeLog = addButton(tr("Change Log"), tr("Show"));
    changeLog.button->setObjectName(QStringLiteral("changeLogButton"));
    connect(changeLog.button, &QPushButton::clicked, this, &Area::handleChangeLog);
}

void Area::addGroupRows()
{
    YumIO& io = *yumIO;
    Package::Entry const& e = *entry;
    addPair(tr("Kind"), io.getKind(e));
    addPair(tr("Description"), io.getDescription(e));
    addPair(tr("Required Groups"), io.getRequiredGroups(e));
    addPair(tr("Default MetaPkgs"), io.getDefaultMetaPkgs(e));
    addPair(tr("Optional MetaPkgs"), io.getOptionalMetaPkgs(e));
    addPair(tr("Mandatory Packages"), io.getMandatoryPkgs(e));
    addPair(tr("Default Packages"), io.getDefaultPkgs(e));
    addPair(tr("Optional Packages"), io.getOptionalPkgs(e));
    addPair(tr("Conditional Packages"), io.getConditionalPkgs(e));
}

void Area::addHeader(QString const& text)
{
    grid->addWidget(DescriptionLabels::header(text, contents), row, 0, 1, 2);
    ++row;
}

// The key label names its value for assistive technology.
void Area::addKey(QString const& label, QWidget* value)
{
    auto* key = new QLabel(tr("%1:").arg(label), contents);
    key->setBuddy(value);
    grid->addWidget(key, row, 0, Qt::AlignRight | Qt::AlignTop);
}

void Area::addPair(QString const& label, QString const& value)
{
    if (value.isEmpty())
        return;
    QWidget* valueLabel = DescriptionLabels::value(value, label, contents);
    addKey(label, valueLabel);
    grid->addWidget(valueLabel, row, 1, Qt::AlignLeft | Qt::AlignTop);
    ++row;
}

Area::Button Area::addButton(QString const& label, QString const& buttonText)
{
    Button button;
    button.text = buttonText;
    button.label = label;
    button.row = row;
    button.button = new QPushButton(buttonText, contents);
    button.button->setAutoDefault(false);
    addKey(label, button.button);
    grid->addWidget(button.button, row, 1, Qt::AlignLeft | Qt::AlignTop);
    ++row;
    return button;
}

Area::Button Area::addPairButton(
    QString const& label, QString const& value, QString const& buttonText)
{
    Button button;
    if (value.isEmpty())
        return button;
    button.text = buttonText;
    button.label = label;
    button.row = row;
    auto* line = new QHBoxLayout;
    QWidget* valueLabel = DescriptionLabels::value(value, label, contents);
    addKey(label, valueLabel);
    line->addWidget(valueLabel, 0, Qt::AlignTop);
    button.button = new QPushButton(buttonText, contents);
    button.button->setAutoDefault(false);
    line->addWidget(button.button, 0, Qt::AlignTop);
    line->addStretch();
    grid->addLayout(line, row, 1);
    ++row;
    return button;
}

void Area::updateButton(Button const& button, bool loaded)
{
    if (!button.button)
        return;
    QString const text = loaded ? button.text : tr("%1 (must load extra data)").arg(button.text);
    button.button->setText(text);
    button.button->setAccessibleName(tr("%1: %2").arg(button.label, text));
}

void Area::updateButtons()
{
    if (entry->kind == Package::Group)
        return;
    bool const installed = entry->state == Package::Installed;
    updateButton(files, installed || yumIO->fileListsCollected());
    updateButton(changeLog, installed || yumIO->otherDataCollected());
}

void Area::handleFiles()
{
    showText(true);
}

void Area::handleChangeLog()
{
    showText(false);
}

// The extra data load on a worker while this thread waits in a nested
// event loop; the dialog cannot be closed meanwhile. The loading is asked
// for here, with no interpreter lock held, so the detail read that follows
// finds the data in place.
void Area::showText(bool fileList)
{
    QPointer<Area> self(this);
    QPointer<Dialog> owner(dialog);
    dialog->setReady(false);
    bool loaded = entry->state == Package::Installed
        || (fileList ? yumIO->fileListsCollected() : yumIO->otherDataCollected());
    if (!loaded) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        loaded = fileList ? yumIO->collectFileLists() : yumIO->collectOtherData();
        QApplication::restoreOverrideCursor();
    }
    if (self && loaded) {
        QString const text = fileList ? yumIO->getFiles(*entry) : yumIO->getChangeLog(*entry);
        dialog->updateButtons();
        if (!textDialog) {
            textDialog = new TextDialog(parentWidget);
            textDialog->setObjectName(QStringLiteral("textDialog"));
        }
        textDialog->setWindowTitle((fileList ? tr("%1 %2 File List") : tr("%1 %2 Change Log"))
                                       .arg(entry->name, entry->verRel));
        textDialog->setText(text);
        textDialog->exec();
    }
    if (owner)
        owner->setReady(true);
}

void Area::handleRepo()
{
    if (!yumConfIO)
        return;
    for (Repo::Entry const& repoEntry : yumConfIO->repos) {
        if (repoEntry.id != entry->repo)
            continue;
        if (!repoDialog)
            repoDialog = new RepoDialog(yumIO, parentWidget);
        repoDialog->config(repoEntry);
        repoDialog->exec();
        return;
    }
}

} // namespace Instance
} // namespace Describe
} // namespace PackageTable
