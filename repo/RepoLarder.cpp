// SPDX-License-Identifier: GPL-2.0-or-later
#include "repo/RepoLarder.h"

#include "repo/RepoEntry.h"

#include <QRegularExpression>

namespace {

QLatin1String const larderStep("/larder?");
QLatin1String const pathStep("&path=");

QChar hexDigit(int value)
{
    if (value >= 0 && value <= 9)
        return QLatin1Char(char('0' + value));
    if (value >= 10 && value <= 15)
        return QLatin1Char(char('a' + value - 10));
    return QLatin1Char('?');
}

int hexValue(QChar c)
{
    ushort const u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

QString percentEncode(QString const& text)
{
    static QRegularExpression const reserved(QStringLiteral("[$&+,/:;=?@ \"<>#%{}|\\\\^~\\[\\]]"));
    QString result = text;
    qsizetype from = 0;
    for (;;) {
        QRegularExpressionMatch const match = reserved.match(result, from);
        if (!match.hasMatch())
            break;
        qsizetype const at = match.capturedStart();
        ushort const code = result.at(at).unicode();
        QString const encoded
            = QLatin1Char('%') + hexDigit((code >> 4) & 0xf) + hexDigit(code & 0xf);
        result.replace(at, 1, encoded);
        from = at + encoded.size();
    }
    return result;
}

QString percentDecode(QString const& text)
{
    static QRegularExpression const escape(QStringLiteral("%[0-9a-fA-F][0-9a-fA-F]"));
    QString result = text;
    qsizetype from = 0;
    for (;;) {
        QRegularExpressionMatch const match = escape.match(result, from);
        if (!match.hasMatch())
            break;
        qsizetype const at = match.capturedStart();
        int const code = 16 * hexValue(result.at(at + 1)) + hexValue(result.at(at + 2));
        result.replace(at, 3, QChar(code));
        // Go on after the produced character, so "%2541" gives "%41".
        from = at + 1;
    }
    return result;
}

} // namespace

bool Repo::Larder::getAuth(
    QString const& text, QString& nameKey, QString& name, QString& passwordKey, QString& password)
{
    qsizetype const larder = text.indexOf(larderStep);
    if (larder < 0)
        return false;
    qsizetype const nameKeyStart = larder + larderStep.size();
    qsizetype const nameEq = text.indexOf(QLatin1Char('='), nameKeyStart);
    if (nameEq < 0)
        return false;
    qsizetype const amp = text.indexOf(QLatin1Char('&'), nameEq + 1);
    if (amp < 0)
        return false;
    qsizetype const passwordEq = text.indexOf(QLatin1Char('='), amp + 1);
    if (passwordEq < 0)
        return false;
    qsizetype const path = text.indexOf(pathStep, passwordEq + 1);
    if (path < 0)
        return false;
    nameKey = percentDecode(text.mid(nameKeyStart, nameEq - nameKeyStart));
    name = percentDecode(text.mid(nameEq + 1, amp - nameEq - 1));
    passwordKey = percentDecode(text.mid(amp + 1, passwordEq - amp - 1));
    password = percentDecode(text.mid(passwordEq + 1, path - passwordEq - 1));
    return true;
}

bool Repo::Larder::getAuth(
    Entry const& entry, QString& nameKey, QString& name, QString& passwordKey, QString& password)
{
    return getAuth(entry.baseurl, nameKey, name, passwordKey, password)
        || getAuth(entry.mirrorlist, nameKey, name, passwordKey, password);
}

QString Repo::Larder::replaceAuth(QString const& text, QString const& nameKey, QString const& name,
    QString const& passwordKey, QString const& password)
{
    static QRegularExpression const larderUrl(
        QStringLiteral("/larder\\?[^&\\s]*=[^&\\s]*&[^&\\s]*=[^&\\s]*&path="));
    QString const replacement = larderStep + percentEncode(nameKey) + QLatin1Char('=')
        + percentEncode(name) + QLatin1Char('&') + percentEncode(passwordKey) + QLatin1Char('=')
        + percentEncode(password) + pathStep;
    // Spliced by hand: QString::replace would read backslashes in the
    // replacement as back references.
    QString result;
    qsizetype last = 0;
    QRegularExpressionMatchIterator it = larderUrl.globalMatch(text);
    while (it.hasNext()) {
        QRegularExpressionMatch const match = it.next();
        result += QStringView(text).mid(last, match.capturedStart() - last);
        result += replacement;
        last = match.capturedEnd();
    }
    result += QStringView(text).mid(last);
    return result;
}

QString Repo::Larder::replaceAuth(QString const& text, QString const& name, QString const& password)
{
    QString nameKey, oldName, passwordKey, oldPassword;
    getAuth(text, nameKey, oldName, passwordKey, oldPassword);
    return replaceAuth(text, nameKey, name, passwordKey, password);
}

QString Repo::Larder::replaceAuth(QString const& text, QString const& password)
{
    QString nameKey, name, passwordKey, oldPassword;
    getAuth(text, nameKey, name, passwordKey, oldPassword);
    return replaceAuth(text, nameKey, name, passwordKey, password);
}
