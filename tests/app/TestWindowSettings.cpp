// SPDX-License-Identifier: GPL-2.0-or-later
#include "StartupSupport.h"

#include "app/WindowSettings.h"
#include "packagetable/PackageTableSortFilterProxyModel.h"
#include "packagetable/PackageTableView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>

using namespace StartupSupport;
using namespace PackageTable;

namespace {

// What the window shows: view, groups, ignore case, sort column and order,
// the Name column's width, the Architecture column's place, and whether the
// proxy ignores case as the control says.
QList<int> shown(MainWindow& window)
{
    QHeaderView const* header = window.packageView()->horizontalHeader();
    return {window.findChild<QComboBox*>("stateCombo")->currentIndex(),
        window.findChild<QCheckBox*>("groupsCheck")->isChecked(),
        window.findChild<QCheckBox*>("ignoreCaseCheck")->isChecked(),
        header->sortIndicatorSection(), int(header->sortIndicatorOrder()),
        header->sectionSize(NameColumn), header->visualIndex(ArchitectureColumn),
        window.packageView()->proxyModel()->ignoresCase()};
}

// The same without the Name column's width, which Reset Layout sizes anew.
QList<int> layout(MainWindow& window)
{
    QList<int> values = shown(window);
    values.removeAt(5);
    return values;
}

} // namespace

// What the main window remembers between runs, in a settings directory of
// the test's own: the layout a user left is the next run's, Reset Layout
// brings back the first run's.
class TestWindowSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(root.make(&error), qPrintable(error));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
        QVERIFY(WindowSettings::fileName().startsWith(settings.path()));
    }
    void layoutSurvivesARestartUntilReset();

private:
    Root root;
    QTemporaryDir settings;
};

void TestWindowSettings::layoutSurvivesARestartUntilReset()
{
    ModalAnswerer answerer;
    QList<int> first;
    QList<int> firstLayout;
    QList<int> left;
    QSize size;
    {
        MainWindow window;
        QVERIFY(start(window));
        first = shown(window);
        firstLayout = layout(window);
        QCOMPARE(first.value(0), int(ViewUpdatable));
        window.findChild<QComboBox*>("stateCombo")->setCurrentIndex(ViewSecurity);
        window.findChild<QCheckBox*>("groupsCheck")->setChecked(true);
        window.findChild<QCheckBox*>("ignoreCaseCheck")->setChecked(true);
        QHeaderView* header = window.packageView()->horizontalHeader();
        window.packageView()->setSort(SizeColumn, Qt::DescendingOrder);
        header->resizeSection(NameColumn, first.value(5) + 37);
        header->moveSection(header->visualIndex(ArchitectureColumn), 1);
        window.QWidget::resize(window.size() + QSize(41, 23));
        size = window.size();
        left = shown(window);
        for (int i : {0, 1, 2, 3, 4, 5, 6, 7})
            QVERIFY2(left[i] != first[i], qPrintable(QString::number(i)));
        window.stopAndQuit(false); // as Program, Quit does between commands
    }
    QVERIFY(QFile::exists(WindowSettings::fileName()));
    {
        MainWindow again;
        QVERIFY(start(again));
        QCOMPARE(shown(again), left);
        QCOMPARE(again.size(), size);
        // Reset Layout: the first run's layout, now and at the next run.
        again.findChild<QAction*>("resetLayoutAction")->trigger();
        QCOMPARE(layout(again), firstLayout);
        QVERIFY(!QFile::exists(WindowSettings::fileName())
            || QSettings(WindowSettings::fileName(), QSettings::NativeFormat).allKeys().isEmpty());
        again.stopAndQuit(false);
    }
    MainWindow third;
    QVERIFY(start(third));
    QCOMPARE(layout(third), firstLayout);
    QCOMPARE(answerer.answered(), 0);
    third.stopAndQuit(false);
}

QTEST_MAIN(TestWindowSettings)
#include "TestWindowSettings.moc"
