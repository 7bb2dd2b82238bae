// SPDX-License-Identifier: GPL-2.0-or-later
#include "widgets/PasswdLineEdit.h"

#include "widgets/PasswdShadow.h"

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

PasswdLineEdit::PasswdLineEdit(QRegularExpression const& passwdPattern, QWidget* parent)
    : QLineEdit(parent)
    , passwdPattern(QRegularExpression::anchoredPattern(passwdPattern.pattern()),
          passwdPattern.patternOptions())
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

QString PasswdLineEdit::masked(QString text, QRegularExpression const& pattern, QChar mask)
{
    QRegularExpressionMatch const match = pattern.match(text);
    if (match.hasMatch() && match.capturedStart(1) >= 0) {
        qsizetype const length = match.capturedLength(1);
        text.replace(match.capturedStart(1), length, QString(length, mask));
    }
    return text;
}

void PasswdLineEdit::showMasked(QString const& text)
{
    QChar const mask(style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, this));
    int const position = real->cursorPosition();
    setText(masked(text, passwdPattern, mask));
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
