// SPDX-License-Identifier: GPL-2.0-or-later
#include "repo/YumConfIO.h"

#include "base/InstallRoot.h"
#include "repo/AtomicFile.h"
#include "repo/RepoLarder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

QLatin1String const mainHeader("[main]");
QLatin1String const repoSuffix(".repo");

struct FileCloser
{
    void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

struct DirCloser
{
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;

FilePtr openFile(QString const& path, char const* mode)
{
    return FilePtr(std::fopen(QFile::encodeName(path).constData(), mode));
}

bool statPath(QString const& path, struct stat* st)
{
    return ::stat(QFile::encodeName(path).constData(), st) == 0;
}

// yum and dnf read "0", "no", "false" and "off" (any case, white space
// around) as false. Reading only "0" as false would turn "enabled=false" into
// "enabled=1" on the next write and so enable a repository behind the user's
// back. Anything else counts as true.
bool isTrue(QString const& value)
{
    QString const v = value.trimmed().toLower();
    return v != QLatin1String("0") && v != QLatin1String("no") && v != QLatin1String("false")
        && v != QLatin1String("off");
}

int checkState(QString const& value)
{
    return isTrue(value) ? Qt::Checked : Qt::Unchecked;
}

// One file, however spelled and through whatever symbolic links: the
// canonical path of an existing file, else the would-be path in the
// canonical form of its directory.
QString fileKey(QString const& path)
{
    QFileInfo const info(path);
    QString const canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    QString const dir = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (!dir.isEmpty())
        return dir + QLatin1Char('/') + info.fileName();
    return QDir::cleanPath(info.absoluteFilePath());
}

// Characters up to U+00FF go out as the byte they were read from; anything
// beyond (typed by the user) as UTF-8 rather than as '?'.
QByteArray toFileBytes(QString const& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar const c = text.at(i);
        if (c.unicode() <= 0xff) {
            bytes.append(char(c.unicode()));
            continue;
        }
        qsizetype length = 1;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            length = 2;
        bytes.append(QStringView(text).mid(i, length).toUtf8());
        i += length - 1;
    }
    return bytes;
}

bool hasLarderCredentials(QString const& text)
{
    QString nameKey, name, passwordKey, password;
    return Repo::Larder::getAuth(text, nameKey, name, passwordKey, password);
}

QPushButton* addButton(QMessageBox& box, QMessageBox::StandardButton which, char const* objectName)
{
    QPushButton* button = box.addButton(which);
    button->setObjectName(QLatin1String(objectName));
    return button;
}

} // namespace

YumConfIO::YumConfIO(QList<YumRepoEnabled> const& usedOptions, QHash<QString, bool>& sessionUse)
    : usedOptions(usedOptions)
    , sessionUse(sessionUse)
{
}

YumConfIO::~YumConfIO() = default;

QString YumConfIO::configuredFileName()
{
    QString const yumDir = QStringLiteral("/etc/yum/yum.conf");
    struct stat st;
    if (statPath(InstallRoot::inside(yumDir), &st))
        return yumDir;
    return QStringLiteral("/etc/yum.conf");
}

QString YumConfIO::fileName()
{
    return InstallRoot::inside(configuredFileName());
}

QString YumConfIO::realPath(QString const& path)
{
    if (path.startsWith(QLatin1Char('/')) || InstallRoot::path().isEmpty())
        return InstallRoot::inside(path);
    return InstallRoot::path() + QLatin1Char('/') + path;
}

QString YumConfIO::repoPath(QString const& path) const
{
    return reposOnHost && path != mainFileName ? path : realPath(path);
}

bool YumConfIO::isOption(QString const& line, QString const& key, QString& value)
{
    qsizetype separator = -1;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) == QLatin1Char(':') || line.at(i) == QLatin1Char('=')) {
            separator = i;
            break;
        }
    }
    if (separator < 0)
        return false;
    qsizetype keyEnd = separator;
    while (keyEnd > 0
        && (line.at(keyEnd - 1) == QLatin1Char(' ') || line.at(keyEnd - 1) == QLatin1Char('\t')))
        --keyEnd;
    if (keyEnd == 0 || QStringView(line).left(keyEnd) != key)
        return false;
    qsizetype valueStart = separator + 1;
    while (valueStart < line.size()
        && (line.at(valueStart) == QLatin1Char(' ') || line.at(valueStart) == QLatin1Char('\t')))
        ++valueStart;
    value = line.mid(valueStart);
    return true;
}

