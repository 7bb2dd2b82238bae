// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/Credentials.h"
#include "support/EngineFixture.h"
#include "widgets/HProgressBar.h"
#include "yumio/YumIO.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtTest>

#include <unistd.h>

namespace {

struct Listed
{
    QString version;
    QString repo;
};

// "name.arch  [epoch:]version-release  repo" lines of dnf list, by
// "name.arch".
QHash<QString, QList<Listed>> parseDnfList(QString const& text, QString const& section)
{
    QHash<QString, QList<Listed>> result;
    bool inSection = section.isEmpty();
    for (QString const& line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1String("Packages"))) {
            inSection = line.startsWith(section);
            continue;
        }
        QStringList const fields = line.simplified().split(QLatin1Char(' '));
        if (!inSection || fields.size() != 3)
            continue;
        result[fields[0]].append(Listed {fields[1], fields[2]});
    }
    return result;
}

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

} // namespace

// A collection as dnf sees the root, what it reads on demand, and failures
// from real causes: repositories that cannot be reached, read or entered,
// broken or missing configuration, a cache that cannot be cleaned; what the
// user is told and how the engine recovers.
class TestEngineCollect : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void collectionAgreesWithDnf();
    void rowsAndDetails();
    void extraDataLoadsOncePerCollection();
    void repositoryFailures_data();
    void repositoryFailures();
    void brokenConfiguration();
    void cleaningTheCache();

private:
    EngineFixture fixture;
    QString dnfAll;
    QString dnfUpdates;
};

void TestEngineCollect::initTestCase()
{
    EngineFixture::Options options;
    options.group = true;
    QVERIFY2(fixture.prepare(options), qPrintable(fixture.error));
    dnfAll = fixture.dnf({QStringLiteral("list"), QStringLiteral("--all")});
    dnfUpdates = fixture.dnf({QStringLiteral("list"), QStringLiteral("--upgrades")});
    QVERIFY(!dnfAll.isEmpty());
    // The item bar names each act of reading each repository over HTTP.
    QStringList texts;
    HProgressBar* item = fixture.itemBar();
    connect(item, &QProgressBar::valueChanged, this, [&] { texts.append(item->activity()); });
    QVERIFY(fixture.engine().initialize());
    QVERIFY(fixture.engine().collect(EngineFixture::allRepos()));
    disconnect(item, nullptr, this, nullptr);
    QCOMPARE(fixture.answerer().texts(), QStringList());
    QVERIFY(texts.contains(QStringLiteral("Converting repository contents")));
    for (QString const& repo : {QStringLiteral("base"), QStringLiteral("updates")})
        for (char const* act : {"Downloading repository contents repomd for ",
                 "Downloading repository contents for ", "Reading repository contents for "})
            QVERIFY2(texts.contains(act + repo), qPrintable(texts.join(QLatin1Char('|'))));
}

void TestEngineCollect::collectionAgreesWithDnf()
{
    YumIO& engine = fixture.engine();
    auto const installed = parseDnfList(dnfAll, QStringLiteral("Installed"));
    auto const available = parseDnfList(dnfAll, QStringLiteral("Available"));
    auto const updates = parseDnfList(dnfUpdates, QString());
    QVERIFY(!installed.isEmpty());
    QVERIFY(!updates.isEmpty());

    // One row per name and architecture, and one more for each older
    // installed version.
    QSet<QString> packageNames;
    int olderVersions = 0;
    for (Package::Entry const* entry : engine) {
        if (entry->kind == Package::Group)
            continue;
        QString const key = entry->name + QLatin1Char('.') + entry->arch;
        if (entry->olderVersion) {
            ++olderVersions;
            QCOMPARE(entry->state, Package::Installed);
            QVERIFY2(installed.contains(key), qPrintable(key));
            continue;
        }
        QVERIFY2(!packageNames.contains(key), qPrintable(key));
        packageNames.insert(key);
        if (updates.contains(key)) {
            QCOMPARE(entry->state, Package::Updatable);
            QCOMPARE(entry->verRel, updates[key].first().version);
            QCOMPARE(entry->repo, updates[key].first().repo);
        } else if (installed.contains(key)) {
            QCOMPARE(entry->state, Package::Installed);
        } else {
            QVERIFY2(available.contains(key), qPrintable(key));
            QCOMPARE(entry->state, Package::Available);
            QCOMPARE(entry->verRel, available[key].first().version);
            QCOMPARE(entry->repo, available[key].first().repo);
        }
        QVERIFY(!entry->summary.isEmpty());
        QVERIFY(entry->buildSeconds > 0);
        QVERIFY(entry->sizeBytes > 0);
    }
    QSet<QString> dnfNames;
    int installedVersions = 0;
    for (auto const* list : {&installed, &available})
        for (auto it = list->cbegin(); it != list->cend(); ++it) {
            dnfNames.insert(it.key());
            if (list == &installed)
                installedVersions += it->size() - 1;
        }
    QCOMPARE(packageNames, dnfNames);
    QCOMPARE(olderVersions, installedVersions);
}

