// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QSet>
#include <QString>
#include <QtGlobal>

#include <memory>

struct _object;
typedef _object PyObject;

namespace Package {

enum State : quint8 { Updatable = 0, Available = 1, Installed = 2 };
enum Kind : quint8 { Suite = 0, Group = 1, Package = 2 };
// Reinstall takes the installed version again from a repository, Downgrade
// an older version (Entry::downgradeTo).
enum Action : quint8 {
    Update = 0,
    Install = 1,
    Remove = 2,
    None = 3,
    Reinstall = 4,
    Downgrade = 5
};

// The size texts of the rows ("1.2 Mb"), each held once for the whole
// program: a few thousand at most, where tens of thousands of rows show
// them. The index of a text (0 for the empty one, and for a text beyond the
// 65,535 the table holds), and the text of an index.
quint16 sizeTextIndex(QString const& text);
QString const& sizeText(quint16 index);

// One row of the package table: a package, a suite or a group. Packages
// have a row per name and architecture (doc/package-rows.md): an
// updatable one shows its update with the newest installed version chained
// behind it; every older installed version (install-only packages keep
// several) has a row of its own.
struct Entry
{
    Entry() = default;
    ~Entry();
    Entry(Entry const&) = delete;
    Entry& operator=(Entry const&) = delete;

    // A table holds tens of thousands of entries: the small fields come
    // first, packed, and the texts few rows have are held apart.
    Action action = None;
    State state = Available;
    Kind kind = Package;
    // An installed version older than the newest of its name and
    // architecture, in a row of its own.
    bool olderVersion = false;
    Action applyAction = None; // working field of an apply
    // The most pressing advisory of an update (AdvisoryKind) and its
    // severity rank; 0 for none.
    quint8 advisoryKind = 0;
    quint8 advisorySeverity = 0;
    // The script's handle of an available package whose object is made on
    // demand: the view's generation and the package's id in it (-1: none).
    qint32 handleId = -1;
    quint16 handleGeneration = 0;
    quint16 sizeIndex = 0; // see size()
    QString name;
    QString verRel;
    QString repo;
    QString arch;
    quint64 sizeBytes = 0;
    // The size as the table shows it.
    QString const& size() const { return sizeText(sizeIndex); }
    void setSize(QString const& text) { sizeIndex = sizeTextIndex(text); }
    // UTF-8: summaries are about half of the rows' texts, and all but few
    // are ASCII, which a QString would hold in twice the bytes.
    QByteArray summary;
    long buildSeconds = 0;
    // The build time as the table shows it (none for a group): made when
    // asked, tens of thousands of texts are not kept for the few on screen.
    QString buildTime() const;
    // Owned reference to the yum object. An available package's is made
    // when first asked for (YumIO::packageObject): the row keeps its
    // handle in the script's view of the sack instead.
    mutable PyObject* object = nullptr;
    Entry* next = nullptr; // owned chain of installed versions
    Entry* applyCause = nullptr; // working field of an apply

    // The package that replaces this installed one when its update is a
    // package of another name (a rename: the update obsoletes it); the
    // update's own name, empty otherwise.
    QString const& replacement() const { return rare ? rare->replacement : none(); }
    void setReplacement(QString const& text) { setRare(&Rare::replacement, text); }
    // The version a Downgrade mark goes to, as the package manager names
    // the package (NAME-EPOCH:VERSION-RELEASE.ARCH), and its version text.
    QString const& downgradeTo() const { return rare ? rare->downgradeTo : none(); }
    void setDowngradeTo(QString const& text) { setRare(&Rare::downgradeTo, text); }
    QString const& downgradeVersion() const { return rare ? rare->downgradeVersion : none(); }
    void setDowngradeVersion(QString const& text) { setRare(&Rare::downgradeVersion, text); }
    // Held by the version lock: the versions it is held at (empty when it
    // is not held).
    QString const& heldAt() const { return rare ? rare->heldAt : none(); }
    void setHeldAt(QString const& text) { setRare(&Rare::heldAt, text); }
    bool held() const { return !heldAt().isEmpty(); }

private:
    struct Rare
    {
        QString replacement;
        QString downgradeTo;
        QString downgradeVersion;
        QString heldAt;
    };
    static QString const& none();
    void setRare(QString Rare::*field, QString const& text);
    std::unique_ptr<Rare> rare;
};

// A repository version an installed package can be downgraded to.
struct Version
{
    QString version; // as the table shows versions
    QString nevra; // the package manager's name of the package
    QString repos; // the repositories that have it
};

// What the repositories offer an installed package: its own version again,
// and older ones, newest first.
struct Versions
{
    bool reinstallable = false;
    QList<Version> older;
};

// The engine's display list; it owns its entries (and so their chains).
class EntryList : public QList<Entry*>
{
public:
    EntryList() = default;
    ~EntryList();
    EntryList(EntryList const&) = delete;
    EntryList& operator=(EntryList const&) = delete;

    // Deletes every entry and empties the list.
    void deleteAll();
};

// Whether an entry in state can be marked with action: an update for what
// is out of date, an install for what is not installed, a removal, a
// reinstall or a downgrade for what is (None always).
bool allows(State state, Action action);

// A local time in ctime()'s layout without its newline ("Thu Jan  1
// 00:00:00 1970"), or without the clock ("Thu Jan  1 1970"); empty when the
// time cannot be converted.
QString timeText(long seconds, bool clock = true);

// text, or the equal one texts holds already (it keeps text when it holds
// none): one copy of each of the texts rows repeat (versions).
QString shared(QSet<QString>& texts, QString const& text);

} // namespace Package

Q_DECLARE_METATYPE(Package::Entry*)
