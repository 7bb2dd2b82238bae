// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// The GUI-thread side of YumIODialogs: shows the requested dialog modally and
// sends back the answer.
class YumIODialogsMinion : public QObject
{
    Q_OBJECT

public:
    explicit YumIODialogsMinion(QWidget* parent);

public slots:
    void confirm(QString const& caption, QString const& text);
    void warning(QString const& caption, QString const& text, QString const& button0Text,
        QString const& button1Text, QString const& button2Text, int defaultButtonNumber,
        int escapeButtonNumber);
    void critical(QString const& caption, QString const& text, QString const& button0Text,
        QString const& button1Text, QString const& button2Text, int defaultButtonNumber,
        int escapeButtonNumber);
    void scrollable(QString const& caption, QString const& text);

signals:
    void setResult(int result);

private:
    int messageBox(int icon, QString const& caption, QString const& text,
        QString const& button0Text, QString const& button1Text, QString const& button2Text,
        int defaultButtonNumber, int escapeButtonNumber);

    QPointer<QWidget> parent; // not owned
};
