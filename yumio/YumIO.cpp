// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "yumio/YumIO.h"

#include "base/Globals.h"
#include "base/InstallRoot.h"
#include "base/Share.h"
#include "python/PyRef.h"
#include "yumio/YumIOCModule.h"
#include "yumio/YumIODialogs.h"

#include <QFile>
#include <QThread>

#include <algorithm>
#include <cstdio>

size_t qHash(YumIO::EntryKey const& key, size_t seed)
{
    size_t const hash = qHashMulti(seed, key.name, key.arch, key.olderVersion);
    return quint32(2u * quint32(hash) + (key.isGroup ? 1u : 0u));
}

YumIO::YumIO()
{
    resetInterrupt();
}

YumIO::~YumIO()
{
    joinScriptReader();
    if (Python::initialized) {
        PyGILStateWrapper lock(true);
        for (PyObject*& part : scriptFailure)
            Py_CLEAR(part);
        py("import sys\n"
           "sys.stdout = sys.__stdout__\n"
           "sys.stderr = sys.__stderr__\n");
        // The package manager closes its databases, as on every refresh.
        if (yumIO) {
            PyRef flushed = PyRef::steal(pyMethodCall(yumIO, "flush", "()"));
        }
        if (locked && yumIO) {
            pyExceptStart();
            PyObject* lockError = lookupException("yum.Errors.LockError");
            pyExceptExpect(lockError);
            PyRef result = PyRef::steal(pyMethodCall(yumIO, "unlock", "()"));
            if (pyExceptMatches(result.get(), lockError))
                pythonException(tr("Unable to release yum lock"));
            pyExceptClear();
            locked = false;
        }
        // Entries and the script object drop their references while the
        // interpreter still runs; the Python base ends it afterwards.
        deleteEntries();
        Py_CLEAR(yumIO);
        for (PyObject*& name : recordNames)
            Py_CLEAR(name);
    }
    YumIOCModule::detach(this);
    delete dialogs;
    dialogs = nullptr;
}

void YumIO::setup(QWidget* parentWidget, HProgressBar* total, HProgressBar* item)
{
    delete dialogs;
    dialogs = new YumIODialogs(parentWidget);
    parent = parentWidget;
    totalBar = total;
    itemBar = item;
}

PyObject* YumIO::lookupException(char const* name)
{
    return pyLookup(name); // reports a missing name itself
}

// The interpreter, the script's own module and paths: on the GUI thread,
// which the interpreter's signal handling needs.
bool YumIO::prepareInterpreter()
{
    Python::initialize();
    PyGILStateWrapper lock(true);
    if (yumIO || scriptRead != ScriptRead::NotRead)
        return true;

    // Reports an internal error after any pending Python exception.
    auto fail = [this](QString const& message) {
        if (PyErr_Occurred())
            handleException();
        error(message);
        return false;
    };

    if (!YumIOCModule::registerModule(this))
        return fail(tr("Internal error: cannot register python yumIOC module"));

    // The share directory's python/ holds the script's own "yum" package.
    QByteArray const sharePython = QFile::encodeName(Share::absolute(QStringLiteral("python")));
    PyRef sys = PyRef::steal(PyImport_ImportModule("sys"));
    if (!sys)
        return fail(tr("Internal error: cannot find python sys module"));
    PyRef path = PyRef::steal(PyObject_GetAttrString(sys.get(), "path"));
    PyRef shareDir = PyRef::steal(PyUnicode_DecodeFSDefault(sharePython.constData()));
    if (!path || !shareDir || !PyList_Check(path.get())
        || PyList_Insert(path.get(), 0, shareDir.get()) != 0)
        return fail(tr("Internal error: cannot set python sys.path"));

    PyRef argv = PyRef::steal(PyList_New(0));
    PyRef argv0 = PyRef::steal(PyUnicode_DecodeFSDefault(program));
    bool argvOk = argv && argv0 && PyList_Append(argv.get(), argv0.get()) == 0;
    if (argvOk && !InstallRoot::path().isEmpty()) {
        QByteArray const option = "--installroot=" + QFile::encodeName(InstallRoot::path());
        PyRef root = PyRef::steal(PyUnicode_DecodeFSDefault(option.constData()));
        argvOk = root && PyList_Append(argv.get(), root.get()) == 0;
    }
    PyRef info = PyRef::steal(PyUnicode_FromString("info"));
    argvOk = argvOk && info && PyList_Append(argv.get(), info.get()) == 0;
    if (!argvOk || PyObject_SetAttrString(sys.get(), "argv", argv.get()) != 0)
        return fail(tr("Internal error: cannot set python sys.argv"));

    PyRef rpm = PyRef::steal(PyImport_ImportModule("rpm"));
    if (!rpm)
        return fail(tr("Internal error: cannot find python rpm module"));
    rpmDict = PyModule_GetDict(rpm.get()); // sys.modules keeps it alive
    if (!rpmDict)
        return fail(tr("Internal error: cannot find python rpm dict"));

    setEnablePythonSIGINTHandler(false);
    return true;
}

