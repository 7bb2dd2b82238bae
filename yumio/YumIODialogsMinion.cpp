// SPDX-License-Identifier: GPL-2.0-or-later
#include "yumio/YumIODialogsMinion.h"

#include "widgets/ScrollableConfirmDialog.h"
#include "widgets/ScrollableErrorDialog.h"

#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>

YumIODialogsMinion::YumIODialogsMinion(QWidget* parent)
    : parent(parent)
{
}

void YumIODialogsMinion::confirm(QString const& caption, QString const& text)
{
    ScrollableConfirmDialog dialog(text, parent);
    dialog.setWindowTitle(caption);
    emit setResult(dialog.exec());
}

void YumIODialogsMinion::warning(QString const& caption, QString const& text,
    QString const& button0Text, QString const& button1Text, QString const& button2Text,
    int defaultButtonNumber, int escapeButtonNumber)
{
    emit setResult(messageBox(QMessageBox::Warning, caption, text, button0Text, button1Text,
        button2Text, defaultButtonNumber, escapeButtonNumber));
}

void YumIODialogsMinion::critical(QString const& caption, QString const& text,
    QString const& button0Text, QString const& button1Text, QString const& button2Text,
    int defaultButtonNumber, int escapeButtonNumber)
{
    emit setResult(messageBox(QMessageBox::Critical, caption, text, button0Text, button1Text,
        button2Text, defaultButtonNumber, escapeButtonNumber));
}

void YumIODialogsMinion::scrollable(QString const& caption, QString const& text)
{
    ScrollableErrorDialog dialog(text, parent);
    dialog.setWindowTitle(caption);
    dialog.exec();
    emit setResult(0);
}

// A message box with up to three text buttons, numbered 0 to 2 in the order
// given, returning the number of the one pressed. An escape number of -1
// names no escape button.
int YumIODialogsMinion::messageBox(int icon, QString const& caption, QString const& text,
    QString const& button0Text, QString const& button1Text, QString const& button2Text,
    int defaultButtonNumber, int escapeButtonNumber)
{
    QMessageBox box(QMessageBox::Icon(icon), caption, text, QMessageBox::NoButton, parent);
    // A box without buttons could not be dismissed; button 0 falls back to
    // "OK" as the toolkit's own three-text form always did.
    QString const texts[3] = {
        button0Text.isEmpty() ? QDialogButtonBox::tr("OK") : button0Text,
        button1Text,
        button2Text,
    };
    QPushButton* buttons[3] = {nullptr, nullptr, nullptr};
    for (int i = 0; i < 3; ++i) {
        if (texts[i].isEmpty())
            continue;
        buttons[i] = box.addButton(texts[i], QMessageBox::ActionRole);
        buttons[i]->setObjectName(QStringLiteral("button%1").arg(i));
    }
    if (defaultButtonNumber >= 0 && defaultButtonNumber < 3 && buttons[defaultButtonNumber])
        box.setDefaultButton(buttons[defaultButtonNumber]);
    if (escapeButtonNumber >= 0 && escapeButtonNumber < 3 && buttons[escapeButtonNumber])
        box.setEscapeButton(buttons[escapeButtonNumber]);
    box.exec();
    for (int i = 0; i < 3; ++i) {
        if (buttons[i] && box.clickedButton() == buttons[i])
            return i;
    }
    return escapeButtonNumber;
}

#include "moc_YumIODialogsMinion.cpp"
