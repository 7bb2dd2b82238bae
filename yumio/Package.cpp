// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "yumio/Package.h"

#include <QHash>
#include <QMutex>

#include <charconv>
#include <cstring>
#include <ctime>
#include <deque>

// Entries are deleted by the GUI thread between operations, holding the
// interpreter lock (the engine's clear() and destructor); the chain is
// walked iteratively so that a long chain cannot exhaust the stack.
Package::Entry::~Entry()
{
    Py_XDECREF(object);
    Entry* chained = next;
    while (chained) {
        Entry* following = chained->next;
        chained->next = nullptr;
        delete chained;
        chained = following;
    }
}

QString Package::Entry::buildTime() const
{
    return kind == Group ? QString() : timeText(buildSeconds);
}

QString const& Package::Entry::none()
{
    static QString const empty;
    return empty;
}

// Empty texts need no room of their own: the last one emptied gives it back.
void Package::Entry::setRare(QString Rare::*field, QString const& text)
{
    if (!rare) {
        if (text.isEmpty())
            return;
        rare = std::make_unique<Rare>();
    }
    (*rare).*field = text;
    if (rare->replacement.isEmpty() && rare->downgradeTo.isEmpty()
        && rare->downgradeVersion.isEmpty() && rare->heldAt.isEmpty())
        rare.reset();
}

Package::EntryList::~EntryList()
{
    deleteAll();
}

void Package::EntryList::deleteAll()
{
    for (Entry* entry : *this)
        delete entry;
    clear();
}

bool Package::allows(State state, Action action)
{
    switch (action) {
    case Update:
        return state == Updatable;
    case Install:
        return state == Available;
    case Remove:
    case Reinstall:
    case Downgrade:
        return state != Available;
    case None:
        break;
    }
    return true;
}

// Put together here rather than by ctime(), whose formatting costs more than
// the conversion: a Search formats the build time of every row it has not
// matched otherwise, and the date of every change-log record.
QString Package::timeText(long seconds, bool clock)
{
    static char const days[] = "SunMonTueWedThuFriSat";
    static char const months[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    time_t const when = static_cast<time_t>(seconds);
    struct tm parts;
    if (!localtime_r(&when, &parts) || parts.tm_wday < 0 || parts.tm_wday > 6 || parts.tm_mon < 0
        || parts.tm_mon > 11 || parts.tm_mday < 1 || parts.tm_mday > 31 || parts.tm_hour < 0
        || parts.tm_hour > 23 || parts.tm_min < 0 || parts.tm_min > 59 || parts.tm_sec < 0
        || parts.tm_sec > 60)
        return QString();
    auto twoDigits = [](char* at, int value) {
        at[0] = static_cast<char>('0' + value / 10);
        at[1] = static_cast<char>('0' + value % 10);
    };
    char text[48];
    std::memcpy(text, days + 3 * parts.tm_wday, 3);
    text[3] = ' ';
    std::memcpy(text + 4, months + 3 * parts.tm_mon, 3);
    text[7] = ' ';
    twoDigits(text + 8, parts.tm_mday);
    if (parts.tm_mday < 10)
        text[8] = ' ';
    char* at = text + 10;
    if (clock) {
        *at++ = ' ';
        twoDigits(at, parts.tm_hour);
        at[2] = ':';
        twoDigits(at + 3, parts.tm_min);
        at[5] = ':';
        twoDigits(at + 6, parts.tm_sec);
        at += 8;
    }
    *at++ = ' ';
    char* const end = std::to_chars(at, text + sizeof text, 1900LL + parts.tm_year).ptr;
    // ctime() gives nothing for a year of more than four characters.
    if (clock && end - at > 4)
        return QString();
    return QString::fromLatin1(text, end - text);
}

namespace {

// Rows are made on the collection's worker and read on the GUI thread: the
// table is locked, and a text, once in it, stays where it is.
struct SizeTexts
{
    QMutex mutex;
    std::deque<QString> texts {QString()};
    QHash<QString, quint16> indexes;
};

SizeTexts& sizeTexts()
{
    static SizeTexts table;
    return table;
}

} // namespace

quint16 Package::sizeTextIndex(QString const& text)
{
    if (text.isEmpty())
        return 0;
    SizeTexts& table = sizeTexts();
    QMutexLocker lock(&table.mutex);
    auto const known = table.indexes.constFind(text);
    if (known != table.indexes.cend())
        return *known;
    if (table.texts.size() > 0xffff)
        return 0;
    auto const index = quint16(table.texts.size());
    table.texts.push_back(text);
    table.indexes.insert(text, index);
    return index;
}

QString const& Package::sizeText(quint16 index)
{
    SizeTexts& table = sizeTexts();
    QMutexLocker lock(&table.mutex);
    return index < table.texts.size() ? table.texts[index] : table.texts.front();
}

QString Package::shared(QSet<QString>& texts, QString const& text)
{
    auto const known = texts.constFind(text);
    if (known != texts.cend())
        return *known;
    texts.insert(text);
    return text;
}