// Runs the script, which defines the script class and imports the package
// manager's modules; reports nothing, so that it can run on any thread.
void YumIO::readScript()
{
    PyGILStateWrapper lock(true);
    QByteArray const scriptFile
        = QFile::encodeName(Share::absolute(QStringLiteral("python/YumIO.py")));
    FILE* file = std::fopen(scriptFile.constData(), "r");
    if (!file) {
        scriptRead = ScriptRead::Unopened;
        return;
    }
    PyRef fileName = PyRef::steal(PyUnicode_DecodeFSDefault(scriptFile.constData()));
    if (fileName)
        PyDict_SetItemString(main_dict, "__file__", fileName.get());
    PyRef ran = PyRef::steal(
        PyRun_FileEx(file, "YumIO.py", Py_file_input, main_dict, main_dict, 1 /* closes */));
    scriptRead = ran ? ScriptRead::Read : ScriptRead::Failed;
    if (!ran)
        PyErr_Fetch(&scriptFailure[0], &scriptFailure[1], &scriptFailure[2]);
}

void YumIO::startInitialize()
{
    if (scriptReader)
        return;
    if (!prepareInterpreter()) {
        scriptRead = ScriptRead::Unprepared; // reported: initialize() only fails
        return;
    }
    if (yumIO || scriptRead != ScriptRead::NotRead)
        return;
    scriptReader = QThread::create([this] { readScript(); });
    scriptReader->start();
}

void YumIO::joinScriptReader()
{
    if (!scriptReader)
        return;
    scriptReader->wait();
    delete scriptReader;
    scriptReader = nullptr;
}

bool YumIO::initialize()
{
    if (scriptRead == ScriptRead::Unprepared) {
        scriptRead = ScriptRead::NotRead; // a new call prepares it again
        return false;
    }
    if (scriptReader)
        joinScriptReader();
    else if (!prepareInterpreter())
        return false;
    else if (scriptRead == ScriptRead::NotRead && !yumIO)
        readScript();
    PyGILStateWrapper lock(true);
    if (yumIO)
        return true;
    switch (scriptRead) {
    case ScriptRead::NotRead:
    case ScriptRead::Unprepared:
    case ScriptRead::Read:
        break;
    case ScriptRead::Unopened:
        scriptRead = ScriptRead::NotRead; // reported once; a new call reads it again
        error(tr("Internal error: unable to open YumIO.py"));
        return false;
    case ScriptRead::Failed:
        PyErr_Restore(scriptFailure[0], scriptFailure[1], scriptFailure[2]);
        scriptFailure[0] = scriptFailure[1] = scriptFailure[2] = nullptr;
        scriptRead = ScriptRead::NotRead; // reported once; a new call reads it again
        handleException();
        error(tr("Internal error: unable to execute YumIO.py"));
        return false;
    }

    scriptClass = PyDict_GetItemString(main_dict, "YumIO");
    if (!scriptClass) {
        error(tr("Internal error: cannot find python YumIO"));
        return false;
    }
    return makeScriptObject(true);
}

