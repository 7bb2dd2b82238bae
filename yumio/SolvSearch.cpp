// SPDX-License-Identifier: GPL-2.0-or-later
#include "yumio/SolvSearch.h"

#include "base/SearchPattern.h"
#include "yumio/Package.h"
#include "yumio/PackedTexts.h"
#include "yumio/YumIO.h"

#include <solv/dataiterator.h>
#include <solv/knownid.h>
#include <solv/pool.h>
#include <solv/poolid.h>
#include <solv/repo.h>
#include <solv/repodata.h>
#include <solv/solvable.h>

#include <rpm/header.h>
#include <rpm/rpmdb.h>
#include <rpm/rpmtag.h>
#include <rpm/rpmtd.h>
#include <rpm/rpmts.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace {

enum Outcome : signed char { Unknown = -1, NoMatch = 0, Match = 1 };

// Several fields: a match in any of them decides; a field that cannot be
// told leaves the package to the getters unless another one matches.
Outcome operator|(Outcome a, Outcome b)
{
    if (a == Match || b == Match)
        return Match;
    return a == Unknown || b == Unknown ? Unknown : NoMatch;
}

// Whether a package's gathered texts hold the needle; where they cannot be
// read as gathered, its fields are matched one by one.
enum class Holds : char { No, Yes, Unsure };

// What the getters' QString would make of a text. Valid UTF-8 comes out of
// the conversions as the same bytes. Characters beyond U+FFFF are surrogate
// pairs in a QString and sort below U+E000..U+FFFF there, unlike in bytes.
enum class Encoding { Plain, Astral, Invalid };

Encoding encodingOf(char const* text, std::size_t size)
{
    auto const* s = reinterpret_cast<unsigned char const*>(text);
    std::size_t i = 0;
    bool astral = false;
    while (i < size) {
        // Most text is ASCII: eight bytes at a time.
        while (i + 8 <= size) {
            std::uint64_t word;
            std::memcpy(&word, s + i, 8);
            if (word & 0x8080808080808080ull)
                break;
            i += 8;
        }
        if (i >= size)
            break;
        unsigned char const c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int more = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xbf;
        if (c >= 0xc2 && c <= 0xdf) {
            more = 1;
        } else if (c >= 0xe0 && c <= 0xef) {
            more = 2;
            if (c == 0xe0)
                low = 0xa0;
            else if (c == 0xed)
                high = 0x9f;
        } else if (c >= 0xf0 && c <= 0xf4) {
            more = 3;
            astral = true;
            if (c == 0xf0)
                low = 0x90;
            else if (c == 0xf4)
                high = 0x8f;
        } else {
            return Encoding::Invalid;
        }
        if (i + std::size_t(more) >= size)
            return Encoding::Invalid;
        if (s[i + 1] < low || s[i + 1] > high)
            return Encoding::Invalid;
        for (int k = 2; k <= more; ++k) {
            if (s[i + std::size_t(k)] < 0x80 || s[i + std::size_t(k)] > 0xbf)
                return Encoding::Invalid;
        }
        i += std::size_t(more) + 1;
    }
    return astral ? Encoding::Astral : Encoding::Plain;
}

// Python's whitespace (str.isspace, what \s and \S of its regular
// expressions use) among the code points outside ASCII.
bool pythonSpace(char32_t c)
{
    return c == 0x85 || c == 0xa0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200a) || c == 0x2028
        || c == 0x2029 || c == 0x202f || c == 0x205f || c == 0x3000;
}

// Whether text (valid UTF-8) holds no Python whitespace, as \S+ needs.
bool noSpace(std::string_view text)
{
    auto const* s = reinterpret_cast<unsigned char const*>(text.data());
    std::size_t i = 0;
    while (i < text.size()) {
        unsigned char const c = s[i];
        if (c < 0x80) {
            if (c == ' ' || (c >= 0x09 && c <= 0x0d) || (c >= 0x1c && c <= 0x1f))
                return false;
            ++i;
            continue;
        }
        int const more = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : 1;
        char32_t code = c & (0x3f >> more);
        for (int k = 1; k <= more && i + std::size_t(k) < text.size(); ++k)
            code = (code << 6) | (s[i + std::size_t(k)] & 0x3f);
        if (pythonSpace(code))
            return false;
        i += std::size_t(more) + 1;
    }
    return true;
}

// A dependency of a repository package as the getters show it: the script
// splits "NAME OP EVR" (a match of ^(\S+) (<=|>=|=|<|>) (\S+)$) into name,
// flag and (epoch, version, release), and the engine joins them again,
// leaving out an epoch "0" and everything after the name when there is no
// version. Any other text is shown as it is.
void appendDependency(std::string& out, std::string_view text)
{
    std::string_view body = text;
    if (!body.empty() && body.back() == '\n') // $ also matches before a final newline
        body.remove_suffix(1);
    std::size_t const first = body.find(' ');
    std::size_t const second = first == std::string_view::npos ? first : body.find(' ', first + 1);
    std::string_view const name = body.substr(0, first);
    std::string_view const op = second == std::string_view::npos
        ? std::string_view()
        : body.substr(first + 1, second - first - 1);
    std::string_view const evr
        = second == std::string_view::npos ? std::string_view() : body.substr(second + 1);
    bool const split = !name.empty() && !evr.empty()
        && (op == "<=" || op == ">=" || op == "=" || op == "<" || op == ">") && noSpace(name)
        && noSpace(evr);
    if (!split) {
        out.append(text);
        return;
    }
    out.append(name);
    std::size_t const colon = evr.find(':');
    std::string_view epoch = colon == std::string_view::npos ? "0" : evr.substr(0, colon);
    std::string_view const rest = colon == std::string_view::npos ? evr : evr.substr(colon + 1);
    std::size_t const dash = rest.find('-');
    std::string_view const version = rest.substr(0, dash);
    std::string_view const release
        = dash == std::string_view::npos ? std::string_view() : rest.substr(dash + 1);
    if (epoch.empty())
        epoch = "0";
    if (version.empty())
        return;
    out += ' ';
    out.append(op);
    out += ' ';
    if (epoch != "0") {
        out.append(epoch);
        out += ':';
    }
    out.append(version);
    if (!release.empty()) {
        out += '-';
        out.append(release);
    }
}

// The operator of an installed package's dependency flags, as the engine
// writes it.
void appendSense(std::string& out, std::uint32_t flags)
{
    if (flags & 2)
        out += '<';
    if (flags & 4)
        out += '>';
    if (flags & 8)
        out += '=';
}

// The lines of a list field, gathered in one buffer ("\n" after each) in
// the order they come; sorted (and made unique) only when the pattern
// needs the joined text.
class Lines
{
public:
    void clear()
    {
        buffer.clear();
        spans.clear();
    }
    std::string& begin() { return buffer; } // append a line's text, then end()
    void end()
    {
        std::size_t const start = spans.empty() ? 0 : spans.back().first + spans.back().second + 1;
        spans.emplace_back(start, buffer.size() - start);
        buffer += '\n';
    }
    std::string const& all() const { return buffer; }
    std::size_t count() const { return spans.size(); }

    // The lines sorted (as the engine's makeSorted, or makeSortedUniq),
    // joined by newlines.
    void join(std::string& text, bool unique)
    {
        views.clear();
        for (auto const& span : spans)
            views.emplace_back(buffer.data() + span.first, span.second);
        std::sort(views.begin(), views.end());
        if (unique)
            views.erase(std::unique(views.begin(), views.end()), views.end());
        text.clear();
        for (std::string_view const& view : views) {
            if (&view != &views.front())
                text += '\n';
            text.append(view);
        }
    }

private:
    std::string buffer;
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    std::vector<std::string_view> views;
};