bool YumConfIO::filePositionLessThan(Repo::Entry const& a, Repo::Entry const& b)
{
    if (a.file < b.file)
        return true;
    if (b.file < a.file)
        return false;
    return a.sortPosition < b.sortPosition;
}

// ---------------------------------------------------------------- reading

bool YumConfIO::read(QWidget* parent)
{
    parentWidget = parent;
    mainSection.clear();
    pendingLines.clear();
    cacheDir = QStringLiteral("/var/cache/yum");
    reposDirs
        = QStringList {QStringLiteral("/etc/yum.repos.d"), QStringLiteral("/etc/yum/repos.d")};
    defaultEnabled = true;
    defaultGpgcheck = false;
    repos.clear();
    readFiles.clear();
    readComplete = false;

    QString const mainFile = configuredFileName();
    QString const mainPath = realPath(mainFile);
    mainFileName = mainFile;
    reposOnHost = false;
    if (!readFile(mainPath, mainFile, &YumConfIO::readConfFile,
            tr("Unable to read yum configuration file %1")))
        return false;
    if (!InstallRoot::path().isEmpty())
        reposOnHost = std::none_of(reposDirs.cbegin(), reposDirs.cend(),
            [](QString const& dir) { return QFileInfo::exists(realPath(dir)); });

    bool const allRead = forEachRepoFile([this](QString const& entryFile, QString const& path) {
        return readFile(path, entryFile, &YumConfIO::readRepoFile,
            tr("Unable to read repository configuration file %1"));
    });
    if (!allRead)
        return false;

    readComplete = true;
    emit changed();
    return true;
}

// Opens path and reads it whole with reader; a file read to its end counts
// as read (with the line ends it mostly used) for the writer.
bool YumConfIO::readFile(
    QString const& path, QString const& entryFile, FileReader reader, QString const& openError)
{
    FilePtr const file = openFile(path, "r");
    if (!file) {
        int const err = errno;
        error(openError.arg(path), err);
        return false;
    }
    pendingLines.clear();
    crlfLines = 0;
    lfLines = 0;
    if (!(this->*reader)(file.get(), path, entryFile))
        return false;
    readFiles.insert(fileKey(path), crlfLines > lfLines);
    return true;
}

bool YumConfIO::readConfFile(FILE* file, QString const& path, QString const& entryFile)
{
    static QRegularExpression const dirSeparators(QStringLiteral("[\\s,]+"));
    QString line;
    QString value;
    for (;;) {
        int const result = readLogicalLine(file, path, line);
        if (result == 1)
            return true;
        if (result == 2)
            return false;
        if (line.startsWith(QLatin1Char('[')) && line != mainHeader) {
            unreadLine(line);
            return readRepoFile(file, path, entryFile);
        }
        mainSection += line + QLatin1Char('\n');
        if (isOption(line, QStringLiteral("cachedir"), value))
            cacheDir = value.trimmed();
        else if (isOption(line, QStringLiteral("reposdir"), value))
            reposDirs = value.split(dirSeparators, Qt::SkipEmptyParts);
        else if (isOption(line, QStringLiteral("enabled"), value))
            defaultEnabled = isTrue(value);
        else if (isOption(line, QStringLiteral("gpgcheck"), value))
            defaultGpgcheck = isTrue(value);
    }
}

bool YumConfIO::readRepoFile(FILE* file, QString const& path, QString const& entryFile)
{
    Repo::Entry entry;
    bool inSection = false;
    bool isNew = false;
    int position = 0;

    auto const endSection = [&] {
        cleanupRead(entry);
        if (isNew)
            applyUsedOptions(entry);
        repos.append(entry);
    };

    QString line;
    QString value;
    for (;;) {
        int const result = readLogicalLine(file, path, line);
        if (result == 2)
            return false;
        if (result == 1)
            break;
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']'))) {
                refuse(tr("Malformed section name in line: %1").arg(line));
                return false;
            }
            if (inSection)
                endSection();
            entry = Repo::Entry();
            entry.id = line.mid(1, line.size() - 2);
            entry.file = entryFile;
            entry.sortPosition = ++position;
            inSection = true;
            // A repository met before keeps the session choice made for it.
            isNew = !sessionUse.contains(entry.id);
            if (isNew)
                sessionUse.insert(entry.id, defaultEnabled);
            continue;
        }
        if (!inSection || line.isEmpty())
            continue;
        if (isOption(line, QStringLiteral("name"), value))
            entry.name = value;
        else if (isOption(line, QStringLiteral("baseurl"), value))
            entry.baseurl = value;
        else if (isOption(line, QStringLiteral("mirrorlist"), value))
            entry.mirrorlist = value;
        else if (isOption(line, QStringLiteral("enabled"), value)) {
            entry.enabled = checkState(value);
            if (isNew)
                sessionUse.insert(entry.id, entry.enabled == Qt::Checked);
        } else if (isOption(line, QStringLiteral("gpgcheck"), value))
            entry.gpgcheck = checkState(value);
        else
            entry.otherOptions += line + QLatin1Char('\n');
    }
    if (inSection)
        endSection();
    return true;
}

