// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/SearchPattern.h"

#include <algorithm>
#include <cstring>

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

SearchPattern::~SearchPattern()
{
    if (status == 0)
        regfree(&regex);
}

void SearchPattern::set(QString const& text, bool ignoreCase)
{
    stripped = text;
    QLatin1String const wildcard(".*");
    while (stripped.startsWith(wildcard))
        stripped.remove(0, 2);
    while (stripped.endsWith(wildcard))
        stripped.chop(2);

    if (status == 0)
        regfree(&regex);
    QByteArray const bytes = stripped.toLocal8Bit();
    caseless = ignoreCase;
    status = regcomp(
        &regex, bytes.constData(), REG_EXTENDED | REG_NOSUB | (ignoreCase ? REG_ICASE : 0));
    isLiteral = status == 0 && std::strpbrk(bytes.constData(), "\\^$.[]|()*+?{}") == nullptr;
    literal = bytes;
    required = status == 0 && !isLiteral && !ignoreCase ? requiredText(bytes) : QByteArray();
    // Byte by byte without case only ASCII letters compare; other text is
    // left to the expression, which knows the locale's letters.
    caselessLiteral = ignoreCase && isLiteral
        && std::none_of(bytes.cbegin(), bytes.cend(), [](char c) { return c & 0x80; });
    if (ignoreCase)
        isLiteral = false;
}

QString SearchPattern::error() const
{
    if (status <= 0)
        return QString();
    char message[256];
    regerror(status, &regex, message, sizeof message);
    return QString::fromLocal8Bit(message);
}

bool SearchPattern::matches(char const* text, std::size_t size) const
{
    if (status != 0)
        return true;
    if (caselessLiteral)
        return strcasestr(text, literal.constData()) != nullptr;
    if (isLiteral)
        return memmem(text, size, literal.constData(), size_t(literal.size())) != nullptr;
    if (!required.isEmpty() && !memmem(text, size, required.constData(), size_t(required.size())))
        return false;
    return regexec(&regex, text, 0, nullptr, 0) == 0;
}
