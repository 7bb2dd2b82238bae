// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "progress/Progress.h"
#include "python/PyRef.h"
#include "yumio/YumIO.h"
#include "yumio/YumIOThreads.h"

#include <QElapsedTimer>

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
    if (!updates || !collectSet(entryHash, updates.get(), Package::Updatable))
        return false;

    progress->startItem(tr("Collecting installed and available packages"), 4000, 1);
    PyRef all = PyRef::steal(collectStep("collectAll", "yum.Errors.YumBaseError",
        tr("Unable to collect installed and available packages"),
        tr("Internal error: execution of yumIO.collectAll failed")));
    if (!all || !collectField(entryHash, all.get(), "installed", Package::Installed)
        || !collectField(entryHash, all.get(), "available", Package::Available))
        return false;

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
        if (!collectGroups(entryHash, info.get()))
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
    entries.reserve(entryHash.size());
    entries.append(collectOrder);
    collectOrder.clear();
    for (auto it = entryHash.cbegin(); it != entryHash.cend(); ++it)
        if (it.key().isGroup)
            entries.append(it.value());
    if (entries.size() != entryHash.size()) { // every row once, whatever happened
        entries.clear();
        for (auto it = entryHash.cbegin(); it != entryHash.cend(); ++it)
            entries.append(it.value());
    }
    readHolds();
    logCollected(clock.elapsed());
    return true;
}

// What a collection found, in one line of the ordinary log level.
void YumIO::logCollected(qint64 milliseconds)
{
    int counts[3] = {0, 0, 0};
    int groups = 0;
    for (Package::Entry const* entry : std::as_const(entries)) {
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

namespace {

// Repository names and architectures: a handful of texts that every row
// shares instead of holding a copy each.
class SharedTexts
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

private:
    QList<QString> texts;
};

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

} // namespace

bool YumIO::collectSet(
    QHash<EntryKey, Package::Entry*>& hash, PyObject* iterable, Package::State state)
{
    PyRef iterator = PyRef::steal(PyObject_GetIter(iterable));
    if (!iterator) {
        handleException();
        return false;
    }
    SharedTexts shared;
    auto convert
        = [](PyObject* text, void* engine) { return static_cast<YumIO*>(engine)->pyString(text); };
    // A row's fields as the single calls would give them; false when one
    // cannot be taken as it stands (the single calls then say why).
    auto fromRow = [&](Package::Entry* entry, PyObject* row) {
        unsigned long long const size = PyLong_AsUnsignedLongLong(PyTuple_GET_ITEM(row, 4));
        if (PyErr_Occurred()) {
            PyErr_Clear();
            return false;
        }
        long const built = PyLong_AsLong(PyTuple_GET_ITEM(row, 6));
        if (PyErr_Occurred()) {
            PyErr_Clear();
            return false;
        }
        PyObject* repo = PyTuple_GET_ITEM(row, 2);
        entry->kind = chopNewlines(pyString(PyTuple_GET_ITEM(row, 7))) == QLatin1String("Suite")
            ? Package::Suite
            : Package::Package;
        entry->name = pyString(PyTuple_GET_ITEM(row, 0));
        entry->verRel = pyString(PyTuple_GET_ITEM(row, 1));
        entry->repo = repo == Py_None ? QString() : chopNewlines(shared.get(repo, convert, this));
        entry->arch = shared.get(PyTuple_GET_ITEM(row, 3), convert, this);
        entry->sizeBytes = size;
        entry->size = bytesFormat(size);
        entry->summary = chopNewlines(pyString(PyTuple_GET_ITEM(row, 5)));
        entry->buildSeconds = built;
        entry->buildTime = timeFormat(built);
        return true;
    };
    while (PyObject* next = PyIter_Next(iterator.get())) {
        PyRef package = PyRef::steal(next);
        PyRef row = PyRef::steal(tableRow(package.get()));
        QString name;
        if (row) {
            name = pyString(PyTuple_GET_ITEM(row.get(), 0));
        } else {
            PyObject* nameObject = PyObject_GetAttrString(package.get(), "name");
            if (!nameObject) {
                handleException();
                return false;
            }
            name = pyStringDec(nameObject);
        }
        EntryKey const key {false, name};
        Package::Entry*& slot = hash[key];
        Package::Entry** target = nullptr;
        if (!slot) {
            target = &slot;
        } else if (slot->state == Package::Updatable && state == Package::Installed) {
            // An installed version behind its update.
            Package::Entry* tail = slot;
            while (tail->next)
                tail = tail->next;
            target = &tail->next;
        }
        // Otherwise the first entry for a name wins.
        if (!target)
            continue;
        bool made = false;
        if (row) {
            auto* entry = new Package::Entry;
            entry->action = Package::None;
            entry->state = state;
            if (fromRow(entry, row.get())) {
                entry->object = package.release(); // the entry keeps the reference
                *target = entry;
                made = true;
            } else {
                delete entry;
            }
        }
        if (!made)
            collectPkg(*target, state, package.release());
        if (target == &slot)
            collectOrder.append(slot);
    }
    if (PyErr_Occurred()) {
        handleException();
        return false;
    }
    return true;
}

bool YumIO::collectField(QHash<EntryKey, Package::Entry*>& hash, PyObject* result,
    char const* attribute, Package::State state)
{
    PyRef field = PyRef::steal(PyObject_GetAttrString(result, attribute));
    if (!field) {
        PyErr_Clear();
        error(tr("Internal error: yumIO.collectAll.%1 not found").arg(QLatin1String(attribute)));
        return false;
    }
    return collectSet(hash, field.get(), state);
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
    entry->size = bytesFormat(entry->sizeBytes);
    entry->summary = simpleString(package, "summary");
    entry->buildSeconds = buildTimeOf(package);
    entry->buildTime = timeFormat(entry->buildSeconds);
    entry->object = package;
    slot = entry;
    return true;
}

bool YumIO::collectGroups(QHash<EntryKey, Package::Entry*>& hash, PyObject* info)
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
        EntryKey const key {true, name};
        if (hash.contains(key))
            continue;
        Package::Entry*& slot = hash[key];
        if (!collectGroup(slot, group, name)) {
            hash.remove(key);
            return false;
        }
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