// The directories of one repodata's file lists, as repodata_dir2str spells
// them (libsolv finds a directory's parent by walking back over its
// siblings, which costs most of a file list's time in wide directories such
// as /usr/share/doc; here a pass over the pool finds every parent). What a
// needle takes of a directory (whether the needle is in it, how its end
// begins the needle, its encoding) comes from its parent's and its own
// name's, without spelling its path; a path is spelled (each directory
// once) only for a file list that is put together.
// Bytes as a pattern that ignores case compares them: each as the C
// library's tolower() gives it, as strcasestr() does.
class Folding
{
public:
    Folding()
    {
        for (int c = 0; c < 256; ++c)
            table[c] = char(std::tolower(c));
    }

    // text folded, in scratch.
    std::string_view operator()(std::string_view text, std::string& scratch) const
    {
        scratch.resize(text.size());
        for (std::size_t i = 0; i < text.size(); ++i)
            scratch[i] = table[static_cast<unsigned char>(text[i])];
        return scratch;
    }

private:
    char table[256];
};

class Directories
{
public:
    // What the needle and the encoding take of a directory.
    struct State
    {
        // Bit k: the directory and its slash end with the first k bytes of
        // the needle (a needle under 64 bytes).
        std::uint64_t straddle = 0;
        bool known = false;
        bool hasNeedle = false;
        Encoding encoding = Encoding::Plain;
    };

    // With folding, the needle is folded and so are the names it is
    // looked for in.
    Directories(Pool* pool, Repodata* data, std::string_view needle, Folding const* folding)
        : pool(pool)
        , data(data)
        , needle(needle)
        , folding(folding)
    {
        Dirpool const& dirs = data->dirpool;
        parent.assign(std::size_t(std::max(dirs.ndirs, 0)), 0);
        Id block = 0;
        for (int did = 0; did < dirs.ndirs; ++did) {
            if (dirs.dirs[did] <= 0)
                block = -dirs.dirs[did];
            else
                parent[std::size_t(did)] = block;
        }
    }

    bool holds(Id did) const { return did > 0 && std::size_t(did) < parent.size(); }

    // A directory of this pool (holds(did)).
    State state(Id did)
    {
        if (marks.empty()) {
            marks.assign(parent.size(), 0);
            // Only a slash in the needle can reach over one.
            if (needle.find('/') != std::string_view::npos)
                straddles.assign(parent.size(), 0);
        }
        return marks[std::size_t(did)] & knownMark ? stored(did) : learn(did);
    }

    // The path of file base in directory did.
    void appendPath(std::string& out, Id did, char const* base)
    {
        if (holds(did)) {
            out.append(spelled(did));
            out += '/';
        }
        out.append(base ? base : "");
    }

    // Whether the path of file base (size bytes) in directory did holds the
    // needle: in the directory, in the base name, or over the slash between
    // them.
    bool pathHasNeedle(Id did, char const* base, std::size_t size)
    {
        return holds(did) ? joinHasNeedle(state(did), base, size) : contains(base, size);
    }

    // Whether a path in directory did holds the needle where one of the
    // names (each followed by a null byte, size bytes in all) alone does
    // not: in the directory, or over the slash.
    bool joinAdds(Id did, char const* names, std::size_t size)
    {
        if (!holds(did))
            return false;
        State const upper = state(did);
        if (upper.hasNeedle)
            return true;
        if (upper.straddle && folding)
            names = (*folding)(std::string_view(names, size), foldedNames).data();
        for (char const* name = names; upper.straddle && name < names + size;) {
            std::size_t const length = std::strlen(name);
            if (joinHasNeedle(upper, name, length))
                return true;
            name += length + 1;
        }
        return false;
    }

    // Whether joinAdds can be true for any directory: learns them all.
    bool anyJoinAdds()
    {
        for (Id did = 1; did < Id(parent.size()); ++did) {
            if (data->dirpool.dirs[did] <= 0) // a block's parent, not a directory
                continue;
            State const known = state(did);
            if (known.hasNeedle || known.straddle)
                return true;
        }
        return false;
    }

    bool contains(char const* text, std::size_t size) const
    {
        std::size_t const m = needle.size();
        if (size < m)
            return false;
        char const* const last = text + (size - m) + 1;
        for (char const* p = text;
             (p = static_cast<char const*>(std::memchr(p, needle[0], std::size_t(last - p))));
             ++p) {
            if (std::memcmp(p + 1, needle.data() + 1, m - 1) == 0)
                return true;
        }
        return false;
    }

private:
    char const* component(Id did) const
    {
        Id const comp = data->dirpool.dirs[did];
        return stringpool_id2str(data->localpool ? &data->spool : &pool->ss, comp);
    }

    // Whether upper + "/" + name holds the needle.
    bool joinHasNeedle(State const& upper, char const* name, std::size_t size) const
    {
        if (upper.hasNeedle)
            return true;
        for (std::uint64_t rest = upper.straddle; rest; rest &= rest - 1) {
            std::size_t const k = std::size_t(__builtin_ctzll(rest));
            std::size_t const tail = needle.size() - k;
            if (size >= tail && std::memcmp(name, needle.data() + k, tail) == 0)
                return true;
        }
        return contains(name, size);
    }

    // A directory's state, held in a byte (and its straddle where the needle
    // has a slash): there are hundreds of thousands of directories.
    static constexpr std::uint8_t knownMark = 1;
    static constexpr std::uint8_t needleMark = 2;

    State stored(Id did) const
    {
        std::uint8_t const mark = marks[std::size_t(did)];
        State known;
        known.known = mark & knownMark;
        known.hasNeedle = mark & needleMark;
        known.encoding = Encoding(mark >> 2);
        known.straddle = straddles.empty() ? 0 : straddles[std::size_t(did)];
        return known;
    }

    void store(Id did, State const& known)
    {
        marks[std::size_t(did)] = std::uint8_t(
            knownMark | (known.hasNeedle ? needleMark : 0) | (std::uint8_t(known.encoding) << 2));
        if (!straddles.empty())
            straddles[std::size_t(did)] = known.straddle;
    }

