// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "repo/YumRepoEnabled.h"
#include "repo/RepoEntry.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>

class QWidget;

// The only reader and writer of yum's configuration: the main file and the
// ".repo" files of its repository directories, all taken inside the install
// root. Reading loads four main settings, the verbatim main section and one
// Repo::Entry per repository section; writing puts the whole list back, one
// file per distinct Entry::file, and deletes repository files left without
// sections. Bytes are read and written as Latin-1, so what is not changed
// survives unchanged.
class YumConfIO : public QObject
{
    Q_OBJECT

public:
    YumConfIO(QList<YumRepoEnabled> const& usedOptions, QHash<QString, bool>& sessionUse);
    ~YumConfIO() override;

    // Discards and reloads everything but sessionUse; emits changed() and
    // returns true on success, returns false after a message on failure.
    bool read(QWidget* parent);
    // Checks, then writes repos and mainSection back. False if the user
    // declined at the check or a file could not be written.
    bool write(QWidget* parent);

    // The main file's real path: "/etc/yum/yum.conf" inside the install root
    // if it exists, else "/etc/yum.conf" inside it. Evaluated at every call.
    static QString fileName();
    // The same file as yum names it, without the install root; the `file` of
    // the sections the main file holds.
    static QString configuredFileName();
    // Where a configured path (a reposdir, an Entry::file) is on this system.
    static QString realPath(QString const& path);
    // Where a repository directory or file is: as the package manager does
    // under an install root, inside it when one of the directories exists
    // there, else as configured (a host path).
    QString repoPath(QString const& path) const;

    // Whether line is the option key, and then its value.
    static bool isOption(QString const& line, QString const& key, QString& value);
    // Orders by file, then by position within the file.
    static bool filePositionLessThan(Repo::Entry const& a, Repo::Entry const& b);

    QString cacheDir;
    QStringList reposDirs; // as configured; see repoPath()
    bool reposOnHost = false; // see repoPath()
    QString mainFileName; // configuredFileName() of the last read
    bool defaultEnabled = true;
    bool defaultGpgcheck = false;
    QList<Repo::Entry> repos;
    QList<YumRepoEnabled> const& usedOptions;
    QHash<QString, bool>& sessionUse;
    QString mainSection;
    QWidget* parentWidget = nullptr;
    QStringList pendingLines;

signals:
    void changed();

private:
    bool readConfFile(FILE* file, QString const& path, QString const& entryFile);
    bool readRepoFile(FILE* file, QString const& path, QString const& entryFile);
    int readLogicalLine(FILE* file, QString const& path, QString& line);
    int readLine(FILE* file, QString const& path, QString& line);
    void unreadLine(QString const& line);
    void cleanupRead(Repo::Entry& entry);
    void applyUsedOptions(Repo::Entry const& entry);
    using FileReader = bool (YumConfIO::*)(FILE*, QString const&, QString const&);
    bool readFile(
        QString const& path, QString const& entryFile, FileReader reader, QString const& openError);

    bool checkErrors();
    bool hasEmptyId() const;
    QString getDuplicateId() const;
    static void cleanupWrite(QList<Repo::Entry>& list);
    static void writeRepo(QString& out, Repo::Entry const& entry);
    void removeUnusedFiles(QSet<QString> const& written);
    bool forEachRepoFile(
        std::function<bool(QString const& entryFile, QString const& path)> const& visit);

    // err is taken where the failure happened, before any text is built.
    void error(QString const& message, int err);
    void refuse(QString const& message);
    void notice(QString const& message);

    // Files read to their end by the last read (or written since), by
    // canonical path, each with whether its lines ended in CR LF. Only these
    // may be overwritten or removed.
    QHash<QString, bool> readFiles;
    bool readComplete = false;
    int crlfLines = 0;
    int lfLines = 0;
};
