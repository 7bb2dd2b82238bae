// SPDX-License-Identifier: GPL-2.0-or-later
#include "StartupSupport.h"

#include "packagetable/PackageTableModel.h"
#include "packagetable/PackageTableView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace StartupSupport;
using namespace PackageTable;

// The demo's sandbox updated, extended and shrunk through the main window's
// own commands and its Apply Actions button: the table follows each
// transaction. (What rpm installs is the engine suites' concern.)
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
    window.findChild<QPushButton*>(QStringLiteral("updateAllButton"))->click();
    QString failure = applied(QStringLiteral("update"));
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(stateOf(QStringLiteral("aurora")), Package::Installed);
    QCOMPARE(stateOf(QStringLiteral("cobalt")), Package::Installed);

    // Extend: an available package, selected and set.
    QVERIFY(showOnly(QStringLiteral("ember")));
    view->selectRow(0);
    window.findChild<QPushButton*>(QStringLiteral("selectedButton"))->click();
    failure = applied(QStringLiteral("extend"));
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(stateOf(QStringLiteral("ember")), Package::Installed);

    // Shrink: an installed package, marked in its Action cell.
    QVERIFY(showOnly(QStringLiteral("granite")));
    view->setFocus();
    view->setCurrentIndex(view->model()->index(0, ActionColumn));
    QTest::keyClick(view, Qt::Key_Space);
    QCOMPARE(model->entry(view->sourceRow(0))->action, Package::Remove);
    failure = applied(QStringLiteral("shrink"));
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(stateOf(QStringLiteral("granite")), Package::Available);

    // A transaction that fails after applying part of it: the table shows
    // what is installed now; the mark stays on what failed, for another try.
    for (QString const& name : {QStringLiteral("failing-pre"), QStringLiteral("helix")}) {
        QVERIFY(showOnly(name));
        view->selectRow(0);
        window.findChild<QPushButton*>(QStringLiteral("selectedButton"))->click();
    }
    int const asked = answerer.answered();
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
