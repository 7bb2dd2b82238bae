// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableModel.h"
#include "packagetable/PackageTableSortFilterProxyModel.h"
#include "packagetable/PackageTableView.h"
#include "python/Python.h"
#include "support/EngineFixture.h"
#include "widgets/HTableView.h"
#include "yumio/YumIO.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QTimer>
#include <QtTest>

using namespace PackageTable;

// The package table's model, proxy and view over a collected sandbox root
// (updatable, installed and available packages, a suite and groups).
class TestPackageTable : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void detailReadsWhileExtraDataLoads();
    void cellsByState_data();
    void cellsByState();
    void versionToolTipOfAnUpdate();
    void toggleCycles();
    void bulkActions();
    void contextMenusByStateAndColumn_data();
    void contextMenusByStateAndColumn();
    void holdsAndDowngrades();
    void selectionThroughDescendingSort();
    void stateAndKindFilters();
    void filterAcrossNeighbouringFields();
    void onlyWildcardsReadNothing();
    void searchLoadsWhatItReads();
    void matchesAsPosixDoes_data();
    void matchesAsPosixDoes();
    void searchEveryField_data();
    void searchEveryField();
    void sortsBySizeBeyond2GiB();
    void columnWidthsMatchTheDelegate();
    void newCollectionEmptiesTheCache();
    void engineGone();

private:
    int rowOf(QString const& name, bool isGroup = false) const;
    QStringList shown() const;
    // Runs the view's context menu at the cell, choosing the action with
    // this object name (none: closes it); the names of the enabled,
    // visible actions.
    QStringList runMenu(int sourceRow, int column, QString const& choose = QString());

    EngineFixture fixture;
    YumIO* engine = nullptr;
    Model* model = nullptr;
    View* view = nullptr;
    SortFilterProxyModel* proxy = nullptr;
    QAbstractItemModelTester* modelTester = nullptr;
    QAbstractItemModelTester* proxyTester = nullptr;
};

void TestPackageTable::initTestCase()
{
    QString error;
    EngineFixture::Options options;
    options.group = true;
    // libbasalt is updated already: its older version is there to
    // downgrade to.
    QVERIFY2(fixture.prepare(options, &error), qPrintable(error));
    fixture.dnf({QStringLiteral("-y"), QStringLiteral("upgrade"), QStringLiteral("libbasalt")});
    engine = &fixture.engine();
    QVERIFY(engine->initialize() && engine->collect(EngineFixture::allRepos()));
    model = new Model(engine, fixture.window());
    view = new View(model, ViewAll, true, engine, fixture.window());
    proxy = view->proxyModel();
    modelTester = new QAbstractItemModelTester(
        model, QAbstractItemModelTester::FailureReportingMode::QtTest, this);
    proxyTester = new QAbstractItemModelTester(
        proxy, QAbstractItemModelTester::FailureReportingMode::QtTest, this);
    model->reset();
    fixture.window()->resize(1000, 700);
    view->setGeometry(0, 0, 1000, 700);
    fixture.window()->show();
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(fixture.window()));
}

int TestPackageTable::rowOf(QString const& name, bool isGroup) const
{
    Package::Entry const* entry = engine->findEntry(isGroup, name);
    for (int row = 0; entry && row < engine->count(); ++row) {
        if ((*engine)[row] == entry)
            return row;
    }
    return -1;
}

QStringList TestPackageTable::shown() const
{
    QStringList names;
    for (int row = 0; row < proxy->rowCount(); ++row)
        names << proxy->index(row, NameColumn).data().toString();
    return names;
}

