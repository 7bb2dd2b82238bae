// SPDX-License-Identifier: GPL-2.0-or-later
#include "widgets/ScrollableMessageDialog.h"

#include "widgets/HScrollArea.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ScrollableMessageDialog::ScrollableMessageDialog(
    QString const& text, QStyle::StandardPixmap icon, QWidget* parent)
    : QDialog(parent)
{
    setAttribute(Qt::WA_ShowModal);
    auto* layout = new QVBoxLayout(this);

    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    auto* iconLabel = new QLabel(this);
    QStyle* style = QApplication::style();
    int const iconSize = style->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    iconLabel->setPixmap(style->standardIcon(icon, nullptr, this).pixmap(iconSize, iconSize));
    iconLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    row->addWidget(iconLabel, 0, Qt::AlignTop);

    // Bounded by the screen alone.
    auto* area = new HScrollArea(this);
    area->setObjectName(QStringLiteral("textArea"));
    area->setFrameStyle(QFrame::NoFrame | QFrame::Plain);
    textLabel = new QLabel(text);
    textLabel->setObjectName(QStringLiteral("textLabel"));
    textLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    area->setWidget(textLabel);
    area->setWidgetResizable(true);
    row->addWidget(area, 1);

    buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addStretch();
    layout->addLayout(buttons);
}

QPushButton* ScrollableMessageDialog::addButton(QString const& text, QString const& objectName)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(objectName);
    // Between the two stretches.
    buttons->insertWidget(buttons->count() - 1, button);
    return button;
}