    State learn(Id did)
    {
        // The directories not known yet on the way up, learnt top down.
        chain.clear();
        for (Id d = did; d > 0 && !(marks[std::size_t(d)] & knownMark); d = parent[std::size_t(d)])
            chain.push_back(d);
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            Id const up = parent[std::size_t(*it)];
            char const* name = component(*it);
            std::size_t const size = std::strlen(name);
            if (folding)
                name = (*folding)(std::string_view(name, size), foldedName).data();
            State made;
            made.known = true;
            made.encoding = encodingOf(name, size);
            // The top directory's path is its name.
            State const upper = up > 0 ? stored(up) : State();
            made.encoding = std::max(made.encoding, upper.encoding);
            made.hasNeedle = !needle.empty()
                && (up > 0 ? joinHasNeedle(upper, name, size) : contains(name, size));
            // Bit k: the needle's first k - 1 bytes end the path and its
            // k-th byte is the slash after it. Those bytes lie in the name,
            // or reach over the slash before it into the parent's end.
            for (std::size_t k = 1; k <= needle.size() && k < 64; ++k) {
                if (needle[k - 1] != '/')
                    continue;
                std::size_t const j = k - 1;
                bool ends = false;
                if (j <= size)
                    ends = std::memcmp(name + size - j, needle.data(), j) == 0;
                else if (up > 0 && (upper.straddle >> (j - size)) & 1)
                    ends = std::memcmp(name, needle.data() + (j - size), size) == 0;
                if (ends)
                    made.straddle |= std::uint64_t(1) << k;
            }
            store(*it, made);
        }
        return stored(did);
    }

    std::string_view spelled(Id did)
    {
        if (spellings.empty())
            spellings.assign(parent.size(), Spelling());
        // The paths spelled are kept while they are few: a file list of
        // deep per-package trees would otherwise keep a path of every
        // directory of the repository for the whole Search.
        if (text.size() > spelledLimit) {
            text.clear();
            ++round;
        }
        if (spellings[std::size_t(did)].round != round)
            spell(did);
        Spelling const& found = spellings[std::size_t(did)];
        return std::string_view(text.data() + found.offset, found.length);
    }

    void spell(Id did)
    {
        chain.clear();
        for (Id d = did; d > 0 && spellings[std::size_t(d)].round != round;
             d = parent[std::size_t(d)])
            chain.push_back(d);
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            Id const up = parent[std::size_t(*it)];
            std::size_t const offset = text.size();
            if (up > 0) {
                Spelling const upper = spellings[std::size_t(up)];
                text.append(text, upper.offset, upper.length); // a part of itself: allowed
                text += '/';
            }
            text.append(component(*it));
            spellings[std::size_t(*it)]
                = {std::uint32_t(offset), std::uint32_t(text.size() - offset), round};
        }
    }

    Pool* pool;
    Repodata* data;
    std::string_view needle;
    Folding const* folding;
    std::string foldedName;
    std::string foldedNames;
    std::vector<Id> parent;
    std::vector<std::uint8_t> marks; // knownMark, needleMark, the encoding
    std::vector<std::uint64_t> straddles;
    struct Spelling
    {
        std::uint32_t offset = 0; // in text
        std::uint32_t length = 0;
        std::uint32_t round = 0; // spelled in this round of text
    };
    static constexpr std::size_t spelledLimit = std::size_t(4) << 20;
    std::vector<Spelling> spellings;
    std::uint32_t round = 1;
    std::string text;
    std::vector<Id> chain;
};

// Days from 1970-01-01 to the date (proleptic Gregorian calendar).
long daysFromCivil(long year, unsigned month, unsigned day)
{
    year -= month <= 2;
    long const era = (year >= 0 ? year : year - 399) / 400;
    unsigned const yoe = unsigned(year - era * 400);
    unsigned const doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    unsigned const doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + long(doe) - 719468;
}

Id const dependencyKeys[]
    = {SOLVABLE_PROVIDES, SOLVABLE_REQUIRES, SOLVABLE_CONFLICTS, SOLVABLE_OBSOLETES};

class Search
{
public:
    Search(Pool* pool, SearchPattern const& pattern)
        : pool(pool)
        , pattern(pattern)
        , matchesEmpty(pattern.matches("", 0))
    {
        queue_init(&queue);
        QByteArray const& needle = pattern.needle();
        // A needle without a newline is in the joined lines exactly when it
        // is in one of the lines.
        if (!needle.isEmpty() && !needle.contains('\n'))
            lineNeedle = std::string_view(needle.constData(), std::size_t(needle.size()));
        QByteArray const& literal = pattern.literalText();
        if (pattern.isCaselessLiteral() && !literal.isEmpty() && !literal.contains('\n')) {
            folds = true;
            folding(
                std::string_view(literal.constData(), std::size_t(literal.size())), foldedNeedle);
        }
    }
    ~Search() { queue_free(&queue); }
    Search(Search const&) = delete;
    Search& operator=(Search const&) = delete;

    Outcome repositoryPackage(Id p);
    Outcome poolFields(Solvable* s);
    Outcome headerFields(Header header);

    // A needle that the texts of a corpus can be searched for, or empty;
    // where the pattern ignores case, the texts are to be folded (folded())
    // first. Whether a text that holds it matches.
    std::string_view corpusNeedle() const
    {
        std::string_view const needle = folds ? foldedNeedle : lineNeedle;
        return needle.size() < 64 ? needle : "";
    }
    std::string_view folded(std::string_view text, std::string& scratch) const
    {
        return folds ? folding(text, scratch) : text;
    }
    bool needleDecides() const { return folds || pattern.needleDecides(); }
    // Every text a package's fields give, each followed by a null byte,
    // appended to texts; the files of a package in a repository as runs of
    // names by directory, appended to files. Whether all of it is UTF-8
    // without characters beyond U+FFFF, which the pattern sees as the same
    // bytes.
    // The runs name their repository data by its index in datas, which
    // gains the data not there yet.
    bool gatherRepository(
        Id p, std::string& texts, std::string& files, std::vector<Repodata*>& datas);
    bool gatherInstalled(Header header, Id p, std::string& texts);
    // Whether the needle is in a path of the runs of files, where it is in
    // none of their names; the runs name their repository data in datas.
    Holds runsHoldNeedle(std::string_view files, std::vector<Repodata*> const& datas);
    // Whether a path in one of datas can hold the needle where the names
    // alone do not.
    bool directoriesMatter(std::vector<Repodata*> const& datas);

private:
    void gatherPool(Solvable* s, std::string& out);
    template <typename Visit> void eachPoolField(Solvable* s, Visit&& visit);
    template <typename Visit> void eachFile(Id p, Visit&& visit);
    void fillDependencies(Solvable* s, Id key);
    void readChangeLog(Id p);
    void appendHeading(std::string& out, std::uint64_t when, std::string_view author);
    void fillHeaderDependencies(
        Header header, rpmTagVal namesTag, rpmTagVal flagsTag, rpmTagVal versionsTag);
    void fillHeaderFiles(Header header);
    void fillHeaderChangeLog(Header header);
    void fillInstallTime(Header header);
    void fillPrefixes(Header header);
    Directories& directoriesOf(Repodata* data);

    Outcome matchText(std::string const& text) const;
    Outcome matchLines(Lines& lines, bool unique);
    Outcome simple(char const* value);
    Outcome dependencies(Solvable* s, Id key);
    Outcome files(Id p);
    Outcome changeLog(Id p);
    std::string const& date(long seconds);
    long localDay(std::uint64_t when);
    Outcome headerDependencies(Header header, rpmTagVal names, rpmTagVal flags, rpmTagVal versions);
    Outcome headerFiles(Header header);
    Outcome headerChangeLog(Header header);

    Pool* pool;
    SearchPattern const& pattern;
    bool matchesEmpty;
    std::string_view lineNeedle;
    bool folds = false; // a plain pattern ignoring case
    Folding folding;
    std::string foldedNeedle;
    std::string text;
    struct Record
    {
        std::uint64_t when = 0;
        std::pair<std::size_t, std::size_t> author {0, 0}; // in recordText
        std::pair<std::size_t, std::size_t> text {0, 0};
        bool hasAuthor = false;
    };
    std::vector<Record> records;
    std::string recordText;
    std::string heading; // of one change-log record
    Lines lines;
    std::string runNames; // of a run of files being gathered
    Queue queue;
    std::unordered_map<Repodata*, std::unique_ptr<Directories>> directories;
    std::unordered_map<long, std::string> dates;
    std::vector<std::string> days;
    struct DayCache
    {
        std::uint64_t when;
        long day;
        bool valid;
    };
    DayCache dayCache[4096] = {};
};