QStringList TestPackageTable::runMenu(int sourceRow, int column, QString const& choose)
{
    QStringList offered;
    QTimer::singleShot(0, this, [&] {
        QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions()) {
            if (action->isVisible() && action->isEnabled() && !action->isSeparator())
                offered << action->objectName();
        }
        QAction* chosen = choose.isEmpty() ? nullptr : menu->findChild<QAction*>(choose);
        if (!chosen && !choose.isEmpty()) {
            for (QAction* action : menu->actions())
                if (action->objectName() == choose)
                    chosen = action;
        }
        if (chosen)
            menu->setActiveAction(chosen), QTest::keyClick(menu, Qt::Key_Return);
        else
            menu->close();
    });
    QModelIndex const cell = proxy->mapFromSource(model->index(sourceRow, column));
    view->scrollTo(cell);
    QMetaObject::invokeMethod(
        view, "handleCustomContextMenuRequested", Q_ARG(QPoint, view->visualRect(cell).center()));
    return offered;
}

void TestPackageTable::detailReadsWhileExtraDataLoads()
{
    // Extra data is not loaded yet after the collection. A file list read
    // while the GUI thread holds the interpreter lock through an outer frame
    // must give the lock to the worker that loads the file lists.
    QVERIFY(!engine->fileListsCollected());
    Package::Entry const* ember = engine->findEntry(false, QStringLiteral("ember"));
    QVERIFY(ember);
    QString files;
    {
        Python::PyGILStateWrapper outer(true);
        files = engine->getFiles(*ember);
    }
    QVERIFY2(files.contains(QLatin1String("/usr/share/ember")), qPrintable(files));
    QVERIFY(engine->fileListsCollected());

    // While the change logs load on a worker, reads coming from events wait
    // for it rather than for the lock the worker holds.
    QStringList during;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&] {
        if (!during.isEmpty())
            return;
        during << engine->getDescription(*ember) << engine->getChangeLog(*ember)
               << engine->getFiles(*ember);
    });
    ticker.start(1);
    QVERIFY(engine->collectOtherData());
    ticker.stop();
    QCOMPARE(during.size(), 3);
    QVERIFY(!during.at(0).isEmpty());
    QVERIFY2(during.at(1).startsWith(QLatin1String("* ")), qPrintable(during.at(1)));
    QCOMPARE(during.at(2), files);
}

void TestPackageTable::cellsByState_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("hasStateIcon");
    QTest::addColumn<QString>("stateTip");
    QTest::addColumn<QString>("kindTip");
    QTest::addColumn<QVariant>("colour");
    auto const row = [](char const* tag, QString const& name, bool icon, QString const& state,
                         QString const& kind, QColor const& colour) {
        QTest::newRow(tag) << name << icon << state << kind << QVariant(colour);
    };
    QString const available = "Package is available for installation";
    row("updatable", "aurora", true, "Package is available to update an out-of-date version",
        "Ordinary package", QColor("red"));
    row("available", "ember", false, available, "Ordinary package", QColor("#8b5a2b"));
    row("installed", "granite", true, "Package is installed and up-to-date", "Ordinary package",
        QColor());
    row("suite", "delta-suite", false, available, "Suite of packages", QColor("#8b5a2b"));
}

void TestPackageTable::cellsByState()
{
    QFETCH(QString, name);
    QFETCH(bool, hasStateIcon);
    QFETCH(QString, stateTip);
    QFETCH(QString, kindTip);
    QFETCH(QVariant, colour);
    int const row = rowOf(name);
    QVERIFY(row >= 0);
    QCOMPARE(model->index(row, StateColumn).data(Qt::DecorationRole).isValid(), hasStateIcon);
    QCOMPARE(model->index(row, StateColumn).data(Qt::ToolTipRole).toString(), stateTip);
    QCOMPARE(model->index(row, KindColumn).data(Qt::ToolTipRole).toString(), kindTip);
    QVERIFY(!model->index(row, ActionColumn).data(Qt::ToolTipRole).isValid());
    QVERIFY(model->index(row, ActionColumn).data(Qt::DecorationRole).canConvert<QIcon>());
    QVERIFY(!model->index(row, ActionColumn).data(Qt::ForegroundRole).isValid());
    QCOMPARE(model->index(row, NameColumn).data(Qt::ForegroundRole).value<QColor>(),
        colour.value<QColor>());
    QCOMPARE(model->index(row, NameColumn).data().toString(), name);
    // Icon-only cells still read as text.
    QCOMPARE(model->index(row, StateColumn).data(Qt::AccessibleTextRole).toString(), stateTip);
    // Drawn in the pale colours while disabled, once repainted.
    view->setEnabled(false);
    if (colour.value<QColor>().isValid())
        QVERIFY(model->index(row, NameColumn).data(Qt::ForegroundRole).value<QColor>()
            != colour.value<QColor>());
    view->setEnabled(true);
    QCOMPARE(model->index(row, NameColumn).data(Qt::ForegroundRole).value<QColor>(),
        colour.value<QColor>());
}