// Builds the script object. The package manager refuses to start on a main
// configuration it cannot parse: with report, the user is shown why (what
// the script logged, then "Unable to initialize"); without, the failure is
// only logged, and the next operation tries again and reports it.
bool YumIO::makeScriptObject(bool report)
{
    Py_CLEAR(yumIO);
    reposDict = nullptr;
    if (!scriptClass)
        return false;
    pyExceptStart();
    PyObject* systemExit = lookupException("builtins.SystemExit");
    pyExceptExpect(systemExit);
    yumIO = PyObject_CallObject(scriptClass, nullptr);
    if (!yumIO && PyErr_Occurred())
        handleException();
    if (pyExceptMatches(yumIO, systemExit)) {
        if (report)
            pythonException(tr("Unable to initialize"));
    } else if (!yumIO && report) {
        error(tr("Internal error: cannot create python yumIO"));
    }
    pyExceptClear();
    return yumIO != nullptr;
}

bool YumIO::scriptReady()
{
    return yumIO || makeScriptObject(true);
}

void YumIO::clear()
{
    PyGILStateWrapper lock(true);
    if (yumIO) {
        PyRef flushed = PyRef::steal(pyMethodCall(yumIO, "flush", "()"));
    }
    deleteEntries();
    makeScriptObject(false);
}

// The hash holds every entry made, the list only those of a collection that
// succeeded: a failed one leaves its entries (and their Python objects) in
// the hash alone.
void YumIO::deleteEntries()
{
    entries.clear();
    searchCorpus.clear();
    collectOrder.clear();
    packagesByName.clear();
    for (Package::Entry* entry : entryHash.values())
        delete entry;
    entryHash.clear();
    clearAdvisories();
}

void YumIO::showCachedRows(Package::EntryList& rows)
{
    cachedRows.deleteAll();
    static_cast<QList<Package::Entry*>&>(cachedRows) = rows;
    static_cast<QList<Package::Entry*>&>(rows).clear();
    static_cast<QList<Package::Entry*>&>(entries) = cachedRows;
}

bool YumIO::cacheSources(QStringList& files, QStringList& dirs, QStringList& statDirs)
{
    PyGILStateWrapper lock(true);
    if (!yumIO || !PyObject_HasAttrString(yumIO, "cacheSources"))
        return false;
    PyRef sources = PyRef::steal(pyMethodCall(yumIO, "cacheSources", "()"));
    if (!sources || !PyTuple_Check(sources.get()) || PyTuple_GET_SIZE(sources.get()) != 3) {
        PyErr_Clear();
        return false;
    }
    files = textsOf(PyTuple_GET_ITEM(sources.get(), 0));
    dirs = textsOf(PyTuple_GET_ITEM(sources.get(), 1));
    statDirs = textsOf(PyTuple_GET_ITEM(sources.get(), 2));
    return !files.isEmpty();
}

Package::Entry* YumIO::findEntry(bool isGroup, QString const& name, QString const& arch) const
{
    if (isGroup || !arch.isEmpty())
        return entryHash.value(isGroup ? EntryKey::group(name) : EntryKey::package(name, arch));
    auto const first
        = std::lower_bound(packagesByName.cbegin(), packagesByName.cend(), name, NameOrder());
    return first != packagesByName.cend() && (*first)->name == name ? *first : nullptr;
}

QList<Package::Entry*> YumIO::findPackages(QString const& name) const
{
    auto const [first, last]
        = std::equal_range(packagesByName.cbegin(), packagesByName.cend(), name, NameOrder());
    return QList<Package::Entry*>(first, last);
}

YumIO::Marks YumIO::marks() const
{
    Marks marked;
    for (Package::Entry const* entry : entries) {
        if (entry->action != Package::None)
            marked.insert(
                keyOf(*entry), {entry->action, entry->downgradeTo(), entry->downgradeVersion()});
    }
    return marked;
}

// The key a collection gives an entry: an updatable row's is its installed
// package's name and architecture (the update may be of another
// architecture, or of another name for a rename).
YumIO::EntryKey YumIO::keyOf(Package::Entry const& entry)
{
    if (entry.kind == Package::Group)
        return EntryKey::group(entry.name);
    Package::Entry const& installed
        = entry.state == Package::Updatable && entry.next ? *entry.next : entry;
    return EntryKey::package(
        entry.name, installed.arch, entry.olderVersion ? entry.verRel : QString());
}

