// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "progress/Progress.h"
#include "python/PyRef.h"
#include "yumio/YumIO.h"
#include "yumio/YumIOThreads.h"

#include <QElapsedTimer>

#include <algorithm>
#include <functional>

namespace {

// A framed script call of the collection: the frame is closed on every path.
class Frame
{
public:
    explicit Frame(std::function<void()> close)
        : close(std::move(close))
    {
    }
    ~Frame() { close(); }

private:
    std::function<void()> close;
};

} // namespace

bool YumIO::collectReal(QHash<QString, bool> const& sessionUse)
{
    ProgressUser progressUser(progress, totalBar, itemBar);
    YumIODialogsUser dialogsUser(dialogs, parent);
    log(Log::Heading, 0, tr("Initialization"));
    PyGILStateWrapper lock(true);
    QElapsedTimer clock;
    clock.start();

    fileListsLoaded = false;
    otherDataLoaded = false;
    collectOrder.clear();

    progress->startTotal(tr("Initializing: Total Progress"), 24000);
    progress->startItem(tr("Preparing"), 100, 1);

    if (!scriptReady())
        return false;
    reportConfigurationProblems();
    if (!lockStep() || !selectRepos(sessionUse))
        return false;
    collectSubject = tr("contents");
    collectAct = 0;

    progress->startItem(tr("Reading repositories"), 900, 1);
    progress->setupItemActs(14000, 5 * static_cast<Steps>(enabledRepos.size()));
    if (!PyRef::steal(
            collectStep("setupRepos", "yum.Errors.RepoError", tr("Unable to initialize"))))
        return false;
    progress->endItemActs();

    progress->startItem(tr("Collecting updatable packages"), 4000, 1);
    if (!PyRef::steal(
            collectStep("setupTs", "yum.Errors.YumBaseError", tr("Unable to setup transaction"))))
        return false;
    PyRef updates = PyRef::steal(collectStep("collectUpdates", "yum.Errors.YumBaseError",
        tr("Unable to collect updatable packages"),
        tr("Internal error: execution of yumIO.collectUpdates failed")));
    if (!updates)
        return false;

    progress->startItem(tr("Collecting installed and available packages"), 4000, 1);
    PyRef all = PyRef::steal(collectStep("collectAll", "yum.Errors.YumBaseError",
        tr("Unable to collect installed and available packages"),
        tr("Internal error: execution of yumIO.collectAll failed")));
    if (!all || !collectPackages(updates.get(), all.get()))
        return false;
    updates.reset();
    all.reset();

    progress->startItem(tr("Collecting groups"), 500, 1);
    {
        pyExceptStart();
        Frame frame([this] { pyExceptClear(); });
        PyObject* groupsError = lookupException("yum.Errors.GroupsError");
        PyObject* yumBaseError = lookupException("yum.Errors.YumBaseError");
        PyObject* bdbQuit = lookupException("bdb.BdbQuit");
        pyExceptExpect(groupsError);
        pyExceptExpect(yumBaseError);
        pyExceptExpect(bdbQuit);
        PyRef result = PyRef::steal(pyMethodCall(yumIO, "setupTsGroup", "()"));
        // GroupsError derives from YumBaseError: ask for it first.
        if (pyExceptMatches(result.get(), groupsError) || pyExceptMatches(result.get(), bdbQuit)) {
            QString const text = pyStringDec(pyExceptValuef());
            if (!text.contains(QLatin1String("No Groups Available"))) {
                error(tr("Internal error: execution of yumIO.setupTsGroup failed"));
                return false;
            }
        } else if (pyExceptMatches(result.get(), yumBaseError)) {
            pythonExceptionV(tr("Unable to collect groups"));
            return false;
        } else if (!result)
            return false;
    }
    {
        PyRef info = PyRef::steal(pyMethodCall(yumIO, "collectGroupInfo", "()"));
        if (!info) {
            error(tr("Internal error: execution of yumIO.collectGroupInfo failed"));
            return false;
        }
        if (!collectGroups(info.get()))
            return false;
    }

    progress->startItem(tr("Collecting advisories"), 500, 1);
    collectAdvisories();

    // Rows in the order the script gave the packages (the package manager's
    // own order), groups after them: a walk over every row then reads the
    // extra data of neighbouring packages together, which the package
    // manager keeps compressed in pages (in hash order every row needed a
    // page of its own unpacked: a search over file lists took five times as
    // long).
    // The rows become the engine's entries on the GUI thread once the
    // worker has ended (YumIO::collect): the table may be showing the rows of
    // the cache meanwhile.
    QList<Package::Entry*> rows;
    rows.reserve(entryHash.size());
    rows.append(collectOrder);
    collectOrder.clear();
    // Groups by name: the same rows in the same order from one run to the
    // next (the hash's order is not), as the cached rows are compared.
    qsizetype const firstGroup = rows.size();
    for (Package::Entry* entry : entryHash.values())
        if (entry->kind == Package::Group)
            rows.append(entry);
    std::sort(rows.begin() + firstGroup, rows.end(),
        [](Package::Entry const* a, Package::Entry const* b) { return a->name < b->name; });
    if (rows.size() != entryHash.size()) { // every row once, whatever happened
        rows = entryHash.values();
    }
    readHolds(rows);
    collectedRows = rows;
    logCollected(rows, clock.elapsed());
    return true;
}

