#include "support/EngineFixture.h"
#include "yumio/YumIO.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

#include <unistd.h>

// The engine after the package manager could not be started again, and
// the reports of commands that fail.
class TestEngineRecovery : public QObject
{
    Q_OBJECT

private slots:
    void unparsableConfigurationAfterStart();
    void failedCleanReportedOnce();
    void ignoredRepositoryFiles();
};

// The main configuration becomes unparsable while Vux runs: the refresh
// says why, later commands fail cleanly, and a refresh after the repair works.
void TestEngineRecovery::unparsableConfigurationAfterStart()
{
    EngineFixture fixture;
    EngineFixture::Options options;
    options.http = false;
    QString error;
    QVERIFY2(fixture.prepare(options, &error), qPrintable(error));
    YumIO& engine = fixture.engine();
    QVERIFY(engine.initialize());
    QVERIFY(engine.collect(EngineFixture::allRepos()));

    QFile conf(fixture.root() + QStringLiteral("/etc/yum.conf"));
    QVERIFY(conf.open(QIODevice::ReadWrite));
    QByteArray const saved = conf.readAll();
    conf.write("[main\nbroken\n");
    conf.close();

    engine.clear();
    QCOMPARE(fixture.answerer().answered(), 0);
    QVERIFY(!engine.collect(EngineFixture::allRepos()));
    QCOMPARE(engine.count(), 0);
    QCOMPARE(fixture.answerer().titles(), QStringList {QStringLiteral("VUX Yum Error")});
    QString const shown = fixture.answerer().texts().value(0);
    QVERIFY2(shown.contains(QLatin1String("Parsing file")) && !shown.contains("Internal error")
            && shown.endsWith(QLatin1String("Unable to initialize")),
        qPrintable(shown));
    QVERIFY(!engine.cleanPackages());
    QVERIFY(!engine.collect(EngineFixture::allRepos()));
    QCOMPARE(fixture.answerer().answered(), 3);

    QVERIFY(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
    conf.write(saved);
    conf.close();
    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    QVERIFY(engine.findEntry(false, QStringLiteral("aurora")));
    QCOMPARE(fixture.answerer().answered(), 3);
}

// Each result is logged once; a clean that fails in several steps shows one
// dialog in the user's words.
void TestEngineRecovery::failedCleanReportedOnce()
{
    EngineFixture fixture;
    EngineFixture::Options options;
    options.http = false;
    QString error;
    QVERIFY2(fixture.prepare(options, &error), qPrintable(error));
    YumIO& engine = fixture.engine();
    QVERIFY(engine.initialize());
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    auto logged = [&engine](QString const& pattern) {
        QRegularExpression const match(pattern);
        QMutexLocker locker(&engine.logEntries());
        int count = 0;
        for (Log::Entry const& entry : engine.logEntries())
            count += match.match(entry.text).hasMatch();
        return count;
    };
    QVERIFY(engine.cleanAll());
    QCOMPARE(logged(QStringLiteral("^[0-9]+ metadata files? removed$")), 1);
    QCOMPARE(logged(QStringLiteral("^[0-9]+ package files? removed$")), 1);

    if (geteuid() != 0)
        QSKIP("making the cache unwritable needs a mount, so root");
    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    QString const cache = fixture.root() + QStringLiteral("/var/cache/yum");
    QCOMPARE(
        QProcess::execute(QStringLiteral("mount"), {QStringLiteral("--bind"), cache, cache}), 0);
    QProcess::execute(
        QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,bind,ro"), cache});
    bool const cleaned = engine.cleanAll();
    QProcess::execute(QStringLiteral("umount"), {cache});
    QVERIFY(!cleaned);
    QCOMPARE(fixture.answerer().answered(), 1);
    QString const shown = fixture.answerer().texts().value(0);
    QVERIFY2(shown.startsWith(QLatin1String("Unable to clean the cache:\n"))
            && shown.contains(QLatin1String("Read-only file system"))
            && !shown.contains(
                QLatin1String("clean") + QLatin1String("Metadata")) // no step names of the script
            && !shown.contains(QLatin1String("files removed")),
        qPrintable(shown));
}

// Repository files the package manager leaves out: the other repositories
// load, and one warning names each file and why.
void TestEngineRecovery::ignoredRepositoryFiles()
{
    EngineFixture fixture;
    EngineFixture::Options options;
    options.http = false;
    QString error;
    QVERIFY2(fixture.prepare(options, &error), qPrintable(error));
    QString const dir = fixture.root() + QStringLiteral("/etc/yum.repos.d/");
    QList<QPair<char const*, QByteArray>> const files {
        {"cafe.repo", "[cafe]\nname=Caf\xe9\nbaseurl=file:///nowhere\n"},
        {"main.repo", "[main]\nname=Main\nbaseurl=file:///nowhere\n"},
        {"broken.repo", "[broken\nname=Broken\n"},
    };
    for (auto const& [name, content] : files) {
        QFile file(dir + QLatin1String(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    YumIO& engine = fixture.engine();
    QVERIFY(engine.initialize());
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    QVERIFY(engine.findEntry(false, QStringLiteral("helix")));
    QCOMPARE(fixture.answerer().titles(), QStringList {QStringLiteral("VUX Yum Warning")});
    QString const shown = fixture.answerer().texts().value(0);
    for (QString const& expected : QStringList {dir
                 + QStringLiteral("cafe.repo: Repository 'cafe': the value "
                                  "of option name is not UTF-8 text"),
             dir + QStringLiteral("main.repo: a repository may not be named 'main'"),
             dir + QStringLiteral("broken.repo\" failed")})
        QVERIFY2(shown.contains(expected), qPrintable(shown));
    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    QCOMPARE(fixture.answerer().answered(), 1); // told once

    // Each collection says what it found at the ordinary detail level.
    QStringList summaries;
    {
        QMutexLocker locker(&engine.logEntries());
        for (Log::Entry const& entry : engine.logEntries())
            if (entry.level <= 2 && entry.text.startsWith(QLatin1String("Collected ")))
                summaries.append(entry.text);
    }
    QCOMPARE(summaries.size(), 2);
    QVERIFY2(QRegularExpression(QStringLiteral("^Collected 12 packages \\(5 updatable, 2 "
                                               "installed, 5 available\\) and 2 groups from 2 "
                                               "repositories in [0-9]+\\.[0-9] seconds$"))
                 .match(summaries.last())
                 .hasMatch(),
        qPrintable(summaries.last()));
}

QTEST_MAIN(TestEngineRecovery)
#include "TestEngineRecovery.moc"
