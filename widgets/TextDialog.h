// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>

class HTextEdit;

// Shows a plain text, such as a file list, unwrapped and read-only.
class TextDialog : public QDialog
{
public:
    explicit TextDialog(QWidget* parent = nullptr);

    void setText(QString const& text);

private:
    HTextEdit* textEdit;
};
