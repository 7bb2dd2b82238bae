// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// The package manager's transaction history, as the engine reads it.
namespace History {

// Undo reverts one transaction; RollBack every transaction after one.
enum Operation { Undo, RollBack };

struct Transaction
{
    int id = 0;
    qint64 begin = 0; // seconds since the epoch
    QString commandLine;
    // The package manager's action names: one action by name ("Install"),
    // several by their short forms ("I, U").
    QString actions;
    int altered = 0; // packages changed, as the package manager counts them
    bool completed = true;
    // Made by this program: it records its command lines beginning so.
    bool byVux() const { return commandLine.startsWith(QLatin1String("vux ")); }
};

// One package (or group) of a transaction.
struct Item
{
    QString action; // the package manager's name: Install, Upgrade, Upgraded, Removed, ...
    QString name;
    QString version;
    QString arch;
    QString repo;
    QString reason; // user, dependency, weak-dependency, clean, group, unknown
    bool done = true;
};

} // namespace History
