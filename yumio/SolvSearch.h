// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>

#include <vector>

class SearchPattern;
struct s_Pool;

namespace Package {
struct Entry;
}

// A Search over the detail fields of many packages at once, in C: the texts
// the engine's detail getters give (YumIODetails.cpp), byte for byte, built
// straight from the package manager's own data and matched with the same
// pattern. What the getters read through dnf comes from the libsolv pool
// that dnf's sack holds; what they read from an installed package's header
// comes from the same headers of the rpm database under installRoot.
namespace SolvSearch {

// For each of entries (packages and suites): 1 when one of the fields the
// getters give for a Search (description, group, vendor, install time,
// binary and source RPM, licence, packager, URL, relocations, the four
// dependency lists, files, change log) matches pattern, 0 when none does,
// -1 when the entry was not found in the data or a text would not come out
// the same (it is then left to the getters). The pool is read, never
// changed, except for libsolv's own scratch space: the caller keeps every
// other user of the pool out meanwhile.
void search(s_Pool* pool, QByteArray const& installRoot, SearchPattern const& pattern,
    std::vector<Package::Entry const*> const& entries, std::vector<signed char>& found);

} // namespace SolvSearch
