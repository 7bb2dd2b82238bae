#include "ConfSandbox.h"

#include "repo/RepoAuthChecker.h"
#include "repo/RepoAuthDialog.h"
#include "repo/RepoLarder.h"
#include "support/EngineFixture.h"
#include "yumio/YumIO.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMutexLocker>
#include <QPushButton>

namespace {

// Answers the checker's prompts in order: types the credentials into the
// fields, notes what the dialog showed, presses a button. Any other box is
// noted and closed, so that a test fails instead of hanging.
class PromptDriver : public QObject
{
public:
    struct Prompt
    {
        QString id;
        QString urls; // the URL previews after typing
        QString mirror;
        QStringList texts; // every label of the dialog
        bool normalCursor = false;
    };

    PromptDriver()
    {
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, &PromptDriver::poll);
        timer.start();
    }

    // The next prompt gets name and password typed in, then the button (an
    // object name, or "Escape").
    void answer(
        QString const& button, QString const& name = QString(), QString const& password = QString())
    {
        steps.append({button, name, password});
    }

    QStringList ids() const
    {
        QStringList result;
        for (Prompt const& prompt : prompts)
            result << prompt.id;
        return result;
    }

    QList<Prompt> prompts;
    QStringList otherBoxes;

private:
    struct Step
    {
        QString button;
        QString name;
        QString password;
    };

    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<RepoAuth::Dialog*>(modal);
        if (!dialog) {
            if (modal && modal->isVisible()) {
                otherBoxes << ModalAnswerer::dialogText(modal);
                ModalAnswerer::clickButton(modal, QStringLiteral("OK"));
            }
            return;
        }
        if (!dialog->isPrompting())
            return;
        Prompt prompt;
        prompt.normalCursor = !QApplication::overrideCursor();
        if (steps.isEmpty()) {
            prompt.id = QStringLiteral("<unexpected prompt>");
            prompts << prompt;
            dialog->findChild<QPushButton*>(QStringLiteral("skipAllButton"))->click();
            return;
        }
        Step const step = steps.takeFirst();
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("nameEdit")), step.name);
        QTest::keyClicks(
            dialog->findChild<QLineEdit*>(QStringLiteral("passwordEdit")), step.password);
        prompt.id = dialog->findChild<QLabel*>(QStringLiteral("idLabel"))->text();
        prompt.urls = dialog->findChild<QLabel*>(QStringLiteral("urlsLabel"))->text();
        prompt.mirror = dialog->findChild<QLabel*>(QStringLiteral("mirrorListLabel"))->text();
        for (QLabel* label : dialog->findChildren<QLabel*>())
            prompt.texts << label->text();
        prompts << prompt;
        if (step.button == QLatin1String("Escape"))
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            dialog->findChild<QPushButton*>(step.button)->click();
    }

    QTimer timer;
    QList<Step> steps;
};

QString larderUrl(QString const& host, QString const& id)
{
    return QStringLiteral("http://%1/larder?name=&password=&path=/%2/").arg(host, id);
}

QByteArray section(QString const& id, QString const& host, char const* extra = "")
{
    return QStringLiteral("[%1]\nname=%1\nbaseurl=%2\n%3\n")
        .arg(id, larderUrl(host, id), QLatin1String(extra))
        .toUtf8();
}

// The name and password of each repository as the files now hold them.
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

} // namespace

// The start-up credential check: who is asked, what each answer does to
// the files and the session, and that the credentials reach the server.
class TestRepoAuthChecker : public QObject
{
    Q_OBJECT

private slots:
    void asksOnlyForMissingCredentials();
    void okWithEmptyFieldsWritesNothing();
    void applyToAll();
    void applyToHostAndDisable();
    void quitKeepsEarlierCredentials();
    void escapeAndCursor();
    void repositoryLoadsWithEnteredCredentials();

private:
    struct Check
    {
        QList<YumRepoEnabled> options;
        QHash<QString, bool> sessionUse;
        bool quit = false;
        bool changed = false;
    };
    // Runs a checker over the sandbox's configuration.
    static void run(Check& check, PromptDriver& driver)
    {
        YumConfIO conf(check.options, check.sessionUse);
        RepoAuth::Checker checker(nullptr, &conf);
        check.quit = checker.quit;
        check.changed = checker.changed;
        QCOMPARE(driver.otherBoxes, QStringList());
    }
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
    Check check;
    run(check, driver);

