// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "log/Log.h"
#include "progress/Steps.h"
#include "python/Python.h"
#include "yumio/Advisory.h"
#include "yumio/History.h"
#include "yumio/Package.h"
#include "yumio/SolvSearch.h"

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <vector>

class HProgressBar;
class PyRef;
class Progress;
class QEventLoop;
class QThread;
class QWidget;
class SearchPattern;
class YumIOCapturers;
class YumIODialogs;

// The engine: the one object through which the user interface drives the
// package manager, by way of the companion script running in the embedded
// interpreter. Long operations run on worker threads (YumIOThreads.h).
//
// The class is split by concern over several files: YumIO.cpp (start-up,
// repositories, entries), YumIOCollect.cpp, YumIODetails.cpp,
// YumIOProgressCallbacks.cpp, YumIOOutput.cpp, YumIOProbes.cpp,
// YumIOConvert.cpp, YumIOThreads.cpp, YumIOSearch.cpp, YumIOQueries.cpp,
// YumIOHistory.cpp, YumIOHolds.cpp.
class YumIO : public QObject, private Python
{
    Q_OBJECT

public:
    // Key of the entry hash: a group, or a package by name and architecture;
    // an older installed version in a row of its own (Package::Entry::
    // olderVersion) also by its version.
    struct EntryKey
    {
        bool isGroup;
        QString name;
        QString arch;
        QString olderVersion;
        bool operator==(EntryKey const& other) const
        {
            return isGroup == other.isGroup && name == other.name && arch == other.arch
                && olderVersion == other.olderVersion;
        }
        static EntryKey group(QString const& name) { return {true, name, QString(), QString()}; }
        static EntryKey package(
            QString const& name, QString const& arch, QString const& olderVersion = QString())
        {
            return {false, name, arch, olderVersion};
        }
    };

    // Lets an apply wait until the GUI thread has blocked SIGCHLD.
    class Blocker
    {
    public:
        void prepare() { mutex.lock(); }
        void release() { mutex.unlock(); }
        void block()
        {
            mutex.lock();
            mutex.unlock();
        }

    private:
        QMutex mutex;
    };

    // The kinds of act of a repository collection, in block order.
    enum RepoAct { ActMirrorList = 0, ActRepomd, ActDownload, ActConvert, ActRead, ActContinue };

    YumIO();
    ~YumIO() override;

    // --- Start-up and repositories ------------------------------------------
    void setup(QWidget* parent, HProgressBar* totalBar, HProgressBar* itemBar);
    // Starts the interpreter and reads the companion script (most of it is
    // importing the package manager's modules) on a thread of its own, so
    // that the window can show what it has meanwhile; initialize() waits
    // for it and makes the script object.
    void startInitialize();
    bool initialize();
    void clear();

    // --- Worker operations (GUI thread) -------------------------------------
    // Collects the rows afresh. When rows of the cache are shown
    // (showCachedRows), they are kept if the collection found the same,
    // else replaced (cachedRowsKept() tells which).
    bool collect(QHash<QString, bool> const& sessionUse);
    bool collectFileLists();
    bool collectOtherData();
    bool apply();
    // Whether the last apply failed after its transaction had changed the
    // system (some members applied): the entries no longer tell the truth.
    bool partlyApplied() const { return appliedPart; }

    // --- Stopping an operation (any thread) --------------------------------
    // Asks the running operation to stop as soon as the package manager can
    // (a download is aborted, a transaction that has begun is not); its
    // failure is then only logged. Lasts until another engine is made.
    static void requestInterrupt();
    static bool interruptRequested();
    static void resetInterrupt();
    // Whether rpm is running a transaction now (from any thread): it cannot
    // be stopped until it ends.
    bool transactionRunning() const { return rpmRunning.load(); }

