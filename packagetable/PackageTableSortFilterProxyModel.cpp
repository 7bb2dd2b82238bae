#include "packagetable/PackageTableSortFilterProxyModel.h"

#include "packagetable/PackageTableModel.h"
#include "yumio/YumIO.h"

#include <cstring>

namespace PackageTable {

SortFilterProxyModel::SortFilterProxyModel(
    StateFilter stateFilter, bool groupsFilter, YumIO* yumIO, QObject* parent)
    : HSortFilterProxyModel(NameColumn, parent)
    , stateFilter(stateFilter)
    , groupsFilter(groupsFilter)
    , yumIO(yumIO)
{
}

SortFilterProxyModel::~SortFilterProxyModel()
{
    if (regexStatus == 0)
        regfree(&regex);
}

void SortFilterProxyModel::setSourceModel(Model* model)
{
    this->model = model;
    emptyCache();
    HSortFilterProxyModel::setSourceModel(model);
}

void SortFilterProxyModel::emptyCache() const
{
    acceptCache.clear();
}

void SortFilterProxyModel::setMode(Mode mode)
{
    if (mode == this->mode)
        return;
    this->mode = mode;
    emptyCache();
    clear();
}

void SortFilterProxyModel::setStateFilter(StateFilter stateFilter)
{
    if (stateFilter == this->stateFilter)
        return;
    this->stateFilter = stateFilter;
    emptyCache();
    clear();
}

void SortFilterProxyModel::setGroupsFilter(bool groupsFilter)
{
    if (groupsFilter == this->groupsFilter)
        return;
    this->groupsFilter = groupsFilter;
    emptyCache();
    clear();
}

void SortFilterProxyModel::setFilter(bool on)
{
    if (on == filterOn)
        return;
    filterOn = on;
    clear();
}

void SortFilterProxyModel::setFilterRegExp(QString const& text)
{
    QString stripped = text;
    QLatin1String const wildcard(".*");
    while (stripped.startsWith(wildcard))
        stripped.remove(0, 2);
    while (stripped.endsWith(wildcard))
        stripped.chop(2);

    if (regexStatus == 0)
        regfree(&regex);
    QByteArray const bytes = stripped.toLocal8Bit();
    regexStatus = regcomp(&regex, bytes.constData(), REG_EXTENDED | REG_NOSUB);
    isLiteral = regexStatus == 0 && std::strpbrk(bytes.constData(), "\\^$.[]|()*+?{}") == nullptr;
    literal = bytes;

    if (stripped != pattern)
        emptyCache();
    // The pattern is kept here rather than in the base's expression: setting
    // that refilters the old mapping row by row, only for the reset below to
    // throw it away.
    pattern = stripped;
    clear();

    int const rows = model ? model->rowCount() : 0;
    for (int row = 0; row < rows; ++row)
        filterAcceptsRow(row, QModelIndex());
}

QString SortFilterProxyModel::patternError() const
{
    if (regexStatus <= 0)
        return QString();
    char message[256];
    regerror(regexStatus, &regex, message, sizeof message);
    return QString::fromLocal8Bit(message);
}

bool SortFilterProxyModel::matches(QByteArray const& text) const
{
    if (regexStatus != 0)
        return true;
    if (isLiteral)
        return memmem(text.constData(), size_t(text.size()), literal.constData(),
                   size_t(literal.size()))
            != nullptr;
    return regexec(&regex, text.constData(), 0, nullptr, 0) == 0;
}

bool SortFilterProxyModel::matches(QString const& text) const
{
    return matches(text.toLocal8Bit());
}

bool SortFilterProxyModel::filterAcceptsRow(int sourceRow, QModelIndex const&) const
{
    if (!filterOn)
        return true;
    if (!model || sourceRow < 0 || sourceRow >= model->rowCount())
        return false;
    // A new collection makes every cached answer void.
    if (cacheGeneration != model->generation()) {
        cacheGeneration = model->generation();
        emptyCache();
    }
    if (acceptCache.size() != size_t(model->rowCount()))
        acceptCache.assign(size_t(model->rowCount()), 0);
    signed char& cached = acceptCache[size_t(sourceRow)];
    if (cached == 0)
        cached = acceptRow(model->entry(sourceRow), sourceRow, QModelIndex()) ? 2 : 1;
    return cached == 2;
}

bool SortFilterProxyModel::acceptRow(Package::Entry* entry, int sourceRow, QModelIndex const&) const
{
    switch (stateFilter) {
    case ViewUpdatable:
        if (entry->state != Package::Updatable)
            return false;
        break;
    case ViewInstallable:
        if (entry->state != Package::Available)
            return false;
        break;
    case ViewRemovable:
        if (entry->state == Package::Available)
            return false;
        break;
    case ViewAll:
        break;
    }
    if (!groupsFilter && entry->kind == Package::Group)
        return false;
    if (pattern.isEmpty())
        return true;
    if (mode == Filter)
        return matches(model->filterText(sourceRow));
    return searchAccepts(*entry);
}

bool SortFilterProxyModel::searchAccepts(Package::Entry const& entry) const
{
    // The fields in the order they are read, stopping at the first match:
    // the file list and the change log, the dearest, come last.
    using Getter = QString (YumIO::*)(Package::Entry const&);
    static Getter const groupFields[] = {&YumIO::getRequiredGroups, &YumIO::getDefaultMetaPkgs,
        &YumIO::getOptionalMetaPkgs, &YumIO::getMandatoryPkgs, &YumIO::getDefaultPkgs,
        &YumIO::getOptionalPkgs, &YumIO::getConditionalPkgs};
    static Getter const descriptionFields[]
        = {&YumIO::getDescription, &YumIO::getGroup, &YumIO::getVendor};
    static Getter const laterFields[] = {&YumIO::getInstallTime, &YumIO::getBinaryRpm,
        &YumIO::getSourceRpm, &YumIO::getLicense, &YumIO::getPackager, &YumIO::getUrl,
        &YumIO::getRelocations, &YumIO::getProvides, &YumIO::getRequires, &YumIO::getConflicts,
        &YumIO::getObsoletes, &YumIO::getFiles, &YumIO::getChangeLog};
    auto anyMatches = [this, &entry](auto const& fields) {
        for (Getter field : fields) {
            if (matches((yumIO->*field)(entry)))
                return true;
        }
        return false;
    };
    if (!yumIO)
        return false;
    if (entry.kind == Package::Group)
        return matches(entry.name) || anyMatches(groupFields);
    if (entry.kind != Package::Package && entry.kind != Package::Suite)
        return false;
    for (QString const* text :
        {&entry.name, &entry.verRel, &entry.repo, &entry.arch, &entry.size, &entry.summary}) {
        if (matches(*text))
            return true;
    }
    return anyMatches(descriptionFields) || matches(entry.buildTime) || anyMatches(laterFields);
}

namespace {

// The sort key of the numeric columns.
qint64 numericKey(Package::Entry const& entry, int column)
{
    switch (column) {
    case ActionColumn:
        return entry.action;
    case StateColumn:
        return entry.state;
    case KindColumn:
        return entry.kind;
    default:
        return qint64(qint32(entry.buildSeconds));
    }
}

QString const& textKey(Package::Entry const& entry, int column)
{
    switch (column) {
    case VersionColumn:
        return entry.verRel;
    case RepositoryColumn:
        return entry.repo;
    case ArchitectureColumn:
        return entry.arch;
    default:
        return entry.name;
    }
}

} // namespace

bool SortFilterProxyModel::lessThan(QModelIndex const& left, QModelIndex const& right) const
{
    // The keys are read from the entries directly: a sort of the whole table
    // makes about a million comparisons, too many to build variants for.
    if (!left.model() || !right.model() || !model || left.model() != model
        || right.model() != model)
        return HSortFilterProxyModel::lessThan(left, right);
    Package::Entry const& a = *model->entry(left.row());
    Package::Entry const& b = *model->entry(right.row());
    int const column = left.column();
    if (column == SizeColumn) {
        if (a.sizeBytes != b.sizeBytes)
            return a.sizeBytes < b.sizeBytes;
        return a.name < b.name;
    }
    if (column == ActionColumn || column == StateColumn || column == KindColumn
        || column == BuildTimeColumn) {
        qint64 const x = numericKey(a, column);
        qint64 const y = numericKey(b, column);
        if (x != y)
            return x < y;
        return a.name < b.name;
    }
    int const order = textKey(a, column).compare(textKey(b, column));
    if (order != 0)
        return order < 0;
    return column != NameColumn && a.name < b.name;
}

} // namespace PackageTable
