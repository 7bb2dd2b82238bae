#include "packagetable/PackageTableDescribeInstanceRepoDialog.h"
#include "repo/RepoBrowse.h"
#include "repo/RepoEntry.h"
#include "repo/YumConfIO.h"
#include "support/EngineFixture.h"
#include "yumio/YumIO.h"

#include <QPushButton>
#include <QtTest>

// Which URL a repository opens, with yum's variables filled in by the
// engine, through a webbrowser program that records what it was given.
class TestRepoBrowse : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void firstUrl_data();
    void firstUrl();
    void browseSubstitutesVariables();
    void browseByIdentifier();

private:
    // What the recording browser received since the last call, one
    // argument list a line.
    QStringList browsed(int expected);

    EngineFixture fixture;
    QTemporaryDir share;
    QByteArray savedShare;
};

void TestRepoBrowse::initTestCase()
{
    EngineFixture::Options options;
    options.http = false;
    QString error;
    QVERIFY2(fixture.prepare(options, &error), qPrintable(error));
    QVERIFY(fixture.engine().initialize());
    QVERIFY(fixture.engine().collect(EngineFixture::allRepos()));

    // The engine has read its script; from now on the share directory is
    // one whose browser only writes its arguments down.
    QFile browser(share.filePath(QStringLiteral("webbrowser")));
    QVERIFY(browser.open(QIODevice::WriteOnly));
    browser.write("#!/bin/sh\necho \"$#:$1\" >> \"$0.log\"\n");
    browser.close();
    browser.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    savedShare = qgetenv("VUXSHARE");
    qputenv("VUXSHARE", QFile::encodeName(share.path()));
}

void TestRepoBrowse::cleanupTestCase()
{
    qputenv("VUXSHARE", savedShare);
}

QStringList TestRepoBrowse::browsed(int expected)
{
    QFile log(share.filePath(QStringLiteral("webbrowser.log")));
    QStringList lines;
    auto const read = [&] {
        lines.clear();
        if (log.open(QIODevice::ReadOnly)) {
            lines = QString::fromLocal8Bit(log.readAll()).split('\n', Qt::SkipEmptyParts);
            log.close();
        }
        return lines.size();
    };
    [&] { QTRY_COMPARE(read(), expected); }();
    // Anything late would show in the next test.
    QTest::qWait(100);
    read();
    log.remove();
    return lines;
}

void TestRepoBrowse::firstUrl_data()
{
    QTest::addColumn<QString>("baseurl");
    QTest::addColumn<QString>("mirrorlist");
    QTest::addColumn<QString>("url");
    QTest::newRow("three URLs, one a line") << "http://a/1/\nhttp://b/2/\nhttp://c/3/"
                                            << "http://m/"
                                            << "http://a/1/";
    QTest::newRow("leading newline and blanks")
        << "\n  \thttp://a/1/ http://b/" << QString() << "http://a/1/";
    QTest::newRow("mirror list only") << QString() << "http://m/list?repo=x&arch=$basearch"
                                      << "http://m/list?repo=x&arch=$basearch";
    QTest::newRow("blank baseurl falls back to the mirror list") << "\n \n"
                                                                 << "http://m/"
                                                                 << "http://m/";
    QTest::newRow("neither") << QString() << QString() << QString();
}

void TestRepoBrowse::firstUrl()
{
    QFETCH(QString, baseurl);
    QFETCH(QString, mirrorlist);
    QFETCH(QString, url);
    Repo::Entry entry;
    entry.baseurl = baseurl;
    entry.mirrorlist = mirrorlist;
    QCOMPARE(RepoBrowse::firstUrl(entry), url);
}

void TestRepoBrowse::browseSubstitutesVariables()
{
    YumIO& engine = fixture.engine();
    QString const releasever = engine.getYumVar(QStringLiteral("releasever"));
    QString const basearch = engine.getYumVar(QStringLiteral("basearch"));
    QString const arch = engine.getYumVar(QStringLiteral("arch"));
    QVERIFY(!releasever.isEmpty() && !basearch.isEmpty() && !arch.isEmpty());

    Repo::Entry entry;
    entry.baseurl = QStringLiteral("\nhttp://h/larder?name=n&password=p%20w&path=/$releasever/"
                                   "$basearch/$arch/$infra/$releasever\nhttp://second/");
    RepoBrowse::browse(fixture.window(), entry, &engine);
    QString const expected
        = QStringLiteral("1:http://h/larder?name=n&password=p%20w&path=/%1/%2/%3/"
                         "$infra/%1")
              .arg(releasever, basearch, arch);
    QCOMPARE(browsed(1), QStringList({expected}));

    // The repository description's button browses the repository shown.
    PackageTable::Describe::Instance::RepoDialog dialog(&engine);
    entry.baseurl = QStringLiteral("http://h/$basearch/");
    dialog.config(entry);
    dialog.findChild<QPushButton*>(QStringLiteral("browseButton"))->click();
    QCOMPARE(browsed(1), QStringList({QStringLiteral("1:http://h/%1/").arg(basearch)}));
}

// A package's repository need not be configured any more: then, as for a
// repository without URLs, the user is told and nothing starts.
void TestRepoBrowse::browseByIdentifier()
{
    QList<YumRepoEnabled> options;
    QHash<QString, bool> use;
    YumConfIO conf(options, use);
    QVERIFY(conf.read(nullptr));
    RepoBrowse::browse(fixture.window(), QStringLiteral("updates"), &fixture.engine(), &conf);
    QStringList const opened = browsed(1);
    QVERIFY2(opened.first().startsWith(QStringLiteral("1:file:///"))
            && opened.first().endsWith(QStringLiteral("/updates/")),
        qPrintable(opened.first()));

    int const answered = fixture.answerer().answered();
    fixture.answerer().click(QStringLiteral("OK"));
    RepoBrowse::browse(fixture.window(), QStringLiteral("gone"), &fixture.engine(), &conf);
    fixture.answerer().click(QStringLiteral("OK"));
    RepoBrowse::browse(fixture.window(), Repo::Entry(), &fixture.engine());
    QCOMPARE(fixture.answerer().answered(), answered + 2);
    QCOMPARE(fixture.answerer().texts().mid(answered),
        QStringList(2, QStringLiteral("Repository configuration has no URL")));
    QCOMPARE(fixture.answerer().titles().mid(answered), QStringList(2, QStringLiteral("Error")));
    QCOMPARE(browsed(0), QStringList());
}

QTEST_MAIN(TestRepoBrowse)
#include "TestRepoBrowse.moc"
