// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "widgets/HTextEdit.h"

// A text editor for lists of addresses that may carry credentials: it shows
// them (base/Credentials.h) as password characters, while a never-shown
// shadow editor holds the real text and receives the same input.
class PasswdTextEdit : public HTextEdit
{
    Q_OBJECT

public:
    explicit PasswdTextEdit(QWidget* parent = nullptr);
    PasswdTextEdit(int columns, int lines, QWidget* parent = nullptr);

    void setRealPlainText(QString const& text);
    QString realPlainText() const;

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

    HTextEdit* real = nullptr;
};
