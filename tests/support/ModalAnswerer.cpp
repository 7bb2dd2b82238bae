// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

struct ModalAnswerer::Private
{
    QList<Handler> handlers;
    QStringList always;
    QStringList titles;
    QStringList texts;
    QTimer timer;
    QPointer<QWidget> lastAnswered;
};

ModalAnswerer::ModalAnswerer()
    : d(new Private)
{
    d->timer.setInterval(20);
    QObject::connect(&d->timer, &QTimer::timeout, [this] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible() || dialog == d->lastAnswered)
            return;
        Handler handler;
        if (!d->handlers.isEmpty())
            handler = d->handlers.takeFirst();
        else if (!d->always.isEmpty()) {
            QStringList const names = d->always;
            handler = [names](QWidget* w) {
                for (QString const& name : names) {
                    if (clickButton(w, name))
                        return;
                }
            };
        } else
            return;
        d->titles.append(dialog->windowTitle());
        d->texts.append(dialogText(dialog));
        d->lastAnswered = dialog;
        handler(dialog);
    });
    d->timer.start();
}

ModalAnswerer::~ModalAnswerer()
{
    delete d;
}

void ModalAnswerer::answer(Handler handler)
{
    d->handlers.append(std::move(handler));
}

void ModalAnswerer::click(QString const& buttonName)
{
    answer([buttonName](QWidget* dialog) { clickButton(dialog, buttonName); });
}

void ModalAnswerer::alwaysClick(QString const& buttonName)
{
    d->always.append(buttonName);
}

QStringList ModalAnswerer::titles() const
{
    return d->titles;
}

QStringList ModalAnswerer::texts() const
{
    return d->texts;
}

int ModalAnswerer::answered() const
{
    return d->titles.size();
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