int YumConfIO::readLine(FILE* file, QString const& path, QString& line)
{
    QByteArray bytes;
    errno = 0;
    for (;;) {
        int const c = std::getc(file);
        if (c == '\n') {
            // CR LF ends a line as LF does (yum strips the CR too); the writer
            // puts CR LF back into files that mostly used it.
            if (bytes.endsWith('\r')) {
                bytes.chop(1);
                ++crlfLines;
            } else
                ++lfLines;
            line = QString::fromLatin1(bytes);
            return 0;
        }
        if (c == EOF) {
            if (std::ferror(file)) {
                int const err = errno;
                error(tr("Error reading repository configuration file %1").arg(path), err);
                return 2;
            }
            if (bytes.isEmpty())
                return 1;
            line = QString::fromLatin1(bytes);
            return 0;
        }
        bytes.append(char(c));
    }
}

int YumConfIO::readLogicalLine(FILE* file, QString const& path, QString& line)
{
    if (!pendingLines.isEmpty()) {
        line = pendingLines.takeFirst();
        // The line after it is known already, and known not to continue it.
        if (!pendingLines.isEmpty())
            return 0;
    } else {
        int const result = readLine(file, path, line);
        if (result != 0)
            return result;
    }
    QString next;
    for (;;) {
        int const result = readLine(file, path, next);
        if (result == 2)
            return 2;
        if (result == 1) {
            pendingLines.clear();
            return 0;
        }
        if (!next.isEmpty() && (next.at(0) == QLatin1Char(' ') || next.at(0) == QLatin1Char('\t')))
            line += QLatin1Char('\n') + next;
        else {
            pendingLines.append(next);
            return 0;
        }
    }
}

void YumConfIO::unreadLine(QString const& line)
{
    pendingLines.prepend(line);
}

void YumConfIO::cleanupRead(Repo::Entry& entry)
{
    static QRegularExpression const space(QStringLiteral("[ \\t\\n]+"));
    entry.baseurl.replace(space, QStringLiteral("\n"));
}

void YumConfIO::applyUsedOptions(Repo::Entry const& entry)
{
    // In command-line order, so the last matching option wins.
    for (YumRepoEnabled const& option : usedOptions) {
        if (option.matches(entry.id))
            sessionUse.insert(entry.id, option.enabled);
    }
}

// ---------------------------------------------------------------- writing

