// SPDX-License-Identifier: GPL-2.0-or-later
#include "widgets/PasswdTextEdit.h"

#include "widgets/PasswdShadow.h"

#include "base/Credentials.h"
#include "base/Fonts.h"

#include <QEvent>
#include <QMimeData>
#include <QStyle>
#include <QTextCursor>

namespace {

// The shadow is a child of the editor, so the editor owns it, and it stays
// hidden whatever shows it: it holds the unmasked text.
class ShadowTextEdit : public HTextEdit
{
public:
    ShadowTextEdit(int columns, int lines, QWidget* parent)
        : HTextEdit(columns, lines, parent)
    {
        setFocusPolicy(Qt::NoFocus);
        setAcceptDrops(false);
        viewport()->setAcceptDrops(false);
        HTextEdit::setVisible(false);
    }

    void setVisible(bool) override { HTextEdit::setVisible(false); }

    bool forward(QEvent* event) { return HTextEdit::event(event); }

    bool forwardViewport(QEvent* event)
    {
        // A drag started from the editor must not start a second one here
        // carrying the unmasked selection.
        draggingGuard = event->type() == QEvent::MouseMove;
        bool const result = HTextEdit::viewportEvent(event);
        draggingGuard = false;
        return result;
    }

    void clearMargins() { setViewportMargins(0, 0, 0, 0); }

protected:
    // The editor moved the focus for a forwarded Tab already: here the Tab
    // counts as handled when it changes the focus, and as text otherwise.
    bool focusNextPrevChild(bool) override { return tabChangesFocus(); }

    QMimeData* createMimeDataFromSelection() const override
    {
        return draggingGuard ? nullptr : HTextEdit::createMimeDataFromSelection();
    }

private:
    bool draggingGuard = false;
};

} // namespace

PasswdTextEdit::PasswdTextEdit(QWidget* parent)
    : HTextEdit(parent)
{
    setUp(-1, -1);
}

PasswdTextEdit::PasswdTextEdit(int columns, int lines, QWidget* parent)
    : HTextEdit(columns, lines, parent)
{
    setUp(columns, lines);
}

void PasswdTextEdit::setUp(int columns, int lines)
{
    // Created here, not in the initialiser list: adding the child sends this
    // editor events, and event() must see a null shadow meanwhile.
    real = new ShadowTextEdit(columns, lines, this);
    setFont(Fonts::makeFixed(font()));
    real->setFont(font());
    connect(real, &QTextEdit::textChanged, this, &PasswdTextEdit::showMasked);
    followGeometry();
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
}

void PasswdTextEdit::followGeometry()
{
    if (!real)
        return;
    real->setGeometry(rect());
    static_cast<ShadowTextEdit*>(real)->clearMargins();
}

void PasswdTextEdit::setRealPlainText(QString const& text)
{
    real->setPlainText(text);
}

QString PasswdTextEdit::realPlainText() const
{
    return real->toPlainText();
}

void PasswdTextEdit::showMasked()
{
    QChar const mask(style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, this));
    int const position = real->textCursor().position();
    setPlainText(Credentials::hidden(real->toPlainText(), mask));
    QTextCursor cursor = textCursor();
    cursor.setPosition(position);
    setTextCursor(cursor);
    QTextCursor realCursor = real->textCursor();
    realCursor.setPosition(position);
    real->setTextCursor(realCursor);
    emit realTextChanged();
}

bool PasswdTextEdit::event(QEvent* event)
{
    // The shadow must treat Tab as the editor does: as text or as focus move.
    if (real)
        real->setTabChangesFocus(tabChangesFocus());
    bool const result = HTextEdit::event(event);
    if (real && forwardedToShadow(event->type())) {
        // The editor's verdict stands: an event the shadow ignores must not
        // travel on to the parents and act twice.
        bool const accepted = event->isAccepted();
        static_cast<ShadowTextEdit*>(real)->forward(event);
        event->setAccepted(accepted);
    }
    return result;
}

bool PasswdTextEdit::viewportEvent(QEvent* event)
{
    bool const result = HTextEdit::viewportEvent(event);
    if (real && forwardedToShadow(event->type())) {
        bool const accepted = event->isAccepted();
        static_cast<ShadowTextEdit*>(real)->forwardViewport(event);
        event->setAccepted(accepted);
    }
    return result;
}

void PasswdTextEdit::resizeEvent(QResizeEvent* event)
{
    HTextEdit::resizeEvent(event);
    followGeometry();
}

void PasswdTextEdit::contextMenuEvent(QContextMenuEvent*) { }

#include "moc_PasswdTextEdit.cpp"
