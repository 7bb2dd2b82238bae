// SPDX-License-Identifier: GPL-2.0-or-later
#include "yumio/RowCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <QTimeZone>

#include <cstring>
#include <sys/stat.h>

namespace {

// The file: magic, format version, then the body's length and checksum, then
// the body: root, options, sources with their digests, the shared texts
// (repositories, architectures), the rows.
constexpr char magic[8] = {'V', 'U', 'X', 'R', 'O', 'W', 'S', '\n'};
constexpr quint32 formatVersion = 4;
constexpr int headerSize = int(sizeof(magic)) + 4 + 8 + 8;
// The file is written, and its beginning read, in pieces of this size.
constexpr qsizetype pieceSize = 256 * 1024;
// Installed versions chained behind a row: far more than any system keeps.
constexpr int chainLimit = 4096;

enum SourceKind : quint8 { FileSource = 1, DirSource = 2, StatSource = 3 };
enum RowFlag : quint8 { OlderVersion = 1, HasNext = 2 };

// A fast checksum of the body: it finds damage, it guards against nothing
// else (the file is the user's own). Taken in pieces, as the body is written
// in pieces: the same sum as of the pieces joined. The length counts in only
// at the end, when a body written in pieces knows it.
class Checksum
{
public:
    void add(char const* data, qsizetype size)
    {
        while (size > 0 && pendingSize > 0) {
            pending[pendingSize++] = *data++;
            --size;
            if (pendingSize == 8) {
                word(pending);
                pendingSize = 0;
            }
        }
        for (; size >= 8; data += 8, size -= 8)
            word(data);
        for (; size > 0; --size)
            pending[pendingSize++] = *data++;
    }
    quint64 result(quint64 size)
    {
        for (int i = 0; i < pendingSize; ++i)
            hash = (hash ^ quint8(pending[i])) * 0x100000001b3ULL;
        pendingSize = 0;
        word(reinterpret_cast<char const*>(&size));
        return hash ^ (hash >> 32);
    }

private:
    void word(char const* data)
    {
        quint64 value;
        std::memcpy(&value, data, 8);
        hash = (hash ^ value) * 0x9e3779b97f4a7c15ULL;
        hash ^= hash >> 29;
    }
    quint64 hash = 0x84222325cbf29ce4ULL;
    char pending[8] = {};
    int pendingSize = 0;
};

quint64 checksum(char const* data, qsizetype size)
{
    Checksum sum;
    sum.add(data, size);
    return sum.result(quint64(size));
}

QByteArray absent()
{
    return QByteArrayLiteral("absent");
}

// The digest of a source as it is now.
QByteArray digest(SourceKind kind, QString const& path)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (kind == FileSource) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return absent();
        if (!hash.addData(&file))
            return absent();
        return hash.result();
    }
    QDir const dir(path);
    if (!dir.exists())
        return absent();
    QStringList names = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    for (QString const& name : std::as_const(names)) {
        hash.addData(QFile::encodeName(name));
        hash.addData(QByteArrayView("\0", 1));
        if (kind != StatSource)
            continue;
        // The database's own files; the shared-memory index and the lock
        // change when the database is only read.
        if (name.endsWith(QLatin1String("-shm")) || name.endsWith(QLatin1String(".lock"))
            || name.startsWith(QLatin1String("__db.")))
            continue;
        struct stat status;
        if (::stat(QFile::encodeName(path + QLatin1Char('/') + name).constData(), &status) != 0)
            continue;
        qint64 const fields[4] = {qint64(status.st_size), qint64(status.st_mtim.tv_sec),
            qint64(status.st_mtim.tv_nsec), qint64(status.st_ino)};
        hash.addData(QByteArrayView(reinterpret_cast<char const*>(fields), sizeof(fields)));
    }
    return hash.result();
}

