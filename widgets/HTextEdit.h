// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QTextEdit>

// A text editor sized in characters and lines that reports when editing
// ends and can stack paragraphs without spacing.
class HTextEdit : public QTextEdit
{
    Q_OBJECT

public:
    explicit HTextEdit(QWidget* parent = nullptr);
    // -1 for columns or lines keeps the base size hint in that direction.
    HTextEdit(int columns, int lines, QWidget* parent = nullptr);

    QSize sizeHint() const override;

    // Makes the editor a viewer: read-only, lines never wrapped, Tab moving
    // the focus.
    void setViewer();

    // Appends text (rich text allowed) as a paragraph without top or bottom
    // margin, headings included.
    void appendCompact(QString const& text);

signals:
    void editingFinished();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    int columns = -1;
    int lines = -1;
};
