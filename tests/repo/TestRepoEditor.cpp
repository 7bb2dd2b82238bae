// SPDX-License-Identifier: GPL-2.0-or-later
#include "ConfSandbox.h"
#include "config-vux-tests.h"

#include "repo/RepoEditorConfig.h"
#include "repo/RepoEditorConfigDialog.h"
#include "repo/RepoEditorDialog.h"
#include "repo/RepoEditorModel.h"
#include "repo/RepoEditorView.h"
#include "widgets/PasswdLineEdit.h"
#include "widgets/PasswdTextEdit.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>

// The repository editor over real files in a sandbox root: its table, its
// switches, its status line and what Apply, OK, Cancel and Reset All leave in
// the files and in the session; and the dialog that edits one repository
// configuration: the form, the larder credential fields in step with the
// URLs, the status line, and OK.
namespace {

using RepoEditor::Config;
using RepoEditor::Dialog;

QString const larderUrl = "http://h/larder?user=joe&pass=%1&path=/r";
QByteArray const threeRepos = "[b]\nname=B\nbaseurl=http://b/\nenabled=1\n\n"
                              "[c]\nname=C\nbaseurl=http://c/\n\n"
                              "[a]\nname=A\nbaseurl=http://a/\nenabled=0\n";

template <typename T> T* field(QWidget* dialog, char const* name)
{
    T* widget = dialog->findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("no field %s", name);
    return widget;
}

QStringList labelTexts(QWidget* widget)
{
    QStringList labels;
    for (QLabel* label : widget->findChildren<QLabel*>())
        labels << label->text();
    return labels;
}

// The configuration dialog over the sandbox's configuration.
struct Form
{
    explicit Form(QByteArray const& main = "[main]\n")
        : sandbox(main)
    {
        fixture.conf.read(nullptr);
        dialog.reset(new RepoEditor::ConfigDialog(&fixture.conf, nullptr));
    }
    template <typename T> T* get(char const* name) const { return field<T>(dialog.data(), name); }
    QString status() const { return get<QLabel>("status")->text(); }
    // Opens the dialog on entry, shown and active.
    void open(Repo::Entry* entry)
    {
        dialog->setEntry(entry);
        dialog->show();
        dialog->activateWindow();
        [[maybe_unused]] bool const active = QTest::qWaitForWindowActive(dialog.data());
    }
    void press(char const* button) { get<QPushButton>(button)->click(); }

    ConfSandbox sandbox;
    ConfFixture fixture {{}, false};
    QScopedPointer<RepoEditor::ConfigDialog> dialog;
};

// The editor over the sandbox's /etc/yum.repos.d/t.repo.
struct Editor
{
    explicit Editor(QByteArray const& repoFile = threeRepos)
        : sandbox("[main]\n")
    {
        if (!repoFile.isNull())
            sandbox.put("/etc/yum.repos.d/t.repo", repoFile);
        dialog.reset(new Dialog(nullptr, &fixture.conf, nullptr));
        view = dialog->findChild<RepoEditor::View*>();
        tester.reset(new QAbstractItemModelTester(
            view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest));
    }
    void open()
    {
        dialog->show();
        QVERIFY(dialog->isVisible());
    }
    QPushButton* button(char const* name) const { return field<QPushButton>(dialog.data(), name); }
    QString status() const { return field<QLabel>(dialog.data(), "status")->text(); }
    // The view's cell of the entry with identifier id (the first one).
    QModelIndex cell(QString const& id, int column) const
    {
        QAbstractItemModel* model = view->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            if (model->index(row, 2).data().toString() == id)
                return model->index(row, column);
        }
        return QModelIndex();
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
    void answerConfig(QString const& name)
    {
        fixture.answerer.answer([name](QWidget* dialog) {
            field<QLineEdit>(dialog, "name")->setText(name);
            ModalAnswerer::clickButton(dialog, "okButton");
        });
    }
    QByteArray file() const { return sandbox.get("/etc/yum.repos.d/t.repo"); }

