// SPDX-License-Identifier: GPL-2.0-or-later
#include "ConfSandbox.h"
#include "config-vux-tests.h"

#include "repo/RepoEditorConfig.h"
#include "repo/RepoEditorConfigDialog.h"
#include "widgets/PasswdLineEdit.h"
#include "widgets/PasswdTextEdit.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

// The dialog that edits one repository configuration: the form, the larder
// credential fields in step with the URLs, the status line, and OK.
namespace {

QString const larderUrl = "http://h/larder?user=joe&pass=%1&path=/r";

struct Form
{
    explicit Form(QByteArray const& main = "[main]\n")
        : sandbox(main)
    {
        fixture.conf.read(nullptr);
        dialog.reset(new RepoEditor::ConfigDialog(&fixture.conf, nullptr));
    }
    template <typename T> T* field(char const* name) const
    {
        T* widget = dialog->findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no field %s", name);
        return widget;
    }
    QString status() const { return field<QLabel>("status")->text(); }
    // Opens the dialog on entry, shown and active.
    void open(Repo::Entry* entry)
    {
        dialog->setEntry(entry);
        dialog->show();
        dialog->activateWindow();
        [[maybe_unused]] bool const active = QTest::qWaitForWindowActive(dialog.data());
    }
    void press(char const* button) { field<QPushButton>(button)->click(); }

