// SPDX-License-Identifier: GPL-2.0-or-later
#include "ConfSandbox.h"

#include "repo/RepoAuthChecker.h"
#include "repo/RepoAuthDialog.h"
#include "repo/RepoLarder.h"
#include "support/AccessibleCheck.h"
#include "support/EngineFixture.h"
#include "yumio/YumIO.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace {

// Answers the checker's prompts in order: types name and password, notes
// what the dialog showed, presses a button (by object name, or Escape).
// Any other box is noted and closed, so that a test fails, not hangs.
struct PromptDriver : QObject
{
    struct Prompt
    {
        QString id, urls, texts, unreachable;
        bool normalCursor;
    };

    PromptDriver()
    {
        connect(&timer, &QTimer::timeout, this, &PromptDriver::poll);
        timer.start(10);
    }
    void answer(QString const& button, QString const& name = {}, QString const& password = {})
    {
        steps << QStringList {button, name, password};
    }
    QStringList ids() const
    {
        QStringList result;
        for (Prompt const& prompt : prompts)
            result << prompt.id;
        return result;
    }
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<RepoAuth::Dialog*>(modal);
        if (!dialog && modal) {
            otherBoxes << ModalAnswerer::dialogText(modal);
            ModalAnswerer::clickButton(modal, QStringLiteral("OK"));
        }
        if (!dialog || !dialog->isPrompting())
            return;
        QStringList const step
            = steps.isEmpty() ? QStringList {"skipAllButton", {}, {}} : steps.takeFirst();
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("nameEdit")), step[1]);
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("passwordEdit")), step[2]);
        Prompt prompt {dialog->findChild<QLabel*>(QStringLiteral("idLabel"))->text(),
            dialog->findChild<QLabel*>(QStringLiteral("urlsLabel"))->text(),
            ModalAnswerer::dialogText(dialog), unreachableControls(dialog).join(QLatin1Char(' ')),
            !QApplication::overrideCursor()};
        prompts << prompt;
        if (step[0] == QLatin1String("Escape"))
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            dialog->findChild<QPushButton*>(step[0])->click();
    }

    QTimer timer;
    QList<QStringList> steps;
    QList<Prompt> prompts;
    QStringList otherBoxes;
};

QByteArray section(QString const& id, QString const& host, char const* extra = "")
{
    return QStringLiteral("[%1]\nname=%1\nbaseurl=http://%2/larder?name=&password=&path=/%1/\n%3\n")
        .arg(id, host, QLatin1String(extra))
        .toUtf8();
}

// "name:password" of each larder repository as the files now hold them.
QHash<QString, QString> storedAuth()
{
    QList<YumRepoEnabled> options;
    QHash<QString, bool> use;
    YumConfIO conf(options, use);
    conf.read(nullptr);
    QHash<QString, QString> result;
    for (Repo::Entry const& entry : conf.repos) {
        QString nameKey, name, passwordKey, password;
        if (Repo::Larder::getAuth(entry, nameKey, name, passwordKey, password))
            result.insert(entry.id, name + QLatin1Char(':') + password);
    }
    return result;
}

struct Check
{
    // Runs a checker over the install root's configuration.
    Check(PromptDriver& driver)
    {
        YumConfIO conf(options, sessionUse);
        RepoAuth::Checker checker(nullptr, &conf);
        quit = checker.quit;
        changed = checker.changed;
        QCOMPARE(driver.otherBoxes, QStringList());
    }
    QList<YumRepoEnabled> options;
    QHash<QString, bool> sessionUse;
    bool quit, changed;
};

} // namespace

// The start-up credential check: who is asked, what each answer does to
// the files and the session, and that the credentials reach the server.
class TestRepoAuthChecker : public QObject
{
    Q_OBJECT

private slots:
    void asksOnlyForMissingCredentials();
    void applyToHostToAllAndDisable();
    void quitKeepsEarlierCredentials();
    void emptyAnswersWriteNothing();
    void repositoryLoadsWithEnteredCredentials();
};

