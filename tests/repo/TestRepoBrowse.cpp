// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableDescribeInstanceRepoDialog.h"
#include "repo/RepoBrowse.h"
#include "repo/RepoEntry.h"
#include "repo/YumConfIO.h"
#include "support/EngineFixture.h"
#include "support/RecordingBrowser.h"
#include "yumio/YumIO.h"

#include <QPushButton>
#include <QtTest>

// Which URL a repository opens, with yum's variables filled in by the
// engine, through a webbrowser program that writes down its arguments.
class TestRepoBrowse : public QObject
{
    Q_OBJECT

private slots:
    void firstUrl_data();
    void firstUrl();
    void browse();
};

void TestRepoBrowse::firstUrl_data()
{
    QTest::addColumn<QString>("baseurl");
    QTest::addColumn<QString>("mirrorlist");
    QTest::addColumn<QString>("url");
    auto const row
        = [](char const* tag, char const* baseurl, char const* mirrorlist, char const* url) {
              QTest::newRow(tag) << QString(baseurl) << QString(mirrorlist) << QString(url);
          };
    row("three URLs, one a line", "http://a/1/\nhttp://b/\nhttp://c/", "http://m/", "http://a/1/");
    row("leading newline and blanks", "\n \thttp://a/1/ http://b/", "", "http://a/1/");
    row("mirror list only", "", "http://m/?arch=$basearch", "http://m/?arch=$basearch");
    row("blank baseurl", "\n \n", "http://m/", "http://m/");
    row("neither", "", "", "");
}

void TestRepoBrowse::firstUrl()
{
    QFETCH(QString, baseurl);
    QFETCH(QString, mirrorlist);
    Repo::Entry entry;
    entry.baseurl = baseurl;
    entry.mirrorlist = mirrorlist;
    QTEST(RepoBrowse::firstUrl(entry), "url");
}

void TestRepoBrowse::browse()
{
    EngineFixture fixture;
    QString error;
    QVERIFY2(fixture.start(EngineFixture::local(), true, &error), qPrintable(error));
    YumIO& engine = fixture.engine();

    // The engine has read its script: from now on the share directory is
    // one whose browser only writes its arguments down.
    RecordingBrowser share;
    QStringList values;
    for (char const* name : {"releasever", "basearch", "arch"})
        values << engine.getYumVar(QLatin1String(name));
    QVERIFY(!values.contains(QString()));
    Repo::Entry entry;
    entry.baseurl = QStringLiteral("\nhttp://h/larder?name=n&password=p%20w&path=/$releasever/"
                                   "$basearch/$arch/$infra/$releasever\nhttp://second/");
    RepoBrowse::browse(fixture.window(), entry, &engine);
    QCOMPARE(share.browsed(1),
        QStringList(
            QStringLiteral("1:http://h/larder?name=n&password=p%20w&path=/%1/%2/%3/$infra/%1")
                .arg(values[0], values[1], values[2])));

    // The repository description's button browses the repository shown,
    // even after the configuration it came from has changed.
    PackageTable::Describe::Instance::RepoDialog dialog(&engine);
    entry.baseurl = QStringLiteral("http://h/$basearch/");
    dialog.config(entry);
    entry.baseurl = QStringLiteral("http://changed/");
    dialog.findChild<QPushButton*>(QStringLiteral("browseButton"))->click();
    QCOMPARE(share.browsed(1), QStringList(QStringLiteral("1:http://h/%1/").arg(values[1])));

    // By identifier; one no longer configured, like an entry without URLs,
    // gets the message and starts nothing.
    QList<YumRepoEnabled> used;
    QHash<QString, bool> use;
    YumConfIO conf(used, use);
    QVERIFY(conf.read(nullptr));
    RepoBrowse::browse(fixture.window(), QStringLiteral("updates"), &engine, &conf);
    QStringList const opened = share.browsed(1);
    QVERIFY2(opened.value(0).startsWith(QStringLiteral("1:file:///"))
            && opened.value(0).endsWith(QStringLiteral("/updates/")),
        qPrintable(opened.value(0)));
    fixture.answerer().click(QStringLiteral("OK"));
    RepoBrowse::browse(fixture.window(), QStringLiteral("gone"), &engine, &conf);
    fixture.answerer().click(QStringLiteral("OK"));
    RepoBrowse::browse(fixture.window(), Repo::Entry(), &engine);
    QStringList const said = fixture.answerer().texts();
    QVERIFY(said.size() == 2 && said[0] == said[1] && !said[0].isEmpty());
    QCOMPARE(share.browsed(0), QStringList());

    // A browser that cannot be started (none as root): the reason, and the
    // URL without its password.
    share.refuse("webbrowser: not opening a browser or viewer as root");
    fixture.answerer().click(QStringLiteral("OK"));
    entry.baseurl = QStringLiteral("http://h/larder?name=n&password=secret&path=/r/");
    RepoBrowse::browse(fixture.window(), entry, &engine);
    QString const refused = fixture.answerer().texts().value(2);
    QVERIFY2(refused.contains(QLatin1String("not opening a browser"))
            && refused.contains("http://h/") && !refused.contains(QLatin1String("secret")),
        qPrintable(refused));
    QCOMPARE(share.browsed(0), QStringList());
}

QTEST_MAIN(TestRepoBrowse)
#include "TestRepoBrowse.moc"
