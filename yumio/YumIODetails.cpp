// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "progress/Progress.h"
#include "python/PyRef.h"
#include "yumio/YumIO.h"
#include "yumio/YumIOThreads.h"

#include <QEventLoop>
#include <QSet>
#include <QThread>

#include <functional>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

#include <algorithm>

namespace {

// Whether object has the attribute. Unlike PyObject_HasAttrString, a missing
// attribute raises no AttributeError (made, formatted and cleared again):
// a Search asks this of every package several times. (Interning the name
// would cost more than the lookup.)
bool hasAttr(PyObject* object, char const* name)
{
    PyObject* key = PyUnicode_FromString(name);
    if (!key) {
        PyErr_Clear();
        return false;
    }
    bool const found = PyObject_HasAttr(object, key);
    Py_DECREF(key);
    return found;
}

bool hasHeader(PyObject* package)
{
    return package && hasAttr(package, "hdr");
}

// Whether the package has the attribute. Found on its class (a property), it
// is not computed just to be tested: a file list or change log would be read
// twice.
bool hasAttribute(PyObject* package, char const* name)
{
    return hasAttr(reinterpret_cast<PyObject*>(Py_TYPE(package)), name) || hasAttr(package, name);
}

// Element i of a header value that is either a list or one value for all.
PyObject* itemOf(PyObject* value, Py_ssize_t i)
{
    if (value && PyList_Check(value))
        return i < PyList_GET_SIZE(value) ? PyList_GET_ITEM(value, i) : nullptr;
    return value;
}

// What the change-log reader asks of records: YumIO::recordName(Key).
enum RecordKey { Timestamp, Author, Text, ToOrdinal, Hour, Minute, Second, ChangelogRecords };
char const* const recordKeyTexts[]
    = {"timestamp", "author", "text", "toordinal", "hour", "minute", "second", "changelogRecords"};

// Integer attribute name of object, or 0 when there is none.
long numberOf(PyObject* object, PyObject* name)
{
    if (!name || !PyObject_HasAttr(object, name))
        return 0;
    PyRef value = PyRef::steal(PyObject_GetAttr(object, name));
    long const result = value && PyLong_Check(value.get()) ? PyLong_AsLong(value.get()) : 0;
    PyErr_Clear();
    return result;
}

// The value of key in dict (borrowed), or null.
PyObject* dictItem(PyObject* dict, PyObject* key)
{
    return key ? PyDict_GetItem(dict, key) : nullptr;
}

Py_ssize_t lengthOf(PyObject* value)
{
    if (!value || value == Py_None)
        return 0;
    if (PyList_Check(value))
        return PyList_GET_SIZE(value);
    return 1;
}

// A list of paths, sorted, without repeats, one a line. A Search reads the
// file list of every package: when every path is a one-byte string (Latin-1,
// nearly always ASCII), the paths are sorted as views on the strings' own
// storage and copied once into the text; nothing when a path is not such a
// string. Bytes compare as unsigned, the order of their UTF-16 units.
std::optional<QString> sortedUniqPaths(PyObject* paths)
{
    if (!PyList_Check(paths))
        return std::nullopt;
    Py_ssize_t const n = PyList_GET_SIZE(paths);
    std::vector<std::string_view> views;
    views.reserve(size_t(n));
    qsizetype length = 0;
    for (Py_ssize_t i = 0; i < n; ++i) {
        PyObject* path = PyList_GET_ITEM(paths, i);
        if (!PyUnicode_Check(path) || PyUnicode_KIND(path) != PyUnicode_1BYTE_KIND)
            return std::nullopt;
        views.emplace_back(
            static_cast<char const*>(PyUnicode_DATA(path)), size_t(PyUnicode_GET_LENGTH(path)));
        length += qsizetype(views.back().size()) + 1;
    }
    std::sort(views.begin(), views.end());
    views.erase(std::unique(views.begin(), views.end()), views.end());
    QString text;
    text.reserve(length);
    for (std::string_view const& view : views) {
        if (&view != &views.front())
            text += QLatin1Char('\n');
        text += QLatin1StringView(view.data(), qsizetype(view.size()));
    }
    return text;
}

} // namespace

