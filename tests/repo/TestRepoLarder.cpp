#include "repo/RepoEntry.h"
#include "repo/RepoLarder.h"
#include "repo/URL.h"

#include <QTest>

using Repo::Larder;

class TestRepoLarder : public QObject
{
    Q_OBJECT

private slots:
    void getAuth_data();
    void getAuth();
    void encodingRoundTrip_data();
    void encodingRoundTrip();
    void replaceAuth_data();
    void replaceAuth();
    void passwordRegExps_data();
    void passwordRegExps();
    void entryFallsBackToMirrorlist();
    void entryDefaults();
    void getHost_data();
    void getHost();
};

void TestRepoLarder::getAuth_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QStringList>("auth"); // nameKey, name, passwordKey, password

    QTest::newRow("plain") << "http://h/larder?user=bob&pass=secret&path=/repo/" << true
                           << QStringList {"user", "bob", "pass", "secret"};
    QTest::newRow("decoded") << "http://h/larder?u=a%26b%3dc&p=p%25w%20d&path=x" << true
                             << QStringList {"u", "a&b=c", "p", "p%w d"};
    QTest::newRow("upper-case escapes")
        << "http://h/larder?u=%3A%2F&p=x&path=y" << true << QStringList {"u", ":/", "p", "x"};
    QTest::newRow("produced percent not decoded again")
        << "http://h/larder?u=%2541&p=%252525&path=y" << true
        << QStringList {"u", "%41", "p", "%2525"};
    QTest::newRow("empty values") << "/larder?u=&p=&path=" << true
                                  << QStringList {"u", "", "p", ""};
    QTest::newRow("non-ASCII kept")
        << QString::fromUtf8("http://h/larder?u=jürgen&p=ü&path=/") << true
        << QStringList {"u", QString::fromUtf8("jürgen"), "p", QString::fromUtf8("ü")};
    QTest::newRow("first of several URLs")
        << "http://a/larder?u=one&p=1&path=/x\nhttp://b/larder?v=two&q=2&path=/y" << true
        << QStringList {"u", "one", "p", "1"};
    QTest::newRow("blank in value still found")
        << "http://h/larder?u=a b&p=c&path=x" << true << QStringList {"u", "a b", "p", "c"};
    QTest::newRow("no path parameter") << "http://h/larder?u=a&p=b&x=y" << false << QStringList();
    QTest::newRow("path before password") << "http://h/larder?u=a&path=b" << false << QStringList();
    QTest::newRow("no larder step") << "http://h/repo/?u=a&p=b&path=c" << false << QStringList();
    QTest::newRow("empty") << "" << false << QStringList();
}

void TestRepoLarder::getAuth()
{
    QFETCH(QString, text);
    QFETCH(bool, found);
    QFETCH(QStringList, auth);

    QString nameKey = "keep1", name = "keep2", passwordKey = "keep3", password = "keep4";
    QCOMPARE(Larder::getAuth(text, nameKey, name, passwordKey, password), found);
    if (!found)
        auth = QStringList {"keep1", "keep2", "keep3", "keep4"}; // outputs untouched
    QCOMPARE((QStringList {nameKey, name, passwordKey, password}), auth);
}

void TestRepoLarder::encodingRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("expectedUrl");

    QString const tail = "&path=/repo/";
    QTest::newRow("ampersand and equals") << "a&b=c"
                                          << "x"
                                          << "http://h/larder?u=a%26b%3dc&p=x" + tail;
    QTest::newRow("percent") << "bob"
                             << "100%"
                             << "http://h/larder?u=bob&p=100%25" + tail;
    QTest::newRow("blank and colon") << "Bob Smith"
                                     << "a:b"
                                     << "http://h/larder?u=Bob%20Smith&p=a%3ab" + tail;
    QTest::newRow("every reserved character")
        << "$&+,/:;=?@ \"<>#%{}|\\^~[]"
        << "-"
        << "http://h/larder?u=%24%26%2b%2c%2f%3a%3b%3d%3f%40%20%22%3c%3e%23%25%7b%7d%7c%5c%5e%7e"
           "%5b%5d&p=-"
            + tail;
    QTest::newRow("unreserved and non-ASCII unchanged")
        << QString::fromUtf8("a-b_c.d!*'()ü日本") << "pw"
        << QString::fromUtf8("http://h/larder?u=a-b_c.d!*'()ü日本&p=pw") + tail;
    QTest::newRow("escape look-alike") << "%41"
                                       << "%2525"
                                       << "http://h/larder?u=%2541&p=%252525" + tail;
}

void TestRepoLarder::encodingRoundTrip()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(QString, expectedUrl);

    QString const url
        = Larder::replaceAuth("http://h/larder?u=old&p=old&path=/repo/", name, password);
    QCOMPARE(url, expectedUrl);
    QString nameKey, gotName, passwordKey, gotPassword;
    QVERIFY(Larder::getAuth(url, nameKey, gotName, passwordKey, gotPassword));
    QCOMPARE(gotName, name);
    QCOMPARE(gotPassword, password);
    QCOMPARE(nameKey, QString("u"));
    QCOMPARE(passwordKey, QString("p"));
}

