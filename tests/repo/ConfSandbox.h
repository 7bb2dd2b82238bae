// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The configuration-file tests' install root, file helpers and fixture.
#include "base/InstallRoot.h"
#include "repo/RepoEntry.h"
#include "repo/YumConfIO.h"
#include "repo/YumRepoEnabled.h"
#include "support/ModalAnswerer.h"

#include <QtTest>
#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
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
    ~ConfSandbox()
    {
        if (!full.isEmpty())
            ::umount2(full.constData(), MNT_DETACH);
        InstallRoot::set(QString());
    }
    // The real path of an absolute path inside the root.
    QString path(QString const& inRoot) const { return dir.path() + inRoot; }
    void put(QString const& inRoot, QByteArray const& bytes) const
    {
        QDir().mkpath(QFileInfo(path(inRoot)).absolutePath());
        QFile file(path(inRoot));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    QByteArray get(QString const& inRoot) const
    {
        QFile file(path(inRoot));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    // A symbolic link at inRoot holding target as it stands.
    void link(QByteArray const& target, QString const& inRoot) const
    {
        QVERIFY(::symlink(target.constData(), QFile::encodeName(path(inRoot)).constData()) == 0);
    }
    // "mode uid:gid", the mode in octal.
    QString owner(QString const& inRoot) const
    {
        struct stat st = {};
        ::stat(QFile::encodeName(path(inRoot)).constData(), &st);
        return QString("%1 %2:%3").arg(st.st_mode & 07777, 0, 8).arg(st.st_uid).arg(st.st_gid);
    }
    // Mounts a 64 KiB tmpfs on the directory inside the root and fills it;
    // false (with the reason) where that cannot be done. Unmounted with the
    // sandbox.
    bool mountSmallDisk(QString const& inRoot, QString* why)
    {
        full = QFile::encodeName(path(inRoot));
        if (::geteuid() != 0 || ::mount("tmpfs", full.constData(), "tmpfs", 0, "size=64k") != 0) {
            *why = QString("cannot mount a small tmpfs here: %1").arg(strerror(errno));
            full.clear();
            return false;
        }
        return true;
    }
    // Fills the small file system to its last byte.
    void fill() const
    {
        int const fd = ::open(QByteArray(full + "/filler").constData(), O_WRONLY | O_CREAT, 0644);
        while (::write(fd, QByteArray(4096, 'x').constData(), 4096) > 0) { }
        ::close(fd);
    }
    // Every file and link below the root with its content.
    QHash<QString, QByteArray> snapshot() const
    {
        QHash<QString, QByteArray> files;
        QDirIterator it(dir.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
            QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFileInfo const info(it.next());
            QString const rel = info.filePath().mid(dir.path().size());
            if (info.isSymLink())
                files.insert(rel, "-> " + QFile::encodeName(info.symLinkTarget()));
            else if (!info.isDir())
                files.insert(rel, get(rel));
        }
        return files;
    }

    QTemporaryDir dir;
    QByteArray full; // the small file system's mount point
};

// A YumConfIO with its own options and session use; its boxes get the queued
// answers, then (unless the test answers every dialog itself, as the
// repository editor's do) OK, so an unexpected box fails a test instead of
// hanging it.
struct ConfFixture
{
    explicit ConfFixture(QList<YumRepoEnabled> options = {}, bool answerOk = true)
        : usedOptions(std::move(options))
        , conf(usedOptions, sessionUse)
    {
        if (answerOk)
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
    QStringList fields;
    for (Repo::Entry const& e : entries)
        fields << e.id << e.file << e.name << e.baseurl << e.mirrorlist << e.otherOptions
               << QString("%1 %2 %3\n").arg(e.sortPosition).arg(e.enabled).arg(e.gpgcheck);
    return fields.join('|');
}
