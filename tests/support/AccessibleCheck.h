// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>

// The controls below root that assistive technology or the keyboard cannot
// use: a button, line edit or selectable label (with a text) without an
// accessible name, or one that Tab never reaches. Each as "class 'name'".
inline QStringList unreachableControls(QWidget* root)
{
    QStringList result;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(widget);
        bool const control = qobject_cast<QAbstractButton*>(widget)
            || qobject_cast<QLineEdit*>(widget)
            || (label && !label->text().isEmpty()
                && (label->textInteractionFlags() & Qt::TextSelectableByKeyboard));
        if (!control)
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QString const name = accessible ? accessible->text(QAccessible::Name) : QString();
        if (name.trimmed().isEmpty() || !(widget->focusPolicy() & Qt::TabFocus))
            result << QStringLiteral("%1 '%2'").arg(
                QLatin1String(widget->metaObject()->className()), widget->objectName());
    }
    return result;
}
