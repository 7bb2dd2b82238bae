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
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

class ConfSandbox
{
public:
    // With /etc/yum.repos.d, and /etc/yum.conf holding main unless null.
    explicit ConfSandbox(QByteArray const& main = "[main]\n")
    {
        InstallRoot::set(dir.path());
        QDir().mkpath(path("/etc/yum.repos.d"));
        if (!main.isNull())
            put("/etc/yum.conf", main);
    }
    ~ConfSandbox() { InstallRoot::set(QString()); }

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
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    bool exists(QString const& inRoot) const { return QFileInfo::exists(path(inRoot)); }
    // A symbolic link at inRoot holding target as it stands.
    void link(QByteArray const& target, QString const& inRoot) const
    {
        QDir().mkpath(QFileInfo(path(inRoot)).absolutePath());
        QVERIFY(::symlink(target.constData(), QFile::encodeName(path(inRoot)).constData()) == 0);
    }
    int mode(QString const& inRoot) const
    {
        struct stat st;
        return ::stat(QFile::encodeName(path(inRoot)).constData(), &st) == 0
            ? int(st.st_mode & 07777)
            : -1;
    }
    // Every file and link below the root with its content, for "nothing
    // changed" checks.
    QHash<QString, QByteArray> snapshot(QString const& at = QString()) const
    {
        QHash<QString, QByteArray> files;
        for (QFileInfo const& info : QDir(path(at)).entryInfoList(
                 QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
            QString const rel = at + '/' + info.fileName();
            if (info.isSymLink())
                files.insert(rel, "-> " + QFile::encodeName(info.symLinkTarget()));
            else if (info.isDir())
                files.insert(snapshot(rel));
            else
                files.insert(rel, get(rel));
        }
        return files;
    }

    QTemporaryDir dir;
};

// One YumConfIO with its own option list and session-use map; its message
// boxes get the queued answers, then OK, so an unexpected box fails a test
// instead of hanging it.
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

// Every field of every entry, in file order, for "read the same" checks.
inline QString describe(QList<Repo::Entry> entries)
{
    std::sort(entries.begin(), entries.end(), YumConfIO::filePositionLessThan);
    QString text;
    for (Repo::Entry const& e : entries)
        text += QStringList {e.id, e.file, QString::number(e.sortPosition), e.name, e.baseurl,
            e.mirrorlist, QString::number(e.enabled), QString::number(e.gpgcheck), e.otherOptions}
                    .join('|');
    return text;
}