void TestPackageTable::versionToolTipOfAnUpdate()
{
    QCOMPARE(model->index(rowOf("aurora"), VersionColumn).data(Qt::ToolTipRole).toString(),
        QStringLiteral("Available: 1.1-1\nInstalled: 1.0-1\n"));
    // An install-only package: the newest installed version behind the
    // update (the older one has a row of its own).
    QCOMPARE(model->index(rowOf("sandbox-kernel"), VersionColumn).data(Qt::ToolTipRole).toString(),
        QStringLiteral("Available: 5.3.0-1\nInstalled: 5.2.0-1\n"));
    for (char const* name : {"granite", "ember"})
        QVERIFY(!model->index(rowOf(name), VersionColumn).data(Qt::ToolTipRole).isValid());
}

void TestPackageTable::toggleCycles()
{
    auto cycle = [this](int row) {
        QStringList tips;
        for (int i = 0; i < 3; ++i) {
            QModelIndex const cell = proxy->mapFromSource(model->index(row, ActionColumn));
            view->scrollTo(cell);
            QSignalSpy changed(view, &View::stateChanged);
            QTest::mouseClick(
                view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
            if (changed.count() != 1 || changed.first().first().toInt() != row)
                return QStringList {QStringLiteral("no stateChanged")};
            QVariant const tip = model->index(row, ActionColumn).data(Qt::ToolTipRole);
            tips << (tip.isValid() ? tip.toString() : QStringLiteral("none"));
        }
        return tips;
    };
    QCOMPARE(cycle(rowOf("aurora")), QStringList({"Update package", "Remove package", "none"}));
    QCOMPARE(cycle(rowOf("ember")), QStringList({"Install package", "none", "Install package"}));
    QCOMPARE(cycle(rowOf("granite")), QStringList({"Remove package", "none", "Remove package"}));
    // Groups toggle like packages of their state.
    Package::Entry const* group = engine->findEntry(true, QStringLiteral("Office Extras"));
    QVERIFY(group);
    QCOMPARE(group->state, Package::Available);
    QCOMPARE(cycle(rowOf("Office Extras", true)),
        QStringList({"Install package", "none", "Install package"}));
    // A click elsewhere only selects.
    QModelIndex const name = proxy->mapFromSource(model->index(rowOf("cobalt"), NameColumn));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(name).center());
    QCOMPARE((*engine)[rowOf("cobalt")]->action, Package::None);
    // The keyboard does what a click does.
    view->setCurrentIndex(proxy->mapFromSource(model->index(rowOf("cobalt"), ActionColumn)));
    QTest::keyClick(view, Qt::Key_Space);
    QCOMPARE((*engine)[rowOf("cobalt")]->action, Package::Update);
    model->clearActions();
}

void TestPackageTable::bulkActions()
{
    QSignalSpy changes(model, &QAbstractItemModel::dataChanged);
    model->clearActions();
    QCOMPARE(changes.count(), 0);

    model->setSelected({model->index(rowOf("aurora"), NameColumn),
        model->index(rowOf("granite"), SizeColumn), model->index(rowOf("ember"), ActionColumn)});
    QCOMPARE(changes.count(), 2);
    QCOMPARE((*engine)[rowOf("aurora")]->action, Package::Update);
    QCOMPARE((*engine)[rowOf("ember")]->action, Package::Install);
    QCOMPARE((*engine)[rowOf("granite")]->action, Package::None);
    QCOMPARE(changes.first().at(0).toModelIndex().column(), int(ActionColumn));

    changes.clear();
    model->setUpdateAll();
    int updatable = 0;
    for (Package::Entry const* entry : *engine)
        updatable += entry->state == Package::Updatable;
    QCOMPARE(changes.count(), updatable);
    for (Package::Entry const* entry : *engine)
        QCOMPARE(entry->action == Package::Update, entry->state == Package::Updatable);
    QVERIFY(updatable >= 5);

    changes.clear();
    model->clearActions();
    QCOMPARE(changes.count(), updatable + 1); // and ember
}

