// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/Credentials.h"
#include "support/EngineFixture.h"
#include "yumio/YumIO.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QtTest>

#include <unistd.h>

namespace {

// The files under dir, and their content run together.
QByteArray filesUnder(QString const& dir, int* count = nullptr)
{
    QByteArray content;
    int files = 0;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    for (; it.hasNext(); ++files) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            content += file.readAll();
    }
    if (count)
        *count = files;
    return content;
}

bool put(QString const& path, QByteArray const& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(content) == content.size();
}

} // namespace

// Failures from real causes: repositories that cannot be reached, read or
// entered, broken or missing configuration, a cache that cannot be cleaned;
// what the user is told and how the engine recovers.
class TestEngineFailures : public QObject
{
    Q_OBJECT

private slots:
    void repositoryFailures_data();
    void repositoryFailures();
    void noRepositoriesConfigured();
    void ignoredRepositoryFiles();
    void unparsableConfigurationAfterStart();
    void cleaningTheCache();
};

void TestEngineFailures::repositoryFailures_data()
{
    QTest::addColumn<QString>("baseurl"); // %1: the strict server's URL
    QTest::newRow("nothing listens") << "http://127.0.0.1:9/updates/";
    QTest::newRow("corrupt metadata") << "corrupt-primary";
    QTest::newRow("refused credentials")
        << "%1/larder?name=tester&password=wrong-secret&path=/updates/";
}

void TestEngineFailures::repositoryFailures()
{
    QFETCH(QString, baseurl);
    EngineFixture fixture;
    QString error;
    QVERIFY2(fixture.prepare(EngineFixture::local(), &error), qPrintable(error));
    Sandbox::Server strict(QStringLiteral("tester:right-secret"), true);
    QVERIFY(strict.isRunning());
    if (baseurl == QLatin1String("corrupt-primary"))
        baseurl = QStringLiteral("file://")
            + Sandbox::repos()[QStringLiteral("repos")].toObject()[baseurl].toString();
    QVERIFY(put(fixture.root() + QStringLiteral("/etc/yum.repos.d/updates.repo"),
        QStringLiteral("[updates]\nname=Updates\nbaseurl=%1\ngpgcheck=0\n")
            .arg(QString(baseurl).replace(QLatin1String("%1"), strict.url()))
            .toUtf8()));

    YumIO& engine = fixture.engine();
    QVERIFY(engine.initialize());
    QVERIFY(!engine.collect(EngineFixture::allRepos()));
    QCOMPARE(engine.count(), 0);
    QCOMPARE(fixture.answerer().answered(), 1);
    QString const shown = fixture.answerer().texts().first();
    QVERIFY2(shown.endsWith(QLatin1String("Unable to initialize")) && shown.contains("updates"),
        qPrintable(shown));
    // The password reaches neither a dialog, nor the log, nor the package
    // manager's own log files (dnf writes URLs into them as they are).
    QString const logged = EngineFixture::logged(engine);
    for (QString const& text : {shown, logged})
        QVERIFY2(!text.contains(QLatin1String("wrong-secret")), qPrintable(text));
    QString const logDir = fixture.root() + QStringLiteral("/var/log/");
    QVERIFY(!filesUnder(logDir).contains("wrong-secret"));
    if (baseurl.contains(QLatin1String("larder"))) {
        QByteArray const masked = "password=" + QString(Credentials::mask).toLatin1();
        QVERIFY2(logged.contains(QLatin1String(masked)), qPrintable(logged));
        QFile dnfLog(logDir + QStringLiteral("dnf.log"));
        QVERIFY(dnfLog.open(QIODevice::ReadOnly) && dnfLog.readAll().contains(masked));
    }
}

void TestEngineFailures::noRepositoriesConfigured()
{
    EngineFixture fixture;
    QString error;
    QVERIFY2(fixture.prepare(EngineFixture::local(), &error), qPrintable(error));
    QDir repos(fixture.root() + QStringLiteral("/etc/yum.repos.d"));
    for (QString const& name : repos.entryList(QDir::Files))
        QVERIFY(repos.remove(name));
    YumIO& engine = fixture.engine();
    QVERIFY(engine.initialize());
    QVERIFY(!engine.collect(EngineFixture::allRepos()));
    QCOMPARE(fixture.answerer().texts(),
        QStringList {QStringLiteral("No repositories are configured.\nUnder the Repositories "
                                    "menu, Edit Configuration can be used to configure "
                                    "repositories.")});
}