    // --- Rows of the cache (RowCache.h; GUI thread) --------------------------
    // Shows rows read from the cache as the entries until the next
    // collection: they have no package behind them, so nothing but the
    // table may use them. Takes them over.
    void showCachedRows(Package::EntryList& rows);
    bool showingCachedRows() const { return !cachedRows.isEmpty(); }
    // Whether the last collection found exactly the rows of the cache shown
    // before it: the entries were then swapped for equal ones in place.
    bool cachedRowsKept() const { return keptCachedRows; }
    // What the rows of the last collection were made of (the configuration,
    // the repositories' metadata, the rpm database); false when the script
    // does not say.
    bool cacheSources(QStringList& files, QStringList& dirs, QStringList& statDirs);

    // --- Entries (GUI thread, between operations) ---------------------------
    int count() const { return entries.count(); }
    Package::Entry* operator[](int row) const { return entries[row]; }
    Package::EntryList::const_iterator begin() const { return entries.cbegin(); }
    Package::EntryList::const_iterator end() const { return entries.cend(); }
    // A group by name; a package's row by name and architecture, or without
    // an architecture the first row of that name.
    Package::Entry* findEntry(
        bool isGroup, QString const& name, QString const& arch = QString()) const;
    // The rows of a package name (not those of older versions).
    QList<Package::Entry*> findPackages(QString const& name) const;
    // The marked actions, by entry, to be given back to the entries of a
    // later collection: each mark returns to the entry of the same key when
    // its new state allows the action (a held package takes no update or
    // downgrade). restoreMarks() returns the names of those that did not
    // (sorted).
    struct Mark
    {
        Package::Action action;
        QString downgradeTo; // with the version text, for a Downgrade
        QString downgradeVersion;
    };
    using Marks = QHash<EntryKey, Mark>;
    Marks marks() const;
    QStringList restoreMarks(Marks const& marks);
    static EntryKey keyOf(Package::Entry const& entry);

    // The rows of a collection by their keys (keyOf): an open table of row
    // pointers and of their keys' hashes. A hash of keys held a copy of
    // every key, some 100 bytes a row; this holds about 24.
    class EntryIndex
    {
    public:
        Package::Entry* value(EntryKey const& key) const;
        bool contains(EntryKey const& key) const { return value(key) != nullptr; }
        // Adds entry under its key; false (and nothing added) when the key
        // has a row already.
        bool insert(Package::Entry* entry);
        qsizetype size() const { return count; }
        void clear();
        QList<Package::Entry*> values() const;

    private:
        // The slot holding key, or the empty one it would take.
        size_t slotOf(EntryKey const& key, quint32 hash) const;
        std::vector<Package::Entry*> rowAt;
        std::vector<quint32> hashes;
        qsizetype count = 0;
    };

    QString getName(Package::Entry const& entry) const { return entry.name; }
    QString getVerRel(Package::Entry const& entry) const { return entry.verRel; }
    QString getRepo(Package::Entry const& entry) const { return entry.repo; }
    QString getArch(Package::Entry const& entry) const { return entry.arch; }
    QString getSize(Package::Entry const& entry) const { return entry.size(); }
    QString getSummary(Package::Entry const& entry) const
    {
        return QString::fromUtf8(entry.summary);
    }
    QString getBuildTime(Package::Entry const& entry) const { return entry.buildTime(); }
    QString getState(Package::Entry const& entry) const;
    QString getKind(Package::Entry const& entry) const;

    // --- Package details (GUI thread; each takes the interpreter lock) ------
    QString getDescription(Package::Entry const& entry);
    QString getGroup(Package::Entry const& entry);
    QString getVendor(Package::Entry const& entry);
    QString getBuildHost(Package::Entry const& entry);
    QString getBinaryRpm(Package::Entry const& entry);
    QString getSourceRpm(Package::Entry const& entry);
    QString getLicense(Package::Entry const& entry);
    QString getPackager(Package::Entry const& entry);
    QString getUrl(Package::Entry const& entry);
    QString getInstallTime(Package::Entry const& entry);
    QString getRelocations(Package::Entry const& entry);
    QString getProvides(Package::Entry const& entry);
    QString getRequires(Package::Entry const& entry);
    QString getConflicts(Package::Entry const& entry);
    QString getObsoletes(Package::Entry const& entry);
    QString getFiles(Package::Entry const& entry);
    QString getChangeLog(Package::Entry const& entry);
    QString getRequiredGroups(Package::Entry const& entry);
    QString getDefaultMetaPkgs(Package::Entry const& entry);
    QString getOptionalMetaPkgs(Package::Entry const& entry);
    QString getMandatoryPkgs(Package::Entry const& entry);
    QString getDefaultPkgs(Package::Entry const& entry);
    QString getOptionalPkgs(Package::Entry const& entry);
    QString getConditionalPkgs(Package::Entry const& entry);
    QString getYumVar(QString const& name);
    bool fileListsCollected() const { return fileListsLoaded; }
    bool otherDataCollected() const { return otherDataLoaded; }

