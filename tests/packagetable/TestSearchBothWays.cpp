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
    QTest::addColumn<QString>("finds"); // a package the pattern must find
    // Literals common and rare, anchors, alternatives, an invalid pattern,
    // a pattern that matches every text, and patterns found only in one
    // field: a file path, a change log, a dependency (as the header and as
    // the repository write it), a relocation prefix.
    QTest::newRow("common") << "lib"
                            << "libbasalt";
    QTest::newRow("rare") << "basalt\\(api\\)"
                          << "libbasalt";
    QTest::newRow("nothing") << "no-such-text-anywhere"
                             << "";
    QTest::newRow("anchored start") << "^/etc/aurora"
                                    << "aurora";
    QTest::newRow("anchored end") << "\\.txt$"
                                  << "oddity";
    QTest::newRow("alternatives") << "fjord|helix"
                                  << "helix";
    QTest::newRow("invalid") << "(unbalanced"
                             << "ember";
    QTest::newRow("empty text") << "^$"
                                << "ember";
    QTest::newRow("file path") << "with space/file name"
                               << "oddity";
    QTest::newRow("over a slash") << "s/café"
                                  << "oddity";
    QTest::newRow("change log") << "paper theme fixes"
                                << "helix";
    QTest::newRow("change log date") << "Tue Mar 12 2024 Zoë"
                                     << "oddity";
    QTest::newRow("records") << "café support\n\n\\* Mon"
                             << "oddity";
    QTest::newRow("pre-install requirement") << "^/bin/sh$"
                                             << "";
    QTest::newRow("rich dependency") << "\\(fjord or helix\\)"
                                     << "oddity";
    QTest::newRow("epoch") << "helix < 1:0\\.5"
                           << "oddity";
    QTest::newRow("epoch 0 left out") << "oddity-extra-api = 3\\.0$"
                                      << "oddity-extra";
    QTest::newRow("header dependency") << "rpmlib\\(RichDependencies\\)"
                                       << "";
    QTest::newRow("prefix") << "^/opt/oddity$"
                            << "";
    QTest::newRow("beyond ASCII") << "Größe"
                                  << "oddity-extra";
}

void TestSearchBothWays::sameRows()
{
    QFETCH(QString, pattern);
    QFETCH(QString, finds);
    QList<int> const direct = rows(pattern, true);
    QCOMPARE(direct, rows(pattern, false));
    if (!finds.isEmpty()) {
        Package::Entry const* entry = engine->findEntry(false, finds);
        QVERIFY(entry);
        int const row = int(std::find(engine->begin(), engine->end(), entry) - engine->begin());
        QVERIFY2(direct.contains(row), qPrintable(finds));
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
