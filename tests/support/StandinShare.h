// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "support/ModalAnswerer.h"
#include "widgets/HProgressBar.h"
#include "yumio/YumIO.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>

// A share directory whose companion script is the stand-in of
// tests/data/standin/YumIO.py, with a "yum" package that reports the given
// version. VUXSHARE points at it while the object lives (an incomplete one
// fails the engine's start).
class StandinShare
{
public:
    explicit StandinShare(QString const& yumVersion);
    ~StandinShare();

private:
    QTemporaryDir dir;
    QByteArray savedShare;
    bool hadShare = false;
};

// An engine on the stand-in script (not yet initialized), with a window and
// bars, answering every dialog with its first button. failure goes to
// VUX_STANDIN_FAIL while it lives.
struct StandinEngine
{
    explicit StandinEngine(
        QString const& version = QStringLiteral("3.2.8"), QByteArray const& failure = QByteArray());
    ~StandinEngine();

    // The stand-in's record of the calls it received, blank-separated.
    QString calls();

    StandinShare share;
    ModalAnswerer answerer;
    QWidget window;
    HProgressBar total {&window};
    HProgressBar item {&window};
    YumIO engine;
};
