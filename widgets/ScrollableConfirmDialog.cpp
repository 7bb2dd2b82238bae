// SPDX-License-Identifier: GPL-2.0-or-later
#include "widgets/ScrollableConfirmDialog.h"

#include <QPushButton>

ScrollableConfirmDialog::ScrollableConfirmDialog(QString const& text, QWidget* parent)
    : ScrollableMessageDialog(text, QStyle::SP_MessageBoxQuestion, parent)
{
    QPushButton* ok = addButton(QDialog::tr("OK"), QStringLiteral("okButton"));
    QPushButton* cancel = addButton(QDialog::tr("Cancel"), QStringLiteral("cancelButton"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    ok->setDefault(true);
}