bool YumConfIO::write(QWidget* parent)
{
    parentWidget = parent;
    if (!checkErrors())
        return false;

    if (!readComplete)
        notice(tr("The repository configuration was not read completely, so no repository file "
                  "is removed, and files that were not read are not rewritten."));

    for (Repo::Entry& entry : repos) {
        if (entry.file.isEmpty())
            entry.file = entry.id + repoSuffix;
        if (!entry.file.startsWith(QLatin1Char('/')) && !reposDirs.isEmpty())
            entry.file = reposDirs.first() + QLatin1Char('/') + entry.file;
    }

    // Group the sections by the file they land in, whatever spelling or link
    // leads there: two groups for one file would overwrite each other.
    struct Placed
    {
        QString key;
        QString path;
        Repo::Entry const* entry;
    };
    QList<Placed> placed;
    placed.reserve(repos.size());
    for (Repo::Entry const& entry : std::as_const(repos)) {
        QString const path = repoPath(entry.file);
        placed.append(Placed {fileKey(path), path, &entry});
    }
    std::sort(placed.begin(), placed.end(), [](Placed const& a, Placed const& b) {
        if (a.key != b.key)
            return a.key < b.key;
        return a.entry->sortPosition < b.entry->sortPosition;
    });

    struct Target
    {
        QString key;
        QString path;
        QList<Repo::Entry const*> entries;
        bool isMain = false;
        bool skip = false;
    };
    QString const mainPath = fileName();
    QString const mainKey = fileKey(mainPath);
    QList<Target> targets;
    for (Placed const& p : std::as_const(placed)) {
        if (targets.isEmpty() || targets.last().key != p.key)
            targets.append(Target {p.key, p.path, {}, p.key == mainKey, false});
        targets.last().entries.append(p.entry);
    }
    if (std::none_of(targets.cbegin(), targets.cend(), [](Target const& t) { return t.isMain; }))
        targets.append(Target {mainKey, mainPath, {}, true, false});

    // Nothing is written unless every file may be: an existing file is only
    // overwritten when it was read as a configuration file.
    for (Target& target : targets) {
        struct stat st;
        bool const exists = statPath(target.path, &st);
        // After a failed read, a main file that did not exist is not made up.
        if (!exists && target.isMain && target.entries.isEmpty() && !readComplete)
            target.skip = true;
        if (!exists || readFiles.contains(target.key))
            continue;
        if (target.isMain && target.entries.isEmpty()) {
            target.skip = true; // the unread main file stays as it is
            continue;
        }
        refuse(tr("Repository configuration file %1 was not written: it exists but is not a "
                  "configuration file that was read, and overwriting it would destroy what it "
                  "holds. Choose another File for the repositories in it.")
                   .arg(target.path));
        return false;
    }

    QSet<QString> written;
    for (Target const& target : std::as_const(targets)) {
        if (target.skip)
            continue;
        QString text;
        if (target.isMain)
            text = mainSection;
        for (qsizetype i = 0; i < target.entries.size(); ++i) {
            if (i > 0)
                text += QLatin1Char('\n');
            writeRepo(text, *target.entries.at(i));
        }
        bool const crlf = readFiles.value(target.key, false);
        if (crlf)
            text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        bool const secret = hasLarderCredentials(text);
        int const err
            = AtomicFile::replace(target.path, toFileBytes(text), secret ? 0600 : 0644, secret);
        if (err != 0) {
            error(tr("Unable to write repository configuration file %1").arg(target.path), err);
            return false;
        }
        written.insert(target.key);
        readFiles.insert(target.key, crlf);
    }

    // After a failed read the list may lack sections of files that were read
    // in part or not at all: removing files then could lose configuration.
    if (readComplete)
        removeUnusedFiles(written);
    return true;
}

void YumConfIO::writeRepo(QString& out, Repo::Entry const& entry)
{
    out += QLatin1Char('[') + entry.id + QLatin1String("]\n");
    if (!entry.name.isEmpty())
        out += QLatin1String("name=") + entry.name + QLatin1Char('\n');
    if (!entry.baseurl.isEmpty()) {
        QString baseurl = entry.baseurl;
        baseurl.replace(QLatin1Char('\n'), QLatin1String("\n        "));
        out += QLatin1String("baseurl=") + baseurl + QLatin1Char('\n');
    }
    if (!entry.mirrorlist.isEmpty())
        out += QLatin1String("mirrorlist=") + entry.mirrorlist + QLatin1Char('\n');
    if (entry.enabled == Qt::Checked)
        out += QLatin1String("enabled=1\n");
    else if (entry.enabled == Qt::Unchecked)
        out += QLatin1String("enabled=0\n");
    if (entry.gpgcheck == Qt::Checked)
        out += QLatin1String("gpgcheck=1\n");
    else if (entry.gpgcheck == Qt::Unchecked)
        out += QLatin1String("gpgcheck=0\n");
    out += entry.otherOptions;
}

void YumConfIO::removeUnusedFiles(QSet<QString> const& written)
{
    forEachRepoFile([this, &written](QString const&, QString const& path) {
        QString const key = fileKey(path);
        // A file that appeared after the read is not ours to remove.
        if (written.contains(key) || !readFiles.contains(key))
            return true;
        if (::unlink(QFile::encodeName(path).constData()) != 0) {
            int const err = errno;
            error(tr("Unable to unlink repository configuration file %1").arg(path), err);
            return false;
        }
        readFiles.remove(key);
        return true;
    });
}