    QCOMPARE(driver.ids(), QStringList({QStringLiteral("a"), QStringLiteral("mirror")}));
    QVERIFY(check.changed && !check.quit);
    // The preview shows the name and as many mask characters as typed.
    PromptDriver::Prompt const& first = driver.prompts.first();
    QVERIFY2(first.urls.contains(QStringLiteral("name=alice&password=")), qPrintable(first.urls));
    QVERIFY(!first.urls.contains(QStringLiteral("p&ss"))
        && !first.urls.contains(QStringLiteral("p%26ss")));
    Repo::Entry preview;
    preview.baseurl = first.urls;
    QString nameKey, name, passwordKey, shown;
    QVERIFY(Repo::Larder::getAuth(preview, nameKey, name, passwordKey, shown));
    QCOMPARE(shown.size(), password.size());
    QVERIFY(!shown.contains(QLatin1Char('p')));
    QCOMPARE(driver.prompts[1].mirror, QStringLiteral("http://h2/larder?user=&pass=&path=/list"));
    for (PromptDriver::Prompt const& prompt : std::as_const(driver.prompts))
        QVERIFY(!prompt.texts.join(QLatin1Char('\n')).contains(password));

    QHash<QString, QString> const stored = storedAuth();
    QCOMPARE(stored.value("a"), QStringLiteral("alice:") + password);
    for (char const* untouched : {"off", "b", "mirror"})
        QCOMPARE(stored.value(untouched), QStringLiteral(":"));
    QCOMPARE(stored.value("named"), QStringLiteral("bob:"));
}

void TestRepoAuthChecker::okWithEmptyFieldsWritesNothing()
{
    ConfSandbox sandbox;
    sandbox.put("/etc/yum.repos.d/t.repo", "# kept as it is\n" + section("a", "h1"));
    auto const before = sandbox.snapshot();
    PromptDriver driver;
    driver.answer(QStringLiteral("okButton"));
    Check check;
    run(check, driver);
    QCOMPARE(driver.ids(), QStringList({QStringLiteral("a")}));
    QVERIFY(!check.changed && !check.quit);
    QCOMPARE(sandbox.snapshot(), before);
}

void TestRepoAuthChecker::applyToAll()
{
    ConfSandbox sandbox;
    sandbox.put("/etc/yum.repos.d/one.repo", section("a", "h1") + section("b", "h2"));
    sandbox.put("/etc/yum.repos.d/two.repo", section("c", "h3"));
    PromptDriver driver;
    driver.answer(QStringLiteral("applyAllButton"), QStringLiteral("all"), QStringLiteral("pw"));
    Check check;
    run(check, driver);
    QCOMPARE(driver.prompts.size(), 1);
    QVERIFY(check.changed);
    QHash<QString, QString> const stored = storedAuth();
    for (char const* id : {"a", "b", "c"})
        QCOMPARE(stored.value(id), QStringLiteral("all:pw"));
}

void TestRepoAuthChecker::applyToHostAndDisable()
{
    ConfSandbox sandbox;
    sandbox.put("/etc/yum.repos.d/t.repo",
        section("h1a", "h1:8080") + section("h1b", "h1:8080") + section("h2", "h1:8081")
            + section("h1c", "h1:8080"));
    auto const before = sandbox.get("/etc/yum.repos.d/t.repo");
    PromptDriver driver;
    driver.answer(QStringLiteral("applyHostButton"), QStringLiteral("host"), QStringLiteral("pw"));
    driver.answer(QStringLiteral("disableButton"), QStringLiteral("typed"), QStringLiteral("lost"));
    Check check;
    run(check, driver);
    QCOMPARE(driver.ids(), QStringList({QStringLiteral("h1a"), QStringLiteral("h2")}));
    QVERIFY(check.changed && !check.quit);
    QCOMPARE(check.sessionUse.value("h2", true), false);
    QCOMPARE(check.sessionUse.value("h1b"), true);
    QHash<QString, QString> const stored = storedAuth();
    for (char const* id : {"h1a", "h1b", "h1c"})
        QCOMPARE(stored.value(id), QStringLiteral("host:pw"));
    QCOMPARE(stored.value("h2"), QStringLiteral(":"));
    QVERIFY(sandbox.get("/etc/yum.repos.d/t.repo").contains(section("h2", "h1:8081")));
    QVERIFY(before.contains(section("h2", "h1:8081")));
}

