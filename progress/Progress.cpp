// SPDX-License-Identifier: GPL-2.0-or-later
#include "progress/Progress.h"

#include "base/Globals.h"
#include "progress/ProgressMinion.h"

#include <QApplication>
#include <QThread>

namespace {

// Milliseconds within which a second value update is dropped.
constexpr qint64 throttleMs = 9;

QThread* guiThread()
{
    QCoreApplication* app = application ? application : QCoreApplication::instance();
    return app ? app->thread() : QThread::currentThread();
}

// a * b / c without losing the high bits of the product; b <= c in every use,
// so the quotient fits.
Steps scale(Steps a, Steps b, Steps c)
{
    return Steps((unsigned __int128)a * b / c);
}

} // namespace

Progress::Progress(HProgressBar* totalBar, HProgressBar* itemBar)
    : minion(new ProgressMinion(totalBar, itemBar))
{
    qRegisterMetaType<Steps>("Steps");
    minion->moveToThread(guiThread());
    sameThread = minion->thread() == thread();
    connect(this, &Progress::startTotalSig, minion, &ProgressMinion::startTotal);
    connect(this, &Progress::startItemSig, minion, &ProgressMinion::startItem);
    connect(this, &Progress::changeItemActsSig, minion, &ProgressMinion::changeItemActs);
    connect(this, &Progress::setItemValueSig, minion, &ProgressMinion::setItemValue);
    connect(this, &Progress::endItemActsSig, minion, &ProgressMinion::endItemActs);
    connect(this, &Progress::setTotalValueSig, minion, &ProgressMinion::setTotalValue);
    connect(this, &Progress::resetSig, minion, &ProgressMinion::reset);
    reset();
}

Progress::~Progress()
{
    // Queued from a worker, so the minion resets the bars before it goes.
    reset();
    QMetaObject::invokeMethod(minion, &ProgressMinion::retire);
}

void Progress::startTotal(QString const& activity, Steps totalTail)
{
    totalValue = 0;
    this->totalTail = totalTail;
    if (sameThread)
        guiTimer.start();
    emit startTotalSig(activity, totalTail);
    updateGui();
}

void Progress::startItem(QString const& activity, Steps itemSize, Steps itemTail)
{
    totalValue = itemStart = itemEnd;
    itemEnd = itemStart + itemSize;
    itemValue = 0;
    this->itemTail = itemTail;
    itemTimer.start();
    emit startItemSig(activity, totalValue, itemTail);
    updateGui();
}

void Progress::setupItemActs(Steps actsSize, Steps actsCount)
{
    this->actsSize = actsSize;
    actsEnd = itemEnd + actsSize;
    this->actsCount = actsCount;
    actsDone = 0;
}

void Progress::changeItemActs(Steps actsCount)
{
    this->actsCount = actsCount;
    Steps const runStart = actsEnd - actsSize;
    itemEnd = runStart + (actsCount == 0 ? actsSize : scale(actsSize, actsDone, actsCount));
    totalValue = itemEnd;
    emit changeItemActsSig(totalValue);
    updateGui();
}

void Progress::startItemAct(QString const& activity, Steps itemTail, Steps actEnd)
{
    if (actEnd > actsCount)
        actEnd = actsCount;
    Steps const from = actsCount == 0 ? actsSize : scale(actsSize, actsDone, actsCount);
    Steps const to = actsCount == 0 ? actsSize : scale(actsSize, actEnd, actsCount);
    startItem(activity, to - from, itemTail);
    actsDone = actEnd;
}

bool Progress::accepts(Steps value, Steps current, Steps tail) const
{
    // An invalid timer means no update was accepted yet.
    if (!itemTimer.isValid() || itemTimer.elapsed() > throttleMs)
        return true;
    return value == tail && current != tail;
}

void Progress::setItemValue(Steps value)
{
    if (value > itemTail)
        value = itemTail;
    if (!accepts(value, itemValue, itemTail))
        return;
    itemTimer.start();
    itemValue = value;
    if (itemTail == 0)
        totalValue = itemEnd;
    else if (itemEnd >= itemStart)
        totalValue = itemStart + scale(itemEnd - itemStart, value, itemTail);
    else // a larger count of acts moved the end before the start
        totalValue = itemStart - scale(itemStart - itemEnd, value, itemTail);
    emit setItemValueSig(totalValue, value);
    updateGui();
}

void Progress::endItemActs()
{
    itemStart = itemEnd = actsEnd;
    totalValue = actsEnd;
    emit endItemActsSig(totalValue);
    updateGui();
}

void Progress::setTotalValue(Steps value)
{
    if (value > totalTail)
        value = totalTail;
    if (!accepts(value, totalValue, totalTail))
        return;
    itemTimer.start();
    totalValue = value;
    emit setTotalValueSig(value);
    updateGui();
}

void Progress::reset()
{
    totalTail = 1;
    itemStart = itemEnd = 0;
    itemTail = 1;
    emit resetSig();
    updateGui();
}

void Progress::updateGui()
{
    if (!sameThread)
        return;
    if (guiTimer.isValid() && guiTimer.elapsed() <= throttleMs)
        return;
    // Painted at once, without letting events through: the caller (an
    // engine operation) holds the interpreter lock, and an event handled
    // here could call back into what it is in the middle of.
    minion->paintNow();
    guiTimer.start();
}

#include "moc_Progress.cpp"
