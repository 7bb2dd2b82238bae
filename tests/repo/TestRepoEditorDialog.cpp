// SPDX-License-Identifier: GPL-2.0-or-later
#include "ConfSandbox.h"

#include "repo/RepoEditorConfigDialog.h"
#include "repo/RepoEditorDialog.h"
#include "repo/RepoEditorModel.h"
#include "repo/RepoEditorView.h"
#include "support/RecordingBrowser.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>

// The repository editor over real files in a sandbox root: its table, its
// switches, its status line and what Apply, OK, Cancel and Reset All leave in
// the files and in the session.
namespace {

QByteArray const threeRepos = "[b]\nname=B\nbaseurl=http://b/\nenabled=1\n\n"
                              "[c]\nname=C\nbaseurl=http://c/\n\n"
                              "[a]\nname=A\nbaseurl=http://a/\nenabled=0\n";

struct Editor
{
    explicit Editor(QByteArray const& repoFile = threeRepos, QByteArray const& main = "[main]\n")
        : sandbox(main)
    {
        if (!repoFile.isNull())
            sandbox.put("/etc/yum.repos.d/t.repo", repoFile);
        dialog.reset(new RepoEditor::Dialog(nullptr, &fixture.conf, nullptr));
        view = dialog->findChild<RepoEditor::View*>();
        model = dialog->findChild<RepoEditor::Model*>();
        tester.reset(new QAbstractItemModelTester(
            view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest));
    }
    void open()
    {
        dialog->show();
        QVERIFY(dialog->isVisible());
    }
    QPushButton* button(char const* name) const
    {
        return dialog->findChild<QPushButton*>(QLatin1String(name));
    }
    QString status() const { return dialog->findChild<QLabel*>("status")->text(); }
    // The view's row of the entry with identifier id (the first one).
    int viewRow(QString const& id) const
    {
        for (int row = 0; row < view->model()->rowCount(); ++row) {
            if (view->model()->index(row, 2).data().toString() == id)
                return row;
        }
        return -1;
    }
    QModelIndex cell(QString const& id, int column) const
    {
        return view->model()->index(viewRow(id), column);
    }
    QString tip(QString const& id, int column) const
    {
        return cell(id, column).data(Qt::ToolTipRole).toString();
    }
    void click(QString const& id, int column)
    {
        QRect const rect = view->visualRect(cell(id, column));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }
    void makeCurrent(QString const& id) { view->setCurrentIndex(cell(id, 2)); }
    QString currentId() const
    {
        int const row = view->currentRow();
        return row < 0 ? QString("<none>") : fixture.conf.repos.at(row).id;
    }
    QStringList ids() const
    {
        QStringList list;
        for (Repo::Entry const& e : fixture.conf.repos)
            list << e.id;
        return list;
    }
    // Queues an answer for the configuration dialog: fields set, then OK.
    void answerConfig(QHash<QString, QString> const& fields)
    {
        fixture.answerer.answer([fields](QWidget* dialog) {
            for (auto it = fields.cbegin(); it != fields.cend(); ++it)
                dialog->findChild<QLineEdit*>(it.key())->setText(it.value());
            ModalAnswerer::clickButton(dialog, "okButton");
        });
    }
    QByteArray file() const { return sandbox.get("/etc/yum.repos.d/t.repo"); }

    ConfSandbox sandbox;
    ConfFixture fixture {{}, false};
    QScopedPointer<RepoEditor::Dialog> dialog;
    QScopedPointer<QAbstractItemModelTester> tester;
    RepoEditor::View* view = nullptr;
    RepoEditor::Model* model = nullptr;
};

using RepoEditor::Dialog;

} // namespace

class TestRepoEditorDialog : public QObject
{
    Q_OBJECT

private slots:
    void openingShowsSortedTable();
    void newEntryWithoutIdentifier();
    void copyKeepsFileAndShowsDuplicate();
    void sessTwiceStillReportsChange();
    void permWithoutEnabledWritesZero();
    void removeTwoSelectedRows();
    void currentRowKeptAcrossApply();
    void cancelRestoresAndForceReports();
    void okWithoutChangesWritesNothing();
    void readFailureShowsNoDialog();
    void fullDiskKeepsFilesAndEdits();
    void keyboardAndNames();
    void browseOpensFirstUrl();
};