// Rows of available packages keep the script's handle instead of an
// adapter: the adapter made from it when a detail is asked for is the row's
// own package. False when a row does not, or none had only a handle. At
// most limit rows are asked (-1: all).
static bool handlesFindTheirPackages(YumIO& engine, int limit = -1)
{
    int madeLate = 0;
    for (Package::Entry const* entry : engine) {
        if (entry->state != Package::Available || entry->kind == Package::Group || entry->object)
            continue;
        QString const version = entry->verRel.section(QLatin1Char(':'), -1);
        QString const file = QFileInfo(engine.getBinaryRpm(*entry)).fileName();
        if (file
            != entry->name + QLatin1Char('-') + version + QLatin1Char('.') + entry->arch
                + QLatin1String(".rpm")) {
            qWarning("%s: %s", qPrintable(entry->name), qPrintable(file));
            return false;
        }
        if (++madeLate == limit)
            break;
    }
    return madeLate > 0;
}

void TestEngineCollect::rowsAndDetails()
{
    YumIO& engine = fixture.engine();
    QVERIFY(handlesFindTheirPackages(engine, 2)); // the others after the extra data's loads
    // An install-only package with two versions installed and a third
    // available: the update with the newest installed version behind it,
    // and the older one in a row of its own.
    Package::Entry const* kernel = engine.findEntry(false, QStringLiteral("sandbox-kernel"));
    QVERIFY(kernel && kernel->state == Package::Updatable);
    QCOMPARE(kernel->verRel, QStringLiteral("5.3.0-1"));
    QVERIFY(kernel->next && !kernel->next->next);
    QCOMPARE(kernel->next->verRel, QStringLiteral("5.2.0-1"));
    QStringList older;
    for (Package::Entry const* entry : engine)
        if (entry->olderVersion)
            older << entry->name + QLatin1Char(' ') + entry->verRel;
    QCOMPARE(older, QStringList {QStringLiteral("sandbox-kernel 5.1.0-1")});
    QCOMPARE(engine.findEntry(false, QStringLiteral("delta-suite"))->kind, Package::Suite);

    // The installed group has an out-of-date mandatory package; a group
    // that is not user-visible has no row.
    Package::Entry const* core = engine.findEntry(true, QStringLiteral("Core Tools"));
    QVERIFY(core && core->kind == Package::Group);
    QCOMPARE(core->state, Package::Updatable);
    QVERIFY(core->verRel.isEmpty() && core->repo.isEmpty() && core->sizeBytes == 0);
    QVERIFY(!engine.findEntry(true, QStringLiteral("Hidden Runtime")));

    // Details from the rpm header of an installed package.
    Package::Entry const* cobalt = engine.findEntry(false, QStringLiteral("cobalt"));
    QVERIFY(cobalt && cobalt->next);
    QString const requires = engine.getRequires(*cobalt->next);
    QVERIFY2(requires.split(QLatin1Char('\n')).contains(QStringLiteral("libbasalt <= 2:5.0")),
        qPrintable(requires));
    QVERIFY(!engine.getFiles(*cobalt->next).isEmpty());

    // From repository metadata: "EQ" with epoch 0 reads name = version-release.
    Package::Entry const* aurora = engine.findEntry(false, QStringLiteral("aurora"));
    QString const provides = engine.getProvides(*aurora);
    QVERIFY2(provides.contains(QRegularExpression(QStringLiteral("^aurora-engine = [0-9][^:]*$"),
                 QRegularExpression::MultilineOption)),
        qPrintable(provides));

    Package::Entry const* office = engine.findEntry(true, QStringLiteral("Office Extras"));
    QCOMPARE(engine.getMandatoryPkgs(*office), QStringLiteral("ember"));
    QCOMPARE(engine.getConditionalPkgs(*office), QStringLiteral("fjord"));
    QCOMPARE(engine.getOptionalPkgs(*office), QStringLiteral("delta-suite"));
    QCOMPARE(engine.getFiles(*office) + engine.getRequires(*office), QString());
    QVERIFY(!engine.fileListsCollected()); // nothing above needed repository file lists
}

