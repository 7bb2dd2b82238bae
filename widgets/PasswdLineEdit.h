// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QLineEdit>
#include <QRegularExpression>

// A line editor for an address that may carry a password: it shows the
// password (capture group 1 of a pattern matching the whole text) as
// password characters, while a never-shown shadow editor holds the real
// text and receives the same input.
class PasswdLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit PasswdLineEdit(QRegularExpression const& passwdPattern, QWidget* parent = nullptr);

    void setRealText(QString const& text);
    QString realText() const;

    // The text with group 1 of an anchored match of pattern replaced by as
    // many copies of mask; a text that does not match is returned unchanged.
    static QString masked(QString text, QRegularExpression const& pattern, QChar mask);

signals:
    void realTextChanged(QString const& text);

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

protected slots:
    // Rewrites the display from the real text.
    void showMasked(QString const& text);

private:
    QRegularExpression passwdPattern; // anchored at both ends
    QLineEdit* real = nullptr;
};