Outcome Search::matchText(std::string const& text) const
{
    if (encodingOf(text.data(), text.size()) == Encoding::Invalid)
        return Unknown;
    return pattern.matches(text.c_str(), text.size()) ? Match : NoMatch;
}

Outcome Search::matchLines(Lines& lines, bool unique)
{
    std::string const& all = lines.all();
    Encoding const encoding = encodingOf(all.data(), all.size());
    if (encoding == Encoding::Invalid || (encoding == Encoding::Astral && lines.count() > 1))
        return Unknown;
    if (!lineNeedle.empty()) {
        if (!memmem(all.data(), all.size(), lineNeedle.data(), lineNeedle.size()))
            return NoMatch;
        if (pattern.needleDecides())
            return Match;
    }
    lines.join(text, unique);
    return pattern.matches(text.c_str(), text.size()) ? Match : NoMatch;
}

// A simple field (YumIO::simpleString): nothing for a missing value, and
// without trailing newlines.
std::string_view simpleText(char const* value)
{
    std::string_view text(value ? value : "");
    while (!text.empty() && text.back() == '\n')
        text.remove_suffix(1);
    return text;
}

Outcome Search::simple(char const* value)
{
    text.assign(simpleText(value));
    return matchText(text);
}

// What both kinds of package read through dnf: description, group, vendor,
// location, source package, licence, packager, URL.
template <typename Visit> void Search::eachPoolField(Solvable* s, Visit&& visit)
{
    static Id const keys[] = {SOLVABLE_DESCRIPTION, SOLVABLE_GROUP, SOLVABLE_VENDOR,
        SOLVABLE_LICENSE, SOLVABLE_PACKAGER, SOLVABLE_URL};
    for (Id key : keys) {
        if (!visit(solvable_lookup_str(s, key)))
            return;
    }
    if (visit(solvable_lookup_location(s, nullptr)))
        visit(solvable_lookup_sourcepkg(s));
}

Outcome Search::poolFields(Solvable* s)
{
    Outcome outcome = NoMatch;
    eachPoolField(s, [&](char const* value) {
        outcome = outcome | simple(value);
        return outcome != Match;
    });
    return outcome;
}

void Search::gatherPool(Solvable* s, std::string& out)
{
    eachPoolField(s, [&](char const* value) {
        out.append(simpleText(value));
        out += '\0';
        return true;
    });
}

// A dependency list as dnf gives it (before the marker: no pre-install
// requirements, no file provides), one dependency a line, sorted.
void Search::fillDependencies(Solvable* s, Id key)
{
    queue_empty(&queue);
    solvable_lookup_deparray(s, key, &queue, -1);
    lines.clear();
    for (int i = 0; i < queue.count; ++i) {
        appendDependency(lines.begin(), pool_dep2str(pool, queue.elements[i]));
        lines.end();
    }
}

Outcome Search::dependencies(Solvable* s, Id key)
{
    fillDependencies(s, key);
    return matchLines(lines, false);
}

Directories& Search::directoriesOf(Repodata* data)
{
    std::unique_ptr<Directories>& made = directories[data];
    if (!made)
        made
            = std::make_unique<Directories>(pool, data, corpusNeedle(), folds ? &folding : nullptr);
    return *made;
}

// Each file of the package's file list: visit(directories, repodata,
// directory, base name).
template <typename Visit> void Search::eachFile(Id p, Visit&& visit)
{
    Dataiterator di;
    dataiterator_init(&di, pool, nullptr, p, SOLVABLE_FILELIST, nullptr, 0);
    Repodata* lastData = nullptr;
    Directories* dirs = nullptr;
    while (dataiterator_step(&di)) {
        if (di.key->type != REPOKEY_TYPE_DIRSTRARRAY)
            continue;
        if (di.data != lastData) {
            lastData = di.data;
            dirs = &directoriesOf(di.data);
        }
        visit(*dirs, di.data, di.kv.id, di.kv.str ? di.kv.str : "");
    }
    dataiterator_free(&di);
}

// The file list as dnf gives it (the complete list where the repository
// has one), sorted, without repeats. Where the needle decides, or shows that
// nothing can match, the paths are not put together at all.
Outcome Search::files(Id p)
{
    auto each = [this, p](auto const& visit) {
        eachFile(p, [&visit](Directories& dirs, Repodata*, Id did, char const* base) {
            visit(dirs, did, base);
        });
    };
    if (!lineNeedle.empty() && lineNeedle.size() < 64) {
        bool found = false;
        Encoding encoding = Encoding::Plain;
        std::size_t count = 0;
        each([&](Directories& dirs, Id did, char const* base) {
            std::size_t const size = std::strlen(base);
            Encoding const inDir = dirs.holds(did) ? dirs.state(did).encoding : Encoding::Plain;
            found = found || dirs.pathHasNeedle(did, base, size);
            encoding = std::max({encoding, encodingOf(base, size), inDir});
            ++count;
        });
        if (encoding == Encoding::Invalid || (encoding == Encoding::Astral && count > 1))
            return Unknown;
        if (!found)
            return NoMatch;
        if (pattern.needleDecides())
            return Match;
    }
    lines.clear();
    each([this](Directories& dirs, Id did, char const* base) {
        dirs.appendPath(lines.begin(), did, base);
        lines.end();
    });
    return matchLines(lines, true);
}

// The local calendar day of a time, as days since 1970-01-01 (as Python's
// date.fromtimestamp() reads it). Records share their times: the last few
// thousand are kept.
long Search::localDay(std::uint64_t when)
{
    DayCache& cached = dayCache[(when * 0x9e3779b97f4a7c15ull) >> 52]; // 4096 slots
    if (cached.valid && cached.when == when)
        return cached.day;
    time_t const stamp = time_t(when);
    struct tm local;
    long day = 0;
    if (localtime_r(&stamp, &local))
        day = daysFromCivil(
            1900L + local.tm_year, unsigned(local.tm_mon + 1), unsigned(local.tm_mday));
    cached = {when, day, true};
    return day;
}

std::string const& Search::date(long seconds)
{
    // Records are dated by their day: the texts of the days since 1970 are
    // kept by day number, others by their time.
    long const day = seconds / 86400;
    bool const byDay = seconds % 86400 == 0 && day >= 0 && day < 40000;
    std::string& known = byDay
        ? (days.size() <= size_t(day) ? (days.resize(size_t(day) + 1), days[size_t(day)])
                                      : days[size_t(day)])
        : dates[seconds];
    if (known.empty())
        known = YumIO::dateFormat(seconds).toStdString();
    return known;
}

// The change log as dnf gives it: the records that have an author, in the
// reverse of their stored order (newest first, as libdnf turns them), each
// dated by the local calendar day of its time; in the engine's layout.
// (libdnf looks up the time and text of each author's record; one pass over
// the records reads the same.)
void Search::readChangeLog(Id p)
{
    records.clear();
    recordText.clear();
    Dataiterator di;
    dataiterator_init(
        &di, pool, pool->solvables[p].repo, p, SOLVABLE_CHANGELOG, nullptr, SEARCH_SUB);
    Record* open = nullptr;
    while (dataiterator_step(&di)) {
        Id const key = di.key->name;
        if (key == SOLVABLE_CHANGELOG) { // a record begins
            records.push_back(Record());
            open = &records.back();
            continue;
        }
        if (!open)
            continue;
        if (key == SOLVABLE_CHANGELOG_TIME) {
            open->when = SOLV_KV_NUM64(&di.kv);
        } else if (key == SOLVABLE_CHANGELOG_AUTHOR || key == SOLVABLE_CHANGELOG_TEXT) {
            char const* value = repodata_stringify(pool, di.data, di.key, &di.kv, di.flags);
            std::string_view const copied(value ? value : "");
            auto& span = key == SOLVABLE_CHANGELOG_AUTHOR ? open->author : open->text;
            span = {recordText.size(), copied.size()};
            recordText.append(copied);
            if (key == SOLVABLE_CHANGELOG_AUTHOR)
                open->hasAuthor = true;
        }
    }
    dataiterator_free(&di);
}

