// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableModel.h"
#include "packagetable/PackageTableSortFilterProxyModel.h"
#include "packagetable/PackageTableView.h"
#include "support/EngineFixture.h"
#include "yumio/YumIO.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace PackageTable;

// The rows of packages that dnf lists in more than one line or under
// another name, as the table shows them: an install-only package with three
// versions installed, a package that another one replaces (a rename), a
// multilib pair, and what View Removable shows of an updatable package.
class TestPackageRows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyInstalledVersionHasARow_data();
    void everyInstalledVersionHasARow();
    void renamedPackageIsUpdatable();
    void removableViewShowsTheInstalledVersion();

private:
    // The rows the view shows for a name: "state version arch repository".
    QStringList rows(StateFilter filter, QString const& name) const;
    void refresh();

    EngineFixture fixture;
    YumIO* engine = nullptr;
    Model* model = nullptr;
    View* view = nullptr;
};

void TestPackageRows::initTestCase()
{
    QString error;
    EngineFixture::Options options;
    options.extra = QStringList {QStringLiteral("sandbox-kernel-5.3.0"), QStringLiteral("quartz"),
        QStringLiteral("libmica.x86_64")};
    QVERIFY2(fixture.start(options, true, &error), qPrintable(error));
    engine = &fixture.engine();
    model = new Model(engine, fixture.window());
    view = new View(model, ViewAll, true, engine, fixture.window());
    new QAbstractItemModelTester(
        view->proxyModel(), QAbstractItemModelTester::FailureReportingMode::QtTest, this);
    model->reset();
}

QStringList TestPackageRows::rows(StateFilter filter, QString const& name) const
{
    view->stateFilterChanged(filter);
    QAbstractItemModel const* shown = view->model();
    QStringList result;
    for (int row = 0; row < shown->rowCount(); ++row) {
        if (shown->index(row, NameColumn).data().toString() != name)
            continue;
        QStringList cells {engine->getState(*model->entry(view->sourceRow(row)))};
        for (int column : {VersionColumn, ArchitectureColumn, RepositoryColumn})
            cells << shown->index(row, column).data().toString();
        result << cells.join(QLatin1Char(' '));
    }
    result.sort();
    view->stateFilterChanged(ViewAll);
    return result;
}

void TestPackageRows::refresh()
{
    engine->clear();
    QVERIFY(engine->collect(EngineFixture::allRepos()));
    model->reset();
}

void TestPackageRows::everyInstalledVersionHasARow_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QStringList>("expected");
    QString const kernel = QStringLiteral("sandbox-kernel");
    QStringList const kernels {QStringLiteral("Installed 5.1.0-1 x86_64 installed"),
        QStringLiteral("Installed 5.2.0-1 x86_64 installed"),
        QStringLiteral("Installed 5.3.0-1 x86_64 installed")};
    // The newest one is the package's own row; the older ones can be removed.
    QTest::newRow("install-only, View All") << kernel << int(ViewAll) << kernels;
    QTest::newRow("install-only, View Removable") << kernel << int(ViewRemovable) << kernels;
    QTest::newRow("install-only, View Updatable") << kernel << int(ViewUpdatable) << QStringList();
    QTest::newRow("multilib") << QStringLiteral("libmica") << int(ViewAll)
                              << QStringList {QStringLiteral("Available for installation 1.0-1 "
                                                             "i686 base"),
                                     QStringLiteral("Installed 1.0-1 x86_64 installed")};
    QTest::newRow("multilib, View Installable")
        << QStringLiteral("libmica") << int(ViewInstallable)
        << QStringList {QStringLiteral("Available for installation 1.0-1 i686 base")};
}

void TestPackageRows::everyInstalledVersionHasARow()
{
    QFETCH(QString, name);
    QFETCH(int, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(rows(StateFilter(filter), name), expected);
    refresh();
    QCOMPARE(rows(StateFilter(filter), name), expected);
}

// quartzite obsoletes quartz: the installed quartz is out of date, its update
// is quartzite, and "Set Update of All Out-of-Date" takes it. quartzite can
// also be installed by its own name.
void TestPackageRows::renamedPackageIsUpdatable()
{
    QCOMPARE(rows(ViewUpdatable, QStringLiteral("quartz")),
        QStringList {QStringLiteral("Available for update 2.0-1 noarch updates")});
    QCOMPARE(rows(ViewRemovable, QStringLiteral("quartz")),
        QStringList {QStringLiteral("Available for update 1.0-1 noarch installed")});
    QCOMPARE(rows(ViewInstallable, QStringLiteral("quartzite")),
        QStringList {QStringLiteral("Available for installation 2.0-1 noarch updates")});
    Package::Entry* quartz = engine->findEntry(false, QStringLiteral("quartz"));
    int row = 0;
    while ((*engine)[row] != quartz)
        ++row;
    QCOMPARE(model->index(row, VersionColumn).data(Qt::ToolTipRole).toString(),
        QStringLiteral("Replaced by: quartzite 2.0-1\nInstalled: 1.0-1\n"));
    model->setUpdateAll();
    QCOMPARE(quartz->action, Package::Update);
    model->clearActions();
}

// View Removable shows what a removal takes away, and sorts by it.
void TestPackageRows::removableViewShowsTheInstalledVersion()
{
    QCOMPARE(rows(ViewAll, QStringLiteral("libbasalt")),
        QStringList {QStringLiteral("Available for update 2:1.2-1 x86_64 updates")});
    QCOMPARE(rows(ViewRemovable, QStringLiteral("libbasalt")),
        QStringList {QStringLiteral("Available for update 2:1.0-1 x86_64 installed")});

    view->stateFilterChanged(ViewRemovable);
    view->sortBy(VersionColumn);
    QStringList versions;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        if (view->model()->index(row, KindColumn).data(Qt::UserRole).toInt() != Package::Group)
            versions << view->model()->index(row, VersionColumn).data().toString();
    QStringList sorted = versions;
    sorted.sort();
    QCOMPARE(versions, sorted);
    view->stateFilterChanged(ViewAll);
}

QTEST_MAIN(TestPackageRows)
#include "TestPackageRows.moc"