    // --- Advisories and relations (YumIOQueries.cpp; GUI thread) ------------
    // The advisories of an updatable package, most pressing first, as the
    // collection read them; empty for every other entry.
    QList<Package::Advisory> advisories(Package::Entry const& entry) const;
    bool advisoriesCollected() const { return advisoriesLoaded; }
    // The installed (else the available) packages that require the entry's
    // package, as "NAME-VERSION.ARCH" (available ones followed by their
    // repository), sorted; empty with *ok false after a failure, which has
    // been reported.
    QStringList whatRequires(Package::Entry const& entry, bool installed, bool* ok = nullptr);
    // The names of the installed and available packages that provide the
    // capability (or hold the file); shell wildcards allowed.
    QSet<QString> whatProvides(QString const& capability, bool* ok = nullptr);

    // --- Search (GUI thread, between operations; YumIOSearch.cpp) -----------
    // For each of entries (packages and suites): 1 when one of the fields a
    // Search reads through the getters above (description to change log)
    // matches pattern, 0 when none does, -1 when this pass cannot tell (the
    // getters must). The texts are made in C straight from the package
    // manager's data in memory, the same texts as the getters', after the
    // file lists and change logs have been loaded as the getters would load
    // them. False when that data cannot be reached (a script other than
    // the companion script, a package manager library this program does not
    // know, a load that failed) or the pass is switched off: the getters
    // then answer for every entry.
    bool searchDetails(SearchPattern const& pattern,
        std::vector<Package::Entry const*> const& entries, std::vector<signed char>& found);
    // On by default; the tests and benchmarks compare both ways.
    void setDirectSearch(bool on) { directSearch = on; }
    // The packages' texts the Searches since the last collection gathered.
    SolvSearch::Corpus const& searchTexts() const { return searchCorpus; }

    // --- History, holds and other versions (YumIOHistory.cpp, YumIOHolds.cpp;
    // GUI thread, between operations) ----------------------------------------
    // The package manager's transactions, newest first, and the packages of
    // one; empty with *ok false after a failure, which has been reported.
    QList<History::Transaction> historyTransactions(bool* ok = nullptr);
    QList<History::Item> historyItems(int id, bool* ok = nullptr);
    // Undoes transaction id, or every transaction after it, with the
    // confirmation, progress and reports of apply() (whose result it gives).
    bool applyHistory(History::Operation operation, int id);
    // Holds the installed package of a row at its version (the package
    // manager's version lock), or releases it; every row's Entry::heldAt is
    // read again. False after a failure, which has been reported.
    bool setHold(Package::Entry const& entry, bool hold);
    // The repository versions the installed package of a row can take.
    Package::Versions packageVersions(Package::Entry const& entry, bool* ok = nullptr);

    // --- Probes and cache cleaning ------------------------------------------
    QString yumVersionStr();
    unsigned yumVersion();
    bool hasDistribGroups();
    bool hasTransTest();
    bool hasPickledCache();
    bool usesSqlite();
    bool usesPresto();
    bool cleanHeaders();
    bool cleanPackages();
    bool cleanXmlMetadata();
    bool cleanPickledCache();
    bool cleanAll();
    // What the last cleaning command removed, a line a step ("3 package
    // files removed"), as the package manager's side wrote it.
    QStringList cleanReport() const { return cleaned; }

    // --- Log -----------------------------------------------------------------
    Log::EntryList& logEntries() { return logList; }
    void log(Log::Kind kind, unsigned level, QString const& text);
    // The entries' texts that log() makes of a text.
    static QStringList logLines(QString const& text);
    void writeStdout(QString const& text);
    void writeStderr(QString const& text);

