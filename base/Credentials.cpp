// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/Credentials.h"

#include <QList>
#include <QRegularExpression>

#include <algorithm>

namespace {

struct Span
{
    qsizetype start;
    qsizetype length;
};

// Where the credentials are, in text order. A URL ends at white space, the
// user information at the authority's end ("/", "?" or "#") and at its last
// "@", so a password holding an unencoded "@" is hidden whole.
// The regular expressions find nothing at all in a text that is not valid
// UTF-16; the script's texts may hold lone surrogates (undecodable bytes of
// file names), which become U+FFFD here, one unit for one, so positions stay.
QString matchable(QString const& text)
{
    QString result = text;
    for (qsizetype i = 0; i < result.size(); ++i) {
        if (result[i].isHighSurrogate() && i + 1 < result.size() && result[i + 1].isLowSurrogate())
            ++i;
        else if (result[i].isSurrogate())
            result[i] = QChar::ReplacementCharacter;
    }
    return result;
}

QList<Span> credentialSpans(QString const& text)
{
    QList<Span> spans;
    if (!text.contains(QLatin1String("/larder")) && !text.contains(QLatin1Char('@')))
        return spans;
    QString const subject = matchable(text);
    static QRegularExpression const patterns[] = {
        QRegularExpression(QStringLiteral("://([^/?#\\s]*)@")),
        QRegularExpression(
            QStringLiteral("/larder[^?\\s]*\\?[^&=\\s]*=([^&\\s]*)&[^&=\\s]*=([^&\\s]*)&path=")),
    };
    for (QRegularExpression const& pattern : patterns) {
        QRegularExpressionMatchIterator matches = pattern.globalMatch(subject);
        while (matches.hasNext()) {
            QRegularExpressionMatch const match = matches.next();
            for (int group = 1; group <= match.lastCapturedIndex(); ++group) {
                if (match.capturedLength(group) > 0)
                    spans.append({match.capturedStart(group), match.capturedLength(group)});
            }
        }
    }
    // A value may itself hold something that looks like a URL: spans that
    // overlap become one.
    std::sort(
        spans.begin(), spans.end(), [](Span const& a, Span const& b) { return a.start < b.start; });
    QList<Span> merged;
    for (Span const& span : spans) {
        if (!merged.isEmpty() && span.start <= merged.last().start + merged.last().length) {
            Span& previous = merged.last();
            previous.length = std::max(previous.start + previous.length, span.start + span.length)
                - previous.start;
        } else {
            merged.append(span);
        }
    }
    return merged;
}

} // namespace

QString Credentials::masked(QString const& text)
{
    QList<Span> const spans = credentialSpans(text);
    if (spans.isEmpty())
        return text;
    QString result;
    qsizetype last = 0;
    for (Span const& span : spans) {
        result += QStringView(text).mid(last, span.start - last);
        result += mask;
        last = span.start + span.length;
    }
    result += QStringView(text).mid(last);
    return result;
}

QString Credentials::hidden(QString text, QChar character)
{
    for (Span const& span : credentialSpans(text))
        text.replace(span.start, span.length, QString(span.length, character));
    return text;
}
