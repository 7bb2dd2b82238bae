// SPDX-License-Identifier: GPL-2.0-or-later
#include "widgets/PasswdLineEdit.h"

#include "widgets/PasswdShadow.h"

#include "base/Credentials.h"
#include "base/Fonts.h"

#include <QEvent>
#include <QStyle>

namespace {

// The shadow is a child of the editor, so the editor owns it, and it stays
// hidden whatever shows it: it holds the unmasked text.
class ShadowLineEdit : public QLineEdit
{
public:
    explicit ShadowLineEdit(QWidget* parent)
        : QLineEdit(parent)
    {
        setFocusPolicy(Qt::NoFocus);
        setAcceptDrops(false);
        QLineEdit::setVisible(false);
    }

    void setVisible(bool) override { QLineEdit::setVisible(false); }

    bool forward(QEvent* event) { return QLineEdit::event(event); }

protected:
    // A forwarded Tab was handled by the editor already; moving the focus
    // again would skip a widget.
    bool focusNextPrevChild(bool) override { return false; }
};

} // namespace

PasswdLineEdit::PasswdLineEdit(QWidget* parent)
    : QLineEdit(parent)
{
    // Created here, not in the initialiser list: adding the child sends this
    // editor events, and event() must see a null shadow meanwhile.
    real = new ShadowLineEdit(this);
    setFont(Fonts::makeFixed(font()));
    real->setFont(font());
    connect(real, &QLineEdit::textChanged, this, &PasswdLineEdit::showMasked);
    real->setGeometry(rect());
    setAcceptDrops(false);
}

void PasswdLineEdit::setRealText(QString const& text)
{
    real->setText(text);
}

QString PasswdLineEdit::realText() const
{
    return real->text();
}

void PasswdLineEdit::showMasked(QString const& text)
{
    QChar const mask(style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, this));
    int const position = real->cursorPosition();
    setText(Credentials::hidden(text, mask));
    setCursorPosition(position);
    real->setCursorPosition(position);
    emit realTextChanged(real->text());
}

bool PasswdLineEdit::event(QEvent* event)
{
    bool const result = QLineEdit::event(event);
    if (real && forwardedToShadow(event->type())) {
        // The editor's verdict stands: an event the shadow ignores must not
        // travel on to the parents and act twice.
        bool const accepted = event->isAccepted();
        static_cast<ShadowLineEdit*>(real)->forward(event);
        event->setAccepted(accepted);
    }
    return result;
}

void PasswdLineEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    if (real)
        real->setGeometry(rect());
}

void PasswdLineEdit::contextMenuEvent(QContextMenuEvent*) { }

#include "moc_PasswdLineEdit.cpp"