// A record's first line: "* DATE AUTHOR".
void Search::appendHeading(std::string& out, std::uint64_t when, std::string_view author)
{
    out += "* ";
    out += date(localDay(when) * 86400);
    out += ' ';
    out.append(author);
}

Outcome Search::changeLog(Id p)
{
    readChangeLog(p);
    // A needle without a newline lies within one line of the text, so
    // within a record's heading ("* DATE AUTHOR") or within its text: those
    // are looked through where they are, and the joined text is built only
    // when the needle is there and does not decide the match alone.
    if (!lineNeedle.empty()) {
        bool found = false;
        for (Record const& record : records) {
            if (!record.hasAuthor)
                continue;
            char const* author = recordText.data() + record.author.first;
            char const* body = recordText.data() + record.text.first;
            if (encodingOf(author, record.author.second) == Encoding::Invalid
                || encodingOf(body, record.text.second) == Encoding::Invalid)
                return Unknown;
            if (found)
                continue;
            heading.clear();
            appendHeading(heading, record.when, std::string_view(author, record.author.second));
            found = memmem(heading.data(), heading.size(), lineNeedle.data(), lineNeedle.size())
                || memmem(body, record.text.second, lineNeedle.data(), lineNeedle.size());
        }
        if (!found)
            return NoMatch;
        if (pattern.needleDecides())
            return Match;
    }
    text.clear();
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        if (!it->hasAuthor)
            continue;
        if (!text.empty())
            text += "\n\n";
        appendHeading(text, it->when,
            std::string_view(recordText.data() + it->author.first, it->author.second));
        text += '\n';
        text.append(recordText, it->text.first, it->text.second);
    }
    return matchText(text);
}

Outcome Search::repositoryPackage(Id p)
{
    // The install time and relocations: empty for a package that is not
    // installed.
    if (matchesEmpty)
        return Match;
    Solvable* s = pool->solvables + p;
    Outcome outcome = poolFields(s);
    for (Id key : dependencyKeys) {
        if (outcome == Match)
            return Match;
        outcome = outcome | dependencies(s, key);
    }
    // No install time or relocations: those come from installed headers.
    for (Outcome (Search::*field)(Id) : {&Search::changeLog, &Search::files}) {
        if (outcome == Match)
            return Match;
        outcome = outcome | (this->*field)(p);
    }
    return outcome;
}

// ---------------------------------------------------------------------------
// Installed packages: the fields the engine reads from the rpm header

// A tag's data, read in place; empty when the header lacks it.
class TagData
{
public:
    TagData(Header header, rpmTagVal tag)
        : data(rpmtdNew())
    {
        present = headerGet(header, tag, data, HEADERGET_MINMEM) != 0;
    }
    ~TagData() { rpmtdFree(data); }
    TagData(TagData const&) = delete;
    TagData& operator=(TagData const&) = delete;

    bool isPresent() const { return present; }
    std::size_t count() const { return present ? rpmtdCount(data) : 0; }
    char const* string(std::size_t i) const
    {
        if (i >= count() || rpmtdSetIndex(data, int(i)) < 0)
            return nullptr;
        return rpmtdGetString(data);
    }
    bool number(std::size_t i, std::uint32_t& value) const
    {
        if (i >= count() || rpmtdSetIndex(data, int(i)) < 0)
            return false;
        std::uint32_t const* found = rpmtdGetUint32(data);
        if (found)
            value = *found;
        return found != nullptr;
    }

private:
    rpmtd data;
    bool present = false;
};

void Search::fillHeaderDependencies(
    Header header, rpmTagVal namesTag, rpmTagVal flagsTag, rpmTagVal versionsTag)
{
    TagData const names(header, namesTag);
    TagData const flags(header, flagsTag);
    TagData const versions(header, versionsTag);
    lines.clear();
    for (std::size_t i = 0; i < names.count(); ++i) {
        std::string& line = lines.begin();
        char const* name = names.string(i);
        line += name ? name : "";
        std::uint32_t sense = 0;
        char const* version = versions.string(i);
        if (flags.number(i, sense) && version && *version) {
            line += ' ';
            appendSense(line, sense);
            line += ' ';
            line += version;
        }
        lines.end();
    }
}

Outcome Search::headerDependencies(
    Header header, rpmTagVal namesTag, rpmTagVal flagsTag, rpmTagVal versionsTag)
{
    fillHeaderDependencies(header, namesTag, flagsTag, versionsTag);
    return matchLines(lines, false);
}

void Search::fillHeaderFiles(Header header)
{
    TagData const bases(header, RPMTAG_BASENAMES);
    TagData const dirs(header, RPMTAG_DIRNAMES);
    TagData const indexes(header, RPMTAG_DIRINDEXES);
    lines.clear();
    for (std::size_t i = 0; i < bases.count(); ++i) {
        std::string& line = lines.begin();
        std::uint32_t index = 0;
        char const* dir = indexes.number(i, index) ? dirs.string(index) : nullptr;
        line += dir ? dir : "";
        char const* base = bases.string(i);
        line += base ? base : "";
        lines.end();
    }
}

Outcome Search::headerFiles(Header header)
{
    fillHeaderFiles(header);
    return matchLines(lines, true);
}

void Search::fillHeaderChangeLog(Header header)
{
    TagData const names(header, RPMTAG_CHANGELOGNAME);
    TagData const times(header, RPMTAG_CHANGELOGTIME);
    TagData const texts(header, RPMTAG_CHANGELOGTEXT);
    text.clear();
    for (std::size_t i = 0; i < names.count(); ++i) {
        std::uint32_t when = 0;
        times.number(i, when);
        if (i > 0)
            text += "\n\n";
        text += "* ";
        text += date(long(when));
        text += ' ';
        char const* name = names.string(i);
        text += name ? name : "";
        text += '\n';
        char const* record = texts.string(i);
        text += record ? record : "";
    }
}

Outcome Search::headerChangeLog(Header header)
{
    fillHeaderChangeLog(header);
    return matchText(text);
}

void Search::fillInstallTime(Header header)
{
    text.clear();
    if (headerIsEntry(header, RPMTAG_INSTALLTIME))
        text = YumIO::timeFormat(long(headerGetNumber(header, RPMTAG_INSTALLTIME))).toStdString();
}

void Search::fillPrefixes(Header header)
{
    TagData const prefixes(header, RPMTAG_PREFIXES);
    text.clear();
    for (std::size_t i = 0; i < prefixes.count(); ++i) {
        if (i > 0)
            text += '\n';
        char const* prefix = prefixes.string(i);
        text += prefix ? prefix : "";
    }
}

