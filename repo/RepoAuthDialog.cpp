// SPDX-License-Identifier: GPL-2.0-or-later
#include "repo/RepoAuthDialog.h"

#include "base/Credentials.h"
#include "repo/RepoEntry.h"
#include "repo/RepoLarder.h"
#include "widgets/DescriptionLabels.h"
#include "widgets/HSeparator.h"
#include "widgets/ScreenBound.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace RepoAuth {

Dialog::Dialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("repoAuthDialog"));
    setWindowTitle(tr("VUX Authentication"));
    setAttribute(Qt::WA_ShowModal);
    auto* layout = new QVBoxLayout(this);

    DescriptionLabels::addTitle(
        layout, tr("Some configured repositories require authentication"), this);

    auto* grid = new QGridLayout;
    idLabel = addRow(grid, 0, tr("Identifier"), "idLabel");
    nameLabel = addRow(grid, 1, tr("Name"), "nameLabel");
    urlsLabel = addRow(grid, 2, tr("URLs"), "urlsLabel");
    mirrorListLabel = addRow(grid, 3, tr("Mirror list URL"), "mirrorListLabel");
    grid->addWidget(new HSeparator(this), 4, 0, 1, 2);

    nameKeyLabel = new QLabel(tr("Name"), this);
    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("nameEdit"));
    nameEdit->setAccessibleName(tr("Authentication name"));
    nameEdit->setToolTip(
        tr("Authentication name for a repository using the larder authentication method"));
    nameKeyLabel->setBuddy(nameEdit);
    grid->addWidget(nameKeyLabel, 5, 0, Qt::AlignRight);
    grid->addWidget(nameEdit, 5, 1);

    passwordKeyLabel = new QLabel(tr("Password"), this);
    passwordEdit = new QLineEdit(this);
    passwordEdit->setObjectName(QStringLiteral("passwordEdit"));
    passwordEdit->setAccessibleName(tr("Authentication password"));
    passwordEdit->setEchoMode(QLineEdit::Password);
    passwordEdit->setToolTip(
        tr("Authentication password for a repository using the larder authentication method"));
    passwordKeyLabel->setBuddy(passwordEdit);
    grid->addWidget(passwordKeyLabel, 6, 0, Qt::AlignRight);
    grid->addWidget(passwordEdit, 6, 1);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);

    auto* row = new QHBoxLayout;
    row->addStretch();
    quitButton = addButton(row, tr("Quit"), "quitButton");
    disableButton = addButton(row, tr("Disable for Session"), "disableButton");
    skipAllButton = addButton(row, tr("Skip All"), "skipAllButton");
    applyAllButton = addButton(row, tr("Apply to All"), "applyAllButton");
    applyHostButton = addButton(row, tr("Apply to All with this Host"), "applyHostButton");
    okButton = addButton(row, tr("OK"), "okButton");
    okButton->setDefault(true);
    layout->addLayout(row);

    connect(nameEdit, &QLineEdit::textEdited, this, &Dialog::authChanged);
    connect(passwordEdit, &QLineEdit::textEdited, this, &Dialog::authChanged);
    connect(quitButton, &QPushButton::clicked, this, &Dialog::handleQuit);
    connect(disableButton, &QPushButton::clicked, this, &Dialog::handleDisable);
    connect(skipAllButton, &QPushButton::clicked, this, &Dialog::handleSkipAll);
    connect(applyAllButton, &QPushButton::clicked, this, &Dialog::handleApplyAll);
    connect(applyHostButton, &QPushButton::clicked, this, &Dialog::handleApplyHost);
    connect(okButton, &QPushButton::clicked, this, &Dialog::handleOK);
}

QLabel* Dialog::addRow(QGridLayout* grid, int row, QString const& key, char const* name)
{
    auto* keyLabel = new QLabel(tr("%1:").arg(key), this);
    QLabel* value = DescriptionLabels::value(QString(), key, this);
    value->setObjectName(QLatin1String(name));
    keyLabel->setBuddy(value);
    grid->addWidget(keyLabel, row, 0, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(value, row, 1, Qt::AlignLeft | Qt::AlignTop);
    return value;
}

QPushButton* Dialog::addButton(QHBoxLayout* row, QString const& text, char const* name)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    row->addWidget(button);
    return button;
}

