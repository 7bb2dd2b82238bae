// SPDX-License-Identifier: GPL-2.0-or-later
#include "repo/RepoEntry.h"
#include "repo/RepoLarder.h"
#include "repo/URL.h"

#include <QTest>

using Repo::Larder;

// Larder credentials in repository URLs: reading, encoding and replacing
// them, and the host part of a URL.
class TestRepoLarder : public QObject
{
    Q_OBJECT

private slots:
    void credentials_data();
    void credentials();
    void urls_data();
    void urls();
};

void TestRepoLarder::credentials_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("args"); // of replaceAuth after the text; none: no call
    QTest::addColumn<QString>("replaced"); // null: unchanged
    QTest::addColumn<QStringList>("auth"); // getAuth of the result; empty: none found

    auto const row
        = [](char const* tag, QString const& text, QStringList const& args, QString const& replaced,
              QStringList const& auth) { QTest::newRow(tag) << text << args << replaced << auth; };
    QString const one = "http://h/larder?u=old&p=old&path=/r";
    QString const two = "http://a/larder?u=one&p=1&path=/x\nhttp://b/larder?user=two&pw=2&path=/y";
    row("escapes of either case", "/larder?u=a%26b%3Dc&p=p%25w%20d&path=x", {}, {},
        {"u", "a&b=c", "p", "p%w d"});
    row("empty values", "/larder?u=&p=&path=", {}, {}, {"u", "", "p", ""});
    row("no path parameter", "http://h/larder?u=a&p=b&x=y", {}, {}, {});
    row("no larder step", "http://h/repo/?u=a&p=b&path=c", {}, {}, {});
    row("every reserved character", one, {"$&+,/:;=?@ \"<>#%{}|\\^~[]", "-"},
        "http://h/larder?u=%24%26%2b%2c%2f%3a%3b%3d%3f%40%20%22%3c%3e%23%25%7b%7d%7c%5c%5e%7e"
        "%5b%5d&p=-&path=/r",
        {"u", "$&+,/:;=?@ \"<>#%{}|\\^~[]", "p", "-"});
    row("unreserved and non-ASCII kept", one, {QString::fromUtf8("a-b_c.d!*'()ü日本"), "pw"},
        QString::fromUtf8("http://h/larder?u=a-b_c.d!*'()ü日本&p=pw&path=/r"),
        {"u", QString::fromUtf8("a-b_c.d!*'()ü日本"), "p", "pw"});
    row("escape look-alikes", one, {"%41", "%2525"}, "http://h/larder?u=%2541&p=%252525&path=/r",
        {"u", "%41", "p", "%2525"});
    row("backslashes", one, {"\\1\\0"}, "http://h/larder?u=old&p=%5c1%5c0&path=/r",
        {"u", "old", "p", "\\1\\0"});
    row("new keys, every URL", two, {"a b", "n", "c&d", "s"},
        "http://a/larder?a%20b=n&c%26d=s&path=/x\nhttp://b/larder?a%20b=n&c%26d=s&path=/y",
        {"a b", "n", "c&d", "s"});
    row("name and password: keys of the first URL", two, {"me", "new"},
        "http://a/larder?u=me&p=new&path=/x\nhttp://b/larder?u=me&p=new&path=/y",
        {"u", "me", "p", "new"});
    row("password: name of the first URL", two, {"new"},
        "http://a/larder?u=one&p=new&path=/x\nhttp://b/larder?u=one&p=new&path=/y",
        {"u", "one", "p", "new"});
    row("no larder URL", "http://h/repo/ http://i/repo/", {"n", "s"}, {}, {});
}

void TestRepoLarder::credentials()
{
    QFETCH(QString, text);
    QFETCH(QStringList, args);
    QFETCH(QString, replaced);
    QFETCH(QStringList, auth);

    QString result = text;
    if (args.size() == 4)
        result = Larder::replaceAuth(text, args[0], args[1], args[2], args[3]);
    else if (args.size() == 2)
        result = Larder::replaceAuth(text, args[0], args[1]);
    else if (args.size() == 1)
        result = Larder::replaceAuth(text, args[0]);
    QCOMPARE(result, replaced.isNull() ? text : replaced);

    QStringList const untouched {"k1", "k2", "k3", "k4"};
    QStringList got = untouched;
    QCOMPARE(Larder::getAuth(result, got[0], got[1], got[2], got[3]), !auth.isEmpty());
    QCOMPARE(got, auth.isEmpty() ? untouched : auth);
    // The same from an entry's mirror list when its baseurl has none.
    Repo::Entry entry;
    entry.baseurl = "http://plain/repo/";
    entry.mirrorlist = result;
    QStringList fromEntry = untouched;
    QCOMPARE(Larder::getAuth(entry, fromEntry[0], fromEntry[1], fromEntry[2], fromEntry[3]),
        !auth.isEmpty());
    QCOMPARE(fromEntry, got);
}

void TestRepoLarder::urls_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("host");
    auto const row = [](char const* tag, char const* url, char const* host) {
        QTest::newRow(tag) << QString::fromLatin1(url) << QString::fromLatin1(host);
    };
    row("path", "http://mirror.example.org/pub/repo/", "mirror.example.org");
    row("no path", "https://mirror.example.org", "mirror.example.org");
    row("user and port kept", "ftp://bob@h.example:2121/x", "bob@h.example:2121");
    row("file URL", "file:///srv/repo", "");
    row("no slashes after the colon", "mailto:bob@example.org", "");
    row("no colon", "/srv/repo", "");
    row("larder URL", "https://h/larder?u=bob&p=s3cret&path=/repo/", "h");
}

void TestRepoLarder::urls()
{
    QFETCH(QString, url);
    QFETCH(QString, host);
    QCOMPARE(URL::getHost(url), host);
}

QTEST_GUILESS_MAIN(TestRepoLarder)
#include "TestRepoLarder.moc"
