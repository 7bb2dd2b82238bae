// SPDX-License-Identifier: GPL-2.0-or-later
#include "widgets/DescriptionLabels.h"

#include "base/Fonts.h"
#include "widgets/HSeparator.h"

#include <QLabel>
#include <QVBoxLayout>

QLabel* DescriptionLabels::value(QString const& text, QString const& key, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Selectable labels take focus only from clicks by default.
    label->setFocusPolicy(Qt::StrongFocus);
    label->setAccessibleDescription(key);
    return label;
}

QLabel* DescriptionLabels::header(QString const& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("header"));
    label->setTextFormat(Qt::PlainText);
    label->setFont(Fonts::makeHeader(label->font()));
    return label;
}

QLabel* DescriptionLabels::addTitle(QVBoxLayout* layout, QString const& text, QWidget* parent)
{
    QLabel* label = header(text, parent);
    layout->addWidget(label, 0, Qt::AlignHCenter);
    layout->addWidget(new HSeparator(parent));
    return label;
}