void TestEngineCollect::extraDataLoadsOncePerCollection()
{
    YumIO& engine = fixture.engine();
    QSignalSpy loaded(&engine, &YumIO::collectedExtraData);
    Package::Entry const* aurora = engine.findEntry(false, QStringLiteral("aurora"));
    Package::Entry const* ember = engine.findEntry(false, QStringLiteral("ember"));
    QVERIFY(aurora && ember && ember->state == Package::Available);
    // File lists, loaded once for both: one path a line, sorted, no repeats.
    for (Package::Entry const* entry : {aurora, ember}) {
        QStringList const paths = engine.getFiles(*entry).split(QLatin1Char('\n'));
        QStringList ordered = paths;
        ordered.sort();
        ordered.removeDuplicates();
        QVERIFY(paths.first().startsWith(QLatin1Char('/')));
        QCOMPARE(paths, ordered);
    }
    QVERIFY(engine.fileListsCollected());
    QTRY_COMPARE(loaded.count(), 1);

    QString const changes = engine.getChangeLog(*aurora);
    QVERIFY2(changes.startsWith(QLatin1String("* Thu Mar 14 2024 Ada Example <ada@example.org> - "
                                              "1.1-1\n- Update to 1.1: paper theme fixes\n")),
        qPrintable(changes));
    QVERIFY(engine.otherDataCollected());
    QTRY_COMPARE(loaded.count(), 2);
    QVERIFY(handlesFindTheirPackages(engine)); // after both loads

    // A new collection needs the extra data again.
    QVERIFY(EngineFixture::collectAgain(engine));
    QVERIFY(!engine.fileListsCollected() && !engine.otherDataCollected());
    QVERIFY(!engine.getFiles(*engine.findEntry(false, QStringLiteral("aurora"))).isEmpty());
    QTRY_COMPARE(loaded.count(), 3);
}

void TestEngineCollect::repositoryFailures_data()
{
    QTest::addColumn<QString>("baseurl"); // %1: the strict server's URL
    QTest::newRow("nothing listens") << "http://127.0.0.1:9/updates/";
    QTest::newRow("corrupt metadata") << "corrupt-primary";
    QTest::newRow("refused credentials")
        << "%1/larder?name=tester&password=wrong-secret&path=/updates/";
}