namespace {

// The first slot to try for a key's hash: the hash's lowest bit tells a
// group, which would leave half of the slots to start nowhere.
size_t startOf(quint32 hash, size_t mask)
{
    return ((hash >> 1) | (hash << 31)) & mask;
}

} // namespace

Package::Entry* YumIO::EntryIndex::value(EntryKey const& key) const
{
    return rowAt.empty() ? nullptr : rowAt[slotOf(key, quint32(qHash(key)))];
}

size_t YumIO::EntryIndex::slotOf(EntryKey const& key, quint32 hash) const
{
    size_t const mask = rowAt.size() - 1;
    size_t slot = startOf(hash, mask);
    while (rowAt[slot] && (hashes[slot] != hash || !(keyOf(*rowAt[slot]) == key)))
        slot = (slot + 1) & mask;
    return slot;
}

bool YumIO::EntryIndex::insert(Package::Entry* entry)
{
    // At most half full: a missing key is found after a step or two.
    if (size_t(count + 1) * 2 > rowAt.size()) {
        std::vector<Package::Entry*> const oldRows = std::exchange(rowAt, {});
        std::vector<quint32> const oldHashes = std::exchange(hashes, {});
        size_t const size = std::max<size_t>(64, oldRows.size() * 2);
        rowAt.assign(size, nullptr);
        hashes.assign(size, 0);
        for (size_t i = 0; i < oldRows.size(); ++i) {
            if (!oldRows[i])
                continue;
            size_t slot = startOf(oldHashes[i], size - 1);
            while (rowAt[slot])
                slot = (slot + 1) & (size - 1);
            rowAt[slot] = oldRows[i];
            hashes[slot] = oldHashes[i];
        }
    }
    EntryKey const key = keyOf(*entry);
    quint32 const hash = quint32(qHash(key));
    size_t const slot = slotOf(key, hash);
    if (rowAt[slot])
        return false;
    rowAt[slot] = entry;
    hashes[slot] = hash;
    ++count;
    return true;
}

QList<Package::Entry*> YumIO::EntryIndex::values() const
{
    QList<Package::Entry*> entries;
    entries.reserve(count);
    for (Package::Entry* entry : rowAt)
        if (entry)
            entries.append(entry);
    return entries;
}

void YumIO::EntryIndex::clear()
{
    rowAt = {};
    hashes = {};
    count = 0;
}

QStringList YumIO::restoreMarks(Marks const& marks)
{
    QStringList dropped;
    for (auto it = marks.cbegin(); it != marks.cend(); ++it) {
        // After a failed collection the hash holds entries that are not
        // listed; after one that succeeded it holds exactly the listed ones.
        Package::Entry* entry = entries.isEmpty() ? nullptr : entryHash.value(it.key());
        Mark const& mark = it.value();
        bool const heldBack = entry && entry->held()
            && (mark.action == Package::Update || mark.action == Package::Downgrade);
        if (entry && Package::allows(entry->state, mark.action) && !heldBack) {
            entry->action = mark.action;
            entry->setDowngradeTo(mark.downgradeTo);
            entry->setDowngradeVersion(mark.downgradeVersion);
        } else
            dropped << it.key().name;
    }
    dropped.sort();
    return dropped;
}

QString YumIO::getState(Package::Entry const& entry) const
{
    switch (entry.state) {
    case Package::Updatable:
        return tr("Available for update");
    case Package::Available:
        return tr("Available for installation");
    case Package::Installed:
        return tr("Installed");
    }
    return QString();
}

QString YumIO::getKind(Package::Entry const& entry) const
{
    switch (entry.kind) {
    case Package::Suite:
        return tr("Suite of packages");
    case Package::Group:
        return tr("Group of packages");
    case Package::Package:
        return tr("Ordinary package");
    }
    return QString();
}

// ---------------------------------------------------------------------------
// The opening steps of every collection: yum's lock, then the repositories.

bool YumIO::lockStep()
{
    if (locked)
        return true;
    pyExceptStart();
    PyObject* lockError = lookupException("yum.Errors.LockError");
    pyExceptExpect(lockError);
    PyRef result = PyRef::steal(pyMethodCall(yumIO, "lock", "()"));
    bool ok = true;
    if (pyExceptMatches(result.get(), lockError)) {
        pythonException(tr("Unable to obtain yum lock"));
        ok = false;
    } else if (!result) {
        ok = false; // an unexpected exception has been reported already
    }
    pyExceptClear();
    locked = ok;
    return ok;
}

