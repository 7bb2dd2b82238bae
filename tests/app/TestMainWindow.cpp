// SPDX-License-Identifier: GPL-2.0-or-later
#include "StartupSupport.h"

#include "app/HistoryWindow.h"
#include "packagetable/PackageTableModel.h"
#include "packagetable/PackageTableSortFilterProxyModel.h"
#include "packagetable/PackageTableView.h"
#include "support/AccessibleCheck.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

using namespace StartupSupport;
using namespace PackageTable;

// The finished main window on a sandbox root served over HTTP: the table it
// fills, its filter bar and the commands on the table's actions; then, in a
// new window, transactions applied and undone.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startFillsTheTable();
    void waitCursorOnlyInSearchMode();
    void searchLoadsExtraDataOnlyForAPattern();
    void invalidPatternShowsWhy();
    void sortFromTheKeyboard();
    void resizeKeepsSelection();
    void keyboardLeavesTheTable();
    void marksAcrossCleanAndQuit();
    void updateAndUndo();

private:
    template <typename T> T* child(char const* name) const
    {
        return window->findChild<T*>(QLatin1String(name));
    }
    QStringList shown() const;

    // A root made as the demo makes one: "updates" through larder
    // credentials, the group core-tools installed.
    Root root {QStringLiteral("demo:sandbox")};
    QScopedPointer<ModalAnswerer> answerer;
    QScopedPointer<MainWindow> window;
    View* view = nullptr;
};

void TestMainWindow::initTestCase()
{
    QString error;
    QVERIFY2(
        root.make(&error, {"--larder", "demo:sandbox", "--larder-repos", "updates", "--group"}),
        qPrintable(error));
    answerer.reset(new ModalAnswerer);
    window.reset(new MainWindow);
    QVERIFY(start(*window));
    QCOMPARE(answerer->texts(), QStringList());
    view = window->packageView();
    QVERIFY(view && view->isVisible());
}

QStringList TestMainWindow::shown() const
{
    QStringList names;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        names << view->model()->index(row, NameColumn).data().toString();
    return names;
}

void TestMainWindow::startFillsTheTable()
{
    // The window opens on the updatable packages, without groups.
    QStringList names = shown();
    QVERIFY(names.contains("aurora") && names.contains("sandbox-kernel"));
    QVERIFY(!names.contains("granite") && !names.contains("ember"));
    QVERIFY(child<QWidget>("panel")->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    // Columns were sized to every package, shown or not.
    QVERIFY(view->columnWidth(NameColumn)
        >= view->fontMetrics().horizontalAdvance(QStringLiteral("sandbox-release")));

    child<QComboBox>("stateCombo")->setCurrentIndex(ViewAll);
    child<QCheckBox>("groupsCheck")->setChecked(true);
    // The filter bar reaches the table (which rows each filter keeps is
    // tests/packagetable's concern).
    QCOMPARE(view->model()->rowCount(), window->packageModel()->rowCount());
    QVERIFY(!view->accessibleName().isEmpty());
    // Controls Qt keeps hidden here (the menu bar's overflow button, the
    // table's corner button without a row header) are nobody's to reach.
    QStringList unreachable = unreachableControls(window.data());
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window.data()))
            unreachable.removeAll(QStringLiteral("%1 '%2'").arg(
                QLatin1String(widget->metaObject()->className()), widget->objectName()));
    }
    QVERIFY2(unreachable.isEmpty(), qPrintable(unreachable.join(", ")));
}

void TestMainWindow::waitCursorOnlyInSearchMode()
{
    // A zero timer runs only where the command processes events, which the
    // busy frame does with the wait cursor up.
    auto cursorDuring = [](auto&& change) {
        Qt::CursorShape seen = Qt::ArrowCursor;
        bool ran = false;
        QTimer::singleShot(0, [&] {
            ran = true;
            if (QApplication::overrideCursor())
                seen = QApplication::overrideCursor()->shape();
        });
        change();
        bool const during = ran;
        QTest::qWait(1);
        return during ? seen : Qt::ArrowCursor;
    };
    auto* states = child<QComboBox>("stateCombo");
    auto* groups = child<QCheckBox>("groupsCheck");
    QCOMPARE(cursorDuring([&] { states->setCurrentIndex(ViewRemovable); }), Qt::ArrowCursor);
    QCOMPARE(cursorDuring([&] { groups->setChecked(false); }), Qt::ArrowCursor);
    QCOMPARE(cursorDuring([&] { child<QComboBox>("modeCombo")->setCurrentIndex(Search); }),
        Qt::WaitCursor);
    QCOMPARE(cursorDuring([&] { states->setCurrentIndex(ViewAll); }), Qt::WaitCursor);
    QCOMPARE(cursorDuring([&] { groups->setChecked(true); }), Qt::WaitCursor);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    child<QComboBox>("modeCombo")->setCurrentIndex(Filter);
}