void TestEngineCollect::repositoryFailures()
{
    QFETCH(QString, baseurl);
    EngineFixture fixture;
    QVERIFY2(fixture.prepare(EngineFixture::local()), qPrintable(fixture.error));
    Sandbox::Server strict(QStringLiteral("tester:right-secret"), true);
    QVERIFY(strict.isRunning());
    if (baseurl == QLatin1String("corrupt-primary"))
        baseurl = QStringLiteral("file://")
            + Sandbox::repos()[QStringLiteral("repos")].toObject()[baseurl].toString();
    QVERIFY(EngineFixture::put(fixture.root() + QStringLiteral("/etc/yum.repos.d/updates.repo"),
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

// Repository files the package manager leaves out: the other repositories
// load, and one warning names each file and why. Then the configuration
// breaks while Vux runs: the refresh says why, later commands fail cleanly,
// and a refresh after the repair works; without any repository file the
// refresh says so.
void TestEngineCollect::brokenConfiguration()
{
    EngineFixture fixture;
    QVERIFY2(fixture.prepare(EngineFixture::local()), qPrintable(fixture.error));
    QString const dir = fixture.root() + QStringLiteral("/etc/yum.repos.d/");
    QVERIFY(
        EngineFixture::put(dir + "cafe.repo", "[cafe]\nname=Caf\xe9\nbaseurl=file:///nowhere\n"));
    QVERIFY(EngineFixture::put(dir + "main.repo", "[main]\nname=Main\nbaseurl=file:///nowhere\n"));
    QVERIFY(EngineFixture::put(dir + "broken.repo", "[broken\nname=Broken\n"));
    YumIO& engine = fixture.engine();
    QVERIFY(engine.initialize());
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    QVERIFY(engine.findEntry(false, QStringLiteral("helix")));
    QCOMPARE(fixture.answerer().titles(), QStringList {YumIO::warningTitle()});
    QString const warned = fixture.answerer().texts().value(0);
    for (QString const& expected : QStringList {
             dir + "cafe.repo: Repository 'cafe': the value of option name is not UTF-8 text",
             dir + "main.repo: a repository may not be named 'main'", dir + "broken.repo\" failed"})
        QVERIFY2(warned.contains(expected), qPrintable(warned));
    QVERIFY(EngineFixture::collectAgain(engine));
    QCOMPARE(fixture.answerer().answered(), 1); // told once

    QString const conf = fixture.root() + QStringLiteral("/etc/yum.conf");
    QFile file(conf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray const saved = file.readAll();
    QVERIFY(EngineFixture::put(conf, "[main\nbroken\n"));
    QVERIFY(!EngineFixture::collectAgain(engine));
    QCOMPARE(engine.count(), 0);
    QCOMPARE(
        fixture.answerer().titles(), (QStringList {YumIO::warningTitle(), YumIO::errorTitle()}));
    QString const shown = fixture.answerer().texts().value(1);
    QVERIFY2(shown.contains(QLatin1String("Parsing file")) && !shown.contains("Internal error")
            && shown.endsWith(QLatin1String("Unable to initialize")),
        qPrintable(shown));
    QVERIFY(!engine.cleanPackages());
    QVERIFY(!engine.collect(EngineFixture::allRepos()));
    QCOMPARE(fixture.answerer().answered(), 4);

    QVERIFY(EngineFixture::put(conf, saved));
    QVERIFY(EngineFixture::collectAgain(engine));
    QVERIFY(engine.findEntry(false, QStringLiteral("aurora")));
    QCOMPARE(fixture.answerer().answered(), 4);

    QDir repos(fixture.root() + QStringLiteral("/etc/yum.repos.d"));
    for (QString const& name : repos.entryList(QDir::Files))
        QVERIFY(repos.remove(name));
    QVERIFY(!EngineFixture::collectAgain(engine));
    QCOMPARE(fixture.answerer().texts().last(), YumIO::noRepositoriesConfigured());
}

// A clean removes the cache (the lock files stay) and logs each result once;
// nothing left to clean is no failure. A clean that fails in several steps
// shows one dialog in the user's words and is not reported as done.
void TestEngineCollect::cleaningTheCache()
{
    EngineFixture fixture;
    QVERIFY2(fixture.start(EngineFixture::local(), true), qPrintable(fixture.error));
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
    QVERIFY(EngineFixture::collectAgain(engine));
    QVERIFY(!EngineFixture::readOnly(cache, [&] { return engine.cleanAll(); }));
    QCOMPARE(fixture.answerer().answered(), 1);
    QString const shown = fixture.answerer().texts().value(0);
    QVERIFY2(shown.startsWith(QLatin1String("Unable to clean the cache:\n"))
            && shown.contains(QLatin1String("Read-only file system"))
            && !shown.contains(QLatin1String("cleanMetadata")) // no step names of the script
            && !shown.contains(QLatin1String("files removed")),
        qPrintable(shown));
}

QTEST_MAIN(TestEngineCollect)
#include "TestEngineCollect.moc"