// Repository files the package manager leaves out: the other repositories
// load, and one warning names each file and why.
void TestEngineFailures::ignoredRepositoryFiles()
{
    EngineFixture fixture;
    QString error;
    QVERIFY2(fixture.prepare(EngineFixture::local(), &error), qPrintable(error));
    QString const dir = fixture.root() + QStringLiteral("/etc/yum.repos.d/");
    QVERIFY(put(dir + "cafe.repo", "[cafe]\nname=Caf\xe9\nbaseurl=file:///nowhere\n"));
    QVERIFY(put(dir + "main.repo", "[main]\nname=Main\nbaseurl=file:///nowhere\n"));
    QVERIFY(put(dir + "broken.repo", "[broken\nname=Broken\n"));
    YumIO& engine = fixture.engine();
    QVERIFY(engine.initialize());
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    QVERIFY(engine.findEntry(false, QStringLiteral("helix")));
    QCOMPARE(fixture.answerer().titles(), QStringList {QStringLiteral("VUX Yum Warning")});
    QString const shown = fixture.answerer().texts().value(0);
    for (QString const& expected : QStringList {
             dir + "cafe.repo: Repository 'cafe': the value of option name is not UTF-8 text",
             dir + "main.repo: a repository may not be named 'main'", dir + "broken.repo\" failed"})
        QVERIFY2(shown.contains(expected), qPrintable(shown));
    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    QCOMPARE(fixture.answerer().answered(), 1); // told once

    // Each collection says what it found at the ordinary detail level (rows:
    // the older installed kernel and the two builds of libmica count).
    QRegularExpression const summary(QStringLiteral(
        "^Collected 17 packages \\(5 updatable, 3 installed, 9 available\\) and 2 groups from 2 "
        "repositories in [0-9]+\\.[0-9] seconds$"));
    QStringList const lines = EngineFixture::logged(engine, 2).split('\n');
    QCOMPARE(lines.filter(QRegularExpression("^Collected ")).size(), 2);
    QVERIFY2(!lines.filter(summary).isEmpty(), qPrintable(lines.join('\n')));
}

// The main configuration becomes unparsable while Vux runs: the refresh
// says why, later commands fail cleanly, and a refresh after the repair works.
void TestEngineFailures::unparsableConfigurationAfterStart()
{
    EngineFixture fixture;
    QString error;
    QVERIFY2(fixture.start(EngineFixture::local(), true, &error), qPrintable(error));
    YumIO& engine = fixture.engine();
    QString const conf = fixture.root() + QStringLiteral("/etc/yum.conf");
    QFile file(conf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray const saved = file.readAll();
    file.close();
    QVERIFY(put(conf, "[main\nbroken\n"));

    engine.clear();
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

    QVERIFY(put(conf, saved));
    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    QVERIFY(engine.findEntry(false, QStringLiteral("aurora")));
    QCOMPARE(fixture.answerer().answered(), 3);
}

// A clean removes the cache (the lock files stay) and logs each result once;
// nothing left to clean is no failure. A clean that fails in several steps
// shows one dialog in the user's words and is not reported as done.
void TestEngineFailures::cleaningTheCache()
{
    EngineFixture fixture;
    QString error;
    QVERIFY2(fixture.start(EngineFixture::local(), true, &error), qPrintable(error));
    YumIO& engine = fixture.engine();
    QString const cache = fixture.root() + QStringLiteral("/var/cache/yum");
    int files = 0;
    filesUnder(cache, &files);
    QVERIFY(files > 3);
    QVERIFY(engine.cleanAll());
    filesUnder(cache, &files);
    QVERIFY2(files <= 3, qPrintable(QString::number(files)));
    QStringList const lines = EngineFixture::logged(engine).split('\n');
    QCOMPARE(lines.filter(QRegularExpression("^[0-9]+ metadata files? removed$")).size(), 1);
    QCOMPARE(lines.filter(QRegularExpression("^[0-9]+ package files? removed$")).size(), 1);
    QVERIFY(engine.cleanAll());
    QCOMPARE(fixture.answerer().answered(), 0);

    if (geteuid() != 0)
        QSKIP("making the cache unwritable needs a mount, so root");
    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    QVERIFY(!EngineFixture::readOnly(cache, [&] { return engine.cleanAll(); }));
    QCOMPARE(fixture.answerer().answered(), 1);
    QString const shown = fixture.answerer().texts().value(0);
    QVERIFY2(shown.startsWith(QLatin1String("Unable to clean the cache:\n"))
            && shown.contains(QLatin1String("Read-only file system"))
            && !shown.contains(QLatin1String("cleanMetadata")) // no step names of the script
            && !shown.contains(QLatin1String("files removed")),
        qPrintable(shown));
}

QTEST_MAIN(TestEngineFailures)
#include "TestEngineFailures.moc"