PyObject* YumIO::recordName(int which)
{
    static_assert(std::size(recordKeyTexts) == std::size(decltype(recordNames) {}));
    if (!recordNames[which]) {
        recordNames[which] = PyUnicode_InternFromString(recordKeyTexts[which]);
        PyErr_Clear();
    }
    return recordNames[which];
}

// ---------------------------------------------------------------------------
// The interpreter lock of detail reads (the rule is in YumIO.h)

void YumIO::waitForWorker()
{
    QThread* const running = worker;
    if (!running || QThread::currentThread() == running || QThread::currentThread() != thread())
        return;
    // The worker may need this thread (its dialogs and progress are served
    // here), so the wait keeps serving events instead of blocking.
    QEventLoop loop;
    connect(running, &QThread::finished, &loop, &QEventLoop::quit);
    if (!running->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
}

bool YumIO::runUnlocked(bool (YumIO::*operation)())
{
    // PyEval_SaveThread gives the lock up however deeply this thread holds
    // it; releasing only our own PyGILState frame would leave it held by an
    // outer one, and the worker would wait for it for ever.
    bool const held = PyGILState_Check();
    PyThreadState* const saved = held ? PyEval_SaveThread() : nullptr;
    bool const result = (this->*operation)();
    if (saved)
        PyEval_RestoreThread(saved);
    return result;
}

QString YumIO::makeSorted(QStringList lines)
{
    std::sort(lines.begin(), lines.end());
    return lines.join(QLatin1Char('\n'));
}

QString YumIO::makeSortedUniq(QStringList lines)
{
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines.join(QLatin1Char('\n'));
}

// ---------------------------------------------------------------------------
// Simple fields. Group objects have none of them but the description.

#define YUMIO_SIMPLE_GETTER(getter, key)                                                           \
    QString YumIO::getter(Package::Entry const& entry)                                             \
    {                                                                                              \
        DetailLock lock(this);                                                                     \
        PyObject* package = entry.kind == Package::Group ? nullptr : packageObject(entry);         \
        return package ? simpleString(package, key) : QString();                                   \
    }

QString YumIO::getDescription(Package::Entry const& entry)
{
    DetailLock lock(this);
    if (entry.kind != Package::Group) {
        PyObject* package = packageObject(entry);
        return package ? simpleString(package, "description") : QString();
    }
    if (!entry.object)
        return QString();
    // A group adapter of an older script may lack it.
    PyRef text = PyRef::steal(PyObject_GetAttrString(entry.object, "description"));
    if (!text) {
        PyErr_Clear();
        return QString();
    }
    return pyString(text.get());
}

YUMIO_SIMPLE_GETTER(getGroup, "group")
YUMIO_SIMPLE_GETTER(getVendor, "vendor")
YUMIO_SIMPLE_GETTER(getBuildHost, "buildhost")
YUMIO_SIMPLE_GETTER(getBinaryRpm, "relativepath")
YUMIO_SIMPLE_GETTER(getSourceRpm, "sourcerpm")
YUMIO_SIMPLE_GETTER(getLicense, "license")
YUMIO_SIMPLE_GETTER(getPackager, "packager")
YUMIO_SIMPLE_GETTER(getUrl, "url")

#undef YUMIO_SIMPLE_GETTER

// ---------------------------------------------------------------------------
// Header-based fields of installed packages

PyObject* YumIO::getRpmHdrValue(PyObject* package, char const* tag)
{
    if (!hasHeader(package)) {
        error(tr("getRpmHdrValue called for package with no hdr (i.e. not installed)"));
        return nullptr;
    }
    QByteArray const name = QByteArray(QByteArray("RPMTAG_") + tag);
    PyObject* tagValue = rpmDict ? PyDict_GetItemString(rpmDict, name.constData()) : nullptr;
    if (!tagValue) {
        error(tr("Internal error: cannot find rpm.%1").arg(QString::fromLatin1(name)));
        return nullptr;
    }
    PyRef header = PyRef::steal(PyObject_GetAttrString(package, "hdr"));
    PyObject* value = header ? PyObject_GetItem(header.get(), tagValue) : nullptr;
    if (!value && PyErr_Occurred())
        handleException();
    return value;
}

QString YumIO::getRpmTime(PyObject* package, char const* tag)
{
    PyObject* value = getRpmHdrValue(package, tag);
    if (!value || value == Py_None) {
        Py_XDECREF(value);
        return QString();
    }
    return timeFormat(pyTimeDec(value));
}

QString YumIO::getRpmList(PyObject* package, char const* tag)
{
    PyRef value = PyRef::steal(getRpmHdrValue(package, tag));
    QStringList lines;
    Py_ssize_t const n = lengthOf(value.get());
    for (Py_ssize_t i = 0; i < n; ++i)
        lines.append(pyString(itemOf(value.get(), i)));
    return lines.join(QLatin1Char('\n'));
}

QString YumIO::getInstallTime(Package::Entry const& entry)
{
    DetailLock lock(this);
    if (entry.kind == Package::Group || !hasHeader(entry.object))
        return QString();
    return getRpmTime(entry.object, "INSTALLTIME");
}

QString YumIO::getRelocations(Package::Entry const& entry)
{
    DetailLock lock(this);
    if (entry.kind == Package::Group || !hasHeader(entry.object))
        return QString();
    return getRpmList(entry.object, "PREFIXES");
}

// ---------------------------------------------------------------------------
// Dependencies

namespace {

QString senseOperator(long flags)
{
    QString op;
    if (flags & 2)
        op += QLatin1Char('<');
    if (flags & 4)
        op += QLatin1Char('>');
    if (flags & 8)
        op += QLatin1Char('=');
    return op;
}

QString flagOperator(QString const& flag)
{
    if (flag == QLatin1String("GT"))
        return QStringLiteral(">");
    if (flag == QLatin1String("GE"))
        return QStringLiteral(">=");
    if (flag == QLatin1String("LT"))
        return QStringLiteral("<");
    if (flag == QLatin1String("LE"))
        return QStringLiteral("<=");
    if (flag == QLatin1String("EQ"))
        return QStringLiteral("=");
    return flag;
}

} // namespace

QString YumIO::getPrco(Package::Entry const& entry, char const* prefix, char const* listName)
{
    DetailLock lock(this);
    PyObject* package = entry.kind == Package::Group ? nullptr : packageObject(entry);
    if (!package)
        return QString();
    QStringList lines;

    if (hasHeader(package)) {
        QByteArray const base(prefix);
        PyRef names = PyRef::steal(getRpmHdrValue(package, QByteArray(base + "NAME").constData()));
        if (!names || names.get() == Py_None)
            return QString();
        PyRef flags = PyRef::steal(getRpmHdrValue(package, QByteArray(base + "FLAGS").constData()));
        PyRef versions
            = PyRef::steal(getRpmHdrValue(package, QByteArray(base + "VERSION").constData()));
        Py_ssize_t const n = lengthOf(names.get());
        for (Py_ssize_t i = 0; i < n; ++i) {
            QString line = pyString(itemOf(names.get(), i));
            PyObject* flag = itemOf(flags.get(), i);
            PyObject* version = itemOf(versions.get(), i);
            QString const versionText
                = version && version != Py_None ? pyString(version) : QString();
            // An unversioned dependency has an empty version: the name alone.
            if (flag && PyLong_Check(flag) && !versionText.isEmpty())
                line += QLatin1Char(' ') + senseOperator(PyLong_AsLong(flag)) + QLatin1Char(' ')
                    + versionText;
            lines.append(line);
        }
        return makeSorted(lines);
    }

    if (!hasAttribute(package, "prco"))
        return QString();
    PyRef list;
    if (PyObject_HasAttrString(package, "returnPrco")) {
        list = PyRef::steal(pyMethodCall(package, "returnPrco", "(s)", listName));
    } else {
        PyRef prco = PyRef::steal(PyObject_GetAttrString(package, "prco"));
        PyObject* item = prco ? PyMapping_GetItemString(prco.get(), listName) : nullptr;
        PyErr_Clear();
        list = PyRef::steal(item);
    }
    if (!list) {
        PyErr_Clear();
        error(tr("Internal error: cannot find package's prco.%1").arg(QLatin1String(listName)));
        return QString();
    }
    PyRef iterator = PyRef::steal(PyObject_GetIter(list.get()));
    if (!iterator) {
        handleException();
        return QString();
    }
    while (PyObject* next = PyIter_Next(iterator.get())) {
        PyRef element = PyRef::steal(next);
        if (!PyTuple_Check(element.get()) || PyTuple_GET_SIZE(element.get()) < 1)
            continue;
        QString line = pyString(PyTuple_GET_ITEM(element.get(), 0));
        PyObject* flag
            = PyTuple_GET_SIZE(element.get()) > 1 ? PyTuple_GET_ITEM(element.get(), 1) : nullptr;
        PyObject* evr
            = PyTuple_GET_SIZE(element.get()) > 2 ? PyTuple_GET_ITEM(element.get(), 2) : nullptr;
        if (flag && flag != Py_None && evr && PyTuple_Check(evr) && PyTuple_GET_SIZE(evr) >= 2) {
            PyObject* epoch = PyTuple_GET_ITEM(evr, 0);
            PyObject* version = PyTuple_GET_ITEM(evr, 1);
            PyObject* release = PyTuple_GET_SIZE(evr) > 2 ? PyTuple_GET_ITEM(evr, 2) : nullptr;
            QString const versionText = version != Py_None ? pyString(version) : QString();
            if (!versionText.isEmpty()) {
                line += QLatin1Char(' ') + flagOperator(pyString(flag)) + QLatin1Char(' ');
                QString const epochText = epoch != Py_None ? pyString(epoch) : QString();
                if (!epochText.isEmpty() && epochText != QLatin1String("0"))
                    line += epochText + QLatin1Char(':');
                line += versionText;
                QString const releaseText
                    = release && release != Py_None ? pyString(release) : QString();
                if (!releaseText.isEmpty())
                    line += QLatin1Char('-') + releaseText;
            }
        }
        lines.append(line);
    }
    PyErr_Clear();
    return makeSorted(lines);
}

QString YumIO::getProvides(Package::Entry const& entry)
{
    return getPrco(entry, "PROVIDE", "provides");
}

QString YumIO::getRequires(Package::Entry const& entry)
{
    return getPrco(entry, "REQUIRE", "requires");
}

QString YumIO::getConflicts(Package::Entry const& entry)
{
    return getPrco(entry, "CONFLICT", "conflicts");
}

QString YumIO::getObsoletes(Package::Entry const& entry)
{
    return getPrco(entry, "OBSOLETE", "obsoletes");
}

// ---------------------------------------------------------------------------
// Files and change logs

QString YumIO::getFiles(Package::Entry const& entry)
{
    DetailLock lock(this);
    PyObject* package = entry.kind == Package::Group ? nullptr : packageObject(entry);
    if (!package)
        return QString();
    QStringList lines;
    if (hasHeader(package)) {
        PyRef baseNames = PyRef::steal(getRpmHdrValue(package, "BASENAMES"));
        if (!baseNames || baseNames.get() == Py_None)
            return QString();
        PyRef dirNames = PyRef::steal(getRpmHdrValue(package, "DIRNAMES"));
        PyRef dirIndexes = PyRef::steal(getRpmHdrValue(package, "DIRINDEXES"));
        Py_ssize_t const n = lengthOf(baseNames.get());
        for (Py_ssize_t i = 0; i < n; ++i) {
            PyObject* index = itemOf(dirIndexes.get(), i);
            long const dir = index && PyLong_Check(index) ? PyLong_AsLong(index) : -1;
            PyObject* dirName = dir >= 0 ? itemOf(dirNames.get(), dir) : nullptr;
            lines.append(
                (dirName ? pyString(dirName) : QString()) + pyString(itemOf(baseNames.get(), i)));
        }
        return makeSortedUniq(lines);
    }
    if (!hasAttribute(package, "files"))
        return QString();
    runUnlocked(&YumIO::collectFileLists);
    PyRef files = PyRef::steal(pyMethodCall(package, "returnFileEntries", "(s)", "file"));
    if (!files) {
        error(tr("Internal error: cannot find package's files"));
        return QString();
    }
    if (std::optional<QString> text = sortedUniqPaths(files.get()))
        return *text;
    return makeSortedUniq(textsOf(files.get()));
}

QString YumIO::getChangeLog(Package::Entry const& entry)
{
    DetailLock lock(this);
    PyObject* package = entry.kind == Package::Group ? nullptr : packageObject(entry);
    if (!package)
        return QString();
    // One text, grown in place: a Search asks for every record of every
    // package.
    QString records;
    auto record = [this, &records](long when, PyObject* author, PyObject* text) {
        if (!records.isEmpty())
            records += QLatin1String("\n\n");
        records += QLatin1String("* ") + dateFormat(when) + QLatin1Char(' ') + pyString(author)
            + QLatin1Char('\n') + pyString(text);
    };
    if (hasHeader(package)) {
        PyRef names = PyRef::steal(getRpmHdrValue(package, "CHANGELOGNAME"));
        PyRef times = PyRef::steal(getRpmHdrValue(package, "CHANGELOGTIME"));
        PyRef texts = PyRef::steal(getRpmHdrValue(package, "CHANGELOGTEXT"));
        Py_ssize_t const n = lengthOf(names.get());
        for (Py_ssize_t i = 0; i < n; ++i)
            record(pyTime(itemOf(times.get(), i)), itemOf(names.get(), i), itemOf(texts.get(), i));
        return records;
    }
    if (!hasAttribute(package, "changelog"))
        return QString();
    runUnlocked(&YumIO::collectOtherData);
    // dnf's own records when the script hands them over (no conversion in
    // Python), else (time, author, text) tuples.
    PyRef changes;
    if (yumVersion() < 20301)
        changes = PyRef::steal(PyObject_GetAttrString(package, "changelog"));
    else if (PyObject* records = recordName(ChangelogRecords);
             records && PyObject_HasAttr(reinterpret_cast<PyObject*>(Py_TYPE(package)), records))
        changes = PyRef::steal(PyObject_CallMethodNoArgs(package, records));
    else
        changes = PyRef::steal(pyMethodCall(package, "returnChangelog", "()"));
    if (!changes) {
        if (PyErr_Occurred())
            handleException();
        error(tr("Internal error: cannot find package's changelog"));
        return QString();
    }
    if (changes.get() == Py_None)
        return QString();
    // A record's time as int seconds: a date is its midnight UTC, a date and
    // time is read as UTC (as calendar.timegm reads its fields).
    PyTypeObject* plainDate = nullptr; // a type seen without a clock time
    auto recordSeconds = [this, &plainDate](PyObject* stamp) -> long {
        PyObject* toOrdinal = recordName(ToOrdinal);
        if (!stamp || stamp == Py_None || !toOrdinal)
            return 0;
        PyRef ordinal = PyRef::steal(PyObject_CallMethodNoArgs(stamp, toOrdinal));
        long const days = ordinal && PyLong_Check(ordinal.get())
            ? PyLong_AsLong(ordinal.get()) - 719163 // date(1970, 1, 1).toordinal()
            : 0;
        PyErr_Clear();
        if (!ordinal || Py_TYPE(stamp) == plainDate)
            return days * 86400;
        if (!recordName(Hour) || !PyObject_HasAttr(stamp, recordName(Hour))) {
            plainDate = Py_TYPE(stamp);
            return days * 86400;
        }
        return days * 86400 + numberOf(stamp, recordName(Hour)) * 3600
            + numberOf(stamp, recordName(Minute)) * 60 + numberOf(stamp, recordName(Second));
    };
    PyRef iterator = PyRef::steal(PyObject_GetIter(changes.get()));
    while (iterator) {
        PyRef change = PyRef::steal(PyIter_Next(iterator.get()));
        if (!change)
            break;
        PyObject* item = change.get();
        if (PyTuple_Check(item) && PyTuple_GET_SIZE(item) >= 3) {
            record(pyTime(PyTuple_GET_ITEM(item, 0)), PyTuple_GET_ITEM(item, 1),
                PyTuple_GET_ITEM(item, 2));
        } else if (PyDict_Check(item)) {
            PyObject* stamp = dictItem(item, recordName(Timestamp));
            record(stamp && PyLong_Check(stamp) ? pyTime(stamp) : recordSeconds(stamp),
                dictItem(item, recordName(Author)), dictItem(item, recordName(Text)));
        }
    }
    PyErr_Clear();
    return records;
}

// ---------------------------------------------------------------------------
// Groups

PyObject* YumIO::getGroupItem_22(Package::Entry const& group, char const* attribute)
{
    if (hasDistribGroups()) {
        error(tr("getGroupItem_22 called for incorrect version of yum"));
        return nullptr;
    }
    PyRef dict = PyRef::steal(PyObject_GetAttrString(group.object, attribute));
    if (!dict) {
        PyErr_Clear();
        error(tr("Internal error: groupInfo.%1 not evaluable").arg(QLatin1String(attribute)));
        return nullptr;
    }
    PyObject* item = pyDictGetItem(dict.get(), group.name);
    if (!item) {
        error(tr("Internal error: groupInfo.%1[%2] not evaluable")
                  .arg(QLatin1String(attribute), group.name));
        return nullptr;
    }
    Py_INCREF(item);
    return item;
}

PyObject* YumIO::getGroupItem_25(Package::Entry const& group, char const* attribute)
{
    if (!hasDistribGroups()) {
        error(tr("getGroupItem_25 called for incorrect version of yum"));
        return nullptr;
    }
    PyObject* item = PyObject_GetAttrString(group.object, attribute);
    if (!item) {
        PyErr_Clear();
        error(tr("Internal error: group %1.%2 not evaluable")
                  .arg(QLatin1String(attribute), group.name));
    }
    return item;
}

QStringList YumIO::textsOf(PyObject* items)
{
    QStringList texts;
    if (!items)
        return texts;
    if (PyDict_Check(items)) {
        Py_ssize_t position = 0;
        PyObject* key = nullptr;
        PyObject* value = nullptr;
        while (PyDict_Next(items, &position, &key, &value))
            texts.append(pyString(key));
        return texts;
    }
    PyRef iterator = PyRef::steal(PyObject_GetIter(items));
    while (iterator) {
        PyRef item = PyRef::steal(PyIter_Next(iterator.get()));
        if (!item)
            break;
        texts.append(pyString(item.get()));
    }
    PyErr_Clear();
    return texts;
}

QString YumIO::getGroupList(
    Package::Entry const& entry, char const* olderAttribute, char const* newerAttribute)
{
    DetailLock lock(this);
    if (entry.kind != Package::Group || !entry.object)
        return QString();
    // Older versions keep a sequence of names, newer ones a dictionary keyed
    // by package name.
    bool const newer = hasDistribGroups();
    char const* attribute = newer ? newerAttribute : olderAttribute;
    if (!attribute)
        return QString();
    PyRef item = PyRef::steal(
        newer ? getGroupItem_25(entry, attribute) : getGroupItem_22(entry, attribute));
    if (!item || (newer && !PyDict_Check(item.get())))
        return QString();
    return makeSorted(textsOf(item.get()));
}

QString YumIO::getRequiredGroups(Package::Entry const& entry)
{
    return getGroupList(entry, "sub_groups", nullptr);
}

QString YumIO::getDefaultMetaPkgs(Package::Entry const& entry)
{
    return getGroupList(entry, "default_metapkgs", nullptr);
}

QString YumIO::getOptionalMetaPkgs(Package::Entry const& entry)
{
    return getGroupList(entry, "optional_metapkgs", nullptr);
}

QString YumIO::getMandatoryPkgs(Package::Entry const& entry)
{
    return getGroupList(entry, "mandatory_pkgs", "mandatory_packages");
}

QString YumIO::getDefaultPkgs(Package::Entry const& entry)
{
    return getGroupList(entry, "default_pkgs", "default_packages");
}

QString YumIO::getOptionalPkgs(Package::Entry const& entry)
{
    return getGroupList(entry, "optional_pkgs", "optional_packages");
}

QString YumIO::getConditionalPkgs(Package::Entry const& entry)
{
    return getGroupList(entry, nullptr, "conditional_packages");
}

bool YumIO::upToDateGroup(Package::Entry const& group)
{
    return upToDateGroupGrps(group) && upToDateGroupPkgs(group);
}

bool YumIO::upToDateGroupGrps(Package::Entry const& group)
{
    if (hasDistribGroups())
        return true;
    // Sub-groups may name each other: each group is judged once per walk.
    QSet<Package::Entry const*> seen;
    QList<Package::Entry const*> pending {&group};
    while (!pending.isEmpty()) {
        Package::Entry const* current = pending.takeFirst();
        if (seen.contains(current))
            continue;
        seen.insert(current);
        PyRef groups = PyRef::steal(PyObject_GetAttrString(current->object, "sub_groups"));
        PyObject* item = groups ? pyDictGetItem(groups.get(), current->name) : nullptr;
        PyErr_Clear();
        for (QString const& name : textsOf(item)) {
            Package::Entry const* sub = entryHash.value(EntryKey::group(name));
            if (!sub)
                continue;
            if (!upToDateGroupPkgs(*sub))
                return false;
            pending.append(sub);
        }
    }
    return true;
}

bool YumIO::upToDateGroupPkgs(Package::Entry const& group)
{
    PyRef item;
    if (hasDistribGroups()) {
        item = PyRef::steal(PyObject_GetAttrString(group.object, "mandatory_packages"));
    } else {
        PyRef packages = PyRef::steal(PyObject_GetAttrString(group.object, "mandatory_pkgs"));
        item = PyRef::borrow(packages ? pyDictGetItem(packages.get(), group.name) : nullptr);
    }
    PyErr_Clear();
    for (QString const& name : textsOf(item.get())) {
        for (Package::Entry const* package : findPackages(name))
            if (package->state == Package::Updatable)
                return false;
    }
    return true;
}

QString YumIO::getYumVar(QString const& name)
{
    DetailLock lock(this);
    if (!yumIO)
        return QString();
    PyRef conf = PyRef::steal(PyObject_GetAttrString(yumIO, "conf"));
    PyRef vars = conf ? PyRef::steal(PyObject_GetAttrString(conf.get(), "yumvar")) : PyRef();
    if (!vars) {
        PyErr_Clear();
        return QString();
    }
    PyObject* value = PyMapping_GetItemString(vars.get(), name.toUtf8().constData());
    if (!value)
        PyErr_Clear();
    return pyStringDec(value);
}

// ---------------------------------------------------------------------------
// Extra repository data, loaded once per collection on a worker

bool YumIO::collectFileListsReal()
{
    return collectExtraReal(true);
}

bool YumIO::collectOtherDataReal()
{
    return collectExtraReal(false);
}

bool YumIO::collectExtraReal(bool fileLists)
{
    ProgressUser progressUser(progress, totalBar, itemBar);
    YumIODialogsUser dialogsUser(dialogs, parent);
    log(Log::Heading, 0,
        fileLists ? tr("Collecting File Lists") : tr("Collecting Miscellaneous data"));
    collectSubject = fileLists ? tr("file lists") : tr("miscellaneous data");
    collectAct = 0;
    PyGILStateWrapper lock(true);
    if (!scriptReady())
        return false;

    progress->startTotal(fileLists ? tr("Loading file lists: Total Progress")
                                   : tr("Loading miscellaneous data: Total Progress"),
        15000);
    progress->startItem(tr("Reading repositories"), 1000, 1);
    progress->setupItemActs(14000, 5 * static_cast<Steps>(enabledRepos.size()));

    pyExceptStart();
    PyObject* yumBaseError = lookupException("yum.Errors.YumBaseError");
    pyExceptExpect(yumBaseError);
    PyRef result = PyRef::steal(
        pyMethodCall(yumIO, fileLists ? "collectFileLists" : "collectOtherData", "()"));
    bool ok = true;
    if (pyExceptMatches(result.get(), yumBaseError)) {
        pythonExceptionV(fileLists ? tr("Unable to collect file lists")
                                   : tr("Unable to collect miscellaneous data"));
        ok = false;
    } else if (!result) {
        error(fileLists ? tr("Internal error: execution of yumIO.collectFileLists failed")
                        : tr("Internal error: execution of yumIO.collectOtherData failed"));
        ok = false;
    }
    pyExceptClear();
    if (!ok)
        return false;

    progress->endItemActs();
    if (fileLists)
        fileListsLoaded = true;
    else
        otherDataLoaded = true;
    emit collectedExtraData();
    return true;
}
