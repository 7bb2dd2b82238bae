// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableSortFilterProxyModel.h"

#include "packagetable/PackageTableModel.h"
#include "yumio/YumIO.h"

#include <algorithm>
#include <numeric>

namespace PackageTable {

SortFilterProxyModel::SortFilterProxyModel(
    StateFilter stateFilter, bool groupsFilter, YumIO* yumIO, QObject* parent)
    : HSortFilterProxyModel(NameColumn, parent)
    , stateFilter(stateFilter)
    , groupsFilter(groupsFilter)
    , yumIO(yumIO)
{
}

SortFilterProxyModel::~SortFilterProxyModel() = default;

void SortFilterProxyModel::setSourceModel(Model* model)
{
    this->model = model;
    if (model)
        model->setInstalledShown(stateFilter == ViewRemovable);
    emptyCache();
    detailFound.clear();
    HSortFilterProxyModel::setSourceModel(model);
    if (refill())
        clear();
}

void SortFilterProxyModel::emptyCache() const
{
    ++cacheEpoch;
    acceptCache.clear();
}

void SortFilterProxyModel::setMode(Mode mode)
{
    if (mode == this->mode)
        return;
    this->mode = mode;
    emptyCache();
    refill();
    clear();
}

void SortFilterProxyModel::setStateFilter(StateFilter stateFilter)
{
    if (stateFilter == this->stateFilter)
        return;
    this->stateFilter = stateFilter;
    // View Removable shows what a removal takes away.
    if (model)
        model->setInstalledShown(stateFilter == ViewRemovable);
    emptyCache();
    refill();
    clear();
}

void SortFilterProxyModel::setGroupsFilter(bool groupsFilter)
{
    if (groupsFilter == this->groupsFilter)
        return;
    this->groupsFilter = groupsFilter;
    emptyCache();
    refill();
    clear();
}

void SortFilterProxyModel::setFilter(bool on)
{
    if (on == filterOn)
        return;
    filterOn = on;
    refill();
    clear();
}

void SortFilterProxyModel::setFilterRegExp(QString const& text)
{
    QString const previous = pattern.text();
    // The pattern is kept here rather than in the base's expression: setting
    // that refilters the old mapping row by row, only for the reset below to
    // throw it away.
    pattern.set(text, ignoreCase);
    if (pattern.text() != previous) {
        emptyCache();
        detailFound.clear();
    }
    refill();
    clear();

    int const rows = model ? model->rowCount() : 0;
    for (int row = 0; row < rows; ++row)
        filterAcceptsRow(row, QModelIndex());
}

void SortFilterProxyModel::setIgnoreCase(bool ignore)
{
    if (ignore == ignoreCase)
        return;
    ignoreCase = ignore;
    pattern.set(pattern.text(), ignoreCase);
    emptyCache();
    detailFound.clear();
    refill();
    clear();
}

void SortFilterProxyModel::setProviders(bool active, QSet<QString> const& names)
{
    providersOn = active;
    providerNames = names;
    emptyCache();
    refill();
    clear();
}

QString SortFilterProxyModel::patternError() const
{
    return mode == Provides ? QString() : pattern.error();
}

bool SortFilterProxyModel::filterAcceptsRow(int sourceRow, QModelIndex const&) const
{
    if (!filterOn)
        return true;
    if (!model || sourceRow < 0 || sourceRow >= model->rowCount())
        return false;
    syncCache();
    signed char& cached = acceptCache[size_t(sourceRow)];
    if (cached == 0 && passNeeded()) {
        // Rows are mapped from inside paints: a pass here would run an event
        // loop under the painting widget. The row's own fields and the
        // details known already answer until the queued pass has filled the
        // rest and the rows are filtered again.
        scheduleRefill();
        Package::Entry const& entry = *model->entry(sourceRow);
        bool const found
            = detailFound.size() == acceptCache.size() && detailFound[size_t(sourceRow)] == 1;
        return yumIO && passes(entry) && (found || ownFieldsMatch(entry));
    }
    if (cached == 0)
        cached = acceptRow(model->entry(sourceRow), sourceRow, QModelIndex()) ? 2 : 1;
    return cached == 2;
}

void SortFilterProxyModel::syncCache() const
{
    // A new collection makes every cached answer void.
    if (cacheGeneration != model->generation()) {
        cacheGeneration = model->generation();
        emptyCache();
        detailFound.clear();
    }
    if (acceptCache.size() != size_t(model->rowCount()))
        acceptCache.assign(size_t(model->rowCount()), 0);
}

bool SortFilterProxyModel::refill()
{
    // A queued call met in the event loop of a running pass leaves the work
    // to it: its caller filters the rows again afterwards.
    if (!passNeeded() || inPass)
        return false;
    syncCache();
    if (std::find(acceptCache.begin(), acceptCache.end(), 0) == acceptCache.end())
        return false;
    inPass = true;
    searchAll();
    inPass = false;
    return true;
}

void SortFilterProxyModel::scheduleRefill() const
{
    if (refillQueued)
        return;
    refillQueued = true;
    auto* self = const_cast<SortFilterProxyModel*>(this);
    QMetaObject::invokeMethod(
        self,
        [self] {
            self->refillQueued = false;
            if (self->refill())
                self->clear();
        },
        Qt::QueuedConnection);
}

bool SortFilterProxyModel::acceptRow(Package::Entry* entry, int sourceRow, QModelIndex const&) const
{
    if (!passes(*entry))
        return false;
    if (mode == Provides)
        return !providersOn
            || (entry->kind != Package::Group && providerNames.contains(entry->name));
    if (pattern.isEmpty())
        return true;
    if (mode == Filter)
        return matches(model->filterText(sourceRow));
    return yumIO && (ownFieldsMatch(*entry) || detailsMatch(*entry));
}

bool SortFilterProxyModel::passes(Package::Entry const& entry) const
{
    switch (stateFilter) {
    case ViewUpdatable:
        if (entry.state != Package::Updatable)
            return false;
        break;
    case ViewInstallable:
        if (entry.state != Package::Available)
            return false;
        break;
    case ViewRemovable:
        if (entry.state == Package::Available)
            return false;
        break;
    case ViewAll:
        break;
    case ViewSecurity:
        if (entry.state != Package::Updatable || entry.advisoryKind != Package::SecurityAdvisory)
            return false;
        break;
    }
    return groupsFilter || entry.kind != Package::Group;
}

// What a Search matches that the entry holds itself.
bool SortFilterProxyModel::ownFieldsMatch(Package::Entry const& entry) const
{
    if (entry.kind == Package::Group)
        return matches(entry.name);
    if (entry.kind != Package::Package && entry.kind != Package::Suite)
        return false;
    Package::Entry const& shown = model ? model->shownEntry(entry) : entry;
    QString const summary = QString::fromUtf8(shown.summary);
    for (QString const* text :
        {&shown.name, &shown.verRel, &shown.repo, &shown.arch, &shown.size(), &summary}) {
        if (matches(*text))
            return true;
    }
    return matches(shown.buildTime());
}

// What a Search matches that the engine's detail getters read, one field
// after the other, stopping at the first match: the file list and the change
// log, the dearest, come last.
bool SortFilterProxyModel::detailsMatch(Package::Entry const& entry) const
{
    using Getter = QString (YumIO::*)(Package::Entry const&);
    static Getter const groupFields[] = {&YumIO::getRequiredGroups, &YumIO::getDefaultMetaPkgs,
        &YumIO::getOptionalMetaPkgs, &YumIO::getMandatoryPkgs, &YumIO::getDefaultPkgs,
        &YumIO::getOptionalPkgs, &YumIO::getConditionalPkgs};
    static Getter const packageFields[]
        = {&YumIO::getDescription, &YumIO::getGroup, &YumIO::getVendor, &YumIO::getInstallTime,
            &YumIO::getBinaryRpm, &YumIO::getSourceRpm, &YumIO::getLicense, &YumIO::getPackager,
            &YumIO::getUrl, &YumIO::getRelocations, &YumIO::getProvides, &YumIO::getRequires,
            &YumIO::getConflicts, &YumIO::getObsoletes, &YumIO::getFiles, &YumIO::getChangeLog};
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
        return anyMatches(groupFields);
    if (entry.kind != Package::Package && entry.kind != Package::Suite)
        return false;
    return anyMatches(packageFields);
}

// Search mode: the answers of every row not known yet. The details of the
// packages whose own fields do not match are read together by the engine
// where it can (YumIO::searchDetails, one pass over the package manager's
// data), else row by row through the getters; either way they are kept for
// the pattern and collection, so that another state or groups filter does
// not read them again.
void SortFilterProxyModel::searchAll() const
{
    size_t const rows = acceptCache.size();
    if (detailFound.size() != rows)
        detailFound.assign(rows, -1);
    std::vector<Package::Entry const*> wanted;
    std::vector<size_t> wantedRows;
    for (size_t row = 0; row < rows; ++row) {
        if (acceptCache[row] != 0)
            continue;
        Package::Entry const& entry = *model->entry(int(row));
        if (!yumIO || !passes(entry))
            acceptCache[row] = 1;
        else if (ownFieldsMatch(entry))
            acceptCache[row] = 2;
        else if (detailFound[row] < 0 && entry.kind != Package::Group) {
            wanted.push_back(&entry);
            wantedRows.push_back(row);
        }
    }
    // The engine may wait for a worker in an event loop; a setter reached
    // from it may empty the caches meanwhile, and a later pass fills them.
    unsigned const epoch = cacheEpoch;
    std::vector<signed char> found;
    bool const direct = !wanted.empty() && yumIO->searchDetails(pattern, wanted, found);
    if (epoch != cacheEpoch)
        return;
    if (direct) {
        for (size_t i = 0; i < wantedRows.size(); ++i)
            detailFound[wantedRows[i]] = found[i];
    }
    for (size_t row = 0; row < rows; ++row) {
        if (acceptCache[row] != 0)
            continue;
        if (detailFound[row] < 0) {
            bool const match = detailsMatch(*model->entry(int(row)));
            if (epoch != cacheEpoch)
                return;
            detailFound[row] = match ? 1 : 0;
        }
        acceptCache[row] = detailFound[row] == 1 ? 2 : 1;
    }
}

std::vector<int> const& SortFilterProxyModel::rankOf(int column) const
{
    if (rankGeneration != model->generation()) {
        for (auto& rank : ranks)
            rank.clear();
        rankGeneration = model->generation();
    }
    std::vector<int>& rank = ranks[size_t(column)];
    int const rows = model->rowCount();
    if (rank.size() == size_t(rows))
        return rank;

    std::vector<Package::Entry const*> entries(static_cast<size_t>(rows));
    for (int row = 0; row < rows; ++row)
        entries[size_t(row)] = model->entry(row);
    std::vector<int> order(static_cast<size_t>(rows));
    std::iota(order.begin(), order.end(), 0);
    rank.assign(size_t(rows), 0);
    auto assign = [&](auto const& less) {
        std::sort(order.begin(), order.end(), less);
        int place = 0;
        for (size_t i = 0; i < order.size(); ++i) {
            if (i > 0 && less(order[i - 1], order[i]))
                ++place;
            rank[size_t(order[i])] = place;
        }
    };
    if (column == NameColumn) {
        assign([&](int a, int b) { return entries[size_t(a)]->name < entries[size_t(b)]->name; });
        return rank;
    }
    std::vector<int> const& byName = rankOf(NameColumn);
    // Ties go by name. Texts, sizes and times are those the rows show (View
    // Removable shows the installed version of an updatable package), state
    // and kind the rows' own.
    auto then = [&](auto const& key, bool shown = true) {
        return [&, key, shown](int a, int b) {
            Package::Entry const& left = *entries[size_t(a)];
            Package::Entry const& right = *entries[size_t(b)];
            auto const& x = key(shown ? model->shownEntry(left) : left);
            auto const& y = key(shown ? model->shownEntry(right) : right);
            return x < y || (!(y < x) && byName[size_t(a)] < byName[size_t(b)]);
        };
    };
    switch (column) {
    case StateColumn:
        assign(then([](Package::Entry const& e) { return int(e.state); }, false));
        break;
    case KindColumn:
        assign(then([](Package::Entry const& e) { return int(e.kind); }, false));
        break;
    case SizeColumn:
        assign(then([](Package::Entry const& e) { return e.sizeBytes; }));
        break;
    case BuildTimeColumn:
        assign(then([](Package::Entry const& e) { return qint64(qint32(e.buildSeconds)); }));
        break;
    case VersionColumn:
        assign(then([](Package::Entry const& e) -> QString const& { return e.verRel; }));
        break;
    case RepositoryColumn:
        assign(then([](Package::Entry const& e) -> QString const& { return e.repo; }));
        break;
    case AdvisoryColumn:
        assign(
            then([](Package::Entry const& e) { return e.advisoryKind * 8 + e.advisorySeverity; }));
        break;
    default:
        assign(then([](Package::Entry const& e) -> QString const& { return e.arch; }));
        break;
    }
    return rank;
}

bool SortFilterProxyModel::lessThan(QModelIndex const& left, QModelIndex const& right) const
{
    if (!left.model() || !right.model() || !model || left.model() != model
        || right.model() != model)
        return HSortFilterProxyModel::lessThan(left, right);
    // Sorting the whole table makes about a million comparisons: each is a
    // look-up of two ranks, computed once per collection and column, rather
    // than two variants and a string comparison.
    int const column = left.column();
    size_t const a = size_t(left.row());
    size_t const b = size_t(right.row());
    if (column == ActionColumn) {
        int const x = model->entry(left.row())->action;
        int const y = model->entry(right.row())->action;
        if (x != y)
            return x < y;
        std::vector<int> const& byName = rankOf(NameColumn);
        return byName[a] < byName[b];
    }
    if (column < 0 || column >= ColumnCount)
        return false;
    std::vector<int> const& rank = rankOf(column);
    return rank[a] < rank[b];
}

} // namespace PackageTable