void TestPackageTable::contextMenusByStateAndColumn_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("choose");
    QTest::addColumn<QStringList>("offered");
    QTest::addColumn<int>("action");
    auto const row = [](char const* tag, QString const& name, int column, QString const& choose,
                         QString const& offered, Package::Action action) {
        QTest::newRow(tag) << name << column << choose << offered.split(' ') << int(action);
    };
    // The installed version of every installed package is in base: each can
    // be reinstalled; only libbasalt has an older version.
    row("updatable action", "aurora", 0, "updateAction",
        "updateAction removeAction noneAction reinstallAction", Package::Update);
    row("available action", "ember", 0, "installAction", "installAction noneAction",
        Package::Install);
    row("installed action", "granite", 0, "removeAction", "removeAction noneAction reinstallAction",
        Package::Remove);
    row("reinstall", "granite", 0, "reinstallAction", "removeAction noneAction reinstallAction",
        Package::Reinstall);
    row("repository", "granite", 5, "", "describeAction browseAction reinstallAction holdAction",
        Package::None);
    row("name", "granite", 3, "", "describeAction reinstallAction holdAction", Package::None);
    row("reinstall by name", "granite", 3, "reinstallAction",
        "describeAction reinstallAction holdAction", Package::Reinstall);
    row("downgradable", "libbasalt", 3, "",
        "describeAction reinstallAction downgradeAction holdAction", Package::None);
    row("available name", "ember", 3, "", "describeAction", Package::None);
}

void TestPackageTable::contextMenusByStateAndColumn()
{
    QFETCH(QString, name);
    QFETCH(int, column);
    QFETCH(QString, choose);
    QFETCH(QStringList, offered);
    QFETCH(int, action);
    int const row = rowOf(name);
    QSignalSpy changed(view, &View::stateChanged);
    QCOMPARE(runMenu(row, column, choose), offered);
    QCOMPARE(int((*engine)[row]->action), action);
    // Both menus report what they may have changed, as a click does.
    QCOMPARE(changed.count(), 1);
    model->clearActions();
}

// A hold from the row's menu: the row shows it, and its update is neither
// offered nor marked by a click or the bulk commands (a mark to update it
// goes); released, all is as before. A version chosen in the Downgrade
// submenu marks the row.
void TestPackageTable::holdsAndDowngrades()
{
    int const aurora = rowOf("aurora");
    auto action = [this](int row) { return (*engine)[row]->action; };
    auto stateIcon = [this](int row) {
        return qvariant_cast<QIcon>(model->index(row, StateColumn).data(Qt::DecorationRole))
            .cacheKey();
    };
    model->setAction(model->index(aurora, ActionColumn), Package::Update);
    runMenu(aurora, NameColumn, QStringLiteral("holdAction"));
    QVERIFY(model->isHeld(model->index(aurora, NameColumn)));
    QCOMPARE(action(aurora), Package::None);
    QVERIFY(stateIcon(aurora) != stateIcon(rowOf("cobalt")));
    QVERIFY(!runMenu(aurora, ActionColumn).contains(QStringLiteral("updateAction")));
    model->toggleAction(model->index(aurora, ActionColumn));
    QCOMPARE(action(aurora), Package::Remove);
    model->clearActions();
    model->setUpdateAll();
    model->setSelected({model->index(aurora, NameColumn)});
    QCOMPARE(action(aurora), Package::None);
    QCOMPARE(action(rowOf("cobalt")), Package::Update);
    model->clearActions();

    runMenu(aurora, NameColumn, QStringLiteral("holdAction"));
    QVERIFY(!model->isHeld(model->index(aurora, NameColumn)));
    QCOMPARE(stateIcon(aurora), stateIcon(rowOf("cobalt")));
    model->setUpdateAll();
    QCOMPARE(action(aurora), Package::Update);
    model->clearActions();

    int const libbasalt = rowOf("libbasalt");
    int offered = 0;
    QTimer::singleShot(0, this, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        auto* versions = menu ? menu->findChild<QMenu*>(QStringLiteral("downgradeMenu")) : nullptr;
        if (versions) {
            offered = int(versions->actions().size());
            if (offered > 0)
                versions->actions().first()->trigger();
        }
        if (menu)
            menu->close();
    });
    QModelIndex const cell = proxy->mapFromSource(model->index(libbasalt, NameColumn));
    view->scrollTo(cell);
    QMetaObject::invokeMethod(
        view, "handleCustomContextMenuRequested", Q_ARG(QPoint, view->visualRect(cell).center()));
    QCOMPARE(offered, 1);
    QCOMPARE(action(libbasalt), Package::Downgrade);
    QCOMPARE((*engine)[libbasalt]->downgradeVersion, QStringLiteral("2:1.0-1"));
    model->clearActions();
}

