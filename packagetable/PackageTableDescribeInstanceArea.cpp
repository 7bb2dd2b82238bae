// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableDescribeInstanceArea.h"

#include "base/Execute.h"
#include "packagetable/PackageTableDescribeDialog.h"
#include "packagetable/PackageTableDescribeInstanceRepoDialog.h"
#include "packagetable/PackageTableModel.h"
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
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QUrl>

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
        if (!e.replacement().isEmpty())
            addPair(tr("Replaced by"), e.replacement());
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
        addAdvisories();
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
        addRequiredBy();
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

// One row per advisory of an update, most pressing first: identifier, kind,
// severity and date, title, and the references as links. Everything from
// the metadata is escaped; a link carries indexes, never the URL itself.
void Area::addAdvisories()
{
    advisories = yumIO->advisories(*entry);
    for (int i = 0; i < advisories.size(); ++i) {
        Package::Advisory const& advisory = advisories.at(i);
        Package::Entry kindOnly;
        kindOnly.advisoryKind = advisory.kind;
        QString kind = Model::advisoryText(kindOnly);
        if (advisory.kind == Package::SecurityAdvisory && !advisory.severity.isEmpty()
            && Package::severityRank(advisory.severity) == 0)
            kind = tr("%1 (%2)").arg(kind, advisory.severity); // a severity of its own
        else if (advisory.kind == Package::SecurityAdvisory && advisory.severity.isEmpty())
            kind = tr("Security (no severity given)");
        QString html = tr("<b>%1</b> %2, updated %3")
                           .arg(advisory.id.toHtmlEscaped(), kind.toHtmlEscaped(),
                               YumIO::dateFormat(advisory.updated).toHtmlEscaped());
        if (!advisory.title.isEmpty())
            html += QLatin1String("<br>") + advisory.title.toHtmlEscaped();
        QStringList links;
        for (int j = 0; j < advisory.references.size(); ++j) {
            Package::AdvisoryReference const& reference = advisory.references.at(j);
            QString const name
                = (reference.id.isEmpty() ? reference.url : reference.id).toHtmlEscaped();
            QUrl const url(reference.url);
            bool const web = url.isValid()
                && (url.scheme() == QLatin1String("https")
                    || url.scheme() == QLatin1String("http"));
            links << (web ? QStringLiteral("<a href=\"%1:%2\">%3</a>").arg(i).arg(j).arg(name)
                          : name);
        }
        if (!links.isEmpty())
            html += QLatin1String("<br>")
                + tr("References: %1").arg(links.join(QLatin1String(", ")));
        auto* label = new QLabel(html, contents);
        label->setObjectName(QStringLiteral("advisory%1").arg(i));
        label->setTextFormat(Qt::RichText);
        label->setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);
        label->setFocusPolicy(Qt::StrongFocus);
        label->setAccessibleDescription(tr("Advisory"));
        connect(label, &QLabel::linkActivated, this, &Area::handleReference);
        addKey(tr("Advisory"), label);
        grid->addWidget(label, row, 1, Qt::AlignLeft | Qt::AlignTop);
        ++row;
    }
}

void Area::handleReference(QString const& link)
{
    int const colon = link.indexOf(QLatin1Char(':'));
    int const i = link.left(colon).toInt();
    int const j = link.mid(colon + 1).toInt();
    if (colon < 0 || i < 0 || i >= advisories.size() || j < 0
        || j >= advisories.at(i).references.size())
        return;
    QUrl const url(advisories.at(i).references.at(j).url);
    if (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http"))
        return;
    QString const target = url.toString(QUrl::FullyEncoded);
    QString const refusal = Execute::open(parentWidget, QStringLiteral("webbrowser"), {target});
    if (!refusal.isEmpty())
        QMessageBox::warning(parentWidget, tr("Error"),
            tr("The reference cannot be opened in a web browser:\n%1\n\nIts URL: %2")
                .arg(refusal, target));
}

// "Required By": two buttons, the installed packages that need this one and,
// on request, the available ones; asked when pressed.
void Area::addRequiredBy()
{
    auto* line = new QHBoxLayout;
    requiredByInstalled = new QPushButton(tr("Show Installed"), contents);
    requiredByInstalled->setObjectName(QStringLiteral("requiredByButton"));
    requiredByAvailable = new QPushButton(tr("Show Available"), contents);
    requiredByAvailable->setObjectName(QStringLiteral("requiredByAvailableButton"));
    for (QPushButton* button : {requiredByInstalled, requiredByAvailable}) {
        button->setAutoDefault(false);
        line->addWidget(button, 0, Qt::AlignTop);
    }
    requiredByInstalled->setAccessibleName(tr("Required By: Show Installed"));
    requiredByAvailable->setAccessibleName(tr("Required By: Show Available"));
    line->addStretch();
    addKey(tr("Required By"), requiredByInstalled);
    grid->addLayout(line, row, 1);
    ++row;
    connect(requiredByInstalled, &QPushButton::clicked, this, [this] { handleRequiredBy(true); });
    connect(requiredByAvailable, &QPushButton::clicked, this, [this] { handleRequiredBy(false); });
}

void Area::handleRequiredBy(bool installed)
{
    bool ok = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QStringList const lines = yumIO->whatRequires(*entry, installed, &ok);
    QApplication::restoreOverrideCursor();
    if (!ok)
        return; // reported
    QString text = lines.join(QLatin1Char('\n'));
    if (lines.isEmpty())
        text = installed ? tr("No installed package requires %1.").arg(entry->name)
                         : tr("No available package requires %1.").arg(entry->name);
    showTextDialog(installed ? tr("%1 Required By (installed packages)").arg(entry->name)
                             : tr("%1 Required By (available packages)").arg(entry->name),
        text);
}

void Area::showTextDialog(QString const& title, QString const& text)
{
    if (!textDialog) {
        textDialog = new TextDialog(parentWidget);
        textDialog->setObjectName(QStringLiteral("textDialog"));
    }
    textDialog->setWindowTitle(title);
    textDialog->setText(text);
    textDialog->exec();
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
        showTextDialog((fileList ? tr("%1 %2 File List") : tr("%1 %2 Change Log"))
                           .arg(entry->name, entry->verRel),
            text);
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