class Writer
{
public:
    QByteArray data;
    void u8(quint8 value) { data.append(char(value)); }
    void u32(quint32 value) { raw(&value, 4); }
    void u64(quint64 value) { raw(&value, 8); }
    void bytes(QByteArray const& value)
    {
        u32(quint32(value.size()));
        data.append(value);
    }
    void text(QString const& value) { bytes(value.toUtf8()); }
    void raw(void const* value, int size) { data.append(static_cast<char const*>(value), size); }
};

class Reader
{
public:
    Reader(char const* begin, char const* end)
        : at(begin)
        , end(end)
    {
    }
    bool ok = true;
    quint8 u8()
    {
        quint8 value = 0;
        raw(&value, 1);
        return value;
    }
    quint32 u32()
    {
        quint32 value = 0;
        raw(&value, 4);
        return value;
    }
    quint64 u64()
    {
        quint64 value = 0;
        raw(&value, 8);
        return value;
    }
    QByteArrayView bytes()
    {
        quint32 const size = u32();
        if (!ok || quint64(end - at) < size) {
            ok = false;
            return {};
        }
        QByteArrayView const view(at, qsizetype(size));
        at += size;
        return view;
    }
    QString text() { return QString::fromUtf8(bytes()); }
    bool atEnd() const { return at == end; }

private:
    void raw(void* value, int size)
    {
        if (!ok || end - at < size) {
            ok = false;
            return;
        }
        std::memcpy(value, at, size_t(size));
        at += size;
    }
    char const* at;
    char const* end;
};

class TextTable
{
public:
    quint32 index(QString const& text)
    {
        auto it = indexes.constFind(text);
        if (it != indexes.cend())
            return it.value();
        quint32 const next = quint32(texts.size());
        indexes.insert(text, next);
        texts.append(text);
        return next;
    }
    QList<QString> texts;

private:
    QHash<QString, quint32> indexes;
};

void writeRow(Writer& out, Package::Entry const& entry, TextTable& shared)
{
    out.u8(quint8(entry.kind));
    out.u8(quint8(entry.state));
    out.u8(quint8((entry.olderVersion ? OlderVersion : 0) | (entry.next ? HasNext : 0)));
    out.u8(entry.advisoryKind);
    out.u8(entry.advisorySeverity);
    out.text(entry.name);
    out.text(entry.verRel);
    out.u32(shared.index(entry.repo));
    out.u32(shared.index(entry.arch));
    out.u64(entry.sizeBytes);
    out.text(entry.size());
    out.bytes(entry.summary);
    out.u64(quint64(qint64(entry.buildSeconds)));
    out.text(entry.replacement());
    out.text(entry.heldAt());
}

// One row; null when the record is damaged. *more tells whether an
// installed version is chained behind it.
Package::Entry* readRow(
    Reader& in, QList<QString> const& shared, QSet<QString>& versions, bool* more)
{
    quint8 const kind = in.u8();
    quint8 const state = in.u8();
    quint8 const flags = in.u8();
    quint8 const advisoryKind = in.u8();
    quint8 const advisorySeverity = in.u8();
    if (!in.ok || kind > Package::Package || state > Package::Installed
        || (flags & ~(OlderVersion | HasNext)) != 0)
        return nullptr;
    auto* entry = new Package::Entry;
    entry->kind = Package::Kind(kind);
    entry->state = Package::State(state);
    entry->olderVersion = flags & OlderVersion;
    entry->advisoryKind = advisoryKind;
    entry->advisorySeverity = advisorySeverity;
    entry->name = in.text();
    entry->verRel = Package::shared(versions, in.text());
    quint32 const repo = in.u32();
    quint32 const arch = in.u32();
    entry->sizeBytes = in.u64();
    entry->setSize(in.text());
    entry->summary = in.bytes().toByteArray();
    entry->buildSeconds = long(qint64(in.u64()));
    entry->setReplacement(in.text());
    entry->setHeldAt(in.text());
    if (!in.ok || repo >= quint32(shared.size()) || arch >= quint32(shared.size())) {
        delete entry;
        return nullptr;
    }
    entry->repo = shared[int(repo)];
    entry->arch = shared[int(arch)];
    *more = flags & HasNext;
    return entry;
}