// What a collection found, in one line of the ordinary log level.
void YumIO::logCollected(QList<Package::Entry*> const& rows, qint64 milliseconds)
{
    int counts[3] = {0, 0, 0};
    int groups = 0;
    for (Package::Entry const* entry : rows) {
        if (entry->kind == Package::Group)
            ++groups;
        else
            ++counts[entry->state];
    }
    log(Log::Message, 2,
        tr("Collected %1 packages (%2 updatable, %3 installed, %4 available) and %5 groups from "
           "%6 repositories in %7 seconds")
            .arg(counts[Package::Updatable] + counts[Package::Installed]
                + counts[Package::Available])
            .arg(counts[Package::Updatable])
            .arg(counts[Package::Installed])
            .arg(counts[Package::Available])
            .arg(groups)
            .arg(enabledRepos.size())
            .arg(QString::number(double(milliseconds) / 1000.0, 'f', 1)));
}

// A framed script call of the collection: the package manager's own failure
// (expected, or the debugger left) is shown with failure; a call that failed
// otherwise (already reported) with internalError when there is one. The
// frame is closed before the result is used. A new reference, or null.
PyObject* YumIO::collectStep(
    char const* method, char const* expected, QString const& failure, QString const& internalError)
{
    pyExceptStart();
    Frame frame([this] { pyExceptClear(); });
    PyObject* expectedError = lookupException(expected);
    PyObject* bdbQuit = lookupException("bdb.BdbQuit");
    pyExceptExpect(expectedError);
    pyExceptExpect(bdbQuit);
    PyObject* result = pyMethodCall(yumIO, method, "()");
    if (pyExceptMatches(result, expectedError) || pyExceptMatches(result, bdbQuit))
        pythonExceptionV(failure);
    else if (!result && !internalError.isEmpty())
        error(internalError);
    return result;
}

// Repository names and architectures: a handful of texts that every row
// shares instead of holding a copy each.
class YumIO::SharedTexts
{
public:
    // The text of a Python str, shared with an earlier equal one.
    QString get(PyObject* text, QString (*convert)(PyObject*, void*), void* context)
    {
        if (PyUnicode_Check(text) && PyUnicode_KIND(text) == PyUnicode_1BYTE_KIND) {
            QLatin1StringView const view(
                static_cast<char const*>(PyUnicode_DATA(text)), PyUnicode_GET_LENGTH(text));
            for (QString const& known : texts)
                if (known == view)
                    return known;
        }
        QString const converted = convert(text, context);
        if (texts.size() < 64) {
            for (QString const& known : texts)
                if (known == converted)
                    return known;
            texts.append(converted);
        }
        return converted;
    }

    // A version, shared with an earlier equal one: the packages built from
    // one source package have the same.
    QString version(QString const& text) { return Package::shared(versions, text); }

private:
    QList<QString> texts;
    QSet<QString> versions;
};

