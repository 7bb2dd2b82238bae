// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>

class QTimer;

// Once started, answers every modal dialog with Cancel (reject) and closes
// every pop-up menu: those up now and those that come later, for as long as
// it lives. For a program that is ending where no one is left to answer.
// Each dialog is answered from the event loop, so the exec() calls return
// innermost first and their callers unwind in order.
class DialogCanceller : public QObject
{
    Q_OBJECT

public:
    explicit DialogCanceller(QObject* parent = nullptr);

    void start();

private:
    void cancel();

    QTimer* timer;
};
