// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "progress/Steps.h"

#include <QObject>
#include <QPointer>

class HProgressBar;

// The GUI-thread side of Progress: the one object that touches the two bars.
// A bar's repaint paints its whole window at once, and what the window paints
// may run a nested event loop (a table whose filter loads data on a worker):
// the Progress's request to delete the minion can arrive there, inside one of
// its own slots. So the Progress asks through retire(), which waits for the
// slots running to return.
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
    // Deletes the minion once none of its slots is running.
    void retire();

private:
    // Marks a slot running for its scope; the last one out carries out a
    // retire() that came in meanwhile.
    class Busy
    {
    public:
        explicit Busy(ProgressMinion* minion);
        ~Busy();
        Busy(Busy const&) = delete;
        Busy& operator=(Busy const&) = delete;

    private:
        ProgressMinion* minion;
    };

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
    int running = 0;
    bool retired = false;
};
