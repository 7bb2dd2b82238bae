// SPDX-License-Identifier: GPL-2.0-or-later
#include "repo/RepoEditorConfig.h"

#include "base/Colors.h"
#include "base/Fonts.h"
#include "repo/RepoLarder.h"
#include "repo/YumConfIO.h"
#include "widgets/HTextEdit.h"
#include "widgets/PasswdLineEdit.h"
#include "widgets/PasswdTextEdit.h"

#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

// Sections are numbered 1, 2, 3 ... in their file; a file may hold more than
// a hundred of them, and a position clipped by the box would move a section
// within its file the next time the form is accepted.
double const maxSortPosition = 999999.0;

QLabel* labelFor(QString const& text, QWidget* field, QString const& toolTip)
{
    auto* label = new QLabel(text);
    label->setBuddy(field);
    label->setToolTip(toolTip);
    field->setToolTip(toolTip);
    return label;
}

template <typename Widget>
Widget* named(Widget* widget, char const* objectName, QString const& accessibleName)
{
    widget->setObjectName(QLatin1String(objectName));
    widget->setAccessibleName(accessibleName);
    return widget;
}

QComboBox* choiceBox(char const* objectName, QString const& accessibleName)
{
    auto* box = named(new QComboBox, objectName, accessibleName);
    // In this order the index is the tri-state value: 0 no, 1 default, 2 yes.
    box->addItems({RepoEditor::Config::tr("No"), RepoEditor::Config::tr("Default"),
        RepoEditor::Config::tr("Yes")});
    return box;
}

// Whether file is a file that yum reads from one of dirs: directly inside one
// of them (a relative name lands in the first one when written).
bool inReposDir(QString const& file, QStringList const& dirs)
{
    if (!file.startsWith(QLatin1Char('/')))
        return !dirs.isEmpty() && !file.contains(QLatin1Char('/'));
    for (QString const& dir : dirs) {
        QString const prefix = QDir::cleanPath(dir) + QLatin1Char('/');
        if (file.startsWith(prefix) && !file.mid(prefix.size()).contains(QLatin1Char('/')))
            return true;
    }
    return false;
}

} // namespace

