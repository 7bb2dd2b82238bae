// SPDX-License-Identifier: GPL-2.0-or-later
#include "widgets/TextDialog.h"

#include "widgets/HTextEdit.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TextDialog::TextDialog(QWidget* parent)
    : QDialog(parent)
{
    setAttribute(Qt::WA_ShowModal);
    auto* layout = new QVBoxLayout(this);

    textEdit = new HTextEdit(80, 24, this);
    textEdit->setObjectName(QStringLiteral("textEdit"));
    textEdit->setViewer();
    layout->addWidget(textEdit);

    auto* row = new QHBoxLayout;
    row->addStretch();
    auto* close = new QPushButton(QDialog::tr("Close"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    row->addWidget(close);
    layout->addLayout(row);
}

void TextDialog::setText(QString const& text)
{
    textEdit->setPlainText(text);
}