rpmTagVal const dependencyTags[][3]
    = {{RPMTAG_PROVIDENAME, RPMTAG_PROVIDEFLAGS, RPMTAG_PROVIDEVERSION},
        {RPMTAG_REQUIRENAME, RPMTAG_REQUIREFLAGS, RPMTAG_REQUIREVERSION},
        {RPMTAG_CONFLICTNAME, RPMTAG_CONFLICTFLAGS, RPMTAG_CONFLICTVERSION},
        {RPMTAG_OBSOLETENAME, RPMTAG_OBSOLETEFLAGS, RPMTAG_OBSOLETEVERSION}};

Outcome Search::headerFields(Header header)
{
    fillInstallTime(header);
    Outcome outcome = matchText(text);
    if (outcome == Match)
        return Match;
    fillPrefixes(header);
    outcome = outcome | matchText(text);
    for (auto const& tags : dependencyTags) {
        if (outcome == Match)
            return Match;
        outcome = outcome | headerDependencies(header, tags[0], tags[1], tags[2]);
    }
    if (outcome == Match)
        return Match;
    outcome = outcome | headerChangeLog(header);
    if (outcome == Match)
        return Match;
    return outcome | headerFiles(header);
}

// ---------------------------------------------------------------------------
// The texts kept between Searches

// A run of files in one directory: the repository data's index, the
// directory and the size of the names that follow (each with a null byte),
// as unsigned numbers of seven bits a byte.
void appendNumber(std::string& out, std::uint32_t value)
{
    while (value >= 0x80) {
        out += char(0x80 | (value & 0x7f));
        value >>= 7;
    }
    out += char(value);
}

