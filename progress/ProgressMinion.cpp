// SPDX-License-Identifier: GPL-2.0-or-later
#include "progress/ProgressMinion.h"

#include "widgets/HProgressBar.h"

#include <climits>

ProgressMinion::ProgressMinion(HProgressBar* totalBar, HProgressBar* itemBar)
{
    total.widget = totalBar;
    item.widget = itemBar;
}

int ProgressMinion::shiftFor(Steps maximum)
{
    int shift = 0;
    while ((maximum >> shift) > Steps(INT_MAX))
        ++shift;
    return shift;
}

ProgressMinion::Busy::Busy(ProgressMinion* minion)
    : minion(minion)
{
    ++minion->running;
}

ProgressMinion::Busy::~Busy()
{
    if (--minion->running == 0 && minion->retired)
        delete minion;
}

void ProgressMinion::retire()
{
    Busy busy(this);
    retired = true;
}

void ProgressMinion::paintNow()
{
    Busy busy(this);
    for (Bar const* bar : {&total, &item}) {
        if (bar->widget)
            bar->widget->repaint();
    }
}

void ProgressMinion::Bar::setMaximum(Steps maximum)
{
    if (!widget)
        return;
    shift = shiftFor(maximum);
    widget->setMaximum(int(maximum >> shift));
}

void ProgressMinion::Bar::setValue(Steps value)
{
    if (!widget)
        return;
    // A bar ignores a value beyond its range; show it full instead.
    Steps const scaled = value >> shift;
    widget->setValue(int(qMin(scaled, Steps(widget->maximum()))));
}

void ProgressMinion::Bar::reset()
{
    if (!widget)
        return;
    shift = 0;
    widget->setMinimum(0);
    widget->setMaximum(1);
    widget->reset();
    widget->setEnabled(false);
}

void ProgressMinion::startTotal(QString const& activity, Steps totalTail)
{
    Busy busy(this);
    if (total.widget) {
        total.widget->setActivity(activity);
        total.setMaximum(totalTail);
        total.setValue(0);
        total.widget->setEnabled(true);
    }
    if (item.widget) {
        item.widget->reset();
        item.widget->setEnabled(false);
    }
}

void ProgressMinion::startItem(QString const& activity, Steps totalValue, Steps itemTail)
{
    Busy busy(this);
    total.setValue(totalValue);
    if (item.widget) {
        item.widget->setActivity(activity);
        item.setMaximum(itemTail);
        item.setValue(0);
        item.widget->setEnabled(true);
    }
}

void ProgressMinion::changeItemActs(Steps totalValue)
{
    Busy busy(this);
    total.setValue(totalValue);
}

void ProgressMinion::setItemValue(Steps totalValue, Steps value)
{
    Busy busy(this);
    total.setValue(totalValue);
    item.setValue(value);
}

void ProgressMinion::endItemActs(Steps totalValue)
{
    Busy busy(this);
    total.setValue(totalValue);
}

void ProgressMinion::setTotalValue(Steps value)
{
    Busy busy(this);
    total.setValue(value);
}

void ProgressMinion::reset()
{
    Busy busy(this);
    total.reset();
    item.reset();
}

#include "moc_ProgressMinion.cpp"