    // --- Reporting (any thread holding the interpreter lock) ----------------
    void error(QString const& message);
    void warning(QString const& message);
    void error(char const* message) override;
    void warning(char const* message) override;
    // The titles of those reports, and the reports of a collection that has
    // no repository configured, or none enabled.
    static QString errorTitle();
    static QString warningTitle();
    static QString noRepositoriesConfigured();
    static QString noRepositoriesEnabled();

    // --- Formatting ----------------------------------------------------------
    static QString bytesFormat(quint64 bytes);
    static QString timeFormat(long seconds);
    static QString dateFormat(long seconds);

    // --- Callbacks of the yumIOC module (script thread, lock held) ----------
    // Each gets the script's argument tuple and returns a new reference, or
    // null with the argument parser's exception.
    PyObject* stdoutWrite(PyObject* args);
    PyObject* stderrWrite(PyObject* args);
    PyObject* log(PyObject* args);
    PyObject* errorlog(PyObject* args);
    PyObject* collectProgress(PyObject* args);
    PyObject* collectGrabMeterStart(PyObject* args);
    PyObject* collectGrabMeterUpdate(PyObject* args);
    PyObject* collectGrabMeterEnd(PyObject* args);
    PyObject* applyGrabMeterStart(PyObject* args);
    PyObject* applyGrabMeterUpdate(PyObject* args);
    PyObject* applyGrabMeterEnd(PyObject* args);
    PyObject* dsTsCheck(PyObject* args);
    PyObject* dsRestartLoop(PyObject* args);
    PyObject* userconfirm(PyObject* args);
    PyObject* reportDownloadSize(PyObject* args);
    PyObject* listTransaction(PyObject* args);
    PyObject* tsInitCallback(PyObject* args);
    PyObject* tsCallback(PyObject* args);
    PyObject* tsEvent(PyObject* args);
    PyObject* postTransactionOutput(PyObject* args);
    PyObject* interrupted(PyObject* args);
    PyObject* confirmKeyImport(PyObject* args);

signals:
    void collectedExtraData();

private:
    friend class CollectThread;
    friend class CollectFileListsThread;
    friend class CollectOtherDataThread;
    friend class ApplyThread;
    friend class YumIOCapturers;
    friend class YumIOCapturersMinion;
    friend class TestAccess; // lets test suites reach the framed steps

    // --- Python layer overrides (expectation frames keep a log mark) --------
    void pyExceptExpect(PyObject* type) override;
    void pyExceptClear() override;
    void exceptionExpected() override;

    // --- Worker plumbing -----------------------------------------------------
    bool execWorkThread(QEventLoop& loop, QThread& thread);

    // Who holds the interpreter lock when:
    // - between operations nobody; GUI-thread code takes it for one engine
    //   call at a time (the detail getters take it themselves, through
    //   DetailLock, and a caller may hold it around them as well);
    // - a worker holds it for its whole operation, and the GUI thread never
    //   waits for it meanwhile: a detail read that comes in from an event
    //   handled during the operation first waits (serving events) until the
    //   worker has finished;
    // - a GUI-thread step that must run a worker itself (a file list or
    //   change log that needs the extra data) gives the lock up completely,
    //   whatever outer frames hold it, through runUnlocked(), and takes it
    //   back once the worker has finished. Waiting on a worker with the lock
    //   held would hang the program.
    class DetailLock
    {
    public:
        explicit DetailLock(YumIO* engine)
            : waited((engine->waitForWorker(), true))
            , lock(true)
        {
        }

    private:
        bool waited;
        PyGILStateWrapper lock;
    };
    bool runUnlocked(bool (YumIO::*operation)());
    void waitForWorker();
    QThread* worker = nullptr; // the running operation's thread

    // --- Start-up and repositories ------------------------------------------
    bool makeScriptObject(bool report);
    bool scriptReady(); // the script object, built again when a refresh could not
    void deleteEntries();
    void reportConfigurationProblems();
    bool lockStep();
    PyObject* reposObject(); // new reference to yumIO.repos, or null after an error
    void useRepos(PyObject* repos, QHash<QString, bool> const& sessionUse);
    QStringList collectRepos(PyObject* reposDict);
    bool selectRepos(QHash<QString, bool> const& sessionUse);
    PyObject* lookupException(char const* name); // borrowed, reported when missing

