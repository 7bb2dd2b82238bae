// SPDX-License-Identifier: GPL-2.0-or-later
#include "StartupSupport.h"
#include "app/HistoryWindow.h"
#include "packagetable/PackageTableModel.h"
#include "packagetable/PackageTableView.h"
#include "support/AccessibleCheck.h"
#include "support/EngineFixture.h"

#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>

using namespace StartupSupport;

// The History window in the main window: opened from the Windows menu, its
// rows the package manager's transactions, and its Undo run as Apply runs.
class TestHistoryWindow : public QObject
{
    Q_OBJECT

private slots:
    void openExpandUndo();
};

void TestHistoryWindow::openExpandUndo()
{
    Root root;
    QString error;
    QVERIFY2(root.make(&error), qPrintable(error));
    // Before the window takes the package manager's lock.
    EngineFixture::dnf(
        root.file(), {QStringLiteral("-y"), QStringLiteral("install"), QStringLiteral("ember")});
    QStringList const before = EngineFixture::rpmQa(root.file());
    ModalAnswerer answerer;
    MainWindow window;
    QVERIFY(start(window));

    auto* action = window.menuBar()->findChild<QAction*>(QStringLiteral("historyAction"));
    QVERIFY(action);
    action->trigger();
    History::Window* history = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<History::Window*>(top))
            history = found;
    QVERIFY(history && history->isVisible());
    QVERIFY2(unreachableControls(history).isEmpty(),
        qPrintable(unreachableControls(history).join(", ")));
    auto* tree = history->findChild<QTreeWidget*>(QStringLiteral("historyTree"));
    auto* undo = history->findChild<QPushButton*>(QStringLiteral("undoButton"));
    QVERIFY(tree && undo);
    QList<History::Transaction> const transactions = window.engine()->historyTransactions();
    QCOMPARE(tree->topLevelItemCount(), int(transactions.size()));
    QCOMPARE(tree->topLevelItem(0)->text(0), QString::number(transactions.first().id));
    tree->topLevelItem(0)->setExpanded(true);
    QCOMPARE(tree->topLevelItem(0)->childCount(), 1);
    QVERIFY(tree->topLevelItem(0)->child(0)->text(0).contains(QLatin1String("ember-0.3-1.noarch")));

    // Update everything through the main window: the new transaction is
    // listed first, as made here.
    answerer.alwaysClick(QStringLiteral("okButton"));
    window.findChild<QPushButton*>(QStringLiteral("updateAllButton"))->click();
    window.findChild<QPushButton*>(QStringLiteral("applyButton"))->click();
    QVERIFY(EngineFixture::rpmQa(root.file()) != before);
    QCOMPARE(tree->topLevelItemCount(), int(transactions.size()) + 1);
    QTreeWidgetItem* update = tree->topLevelItem(0);
    QVERIFY(!update->icon(2).isNull());
    QVERIFY(update->text(2).startsWith(QLatin1String("vux upgrade")));

    // Undo with marks waiting asks first; declined, nothing runs.
    auto granite = [&] { return window.engine()->findEntry(false, QStringLiteral("granite")); };
    QVERIFY(granite());
    granite()->action = Package::Remove;
    answerer.click(QStringLiteral("noButton"));
    tree->setCurrentItem(update);
    undo->click();
    QCOMPARE(tree->topLevelItemCount(), int(transactions.size()) + 1);

    // Undone: the packages are as before the update, the undo is listed, and
    // the mark that still applies stays.
    answerer.click(QStringLiteral("yesButton"));
    int const asked = answerer.answered();
    undo->click();
    QCOMPARE(answerer.answered(), asked + 2);
    QVERIFY(answerer.texts().last().startsWith(QLatin1String("Transaction to be performed:")));
    QCOMPARE(EngineFixture::rpmQa(root.file()), before);
    QCOMPARE(tree->topLevelItemCount(), int(transactions.size()) + 2);
    QVERIFY(tree->topLevelItem(0)->text(2).startsWith(QLatin1String("vux history undo")));
    QVERIFY(window.packageView()->isEnabled() && undo->isEnabled());
    QCOMPARE(granite()->action, Package::Remove);

    QTest::keyClick(tree, Qt::Key_Escape);
    QVERIFY(!history->isVisible());
}

QTEST_MAIN(TestHistoryWindow)
#include "TestHistoryWindow.moc"
