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

// What the main window remembers between runs, in a settings directory of
// the test's own: the layout a user left is the next run's, Reset Layout
// brings back the first run's.
class TestWindowSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void layoutSurvivesARestart();
    void resetLayoutForgetsIt();

private:
    struct Shown
    {
        int view;
        bool groups;
        bool ignoreCase;
        int sortColumn;
        int sortOrder;
        int nameWidth;
        int architecturePlace;
        bool operator==(Shown const& other) const
        {
            return view == other.view && groups == other.groups && ignoreCase == other.ignoreCase
                && sortColumn == other.sortColumn && sortOrder == other.sortOrder
                && nameWidth == other.nameWidth && architecturePlace == other.architecturePlace;
        }
    };
    static Shown shown(MainWindow& window);
    static void quit(MainWindow& window);

    Root root;
    QTemporaryDir settings;
};

void TestWindowSettings::initTestCase()
{
    QString error;
    QVERIFY2(root.make(&error), qPrintable(error));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    QVERIFY(WindowSettings::fileName().startsWith(settings.path()));
}

TestWindowSettings::Shown TestWindowSettings::shown(MainWindow& window)
{
    QHeaderView const* header = window.packageView()->horizontalHeader();
    return {window.findChild<QComboBox*>("stateCombo")->currentIndex(),
        window.findChild<QCheckBox*>("groupsCheck")->isChecked(),
        window.findChild<QCheckBox*>("ignoreCaseCheck")->isChecked(),
        header->sortIndicatorSection(), int(header->sortIndicatorOrder()),
        header->sectionSize(NameColumn), header->visualIndex(ArchitectureColumn)};
}

// Quits as Program, Quit does between commands.
void TestWindowSettings::quit(MainWindow& window)
{
    window.stopAndQuit(false);
    QVERIFY(!window.isVisible());
}

void TestWindowSettings::layoutSurvivesARestart()
{
    ModalAnswerer answerer;
    Shown left;
    QSize size;
    {
        MainWindow window;
        QVERIFY(start(window));
        Shown const first = shown(window);
        QCOMPARE(first.view, int(ViewUpdatable));
        window.findChild<QComboBox*>("stateCombo")->setCurrentIndex(ViewSecurity);
        window.findChild<QCheckBox*>("groupsCheck")->setChecked(true);
        window.findChild<QCheckBox*>("ignoreCaseCheck")->setChecked(true);
        View* view = window.packageView();
        view->setSort(SizeColumn, Qt::DescendingOrder);
        view->horizontalHeader()->resizeSection(NameColumn, first.nameWidth + 37);
        view->horizontalHeader()->moveSection(
            view->horizontalHeader()->visualIndex(ArchitectureColumn), 1);
        window.QWidget::resize(window.size() + QSize(41, 23));
        size = window.size();
        left = shown(window);
        QVERIFY(!(left == first));
        quit(window);
    }
    QVERIFY(QFile::exists(WindowSettings::fileName()));

    MainWindow again;
    QVERIFY(start(again));
    QVERIFY(shown(again) == left);
    QCOMPARE(again.size(), size);
    // The proxy follows what the controls show.
    QVERIFY(again.packageView()->proxyModel()->ignoresCase());
    QCOMPARE(answerer.answered(), 0);
    quit(again);
}

void TestWindowSettings::resetLayoutForgetsIt()
{
    ModalAnswerer answerer;
    MainWindow window;
    QVERIFY(start(window));
    QCOMPARE(shown(window).view, int(ViewSecurity)); // left so by the test before
    window.findChild<QAction*>("resetLayoutAction")->trigger();
    Shown const reset = shown(window);
    QCOMPARE(reset.view, int(ViewUpdatable));
    QVERIFY(!reset.groups && !reset.ignoreCase);
    QCOMPARE(reset.sortColumn, int(KindColumn));
    QCOMPARE(reset.sortOrder, int(Qt::AscendingOrder));
    QCOMPARE(reset.architecturePlace, int(ArchitectureColumn));
    QVERIFY(!window.packageView()->proxyModel()->ignoresCase());
    QVERIFY(!QFile::exists(WindowSettings::fileName())
        || QSettings(WindowSettings::fileName(), QSettings::NativeFormat).allKeys().isEmpty());
    quit(window);

    // What the next run finds is that first layout.
    MainWindow again;
    QVERIFY(start(again));
    QVERIFY(shown(again) == reset);
    quit(again);
}

QTEST_MAIN(TestWindowSettings)
#include "TestWindowSettings.moc"
