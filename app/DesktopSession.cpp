// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/DesktopSession.h"

#include <QFile>

#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

extern char** environ;

namespace {

bool isOption(char const* arg, char const* name)
{
    // The toolkit reads its options with one or two leading dashes.
    if (std::strncmp(arg, "--", 2) == 0)
        ++arg;
    return std::strcmp(arg, name) == 0;
}

bool platformOption(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (isOption(argv[i], "-platform"))
            return true;
    }
    return false;
}

DesktopSession::Environment ownEnvironment()
{
    DesktopSession::Environment result;
    for (char** entry = environ; entry && *entry; ++entry) {
        QByteArray const record(*entry);
        int const equals = record.indexOf('=');
        if (equals > 0)
            result.insert(record.left(equals), record.mid(equals + 1));
    }
    return result;
}

long parentOf(long pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // "pid (command) state ppid ...": the command may hold spaces and parentheses.
    QByteArray const line = stat.readAll();
    QList<QByteArray> const fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 1 ? fields[1].toLong() : -1;
}

// The environment of the nearest ancestor that runs as uid (pkexec's caller,
// or the process that ran sudo), read as root through /proc.
DesktopSession::Environment invokingEnvironment(long uid)
{
    long pid = getppid();
    for (int depth = 0; depth < 4 && pid > 1; ++depth, pid = parentOf(pid)) {
        struct stat info;
        QByteArray const dir = "/proc/" + QByteArray::number(qlonglong(pid));
        if (::stat(dir.constData(), &info) != 0 || long(info.st_uid) != uid)
            continue;
        QFile environFile(QString::fromLatin1(dir + "/environ"));
        if (environFile.open(QIODevice::ReadOnly))
            return DesktopSession::parseEnviron(environFile.readAll());
    }
    return {};
}

} // namespace

long DesktopSession::invokingUid(Environment const& own, bool root)
{
    if (!root)
        return -1;
    for (char const* name : {"PKEXEC_UID", "SUDO_UID"}) {
        bool ok = false;
        long const uid = own.value(name).toLong(&ok);
        if (ok && uid > 0)
            return uid;
    }
    return -1;
}

DesktopSession::Environment DesktopSession::restored(Environment const& own,
    Environment const& invoking, QByteArray const& invokingHome, bool platformChosen)
{
    Environment result;
    QByteArray display = own.value("DISPLAY");
    if (display.isEmpty()) {
        display = invoking.value("DISPLAY");
        if (!display.isEmpty())
            result.insert("DISPLAY", display);
    }
    if (display.isEmpty())
        return result;
    if (own.value("XAUTHORITY").isEmpty()) {
        QByteArray authority = invoking.value("XAUTHORITY");
        if (authority.isEmpty() && !invokingHome.isEmpty()
            && QFile::exists(QFile::decodeName(invokingHome + "/.Xauthority")))
            authority = invokingHome + "/.Xauthority";
        if (!authority.isEmpty())
            result.insert("XAUTHORITY", authority);
    }
    if (!platformChosen && own.value("QT_QPA_PLATFORM").isEmpty())
        result.insert("QT_QPA_PLATFORM", "xcb");
    return result;
}

DesktopSession::Environment DesktopSession::parseEnviron(QByteArray const& records)
{
    Environment result;
    for (QByteArray const& record : records.split('\0')) {
        int const equals = record.indexOf('=');
        if (equals > 0)
            result.insert(record.left(equals), record.mid(equals + 1));
    }
    return result;
}

void DesktopSession::prepare(int argc, char** argv)
{
    Environment const own = ownEnvironment();
    long const uid = invokingUid(own, geteuid() == 0);
    if (uid < 0)
        return;
    passwd const* user = getpwuid(uid_t(uid));
    QByteArray const home = user ? QByteArray(user->pw_dir) : QByteArray();
    Environment const added
        = restored(own, invokingEnvironment(uid), home, platformOption(argc, argv));
    for (auto it = added.cbegin(); it != added.cend(); ++it)
        setenv(it.key().constData(), it.value().constData(), 1);
}

bool DesktopSession::hasDisplay(int argc, char** argv)
{
    for (char const* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        char const* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return platformOption(argc, argv);
}
