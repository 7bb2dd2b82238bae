// SPDX-License-Identifier: GPL-2.0-or-later
#include "widgets/ScrollableErrorDialog.h"

#include <QPushButton>

ScrollableErrorDialog::ScrollableErrorDialog(QString const& text, QWidget* parent)
    : ScrollableMessageDialog(text, QStyle::SP_MessageBoxCritical, parent)
{
    QPushButton* close = addButton(QDialog::tr("Close"), QStringLiteral("closeButton"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    close->setDefault(true);
}