void TestRepoAuthChecker::asksOnlyForMissingCredentials()
{
    ConfSandbox sandbox;
    sandbox.put("/etc/yum.repos.d/t.repo",
        section("off", "h1", "enabled=0") + section("a", "h1")
            + "[named]\nbaseurl=http://h1/larder?name=bob&password=&path=/named/\n\n"
              "[plain]\nbaseurl=http://h1/plain/\n\n"
              "[mirror]\nmirrorlist=http://h2/larder?user=&pass=&path=/list\n\n"
            + section("b", "h1"));
    PromptDriver driver;
    QString const password = QStringLiteral("p&ss w=rd");
    driver.answer(QStringLiteral("okButton"), QStringLiteral("alice"), password);
    driver.answer(QStringLiteral("skipAllButton"));
    Check check(driver);

    QCOMPARE(driver.ids(), QStringList({QStringLiteral("a"), QStringLiteral("mirror")}));
    QVERIFY(check.changed && !check.quit);
    // The preview shows where the credentials go, hidden, with one mask
    // character per typed password character.
    QChar const hide(QApplication::style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter));
    QCOMPARE(driver.prompts[0].urls,
        QStringLiteral("http://h1/larder?name=%1&password=%2&path=/a/")
            .arg(QString(5, hide), QString(password.size(), hide)));
    QVERIFY2(driver.prompts[0].unreachable.isEmpty(), qPrintable(driver.prompts[0].unreachable));
    QVERIFY(driver.prompts[1].texts.contains(QStringLiteral("user")));
    for (PromptDriver::Prompt const& prompt : std::as_const(driver.prompts))
        QVERIFY(
            !prompt.texts.contains(password) && !prompt.urls.contains(QStringLiteral("p%26ss")));

    QHash<QString, QString> const stored = storedAuth();
    QCOMPARE(stored.value("a"), QStringLiteral("alice:") + password);
    for (char const* untouched : {"off", "b", "mirror"})
        QCOMPARE(stored.value(untouched), QStringLiteral(":"));
    QCOMPARE(stored.value("named"), QStringLiteral("bob:"));
}

// Entries answered by Apply to All with this Host and by Apply to All are
// filled without asking; a disabled one is left out of the session.
void TestRepoAuthChecker::applyToHostToAllAndDisable()
{
    ConfSandbox sandbox;
    sandbox.put("/etc/yum.repos.d/t.repo",
        section("h1a", "h1:80") + section("h1b", "h1:80") + section("h2", "h1:81")
            + section("h3", "h3") + section("h1c", "h1:80"));
    PromptDriver driver;
    driver.answer(QStringLiteral("applyHostButton"), QStringLiteral("host"), QStringLiteral("pw"));
    driver.answer(QStringLiteral("disableButton"), QStringLiteral("typed"), QStringLiteral("lost"));
    driver.answer(QStringLiteral("applyAllButton"), QStringLiteral("all"), QStringLiteral("pw"));
    Check check(driver);
    QCOMPARE(driver.ids(),
        QStringList({QStringLiteral("h1a"), QStringLiteral("h2"), QStringLiteral("h3")}));
    QVERIFY(check.changed && !check.quit);
    QCOMPARE(check.sessionUse.value("h2", true), false);
    QHash<QString, QString> const stored = storedAuth();
    QCOMPARE(stored.value("h1b"), QStringLiteral("host:pw"));
    QCOMPARE(stored.value("h3"), QStringLiteral("all:pw"));
    QVERIFY(stored.value("h1c") == QLatin1String("host:pw")
        || stored.value("h1c") == QLatin1String("all:pw"));
    QCOMPARE(stored.value("h2"), QStringLiteral(":"));
    QVERIFY(sandbox.get("/etc/yum.repos.d/t.repo").contains(section("h2", "h1:81")));
}

