// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "progress/Steps.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class HProgressBar;
class ProgressMinion;

/**
 * The two-bar progress panel as the engine drives it: a total bar for the
 * whole operation, measured in a step budget the operation chooses, and an
 * item bar for the step running now, in the item's own unit. All positions
 * are 64-bit counts; every change goes as a signal to a ProgressMinion in the
 * GUI thread, which alone touches the bars.
 *
 * A Progress is used only by the thread that created it. Driven from the
 * GUI thread itself it repaints the bars at most every 10 ms, without
 * processing events.
 *
 * Calling order: startTotal; then items, each either startItem followed by
 * setItemValue calls, or a run of acts: setupItemActs, then per act
 * startItemAct and setItemValue calls, changeItemActs when the number of acts
 * changes, endItemActs to jump to the end of the run; finally reset() or
 * destruction.
 */
class Progress : public QObject
{
    Q_OBJECT

public:
    Progress(HProgressBar* totalBar, HProgressBar* itemBar);
    ~Progress() override;

    /// Starts the total bar at 0 of totalTail steps.
    void startTotal(QString const& activity, Steps totalTail);
    /// Starts an item of itemSize total steps where the previous item ended;
    /// the item bar runs from 0 to itemTail.
    void startItem(QString const& activity, Steps itemSize, Steps itemTail);
    /// Gives the next actsSize total steps to a run of actsCount acts. Emits
    /// nothing: the bars move at the next startItemAct.
    void setupItemActs(Steps actsSize, Steps actsCount);
    /// Changes the number of acts of the run; the total bar moves to where
    /// the acts begun so far end.
    void changeItemActs(Steps actsCount);
    /// Starts the act that ends at act index actEnd (clamped to the count).
    void startItemAct(QString const& activity, Steps itemTail, Steps actEnd);
    /// Moves the item bar (clamped to itemTail) and the total bar with it.
    /// At most one update per 10 ms passes, but the one that completes the
    /// item always does.
    void setItemValue(Steps value);
    /// Moves the total bar to the end of the run of acts.
    void endItemActs();
    /// Moves the total bar (clamped to totalTail), throttled like setItemValue.
    void setTotalValue(Steps value);
    /// Empties and disables both bars; the next item starts at 0.
    void reset();
    /// Repaints the bars when driven from the GUI thread, at most every 10 ms.
    void updateGui();

signals:
    void startTotalSig(QString const& activity, Steps totalTail);
    void startItemSig(QString const& activity, Steps totalValue, Steps itemTail);
    void changeItemActsSig(Steps totalValue);
    void setItemValueSig(Steps totalValue, Steps value);
    void endItemActsSig(Steps totalValue);
    void setTotalValueSig(Steps value);
    void resetSig();

private:
    // Whether an update of a value towards tail may pass the throttle.
    bool accepts(Steps value, Steps current, Steps tail) const;

    ProgressMinion* minion;
    bool sameThread;
    QElapsedTimer itemTimer;
    QElapsedTimer guiTimer;
    Steps totalValue = 0;
    Steps totalTail = 1;
    Steps itemStart = 0;
    Steps itemEnd = 0;
    Steps itemValue = 0;
    Steps itemTail = 1;
    Steps actsSize = 0;
    Steps actsEnd = 0;
    Steps actsCount = 0;
    Steps actsDone = 0;
};
