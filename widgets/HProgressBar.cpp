// SPDX-License-Identifier: GPL-2.0-or-later
#include "widgets/HProgressBar.h"

HProgressBar::HProgressBar(QWidget* parent)
    : QProgressBar(parent)
{
}

void HProgressBar::setActivity(QString const& activity)
{
    if (activity == current)
        return;
    current = activity;
    update();
}

void HProgressBar::reset()
{
    current.clear();
    QProgressBar::reset();
}

QString HProgressBar::text() const
{
    QString const base = QProgressBar::text();
    if (!current.isEmpty() && !base.isEmpty())
        return tr("%1 (%2)").arg(current, base);
    if (!current.isEmpty())
        return current;
    return base;
}
