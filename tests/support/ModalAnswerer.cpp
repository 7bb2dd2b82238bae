// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>

ModalAnswerer::ModalAnswerer()
{
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [this] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible() || dialog == lastAnswered
            || (handlers.isEmpty() && always.isEmpty()))
            return;
        Handler handler = handlers.isEmpty() ? Handler() : handlers.takeFirst();
        titles_.append(dialog->windowTitle());
        texts_.append(dialogText(dialog));
        lastAnswered = dialog;
        if (handler)
            return handler(dialog);
        for (QString const& name : std::as_const(always)) {
            if (clickButton(dialog, name))
                return;
        }
    });
    timer.start();
}

bool ModalAnswerer::clickButton(QWidget* dialog, QString const& buttonName)
{
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        QString text = button->text();
        text.remove(QLatin1Char('&'));
        if (button->objectName() == buttonName || text == buttonName) {
            // Queued, so the dialog's own event loop is the one that returns.
            QMetaObject::invokeMethod(button, "click", Qt::QueuedConnection);
            return true;
        }
    }
    return false;
}

QString ModalAnswerer::dialogText(QWidget* dialog)
{
    if (auto* box = qobject_cast<QMessageBox*>(dialog))
        return box->text();
    QStringList parts;
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            parts.append(label->text());
    }
    return parts.join(QLatin1Char('\n'));
}
