// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/SearchPattern.h"
#include "packagetable/PackageTable.h"
#include "widgets/HSortFilterProxyModel.h"

#include <QByteArray>
#include <QSet>
#include <QString>

#include <array>
#include <vector>

class YumIO;

namespace Package {
struct Entry;
}

namespace PackageTable {

class Model;

// Decides which entries the table shows (by state, by kind and by a POSIX
// extended expression over the visible texts or over every field of a
// package) and orders them. Answers are cached per entry until they can
// change.
class SortFilterProxyModel : public HSortFilterProxyModel
{
public:
    SortFilterProxyModel(
        StateFilter stateFilter, bool groupsFilter, YumIO* yumIO, QObject* parent = nullptr);
    ~SortFilterProxyModel() override;

    void setSourceModel(Model* model);

    void setMode(Mode mode);
    void setStateFilter(StateFilter stateFilter);
    void setGroupsFilter(bool groupsFilter);
    void setFilter(bool on);
    bool getFilter() const { return filterOn; }
    void setFilterRegExp(QString const& pattern);

    Mode getMode() const { return mode; }
    // The pattern in use, stripped of leading and trailing ".*".
    QString const& filterPattern() const { return pattern.text(); }
    // Why the pattern did not compile (then nothing is hidden by it); empty
    // for a valid pattern.
    QString patternError() const;

    // Whether patterns match letters of either case. The pattern carries
    // the flag (SearchPattern), so every matcher of the Filter and Search
    // modes, the direct Search of the package data included, reads it.
    void setIgnoreCase(bool ignore);
    bool ignoresCase() const { return ignoreCase; }

    // The Provides mode: the names of the packages that provide what the
    // pattern names, as the package manager found them; with active false
    // nothing is hidden by it.
    void setProviders(bool active, QSet<QString> const& names);
    bool providersActive() const { return providersOn; }

    bool matches(QString const& text) const { return pattern.matches(text); }
    bool matches(QByteArray const& text) const { return pattern.matches(text); }

protected:
    bool filterAcceptsRow(int sourceRow, QModelIndex const& sourceParent) const override;
    bool acceptRow(Package::Entry* entry, int sourceRow, QModelIndex const& sourceParent) const;
    bool lessThan(QModelIndex const& left, QModelIndex const& right) const override;

private:
    bool passes(Package::Entry const& entry) const;
    bool ownFieldsMatch(Package::Entry const& entry) const;
    bool detailsMatch(Package::Entry const& entry) const;
    void searchAll() const;
    void emptyCache() const;
    // Drops the answers of an older collection and sizes the caches to the
    // rows.
    void syncCache() const;
    bool passNeeded() const { return filterOn && model && mode == Search && !pattern.isEmpty(); }
    // Search mode: fills every answer not known yet by a pass over the
    // engine, which may run a worker and wait for it in an event loop. Runs
    // from the setters, before the rows are filtered again, and from a queued
    // call, never while rows are mapped (that happens inside a paint or a
    // rowCount()). True when it filled some.
    bool refill();
    void scheduleRefill() const;
    std::vector<int> const& rankOf(int column) const;

    Mode mode = Filter;
    bool filterOn = true;
    StateFilter stateFilter;
    bool groupsFilter;
    YumIO* yumIO;
    Model* model = nullptr;

    // Accepted rows of the current collection: 0 not known yet, 1 rejected,
    // 2 accepted. Indexed by source row, which is the entry's place in the
    // engine's list for as long as the collection lasts.
    mutable std::vector<signed char> acceptCache;
    mutable unsigned cacheGeneration = 0;
    // Counts the emptyings of acceptCache.
    mutable unsigned cacheEpoch = 0;
    // Whether the details of a row's package match the pattern (Search
    // mode): -1 not known yet, 0 no, 1 yes. Kept for the pattern and the
    // collection, across state and groups filters.
    mutable std::vector<signed char> detailFound;
    // A pass is running (refill()); one is queued.
    bool inPass = false;
    mutable bool refillQueued = false;

    // Sort ranks of the current collection, by source row: a row's place in
    // the order of a column (ties broken by name; rows equal in both share a
    // rank). Comparing two ranks is all a sort then needs. The Action column
    // changes under the user's hands and is compared live.
    mutable std::array<std::vector<int>, ColumnCount> ranks;
    mutable unsigned rankGeneration = 0;

    SearchPattern pattern;
    bool ignoreCase = false;

    bool providersOn = false;
    QSet<QString> providerNames;
};

} // namespace PackageTable