// The mode's tool tip says that a search must load extra data until it is
// loaded. (Which patterns load what, and that a new collection in Search mode
// loads it again, is tests/packagetable's concern.)
void TestMainWindow::searchLoadsExtraDataOnlyForAPattern()
{
    YumIO* engine = window->engine();
    QVERIFY(QMetaObject::invokeMethod(window.data(), "refresh"));
    QVERIFY(!engine->fileListsCollected());
    auto* mode = child<QComboBox>("modeCombo");
    auto* pattern = child<QLineEdit>("patternEdit");
    QString const hint = mode->toolTip(); // says that extra data must load
    mode->setCurrentIndex(Search);
    pattern->setText(QStringLiteral("paper theme")); // only in a change log
    QTest::keyClick(pattern, Qt::Key_Return);
    QVERIFY(engine->fileListsCollected() && engine->otherDataCollected());
    QVERIFY(hint.startsWith(mode->toolTip() + QLatin1Char(' ')));
    pattern->setText(QStringLiteral(".*"));
    mode->setCurrentIndex(Filter);
    QTest::keyClick(pattern, Qt::Key_Return);
}

void TestMainWindow::invalidPatternShowsWhy()
{
    auto* pattern = child<QLineEdit>("patternEdit");
    QColor const normal = pattern->palette().color(QPalette::Base);
    QString const normalTip = pattern->toolTip();
    int const all = view->model()->rowCount();
    pattern->setText(QStringLiteral("aurora("));
    QTest::keyClick(pattern, Qt::Key_Return);
    QCOMPARE(view->model()->rowCount(), all);
    QVERIFY(pattern->palette().color(QPalette::Base) != normal);
    QString const reason = view->proxyModel()->patternError();
    QVERIFY(!reason.isEmpty());
    QVERIFY2(pattern->toolTip().contains(reason), qPrintable(pattern->toolTip()));
    QVERIFY(pattern->accessibleDescription().contains(reason));

    pattern->setText(QStringLiteral("aurora"));
    QTest::keyClick(pattern, Qt::Key_Return);
    QCOMPARE(pattern->palette().color(QPalette::Base), normal);
    QCOMPARE(pattern->toolTip(), normalTip);
    pattern->setText(QStringLiteral(".*"));
    QTest::keyClick(pattern, Qt::Key_Return);
}

// Ctrl+<column number> sorts as a click on that column's header: ascending
// first, reversed when pressed again; the menu shows the sort column.
void TestMainWindow::sortFromTheKeyboard()
{
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.data()));
    child<QComboBox>("stateCombo")->setCurrentIndex(ViewAll);
    QList<QAction*> const entries = child<QMenu>("sortMenu")->actions();
    QHeaderView* header = view->horizontalHeader();
    QCOMPARE(entries.size(), int(ColumnCount));
    QCOMPARE(entries[SizeColumn]->text(), view->model()->headerData(SizeColumn, Qt::Horizontal));
    auto sorted
        = [header] { return header->sortIndicatorSection() * 2 + header->sortIndicatorOrder(); };
    view->setFocus();
    QTest::keyClick(view, Qt::Key_4, Qt::ControlModifier);
    QCOMPARE(sorted(), NameColumn * 2 + Qt::AscendingOrder);
    QVERIFY(entries[NameColumn]->isChecked());
    QTest::keyClick(view, Qt::Key_4, Qt::ControlModifier);
    QCOMPARE(sorted(), NameColumn * 2 + Qt::DescendingOrder); // the rows: the proxy suites

    // A header click moves the mark; a new column starts ascending.
    emit header->sectionClicked(SizeColumn);
    QVERIFY(entries[SizeColumn]->isChecked());
    QTest::keyClick(view, Qt::Key_9, Qt::ControlModifier);
    QCOMPARE(sorted(), BuildTimeColumn * 2 + Qt::AscendingOrder);

    // Busy, the table keeps its order.
    child<QWidget>("panel")->setEnabled(false);
    QTest::keyClick(window.data(), Qt::Key_3, Qt::ControlModifier);
    QCOMPARE(sorted(), BuildTimeColumn * 2 + Qt::AscendingOrder);
    child<QWidget>("panel")->setEnabled(true);
    view->sortBy(KindColumn);
    child<QComboBox>("stateCombo")->setCurrentIndex(ViewUpdatable);
}