    ConfSandbox sandbox;
    ConfFixture fixture {{}, false};
    QScopedPointer<RepoEditor::ConfigDialog> dialog;
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

class TestRepoEditorConfigDialog : public QObject
{
    Q_OBJECT

private slots:
    void larderFromMirrorListOnly();
    void credentialsTypedOnceReachEveryUrl();
    void pastedLarderUrlEnablesCredentials();
    void status_data();
    void status();
    void okSetsSessionUseFromDefaults();
    void identifierAsDnfReadsIt();
    void largeSortPositionKept();
    void keyboardAndNames();
};

void TestRepoEditorConfigDialog::larderFromMirrorListOnly()
{
    Form form;
    Repo::Entry e = entry("m", "http://plain/", "http://h/larder?who=ann%40x&key=s%26c&path=/list");
    form.open(&e);
    auto* name = form.field<QLineEdit>("larderName");
    auto* password = form.field<QLineEdit>("larderPassword");
    QVERIFY(name->isEnabled() && password->isEnabled());
    QCOMPARE(name->text(), "ann@x");
    QCOMPARE(password->text(), "s&c");
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QStringList labels;
    for (QLabel* label : form.dialog->findChildren<QLabel*>())
        labels << label->text();
    QVERIFY(labels.contains("who") && labels.contains("key"));
    QVERIFY(!form.field<QPushButton>("resetButton")->isEnabled());

    // A plain entry afterwards: empty, disabled fields under the plain labels.
    Repo::Entry plain = entry("p", "http://plain/");
    form.dialog->setEntry(&plain);
    QVERIFY(!name->isEnabled() && name->text().isEmpty() && password->text().isEmpty());
    labels.clear();
    for (QLabel* label : form.dialog->findChildren<QLabel*>())
        labels << label->text();
    QVERIFY(labels.contains("Password") && !labels.contains("key"));
}

void TestRepoEditorConfigDialog::credentialsTypedOnceReachEveryUrl()
{
    Form form;
    Repo::Entry e
        = entry("r", larderUrl.arg("old") + "\nhttp://plain/\nhttp://g/larder?u=joe&p=old&path=/s",
            "http://m/larder?a=joe&b=old&path=/list");
    Repo::Entry const before = e;
    form.open(&e);
    auto* password = form.field<QLineEdit>("larderPassword");
    password->selectAll();
    QTest::keyClicks(password, "n&w");
    auto* urls = form.field<PasswdTextEdit>("urls");
    QCOMPARE(urls->realPlainText(),
        larderUrl.arg("n%26w") + "\nhttp://plain/\nhttp://g/larder?user=joe&pass=n%26w&path=/s");
    QCOMPARE(form.field<PasswdLineEdit>("mirrorlist")->realText(),
        "http://m/larder?a=joe&b=n%26w&path=/list");
    // Shown masked (editing inside the mask is the editors' own suite's).
    QVERIFY(!urls->toPlainText().contains("n%26w"));
    QVERIFY(!form.field<PasswdLineEdit>("mirrorlist")->text().contains("n%26w"));
    QVERIFY(form.field<QPushButton>("resetButton")->isEnabled());

    // The name too, then Reset puts back the entry's own values.
    auto* name = form.field<QLineEdit>("larderName");
    name->selectAll();
    QTest::keyClicks(name, "ann");
    QVERIFY(form.field<PasswdLineEdit>("mirrorlist")
                ->realText()
                .startsWith("http://m/larder?a=ann&b=n%26w"));
    form.press("resetButton");
    QCOMPARE(urls->realPlainText(), before.baseurl);
    QCOMPARE(name->text(), "joe");
    QVERIFY(!form.field<QPushButton>("resetButton")->isEnabled());
    QCOMPARE(e.baseurl, before.baseurl); // untouched until OK
}

void TestRepoEditorConfigDialog::pastedLarderUrlEnablesCredentials()
{
    Form form;
    Repo::Entry e = entry("r", "http://plain/");
    form.open(&e);
    auto* name = form.field<QLineEdit>("larderName");
    QVERIFY(!name->isEnabled());
    auto* urls = form.field<PasswdTextEdit>("urls");
    urls->setFocus();
    QTest::keyClick(urls, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(urls, Qt::Key_Return);
    QTest::keyClicks(urls, "http://h/larder?login=me&secret=&path=/x");
    QVERIFY(name->isEnabled());
    QCOMPARE(name->text(), "me");
    QCOMPARE(form.status(), RepoEditor::Config::problemText(RepoEditor::Config::NoLarderPassword));
    // Typed into the masked editor: the real text holds what was typed.
    QCOMPARE(urls->realPlainText(), "http://plain/\nhttp://h/larder?login=me&secret=&path=/x");
}

void TestRepoEditorConfigDialog::status_data()
{
    QTest::addColumn<QByteArray>("main");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("baseurl");
    QTest::addColumn<QString>("mirrorlist");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("problem"); // -1: none
    using Config = RepoEditor::Config;
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
    row("repository directory", url, "/etc/yum.repos.d/a.repo", -1);
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

void TestRepoEditorConfigDialog::status()
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
    QCOMPARE(form.status(),
        problem < 0 ? QString()
                    : RepoEditor::Config::problemText(RepoEditor::Config::Problem(problem)));
    QColor const text = form.field<QLabel>("status")->palette().color(QPalette::WindowText);
    if (problem < 0)
        QCOMPARE(text, form.dialog->palette().color(QPalette::WindowText));
    else
        QCOMPARE(text, QColor(problem == RepoEditor::Config::NoIdentifier ? "red" : "darkorange"));
}

void TestRepoEditorConfigDialog::okSetsSessionUseFromDefaults()
{
    Form form("[main]\nenabled=0\ngpgcheck=1\n");
    Repo::Entry e = entry("a", "http://a/");
    e.enabled = Qt::Checked;
    form.fixture.sessionUse.insert("a", true);
    form.open(&e);
    auto* enabled = form.field<QComboBox>("enabled");
    QCOMPARE(enabled->itemText(1), "Default (No)");
    QCOMPARE(form.field<QComboBox>("gpgcheck")->itemText(1), "Default (Yes)");
    enabled->setCurrentIndex(1);
    form.field<QLineEdit>("identifier")->setText("b");
    form.press("okButton");
    QCOMPARE(form.dialog->result(), int(QDialog::Accepted));
    QCOMPARE(e.id, "b");
    QCOMPARE(e.enabled, int(Qt::PartiallyChecked));
    QCOMPARE(form.fixture.sessionUse.value("b", true), false);
    QCOMPARE(form.fixture.sessionUse.value("a"), true);
}

// A typed identifier is accepted exactly when dnf accepts it; otherwise OK
// is off and says why, and the entry is left as it was. An identifier read
// from a file stays acceptable as it is.
void TestRepoEditorConfigDialog::identifierAsDnfReadsIt()
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
        form.field<QLineEdit>("identifier")->setText(ids[i]);
        auto* ok = form.field<QPushButton>("okButton");
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
    QVERIFY(form.field<QPushButton>("okButton")->isEnabled());
    QVERIFY(form.status().isEmpty());
}

// Sections are numbered in their file from 1: a position past 99.99 must not
// be clipped, or accepting the form would move the section in its file.
void TestRepoEditorConfigDialog::largeSortPositionKept()
{
    Form form;
    Repo::Entry e = entry("a", "http://a/");
    e.sortPosition = 150;
    form.open(&e);
    QCOMPARE(form.field<QDoubleSpinBox>("sortPosition")->value(), 150.0);
    form.field<QLineEdit>("name")->setText("changed");
    form.press("okButton");
    QCOMPARE(e.sortPosition, 150.0);
    QCOMPARE(e.name, "changed");
}

void TestRepoEditorConfigDialog::keyboardAndNames()
{
    Form form;
    Repo::Entry e = entry("a", larderUrl.arg("p"));
    form.open(&e);
    QStringList const inputs = {"identifier", "name", "urls", "mirrorlist", "larderName",
        "larderPassword", "enabled", "gpgcheck", "otherOptions", "file", "sortPosition"};
    QSet<QString> reached;
    form.field<QLineEdit>("identifier")->setFocus();
    for (int i = 0; i < 40; ++i) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        // A spin box's focus sits on its inner line edit.
        QWidget* named = focus->objectName().isEmpty() ? focus->parentWidget() : focus;
        reached.insert(named->objectName());
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    for (QString const& input : inputs) {
        QVERIFY2(reached.contains(input), qPrintable(input));
        QVERIFY(!form.field<QWidget>(input.toLatin1())->accessibleName().isEmpty());
    }
    for (char const* button : {"resetButton", "cancelButton", "okButton"})
        QVERIFY(!form.field<QPushButton>(button)->accessibleName().isEmpty());
    // Tab moved on without typing into the URLs or the options.
    QCOMPARE(form.field<PasswdTextEdit>("urls")->realPlainText(), larderUrl.arg("p"));
    QVERIFY(form.field<QTextEdit>("otherOptions")->toPlainText().isEmpty());
    form.press("cancelButton");
    QCOMPARE(form.dialog->result(), int(QDialog::Rejected));
}

QTEST_MAIN(TestRepoEditorConfigDialog)
#include "TestRepoEditorConfigDialog.moc"
