// SPDX-License-Identifier: GPL-2.0-or-later
#include "widgets/DialogCanceller.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

namespace {
// How often dialogs that came up meanwhile are looked for.
constexpr int intervalMs = 50;
} // namespace

DialogCanceller::DialogCanceller(QObject* parent)
    : QObject(parent)
    , timer(new QTimer(this))
{
    timer->setInterval(intervalMs);
    connect(timer, &QTimer::timeout, this, &DialogCanceller::cancel);
}

void DialogCanceller::start()
{
    cancel();
    timer->start();
}

void DialogCanceller::cancel()
{
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    // A dialog that refuses now (one still loading what it shows) is asked
    // again at the next look.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (dialog && dialog->isVisible() && dialog->isModal())
            dialog->reject();
    }
}