    // --- Collection ----------------------------------------------------------
    bool collectReal(QHash<QString, bool> const& sessionUse);
    void logCollected(QList<Package::Entry*> const& rows, qint64 milliseconds);
    PyObject* collectStep(char const* method, char const* expected, QString const& failure,
        QString const& internalError = QString());
    struct Incoming;
    class SharedTexts;
    bool collectPackages(PyObject* updates, PyObject* all);
    bool collectIncoming(
        PyObject* iterable, bool updates, std::function<void(Incoming&)> const& take);
    bool collectField(
        PyObject* all, char const* attribute, std::function<void(Incoming&)> const& take);
    int comparePackages(PyObject* a, PyObject* b);
    Package::Entry* makeEntry(Incoming& incoming, Package::State state, SharedTexts& shared);
    bool addRow(Package::Entry* entry);
    void shareCachedTexts(Package::Entry& entry);
    bool collectPkg(Package::Entry*& slot, Package::State state, PyObject* package);
    void keepHandle(Package::Entry& entry);
    PyObject* packageObject(Package::Entry const& entry); // borrowed, or null
    bool collectGroups(PyObject* info);
    bool collectGroup(Package::Entry*& slot, PyObject* group, QString const& name);
    Package::Kind getPkgKind(PyObject* package);

    // --- Advisories (YumIOQueries.cpp) ---------------------------------------
    void collectAdvisories(); // on the collection's worker, lock held
    void clearAdvisories();

    // --- Details -------------------------------------------------------------
    PyObject* getRpmHdrValue(PyObject* package, char const* tag);
    QString getRpmTime(PyObject* package, char const* tag);
    QString getRpmList(PyObject* package, char const* tag);
    QString getPrco(Package::Entry const& entry, char const* prefix, char const* listName);
    QString getGroupList(
        Package::Entry const& entry, char const* olderAttribute, char const* newerAttribute);
    PyObject* getGroupItem_22(Package::Entry const& group, char const* attribute);
    PyObject* getGroupItem_25(Package::Entry const& group, char const* attribute);
    bool upToDateGroup(Package::Entry const& group);
    bool upToDateGroupGrps(Package::Entry const& group);
    bool upToDateGroupPkgs(Package::Entry const& group);
    bool collectFileListsReal();
    bool collectOtherDataReal();
    bool collectExtraReal(bool fileLists);
    QStringList textsOf(PyObject* items); // a sequence, or a dictionary's keys
    static QString makeSorted(QStringList lines);
    static QString makeSortedUniq(QStringList lines);

    // --- Applying (YumIOApply.cpp) ------------------------------------------
    bool applyReal();
    bool runTransactionCall(std::function<PyObject*()> const& call);
    PyObject* callApply(PyObject* installs, PyObject* updates, PyObject* removes, PyObject* groups,
        PyObject* reinstalls, PyObject* downgrades);
    PyObject* callApplyHistory();
    // A framed script call whose expected failure is shown with failure; a
    // new reference, or null.
    PyObject* scriptQuery(QString const& failure, char const* method, char const* format, ...);
    void readHolds(QList<Package::Entry*> const& targets); // the rows to mark
    bool scriptChangedSystem();
    bool scriptHasGroupOperations();
    bool applyGroupOperations(PyObject* operations);
    bool applyGroups();
    bool applyGrpUpdate(Package::Entry const* group);
    bool applyGrpInstall(Package::Entry const* group);
    bool applyGrpRemove(Package::Entry const* group);
    bool applyGrpAdd(Package::Entry const* group, QSet<QString> const* requiredNames);
    bool forGroupPackages(PyObject* list, std::function<bool(Package::Entry*)> const& visit);
    bool applyGrpConflict(Package::Entry const* group, Package::Entry* package);
    void applyGrpMark(Package::Entry const* group, Package::Entry* package, Package::Action action);
    void applyGrpLog(Package::Entry const* group, Package::Entry const* package);
    void applyGrpLogWas(Package::Entry const* group, Package::Entry const* package);
    void applyGrpLogNot(Package::Entry const* group, Package::Entry const* package,
        Package::Action action, QString const& reason);
    PyObject* requiredPkgs(Package::Entry const* group);
    PyObject* pkgTree(Package::Entry const* group);
    PyObject* allPkgs(Package::Entry const* group);
    PyObject* groupKeys(Package::Entry const* group, QList<char const*> const& mappings,
        QString const& missing, QString const& improper);
    Package::Entry* groupPackage(PyObject* name); // by package key, or null
    static QString actionText(Package::Action action);

