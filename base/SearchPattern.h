// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <regex.h>

// The expression the package table filters and searches with: a POSIX
// extended expression, case-sensitive unless set to ignore case (one flag
// every matcher of the table reads through this class), found anywhere in
// a text (compiled
// without REG_NEWLINE, so a text of several lines is one string). Leading
// and trailing ".*" add nothing to such a match and are dropped; what is
// left may be empty (nothing to match) or may not compile (then it hides
// nothing: every text matches).
class SearchPattern
{
public:
    SearchPattern() = default;
    ~SearchPattern();
    SearchPattern(SearchPattern const&) = delete;
    SearchPattern& operator=(SearchPattern const&) = delete;

    // With ignoreCase, letters match whatever their case (REG_ICASE).
    void set(QString const& text, bool ignoreCase = false);
    bool ignoresCase() const { return caseless; }

    // The pattern in use, stripped of leading and trailing ".*".
    QString const& text() const { return stripped; }
    bool isEmpty() const { return stripped.isEmpty(); }
    // Why the pattern did not compile; empty for a valid pattern.
    QString error() const;
    bool isValid() const { return status == 0; }

    // text[size] must be '\0': the expression, like the C string functions,
    // ends the text at its first null byte.
    bool matches(char const* text, std::size_t size) const;
    bool matches(QByteArray const& text) const { return matches(text.constData(), text.size()); }
    bool matches(QString const& text) const { return matches(text.toLocal8Bit()); }

    // Text that every match contains (empty when none is known), and
    // whether containing it is all a match takes (a pattern without special
    // characters). A reader of many texts may test it first and skip
    // building a text that cannot match. Ignoring case there is none: the
    // text as typed need not be in a match.
    QByteArray const& needle() const { return isLiteral ? literal : required; }
    bool needleDecides() const { return isLiteral; }
    // Whether the pattern ignores case and is plain ASCII text: it matches a
    // text holding its bytes (literalText()), each compared as the C
    // library's tolower() gives it.
    bool isCaselessLiteral() const { return caselessLiteral; }
    QByteArray const& literalText() const { return literal; }

private:
    QString stripped;
    int status = -1; // regcomp's result, -1 before the first pattern
    regex_t regex;
    // A pattern without special characters is matched as a plain substring,
    // which gives the same answers much faster.
    QByteArray literal;
    bool isLiteral = false;
    // Text every match must contain, tested before the expression runs.
    QByteArray required;
    bool caseless = false;
    // Ignoring case, a plain ASCII pattern is found without the expression.
    bool caselessLiteral = false;
};
