// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "widgets/HTextEdit.h"

#include <QRegularExpression>

// A text editor for lists of addresses that may carry passwords: every match
// of a pattern has its capture group 1 shown as password characters, while a
// never-shown shadow editor holds the real text and receives the same input.
class PasswdTextEdit : public HTextEdit
{
    Q_OBJECT

public:
    explicit PasswdTextEdit(QRegularExpression const& passwdPattern, QWidget* parent = nullptr);
    PasswdTextEdit(
        QRegularExpression const& passwdPattern, int columns, int lines, QWidget* parent = nullptr);

    void setRealPlainText(QString const& text);
    QString realPlainText() const;

    // The text with group 1 of every match of pattern replaced by as many
    // copies of mask; the length never changes, so positions stay aligned.
    static QString masked(QString text, QRegularExpression const& pattern, QChar mask);

signals:
    void realTextChanged();

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

protected slots:
    // Rewrites the display from the real text.
    void showMasked();

private:
    void setUp(int columns, int lines);
    void followGeometry();

    QRegularExpression passwdPattern;
    HTextEdit* real = nullptr;
};