void TestPackageTable::selectionThroughDescendingSort()
{
    view->sortByColumn(NameColumn, Qt::DescendingOrder);
    QStringList const names = shown();
    QVERIFY(names.size() > 4);
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end(), std::greater<QString>());
    QCOMPARE(names, sorted);
    // The first two rows on screen, whatever their source rows.
    view->clearSelection();
    view->selectionModel()->select(QItemSelection(proxy->index(0, 0), proxy->index(1, 8)),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QModelIndexList const rows = view->selectedRows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).model(), static_cast<QAbstractItemModel const*>(model));
    QCOMPARE(model->index(rows.at(0).row(), NameColumn).data().toString(), names.at(0));
    QCOMPARE(model->index(rows.at(1).row(), NameColumn).data().toString(), names.at(1));
    // The current row is reported in source rows, and only when it changes.
    QSignalSpy current(view, qOverload<int, int>(&View::currentChanged));
    view->setCurrentIndex(proxy->index(2, NameColumn));
    QCOMPARE(current.count(), 1);
    QCOMPARE(
        model->index(current.first().first().toInt(), NameColumn).data().toString(), names.at(2));
    view->setCurrentIndex(proxy->index(2, VersionColumn));
    QCOMPARE(current.count(), 1);
    view->sortByColumn(KindColumn, Qt::AscendingOrder);
    QCOMPARE(proxy->index(0, NameColumn).data().toString(), QStringLiteral("delta-suite"));
}

void TestPackageTable::stateAndKindFilters()
{
    view->stateFilterChanged(ViewRemovable);
    view->groupsFilterChanged(false);
    QStringList names = shown();
    QVERIFY(names.contains("granite") && names.contains("aurora"));
    QVERIFY(!names.contains("ember") && !names.contains("Core Tools"));
    view->stateFilterChanged(ViewInstallable);
    names = shown();
    QVERIFY(names.contains("delta-suite")); // suites are never dropped as groups
    QVERIFY(!names.contains("Office Extras") && !names.contains("granite"));
    view->groupsFilterChanged(true);
    QVERIFY(shown().contains("Office Extras"));
    view->stateFilterChanged(ViewUpdatable);
    for (int row = 0; row < proxy->rowCount(); ++row)
        QCOMPARE(model->getState(view->sourceRow(row)), Package::Updatable);
    view->stateFilterChanged(ViewAll);
    QCOMPARE(proxy->rowCount(), model->rowCount());
}