// Sizing the columns runs over every entry, with the filter off for a
// moment; the rows the user picked stay picked, Describe stays on.
void TestMainWindow::resizeKeepsSelection()
{
    child<QComboBox>("stateCombo")->setCurrentIndex(ViewInstallable);
    view->sortByColumn(NameColumn, Qt::DescendingOrder);
    QVERIFY(view->model()->rowCount() >= 3);
    QVERIFY(view->model()->rowCount() < window->packageModel()->rowCount());
    auto selectedSources = [this] {
        QSet<int> rows;
        for (QModelIndex const& index : view->selectedRows())
            rows << index.row();
        return rows;
    };
    view->selectRow(0);
    view->selectionModel()->select(
        view->model()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QSet<int> const selected = selectedSources();
    QCOMPARE(selected.size(), 2);
    int const current = view->sourceRow(0);
    QSignalSpy changes(view, qOverload<int, int>(&View::currentChanged));
    child<QPushButton>("resizeButton")->click();
    QVERIFY(view->model()->rowCount() < window->packageModel()->rowCount()); // filtered again
    QCOMPARE(selectedSources(), selected);
    QCOMPARE(view->sourceRow(view->currentIndex().row()), current);
    QVERIFY(child<QPushButton>("describeButton")->isEnabled());
    QCOMPARE(changes.size(), 0);
    // A filter change takes the current row away, and Describe with it.
    view->sortByColumn(KindColumn, Qt::AscendingOrder);
    child<QComboBox>("stateCombo")->setCurrentIndex(ViewUpdatable);
    QVERIFY(!view->currentIndex().isValid() && !child<QPushButton>("describeButton")->isEnabled());
}

// Tab walks through the window and passes the table once, reaching the
// buttons; Shift+Tab leaves it backwards.
void TestMainWindow::keyboardLeavesTheTable()
{
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.data()));
    child<QComboBox>("stateCombo")->setCurrentIndex(ViewAll);
    auto* const pattern = child<QLineEdit>("patternEdit");
    pattern->setText(QStringLiteral(".*"));
    QTest::keyClick(pattern, Qt::Key_Return);
    pattern->setFocus();
    QStringList walked;
    for (int step = 0; step < 40; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() == pattern)
            break;
        walked << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(walked.count(QStringLiteral("packageView")), 1);
    QStringList const after = walked.mid(walked.indexOf(QStringLiteral("packageView")) + 1);
    for (char const* button :
        {"resizeButton", "refreshButton", "selectedButton", "updateAllButton", "clearButton"})
        QVERIFY2(after.contains(QLatin1String(button)), qPrintable(walked.join(' ')));
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(
        QApplication::focusWidget()->objectName(), walked.value(walked.indexOf("packageView") - 1));
    child<QComboBox>("stateCombo")->setCurrentIndex(ViewUpdatable);
}