// Calls visit(entryFile, path) for every ".repo" file of the repository
// directories, entryFile as yum names it and path where it is on this system.
// Stops and returns false when visit does or a file cannot be looked at.
bool YumConfIO::forEachRepoFile(
    std::function<bool(QString const& entryFile, QString const& path)> const& visit)
{
    for (QString const& dir : std::as_const(reposDirs)) {
        DirPtr const directory(::opendir(QFile::encodeName(repoPath(dir)).constData()));
        if (!directory)
            continue;
        while (dirent const* item = ::readdir(directory.get())) {
            QString const name = QFile::decodeName(item->d_name);
            if (!name.endsWith(repoSuffix))
                continue;
            QString const entryFile = QDir::cleanPath(dir + QLatin1Char('/') + name);
            QString const path = repoPath(entryFile);
            struct stat st;
            if (!statPath(path, &st)) {
                int const err = errno;
                error(tr("Unable to stat repository configuration file %1").arg(path), err);
                return false;
            }
            if (!S_ISDIR(st.st_mode) && !visit(entryFile, path))
                return false;
        }
    }
    return true;
}

bool YumConfIO::checkErrors()
{
    QStringList parts;
    if (hasEmptyId())
        parts.append(tr("A repository has no Identifier.  It will be removed."));
    QString const duplicates = getDuplicateId();
    if (!duplicates.isEmpty())
        parts.append(tr("Two or more repositories have the same Identifier(s), %1.  Only one "
                        "repository will be applied for each Identifier.")
                         .arg(duplicates));
    if (parts.isEmpty())
        return true;

    QMessageBox box(QMessageBox::Critical, tr("Repository Editor"),
        parts.join(QLatin1Char('\n')) + tr("  Proceed?"), QMessageBox::NoButton, parentWidget);
    addButton(box, QMessageBox::Yes, "yesButton");
    QPushButton* no = addButton(box, QMessageBox::No, "noButton");
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    if (box.exec() != QMessageBox::Yes)
        return false;
    cleanupWrite(repos);
    return true;
}

bool YumConfIO::hasEmptyId() const
{
    return std::any_of(
        repos.cbegin(), repos.cend(), [](Repo::Entry const& entry) { return entry.id.isEmpty(); });
}

QString YumConfIO::getDuplicateId() const
{
    // Once per pair: three entries with one identifier name it three times.
    QStringList ids;
    for (qsizetype i = 0; i < repos.size(); ++i) {
        if (repos.at(i).id.isEmpty())
            continue; // reported as a missing identifier
        for (qsizetype j = i + 1; j < repos.size(); ++j) {
            if (repos.at(i).id == repos.at(j).id)
                ids.append(repos.at(i).id);
        }
    }
    return ids.join(QLatin1String(", "));
}

void YumConfIO::cleanupWrite(QList<Repo::Entry>& list)
{
    QSet<QString> seen;
    QList<Repo::Entry> kept;
    for (Repo::Entry const& entry : std::as_const(list)) {
        if (entry.id.isEmpty() || seen.contains(entry.id))
            continue;
        seen.insert(entry.id);
        kept.append(entry);
    }
    list = kept;
}

// ---------------------------------------------------------------- messages

void YumConfIO::error(QString const& message, int err)
{
    QString const suffix
        = tr("; errno = %1 (%2).")
              .arg(QString::number(err), QString::fromLocal8Bit(std::strerror(err)));
    QMessageBox box(QMessageBox::Critical, tr("VUX Repository Editor Error"), message + suffix,
        QMessageBox::NoButton, parentWidget);
    box.setDefaultButton(addButton(box, QMessageBox::Ok, "okButton"));
    box.exec();
}

void YumConfIO::refuse(QString const& message)
{
    QMessageBox box(QMessageBox::Critical, tr("VUX Repository Editor Error"), message,
        QMessageBox::NoButton, parentWidget);
    box.setDefaultButton(addButton(box, QMessageBox::Ok, "okButton"));
    box.exec();
}

void YumConfIO::notice(QString const& message)
{
    QMessageBox box(QMessageBox::Warning, tr("VUX Repository Editor Warning"), message,
        QMessageBox::NoButton, parentWidget);
    box.setDefaultButton(addButton(box, QMessageBox::Ok, "okButton"));
    box.exec();
}

#include "moc_YumConfIO.cpp"