// What the package manager left out of the repository files (a file it
// cannot parse, a section it cannot use) vanishes from its view without a
// word: one warning names every such file or section and why, again only
// when the list has changed.
void YumIO::reportConfigurationProblems()
{
    if (!PyObject_HasAttrString(yumIO, "configurationProblems"))
        return; // a script that does not say
    PyRef problems = PyRef::steal(pyMethodCall(yumIO, "configurationProblems", "()"));
    QString const text = textsOf(problems.get()).join(QLatin1Char('\n'));
    if (!problems || text == shownProblems)
        return;
    shownProblems = text;
    if (!text.isEmpty())
        warning(tr("Parts of the repository configuration were ignored:\n%1").arg(text));
}

PyObject* YumIO::reposObject()
{
    PyObject* repos = PyObject_GetAttrString(yumIO, "repos");
    PyObject* dict = repos ? PyObject_GetAttrString(repos, "repos") : nullptr;
    if (!dict) {
        PyErr_Clear();
        Py_XDECREF(repos);
        reposDict = nullptr;
        error(tr("Internal error: yumIO.repos.repos not evaluable"));
        return nullptr;
    }
    // The repository object keeps the dictionary alive: hold it borrowed.
    Py_DECREF(dict);
    if (!PyDict_Check(dict)) {
        Py_DECREF(repos);
        reposDict = nullptr;
        error(tr("Internal error: yumIO.repos.repos not a dictionary"));
        return nullptr;
    }
    reposDict = dict;
    return repos;
}

void YumIO::useRepos(PyObject* repos, QHash<QString, bool> const& sessionUse)
{
    for (auto it = sessionUse.cbegin(); it != sessionUse.cend(); ++it) {
        if (!pyDictGetItem(reposDict, it.key()))
            continue; // unknown to the configuration: skipped silently
        QByteArray const id = it.key().toLocal8Bit();
        pyExceptStart();
        PyObject* repoError = lookupException("yum.Errors.RepoError");
        pyExceptExpect(repoError);
        PyRef result = PyRef::steal(
            pyMethodCall(repos, it.value() ? "enableRepo" : "disableRepo", "(s)", id.constData()));
        if (pyExceptMatches(result.get(), repoError)) {
            QString const reason = pyStringDec(pyExceptValuef());
            warning(tr("unable to setup repository %1:\n%2").arg(it.key(), reason));
        }
        pyExceptClear();
    }
}

QStringList YumIO::collectRepos(PyObject* dict)
{
    QStringList enabled;
    Py_ssize_t position = 0;
    PyObject* key = nullptr;
    PyObject* value = nullptr;
    while (PyDict_Next(dict, &position, &key, &value)) {
        PyRef flag = PyRef::steal(PyObject_GetAttrString(value, "enabled"));
        if (!flag) {
            PyErr_Clear();
            continue;
        }
        if (PyLong_Check(flag.get()) && PyObject_IsTrue(flag.get()) == 1)
            enabled.append(pyString(key));
    }
    return enabled;
}

bool YumIO::selectRepos(QHash<QString, bool> const& sessionUse)
{
    PyRef repos = PyRef::steal(reposObject());
    if (!repos)
        return false;
    useRepos(repos.get(), sessionUse);
    enabledRepos = collectRepos(reposDict);
    if (PyDict_Size(reposDict) == 0) {
        error(noRepositoriesConfigured());
        return false;
    }
    if (enabledRepos.isEmpty()) {
        error(noRepositoriesEnabled());
        return false;
    }
    return true;
}

QString YumIO::noRepositoriesConfigured()
{
    return tr("No repositories are configured.\nUnder the Repositories menu, Edit "
              "Configuration can be used to configure repositories.");
}

QString YumIO::noRepositoriesEnabled()
{
    return tr("No repositories are enabled.\nUnder the Repositories menu, Edit "
              "Configuration can be used to configure repositories.");
}
