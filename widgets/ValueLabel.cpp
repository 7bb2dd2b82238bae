#include "widgets/ValueLabel.h"

#include <QLabel>

QLabel* ValueLabel::make(QString const& text, QString const& key, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Selectable labels take focus only from clicks by default.
    label->setFocusPolicy(Qt::StrongFocus);
    label->setAccessibleDescription(key);
    return label;
}