bool readNumber(std::string_view in, std::size_t& at, std::uint32_t& value)
{
    value = 0;
    for (int shift = 0; shift < 35 && at < in.size(); shift += 7) {
        auto const byte = static_cast<unsigned char>(in[at++]);
        value |= std::uint32_t(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

bool Search::gatherRepository(
    Id p, std::string& texts, std::string& files, std::vector<Repodata*>& datas)
{
    std::size_t const start = texts.size();
    Solvable* s = pool->solvables + p;
    gatherPool(s, texts);
    for (Id key : dependencyKeys) {
        fillDependencies(s, key);
        texts += lines.all();
        texts += '\0';
    }
    readChangeLog(p);
    for (Record const& record : records) {
        if (!record.hasAuthor)
            continue;
        appendHeading(texts, record.when,
            std::string_view(recordText.data() + record.author.first, record.author.second));
        texts += '\0';
        texts.append(recordText, record.text.first, record.text.second);
        texts += '\0';
    }
    bool plain = encodingOf(texts.data() + start, texts.size() - start) == Encoding::Plain;
    Repodata* runData = nullptr;
    Id runDirectory = 0;
    std::string& names = runNames;
    auto endRun = [&] {
        if (!runData)
            return;
        plain = plain && encodingOf(names.data(), names.size()) == Encoding::Plain;
        auto const index
            = std::size_t(std::find(datas.begin(), datas.end(), runData) - datas.begin());
        if (index == datas.size())
            datas.push_back(runData);
        appendNumber(files, std::uint32_t(index));
        appendNumber(files, std::uint32_t(runDirectory));
        appendNumber(files, std::uint32_t(names.size()));
        files += names;
        names.clear();
    };
    eachFile(p, [&](Directories& dirs, Repodata* data, Id did, char const* base) {
        if (data != runData || did != runDirectory) {
            endRun();
            runData = data;
            runDirectory = did;
            if (dirs.holds(did) && dirs.state(did).encoding != Encoding::Plain)
                plain = false;
        }
        names.append(base, std::strlen(base) + 1); // with its null byte
    });
    endRun();
    return plain;
}

bool Search::gatherInstalled(Header header, Id p, std::string& texts)
{
    std::size_t const start = texts.size();
    auto add = [&texts](std::string const& field) {
        texts += field;
        texts += '\0';
    };
    fillInstallTime(header);
    add(text);
    fillPrefixes(header);
    add(text);
    for (auto const& tags : dependencyTags) {
        fillHeaderDependencies(header, tags[0], tags[1], tags[2]);
        add(lines.all());
    }
    fillHeaderChangeLog(header);
    add(text);
    fillHeaderFiles(header);
    add(lines.all());
    gatherPool(pool->solvables + p, texts);
    return encodingOf(texts.data() + start, texts.size() - start) == Encoding::Plain;
}

// The runs of files of one package, from their numbers; false at the end,
// or where the bytes are not what was gathered (unreadable).
struct Runs
{
    std::string_view files;
    std::size_t at = 0;
    bool unreadable = false;
    std::uint32_t data = 0;
    std::uint32_t directory = 0;
    std::size_t names = 0; // where the run's names begin
    std::uint32_t size = 0; // of its names, each with its null byte

    bool next()
    {
        if (at >= files.size())
            return false;
        unreadable = !readNumber(files, at, data) || !readNumber(files, at, directory)
            || !readNumber(files, at, size) || size > files.size() - at;
        names = at;
        at += size;
        return !unreadable;
    }
};

Holds namesHold(std::string_view files, std::string_view searched, std::string_view needle)
{
    Runs runs {files};
    while (runs.next()) {
        if (memmem(searched.data() + runs.names, runs.size, needle.data(), needle.size()))
            return Holds::Yes;
    }
    return runs.unreadable ? Holds::Unsure : Holds::No;
}

Holds Search::runsHoldNeedle(std::string_view files, std::vector<Repodata*> const& datas)
{
    Runs runs {files};
    while (runs.next()) {
        if (runs.data >= datas.size())
            return Holds::Unsure;
        if (directoriesOf(datas[runs.data])
                .joinAdds(Id(runs.directory), files.data() + runs.names, runs.size))
            return Holds::Yes;
    }
    return runs.unreadable ? Holds::Unsure : Holds::No;
}

bool Search::directoriesMatter(std::vector<Repodata*> const& datas)
{
    return std::any_of(datas.begin(), datas.end(),
        [this](Repodata* data) { return directoriesOf(data).anyJoinAdds(); });
}

// ---------------------------------------------------------------------------
// Finding the entries

// An entry's identity: installed or its repository, name, printVer(), arch;
// made in key, which the pool's tens of thousands of packages share.
std::string const& identity(std::string& key, bool installed, std::string_view repo,
    std::string_view name, std::string_view verRel, std::string_view arch)
{
    key.clear();
    if (installed)
        key += '\1';
    else
        key.append(repo);
    key += '\0';
    key.append(name);
    key += '\0';
    key.append(verRel);
    key += '\0';
    key.append(arch);
    return key;
}

// printVer() of a solvable's evr: "epoch:version-release", without an epoch
// of 0; empty when the evr has no release (the entry is then not looked for
// here).
std::string_view printVer(std::string_view evr, std::string& scratch)
{
    std::size_t digits = 0;
    while (digits < evr.size() && evr[digits] >= '0' && evr[digits] <= '9')
        ++digits;
    std::string_view rest = evr;
    bool zero = false;
    if (digits > 0 && digits < evr.size() && evr[digits] == ':') {
        zero = evr.find_first_not_of('0') >= digits;
        rest = evr.substr(digits + 1);
    } else if (digits == 0 && !evr.empty() && evr[0] == ':') {
        return std::string_view();
    }
    if (rest.find('-') == std::string_view::npos)
        return std::string_view();
    if (!zero)
        return evr;
    scratch.assign(rest);
    return scratch;
}

// The rpm database under installRoot, read without checking signatures.
rpmts openDatabase(QByteArray const& installRoot)
{
    rpmts ts = rpmtsCreate();
    rpmtsSetRootDir(ts, installRoot.isEmpty() ? "/" : installRoot.constData());
    rpmtsSetVSFlags(ts, rpmVSFlags(RPMVSF_MASK_NOSIGNATURES | RPMVSF_MASK_NODIGESTS));
    return ts;
}

std::string utf8(QString const& text)
{
    return text.toStdString();
}

} // namespace

namespace SolvSearch {

struct Corpus::Data
{
    // An entry held: where its package is, and where its texts are.
    struct Record
    {
        Id solvable = 0; // 0: not found, or found twice (the getters answer)
        unsigned header = 0; // an installed package's instance in the rpm database
        std::uint32_t textOffset = 0; // in its block of texts
        std::uint32_t textSize = 0;
        std::uint32_t fileOffset = 0; // in its block of files
        std::uint32_t fileSize = 0;
        bool plain = false; // all texts UTF-8 without characters beyond U+FFFF
    };

    // A record for entry, whose texts and files are appended next.
    Record& add(Package::Entry const* entry)
    {
        auto const r = std::uint32_t(records.size());
        recordOf[entry] = r;
        texts.begin(r);
        files.begin(r);
        records.emplace_back();
        Record& record = records.back();
        record.textOffset = std::uint32_t(texts.open().size());
        record.fileOffset = std::uint32_t(files.open().size());
        return record;
    }

    // After a record's texts and files: their sizes, look(record, texts,
    // files), and the blocks packed that are full.
    template <typename Look> void added(Record& record, Look const& look)
    {
        record.textSize = std::uint32_t(texts.open().size() - record.textOffset);
        record.fileSize = std::uint32_t(files.open().size() - record.fileOffset);
        auto const end = std::uint32_t(records.size());
        look(end - 1, std::string_view(texts.open()).substr(record.textOffset, record.textSize),
            std::string_view(files.open()).substr(record.fileOffset, record.fileSize));
        texts.close(end, false);
        files.close(end, false);
    }

    void closeAll()
    {
        auto const end = std::uint32_t(records.size());
        texts.close(end, true);
        files.close(end, true);
    }

    Pool* pool = nullptr;
    std::unordered_map<Package::Entry const*, std::uint32_t> recordOf;
    std::vector<Record> records;
    PackedTexts texts;
    PackedTexts files; // runs of files by directory
    std::vector<Repodata*> datas; // the runs of files name these
};

Corpus::Corpus()
    : data(std::make_unique<Data>())
{
}

Corpus::~Corpus() = default;

void Corpus::clear()
{
    data = std::make_unique<Data>();
}

std::size_t Corpus::size() const
{
    return data->texts.size() + data->files.size();
}

std::size_t Corpus::entries() const
{
    return data->records.size();
}

namespace {

// Finds the packages of entries[missing...] and gathers their texts into
// held, a record for each (one not found has no solvable); look(record,
// texts, files) sees each record's texts before they are packed.
template <typename Look>
void gather(Pool* pool, QByteArray const& installRoot,
    std::vector<Package::Entry const*> const& entries, std::vector<std::size_t> const& missing,
    Search& search, Corpus::Data& held, Look const& look)
{
    // The entries looked for, by identity; an identity found twice (in the
    // entries, the pool or the database) is left to the getters.
    constexpr std::size_t ambiguous = std::size_t(-1);
    std::unordered_map<std::string, std::size_t> wanted;
    wanted.reserve(missing.size());
    std::string key;
    bool anyInstalled = false;
    for (std::size_t const i : missing) {
        Package::Entry const* entry = entries[i];
        if (entry->kind != Package::Package && entry->kind != Package::Suite)
            continue;
        bool const installed = entry->state == Package::Installed;
        anyInstalled = anyInstalled || installed;
        auto const [it, added]
            = wanted.emplace(identity(key, installed, utf8(entry->repo), utf8(entry->name),
                                 utf8(entry->verRel), utf8(entry->arch)),
                i);
        if (!added)
            it->second = ambiguous;
    }

    // Each entry's solvable.
    std::unordered_map<std::size_t, Id> solvableOf;
    std::string scratch;
    Id repoid;
    Repo* repo;
    FOR_REPOS(repoid, repo)
    {
        bool const installed = repo == pool->installed;
        Id p;
        Solvable* s;
        FOR_REPO_SOLVABLES(repo, p, s)
        {
            char const* evrText = pool_id2str(pool, s->evr);
            std::string_view const verRel = printVer(evrText ? evrText : "", scratch);
            if (verRel.empty())
                continue;
            auto const it = wanted.find(identity(key, installed, repo->name ? repo->name : "",
                pool_id2str(pool, s->name), verRel, pool_id2str(pool, s->arch)));
            if (it == wanted.end() || it->second == ambiguous)
                continue;
            auto const [known, added] = solvableOf.emplace(it->second, p);
            if (!added) {
                known->second = 0;
                it->second = ambiguous;
            }
        }
    }

    // In the pool's order: file lists and change logs are kept in
    // compressed pages, read in the order they are stored.
    std::vector<std::pair<Id, std::size_t>> repository; // (solvable, entry)
    for (auto const& [i, p] : solvableOf) {
        if (p != 0 && entries[i]->state != Package::Installed)
            repository.emplace_back(p, i);
    }
    std::sort(repository.begin(), repository.end());
    for (auto const& [p, i] : repository) {
        Corpus::Data::Record& record = held.add(entries[i]);
        record.solvable = p;
        record.plain = search.gatherRepository(p, held.texts.open(), held.files.open(), held.datas);
        held.added(record, look);
    }

    if (anyInstalled) {
        // Installed packages: their headers in the rpm database, found by
        // the same identity as the script's adapters find them.
        rpmts ts = openDatabase(installRoot);
        rpmdbMatchIterator iterator = rpmtsInitIterator(ts, RPMDBI_PACKAGES, nullptr, 0);
        while (Header header = iterator ? rpmdbNextIterator(iterator) : nullptr) {
            char const* name = headerGetString(header, RPMTAG_NAME);
            char const* version = headerGetString(header, RPMTAG_VERSION);
            char const* release = headerGetString(header, RPMTAG_RELEASE);
            char const* arch = headerGetString(header, RPMTAG_ARCH);
            if (!name || !version || !release || !arch)
                continue;
            std::uint64_t const epoch = headerGetNumber(header, RPMTAG_EPOCH);
            std::string verRel = epoch ? std::to_string(epoch) + ':' : std::string();
            verRel.append(version).append("-").append(release);
            auto const it = wanted.find(identity(key, true, {}, name, verRel, arch));
            if (it == wanted.end() || it->second == ambiguous)
                continue;
            std::size_t const i = it->second;
            auto const found = solvableOf.find(i);
            if (found == solvableOf.end() || found->second == 0)
                continue;
            auto const known = held.recordOf.find(entries[i]);
            if (known != held.recordOf.end()) { // the same identity twice in the database
                held.records[known->second].solvable = 0;
                it->second = ambiguous;
                continue;
            }
            Corpus::Data::Record& record = held.add(entries[i]);
            record.solvable = found->second;
            record.header = rpmdbGetIteratorOffset(iterator);
            record.plain = search.gatherInstalled(header, found->second, held.texts.open());
            held.added(record, look);
        }
        if (iterator)
            rpmdbFreeIterator(iterator);
        rpmtsFree(ts);
    }
    held.closeAll();
    // Not found: the getters answer.
    for (std::size_t const i : missing) {
        if (held.recordOf.find(entries[i]) == held.recordOf.end()) {
            held.recordOf[entries[i]] = std::uint32_t(held.records.size());
            held.records.emplace_back();
        }
    }
}

// Looks for the needle in the blocks of stream that hold the records
// wanted (wanted[r] >= 0), marking in hit the records whose part of a block
// holds it; false when a block cannot be unpacked. In the runs of files a
// find may fall on the numbers that head a run: there only the names count.
bool scan(Corpus::Data& held, PackedTexts& stream, bool texts, Search const& search,
    std::vector<std::int32_t> const& wanted, std::vector<char>& hit,
    std::vector<char> const& checked)
{
    std::string_view const needle = search.corpusNeedle();
    std::string folded;
    auto const offsetOf = [&held, texts](std::uint32_t r) {
        return texts ? held.records[r].textOffset : held.records[r].fileOffset;
    };
    auto const sizeOf = [&held, texts](std::uint32_t r) {
        return texts ? held.records[r].textSize : held.records[r].fileSize;
    };
    for (std::size_t b = 0; b < stream.blocks().size(); ++b) {
        PackedTexts::Block const& block = stream.blocks()[b];
        bool any = false;
        for (std::uint32_t r = block.first; r < block.end && !any; ++r)
            any = wanted[r] >= 0 && sizeOf(r) > 0 && !hit[r] && !checked[r];
        if (!any)
            continue;
        std::string_view unpacked;
        if (!stream.unpack(b, unpacked))
            return false;
        std::string_view const whole = search.folded(unpacked, folded);
        // The records' parts follow each other in the block, in the order of
        // the records: a find belongs to the last one that begins before it.
        std::size_t at = 0;
        std::uint32_t r = block.first;
        while (at < whole.size()) {
            auto const* found = static_cast<char const*>(
                memmem(whole.data() + at, whole.size() - at, needle.data(), needle.size()));
            if (!found)
                break;
            auto const position = std::size_t(found - whole.data());
            while (r + 1 < block.end && offsetOf(r + 1) <= position)
                ++r;
            std::size_t const end = std::size_t(offsetOf(r)) + sizeOf(r);
            hit[r] = char(texts ? Holds::Yes
                                : namesHold(unpacked.substr(offsetOf(r), sizeOf(r)),
                                    whole.substr(offsetOf(r), sizeOf(r)), needle));
            at = std::max(position + 1, end);
        }
    }
    return true;
}

} // namespace

void search(Pool* pool, QByteArray const& installRoot, SearchPattern const& pattern,
    std::vector<Package::Entry const*> const& entries, std::vector<signed char>& found,
    Corpus& corpus)
{
    found.assign(entries.size(), Unknown);
    if (!pool)
        return;
    if (corpus.data->pool != pool) {
        corpus.clear();
        corpus.data->pool = pool;
    }
    Corpus::Data& held = *corpus.data;
    Search search(pool, pattern);

    // Where the pattern has a needle, a package none of whose texts holds
    // it does not match, and with a literal pattern one whose texts hold it
    // does; the others are matched field by field. A path holds the needle
    // where a name does, or where the directory adds to it. The texts
    // gathered now are looked at before they are packed.
    std::string_view const needle = search.corpusNeedle();
    std::vector<char> hit(held.records.size(), 0);
    std::vector<char> checked(held.records.size(), 0);
    std::string scratch;
    std::vector<std::size_t> missing;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] && held.recordOf.find(entries[i]) == held.recordOf.end())
            missing.push_back(i);
    }
    if (!missing.empty()) {
        gather(pool, installRoot, entries, missing, search, held,
            [&](std::uint32_t r, std::string_view texts, std::string_view files) {
                hit.resize(r + 1, 0);
                checked.resize(r + 1, 0);
                if (needle.empty())
                    return;
                checked[r] = 1;
                std::string_view text = search.folded(texts, scratch);
                Holds holds = memmem(text.data(), text.size(), needle.data(), needle.size())
                    ? Holds::Yes
                    : namesHold(files, search.folded(files, scratch), needle);
                if (holds == Holds::No)
                    holds = search.runsHoldNeedle(files, held.datas);
                hit[r] = char(holds);
            });
        hit.resize(held.records.size(), 0);
        checked.resize(held.records.size(), 0);
    }

    // The entry of each record wanted now.
    std::vector<std::int32_t> wanted(held.records.size(), -1);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        auto const it = entries[i] ? held.recordOf.find(entries[i]) : held.recordOf.end();
        if (it != held.recordOf.end() && held.records[it->second].solvable != 0)
            wanted[it->second] = std::int32_t(i);
    }

    bool scanned = !needle.empty() && scan(held, held.texts, true, search, wanted, hit, checked)
        && scan(held, held.files, false, search, wanted, hit, checked);
    if (scanned && search.directoriesMatter(held.datas)) {
        for (std::size_t b = 0; scanned && b < held.files.blocks().size(); ++b) {
            PackedTexts::Block const& block = held.files.blocks()[b];
            std::string_view whole;
            bool unpackedHere = false;
            for (std::uint32_t r = block.first; r < block.end; ++r) {
                Corpus::Data::Record const& record = held.records[r];
                if (wanted[r] < 0 || hit[r] || checked[r] || record.fileSize == 0)
                    continue;
                if (!unpackedHere && !held.files.unpack(b, whole)) {
                    scanned = false;
                    break;
                }
                unpackedHere = true;
                hit[r] = char(search.runsHoldNeedle(
                    whole.substr(record.fileOffset, record.fileSize), held.datas));
            }
        }
    }

    std::vector<std::pair<Id, std::size_t>> repository; // field by field
    struct Installed
    {
        unsigned header;
        std::size_t entry;
        Id solvable;
        bool operator<(Installed const& other) const { return header < other.header; }
    };
    std::vector<Installed> installed;
    for (std::uint32_t r = 0; r < held.records.size(); ++r) {
        if (wanted[r] < 0)
            continue;
        auto const i = std::size_t(wanted[r]);
        Corpus::Data::Record const& record = held.records[r];
        if (scanned && record.plain && !hit[r]) {
            found[i] = NoMatch;
        } else if (scanned && record.plain && hit[r] == char(Holds::Yes)
            && search.needleDecides()) {
            found[i] = Match;
        } else if (record.header) {
            installed.push_back({record.header, i, record.solvable});
        } else {
            repository.emplace_back(record.solvable, i);
        }
    }

    // Packages in the pool's order, headers in the database's.
    std::sort(repository.begin(), repository.end());
    for (auto const& [p, i] : repository)
        found[i] = search.repositoryPackage(p);
    if (installed.empty())
        return;
    std::sort(installed.begin(), installed.end());
    rpmts ts = openDatabase(installRoot);
    for (auto const& [number, i, p] : installed) {
        rpmdbMatchIterator iterator
            = rpmtsInitIterator(ts, RPMDBI_PACKAGES, &number, sizeof number);
        Header header = iterator ? rpmdbNextIterator(iterator) : nullptr;
        if (header) {
            Outcome outcome = search.headerFields(header);
            if (outcome != Match)
                outcome = outcome | search.poolFields(pool->solvables + p);
            found[i] = outcome;
        }
        if (iterator)
            rpmdbFreeIterator(iterator);
    }
    rpmtsFree(ts);
}

} // namespace SolvSearch