    // --- Transaction callbacks (YumIOTransactionCallbacks.cpp) ---------------
    void dsTsInfo(QString const& text);
    void dsTsNewPkg(QString const& name, unsigned members, bool needHeader);
    // The seven lists of a transaction: updated, installed, removed,
    // obsoleted, depupdated, depinstalled, depremoved.
    int makeLists(PyObject* object, PyRef* seven);
    struct PkgtupTexts
    {
        QString name;
        QString arch;
        QString version;
    };
    PkgtupTexts pkgtupTexts(PyObject* pkgtup);
    QString pkgtupFormat(PyObject* pkgtup);
    QString pkgtupRepoFormat(PyObject* pkgtup, QString const& repo);
    QString pkgtupChangeFormat(PyObject* older, PyObject* pkgtup);
    void displayInstalledSizeChange(PyObject* object);
    PyRef memberPkgtup(PyObject* member);
    bool eachMember(
        PyObject* list, std::function<bool(PyObject* member, PyObject* pkgtup)> const& show);
    bool displayTransactionPkgs(QString const& label, PyObject* list);
    bool displayTransactionPkgsRepo(QString const& label, PyObject* list);
    bool displayTransactionPkgsObs(QString const& label, PyObject* list);
    void displayTransactionGroups(PyObject* object);
    PyObject* findRelation(PyObject* relatedto, char const* relation);
    void noteTransactionPkgs(Package::Action action, PyObject* list);
    QString getLocalPkg(PyObject* package);
    QString getLocalHdr(PyObject* package);
    QString memberName(PyObject* member);
    quint64 floorSize(QString const& name, bool installed = false) const;
    void resetApplyFields();

    // --- Progress callbacks --------------------------------------------------
    void collectProgress(QString const& name, bool start, RepoAct act, long value, long tail);

    // --- Output --------------------------------------------------------------
    void write(QString const& text, Log::Kind kind, unsigned level, QString& rest);
    void tsInfo(QString const& text); // a "TSINFO: " line, without the prefix
    bool callbackText(PyObject* object, QString& text); // false with a TypeError set

    // --- Probes --------------------------------------------------------------
    bool cleanStep(char const* method, QStringList& failures);
    bool clean(QString const& heading, QList<char const*> const& methods);

    // --- Conversion and reporting --------------------------------------------
    QString pyString(PyObject* object);
    QString pyStringDec(PyObject* object);
    QString pyStringX(PyObject* object);
    QString pyStringXDec(PyObject* object);
    QString pyMappingString(PyObject* mapping, char const* key);
    QString simpleString(PyObject* package, char const* key);
    quint64 sizeOf(PyObject* package);
    long pyTime(PyObject* object);
    long pyTimeDec(PyObject* object);
    long buildTimeOf(PyObject* package);
    PyObject* pyDictGetItem(PyObject* dict, QString const& key);
    void pythonException(QString const& message);
    void pythonExceptionV(QString const& message);
    int logCount();