bool sameEntry(Package::Entry const& a, Package::Entry const& b)
{
    return a.kind == b.kind && a.state == b.state && a.olderVersion == b.olderVersion
        && a.advisoryKind == b.advisoryKind && a.advisorySeverity == b.advisorySeverity
        && a.sizeBytes == b.sizeBytes && a.buildSeconds == b.buildSeconds && a.name == b.name
        && a.verRel == b.verRel && a.repo == b.repo && a.arch == b.arch && a.size() == b.size()
        && a.summary == b.summary && a.replacement() == b.replacement() && a.heldAt() == b.heldAt();
}

} // namespace

QString RowCache::fileName(QString const& root)
{
    QString const base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    QString const canonical = root.isEmpty() ? QStringLiteral("/") : QDir::cleanPath(root);
    QByteArray const id
        = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex();
    return base + QStringLiteral("/vux/rows-") + QString::fromLatin1(id.left(32))
        + QStringLiteral(".cache");
}

QByteArray RowCache::options(QStringList const& programOptions)
{
    return (programOptions.join(QLatin1Char('\n')) + QLatin1Char('\n') + QLocale().name()).toUtf8()
        + '\n' + QTimeZone::systemTimeZoneId();
}

bool RowCache::save(QString const& path, QString const& root, QByteArray const& options,
    Sources const& sources, QList<Package::Entry*> const& rows, QString* error)
{
    // The shared texts come before the rows in the file.
    TextTable shared;
    for (Package::Entry const* entry : rows)
        for (Package::Entry const* version = entry; version; version = version->next) {
            shared.index(version->repo);
            shared.index(version->arch);
        }
    Writer body;
    body.text(root);
    body.bytes(options);
    QList<QPair<SourceKind, QString>> named;
    for (QString const& file : sources.files)
        named.append({FileSource, file});
    for (QString const& dir : sources.dirs)
        named.append({DirSource, dir});
    for (QString const& dir : sources.statDirs)
        named.append({StatSource, dir});
    body.u32(quint32(named.size()));
    for (auto const& [kind, source] : std::as_const(named)) {
        body.u8(kind);
        body.text(source);
        body.bytes(digest(kind, source));
    }
    body.u32(quint32(shared.texts.size()));
    for (QString const& text : std::as_const(shared.texts))
        body.text(text);
    body.u32(quint32(rows.size()));

    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    // The rows go to the file a piece at a time: the table is not held a
    // second time, as bytes, while it is saved. The header, which carries the
    // body's length and checksum, is written last over its place.
    written = written && file.write(QByteArray(headerSize, '\0')) == headerSize;
    Checksum sum;
    quint64 size = 0;
    auto put = [&](Writer& piece) {
        sum.add(piece.data.constData(), piece.data.size());
        size += quint64(piece.data.size());
        written = written && file.write(piece.data) == piece.data.size();
        piece.data.resize(0);
    };
    put(body);
    body.data.reserve(pieceSize + 4096);
    for (Package::Entry const* entry : rows)
        for (Package::Entry const* version = entry; version && written; version = version->next) {
            writeRow(body, *version, shared);
            if (body.data.size() >= pieceSize)
                put(body);
        }
    put(body);
    Writer header;
    header.raw(magic, int(sizeof(magic)));
    header.u32(formatVersion);
    header.u64(size);
    header.u64(sum.result(size));
    written = written && file.seek(0) && file.write(header.data) == headerSize && file.commit();
    if (!written && error)
        *error = file.errorString();
    return written;
}

bool RowCache::current(QString const& path, QString const& root, QByteArray const& options)
{
    return load(path, root, options, nullptr);
}

