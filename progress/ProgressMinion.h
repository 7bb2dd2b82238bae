// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "progress/Steps.h"

#include <QObject>
#include <QPointer>

class HProgressBar;

// The GUI-thread side of Progress: the one object that touches the two bars.
// A bar holds int values, so each bar gets a power-of-two divisor, chosen when
// its maximum is set, that brings the maximum into int range; values are
// divided by the same amount, which keeps their ratio to the maximum.
class ProgressMinion : public QObject
{
    Q_OBJECT

public:
    ProgressMinion(HProgressBar* total, HProgressBar* item);

    // The divisor of a maximum: how far it must be shifted right to fit an int.
    static int shiftFor(Steps maximum);

    // Paints both bars now (for a Progress in the GUI thread, whose
    // changes arrive directly).
    void paintNow();

public slots:
    void startTotal(QString const& activity, Steps totalTail);
    void startItem(QString const& activity, Steps totalValue, Steps itemTail);
    void changeItemActs(Steps totalValue);
    void setItemValue(Steps totalValue, Steps value);
    void endItemActs(Steps totalValue);
    void setTotalValue(Steps value);
    void reset();

private:
    struct Bar
    {
        QPointer<HProgressBar> widget;
        int shift = 0;

        void setMaximum(Steps maximum);
        void setValue(Steps value);
        void reset();
    };

    Bar total;
    Bar item;
};