namespace {

bool isText(PyObject* object)
{
    return PyUnicode_Check(object);
}

bool isTextOrNone(PyObject* object)
{
    return object == Py_None || PyUnicode_Check(object);
}

// The row of an adapter's tableRow() when it has one of the documented
// shape; null otherwise (the single calls then read the fields).
PyObject* tableRow(PyObject* package)
{
    PyObject* method = PyObject_GetAttrString(package, "tableRow");
    if (!method) {
        PyErr_Clear();
        return nullptr;
    }
    PyObject* row = PyObject_CallNoArgs(method);
    Py_DECREF(method);
    if (!row) {
        PyErr_Clear();
        return nullptr;
    }
    bool const good = PyTuple_Check(row) && PyTuple_GET_SIZE(row) == 8
        && isText(PyTuple_GET_ITEM(row, 0)) && isText(PyTuple_GET_ITEM(row, 1))
        && isTextOrNone(PyTuple_GET_ITEM(row, 2)) && isText(PyTuple_GET_ITEM(row, 3))
        && PyLong_Check(PyTuple_GET_ITEM(row, 4)) && isTextOrNone(PyTuple_GET_ITEM(row, 5))
        && PyLong_Check(PyTuple_GET_ITEM(row, 6)) && isTextOrNone(PyTuple_GET_ITEM(row, 7));
    if (!good) {
        Py_DECREF(row);
        return nullptr;
    }
    return row;
}

QString chopNewlines(QString text)
{
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

// A summary as a row keeps it, UTF-8 in no more room than it needs (the
// conversion leaves room for three bytes a character).
QByteArray summaryBytes(QString const& text)
{
    QByteArray bytes = text.toUtf8();
    bytes.squeeze();
    return bytes;
}

} // namespace

// A package the script handed over, read as far as its row's place needs.
struct YumIO::Incoming
{
    PyRef package;
    PyRef row; // its tableRow(), when it gives one of the documented shape
    QString name;
    QString arch;
    QString verRel;
    // For an update: the installed packages (name, architecture) it
    // replaces, when the script names them.
    QList<QPair<QString, QString>> replaces;
    Package::Entry* entry = nullptr; // the row made of it
};

// Reads every package of an iterable: name, architecture and, for updates,
// what they replace; hands each to take as it is read.
bool YumIO::collectIncoming(
    PyObject* iterable, bool updates, std::function<void(Incoming&)> const& take)
{
    PyRef iterator = PyRef::steal(PyObject_GetIter(iterable));
    if (!iterator) {
        handleException();
        return false;
    }
    while (PyObject* next = PyIter_Next(iterator.get())) {
        Incoming incoming;
        incoming.package = PyRef::steal(next);
        incoming.row = PyRef::steal(tableRow(next));
        if (incoming.row) {
            incoming.name = pyString(PyTuple_GET_ITEM(incoming.row.get(), 0));
            incoming.verRel = pyString(PyTuple_GET_ITEM(incoming.row.get(), 1));
            incoming.arch = pyString(PyTuple_GET_ITEM(incoming.row.get(), 3));
        } else {
            PyObject* name = PyObject_GetAttrString(next, "name");
            if (!name) {
                handleException();
                return false;
            }
            incoming.name = pyStringDec(name);
            PyObject* arch = PyObject_GetAttrString(next, "arch");
            if (!arch)
                PyErr_Clear();
            incoming.arch = pyStringDec(arch);
            incoming.verRel = pyStringDec(pyMethodCall(next, "printVer", "()"));
        }
        if (updates) {
            // Optional: [(name, arch), ...] of the installed packages it replaces.
            PyRef replaces = PyRef::steal(PyObject_GetAttrString(next, "replaces"));
            PyRef list = replaces ? PyRef::listOf(replaces.get()) : PyRef();
            PyErr_Clear();
            for (Py_ssize_t i = 0; list && i < PyList_GET_SIZE(list.get()); ++i) {
                PyObject* pair = PyList_GET_ITEM(list.get(), i);
                if (PyTuple_Check(pair) && PyTuple_GET_SIZE(pair) == 2)
                    incoming.replaces.append(qMakePair(
                        pyString(PyTuple_GET_ITEM(pair, 0)), pyString(PyTuple_GET_ITEM(pair, 1))));
            }
            PyErr_Clear();
        }
        take(incoming);
    }
    if (PyErr_Occurred()) {
        handleException();
        return false;
    }
    return true;
}

// rpm's comparison of two packages' epoch, version and release (from their
// pkgtup): above 0 when a is newer. 0 when either cannot be read.
int YumIO::comparePackages(PyObject* a, PyObject* b)
{
    PyObject* labelCompare = rpmDict ? PyDict_GetItemString(rpmDict, "labelCompare") : nullptr;
    auto evr = [](PyObject* package) {
        PyRef pkgtup = PyRef::steal(PyObject_GetAttrString(package, "pkgtup"));
        if (!pkgtup || !PySequence_Check(pkgtup.get()) || PySequence_Size(pkgtup.get()) != 5)
            return PyRef();
        return PyRef::steal(PySequence_GetSlice(pkgtup.get(), 2, 5));
    };
    PyRef left = evr(a);
    PyRef right = labelCompare && left ? evr(b) : PyRef();
    PyRef result = right
        ? PyRef::steal(PyObject_CallFunctionObjArgs(labelCompare, left.get(), right.get(), nullptr))
        : PyRef();
    long const order = result ? PyLong_AsLong(result.get()) : 0;
    PyErr_Clear();
    return int(order);
}

// The entry of one package, with the state given; the entry keeps the
// package's reference.
Package::Entry* YumIO::makeEntry(Incoming& incoming, Package::State state, SharedTexts& shared)
{
    auto convert
        = [](PyObject* text, void* engine) { return static_cast<YumIO*>(engine)->pyString(text); };
    Package::Entry* entry = nullptr;
    if (incoming.row) {
        PyObject* row = incoming.row.get();
        unsigned long long const size = PyLong_AsUnsignedLongLong(PyTuple_GET_ITEM(row, 4));
        bool good = !PyErr_Occurred();
        long const built = good ? PyLong_AsLong(PyTuple_GET_ITEM(row, 6)) : 0;
        good = good && !PyErr_Occurred();
        PyErr_Clear();
        if (good) {
            // A row's fields as the single calls would give them.
            PyObject* repo = PyTuple_GET_ITEM(row, 2);
            entry = new Package::Entry;
            entry->kind = chopNewlines(pyString(PyTuple_GET_ITEM(row, 7))) == QLatin1String("Suite")
                ? Package::Suite
                : Package::Package;
            entry->name = incoming.name;
            entry->verRel = shared.version(pyString(PyTuple_GET_ITEM(row, 1)));
            entry->repo
                = repo == Py_None ? QString() : chopNewlines(shared.get(repo, convert, this));
            entry->arch = shared.get(PyTuple_GET_ITEM(row, 3), convert, this);
            entry->sizeBytes = size;
            entry->setSize(bytesFormat(size));
            entry->summary = summaryBytes(chopNewlines(pyString(PyTuple_GET_ITEM(row, 5))));
            entry->buildSeconds = built;
            entry->object = incoming.package.release();
        }
    }
    if (!entry)
        collectPkg(entry, state, incoming.package.release());
    entry->action = Package::None;
    entry->state = state;
    incoming.entry = entry;
    return entry;
}

// Places a row in the index (by keyOf) and the row order; false (and the
// row deleted) when its key has one already.
bool YumIO::addRow(Package::Entry* entry)
{
    if (!entryHash.insert(entry)) {
        delete entry;
        return false;
    }
    shareCachedTexts(*entry);
    collectOrder.append(entry);
    return true;
}

// A row the cache shows too takes the cache's copies of its texts: both
// sets of rows are alive until the collection ends, and most rows are the
// same.
void YumIO::shareCachedTexts(Package::Entry& entry)
{
    if (cachedIndex.size() == 0) // no cache shown: no key to make
        return;
    Package::Entry const* twin = cachedIndex.value(keyOf(entry));
    for (Package::Entry* own = &entry; own && twin; own = own->next, twin = twin->next) {
        if (own->name == twin->name)
            own->name = twin->name;
        if (own->verRel == twin->verRel)
            own->verRel = twin->verRel;
        if (own->summary == twin->summary)
            own->summary = twin->summary;
    }
}

// The packages of a field of collectAll()'s result, each handed to take.
bool YumIO::collectField(
    PyObject* all, char const* attribute, std::function<void(Incoming&)> const& take)
{
    PyRef field = PyRef::steal(PyObject_GetAttrString(all, attribute));
    if (!field) {
        PyErr_Clear();
        error(tr("Internal error: yumIO.collectAll.%1 not found").arg(QLatin1String(attribute)));
        return false;
    }
    return collectIncoming(field.get(), false, take);
}

// The package rows of a collection (see doc/package-rows.md), from the
// script's updates and collectAll() result. Rows follow the script's order:
// updates, installed packages, available ones.
bool YumIO::collectPackages(PyObject* updatesIterable, PyObject* all)
{
    // The rows of the cache are on screen, untouched, until the collection
    // ends: read here, they lend their texts to the new rows.
    for (Package::Entry* row : std::as_const(cachedRows))
        cachedIndex.insert(row);
    Frame forget([this] { cachedIndex.clear(); });
    QList<Incoming> updates;
    QList<Incoming> installed;
    auto into = [](QList<Incoming>& list) {
        return [&list](Incoming& incoming) { list.append(std::move(incoming)); };
    };
    if (!collectIncoming(updatesIterable, true, into(updates))
        || !collectField(all, "installed", into(installed)))
        return false;

    // The installed packages by name and architecture, the newest of each
    // first.
    using NameArch = QPair<QString, QString>;
    QList<NameArch> installedOrder;
    QHash<NameArch, QList<Incoming*>> installedBy;
    QHash<QString, QList<NameArch>> installedArches; // by name
    for (Incoming& incoming : installed) {
        NameArch const key {incoming.name, incoming.arch};
        QList<Incoming*>& versions = installedBy[key];
        if (versions.isEmpty()) {
            installedOrder.append(key);
            installedArches[incoming.name].append(key);
        }
        if (!versions.isEmpty()
            && comparePackages(incoming.package.get(), versions.first()->package.get()) > 0)
            versions.prepend(&incoming);
        else
            versions.append(&incoming);
    }
    auto isNoarch = [](QString const& arch) { return arch == QLatin1String("noarch"); };

    // Each update to the installed packages it replaces: those the script
    // names, else, as dnf upgrades a package, those of its name in its
    // architecture or noarch (any architecture for a noarch update). Where
    // two updates replace one installed package the newer one is its update.
    QHash<Incoming*, QList<NameArch>> targetsOf;
    QHash<NameArch, Incoming*> updateOf;
    for (Incoming& update : updates) {
        QList<NameArch>& targets = targetsOf[&update];
        for (NameArch const& named : std::as_const(update.replaces))
            if (installedBy.contains(named))
                targets.append(named);
        if (update.replaces.isEmpty())
            for (NameArch const& key : installedArches.value(update.name))
                if (isNoarch(update.arch) || isNoarch(key.second) || key.second == update.arch)
                    targets.append(key);
        for (NameArch const& key : std::as_const(targets)) {
            Incoming*& current = updateOf[key];
            if (!current || comparePackages(update.package.get(), current->package.get()) > 0)
                current = &update;
        }
    }

    SharedTexts shared;
    auto olderRows = [&](NameArch const& key) {
        QList<Incoming*> const& versions = installedBy[key];
        for (int i = 1; i < versions.size(); ++i) {
            Package::Entry* older = makeEntry(*versions[i], Package::Installed, shared);
            older->olderVersion = true;
            addRow(older);
        }
    };
    auto identity = [](Incoming const& incoming) -> QString {
        return incoming.name + QLatin1Char('\n') + incoming.arch + QLatin1Char('\n')
            + incoming.verRel;
    };
    // The updates of a package's own name (not those only replacing other
    // names), shown or not, are no packages to install of their own.
    QSet<QString> updateIdentities;
    for (Incoming const& update : std::as_const(updates)) {
        bool ownName = update.replaces.isEmpty();
        for (NameArch const& named : update.replaces)
            ownName = ownName || named.first == update.name;
        if (ownName)
            updateIdentities.insert(identity(update));
    }
    for (Incoming& update : updates) {
        QList<NameArch> replaced;
        for (NameArch const& key : targetsOf.value(&update))
            if (updateOf.value(key) == &update)
                replaced.append(key);
        // An update whose installed packages have a newer one goes, so does a
        // replacement of packages that are not there; an update of nothing
        // installed keeps a row of its own.
        if (replaced.isEmpty()
            && (!targetsOf.value(&update).isEmpty() || !update.replaces.isEmpty()))
            continue;
        NameArch const key
            = replaced.isEmpty() ? NameArch {update.name, update.arch} : replaced.first();
        Package::Entry* entry = makeEntry(update, Package::Updatable, shared);
        if (key.first != entry->name) {
            entry->setReplacement(entry->name);
            entry->name = key.first;
        }
        Package::Entry** tail = &entry->next;
        for (NameArch const& target : std::as_const(replaced)) {
            *tail = makeEntry(*installedBy[target].first(), Package::Installed, shared);
            tail = &(*tail)->next;
        }
        if (addRow(entry))
            for (NameArch const& target : std::as_const(replaced))
                olderRows(target);
    }
    for (NameArch const& key : std::as_const(installedOrder)) {
        if (updateOf.contains(key))
            continue;
        addRow(makeEntry(*installedBy[key].first(), Package::Installed, shared));
        olderRows(key);
    }
    // Available: what is not installed in its name and architecture and is
    // no update. Most packages are available ones: each becomes its row as
    // it is read, so that the script's row texts of only one are alive at a
    // time.
    bool const read = collectField(all, "available", [&](Incoming& incoming) {
        if (installedBy.contains({incoming.name, incoming.arch})
            || updateIdentities.contains(identity(incoming)))
            return;
        Package::Entry* entry = makeEntry(incoming, Package::Available, shared);
        keepHandle(*entry);
        addRow(entry);
    });
    if (!read)
        return false;
    for (Package::Entry* entry : std::as_const(collectOrder))
        if (!entry->olderVersion)
            packagesByName.append(entry);
    std::stable_sort(packagesByName.begin(), packagesByName.end(), NameOrder());
    return true;
}

// An available package's row keeps the script's handle of it instead of
// its adapter, where the script gives one: tens of thousands of adapters
// are not kept for the few a detail or a mark asks for.
void YumIO::keepHandle(Package::Entry& entry)
{
    if (!entry.object)
        return;
    // A script without handles keeps its adapters: no error of its own.
    PyRef handle = PyRef::steal(PyObject_CallMethod(entry.object, "handle", nullptr));
    long generation = -1;
    long id = -1;
    if (handle && PyTuple_Check(handle.get()) && PyTuple_GET_SIZE(handle.get()) == 2
        && PyLong_Check(PyTuple_GET_ITEM(handle.get(), 0))
        && PyLong_Check(PyTuple_GET_ITEM(handle.get(), 1))) {
        generation = PyLong_AsLong(PyTuple_GET_ITEM(handle.get(), 0));
        id = PyLong_AsLong(PyTuple_GET_ITEM(handle.get(), 1));
    }
    PyErr_Clear();
    if (generation < 0 || generation > long(UINT16_MAX) || id < 0 || id > long(INT32_MAX))
        return;
    entry.handleGeneration = quint16(generation);
    entry.handleId = qint32(id);
    Py_CLEAR(entry.object);
}

// The package's adapter, made again from its handle when the row kept only
// that; null when there is none (a row of the cache, a package gone).
PyObject* YumIO::packageObject(Package::Entry const& entry)
{
    if (entry.object || entry.handleId < 0 || !yumIO)
        return entry.object;
    QByteArray const repo = entry.repo.toUtf8();
    QByteArray const name = entry.name.toUtf8();
    QByteArray const evr = entry.verRel.toUtf8();
    QByteArray const arch = entry.arch.toUtf8();
    PyObject* object = pyMethodCall(yumIO, "packageAt", "((kl)(ssss))",
        static_cast<unsigned long>(entry.handleGeneration), static_cast<long>(entry.handleId),
        repo.constData(), name.constData(), evr.constData(), arch.constData());
    if (!object || object == Py_None) {
        Py_XDECREF(object);
        PyErr_Clear();
        return nullptr;
    }
    if (entry.object) { // made meanwhile by another thread, the script having let the lock go
        Py_DECREF(object);
        return entry.object;
    }
    entry.object = object;
    return object;
}

Package::Kind YumIO::getPkgKind(PyObject* package)
{
    return simpleString(package, "group") == QLatin1String("Suite") ? Package::Suite
                                                                    : Package::Package;
}

// The entry keeps the package reference handed in. A field the package
// cannot give stays empty.
bool YumIO::collectPkg(Package::Entry*& slot, Package::State state, PyObject* package)
{
    auto attributeText = [this, package](char const* name) {
        PyObject* value = PyObject_GetAttrString(package, name);
        if (!value)
            PyErr_Clear();
        return pyStringDec(value);
    };
    auto* entry = new Package::Entry;
    entry->action = Package::None;
    entry->state = state;
    entry->kind = getPkgKind(package);
    entry->name = attributeText("name");
    entry->verRel = pyStringDec(pyMethodCall(package, "printVer", "()"));
    entry->repo = simpleString(package, "repoid");
    entry->arch = attributeText("arch");
    entry->sizeBytes = sizeOf(package);
    entry->setSize(bytesFormat(entry->sizeBytes));
    entry->summary = summaryBytes(simpleString(package, "summary"));
    entry->buildSeconds = buildTimeOf(package);
    entry->object = package;
    slot = entry;
    return true;
}

bool YumIO::collectGroups(PyObject* info)
{
    // Older versions list the visible groups' names, and one information
    // object serves them all; newer ones give a group object each.
    bool const objects = hasDistribGroups();
    PyRef groups = objects ? PyRef::borrow(info)
                           : PyRef::steal(PyObject_GetAttrString(info, "visible_groups"));
    if (!groups) {
        PyErr_Clear();
        error(tr("Internal error: groupInfo.visible_groups not evaluable"));
        return false;
    }
    PyRef iterator = PyRef::steal(PyObject_GetIter(groups.get()));
    if (!iterator) {
        handleException();
        return false;
    }
    while (PyObject* next = PyIter_Next(iterator.get())) {
        PyRef item = PyRef::steal(next);
        PyObject* group = info;
        QString name;
        if (objects) {
            PyRef visible = PyRef::steal(PyObject_GetAttrString(item.get(), "user_visible"));
            if (!visible || PyObject_IsTrue(visible.get()) != 1) {
                PyErr_Clear();
                continue;
            }
            PyRef nameObject = PyRef::steal(PyObject_GetAttrString(item.get(), "name"));
            if (!nameObject) {
                PyErr_Clear();
                error(tr("Internal error: group without name"));
                return false;
            }
            group = item.get();
            name = pyString(nameObject.get());
        } else {
            name = pyString(item.get());
        }
        if (entryHash.contains(EntryKey::group(name)))
            continue;
        Package::Entry* entry = nullptr;
        if (!collectGroup(entry, group, name))
            return false;
        entryHash.insert(entry);
    }
    if (PyErr_Occurred()) {
        handleException();
        return false;
    }
    return true;
}

bool YumIO::collectGroup(Package::Entry*& slot, PyObject* group, QString const& name)
{
    bool installed = false;
    if (!hasDistribGroups()) {
        PyRef flags = PyRef::steal(PyObject_GetAttrString(group, "group_installed"));
        PyObject* flag = flags ? pyDictGetItem(flags.get(), name) : nullptr;
        if (!flag) {
            PyErr_Clear();
            error(QStringLiteral("Internal error: cannot find groupInfo.group_installed['%1']")
                      .arg(name));
            return false;
        }
        installed = PyObject_IsTrue(flag) == 1;
    } else {
        PyRef flag = PyRef::steal(PyObject_GetAttrString(group, "installed"));
        if (!flag) {
            PyErr_Clear();
            error(tr("Internal error: cannot find group's installed flag"));
            return false;
        }
        installed = PyObject_IsTrue(flag.get()) == 1;
    }
    PyErr_Clear();

    auto* entry = new Package::Entry;
    entry->action = Package::None;
    entry->state = installed ? Package::Installed : Package::Available;
    entry->kind = Package::Group;
    entry->name = name;
    Py_INCREF(group);
    entry->object = group;
    slot = entry;
    if (entry->state == Package::Installed && !upToDateGroup(*entry))
        entry->state = Package::Updatable;
    return true;
}
