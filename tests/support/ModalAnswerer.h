// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers modal dialogs for a test: a timer waits for
// QApplication::activeModalWidget() and lets a handler act on it (usually by
// clicking a button found by object name or text). Each answer is used once,
// in order; what the dialogs said is kept for the test to check.
class ModalAnswerer
{
public:
    using Handler = std::function<void(QWidget* dialog)>;

    ModalAnswerer();

    // Queues an answer for the next modal dialog.
    void answer(Handler handler) { handlers.append(std::move(handler)); }
    // Queues a click on the button whose object name or text (without '&') is
    // buttonName in the next modal dialog.
    void click(QString const& buttonName)
    {
        answer([buttonName](QWidget* dialog) { clickButton(dialog, buttonName); });
    }
    // Clicks buttonName in every modal dialog once the queued answers are used;
    // with several names, the first one the dialog has.
    void alwaysClick(QString const& buttonName) { always.append(buttonName); }

    // Window titles and texts of the dialogs answered so far.
    QStringList titles() const { return titles_; }
    QStringList texts() const { return texts_; }
    int answered() const { return int(titles_.size()); }

    // Finds a button by object name or by text without '&'.
    static bool clickButton(QWidget* dialog, QString const& buttonName);
    // The visible text of a dialog: message box text or label texts.
    static QString dialogText(QWidget* dialog);

private:
    QList<Handler> handlers;
    QStringList always;
    QStringList titles_;
    QStringList texts_;
    QTimer timer;
    QPointer<QWidget> lastAnswered;
};