void TestPackageTable::filterAcrossNeighbouringFields()
{
    view->setMode(Filter);
    view->filtersearch(QStringLiteral("granite 3"));
    QCOMPARE(shown(), QStringList {"granite"});
    // Case-sensitive.
    view->filtersearch(QStringLiteral("Granite"));
    QCOMPARE(shown(), QStringList());
    view->setMode(Search);
    view->filtersearch(QStringLiteral("granite 3"));
    QCOMPARE(shown(), QStringList());
    view->setMode(Filter);
    view->filtersearch(QStringLiteral("^gran"));
    QCOMPARE(shown(), QStringList {"granite"});
    // Switching filtering off shows everything; back on, the cached answers
    // come back.
    view->setFilter(false);
    QCOMPARE(proxy->rowCount(), model->rowCount());
    view->setFilter(true);
    QCOMPARE(shown(), QStringList {"granite"});
}

// Only wildcards: nothing to match, so Search reads nothing either.
void TestPackageTable::onlyWildcardsReadNothing()
{
    view->setMode(Filter);
    view->filtersearch(QStringLiteral(".*.*.*"));
    engine->clear();
    QVERIFY(engine->collect(EngineFixture::allRepos()));
    model->reset();
    view->setMode(Search);
    QCOMPARE(proxy->filterPattern(), QString());
    QCOMPARE(proxy->rowCount(), model->rowCount());
    QVERIFY(!engine->fileListsCollected());
    QVERIFY(!engine->otherDataCollected());
    view->filtersearch(QStringLiteral(".*ember.*"));
    QCOMPARE(proxy->filterPattern(), QStringLiteral("ember"));
    view->setMode(Filter);
}

void TestPackageTable::searchLoadsWhatItReads()
{
    // A search over a fresh collection reads change logs that are not loaded
    // yet: the getters load them from inside the table's refiltering, even
    // with the interpreter lock held around the whole search.
    view->filtersearch(QString());
    engine->clear();
    QVERIFY(engine->collect(EngineFixture::allRepos()));
    model->reset();
    QVERIFY(!engine->otherDataCollected());
    view->setMode(Search);
    {
        Python::PyGILStateWrapper outer(true);
        view->filtersearch(QStringLiteral("paper theme fixes"));
    }
    QVERIFY(engine->fileListsCollected() && engine->otherDataCollected());
    QVERIFY(shown().contains("aurora"));
    QVERIFY(!shown().contains("granite"));
    view->filtersearch(QString());
    view->setMode(Filter);
}

void TestPackageTable::matchesAsPosixDoes_data()
{
    QTest::addColumn<QString>("pattern");
    // Patterns whose plain parts are tested before the expression runs: the
    // shortcut must never change an answer.
    for (char const* pattern : {"ab*c", "a(bc)*d", "x|yz", "[ab]cd", "ab{0,2}c", "\\.conf", "ab?cd",
             "^lib-[0-9]+dev", "[]x]yz", "[^a]bc", "(ab|cd)ef", "lib.*devel$", "a+b", "cd", "c.d"})
        QTest::newRow(pattern) << QString::fromLatin1(pattern);
}

void TestPackageTable::matchesAsPosixDoes()
{
    QFETCH(QString, pattern);
    QStringList const texts {"ac", "abbc", "ad", "abcbcd", "yz", "x", "acd", "bcd", "cd", "ac",
        "abc", "a.conf", "aconf", "abcd", "lib-12dev", "xlib-1dev", "]yz", "xyz", "zbc", "abc",
        "cdef", "abef", "libfoo-devel", "libdevel x", "aab", "b", "c d", "c\nd",
        QString::fromUtf8("c\xc3\xa9"
                          "d")};
    SortFilterProxyModel proxy(ViewAll, true, nullptr);
    proxy.setFilterRegExp(pattern);
    regex_t reference;
    QCOMPARE(regcomp(&reference, pattern.toLocal8Bit().constData(), REG_EXTENDED | REG_NOSUB), 0);
    for (QString const& text : texts) {
        QByteArray const bytes = text.toLocal8Bit();
        bool const expected = regexec(&reference, bytes.constData(), 0, nullptr, 0) == 0;
        QVERIFY2(proxy.matches(bytes) == expected, qPrintable(text));
    }
    regfree(&reference);
}

