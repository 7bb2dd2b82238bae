#include "support/EngineFixture.h"
#include "yumio/YumIO.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include <unistd.h>

namespace {

// The files under dir, and their content run together.
QByteArray filesUnder(QString const& dir, int* count = nullptr)
{
    QByteArray content;
    int files = 0;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        ++files;
        if (file.open(QIODevice::ReadOnly))
            content += file.readAll();
    }
    if (count)
        *count = files;
    return content;
}

} // namespace

// Failures from real causes: repositories that cannot be reached, read or
// entered, a system without repositories, a cache that cannot be cleaned.
class TestEngineRealFailures : public QObject
{
    Q_OBJECT

private slots:
    void repositoryFailures_data();
    void repositoryFailures();
    void noRepositoriesConfigured();
    void cleaningTheCache();
};

void TestEngineRealFailures::repositoryFailures_data()
{
    QTest::addColumn<QString>("baseurl"); // %1: the strict server's URL
    QTest::addColumn<QString>("named");
    QTest::newRow("nothing listens") << "http://127.0.0.1:9/updates/"
                                     << "updates";
    QTest::newRow("corrupt metadata") << "corrupt-primary"
                                      << "updates";
    QTest::newRow("refused credentials")
        << "%1/larder?name=tester&password=wrong-secret&path=/updates/"
        << "updates";
}

void TestEngineRealFailures::repositoryFailures()
{
    QFETCH(QString, baseurl);
    QFETCH(QString, named);
    EngineFixture fixture;
    EngineFixture::Options options;
    options.http = false;
    QString error;
    QVERIFY2(fixture.prepare(options, &error), qPrintable(error));
    Sandbox::Server strict(QStringLiteral("tester:right-secret"), true);
    QVERIFY(strict.isRunning());
    if (baseurl == QLatin1String("corrupt-primary"))
        baseurl = QStringLiteral("file://")
            + Sandbox::repos()[QStringLiteral("repos")].toObject()[baseurl].toString();
    QFile file(fixture.root() + QStringLiteral("/etc/yum.repos.d/updates.repo"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("[updates]\nname=Updates\nbaseurl=%1\ngpgcheck=0\n")
                   .arg(QString(baseurl).replace(QLatin1String("%1"), strict.url()))
                   .toUtf8());
    file.close();

    YumIO& engine = fixture.engine();
    QVERIFY(engine.initialize());
    QVERIFY(!engine.collect(EngineFixture::allRepos()));
    QCOMPARE(engine.count(), 0);
    QCOMPARE(fixture.answerer().answered(), 1);
    QString const shown = fixture.answerer().texts().first();
    QVERIFY2(shown.endsWith(QLatin1String("Unable to initialize")), qPrintable(shown));
    QVERIFY2(shown.contains(named), qPrintable(shown));
    // The password reaches neither a dialog, nor the log, nor the package
    // manager's own log files.
    QString logged;
    {
        QMutexLocker locker(&engine.logEntries());
        for (Log::Entry const& entry : engine.logEntries())
            logged += entry.text + QLatin1Char('\n');
    }
    if (baseurl.contains(QLatin1String("larder")))
        QVERIFY2(logged.contains(QLatin1String("password=***")), qPrintable(logged));
    for (QString const& text : {shown, logged})
        QVERIFY2(!text.contains(QLatin1String("wrong-secret")), qPrintable(text));
    QVERIFY(!filesUnder(fixture.root() + QStringLiteral("/var/log")).contains("wrong-secret"));
}

void TestEngineRealFailures::noRepositoriesConfigured()
{
    EngineFixture fixture;
    EngineFixture::Options options;
    options.http = false;
    QString error;
    QVERIFY2(fixture.prepare(options, &error), qPrintable(error));
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

void TestEngineRealFailures::cleaningTheCache()
{
    EngineFixture fixture;
    EngineFixture::Options options;
    options.http = false;
    QString error;
    QVERIFY2(fixture.prepare(options, &error), qPrintable(error));
    YumIO& engine = fixture.engine();
    QVERIFY(engine.initialize());
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    QString const cache = fixture.root() + QStringLiteral("/var/cache/yum");
    int files = 0;
    filesUnder(cache, &files);
    QVERIFY(files > 3);

    QVERIFY(engine.cleanAll());
    filesUnder(cache, &files);
    QVERIFY2(files <= 3, qPrintable(QString::number(files))); // the lock files stay
    QVERIFY(engine.cleanAll()); // nothing left to clean is no failure
    QCOMPARE(fixture.answerer().answered(), 0);
    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));

    if (geteuid() != 0)
        QSKIP("making the cache unwritable needs a mount, so root");
    // A cache on a file system that became read-only cannot be cleaned: the
    // user is told, and the clean is not reported as done.
    QCOMPARE(
        QProcess::execute(QStringLiteral("mount"), {QStringLiteral("--bind"), cache, cache}), 0);
    QProcess::execute(
        QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,bind,ro"), cache});
    bool const cleaned = engine.cleanXmlMetadata();
    QProcess::execute(QStringLiteral("umount"), {cache});
    QVERIFY(!cleaned);
    QCOMPARE(fixture.answerer().answered(), 1);
    QVERIFY(
        fixture.answerer().texts().first().startsWith(QLatin1String("Unable to clean the cache")));
}

QTEST_MAIN(TestEngineRealFailures)
#include "TestEngineRealFailures.moc"