    ConfSandbox sandbox;
    ConfFixture fixture {{}, false};
    QScopedPointer<Dialog> dialog;
    QScopedPointer<QAbstractItemModelTester> tester;
    RepoEditor::View* view = nullptr;
};

Repo::Entry entry(QString const& id, QString const& baseurl, QString const& mirrorlist = {})
{
    Repo::Entry e;
    e.id = id;
    e.baseurl = baseurl;
    e.mirrorlist = mirrorlist;
    return e;
}

// dnf's own verdict on each identifier: whether it would load a section
// of that name (dnf.repo.repo_id_invalid finds no bad character).
QList<bool> dnfAccepts(QStringList const& ids)
{
    QProcess dnf;
    dnf.start(QStringLiteral(VUX_TEST_PYTHON),
        {QStringLiteral("-c"),
            QStringLiteral(
                "import dnf.repo, json, sys\n"
                "ids = json.load(sys.stdin)\n"
                "print(json.dumps([dnf.repo.repo_id_invalid(i) is None for i in ids]))")});
    dnf.write(QJsonDocument(QJsonArray::fromStringList(ids)).toJson());
    dnf.closeWriteChannel();
    QList<bool> verdicts;
    if (!dnf.waitForFinished(60000))
        return verdicts;
    for (QJsonValue const& verdict : QJsonDocument::fromJson(dnf.readAllStandardOutput()).array())
        verdicts << verdict.toBool();
    return verdicts;
}

} // namespace

class TestRepoEditor : public QObject
{
    Q_OBJECT

private slots:
    void larderFieldsFollowTheUrls();
    void credentialsTypedOnceReachEveryUrl();
    void status_data();
    void status();
    void okSetsTheEntry();
    void identifierAsDnfReadsIt();
    void formKeyboardAndNames();
    void openingShowsSortedTable();
    void newAndCopiedEntries();
    void permWithoutEnabledWritesZero();
    void removeTwoSelectedRows();
    void cancelRestoresAndForceReports();
    void okWithoutChangesWritesNothing();
    void readFailureShowsNoDialog();
    void fullDiskKeepsFilesAndEdits();
    void editorKeyboardAndNames();
};

