// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QEventLoop>
#include <QObject>
#include <QString>

class QWidget;
class YumIODialogsMinion;

// The engine's way to ask the user from any thread: each request goes as a
// signal to a YumIODialogsMinion in the GUI thread, and the asker waits for
// the answer in a local event loop that handles no user input. Asked from the
// GUI thread itself, the answer is there before any waiting starts.
class YumIODialogs : public QObject
{
    Q_OBJECT

public:
    explicit YumIODialogs(QWidget* parent);
    ~YumIODialogs() override;

    // 1 when the scrollable confirmation was accepted, 0 otherwise.
    int confirm(QString const& caption, QString const& text);
    // The number (0 to 2) of the button pressed.
    int warning(QString const& caption, QString const& text, QString const& button0Text,
        QString const& button1Text = QString(), QString const& button2Text = QString(),
        int defaultButtonNumber = 0, int escapeButtonNumber = -1);
    int critical(QString const& caption, QString const& text, QString const& button0Text,
        QString const& button1Text = QString(), QString const& button2Text = QString(),
        int defaultButtonNumber = 0, int escapeButtonNumber = -1);
    void scrollable(QString const& caption, QString const& text);

    // How many requests had to wait in the local loop.
    int waitCount() const { return waits; }

signals:
    void confirmSig(QString const& caption, QString const& text);
    void warningSig(QString const& caption, QString const& text, QString const& button0Text,
        QString const& button1Text, QString const& button2Text, int defaultButtonNumber,
        int escapeButtonNumber);
    void criticalSig(QString const& caption, QString const& text, QString const& button0Text,
        QString const& button1Text, QString const& button2Text, int defaultButtonNumber,
        int escapeButtonNumber);
    void scrollableSig(QString const& caption, QString const& text);

public slots:
    void setResult(int value);

private:
    int waitForResult();

    YumIODialogsMinion* minion;
    QEventLoop loop;
    bool done = false;
    int result = 0;
    int waits = 0;
};
