// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>

#include <memory>
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

// What the Searches over one collection keep of the packages' fields, so
// that a new pattern does not read and decode the package manager's data
// again: for each entry searched once, where its package is and every text
// of its fields, compressed in blocks. A pattern with a needle (text every
// match holds) is looked for in these texts first, and only the packages
// that hold it are read again and matched field by field. It holds entries
// by address and the pool's repository data: the owner empties it whenever
// the entries or the package manager's data may have changed.
class Corpus
{
public:
    Corpus();
    ~Corpus();
    Corpus(Corpus const&) = delete;
    Corpus& operator=(Corpus const&) = delete;

    void clear();
    // The compressed texts' size, in bytes, and the number of entries held.
    std::size_t size() const;
    std::size_t entries() const;

    struct Data;

private:
    std::unique_ptr<Data> data;
    friend void search(s_Pool*, QByteArray const&, SearchPattern const&,
        std::vector<Package::Entry const*> const&, std::vector<signed char>&, Corpus&);
};

// For each of entries (packages and suites): 1 when one of the fields the
// getters give for a Search (description, group, vendor, install time,
// binary and source RPM, licence, packager, URL, relocations, the four
// dependency lists, files, change log) matches pattern, 0 when none does,
// -1 when the entry was not found in the data or a text would not come out
// the same (it is then left to the getters). The pool is read, never
// changed, except for libsolv's own scratch space: the caller keeps every
// other user of the pool out meanwhile. The entries' texts not in corpus
// yet are added to it.
void search(s_Pool* pool, QByteArray const& installRoot, SearchPattern const& pattern,
    std::vector<Package::Entry const*> const& entries, std::vector<signed char>& found,
    Corpus& corpus);

} // namespace SolvSearch