// Clean All asks before it puts marks at stake, keeps the marks of what is
// still listed afterwards and says what it cleaned; quitting with marks asks
// too, and No keeps the program running. (Last: the window ends here.)
void TestMainWindow::marksAcrossCleanAndQuit()
{
    YumIO* engine = window->engine();
    auto const entry = [&](char const* name) { return engine->findEntry(false, name); };
    auto const actionOf
        = [&](char const* name) { return entry(name) ? entry(name)->action : Package::Action(-1); };
    QVERIFY(entry("fjord") && entry("aurora"));
    entry("fjord")->action = Package::Install;
    entry("aurora")->action = Package::Update;
    auto* cleanAll = child<QAction>("cleanAllAction");
    QVERIFY(cleanAll);
    int const asked = answerer->answered();
    answerer->click(QStringLiteral("noButton"));
    cleanAll->trigger();
    QCOMPARE(answerer->answered(), asked + 1);
    QVERIFY(engine->cleanReport().isEmpty());
    QCOMPARE(actionOf("fjord"), Package::Install);

    // Without its repository aurora is no longer out of date: its update
    // mark cannot come back.
    QString const repo = root.file(QStringLiteral("/etc/yum.repos.d/updates.repo"));
    QVERIFY(QFile::rename(repo, repo + QStringLiteral(".off")));
    answerer->click(QStringLiteral("yesButton"));
    cleanAll->trigger();
    QVERIFY(QFile::rename(repo + QStringLiteral(".off"), repo));
    QCOMPARE(answerer->answered(), asked + 2);
    engine = window->engine();
    QCOMPARE(actionOf("fjord"), Package::Install);
    QCOMPARE(actionOf("aurora"), Package::None);
    QCOMPARE(entry("aurora")->state, Package::Installed);
    QVERIFY(child<QPushButton>("applyButton")->isEnabled());
    QString const report = window->statusBar()->currentMessage();
    QVERIFY(!engine->cleanReport().isEmpty());
    for (QString const& line : engine->cleanReport())
        QVERIFY2(report.contains(line), qPrintable(report));
    QVERIFY2(report.endsWith(QLatin1String(": aurora")), qPrintable(report));

    // Quit and the window's close button, declined, then accepted.
    auto* quit = child<QAction>("quitAction");
    QVERIFY(quit);
    answerer->click(QStringLiteral("noButton"));
    quit->trigger();
    answerer->click(QStringLiteral("noButton"));
    window->close();
    QCOMPARE(answerer->answered(), asked + 4);
    QVERIFY(window->isVisible() && window->engine());
    QCOMPARE(actionOf("fjord"), Package::Install);
    answerer->click(QStringLiteral("yesButton"));
    window->close();
    QCOMPARE(answerer->answered(), asked + 5);
    QVERIFY(!window->isVisible() && !window->engine());
    // Ended, the window is of no more use; the next test makes its own.
    window.reset();
    answerer.reset();
}

