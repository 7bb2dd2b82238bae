#include "support/EngineFixture.h"
#include "yumio/YumIO.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include <unistd.h>

namespace {

QString allLog(YumIO& engine)
{
    QMutexLocker locker(&engine.logEntries());
    QStringList lines;
    for (Log::Entry const& entry : engine.logEntries())
        lines.append(entry.text);
    return lines.join(QLatin1Char('\n'));
}

// Every file under dir, read whole.
QByteArray allFiles(QString const& dir)
{
    QByteArray content;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            content += file.readAll();
    }
    return content;
}

int fileCount(QString const& dir)
{
    int count = 0;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++count;
    }
    return count;
}

} // namespace

// Failures from real causes: repositories that cannot be reached or read,
// credentials the server refuses, a system without repositories, a cache
// that cannot be cleaned.
class TestEngineRealFailures : public QObject
{
    Q_OBJECT

private slots:
    void unreachableRepository();
    void corruptRepository();
    void refusedLarderCredentials();
    void noRepositoriesConfigured();
    void cleaningTheCache();
};

void TestEngineRealFailures::unreachableRepository()
{
    EngineFixture fixture;
    EngineFixture::Options options;
    options.http = false;
    QString error;
    QVERIFY2(fixture.prepare(options, &error), qPrintable(error));
    // Nothing listens on port 9 of the loopback.
    QString const repoFile = fixture.root() + QStringLiteral("/etc/yum.repos.d/updates.repo");
    QFile file(repoFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[updates]\nname=Updates\nbaseurl=http://127.0.0.1:9/updates/\ngpgcheck=0\n");
    file.close();

    YumIO& engine = fixture.engine();
    QVERIFY(engine.initialize());
    QVERIFY(!engine.collect(EngineFixture::allRepos()));
    QCOMPARE(engine.count(), 0);
    QCOMPARE(fixture.answerer().answered(), 1);
    QString const text = fixture.answerer().texts().first();
    QVERIFY2(text.endsWith(QLatin1String("Unable to initialize")), qPrintable(text));
    QVERIFY2(text.contains(QLatin1String("updates")), qPrintable(text));
}

void TestEngineRealFailures::corruptRepository()
{
    QString error;
    QJsonObject const repos = Sandbox::repos(&error);
    QVERIFY2(!repos.isEmpty(), qPrintable(error));
    QString const corrupt = repos[QStringLiteral("repos")].toObject()[QStringLiteral("corrupt-primary")].toString();
    QVERIFY(!corrupt.isEmpty());

    EngineFixture fixture;
    EngineFixture::Options options;
    options.http = false;
    QVERIFY2(fixture.prepare(options, &error), qPrintable(error));
    QFile file(fixture.root() + QStringLiteral("/etc/yum.repos.d/updates.repo"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[updates]\nname=Corrupt\nbaseurl=file://" + corrupt.toUtf8() + "\ngpgcheck=0\n");
    file.close();

    YumIO& engine = fixture.engine();
    QVERIFY(engine.initialize());
    QVERIFY(!engine.collect(EngineFixture::allRepos()));
    QCOMPARE(fixture.answerer().answered(), 1);
    QVERIFY(fixture.answerer().texts().first().endsWith(QLatin1String("Unable to initialize")));
}

void TestEngineRealFailures::refusedLarderCredentials()
{
    EngineFixture fixture;
    EngineFixture::Options options;
    options.larder = QStringLiteral("tester:wrong-secret");
    QString error;
    QVERIFY2(fixture.prepare(options, &error), qPrintable(error));
    // The server only accepts other credentials.
    Sandbox::Server strict(QStringLiteral("tester:right-secret"), true);
    QVERIFY(strict.isRunning());
    for (QString const& name : {QStringLiteral("base"), QStringLiteral("updates")}) {
        QFile file(fixture.root() + QStringLiteral("/etc/yum.repos.d/%1.repo").arg(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("[%1]\nname=%1\nbaseurl=%2/larder?name=tester&password=wrong-secret"
                                  "&path=/%1/\ngpgcheck=0\n")
                       .arg(name, strict.url())
                       .toUtf8());
    }

    YumIO& engine = fixture.engine();
    QVERIFY(engine.initialize());
    QVERIFY(!engine.collect(EngineFixture::allRepos()));
    QCOMPARE(fixture.answerer().answered(), 1);
    // The user learns what failed, but the password reaches neither a
    // dialog, nor the log, nor the package manager's log files.
    QString const shown = fixture.answerer().texts().join(QLatin1Char('\n'));
    QVERIFY2(shown.contains(QLatin1String("Unable to initialize")), qPrintable(shown));
    QString const logged = allLog(engine);
    QVERIFY2(logged.contains(QLatin1String("larder")), "the failure should be logged");
    QVERIFY2(!logged.contains(QLatin1String("wrong-secret")), qPrintable(logged));
    QVERIFY(!shown.contains(QLatin1String("wrong-secret")));
    QVERIFY(!allFiles(fixture.root() + QStringLiteral("/var/log")).contains("wrong-secret"));
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
             QStringList{QStringLiteral("No repositories are configured.\nUnder the Repositories "
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
    QVERIFY(fileCount(cache) > 0);

    QVERIFY(engine.cleanAll());
    QCOMPARE(fixture.answerer().answered(), 0);
    int const left = fileCount(cache); // lock files may stay
    QVERIFY2(left <= 3, qPrintable(QString::number(left)));
    QVERIFY(engine.cleanAll()); // nothing left to clean is no failure
    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));

    if (geteuid() != 0)
        QSKIP("making the cache unwritable needs a mount, so root");
    // A cache on a file system that became read-only cannot be cleaned: the
    // user is told, and the clean is not reported as done.
    QVERIFY(QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("--bind"), cache, cache}) == 0);
    QProcess::execute(QStringLiteral("mount"),
                      {QStringLiteral("-o"), QStringLiteral("remount,bind,ro"), cache});
    bool const cleaned = engine.cleanXmlMetadata();
    QProcess::execute(QStringLiteral("umount"), {cache});
    QVERIFY(!cleaned);
    QCOMPARE(fixture.answerer().answered(), 1);
    QVERIFY(fixture.answerer().texts().first().startsWith(QLatin1String("Unable to clean the cache")));
}

QTEST_MAIN(TestEngineRealFailures)
#include "TestEngineRealFailures.moc"