void TestRepoAuthChecker::quitKeepsEarlierCredentials()
{
    ConfSandbox sandbox;
    sandbox.put(
        "/etc/yum.repos.d/t.repo", section("a", "h1") + section("b", "h2") + section("c", "h3"));
    PromptDriver driver;
    driver.answer(QStringLiteral("okButton"), QStringLiteral("first"), QStringLiteral("pw"));
    driver.answer(QStringLiteral("quitButton"), QStringLiteral("second"), QStringLiteral("pw2"));
    Check check(driver);
    QCOMPARE(driver.ids(), QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    QVERIFY(check.quit && check.changed);
    QHash<QString, QString> const stored = storedAuth();
    QCOMPARE(stored.value("a"), QStringLiteral("first:pw"));
    QCOMPARE(stored.value("b"), QStringLiteral(":"));
    QCOMPARE(stored.value("c"), QStringLiteral(":"));
}

// OK with empty fields and Escape (as Skip All) leave the files alone. The
// user is asked with the normal cursor; the caller's busy cursor comes back
// once, and a caller without one is left without one.
void TestRepoAuthChecker::emptyAnswersWriteNothing()
{
    ConfSandbox sandbox;
    sandbox.put("/etc/yum.repos.d/t.repo",
        "# kept\n" + section("a", "h1") + section("b", "h2") + section("c", "h3"));
    auto const before = sandbox.snapshot();
    PromptDriver driver;
    driver.answer(QStringLiteral("okButton"));
    driver.answer(QStringLiteral("Escape"), QStringLiteral("typed"), QStringLiteral("pw"));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Check check(driver);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(driver.prompts.size(), 2);
    QVERIFY(driver.prompts[0].normalCursor && driver.prompts[1].normalCursor);
    QVERIFY(!check.changed && !check.quit);
    QCOMPARE(sandbox.snapshot(), before);

    Check again(driver);
    QVERIFY(!QApplication::overrideCursor());
}

// A server that refuses requests without the right credentials, and
// repositories configured with empty ones: after the check, the collection
// reads both repositories. (That the engine hides credentials in what it
// shows and logs is the engine suites' concern.)
void TestRepoAuthChecker::repositoryLoadsWithEnteredCredentials()
{
    EngineFixture fixture;
    EngineFixture::Options options;
    options.larder = QStringLiteral("tester:s3cret");
    options.larderOnly = true;
    QString error;
    QVERIFY2(fixture.prepare(options, &error), qPrintable(error));
    QDir reposDir(fixture.root() + QStringLiteral("/etc/yum.repos.d"));
    for (QString const& name : reposDir.entryList({QStringLiteral("*.repo")})) {
        QFile file(reposDir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray const text
            = file.readAll().replace("name=tester&password=s3cret", "name=&password=");
        QVERIFY(file.resize(0) && file.seek(0) && file.write(text) == text.size());
    }
    YumIO& engine = fixture.engine();
    QVERIFY(engine.initialize());

    PromptDriver driver;
    driver.answer(
        QStringLiteral("applyAllButton"), QStringLiteral("tester"), QStringLiteral("s3cret"));
    Check check(driver);
    QCOMPARE(driver.prompts.size(), 1);
    QVERIFY(check.changed);
    QCOMPARE(check.sessionUse, EngineFixture::allRepos());

    // As at program start: changed credentials make the engine set its
    // repositories up again.
    engine.clear();
    QVERIFY(engine.collect(check.sessionUse));
    Package::Entry const* helix = engine.findEntry(false, QStringLiteral("helix"));
    Package::Entry const* ember = engine.findEntry(false, QStringLiteral("ember"));
    QVERIFY(helix && helix->repo == QLatin1String("updates") && ember
        && ember->repo == QLatin1String("base"));
    QVERIFY(!fixture.answerer().titles().contains(YumIO::errorTitle()));
}

QTEST_MAIN(TestRepoAuthChecker)
#include "TestRepoAuthChecker.moc"
