// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>

namespace Log {

enum Kind { Message = 0, Output = 1, Warning = 2, Error = 3, Heading = 4 };

// Highest detail level the log window offers, and its default.
constexpr int maxLevel = 10;
constexpr int defaultLevel = 2;

// One line of the log, without its line break, and when it was logged.
class Entry
{
public:
    Entry(Log::Kind kind, unsigned int level, QString const& text)
        : kind(kind)
        , level(level)
        , text(text)
        , when(QDateTime::currentMSecsSinceEpoch())
    {
    }

    Log::Kind kind;
    unsigned int level;
    QString text;
    qint64 when; // milliseconds since the epoch
};

// The list of entries, the lock that guards it and the announcer of
// additions in one. Producers append while holding the lock, release it, then
// call emitAppended() once per batch. Entries are never removed.
class EntryList : public QObject, public QList<Log::Entry>, public QMutex
{
    Q_OBJECT

public:
    EntryList() = default;

    void emitAppended() { emit appended(); }

signals:
    void appended();
};

} // namespace Log
