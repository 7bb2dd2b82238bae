// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/SearchPattern.h"
#include "config-vux-tests.h"
#include "packagetable/PackageTableModel.h"
#include "packagetable/PackageTableSortFilterProxyModel.h"
#include "packagetable/PackageTableView.h"
#include "support/EngineFixture.h"
#include "yumio/YumIO.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QtTest>

#include <algorithm>

using namespace PackageTable;

// The Search reads the details of packages in C straight from dnf's pool and
// the rpm database where it can, and through the engine's getters
// otherwise: both must show the same rows. The root has the sandbox's
// packages (installed, updatable, available, a suite, groups, the "extras"
// repository) and the oddities of tests/data/search/oddities.spec, one
// installed and a newer build available.
class TestSearchBothWays : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameRows_data();
    void sameRows();
    void everyPackageReadInC();

private:
    QList<int> rows(QString const& pattern, bool direct);

    EngineFixture fixture;
    YumIO* engine = nullptr;
    Model* model = nullptr;
    View* view = nullptr;
};

void TestSearchBothWays::initTestCase()
{
    QString error;
    EngineFixture::Options options = EngineFixture::local();
    options.group = true;
    options.repos = QStringList {"base", "updates", "extras"};
    QVERIFY2(fixture.prepare(options, &error), qPrintable(error));

    // The oddities: 1.0 installed, 1.1 in a repository of the root.
    QString const spec = QStringLiteral(VUX_TEST_DATA_DIR "/search/oddities.spec");
    QString const work = QDir(fixture.root()).filePath(QStringLiteral("../oddities"));
    QJsonObject const installed = Sandbox::run(
        {"spec-repo", spec, work + QStringLiteral("/1.0"), "--define", "ver=1.0"}, &error);
    QVERIFY2(!installed.isEmpty(), qPrintable(error));
    QJsonObject const repo = Sandbox::run(
        {"spec-repo", spec, work + QStringLiteral("/1.1"), "--define", "ver=1.1"}, &error);
    QVERIFY2(!repo.isEmpty(), qPrintable(error));
    QString oddity;
    for (QJsonValue const& rpm : installed.value(QStringLiteral("rpms")).toArray()) {
        if (QFileInfo(rpm.toString()).fileName().startsWith(QLatin1String("oddity-1.0")))
            oddity = rpm.toString();
    }
    QCOMPARE(
        QProcess::execute(QStringLiteral("rpm"),
            {"--root", fixture.root(), "-i", "--nodeps", "--nosignature", "--nodigest", oddity}),
        0);
    QFile repoFile(fixture.root() + QStringLiteral("/etc/yum.repos.d/oddities.repo"));
    QVERIFY(repoFile.open(QIODevice::WriteOnly));
    repoFile.write(QStringLiteral("[oddities]\nname=Oddities\nbaseurl=file://%1/\nenabled=1\n"
                                  "gpgcheck=0\n")
                       .arg(repo.value(QStringLiteral("repo")).toString())
                       .toUtf8());
    repoFile.close();

    engine = &fixture.engine();
    QHash<QString, bool> repos = EngineFixture::allRepos();
    repos.insert(QStringLiteral("extras"), true);
    repos.insert(QStringLiteral("oddities"), true);
    QVERIFY(engine->initialize());
    QVERIFY(engine->collect(repos));
    model = new Model(engine, fixture.window());
    view = new View(model, ViewAll, true, engine, fixture.window());
    model->reset();
    view->setMode(Search);
}

// The source rows a Search for pattern shows, one way or the other.
QList<int> TestSearchBothWays::rows(QString const& pattern, bool direct)
{
    engine->setDirectSearch(direct);
    view->filtersearch(pattern);
    QList<int> found;
    for (int row = 0; row < view->proxyModel()->rowCount(); ++row)
        found.append(view->sourceRow(row));
    view->filtersearch(QString());
    engine->setDirectSearch(true);
    std::sort(found.begin(), found.end());
    return found;
}

void TestSearchBothWays::sameRows_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("finds"); // packages the pattern must find ("@": a group)
    QTest::addColumn<QStringList>("misses"); // and must not find
    auto const row = [](char const* pattern, QString const& finds, QString const& misses = {}) {
        QTest::newRow(pattern) << QString::fromUtf8(pattern) << finds.split(',', Qt::SkipEmptyParts)
                               << misses.split(',', Qt::SkipEmptyParts);
    };
    // Literals common and rare, anchors, alternatives, an invalid pattern,
    // a pattern that matches every text, and patterns found only in one
    // field: a file path, a change log, a dependency (as the header and as
    // the repository write it), a relocation prefix. Lists are matched
    // whole: ^ is the start of the first line only.
    row("lib", "libbasalt");
    row("basalt\\(api\\)", "libbasalt");
    row("no-such-text-anywhere", "");
    row("^/etc/aurora", "aurora", "aurora-data");
    row("^/usr/bin/aurora", "", "aurora");
    row("\\.txt$", "oddity");
    row("fjord|helix", "helix");
    row("(unbalanced", "ember");
    row("^$", "ember");
    row("^fjord$", "fjord,@Office Extras", "@Core Tools"); // a group by its optional package
    row("with space/file name", "oddity");
    row("s/café", "oddity");
    row("paper theme fixes", "aurora,helix", "granite,ember"); // only the newer builds' logs
    row("Tue Mar 12 2024 Zoë", "oddity");
    row("café support\n\n\\* Mon", "oddity");
    row("^/bin/sh$", ""); // a pre-install requirement
    row("\\(fjord or helix\\)", "oddity"); // a rich dependency
    row("helix < 1:0\\.5", "oddity"); // an epoch
    row("oddity-extra-api = 3\\.0$", "oddity-extra"); // epoch 0 left out
    row("rpmlib\\(RichDependencies\\)", ""); // a header's own dependency
    row("^/opt/oddity$", ""); // a relocation prefix
    row("Größe", "oddity-extra");
}

void TestSearchBothWays::sameRows()
{
    QFETCH(QString, pattern);
    QFETCH(QStringList, finds);
    QFETCH(QStringList, misses);
    QList<int> const direct = rows(pattern, true);
    QCOMPARE(direct, rows(pattern, false));
    for (QString const& name : finds + misses) {
        bool const group = name.startsWith('@');
        Package::Entry const* entry = engine->findEntry(group, name.mid(group ? 1 : 0));
        QVERIFY2(entry, qPrintable(name));
        int const row = int(std::find(engine->begin(), engine->end(), entry) - engine->begin());
        QVERIFY2(direct.contains(row) == finds.contains(name), qPrintable(name));
    }
}

// Every package was answered from the package manager's data: the tests
// above compared the C reading, not the getters with themselves.
void TestSearchBothWays::everyPackageReadInC()
{
    std::vector<Package::Entry const*> packages;
    for (Package::Entry const* entry : *engine) {
        if (entry->kind != Package::Group)
            packages.push_back(entry);
    }
    SearchPattern pattern;
    pattern.set(QStringLiteral("no-such-text-anywhere"));
    std::vector<signed char> found;
    QVERIFY(engine->searchDetails(pattern, packages, found));
    QCOMPARE(found.size(), packages.size());
    QCOMPARE(std::count(found.begin(), found.end(), 0), qsizetype(packages.size()));
}

QTEST_MAIN(TestSearchBothWays)
#include "TestSearchBothWays.moc"