void TestRepoAuthChecker::quitKeepsEarlierCredentials()
{
    ConfSandbox sandbox;
    sandbox.put(
        "/etc/yum.repos.d/t.repo", section("a", "h1") + section("b", "h2") + section("c", "h3"));
    PromptDriver driver;
    driver.answer(QStringLiteral("okButton"), QStringLiteral("first"), QStringLiteral("pw"));
    driver.answer(QStringLiteral("quitButton"), QStringLiteral("second"), QStringLiteral("pw2"));
    Check check;
    run(check, driver);
    QCOMPARE(driver.ids(), QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    QVERIFY(check.quit && check.changed);
    QHash<QString, QString> const stored = storedAuth();
    QCOMPARE(stored.value("a"), QStringLiteral("first:pw"));
    QCOMPARE(stored.value("b"), QStringLiteral(":"));
    QCOMPARE(stored.value("c"), QStringLiteral(":"));
}

// The user is asked with the normal cursor; the caller's busy cursor is
// back afterwards, once, and a caller without one is left without one.
void TestRepoAuthChecker::escapeAndCursor()
{
    ConfSandbox sandbox;
    sandbox.put("/etc/yum.repos.d/t.repo", section("a", "h1") + section("b", "h2"));
    PromptDriver driver;
    driver.answer(QStringLiteral("Escape"), QStringLiteral("typed"), QStringLiteral("pw"));
    Check check;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    run(check, driver);
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(driver.ids(), QStringList({QStringLiteral("a")}));
    QVERIFY(driver.prompts.first().normalCursor);
    QVERIFY(!check.changed && !check.quit);
    QCOMPARE(storedAuth().value("a"), QStringLiteral(":"));

    driver.answer(QStringLiteral("skipAllButton"));
    run(check, driver);
    QVERIFY(!QApplication::overrideCursor());
}

// A server that refuses requests without the right credentials, and
// repositories configured with empty ones: after the check, the collection
// reads every repository, and no log line shows a credential.
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
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray text = file.readAll();
        file.close();
        QVERIFY(text.contains("name=tester&password=s3cret"));
        text.replace("name=tester&password=s3cret", "name=&password=");
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    YumIO& engine = fixture.engine();
    QVERIFY(engine.initialize());

    PromptDriver driver;
    driver.answer(
        QStringLiteral("applyAllButton"), QStringLiteral("tester"), QStringLiteral("s3cret"));
    Check check;
    run(check, driver);
    QCOMPARE(driver.prompts.size(), 1);
    QVERIFY(check.changed);
    QCOMPARE(check.sessionUse, EngineFixture::allRepos());

    // As at program start: changed credentials make the engine set its
    // repositories up again.
    engine.clear();
    QVERIFY(engine.collect(check.sessionUse));
    Package::Entry const* helix = engine.findEntry(false, QStringLiteral("helix"));
    QVERIFY(helix && helix->repo == QLatin1String("updates"));
    Package::Entry const* ember = engine.findEntry(false, QStringLiteral("ember"));
    QVERIFY(ember && ember->repo == QLatin1String("base"));
    QVERIFY(!fixture.answerer().titles().contains(QStringLiteral("VUX Yum Error")));
    for (QString const& text : fixture.answerer().texts())
        QVERIFY2(!text.contains(QStringLiteral("s3cret")), qPrintable(text));

    QMutexLocker locker(&engine.logEntries());
    QVERIFY(!engine.logEntries().isEmpty());
    for (Log::Entry const& entry : engine.logEntries())
        QVERIFY2(!entry.text.contains(QStringLiteral("s3cret")), qPrintable(entry.text));
}

QTEST_MAIN(TestRepoAuthChecker)
#include "TestRepoAuthChecker.moc"