void TestPackageTable::searchEveryField_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QStringList>("notFound");
    // A line only the newer builds' change logs have.
    QTest::newRow("change log line") << "paper theme fixes" << QStringList {"aurora", "helix"}
                                     << QStringList {"granite", "ember"};
    // Lists are matched whole: ^ is the start of the first line only.
    QTest::newRow("anchored file list")
        << "^/etc/aurora" << QStringList {"aurora"} << QStringList {"aurora-data"};
    QTest::newRow("path on a later line")
        << "^/usr/bin/aurora" << QStringList {} << QStringList {"aurora"};
    QTest::newRow("group by optional package")
        << "^fjord$" << QStringList {"fjord", "Office Extras"} << QStringList {"Core Tools"};
}

void TestPackageTable::searchEveryField()
{
    QFETCH(QString, pattern);
    QFETCH(QStringList, found);
    QFETCH(QStringList, notFound);
    QVERIFY(engine->collectFileLists());
    QVERIFY(engine->collectOtherData());
    view->filtersearch(QString());
    view->setMode(Search);
    view->filtersearch(pattern);
    QStringList const names = shown();
    for (QString const& name : found)
        QVERIFY2(names.contains(name), qPrintable(names.join(' ')));
    for (QString const& name : notFound)
        QVERIFY2(!names.contains(name), qPrintable(names.join(' ')));
    if (found.isEmpty())
        QCOMPARE(names, QStringList());
    view->filtersearch(QString());
    view->setMode(Filter);
}

void TestPackageTable::sortsBySizeBeyond2GiB()
{
    view->filtersearch(QString());
    // Sizes past the 32-bit ranges, set on the entries as a huge package
    // would have them.
    Package::Entry* ember = (*engine)[rowOf("ember")];
    Package::Entry* fjord = (*engine)[rowOf("fjord")];
    Package::Entry* helix = (*engine)[rowOf("helix")];
    quint64 const saved[] = {ember->sizeBytes, fjord->sizeBytes, helix->sizeBytes};
    ember->sizeBytes = 5ull << 30;
    fjord->sizeBytes = (2ull << 30) + 1;
    helix->sizeBytes = (2ull << 30) + 1;
    model->reset();
    view->sortByColumn(SizeColumn, Qt::DescendingOrder);
    QStringList const names = shown();
    ember->sizeBytes = saved[0];
    fjord->sizeBytes = saved[1];
    helix->sizeBytes = saved[2];
    // Equal sizes by name (descending as well).
    QCOMPARE(names.mid(0, 3), QStringList({"ember", "helix", "fjord"}));
    view->sortByColumn(KindColumn, Qt::AscendingOrder);
}

void TestPackageTable::columnWidthsMatchTheDelegate()
{
    // The view ranks texts by cached character advances; the widths must be
    // those of measuring every cell with the delegate.
    HTableView reference(QStyleOptionViewItem::Left, 10, INT_MAX);
    reference.setModel(proxy);
    reference.setFont(view->font());
    reference.setShowGrid(false);
    for (int column = 0; column < ColumnCount; ++column)
        QCOMPARE(view->sizeHintForColumn(column), reference.sizeHintForColumn(column));
}

void TestPackageTable::newCollectionEmptiesTheCache()
{
    view->setMode(Filter);
    view->filtersearch(QStringLiteral("granite"));
    QCOMPARE(shown(), QStringList {"granite"});
    // After a new collection the rows are other entries: nothing cached for
    // the old ones may decide what is shown.
    QVERIFY(engine->collect(EngineFixture::allRepos()));
    model->reset();
    QCOMPARE(shown(), QStringList {"granite"});
    view->filtersearch(QString());
    QCOMPARE(proxy->rowCount(), model->rowCount());
}

void TestPackageTable::engineGone()
{
    // The window deletes its engine before the last repaint.
    auto* gone = new YumIO;
    Model orphan(gone);
    delete gone;
    QCOMPARE(orphan.rowCount(), 0);
    QVERIFY(!orphan.data(orphan.index(0, NameColumn)).isValid());
}

QTEST_MAIN(TestPackageTable)
#include "TestPackageTable.moc"