bool RowCache::load(
    QString const& path, QString const& root, QByteArray const& options, Package::EntryList& rows)
{
    return load(path, root, options, &rows);
}

bool RowCache::load(
    QString const& path, QString const& root, QByteArray const& options, Package::EntryList* into)
{
    Package::EntryList discarded;
    Package::EntryList& rows = into ? *into : discarded;
    rows.deleteAll();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    qint64 const fileSize = file.size();
    // Whether the file still describes the system is told by its beginning
    // (root, options, sources); the rows, nearly all of it, are read only to
    // be shown. A beginning longer than the first piece is read whole.
    QByteArray data = file.read(into ? fileSize : std::min<qint64>(fileSize, pieceSize));
    if (data.size() < headerSize || std::memcmp(data.constData(), magic, sizeof(magic)) != 0)
        return false;
    Reader head(data.constData() + sizeof(magic), data.constData() + headerSize);
    quint32 const version = head.u32();
    quint64 const bodySize = head.u64();
    quint64 const sum = head.u64();
    if (!head.ok || version != formatVersion || bodySize != quint64(fileSize - headerSize))
        return false;
    char const* body = data.constData() + headerSize;
    Reader in(body, data.constData() + data.size());
    // False for a difference; the reader fails when the data ends first.
    auto const sameBeginning = [&](Reader& in) {
        if (in.text() != root || in.bytes() != QByteArrayView(options))
            return !in.ok;
        quint32 const sourceCount = in.u32();
        for (quint32 i = 0; in.ok && i < sourceCount; ++i) {
            quint8 const kind = in.u8();
            QString const source = in.text();
            QByteArrayView const stored = in.bytes();
            if (in.ok
                && (kind < FileSource || kind > StatSource
                    || digest(SourceKind(kind), source) != stored))
                return false;
        }
        return true;
    };
    if (!sameBeginning(in))
        return false;
    if (!in.ok && data.size() < fileSize) {
        if (!file.seek(0))
            return false;
        data = file.readAll();
        if (data.size() != fileSize)
            return false;
        body = data.constData() + headerSize;
        in = Reader(body, body + bodySize);
        if (!sameBeginning(in))
            return false;
    }
    // Only a file that still describes the system is read further.
    if (!in.ok || !into)
        return in.ok;
    // A file cut short since its size was read is not read past its end.
    if (quint64(data.size() - headerSize) != bodySize || checksum(body, qsizetype(bodySize)) != sum)
        return false;
    quint32 const textCount = in.u32();
    QList<QString> shared;
    for (quint32 i = 0; in.ok && i < textCount; ++i)
        shared.append(in.text());
    quint32 const rowCount = in.u32();
    // Each row takes at least its fixed fields: a count beyond what the file
    // can hold is damage, not a reason to reserve memory.
    if (!in.ok || rowCount > bodySize / 40)
        return false;
    rows.reserve(rowCount);
    QSet<QString> versions;
    for (quint32 i = 0; i < rowCount; ++i) {
        bool more = false;
        Package::Entry* entry = readRow(in, shared, versions, &more);
        if (!entry) {
            rows.deleteAll();
            return false;
        }
        rows.append(entry);
        Package::Entry* tail = entry;
        for (int chained = 0; more; ++chained) {
            tail->next = chained < chainLimit ? readRow(in, shared, versions, &more) : nullptr;
            tail = tail->next;
            if (!tail) {
                rows.deleteAll();
                return false;
            }
        }
    }
    if (!in.atEnd()) {
        rows.deleteAll();
        return false;
    }
    return true;
}

bool RowCache::sameRows(QList<Package::Entry*> const& a, QList<Package::Entry*> const& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        Package::Entry const* left = a[i];
        Package::Entry const* right = b[i];
        for (; left && right; left = left->next, right = right->next)
            if (!sameEntry(*left, *right))
                return false;
        if (left || right)
            return false;
    }
    return true;
}