void TestRepoEditorDialog::openingShowsSortedTable()
{
    Editor editor;
    editor.view->horizontalHeader()->setSortIndicator(3, Qt::DescendingOrder);
    editor.open();
    QStringList shown;
    for (int row = 0; row < 3; ++row)
        shown << editor.view->model()->index(row, 2).data().toString();
    QCOMPARE(shown, QStringList({"a", "b", "c"}));
    QCOMPARE(editor.view->horizontalHeader()->sortIndicatorSection(), 2);
    // Sess: used in this session (b) or not (a); Perm: enabled=1 (b), absent
    // (c, the default yes) or 0 (a).
    QCOMPARE(editor.tip("c", 1), editor.tip("b", 1));
    QVERIFY(editor.tip("a", 1) != editor.tip("b", 1));
    QVERIFY(editor.tip("a", 0) != editor.tip("b", 0));
    QVERIFY(!editor.cell("b", 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    QVERIFY(!editor.button("editButton")->isEnabled());
    QVERIFY(!editor.button("applyButton")->isEnabled());
    QVERIFY(editor.status().isEmpty());
    editor.makeCurrent("c");
    QVERIFY(editor.button("editButton")->isEnabled() && editor.button("removeButton")->isEnabled());
}

void TestRepoEditorDialog::newEntryWithoutIdentifier()
{
    Editor editor;
    editor.open();
    editor.answerConfig({{"name", "Nameless"}});
    editor.button("addButton")->click();
    QCOMPARE(editor.ids().last(), "");
    QCOMPARE(editor.currentId(), "");
    QModelIndex const id = editor.view->model()->index(editor.view->currentIndex().row(), 2);
    QCOMPARE(id.data().toString(), "(new)");
    QVERIFY(id.data(Qt::FontRole).value<QFont>().italic());
    QVERIFY(!editor.cell("a", 2).data(Qt::FontRole).isValid());
    QCOMPARE(editor.status(), Dialog::statusText(Dialog::NoIdentifier));
    QVERIFY(editor.button("applyButton")->isEnabled());
}

void TestRepoEditorDialog::copyKeepsFileAndShowsDuplicate()
{
    Editor editor;
    editor.open();
    editor.makeCurrent("b");
    editor.answerConfig({{"name", "B copy"}});
    editor.button("copyButton")->click();
    QCOMPARE(editor.ids(), QStringList({"b", "c", "a", "b"}));
    Repo::Entry const& copy = editor.fixture.conf.repos.last();
    QCOMPARE(copy.name, "B copy");
    QCOMPARE(copy.file, "/etc/yum.repos.d/t.repo");
    QCOMPARE(copy.sortPosition, 1.0);
    QCOMPARE(editor.status(), Dialog::statusText(Dialog::DuplicateIdentifier, "b"));
    QCOMPARE(editor.dialog->findChild<QLabel*>("status")->palette().color(QPalette::WindowText),
        QColor("red"));
}

void TestRepoEditorDialog::sessTwiceStillReportsChange()
{
    Editor editor;
    editor.open();
    QSignalSpy changed(editor.dialog.data(), &RepoEditor::Dialog::reposChanged);
    editor.click("a", 0);
    QCOMPARE(editor.fixture.sessionUse.value("a"), true);
    editor.click("a", 0);
    QCOMPARE(editor.fixture.sessionUse.value("a"), false);
    QVERIFY(!editor.button("applyButton")->isEnabled()); // not a configuration change
    editor.dialog->reject();
    QCOMPARE(changed.count(), 1);
}

void TestRepoEditorDialog::permWithoutEnabledWritesZero()
{
    Editor editor;
    editor.open();
    editor.click("c", 1);
    QCOMPARE(editor.tip("c", 1), editor.tip("a", 1));
    QCOMPARE(editor.status(), Dialog::statusText(Dialog::UnappliedChanges));
    QSignalSpy changed(editor.dialog.data(), &RepoEditor::Dialog::reposChanged);
    editor.button("applyButton")->click();
    QVERIFY(editor.file().contains("[c]\nname=C\nbaseurl=http://c/\nenabled=0\n"));
    QVERIFY(editor.status().isEmpty());
    QVERIFY(!editor.button("applyButton")->isEnabled());
    editor.dialog->reject();
    QCOMPARE(changed.count(), 1); // applied
}

void TestRepoEditorDialog::removeTwoSelectedRows()
{
    Editor editor(threeRepos + "\n[d]\nname=D\n");
    editor.open();
    auto* selection = editor.view->selectionModel();
    editor.makeCurrent("d");
    selection->select(editor.cell("b", 2), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    editor.button("removeButton")->click();
    QCOMPARE(editor.ids(), QStringList({"c", "a"}));
    QCOMPARE(editor.currentId(), "<none>");
    QVERIFY(!editor.button("removeButton")->isEnabled());
    editor.button("okButton")->click();
    QVERIFY(!editor.dialog->isVisible());
    QCOMPARE(editor.file(),
        "[c]\nname=C\nbaseurl=http://c/\n\n[a]\nname=A\nbaseurl=http://a/\nenabled=0\n");
}

void TestRepoEditorDialog::currentRowKeptAcrossApply()
{
    Editor editor;
    editor.open();
    editor.view->sortByColumn(2, Qt::DescendingOrder);
    editor.makeCurrent("b");
    editor.click("a", 1);
    editor.makeCurrent("b");
    editor.button("applyButton")->click();
    QCOMPARE(editor.currentId(), "b");
    QVERIFY(editor.button("editButton")->isEnabled());
}

void TestRepoEditorDialog::cancelRestoresAndForceReports()
{
    Editor editor;
    editor.dialog->forceReposChanged = true;
    editor.open();
    QSignalSpy changed(editor.dialog.data(), &RepoEditor::Dialog::reposChanged);
    editor.click("a", 0);
    editor.click("b", 1);
    editor.makeCurrent("c");
    editor.button("cancelButton")->click();
    QVERIFY(!editor.dialog->isVisible());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(editor.fixture.sessionUse.value("a"), false);
    QCOMPARE(editor.fixture.conf.repos.at(0).enabled, int(Qt::Checked));
    QCOMPARE(editor.file(), threeRepos);
}

void TestRepoEditorDialog::okWithoutChangesWritesNothing()
{
    Editor editor;
    editor.open();
    QHash<QString, QByteArray> const before = editor.sandbox.snapshot();
    QSignalSpy changed(editor.dialog.data(), &RepoEditor::Dialog::reposChanged);
    editor.makeCurrent("b");
    editor.fixture.answerer.click("okButton"); // unchanged: the configuration dialog rejects
    editor.button("editButton")->click();
    QVERIFY(!editor.button("applyButton")->isEnabled());
    editor.button("okButton")->click();
    QCOMPARE(editor.dialog->result(), int(QDialog::Accepted));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(editor.sandbox.snapshot(), before);
}

void TestRepoEditorDialog::readFailureShowsNoDialog()
{
    Editor editor(threeRepos + "[broken\n");
    QHash<QString, QByteArray> const before = editor.sandbox.snapshot();
    QSignalSpy changed(editor.dialog.data(), &RepoEditor::Dialog::reposChanged);
    editor.fixture.answerer.click("okButton");
    editor.dialog->forceReposChanged = true;
    QCOMPARE(editor.dialog->exec(), int(QDialog::Rejected));
    QVERIFY(!editor.dialog->isVisible());
    QCOMPARE(editor.fixture.answerer.answered(), 1); // why, as the file suite checks
    QCOMPARE(changed.count(), 0);
    QCOMPARE(editor.sandbox.snapshot(), before);
}

void TestRepoEditorDialog::fullDiskKeepsFilesAndEdits()
{
    Editor editor {QByteArray()};
    QString why;
    if (!editor.sandbox.mountSmallDisk("/etc/yum.repos.d", &why))
        QSKIP(qPrintable(why));
    editor.sandbox.put("/etc/yum.repos.d/t.repo", threeRepos);
    editor.sandbox.fill();
    editor.open();
    editor.makeCurrent("c");
    editor.answerConfig({{"name", "C renamed"}});
    editor.button("editButton")->click();
    int const shown = editor.fixture.answerer.answered();
    editor.fixture.answerer.click("okButton"); // the write error
    editor.button("okButton")->click();
    // The write error is shown (that the files stay whole is the file
    // suite's concern); the dialog stays open with the edits.
    QVERIFY(editor.dialog->isVisible());
    QCOMPARE(editor.fixture.answerer.answered(), shown + 1);
    QCOMPARE(editor.cell("c", 3).data().toString(), "C renamed");
    QCOMPARE(editor.currentId(), "c");
    QCOMPARE(editor.status(), Dialog::statusText(Dialog::UnappliedChanges));
    QVERIFY(editor.button("applyButton")->isEnabled());
}

void TestRepoEditorDialog::keyboardAndNames()
{
    Editor editor;
    editor.open();
    QList<QPushButton*> const buttons
        = editor.dialog->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(buttons.size(), 9);
    for (QPushButton* button : buttons) {
        QVERIFY(!button->accessibleName().isEmpty());
        QVERIFY(button->focusPolicy() & Qt::TabFocus);
    }
    QVERIFY(!editor.view->accessibleName().isEmpty());
    QVERIFY(!editor.button("addButton")->isDefault() && editor.button("applyButton")->isDefault());
    // Tab leaves the table (the arrow keys move within it).
    editor.dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editor.dialog.data()));
    editor.view->setFocus();
    QTest::keyClick(editor.view, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != editor.view);
    // Space toggles the session switch of the current cell, as a click does.
    editor.view->setFocus();
    editor.view->setCurrentIndex(editor.cell("a", 0));
    QTest::keyClick(editor.view, Qt::Key_Space);
    QCOMPARE(editor.fixture.sessionUse.value("a"), true);
    // Return edits the current row.
    editor.fixture.answerer.click("cancelButton");
    QTest::keyClick(editor.view, Qt::Key_Return);
    QCOMPARE(editor.fixture.answerer.titles(),
        QStringList(editor.dialog->findChild<RepoEditor::ConfigDialog*>()->windowTitle()));
}

// The browser is an outside program of the share directory; a stand-in
// records what it is given.
void TestRepoEditorDialog::browseOpensFirstUrl()
{
    RecordingBrowser share;
    Editor editor(threeRepos + "\n[m]\nmirrorlist=http://m/list\n");
    editor.open();
    editor.makeCurrent("m");
    editor.button("browseButton")->click();
    QCOMPARE(share.browsed(1), QStringList("1:http://m/list"));
}

QTEST_MAIN(TestRepoEditorDialog)
#include "TestRepoEditorDialog.moc"
