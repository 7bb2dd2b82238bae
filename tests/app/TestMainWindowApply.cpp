// SPDX-License-Identifier: GPL-2.0-or-later
#include "StartupSupport.h"

#include "app/HistoryWindow.h"
#include "packagetable/PackageTableModel.h"
#include "packagetable/PackageTableView.h"
#include "support/AccessibleCheck.h"
#include "support/EngineFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

using namespace StartupSupport;
using namespace PackageTable;

// The demo's sandbox updated, extended and shrunk through the main window's
// own commands and its Apply Actions button: the table follows each
// transaction, and the History window lists it and undoes it. (What rpm
// installs is the engine suites' concern.)
class TestMainWindowApply : public QObject
{
    Q_OBJECT

private slots:
    void updateExtendShrink();
};

void TestMainWindowApply::updateExtendShrink()
{
    // A root made as the demo makes one: "updates" through larder
    // credentials, the group core-tools installed.
    Root root(QStringLiteral("demo:sandbox"));
    QString error;
    QVERIFY2(
        root.make(&error, {"--larder", "demo:sandbox", "--larder-repos", "updates", "--group"}),
        qPrintable(error));
    ModalAnswerer answerer;
    answerer.alwaysClick(QStringLiteral("okButton"));
    answerer.alwaysClick(QStringLiteral("closeButton"));
    MainWindow window;
    QVERIFY(start(window));
    QCOMPARE(answerer.answered(), 0);
    View* view = window.packageView();
    Model* model = window.packageModel();
    auto* apply = window.findChild<QPushButton*>(QStringLiteral("applyButton"));
    auto* pattern = window.findChild<QLineEdit*>(QStringLiteral("patternEdit"));
    QVERIFY(apply && pattern);

    // Applies what is marked, confirmed; then the table holds no action.
    auto applied = [&](QString const& step) -> QString {
        int const asked = answerer.answered();
        if (!apply->isEnabled())
            return step + QStringLiteral(": Apply Actions is disabled");
        apply->click();
        if (answerer.answered() != asked + 1) // the confirmation alone
            return step + QStringLiteral(": dialogs ") + answerer.texts().mid(asked).join('|');
        for (int row = 0; row < model->rowCount(); ++row)
            if (model->entry(row)->action != Package::None)
                return step + QStringLiteral(": an action is left on ") + model->entry(row)->name;
        if (apply->isEnabled())
            return step + QStringLiteral(": Apply Actions stays enabled");
        return QString();
    };
    auto stateOf = [&](QString const& name) {
        Package::Entry const* entry = window.engine()->findEntry(false, name);
        return entry ? entry->state : Package::State(-1);
    };
    // Shows the row of one package, whatever its state.
    auto showOnly = [&](QString const& name) {
        window.findChild<QComboBox*>(QStringLiteral("stateCombo"))->setCurrentIndex(ViewAll);
        pattern->setText(QLatin1Char('^') + name + QLatin1Char(' '));
        window.findChild<QPushButton*>(QStringLiteral("goButton"))->click();
        return view->model()->rowCount() == 1
            && view->model()->index(0, NameColumn).data().toString() == name;
    };

    // Update: every out-of-date package.
    QStringList const beforeUpdate = EngineFixture::rpmQa(root.file());
    int const transactions = int(window.engine()->historyTransactions().size());
    window.findChild<QPushButton*>(QStringLiteral("updateAllButton"))->click();
    QString failure = applied(QStringLiteral("update"));
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(stateOf(QStringLiteral("aurora")), Package::Installed);
    QCOMPARE(stateOf(QStringLiteral("cobalt")), Package::Installed);

    // The History window, from the Windows menu: the update listed first,
    // its packages under it.
    window.menuBar()->findChild<QAction*>(QStringLiteral("historyAction"))->trigger();
    History::Window* history = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        history = history ? history : qobject_cast<History::Window*>(top);
    QVERIFY(history && history->isVisible());
    QVERIFY2(unreachableControls(history).isEmpty(),
        qPrintable(unreachableControls(history).join(", ")));
    auto* tree = history->findChild<QTreeWidget*>(QStringLiteral("historyTree"));
    auto* undo = history->findChild<QPushButton*>(QStringLiteral("undoButton"));
    QCOMPARE(tree->topLevelItemCount(), transactions + 1);
    QTreeWidgetItem* update = tree->topLevelItem(0);
    QCOMPARE(update->text(0), QString::number(window.engine()->historyTransactions().first().id));
    QVERIFY2(!update->icon(2).isNull() && update->text(2).startsWith(QLatin1String("vux "))
            && update->text(2).contains(QLatin1String("upgrade aurora-")),
        qPrintable(update->text(2)));
    update->setExpanded(true);
    QStringList updated;
    for (int i = 0; i < update->childCount(); ++i)
        updated << update->child(i)->text(0);
    QVERIFY2(updated.join(' ').contains(QLatin1String("aurora-")), qPrintable(updated.join(' ')));

    // Undo with marks waiting asks first; declined, nothing runs. Undone, the
    // packages are as before the update, the undo is listed, and the mark
    // that still applies stays.
    window.engine()->findEntry(false, QStringLiteral("granite"))->action = Package::Remove;
    answerer.click(QStringLiteral("noButton"));
    tree->setCurrentItem(update);
    undo->click();
    QCOMPARE(tree->topLevelItemCount(), transactions + 1);
    answerer.click(QStringLiteral("yesButton"));
    int asked = answerer.answered();
    undo->click();
    QCOMPARE(answerer.answered(), asked + 2);
    QVERIFY(answerer.texts().last().startsWith(QLatin1String("Transaction to be performed:")));
    QCOMPARE(EngineFixture::rpmQa(root.file()), beforeUpdate);
    QCOMPARE(tree->topLevelItemCount(), transactions + 2);
    QVERIFY(tree->topLevelItem(0)->text(2).startsWith(QLatin1String("vux history undo")));
    QVERIFY(view->isEnabled() && undo->isEnabled());
    QCOMPARE(window.engine()->findEntry(false, QStringLiteral("granite"))->action, Package::Remove);
    QTest::keyClick(tree, Qt::Key_Escape);
    QVERIFY(!history->isVisible());

    // Extend and shrink at once: an available package selected and set, the
    // installed one still marked from before the undo.
    QVERIFY(showOnly(QStringLiteral("ember")));
    view->selectRow(0);
    window.findChild<QPushButton*>(QStringLiteral("selectedButton"))->click();
    failure = applied(QStringLiteral("extend and shrink"));
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(stateOf(QStringLiteral("ember")), Package::Installed);
    QCOMPARE(stateOf(QStringLiteral("granite")), Package::Available);

    // A transaction that fails after applying part of it: the table shows
    // what is installed now; the mark stays on what failed, for another try.
    for (QString const& name : {QStringLiteral("failing-pre"), QStringLiteral("helix")}) {
        QVERIFY(showOnly(name));
        view->selectRow(0);
        window.findChild<QPushButton*>(QStringLiteral("selectedButton"))->click();
    }
    asked = answerer.answered();
    apply->click();
    QCOMPARE(answerer.answered(), asked + 2); // the confirmation, the report
    QCOMPARE(stateOf(QStringLiteral("helix")), Package::Installed);
    QCOMPARE(stateOf(QStringLiteral("failing-pre")), Package::Available);
    for (int row = 0; row < model->rowCount(); ++row) {
        Package::Entry const* entry = model->entry(row);
        QCOMPARE(entry->action,
            entry->name == QLatin1String("failing-pre") ? Package::Install : Package::None);
    }
    QVERIFY(apply->isEnabled());
    window.findChild<QPushButton*>(QStringLiteral("clearButton"))->click();

    // Closing the window while rpm runs the transaction: the question says
    // it cannot be stopped; declined, the apply ends as usual.
    QVERIFY(showOnly(QStringLiteral("fjord")));
    view->selectRow(0);
    window.findChild<QPushButton*>(QStringLiteral("selectedButton"))->click();
    answerer.alwaysClick(QStringLiteral("noButton"));
    bool closed = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &window, [&] {
        if (!closed && window.engine()->transactionRunning()) {
            closed = true;
            window.close();
        }
    });
    poll.start(0);
    int const before = answerer.answered();
    apply->click();
    poll.stop();
    QVERIFY(closed);
    QCOMPARE(answerer.answered(), before + 2); // the confirmation, the question
    QCOMPARE(answerer.texts().last(), MainWindow::transactionRunningQuestion());
    QVERIFY(window.isVisible());
    QCOMPARE(stateOf(QStringLiteral("fjord")), Package::Installed);
    QVERIFY(!window.engine()->transactionRunning());
}

QTEST_MAIN(TestMainWindowApply)
#include "TestMainWindowApply.moc"