namespace RepoEditor {

Config::Config(QGridLayout* grid)
{
    idEdit = named(new QLineEdit, "identifier", tr("Identifier"));
    idEdit->setPalette(Colors::makeRequired(idEdit->palette()));
    grid->addWidget(
        labelFor(tr("Identifier"), idEdit, tr("Unique identifier for the repository")), 0, 0);
    grid->addWidget(idEdit, 0, 1);

    nameEdit = named(new QLineEdit, "name", tr("Name"));
    grid->addWidget(labelFor(tr("Name"), nameEdit, tr("Description of the repository")), 1, 0);
    grid->addWidget(nameEdit, 1, 1);

    urlsEdit = named(new PasswdTextEdit(80, 3), "urls", tr("URLs"));
    // Tab moves on: a tab inside a URL list means nothing to yum.
    urlsEdit->setTabChangesFocus(true);
    urlsEdit->setLineWrapMode(QTextEdit::NoWrap);
    grid->addWidget(labelFor(tr("URLs"), urlsEdit,
                        tr("List of URLs to the repository.\nIf more than one is specified, they "
                           "all should be identical mirrors,\nand will provide redundancy if "
                           "some URLs are unreachable.")),
        2, 0, Qt::AlignTop);
    grid->addWidget(urlsEdit, 2, 1);

    mirrorEdit = named(new PasswdLineEdit(), "mirrorlist", tr("Mirror list URL"));
    grid->addWidget(labelFor(tr("Mirror list URL"), mirrorEdit,
                        tr("URL to a file containing a list of URLs to the repository.")),
        3, 0);
    grid->addWidget(mirrorEdit, 3, 1);

    auto* larderGroup = new QGroupBox(tr("Larder Authentication"));
    auto* larderGrid = new QGridLayout(larderGroup);
    larderNameEdit = named(new QLineEdit, "larderName", tr("Larder Authentication Name"));
    larderNameLabel = labelFor(tr("Name"), larderNameEdit,
        tr("Authentication name for a repository using the larder authentication method"));
    larderPasswordEdit
        = named(new QLineEdit, "larderPassword", tr("Larder Authentication Password"));
    larderPasswordEdit->setEchoMode(QLineEdit::Password);
    larderPasswordLabel = labelFor(tr("Password"), larderPasswordEdit,
        tr("Authentication password for a repository using the larder authentication method"));
    larderGrid->addWidget(larderNameLabel, 0, 0);
    larderGrid->addWidget(larderNameEdit, 0, 1);
    larderGrid->addWidget(larderPasswordLabel, 1, 0);
    larderGrid->addWidget(larderPasswordEdit, 1, 1);
    grid->addWidget(larderGroup, 4, 0, 1, 2);

    auto* optionsGroup = new QGroupBox(tr("Repository Options"));
    auto* optionsLayout = new QVBoxLayout(optionsGroup);
    auto* choices = new QHBoxLayout;
    auto* choiceGrid = new QGridLayout;
    enabledBox = choiceBox("enabled", tr("Enabled"));
    gpgcheckBox = choiceBox("gpgcheck", tr("Check GPG Keys"));
    choiceGrid->addWidget(
        labelFor(tr("Enabled"), enabledBox, tr("Whether or not the repository is enabled for use")),
        0, 0);
    choiceGrid->addWidget(enabledBox, 0, 1);
    choiceGrid->addWidget(labelFor(tr("Check GPG Keys"), gpgcheckBox,
                              tr("Whether or not GPG key signatures of packages from the "
                                 "repository are checked to ensure authenticity")),
        1, 0);
    choiceGrid->addWidget(gpgcheckBox, 1, 1);
    choices->addLayout(choiceGrid);
    choices->addStretch(1);
    optionsLayout->addLayout(choices);
    otherEdit = named(new HTextEdit(80, 3), "otherOptions", tr("Other Options"));
    otherEdit->setFont(Fonts::makeBold(Fonts::makeFixed(otherEdit->font())));
    otherEdit->setTabChangesFocus(true);
    otherEdit->setAcceptRichText(false);
    optionsLayout->addWidget(labelFor(tr("Other Options:"), otherEdit,
        tr("Any other yum options for this repository.  See yum.conf(5)")));
    optionsLayout->addWidget(otherEdit);
    grid->addWidget(optionsGroup, 5, 0, 1, 2);

    auto* fileGroup = new QGroupBox(tr("Configuration File (expert)"));
    auto* fileRow = new QHBoxLayout(fileGroup);
    fileEdit = named(new QLineEdit, "file", tr("File"));
    sortBox = named(new QDoubleSpinBox, "sortPosition", tr("Sort Position"));
    sortBox->setDecimals(1);
    sortBox->setSingleStep(1.0);
    sortBox->setMinimum(0);
    sortBox->setMaximum(maxSortPosition);
    sortBox->setValue(0);
    fileRow->addWidget(labelFor(tr("File"), fileEdit,
        tr("Name of the yum configuration file into which to place this repository "
           "configuration.\nIf left blank, defaults to the repository's identifier")));
    fileRow->addWidget(fileEdit, 1);
    fileRow->addWidget(labelFor(tr("Sort Position"), sortBox,
        tr("A numeric sort key which determines the order of this repository configuration\nin "
           "a configuration file which contains multiple configurations")));
    fileRow->addWidget(sortBox);
    grid->addWidget(fileGroup, 6, 0, 1, 2);

    connect(
        idEdit, &QLineEdit::textChanged, this, qOverload<QString const&>(&Config::valueChanged));
    connect(
        nameEdit, &QLineEdit::textChanged, this, qOverload<QString const&>(&Config::valueChanged));
    // The real texts, not the masked displays: those change before the real
    // text has taken the keystroke.
    connect(urlsEdit, &PasswdTextEdit::realTextChanged, this, qOverload<>(&Config::urlChanged));
    connect(mirrorEdit, &PasswdLineEdit::realTextChanged, this,
        qOverload<QString const&>(&Config::urlChanged));
    connect(larderNameEdit, &QLineEdit::textEdited, this, &Config::authChanged);
    connect(larderPasswordEdit, &QLineEdit::textEdited, this, &Config::authChanged);
    connect(
        enabledBox, &QComboBox::currentIndexChanged, this, qOverload<int>(&Config::valueChanged));
    connect(
        gpgcheckBox, &QComboBox::currentIndexChanged, this, qOverload<int>(&Config::valueChanged));
    connect(otherEdit, &QTextEdit::textChanged, this, qOverload<>(&Config::valueChanged));
    connect(
        fileEdit, &QLineEdit::textChanged, this, qOverload<QString const&>(&Config::valueChanged));
    connect(sortBox, &QDoubleSpinBox::textChanged, this,
        qOverload<QString const&>(&Config::valueChanged));
}

QList<QWidget*> Config::inputs() const
{
    return {idEdit, nameEdit, urlsEdit, mirrorEdit, larderNameEdit, larderPasswordEdit, enabledBox,
        gpgcheckBox, otherEdit, fileEdit, sortBox};
}

QWidget* Config::firstField() const
{
    return idEdit;
}

void Config::setDefaults(bool enabled, bool gpgcheck)
{
    QString const format = tr("%1 %2");
    enabledBox->setItemText(1, format.arg(tr("Default"), enabled ? tr("(Yes)") : tr("(No)")));
    gpgcheckBox->setItemText(1, format.arg(tr("Default"), gpgcheck ? tr("(Yes)") : tr("(No)")));
}

void Config::disable()
{
    loading = true;
    for (QLineEdit* edit : {idEdit, nameEdit, larderNameEdit, larderPasswordEdit, fileEdit})
        edit->clear();
    urlsEdit->setRealPlainText(QString());
    mirrorEdit->setRealText(QString());
    otherEdit->clear();
    larderNameLabel->setText(tr("Name"));
    larderPasswordLabel->setText(tr("Password"));
    enabledBox->setCurrentIndex(1);
    gpgcheckBox->setCurrentIndex(1);
    sortBox->setValue(0);
    loading = false;
    for (QWidget* input : inputs())
        input->setEnabled(false);
}

void Config::setEntry(Repo::Entry const& entry)
{
    loading = true;
    loadedId = entry.id;
    idEdit->setText(entry.id);
    nameEdit->setText(entry.name);
    urlsEdit->setRealPlainText(entry.baseurl);
    mirrorEdit->setRealText(entry.mirrorlist);
    enabledBox->setCurrentIndex(qBound(0, entry.enabled, 2));
    gpgcheckBox->setCurrentIndex(qBound(0, entry.gpgcheck, 2));
    otherEdit->setPlainText(entry.otherOptions);
    fileEdit->setText(entry.file);
    sortBox->setValue(entry.sortPosition);
    loading = false;
    for (QWidget* input : inputs())
        input->setEnabled(true);
    showAuth(entry); // labels, credentials, and whether they can be edited
}

// The credential fields from the first larder URL, enabled only when there
// is one.
void Config::showAuth(Repo::Entry const& entry)
{
    QString nameKey, name, passwordKey, password;
    bool const found = Repo::Larder::getAuth(entry, nameKey, name, passwordKey, password);
    larderNameLabel->setText(nameKey.isEmpty() ? tr("Name") : nameKey);
    larderPasswordLabel->setText(passwordKey.isEmpty() ? tr("Password") : passwordKey);
    larderNameEdit->setText(name);
    larderPasswordEdit->setText(password);
    larderNameEdit->setEnabled(found);
    larderPasswordEdit->setEnabled(found);
}

Repo::Entry Config::toEntry() const
{
    Repo::Entry entry;
    entry.id = idEdit->text();
    entry.name = nameEdit->text();
    entry.baseurl = urlsEdit->realPlainText();
    entry.mirrorlist = mirrorEdit->realText();
    entry.enabled = enabledBox->currentIndex();
    entry.gpgcheck = gpgcheckBox->currentIndex();
    entry.otherOptions = otherEdit->toPlainText();
    // Every option line ends in a newline, as when read from a file; without
    // it the next section's header would join the last line.
    if (!entry.otherOptions.isEmpty() && !entry.otherOptions.endsWith(QLatin1Char('\n')))
        entry.otherOptions += QLatin1Char('\n');
    entry.file = fileEdit->text();
    entry.sortPosition = sortBox->value();
    return entry;
}

QString Config::problemText(Problem problem)
{
    switch (problem) {
    case NoIdentifier:
        return tr("No Identifier specified");
    case NoUrls:
        return tr("No URLs or Mirror list URL specified");
    case OutsideReposDirs:
        return tr("File is not in any reposdir directory");
    case NoRepoSuffix:
        return tr("File lacks .repo suffix");
    case NoLarderName:
        return tr("No Larder Authentication Name specified");
    case NoLarderPassword:
        return tr("No Larder Authentication Password specified");
    }
    return QString();
}

bool Config::setStatus(YumConfIO const* conf, QLabel* label) const
{
    auto const report = [label](QPalette (*make)(QPalette const&), QString const& text) {
        label->setPalette(make(label->palette()));
        label->setText(text);
        return true;
    };
    Repo::Entry const entry = toEntry();
    if (entry.id.isEmpty())
        return report(&Colors::makeError, problemText(NoIdentifier));
    QString const refused = refusal();
    if (!refused.isEmpty())
        return report(&Colors::makeError, refused);
    if (entry.baseurl.isEmpty() && entry.mirrorlist.isEmpty())
        return report(&Colors::makeWarning, problemText(NoUrls));
    QString const mainFile = YumConfIO::configuredFileName();
    if (!entry.file.isEmpty() && entry.file != mainFile) {
        if (!inReposDir(entry.file, conf->reposDirs))
            return report(&Colors::makeWarning, problemText(OutsideReposDirs));
        if (!entry.file.endsWith(QLatin1String(".repo")))
            return report(&Colors::makeWarning, problemText(NoRepoSuffix));
    }
    QString nameKey, name, passwordKey, password;
    if (Repo::Larder::getAuth(entry, nameKey, name, passwordKey, password)) {
        if (name.isEmpty())
            return report(&Colors::makeWarning, problemText(NoLarderName));
        if (password.isEmpty())
            return report(&Colors::makeWarning, problemText(NoLarderPassword));
    }
    return false;
}

QString Config::refusal() const
{
    QString const id = idEdit->text();
    qsizetype const bad = Repo::invalidIdPosition(id);
    if (bad < 0 || id == loadedId)
        return QString();
    QString const shown
        = id.at(bad) == QLatin1Char(' ') ? tr("a blank") : QStringLiteral("\"%1\"").arg(id.at(bad));
    return tr("The Identifier may hold only letters, digits and - _ . : (not %1)").arg(shown);
}

void Config::authChanged(QString const&)
{
    loading = true;
    QString const name = larderNameEdit->text();
    QString const password = larderPasswordEdit->text();
    urlsEdit->setRealPlainText(
        Repo::Larder::replaceAuth(urlsEdit->realPlainText(), name, password));
    mirrorEdit->setRealText(Repo::Larder::replaceAuth(mirrorEdit->realText(), name, password));
    loading = false;
    emit changed();
}

void Config::urlChanged()
{
    if (loading)
        return;
    showAuth(toEntry());
    emit changed();
}

void Config::urlChanged(QString const&)
{
    urlChanged();
}

void Config::valueChanged()
{
    if (!loading)
        emit changed();
}

void Config::valueChanged(int)
{
    valueChanged();
}

void Config::valueChanged(QString const&)
{
    valueChanged();
}

} // namespace RepoEditor

#include "moc_RepoEditorConfig.cpp"