// Larder credentials from a mirror list alone, under its own key names; a
// plain entry has empty, disabled fields under the plain labels until a
// larder URL is typed.
void TestRepoEditor::larderFieldsFollowTheUrls()
{
    Form form;
    Repo::Entry e = entry("m", "http://plain/", "http://h/larder?who=ann%40x&key=s%26c&path=/list");
    form.open(&e);
    auto* name = form.get<QLineEdit>("larderName");
    auto* password = form.get<QLineEdit>("larderPassword");
    QVERIFY(name->isEnabled() && password->isEnabled());
    QCOMPARE(name->text(), "ann@x");
    QCOMPARE(password->text(), "s&c");
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QVERIFY(labelTexts(form.dialog.data()).contains("who"));
    QVERIFY(labelTexts(form.dialog.data()).contains("key"));
    QVERIFY(!form.get<QPushButton>("resetButton")->isEnabled());

    Repo::Entry plain = entry("p", "http://plain/");
    form.dialog->setEntry(&plain);
    QVERIFY(!name->isEnabled() && name->text().isEmpty() && password->text().isEmpty());
    QVERIFY(labelTexts(form.dialog.data()).contains("Password"));
    QVERIFY(!labelTexts(form.dialog.data()).contains("key"));
    auto* urls = form.get<PasswdTextEdit>("urls");
    urls->setFocus();
    QTest::keyClick(urls, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(urls, Qt::Key_Return);
    QTest::keyClicks(urls, "http://h/larder?login=me&secret=&path=/x");
    QVERIFY(name->isEnabled());
    QCOMPARE(name->text(), "me");
    QCOMPARE(form.status(), Config::problemText(Config::NoLarderPassword));
    // Typed into the masked editor: the real text holds what was typed.
    QCOMPARE(urls->realPlainText(), "http://plain/\nhttp://h/larder?login=me&secret=&path=/x");
}

void TestRepoEditor::credentialsTypedOnceReachEveryUrl()
{
    Form form;
    Repo::Entry e
        = entry("r", larderUrl.arg("old") + "\nhttp://plain/\nhttp://g/larder?u=joe&p=old&path=/s",
            "http://m/larder?a=joe&b=old&path=/list");
    Repo::Entry const before = e;
    form.open(&e);
    auto* password = form.get<QLineEdit>("larderPassword");
    password->selectAll();
    QTest::keyClicks(password, "n&w");
    auto* urls = form.get<PasswdTextEdit>("urls");
    auto* mirrorlist = form.get<PasswdLineEdit>("mirrorlist");
    QCOMPARE(urls->realPlainText(),
        larderUrl.arg("n%26w") + "\nhttp://plain/\nhttp://g/larder?user=joe&pass=n%26w&path=/s");
    QCOMPARE(mirrorlist->realText(), "http://m/larder?a=joe&b=n%26w&path=/list");
    // Shown masked (editing inside the mask is the editors' own suite's).
    QVERIFY(!urls->toPlainText().contains("n%26w") && !mirrorlist->text().contains("n%26w"));
    QVERIFY(form.get<QPushButton>("resetButton")->isEnabled());

    // The name too, then Reset puts back the entry's own values.
    auto* name = form.get<QLineEdit>("larderName");
    name->selectAll();
    QTest::keyClicks(name, "ann");
    QVERIFY(mirrorlist->realText().startsWith("http://m/larder?a=ann&b=n%26w"));
    form.press("resetButton");
    QCOMPARE(urls->realPlainText(), before.baseurl);
    QCOMPARE(name->text(), "joe");
    QVERIFY(!form.get<QPushButton>("resetButton")->isEnabled());
    QCOMPARE(e.baseurl, before.baseurl); // untouched until OK
}

void TestRepoEditor::status_data()
{
    QTest::addColumn<QByteArray>("main");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("baseurl");
    QTest::addColumn<QString>("mirrorlist");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("problem"); // -1: none
    auto const row = [](char const* tag, QString const& baseurl, QString const& file, int problem,
                         QByteArray const& main = "[main]\n", QString const& id = "a",
                         QString const& mirrorlist = {}) {
        QTest::newRow(tag) << main << id << baseurl << mirrorlist << file << problem;
    };
    QString const url = "http://a/";
    int const outside = Config::OutsideReposDirs;
    row("no identifier first", "", "x", Config::NoIdentifier, "[main]\n", "");
    row("no URL", "", "", Config::NoUrls);
    row("mirror list is enough", "", "", -1, "[main]\n", "a", url);
    row("main file", url, "/etc/yum.conf", -1);
    row("name merely beginning with the directory", url, "/etc/yum.repos.dx/a.repo", outside);
    row("subdirectory is not read", url, "/etc/yum.repos.d/old/a.repo", outside);
    row("relative name lands in the first directory", url, "a.repo", -1);
    row("no suffix", url, "/etc/yum.repos.d/a.conf", Config::NoRepoSuffix);
    row("reposdir with a trailing slash", url, "/r/a.repo", -1, "[main]\nreposdir=/r/\n");
    row("no reposdir at all", url, "a.repo", outside, "[main]\nreposdir=\n");
    row("no larder name", "http://h/larder?u=&p=x&path=/", "", Config::NoLarderName);
    row("larder in mirror list", url, "", Config::NoLarderPassword, "[main]\n", "a",
        "http://h/larder?u=n&p=&path=/");
}

void TestRepoEditor::status()
{
    QFETCH(QByteArray, main);
    QFETCH(QString, id);
    QFETCH(QString, baseurl);
    QFETCH(QString, mirrorlist);
    QFETCH(QString, file);
    QFETCH(int, problem);
    Form form(main);
    Repo::Entry e = entry(id, baseurl, mirrorlist);
    e.file = file;
    form.open(&e);
    QCOMPARE(
        form.status(), problem < 0 ? QString() : Config::problemText(Config::Problem(problem)));
    QColor const text = form.get<QLabel>("status")->palette().color(QPalette::WindowText);
    QCOMPARE(text,
        problem < 0 ? form.dialog->palette().color(QPalette::WindowText)
                    : QColor(problem == Config::NoIdentifier ? "red" : "darkorange"));
}

// OK writes the form to the entry: a default state, the session use of the
// renamed entry from the main file's default, and a sort position past
// 99.99 unclipped (or accepting the form would move the section in its
// file).
void TestRepoEditor::okSetsTheEntry()
{
    Form form("[main]\nenabled=0\ngpgcheck=1\n");
    Repo::Entry e = entry("a", "http://a/");
    e.enabled = Qt::Checked;
    e.sortPosition = 150;
    form.fixture.sessionUse.insert("a", true);
    form.open(&e);
    QCOMPARE(form.get<QDoubleSpinBox>("sortPosition")->value(), 150.0);
    form.get<QComboBox>("enabled")->setCurrentIndex(1); // the default
    form.get<QLineEdit>("identifier")->setText("b");
    form.press("okButton");
    QCOMPARE(form.dialog->result(), int(QDialog::Accepted));
    QCOMPARE(e.id, "b");
    QCOMPARE(e.enabled, int(Qt::PartiallyChecked));
    QCOMPARE(e.sortPosition, 150.0);
    QCOMPARE(form.fixture.sessionUse.value("b", true), false);
    QCOMPARE(form.fixture.sessionUse.value("a"), true);
}

// A typed identifier is accepted exactly when dnf accepts it; otherwise OK
// is off and says why, and the entry is left as it was. An identifier read
// from a file stays acceptable as it is.
void TestRepoEditor::identifierAsDnfReadsIt()
{
    QStringList const ids {"updates-testing_2.0:x86", "my extra", "tab\there", "slash/ed",
        "$releasever", "a=b", "[x]", "hash#", "quote'", "caf\u00e9", "\u00dcber", "Z9"};
    QList<bool> const accepted = dnfAccepts(ids);
    QCOMPARE(accepted.size(), ids.size());
    QVERIFY(accepted.contains(true) && accepted.contains(false));
    for (qsizetype i = 0; i < ids.size(); ++i) {
        Form form;
        Repo::Entry e = entry("old", "http://a/");
        form.open(&e);
        form.get<QLineEdit>("identifier")->setText(ids[i]);
        auto* ok = form.get<QPushButton>("okButton");
        QVERIFY2(ok->isEnabled() == accepted[i], qPrintable(ids[i]));
        if (!accepted[i]) {
            QCOMPARE(ok->toolTip(), form.status());
            QCOMPARE(ok->accessibleDescription(), form.status());
        }
        QVERIFY(QMetaObject::invokeMethod(form.dialog.data(), "ok"));
        QCOMPARE(e.id, accepted[i] ? ids[i] : QStringLiteral("old"));
    }
    Form form;
    Repo::Entry e = entry("fedora-$releasever", "http://a/");
    form.open(&e);
    QVERIFY(form.get<QPushButton>("okButton")->isEnabled());
    QVERIFY(form.status().isEmpty());
}

// Tab reaches every input without typing into the URLs or the options;
// every input and button has a name.
void TestRepoEditor::formKeyboardAndNames()
{
    Form form;
    Repo::Entry e = entry("a", larderUrl.arg("p"));
    form.open(&e);
    QSet<QString> reached;
    form.get<QLineEdit>("identifier")->setFocus();
    for (int i = 0; i < 40; ++i) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        // A spin box's focus sits on its inner line edit.
        reached.insert(
            (focus->objectName().isEmpty() ? focus->parentWidget() : focus)->objectName());
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    for (char const* input : {"identifier", "name", "urls", "mirrorlist", "larderName",
             "larderPassword", "enabled", "gpgcheck", "otherOptions", "file", "sortPosition"}) {
        QVERIFY2(reached.contains(input), input);
        QVERIFY(!form.get<QWidget>(input)->accessibleName().isEmpty());
    }
    for (char const* button : {"resetButton", "cancelButton", "okButton"})
        QVERIFY(!form.get<QPushButton>(button)->accessibleName().isEmpty());
    QCOMPARE(form.get<PasswdTextEdit>("urls")->realPlainText(), larderUrl.arg("p"));
    QVERIFY(form.get<QTextEdit>("otherOptions")->toPlainText().isEmpty());
    form.press("cancelButton");
    QCOMPARE(form.dialog->result(), int(QDialog::Rejected));
}

// Sorted as last time by its own order; Sess: used in this session (b) or
// not (a); Perm: enabled=1 (b), absent (c, the default yes) or 0 (a).
void TestRepoEditor::openingShowsSortedTable()
{
    Editor editor;
    editor.view->horizontalHeader()->setSortIndicator(3, Qt::DescendingOrder);
    editor.open();
    QStringList shown;
    for (int row = 0; row < 3; ++row)
        shown << editor.view->model()->index(row, 2).data().toString();
    QCOMPARE(shown, QStringList({"a", "b", "c"}));
    QCOMPARE(editor.view->horizontalHeader()->sortIndicatorSection(), 2);
    QCOMPARE(editor.tip("c", 1), editor.tip("b", 1));
    QVERIFY(editor.tip("a", 1) != editor.tip("b", 1));
    QVERIFY(editor.tip("a", 0) != editor.tip("b", 0));
    QVERIFY(!editor.cell("b", 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    QVERIFY(!editor.button("editButton")->isEnabled());
    QVERIFY(!editor.button("applyButton")->isEnabled());
    QVERIFY(editor.status().isEmpty());
}

// A copy stays in its original's file after it and repeats its identifier;
// a new entry without one shows "(new)"; the status line says so.
void TestRepoEditor::newAndCopiedEntries()
{
    {
        Editor editor;
        editor.open();
        editor.makeCurrent("b");
        editor.answerConfig("B copy");
        editor.button("copyButton")->click();
        QCOMPARE(editor.ids(), QStringList({"b", "c", "a", "b"}));
        Repo::Entry const copy = editor.fixture.conf.repos.last();
        QCOMPARE(copy.name, "B copy");
        QCOMPARE(copy.file, "/etc/yum.repos.d/t.repo");
        QCOMPARE(copy.sortPosition, 1.0);
        QCOMPARE(editor.status(), Dialog::statusText(Dialog::DuplicateIdentifier, "b"));
        QCOMPARE(
            field<QLabel>(editor.dialog.data(), "status")->palette().color(QPalette::WindowText),
            QColor("red"));
    }
    // (The answerer answers a dialog once: another editor, another dialog.)
    Editor added;
    added.open();
    added.answerConfig("Nameless");
    added.button("addButton")->click();
    QCOMPARE(added.ids().last(), "");
    QCOMPARE(added.currentId(), "");
    QModelIndex const id = added.view->model()->index(added.view->currentIndex().row(), 2);
    QCOMPARE(id.data().toString(), "(new)");
    QVERIFY(id.data(Qt::FontRole).value<QFont>().italic());
    QVERIFY(!added.cell("a", 2).data(Qt::FontRole).isValid());
    QCOMPARE(added.status(), Dialog::statusText(Dialog::NoIdentifier));
    QVERIFY(added.button("applyButton")->isEnabled());
}

// Perm switched off where the file has no enabled line writes one; the
// current row stays across Apply, whatever the sort.
void TestRepoEditor::permWithoutEnabledWritesZero()
{
    Editor editor;
    editor.open();
    editor.view->sortByColumn(2, Qt::DescendingOrder);
    editor.click("c", 1);
    QCOMPARE(editor.tip("c", 1), editor.tip("a", 1));
    QCOMPARE(editor.status(), Dialog::statusText(Dialog::UnappliedChanges));
    QSignalSpy changed(editor.dialog.data(), &Dialog::reposChanged);
    editor.makeCurrent("b");
    editor.button("applyButton")->click();
    QVERIFY(editor.file().contains("[c]\nname=C\nbaseurl=http://c/\nenabled=0\n"));
    QVERIFY(editor.status().isEmpty());
    QVERIFY(!editor.button("applyButton")->isEnabled());
    QCOMPARE(editor.currentId(), "b");
    QVERIFY(editor.button("editButton")->isEnabled());
    editor.dialog->reject();
    QCOMPARE(changed.count(), 1); // applied
}

void TestRepoEditor::removeTwoSelectedRows()
{
    Editor editor(threeRepos + "\n[d]\nname=D\n");
    editor.open();
    editor.makeCurrent("d");
    editor.view->selectionModel()->select(
        editor.cell("b", 2), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    editor.button("removeButton")->click();
    QCOMPARE(editor.ids(), QStringList({"c", "a"}));
    QCOMPARE(editor.currentId(), "<none>");
    QVERIFY(!editor.button("removeButton")->isEnabled());
    editor.button("okButton")->click();
    QVERIFY(!editor.dialog->isVisible());
    QCOMPARE(editor.file(),
        "[c]\nname=C\nbaseurl=http://c/\n\n[a]\nname=A\nbaseurl=http://a/\nenabled=0\n");
}

void TestRepoEditor::cancelRestoresAndForceReports()
{
    Editor editor;
    editor.dialog->forceReposChanged = true;
    editor.open();
    QSignalSpy changed(editor.dialog.data(), &Dialog::reposChanged);
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

void TestRepoEditor::okWithoutChangesWritesNothing()
{
    Editor editor;
    editor.open();
    QHash<QString, QByteArray> const before = editor.sandbox.snapshot();
    QSignalSpy changed(editor.dialog.data(), &Dialog::reposChanged);
    editor.makeCurrent("b");
    editor.fixture.answerer.click("okButton"); // unchanged: the configuration dialog rejects
    editor.button("editButton")->click();
    QVERIFY(!editor.button("applyButton")->isEnabled());
    editor.button("okButton")->click();
    QCOMPARE(editor.dialog->result(), int(QDialog::Accepted));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(editor.sandbox.snapshot(), before);
}

void TestRepoEditor::readFailureShowsNoDialog()
{
    Editor editor(threeRepos + "[broken\n");
    QSignalSpy changed(editor.dialog.data(), &Dialog::reposChanged);
    editor.fixture.answerer.click("okButton");
    editor.dialog->forceReposChanged = true;
    QCOMPARE(editor.dialog->exec(), int(QDialog::Rejected));
    QVERIFY(!editor.dialog->isVisible());
    QCOMPARE(editor.fixture.answerer.answered(), 1); // why, as the file suite checks
    QCOMPARE(changed.count(), 0); // files untouched: TestYumConfIO::failedRead
}

// The write error is shown (that the files stay whole is the file suite's
// concern); the dialog stays open with the edits.
void TestRepoEditor::fullDiskKeepsFilesAndEdits()
{
    Editor editor {QByteArray()};
    QString why;
    if (!editor.sandbox.mountSmallDisk("/etc/yum.repos.d", &why))
        QSKIP(qPrintable(why));
    editor.sandbox.put("/etc/yum.repos.d/t.repo", threeRepos);
    editor.sandbox.fill();
    editor.open();
    editor.makeCurrent("c");
    editor.answerConfig("C renamed");
    editor.button("editButton")->click();
    int const shown = editor.fixture.answerer.answered();
    editor.fixture.answerer.click("okButton"); // the write error
    editor.button("okButton")->click();
    QVERIFY(editor.dialog->isVisible());
    QCOMPARE(editor.fixture.answerer.answered(), shown + 1);
    QCOMPARE(editor.cell("c", 3).data().toString(), "C renamed");
    QCOMPARE(editor.currentId(), "c");
    QCOMPARE(editor.status(), Dialog::statusText(Dialog::UnappliedChanges));
    QVERIFY(editor.button("applyButton")->isEnabled());
}

// Every button named and reached by Tab, Apply the default; Tab leaves the
// table, Space toggles the current session switch (twice: no configuration
// change, still a change of the session), Return edits the row.
void TestRepoEditor::editorKeyboardAndNames()
{
    Editor editor;
    editor.open();
    for (QPushButton* button :
        editor.dialog->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly))
        QVERIFY(!button->accessibleName().isEmpty() && (button->focusPolicy() & Qt::TabFocus));
    QVERIFY(!editor.view->accessibleName().isEmpty());
    QVERIFY(!editor.button("addButton")->isDefault() && editor.button("applyButton")->isDefault());
    editor.dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editor.dialog.data()));
    editor.view->setFocus();
    QTest::keyClick(editor.view, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != editor.view);
    editor.view->setFocus();
    editor.view->setCurrentIndex(editor.cell("a", 0));
    QSignalSpy changed(editor.dialog.data(), &Dialog::reposChanged);
    QTest::keyClick(editor.view, Qt::Key_Space);
    QCOMPARE(editor.fixture.sessionUse.value("a"), true);
    QTest::keyClick(editor.view, Qt::Key_Space);
    QCOMPARE(editor.fixture.sessionUse.value("a"), false);
    QVERIFY(!editor.button("applyButton")->isEnabled());
    editor.fixture.answerer.click("cancelButton");
    QTest::keyClick(editor.view, Qt::Key_Return);
    QCOMPARE(editor.fixture.answerer.titles(),
        QStringList(editor.dialog->findChild<RepoEditor::ConfigDialog*>()->windowTitle()));
    editor.dialog->reject();
    QCOMPARE(changed.count(), 1);
}

QTEST_MAIN(TestRepoEditor)
#include "TestRepoEditor.moc"
