#include "python/PythonHeaders.h"

#include "progress/Progress.h"
#include "python/PyRef.h"
#include "yumio/YumIO.h"
#include "yumio/YumIOThreads.h"

#include <functional>

namespace {

// A framed script call of the collection: the frame is closed on every path.
class Frame
{
public:
    explicit Frame(std::function<void()> close) : close(std::move(close)) {}
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

    fileListsLoaded = false;
    otherDataLoaded = false;

    progress->startTotal(tr("Initializing: Total Progress"), 24000);
    progress->startItem(tr("Preparing"), 100, 1);

    if (!lockStep() || !selectRepos(sessionUse))
        return false;
    collectSubject = tr("contents");
    collectAct = 0;

    progress->startItem(tr("Reading repositories"), 900, 1);
    progress->setupItemActs(14000, 5 * static_cast<Steps>(enabledRepos.size()));
    {
        pyExceptStart();
        Frame frame([this] { pyExceptClear(); });
        PyObject* repoError = lookupException("yum.Errors.RepoError");
        PyObject* bdbQuit = lookupException("bdb.BdbQuit");
        pyExceptExpect(repoError);
        pyExceptExpect(bdbQuit);
        PyRef result = PyRef::steal(pyMethodCall(yumIO, "setupRepos", "()"));
        if (pyExceptMatches(result.get(), repoError) || pyExceptMatches(result.get(), bdbQuit)) {
            pythonExceptionV(tr("Unable to initialize"));
            return false;
        }
        if (!result)
            return false; // reported as an internal error already
    }
    progress->endItemActs();

    progress->startItem(tr("Collecting updatable packages"), 4000, 1);
    PyObject* yumBaseError = lookupException("yum.Errors.YumBaseError");
    PyObject* bdbQuit = lookupException("bdb.BdbQuit");
    auto expectYumFailure = [&] {
        pyExceptStart();
        pyExceptExpect(yumBaseError);
        pyExceptExpect(bdbQuit);
    };
    auto failedAsExpected = [&](PyObject* result) {
        return pyExceptMatches(result, yumBaseError) || pyExceptMatches(result, bdbQuit);
    };
    {
        expectYumFailure();
        Frame frame([this] { pyExceptClear(); });
        PyRef result = PyRef::steal(pyMethodCall(yumIO, "setupTs", "()"));
        if (failedAsExpected(result.get())) {
            pythonExceptionV(tr("Unable to setup transaction"));
            return false;
        }
        if (!result)
            return false;
    }
    {
        expectYumFailure();
        Frame frame([this] { pyExceptClear(); });
        PyRef updates = PyRef::steal(pyMethodCall(yumIO, "collectUpdates", "()"));
        if (failedAsExpected(updates.get())) {
            pythonExceptionV(tr("Unable to collect updatable packages"));
            return false;
        }
        if (!updates) {
            error(tr("Internal error: execution of yumIO.collectUpdates failed"));
            return false;
        }
        if (!collectSet(entryHash, updates.get(), Package::Updatable))
            return false;
    }

    progress->startItem(tr("Collecting installed and available packages"), 4000, 1);
    {
        expectYumFailure();
        Frame frame([this] { pyExceptClear(); });
        PyRef all = PyRef::steal(pyMethodCall(yumIO, "collectAll", "()"));
        if (failedAsExpected(all.get())) {
            pythonExceptionV(tr("Unable to collect installed and available packages"));
            return false;
        }
        if (!all) {
            error(tr("Internal error: execution of yumIO.collectAll failed"));
            return false;
        }
        if (!collectField(entryHash, all.get(), "installed", Package::Installed)
            || !collectField(entryHash, all.get(), "available", Package::Available))
            return false;
    }

    progress->startItem(tr("Collecting groups"), 1000, 1);
    {
        pyExceptStart();
        Frame frame([this] { pyExceptClear(); });
        PyObject* groupsError = lookupException("yum.Errors.GroupsError");
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

    entries.reserve(entryHash.size());
    for (auto it = entryHash.cbegin(); it != entryHash.cend(); ++it)
        entries.append(it.value());
    return true;
}

bool YumIO::collectSet(QHash<EntryKey, Package::Entry*>& hash, PyObject* iterable,
                       Package::State state)
{
    PyRef iterator = PyRef::steal(PyObject_GetIter(iterable));
    if (!iterator) {
        handleException();
        return false;
    }
    while (PyObject* next = PyIter_Next(iterator.get())) {
        PyRef package = PyRef::steal(next);
        PyObject* name = PyObject_GetAttrString(package.get(), "name");
        if (!name) {
            handleException();
            return false;
        }
        EntryKey const key{false, pyStringDec(name)};
        Package::Entry*& slot = hash[key];
        if (!slot) {
            collectPkg(slot, state, package.release());
        } else if (slot->state == Package::Updatable && state == Package::Installed) {
            // An installed version behind its update.
            Package::Entry* tail = slot;
            while (tail->next)
                tail = tail->next;
            collectPkg(tail->next, state, package.release());
        }
        // Otherwise the first entry for a name wins.
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
    if (!hasDistribGroups()) {
        PyRef visible = PyRef::steal(PyObject_GetAttrString(info, "visible_groups"));
        if (!visible) {
            PyErr_Clear();
            error(tr("Internal error: groupInfo.visible_groups not evaluable"));
            return false;
        }
        PyRef iterator = PyRef::steal(PyObject_GetIter(visible.get()));
        if (!iterator) {
            handleException();
            return false;
        }
        while (PyObject* next = PyIter_Next(iterator.get())) {
            PyRef item = PyRef::steal(next);
            QString const name = pyString(item.get());
            EntryKey const key{true, name};
            if (hash.contains(key))
                continue;
            Package::Entry*& slot = hash[key];
            if (!collectGroup(slot, info, name)) {
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

    PyRef iterator = PyRef::steal(PyObject_GetIter(info));
    if (!iterator) {
        handleException();
        return false;
    }
    while (PyObject* next = PyIter_Next(iterator.get())) {
        PyRef group = PyRef::steal(next);
        PyRef visible = PyRef::steal(PyObject_GetAttrString(group.get(), "user_visible"));
        if (!visible || PyObject_IsTrue(visible.get()) != 1) {
            PyErr_Clear();
            continue;
        }
        PyRef nameObject = PyRef::steal(PyObject_GetAttrString(group.get(), "name"));
        if (!nameObject) {
            PyErr_Clear();
            error(tr("Internal error: group without name"));
            return false;
        }
        QString const name = pyString(nameObject.get());
        EntryKey const key{true, name};
        if (hash.contains(key))
            continue;
        Package::Entry*& slot = hash[key];
        if (!collectGroup(slot, group.get(), name)) {
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
