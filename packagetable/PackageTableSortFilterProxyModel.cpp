// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableSortFilterProxyModel.h"

#include "packagetable/PackageTableModel.h"
#include "yumio/YumIO.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace PackageTable {

namespace {

// The longest run of plain characters that every match of the extended
// expression contains: outside brackets and groups, not quantified, in a
// pattern without alternatives. Empty when there is none worth testing.
QByteArray requiredText(QByteArray const& pattern)
{
    if (pattern.contains('|'))
        return QByteArray();
    QByteArray best;
    QByteArray run;
    int depth = 0;
    auto endRun = [&] {
        if (run.size() > best.size())
            best = run;
        run.clear();
    };
    for (int i = 0; i < pattern.size(); ++i) {
        char const c = pattern.at(i);
        char const next = i + 1 < pattern.size() ? pattern.at(i + 1) : '\0';
        bool const quantified = next == '*' || next == '+' || next == '?' || next == '{';
        if (c == '[') {
            endRun();
            // Skip the bracket expression; "]" right after "[" or "[^" is
            // a member.
            int j = i + 1;
            if (j < pattern.size() && pattern.at(j) == '^')
                ++j;
            if (j < pattern.size() && pattern.at(j) == ']')
                ++j;
            while (j < pattern.size() && pattern.at(j) != ']')
                ++j;
            i = j;
            continue;
        }
        if (c == '(') {
            ++depth;
            endRun();
            continue;
        }
        if (c == ')') {
            --depth;
            endRun();
            continue;
        }
        if (depth > 0 || std::strchr("\\^$.*+?{}", c)) {
            endRun();
            if (c == '{') {
                while (i < pattern.size() && pattern.at(i) != '}')
                    ++i;
            }
            continue;
        }
        if (quantified) {
            // "ab*": the b may be absent, the a is not.
            endRun();
            continue;
        }
        run += c;
    }
    endRun();
    return best.size() >= 2 ? best : QByteArray();
}

} // namespace

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
    if (model)
        model->setInstalledShown(stateFilter == ViewRemovable);
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
    // View Removable shows what a removal takes away.
    if (model)
        model->setInstalledShown(stateFilter == ViewRemovable);
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
    required = regexStatus == 0 && !isLiteral ? requiredText(bytes) : QByteArray();

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
    if (!required.isEmpty()
        && !memmem(
            text.constData(), size_t(text.size()), required.constData(), size_t(required.size())))
        return false;
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
    Package::Entry const& shown = model ? model->shownEntry(entry) : entry;
    for (QString const* text :
        {&shown.name, &shown.verRel, &shown.repo, &shown.arch, &shown.size, &shown.summary}) {
        if (matches(*text))
            return true;
    }
    return anyMatches(descriptionFields) || matches(shown.buildTime) || anyMatches(laterFields);
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
