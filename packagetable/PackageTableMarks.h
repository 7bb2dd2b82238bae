// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "yumio/Package.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class QWidget;

namespace PackageTable {

class Model;

// Saved selections: the marks of the table as a plain text file, so that a
// set of changes prepared once can be applied on several machines. One mark
// a line, "ACTION TARGET": ACTION is install, update, remove, reinstall or
// downgrade; TARGET a package name, optionally with the version the action
// brings ("NAME-VERSION-RELEASE.ARCH", the epoch as "E:" before the version
// when it is not 0; a downgrade needs it), or "@" and a group's name. Blank
// lines and lines starting with "#" are ignored. Written with the version
// for installs, updates and downgrades, by name for removals and
// reinstalls.
class Marks
{
    Q_DECLARE_TR_FUNCTIONS(PackageTable::Marks)

public:
    Marks() = delete;

    // What a file holds for the model's marks, in the model's row order.
    static QByteArray text(Model const& model);

    struct Reading
    {
        // False when the text is malformed: nothing is to be marked, and
        // error says why, naming the line.
        bool ok = true;
        QString error;
        struct Mark
        {
            Package::Entry* entry;
            Package::Action action;
            Package::Version downgradeTo; // for a Downgrade
        };
        QList<Mark> marks;
        // The lines that name nothing this table can mark, each with why.
        QStringList problems;
    };
    // Reads a text against the model's entries.
    static Reading read(QByteArray const& text, Model const& model);

    // Writes the marks to path (atomically); false after a message to the
    // user.
    static bool exportFile(QWidget* parent, Model const& model, QString const& path);
    // Reads path and marks what it names: nothing when the file cannot be
    // read or is malformed (a message says why), the rest when some lines
    // name what is not here (listed in one message). Marks of entries the
    // file does not name stay. False when nothing was marked.
    static bool importFile(QWidget* parent, Model& model, QString const& path);

    // The largest file read, far beyond any real list of marks.
    static constexpr qint64 maxFileSize = 16 * 1024 * 1024;
};

} // namespace PackageTable