int Dialog::exec(Repo::Entry* prompted)
{
    entry = prompted;
    idLabel->setText(entry->id);
    nameLabel->setText(entry->name);
    showUrls(entry->baseurl, entry->mirrorlist);

    QString nameKey, name, passwordKey, password;
    Repo::Larder::getAuth(*entry, nameKey, name, passwordKey, password);
    nameKeyLabel->setText(nameKey);
    nameEdit->setText(name);
    passwordKeyLabel->setText(passwordKey);
    passwordEdit->setText(password);
    authChanged(QString());

    quitButton->setEnabled(true);
    disableButton->setEnabled(true);
    skipAllButton->setEnabled(true);
    okButton->setEnabled(true);
    show();
    nameEdit->setFocus();
    loop.exec();
    return result();
}

void Dialog::authChanged(QString const&)
{
    if (!entry)
        return;
    // One character per typed one, whatever the encoding makes of them.
    QString const typed(passwordEdit->text().size(), passwordCharacter());
    QString const nameKey = nameKeyLabel->text();
    QString const passwordKey = passwordKeyLabel->text();
    showUrls(
        Repo::Larder::replaceAuth(entry->baseurl, nameKey, nameEdit->text(), passwordKey, typed),
        Repo::Larder::replaceAuth(
            entry->mirrorlist, nameKey, nameEdit->text(), passwordKey, typed));
}

QChar Dialog::passwordCharacter() const
{
    return QChar(style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, this));
}

// The labels show where the credentials go, hidden as in the editors.
void Dialog::showUrls(QString const& urls, QString const& mirrorList)
{
    urlsLabel->setText(Credentials::hidden(urls, passwordCharacter()));
    mirrorListLabel->setText(Credentials::hidden(mirrorList, passwordCharacter()));
}

// The URLs are rebuilt from the entry itself, not from the preview labels:
// the preview carries the masked password.
void Dialog::setUrls()
{
    QString const nameKey = nameKeyLabel->text();
    QString const passwordKey = passwordKeyLabel->text();
    entry->baseurl = Repo::Larder::replaceAuth(
        entry->baseurl, nameKey, nameEdit->text(), passwordKey, passwordEdit->text());
    entry->mirrorlist = Repo::Larder::replaceAuth(
        entry->mirrorlist, nameKey, nameEdit->text(), passwordKey, passwordEdit->text());
}

void Dialog::finish(int answer, bool takeCredentials)
{
    if (!entry)
        return;
    if (takeCredentials)
        setUrls();
    entry = nullptr;
    done(answer);
}

void Dialog::handleQuit()
{
    finish(Quit, false);
}

void Dialog::handleDisable()
{
    finish(Disable, false);
}

void Dialog::handleSkipAll()
{
    finish(SkipAll, false);
}

void Dialog::handleApplyAll()
{
    finish(ApplyAll, true);
}

void Dialog::handleApplyHost()
{
    finish(ApplyHost, true);
}

void Dialog::handleOK()
{
    finish(Ok, true);
}

// Ends the prompt but leaves the dialog on screen: the next prompt follows
// at once, and the checker hides the dialog when it is done.
void Dialog::done(int answer)
{
    entry = nullptr;
    quitButton->setEnabled(false);
    disableButton->setEnabled(false);
    skipAllButton->setEnabled(false);
    okButton->setEnabled(false);
    passwordEdit->clear();
    setResult(answer);
    loop.exit();
    emit finished(answer);
    if (answer == Accepted)
        emit accepted();
    else if (answer == Rejected)
        emit rejected();
}

// The user is asked with the normal cursor; while the checker works on, the
// busy cursor of whoever called it comes back.
void Dialog::setVisible(bool visible)
{
    bool const wasVisible = isVisible();
    QDialog::setVisible(visible);
    if (visible && !wasVisible && QApplication::overrideCursor()) {
        QApplication::restoreOverrideCursor();
        cursorTaken = true;
    } else if (!visible && wasVisible && cursorTaken) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        cursorTaken = false;
    }
}

QSize Dialog::sizeHint() const
{
    QSize hint = QDialog::sizeHint();
    hint.rwidth() += 40 * fontMetrics().horizontalAdvance(QLatin1Char('n'));
    return ScreenBound::bound(this, hint);
}

} // namespace RepoAuth
