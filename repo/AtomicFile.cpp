// SPDX-License-Identifier: GPL-2.0-or-later
#include "repo/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes and unlinks a temporary file on every path that does not commit it.
class TemporaryFile
{
public:
    explicit TemporaryFile(QByteArray templ)
        : name(std::move(templ))
    {
        fd = ::mkstemp(name.data());
        created = fd >= 0;
    }
    ~TemporaryFile()
    {
        int const saved = errno;
        if (fd >= 0)
            ::close(fd);
        if (created && !committed)
            ::unlink(name.constData());
        errno = saved;
    }
    bool close()
    {
        int const result = ::close(fd);
        fd = -1;
        return result == 0;
    }

    QByteArray name;
    int fd = -1;
    bool created = false;
    bool committed = false;
};

bool writeAll(int fd, QByteArray const& data)
{
    char const* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        ssize_t const n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

QString directoryOf(QString const& path)
{
    qsizetype const slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QStringLiteral(".");
    if (slash == 0)
        return QStringLiteral("/");
    return path.left(slash);
}

} // namespace

QString AtomicFile::resolveLinks(QString const& path, int* error)
{
    QString current = path;
    for (int hops = 0; hops < 40; ++hops) {
        QByteArray const local = QFile::encodeName(current);
        struct stat st;
        if (::lstat(local.constData(), &st) != 0) {
            if (errno == ENOENT)
                return current; // a new file, or the missing target of a link
            *error = errno;
            return QString();
        }
        if (!S_ISLNK(st.st_mode))
            return current;
        QByteArray target(st.st_size > 0 ? qsizetype(st.st_size) + 1 : 4096, '\0');
        ssize_t const n = ::readlink(local.constData(), target.data(), size_t(target.size()));
        if (n < 0) {
            *error = errno;
            return QString();
        }
        target.truncate(n);
        QString const next = QFile::decodeName(target);
        current = next.startsWith(QLatin1Char('/'))
            ? next
            : directoryOf(current) + QLatin1Char('/') + next;
    }
    *error = ELOOP;
    return QString();
}

int AtomicFile::replace(
    QString const& path, QByteArray const& data, mode_t newFileMode, bool secret)
{
    int error = 0;
    QString const target = resolveLinks(path, &error);
    if (target.isEmpty())
        return error;
    QByteArray const targetName = QFile::encodeName(target);

    struct stat old;
    bool const exists = ::stat(targetName.constData(), &old) == 0;
    if (!exists && errno != ENOENT)
        return errno;
    if (exists && !S_ISREG(old.st_mode))
        return S_ISDIR(old.st_mode) ? EISDIR : EINVAL;

    // The name does not end in ".repo", so neither yum nor the configuration
    // reader takes a temporary file left by a crash for a repository file.
    QString const directory = directoryOf(target);
    TemporaryFile temp(QFile::encodeName(directory + QStringLiteral("/.")
        + QFileInfo(target).fileName() + QStringLiteral(".vux-XXXXXX")));
    if (temp.fd < 0)
        return errno;

    if (exists) {
        // Owner first: chown may clear set-id bits that chmod then restores.
        struct stat mine;
        if (::fstat(temp.fd, &mine) != 0)
            return errno;
        if ((mine.st_uid != old.st_uid || mine.st_gid != old.st_gid)
            && ::fchown(temp.fd, old.st_uid, old.st_gid) != 0)
            return errno;
        // A secret is for the owner alone, whatever others could read before.
        mode_t const mode = old.st_mode & (secret ? 0600 : 07777);
        if (::fchmod(temp.fd, mode) != 0)
            return errno;
    } else if (::fchmod(temp.fd, newFileMode) != 0)
        return errno;

    if (!writeAll(temp.fd, data) || ::fsync(temp.fd) != 0 || !temp.close())
        return errno;
    if (::rename(temp.name.constData(), targetName.constData()) != 0)
        return errno;
    temp.committed = true;

    // Make the rename itself durable; the new content is in place already,
    // so a failure here is not worth reporting.
    int const dirFd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return 0;
}