void TestRepoLarder::replaceAuth_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("args"); // the arguments after the text
    QTest::addColumn<QString>("expected");

    QString const two = "http://a/larder?u=one&p=1&path=/x\n"
                        "http://b/larder?user=two&pw=2&path=/y";
    QTest::newRow("five arguments, every URL")
        << two << QStringList {"k", "n", "q", "s"}
        << "http://a/larder?k=n&q=s&path=/x\nhttp://b/larder?k=n&q=s&path=/y";
    QTest::newRow("three arguments take the first URL's keys")
        << two << QStringList {"me", "new"}
        << "http://a/larder?u=me&p=new&path=/x\nhttp://b/larder?u=me&p=new&path=/y";
    QTest::newRow("two arguments keep the first URL's name")
        << two << QStringList {"new"}
        << "http://a/larder?u=one&p=new&path=/x\nhttp://b/larder?u=one&p=new&path=/y";
    QTest::newRow("keys are encoded")
        << "http://a/larder?u=1&p=2&path=/" << QStringList {"a b", "n", "c&d", "s"}
        << "http://a/larder?a%20b=n&c%26d=s&path=/";
    QTest::newRow("no larder URL unchanged")
        << "http://h/repo/ http://i/repo/" << QStringList {"n", "s"}
        << "http://h/repo/ http://i/repo/";
    QTest::newRow("blank in value not replaced")
        << "http://h/larder?u=a b&p=c&path=x" << QStringList {"new"}
        << "http://h/larder?u=a b&p=c&path=x";
    QTest::newRow("backslash in password")
        << "http://h/larder?u=a&p=b&path=/" << QStringList {"\\1\\0"}
        << "http://h/larder?u=a&p=%5c1%5c0&path=/";
}

void TestRepoLarder::replaceAuth()
{
    QFETCH(QString, text);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);

    QString result;
    if (args.size() == 4)
        result = Larder::replaceAuth(text, args[0], args[1], args[2], args[3]);
    else if (args.size() == 2)
        result = Larder::replaceAuth(text, args[0], args[1]);
    else
        result = Larder::replaceAuth(text, args[0]);
    QCOMPARE(result, expected);
}

void TestRepoLarder::passwordRegExps_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("oneUrl"); // which expression
    QTest::addColumn<QStringList>("passwords");

    QTest::newRow("one URL") << "https://h/larder?u=bob&p=s3cret&path=/repo/" << true
                             << QStringList {"s3cret"};
    QTest::newRow("one URL, no larder") << "https://h/repo/" << true << QStringList();
    QTest::newRow("one URL, empty password")
        << "https://h/larder?u=bob&p=&path=/r" << true << QStringList {""};
    QTest::newRow("URL list") << "https://a/larder?u=bob&p=one&path=/x\n"
                                 "https://plain/repo/\n"
                                 "https://b/larder?u=bob&p=two&path=/y"
                              << false << QStringList {"one", "two"};
    QTest::newRow("URL list, path of every shape")
        << "https://a/larder?u=bob&p=one&path=repo/x\n"
           "https://b/larder?u=bob&p=two&path=$releasever/\n"
           "https://c/larder?u=bob&p=three&path=\n"
           "https://d/larder?u=bob&p=four&path=/x"
        << false << QStringList {"one", "two", "three", "four"};
}

void TestRepoLarder::passwordRegExps()
{
    QFETCH(QString, text);
    QFETCH(bool, oneUrl);
    QFETCH(QStringList, passwords);

    QRegularExpression const re = oneUrl ? Larder::oneUrlRegExp() : Larder::urlsRegExp();
    QVERIFY(re.isValid());
    QStringList found;
    QRegularExpressionMatchIterator it = re.globalMatch(text);
    while (it.hasNext())
        found.append(it.next().captured(1));
    QCOMPARE(found, passwords);
}

void TestRepoLarder::entryFallsBackToMirrorlist()
{
    Repo::Entry entry;
    entry.baseurl = "http://plain/repo/\nhttp://other/repo/";
    entry.mirrorlist = "http://m/larder?u=mirror&p=pw&path=/list";
    QString nameKey, name, passwordKey, password;
    QVERIFY(Larder::getAuth(entry, nameKey, name, passwordKey, password));
    QCOMPARE(name, QString("mirror"));

    entry.baseurl = "http://b/larder?u=base&p=pw&path=/";
    QVERIFY(Larder::getAuth(entry, nameKey, name, passwordKey, password));
    QCOMPARE(name, QString("base"));

    entry.baseurl.clear();
    entry.mirrorlist.clear();
    QVERIFY(!Larder::getAuth(entry, nameKey, name, passwordKey, password));
}

void TestRepoLarder::entryDefaults()
{
    Repo::Entry const entry;
    QCOMPARE(entry.enabled, int(Qt::PartiallyChecked));
    QCOMPARE(entry.gpgcheck, int(Qt::PartiallyChecked));
    QCOMPARE(entry.sortPosition, 0.0);
    QVERIFY(entry.id.isEmpty() && entry.file.isEmpty() && entry.otherOptions.isEmpty());
}

void TestRepoLarder::getHost_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("host");

    QTest::newRow("path") << "http://mirror.example.org/pub/repo/"
                          << "mirror.example.org";
    QTest::newRow("no path") << "https://mirror.example.org"
                             << "mirror.example.org";
    QTest::newRow("user and port kept") << "ftp://bob@h.example:2121/x"
                                        << "bob@h.example:2121";
    QTest::newRow("file URL") << "file:///srv/repo"
                              << "";
    QTest::newRow("no slashes after colon") << "mailto:bob@example.org"
                                            << "";
    QTest::newRow("one slash") << "http:/h/x"
                               << "";
    QTest::newRow("no colon") << "/srv/repo"
                              << "";
    QTest::newRow("larder URL") << "https://h.example/larder?u=a&p=b&path=/r"
                                << "h.example";
}

void TestRepoLarder::getHost()
{
    QFETCH(QString, url);
    QFETCH(QString, host);
    QCOMPARE(URL::getHost(url), host);
}

QTEST_GUILESS_MAIN(TestRepoLarder)
#include "TestRepoLarder.moc"
