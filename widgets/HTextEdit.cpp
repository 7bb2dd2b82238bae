// SPDX-License-Identifier: GPL-2.0-or-later
#include "widgets/HTextEdit.h"

#include "widgets/ScreenBound.h"

#include <QApplication>
#include <QFocusEvent>
#include <QTextBlock>
#include <QTextCursor>

HTextEdit::HTextEdit(QWidget* parent)
    : QTextEdit(parent)
{
}

HTextEdit::HTextEdit(int columns, int lines, QWidget* parent)
    : QTextEdit(parent)
    , columns(columns)
    , lines(lines)
{
}

QSize HTextEdit::sizeHint() const
{
    QSize hint = QAbstractScrollArea::sizeHint();
    int const frame = frameWidth();
    QFontMetrics const metrics(font());
    if (columns != -1)
        hint.setWidth(frame + columns * metrics.horizontalAdvance(QLatin1Char('n')) + frame);
    if (lines != -1)
        hint.setHeight(frame + lines * metrics.lineSpacing() + frame);
    return ScreenBound::bound(this, hint);
}

void HTextEdit::appendCompact(QString const& text)
{
    append(text);
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    QTextBlockFormat format = cursor.blockFormat();
    format.setTopMargin(0);
    format.setBottomMargin(0);
    cursor.setBlockFormat(format);
    cursor.endEditBlock();
}

void HTextEdit::focusOutEvent(QFocusEvent* event)
{
    // Opening a popup, our own context menu above all, does not end editing.
    QWidget const* popup = QApplication::activePopupWidget();
    bool const ownPopup = popup && popup->parentWidget() == this;
    if (event->reason() != Qt::PopupFocusReason && !ownPopup)
        emit editingFinished();
    QTextEdit::focusOutEvent(event);
}

#include "moc_HTextEdit.cpp"

void HTextEdit::setViewer()
{
    setReadOnly(true);
    setLineWrapMode(QTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setTabChangesFocus(true);
}