// The demo's sandbox updated through a new window's own commands and its
// Apply Actions button: the table follows the transaction, and the History
// window lists it and undoes it. (What rpm installs, and what a failed
// transaction leaves marked, is the engine suites' concern.)
void TestMainWindow::updateAndUndo()
{
    ModalAnswerer answerer;
    answerer.alwaysClick(QStringLiteral("okButton"));
    answerer.alwaysClick(QStringLiteral("closeButton"));
    MainWindow fresh;
    QVERIFY(start(fresh));
    QCOMPARE(answerer.answered(), 0);
    View* view = fresh.packageView();
    Model* model = fresh.packageModel();
    auto* apply = fresh.findChild<QPushButton*>(QStringLiteral("applyButton"));
    auto* pattern = fresh.findChild<QLineEdit*>(QStringLiteral("patternEdit"));
    QVERIFY(apply && pattern);

    auto stateOf = [&](QString const& name) {
        Package::Entry const* entry = fresh.engine()->findEntry(false, name);
        return entry ? entry->state : Package::State(-1);
    };

    // Update: every out-of-date package.
    int const transactions = int(fresh.engine()->historyTransactions().size());
    // Applied once confirmed; then the table holds no action.
    fresh.findChild<QPushButton*>(QStringLiteral("updateAllButton"))->click();
    QVERIFY(apply->isEnabled());
    apply->click();
    QCOMPARE(answerer.answered(), 1); // the confirmation alone
    for (int row = 0; row < model->rowCount(); ++row)
        QCOMPARE(model->entry(row)->action, Package::None);
    QVERIFY(!apply->isEnabled());
    QCOMPARE(stateOf(QStringLiteral("aurora")), Package::Installed);
    QCOMPARE(stateOf(QStringLiteral("cobalt")), Package::Installed);

    // The History window, from the Windows menu: the update listed first,
    // its packages under it.
    fresh.menuBar()->findChild<QAction*>(QStringLiteral("historyAction"))->trigger();
    History::Window* history = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        history = history ? history : qobject_cast<History::Window*>(top);
    QVERIFY(history && history->isVisible());
    QCOMPARE(unreachableControls(history), QStringList());
    auto* tree = history->findChild<QTreeWidget*>(QStringLiteral("historyTree"));
    auto* undo = history->findChild<QPushButton*>(QStringLiteral("undoButton"));
    QCOMPARE(tree->topLevelItemCount(), transactions + 1);
    QTreeWidgetItem* update = tree->topLevelItem(0);
    QCOMPARE(update->text(0), QString::number(fresh.engine()->historyTransactions().first().id));
    QVERIFY2(!update->icon(2).isNull() && update->text(2).startsWith(QLatin1String("vux "))
            && update->text(2).contains(QLatin1String("upgrade aurora-")),
        qPrintable(update->text(2)));
    update->setExpanded(true);
    QStringList updated;
    for (int i = 0; i < update->childCount(); ++i)
        updated << update->child(i)->text(0);
    QVERIFY2(updated.join(' ').contains(QLatin1String("aurora-")), qPrintable(updated.join(' ')));

    // Undo with marks waiting asks first; declined, nothing runs. Undone (what
    // rpm then holds is the engine suites' concern), the undo is listed and
    // the mark that still applies stays.
    fresh.engine()->findEntry(false, QStringLiteral("granite"))->action = Package::Remove;
    answerer.click(QStringLiteral("noButton"));
    tree->setCurrentItem(update);
    undo->click();
    QCOMPARE(tree->topLevelItemCount(), transactions + 1);
    answerer.click(QStringLiteral("yesButton"));
    int const asked = answerer.answered();
    undo->click();
    QCOMPARE(answerer.answered(), asked + 2);
    QVERIFY(answerer.texts().last().startsWith(QLatin1String("Transaction to be performed:")));
    QCOMPARE(stateOf(QStringLiteral("aurora")), Package::Updatable);
    QCOMPARE(tree->topLevelItemCount(), transactions + 2);
    QVERIFY(tree->topLevelItem(0)->text(2).startsWith(QLatin1String("vux history undo")));
    QVERIFY(view->isEnabled() && undo->isEnabled());
    QCOMPARE(fresh.engine()->findEntry(false, QStringLiteral("granite"))->action, Package::Remove);
    QTest::keyClick(tree, Qt::Key_Escape);
    QVERIFY(!history->isVisible());

    fresh.findChild<QPushButton*>(QStringLiteral("clearButton"))->click();

    // Closing the window while rpm runs the transaction: the question says
    // it cannot be stopped; declined, the apply ends as usual. (fjord shown
    // alone, whatever its state, and set with the button for the selected rows.)
    fresh.findChild<QComboBox*>(QStringLiteral("stateCombo"))->setCurrentIndex(ViewAll);
    pattern->setText(QStringLiteral("^fjord "));
    fresh.findChild<QPushButton*>(QStringLiteral("goButton"))->click();
    view->selectRow(0);
    fresh.findChild<QPushButton*>(QStringLiteral("selectedButton"))->click();
    QCOMPARE(view->model()->rowCount(), 1);
    QCOMPARE(view->model()->index(0, NameColumn).data().toString(), "fjord");
    answerer.alwaysClick(QStringLiteral("noButton"));
    bool closed = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &fresh, [&] {
        if (!closed && fresh.engine()->transactionRunning()) {
            closed = true;
            fresh.close();
        }
    });
    poll.start(0);
    int const before = answerer.answered();
    apply->click();
    poll.stop();
    QVERIFY(closed);
    QCOMPARE(answerer.answered(), before + 2); // the confirmation, the question
    QCOMPARE(answerer.texts().last(), MainWindow::transactionRunningQuestion());
    QVERIFY(fresh.isVisible());
    QCOMPARE(stateOf(QStringLiteral("fjord")), Package::Installed);
    QVERIFY(!fresh.engine()->transactionRunning());
}

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
