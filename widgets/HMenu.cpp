// SPDX-License-Identifier: GPL-2.0-or-later
#include "widgets/HMenu.h"

#include <QHelpEvent>
#include <QMenuBar>
#include <QToolTip>

HMenu::HMenu(QString const& title, QMenuBar* parent)
    : QMenu(title, parent)
{
    setTearOffEnabled(true);
}

bool HMenu::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        // The highlighted action, followed down through open submenus.
        QAction* action = activeAction();
        while (action && action->menu() && action->menu()->activeAction())
            action = action->menu()->activeAction();
        if (action) {
            QString const tip = action->toolTip();
            if (!tip.isEmpty()) {
                QString text = action->text();
                text.remove(QStringLiteral("..."));
                text.remove(QLatin1Char('&'));
                // A tip equal to the cleaned text is the one Qt derives by itself.
                if (tip != text)
                    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, this);
            }
        }
    }
    return QMenu::event(event);
}
