#pragma once

// Shared by the configuration-file tests: a temporary install root, file
// helpers, and an answerer for the message boxes YumConfIO shows.

#include "app/InstallRoot.h"
#include "app/YumRepoEnabled.h"
#include "repo/RepoEntry.h"
#include "repo/YumConfIO.h"
#include "support/ModalAnswerer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class ConfSandbox
{
public:
    ConfSandbox()
    {
        InstallRoot::set(dir.path());
        QDir().mkpath(path("/etc/yum.repos.d"));
    }
    ~ConfSandbox() { InstallRoot::set(QString()); }
    ConfSandbox(ConfSandbox const&) = delete;
    ConfSandbox& operator=(ConfSandbox const&) = delete;

    // The real path of an absolute path inside the root.
    QString path(QString const& inRoot) const { return dir.path() + inRoot; }

    void put(QString const& inRoot, QByteArray const& bytes) const
    {
        QDir().mkpath(QFileInfo(path(inRoot)).absolutePath());
        QFile file(path(inRoot));
        QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(inRoot));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    QByteArray get(QString const& inRoot) const
    {
        QFile file(path(inRoot));
        if (!file.open(QIODevice::ReadOnly))
            return QByteArray("<missing>");
        return file.readAll();
    }
    bool exists(QString const& inRoot) const { return QFileInfo::exists(path(inRoot)); }
    ino_t inode(QString const& inRoot) const
    {
        struct stat st;
        return ::lstat(QFile::encodeName(path(inRoot)).constData(), &st) == 0 ? st.st_ino : 0;
    }
    // Every file below the root with its content, for "nothing changed" checks.
    QHash<QString, QByteArray> snapshot() const
    {
        QHash<QString, QByteArray> files;
        snapshotInto(dir.path(), files);
        return files;
    }

    QTemporaryDir dir;

private:
    void snapshotInto(QString const& at, QHash<QString, QByteArray>& files) const
    {
        QDir const d(at);
        for (QFileInfo const& info : d.entryInfoList(
                 QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
            QString const rel = info.absoluteFilePath().mid(dir.path().size());
            if (info.isSymLink())
                files.insert(rel, "-> " + QFile::encodeName(info.symLinkTarget()));
            else if (info.isDir())
                snapshotInto(info.absoluteFilePath(), files);
            else {
                QFile file(info.absoluteFilePath());
                file.open(QIODevice::ReadOnly);
                files.insert(rel, file.readAll());
            }
        }
    }
};

// One YumConfIO with its own option list and session-use map, and an
// answerer for its message boxes: queued answers first, then OK, so a test
// that meets an unexpected error box fails instead of hanging.
struct ConfFixture
{
    explicit ConfFixture(QList<YumRepoEnabled> options = {})
        : usedOptions(std::move(options))
        , conf(usedOptions, sessionUse)
    {
        answerer.alwaysClick(QStringLiteral("okButton"));
    }
    QList<YumRepoEnabled> usedOptions;
    QHash<QString, bool> sessionUse;
    YumConfIO conf;
    ModalAnswerer answerer;
};

// A readable, order-independent description of entries for comparisons.
inline QString describe(QList<Repo::Entry> entries)
{
    std::sort(entries.begin(), entries.end(), YumConfIO::filePositionLessThan);
    QStringList lines;
    for (Repo::Entry const& e : entries) {
        lines.append(QStringLiteral("[%1] file=%2 pos=%3 name=%4 baseurl=%5 mirrorlist=%6 "
                                    "enabled=%7 gpgcheck=%8 other=%9")
                         .arg(e.id, e.file, QString::number(e.sortPosition), e.name,
                             QString(e.baseurl).replace(QLatin1Char('\n'), QLatin1Char('|')),
                             e.mirrorlist, QString::number(e.enabled), QString::number(e.gpgcheck),
                             QString(e.otherOptions).replace(QLatin1Char('\n'), QLatin1Char('|'))));
    }
    return lines.join(QLatin1Char('\n'));
}
