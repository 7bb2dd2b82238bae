// SPDX-License-Identifier: GPL-2.0-or-later
#include "widgets/EscapeHides.h"

#include <QKeyEvent>
#include <QWidget>

bool escapeHides(QWidget* window, QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape)
        return false;
    event->accept();
    window->hide();
    return true;
}