    // --- Data ----------------------------------------------------------------
    Package::EntryList entries;
    EntryIndex entryHash;
    // Rows and names in the order of package names.
    struct NameOrder
    {
        bool operator()(Package::Entry const* a, Package::Entry const* b) const
        {
            return a->name < b->name;
        }
        bool operator()(Package::Entry const* a, QString const& b) const { return a->name < b; }
        bool operator()(QString const& a, Package::Entry const* b) const { return a < b->name; }
    };
    // The package rows (not those of older versions) sorted by name, in the
    // collection's order within a name: a list of pointers, not a hash of
    // lists, for tens of thousands of names.
    QList<Package::Entry*> packagesByName;
    // The packages of a running collection in the order the script gave
    // them: the rows follow it (see collectReal).
    QList<Package::Entry*> collectOrder;
    QList<Package::Entry*> collectedRows; // a finished collection's, for collect()
    Package::EntryList cachedRows; // shown until a collection ends
    EntryIndex cachedIndex; // the rows of the cache by key, while the packages are collected
    bool keptCachedRows = false;

    Log::EntryList logList;
    int logMark = -1;

    bool fileListsLoaded = false;
    bool otherDataLoaded = false;
    bool directSearch = true;
    QString searchFallback; // why searchDetails last could not read the data
    // The texts the Searches gathered; emptied whenever a worker may change
    // the package manager's data, and with the entries.
    SolvSearch::Corpus searchCorpus;

    // Advisories of the updates by package name.
    QHash<QString, QList<Package::Advisory>> advisoryLists;
    bool advisoriesLoaded = false;

    QWidget* parent = nullptr;
    YumIODialogs* dialogs = nullptr;

    bool prepareInterpreter();
    void readScript();
    void joinScriptReader();
    // The reading of the script started by startInitialize(): its thread,
    // and what it left (run on the thread, reported on the GUI thread).
    // Unprepared: the interpreter's preparation failed and was reported.
    QThread* scriptReader = nullptr;
    enum class ScriptRead { NotRead, Unprepared, Read, Unopened, Failed };
    ScriptRead scriptRead = ScriptRead::NotRead;
    PyObject* scriptFailure[3] = {}; // owned: the exception of a failed reading

    PyObject* rpmDict = nullptr; // borrowed
    PyObject* scriptClass = nullptr; // borrowed
    PyObject* yumIO = nullptr; // owned: the script object
    PyObject* reposDict = nullptr; // borrowed from yumIO.repos.repos
    bool locked = false;
    QString shownProblems; // the configuration problems last reported
    // Interned names read from every change-log record (YumIODetails.cpp),
    // owned, made on first use and released with the script object.
    PyObject* recordNames[8] = {};
    PyObject* recordName(int which);

    bool yumVersionKnown = false;
    QString yumVersionText;
    unsigned yumVersionNumber = 0; // parsed once: asked for every change log
    bool yumVersionParsed = false;
    bool sqliteKnown = false;
    bool sqliteUsed = false;
    bool prestoKnown = false;
    bool prestoUsed = false;

    HProgressBar* totalBar = nullptr;
    HProgressBar* itemBar = nullptr;
    Progress* progress = nullptr;

    Blocker blocker;

    // Repository and download progress.
    QStringList enabledRepos;
    QString collectSubject;
    int collectAct = 0;
    long collectTail = 0;
    QString collectName;
    bool applyConfirmed = false;
    quint32 actPos = 0;
    bool deltaRebuild = false;
    std::atomic<bool> rpmRunning {false};

    // Apply: transaction summary, dependency loop and progress budget.
    QString confirmText;
    QSet<QString> updatedNames;
    unsigned txCount = 0;
    unsigned hdrCount = 0;
    unsigned loopSize = 0;
    unsigned loopBase = 0;
    quint64 totalDownload = 0;
    quint64 downloadNeeded = 0;
    quint32 downloadShare = 0;
    quint64 installWork = 0;
    long lastTsCurrent = -1;
    bool applying = false; // the script's apply is running
    // The history operation the next apply runs instead of the marks (an id
    // of 0 for none).
    History::Operation historyOperation = History::Undo;
    int historyId = 0;
    bool appliedPart = false; // see partlyApplied()
    QStringList cleaned; // see cleanReport()

    // Output assembly and capture.
    QString stdoutRest;
    QString stderrRest;
    Log::Kind stderrKind = Log::Error;
    unsigned stderrLevel = 0;
    YumIOCapturers* capturers = nullptr;
};

size_t qHash(YumIO::EntryKey const& key, size_t seed = 0);
