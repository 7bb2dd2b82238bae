// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "yumio/Package.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The rows of the last successful collection on a root, kept in a file so
// that the next start can show the table before the package manager has
// loaded (doc/row-cache.md). The file names what the rows were made of:
// files whose contents (the configuration, each enabled repository's
// repomd.xml), directories whose listings (the repository directories) and
// directories whose files' sizes and times (the rpm database) must be as
// they were. A file that does not agree in every point is ignored; every
// read is bounds-checked.
namespace RowCache {

// What the rows were made of, as the engine names it after a collection.
struct Sources
{
    QStringList files; // contents (a missing file counts as such)
    QStringList dirs; // names of the entries
    QStringList statDirs; // names, sizes and modification times of the files
};

// The cache file of a root ("" for the running system) in the user's cache
// directory.
QString fileName(QString const& root);

// What else the rows depend on, for save() and load(): the program's options
// that change them (repositories enabled or disabled on the command line),
// and the locale and time zone their sizes and times are written in.
QByteArray options(QStringList const& programOptions);

// Writes rows atomically; false (and *error) when the file could not be
// written. options holds whatever else changes the rows (the program's
// repository options, the locale the texts were formatted in).
bool save(QString const& path, QString const& root, QByteArray const& options,
    Sources const& sources, QList<Package::Entry*> const& rows, QString* error = nullptr);

// Reads the rows when the file is whole and still describes root, options
// and the sources as they are now; false otherwise (rows left empty).
bool load(
    QString const& path, QString const& root, QByteArray const& options, Package::EntryList& rows);
// The same, the rows read only when into is given.
bool load(
    QString const& path, QString const& root, QByteArray const& options, Package::EntryList* into);
// Whether the file is whole and still describes root, options and the
// sources as they are now (load() without reading the rows).
bool current(QString const& path, QString const& root, QByteArray const& options);

// Whether two row lists show the same: every field of every row and of its
// chained installed versions, in the same order.
bool sameRows(QList<Package::Entry*> const& a, QList<Package::Entry*> const& b);

} // namespace RowCache
