// SPDX-License-Identifier: GPL-2.0-or-later
#include "ConfSandbox.h"

#include "base/Credentials.h"

#include "packagetable/PackageTableDescribeInstanceRepoDialog.h"
#include "repo/RepoAuthChecker.h"
#include "repo/RepoAuthDialog.h"
#include "repo/RepoBrowse.h"
#include "repo/RepoLarder.h"
#include "repo/URL.h"
#include "support/AccessibleCheck.h"
#include "support/EngineFixture.h"
#include "support/RecordingBrowser.h"
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
        ids << prompt.id;
        if (step[0] == QLatin1String("Escape"))
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            dialog->findChild<QPushButton*>(step[0])->click();
    }

    QTimer timer;
    QList<QStringList> steps;
    QList<Prompt> prompts;
    QStringList ids; // of the prompts
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
    ConfFixture f;
    f.conf.read(nullptr);
    QHash<QString, QString> result;
    for (Repo::Entry const& entry : f.conf.repos) {
        QString nameKey, name, passwordKey, password;
        if (Repo::Larder::getAuth(entry, nameKey, name, passwordKey, password))
            result.insert(entry.id, name + QLatin1Char(':') + password);
    }
    return result;
}

} // namespace

// Repository URLs: the larder credentials in them (read, encoded,
// replaced), their host part, the start-up credential check (who is asked,
// and what each answer does to the files and the session; that the engine
// reads larder repositories with what the files hold is the engine suites'
// concern), and which URL a repository opens (the first of its baseurl,
// else its mirror list), with yum's variables filled in by the engine,
// through a webbrowser program that writes down its arguments.
class TestRepoUrls : public QObject
{
    Q_OBJECT

private slots:
    void credentials_data();
    void credentials();
    void urls_data();
    void urls();
    void answers_data();
    void answers();
    void browse();
};

void TestRepoUrls::answers_data()
{
    QTest::addColumn<QByteArray>("repos");
    QTest::addColumn<QStringList>("answers"); // "button name password", one a prompt
    QTest::addColumn<QString>("asked");
    // "changed", "quit", "off:ID" (left out of the session), "idle" (no busy cursor to keep)
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QString>("stored"); // "ID=NAME:PASSWORD" of every repository
    QByteArray const abc = section("a", "h1") + section("b", "h2") + section("c", "h3");
    // Only repositories in use without credentials are asked about.
    QTest::newRow("asks only for missing credentials")
        << section("off", "h1", "enabled=0") + section("a", "h1")
            + "[named]\nbaseurl=http://h1/larder?name=bob&password=&path=/named/\n\n"
              "[plain]\nbaseurl=http://h1/plain/\n\n"
              "[mirror]\nmirrorlist=http://h2/larder?user=&pass=&path=/list\n\n"
            + section("b", "h1")
        << QStringList {"okButton alice p&ss+w=rd", "skipAllButton"} << "a mirror"
        << "changed idle"
        << "a=alice:p&ss+w=rd off=: b=: mirror=: named=bob:";
    // Apply to All with this Host and Apply to All fill entries without asking.
    QTest::newRow("apply to host, disable, apply to all")
        << section("h1a", "h1:80") + section("h1b", "h1:80") + section("h2", "h1:81")
            + section("h3", "h3")
        << QStringList {"applyHostButton host pw", "disableButton typed lost",
               "applyAllButton all pw"}
        << "h1a h2 h3"
        << "changed off:h2"
        << "h1a=host:pw h1b=host:pw h2=: h3=all:pw";
    QTest::newRow("quit keeps earlier answers")
        << abc << QStringList {"okButton first pw", "quitButton second pw2"} << "a b"
        << "changed quit"
        << "a=first:pw b=: c=:";
    // OK with empty fields and Escape (as Skip All) leave the files alone.
    QTest::newRow("empty answers write nothing")
        << "# kept\n" + abc << QStringList {"okButton", "Escape typed pw"} << "a b"
        << ""
        << "a=: b=: c=:";
}

// The user is asked with the normal cursor; the caller's busy cursor comes
// back once. The preview shows where the credentials go, hidden, one mask
// character per typed character.
void TestRepoUrls::answers()
{
    QFETCH(QByteArray, repos);
    QFETCH(QStringList, answers);
    QFETCH(QString, asked);
    QFETCH(QString, outcome);
    QFETCH(QString, stored);
    ConfSandbox sandbox;
    sandbox.put("/etc/yum.repos.d/t.repo", repos);
    auto const before = sandbox.snapshot();
    PromptDriver driver;
    for (QString const& answer : answers) {
        QStringList const a = answer.split(' ');
        driver.answer(a[0], a.value(1), a.value(2));
    }
    bool const busy = !outcome.contains("idle");
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    ConfFixture f({}, false);
    RepoAuth::Checker check(nullptr, &f.conf);
    QCOMPARE(driver.otherBoxes, QStringList());
    if (busy) {
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QApplication::restoreOverrideCursor();
    }
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(driver.ids.join(' '), asked);
    QChar const hide(QApplication::style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter));
    for (qsizetype i = 0; i < driver.prompts.size(); ++i) {
        PromptDriver::Prompt const& prompt = driver.prompts[i];
        QVERIFY2(
            prompt.normalCursor && prompt.unreachable.isEmpty(), qPrintable(prompt.unreachable));
        QStringList const typed = answers.value(i).split(' ').mid(1);
        for (QString const& text : typed)
            QVERIFY2(prompt.urls.contains('=' + QString(text.size(), hide) + '&'),
                qPrintable(prompt.urls));
        QVERIFY(typed.size() < 2 || !prompt.texts.contains(typed[1]));
    }
    QCOMPARE(check.changed, outcome.contains("changed"));
    QCOMPARE(check.quit, outcome.contains("quit"));
    for (QString const& id : outcome.split(' ').filter("off:"))
        QCOMPARE(f.sessionUse.value(id.mid(4), true), false);
    QHash<QString, QString> const auth = storedAuth();
    QStringList got;
    for (QString const& id : stored.split(' '))
        got << id.section('=', 0, 0) + '=' + auth.value(id.section('=', 0, 0));
    QCOMPARE(got.join(' '), stored);
    if (!check.changed)
        QCOMPARE(sandbox.snapshot(), before);
}

void TestRepoUrls::credentials_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("args"); // of replaceAuth after the text; none: no call
    QTest::addColumn<QString>("replaced"); // null: unchanged
    QTest::addColumn<QStringList>("auth"); // getAuth of the result; empty: none found

    auto const row
        = [](char const* tag, QString const& text, QStringList const& args, QString const& replaced,
              QStringList const& auth) { QTest::newRow(tag) << text << args << replaced << auth; };
    QString const one = "http://h/larder?u=old&p=old&path=/r";
    QString const two = "http://a/larder?u=one&p=1&path=/x\nhttp://b/larder?user=two&pw=2&path=/y";
    row("escapes of either case", "/larder?u=a%26b%3Dc&p=p%25w%20d&path=x", {}, {},
        {"u", "a&b=c", "p", "p%w d"});
    row("empty values", "/larder?u=&p=&path=", {}, {}, {"u", "", "p", ""});
    row("no path parameter", "http://h/larder?u=a&p=b&x=y", {}, {}, {});
    row("no larder step", "http://h/repo/?u=a&p=b&path=c", {}, {}, {});
    row("every reserved character", one, {"$&+,/:;=?@ \"<>#%{}|\\^~[]", "-"},
        "http://h/larder?u=%24%26%2b%2c%2f%3a%3b%3d%3f%40%20%22%3c%3e%23%25%7b%7d%7c%5c%5e%7e"
        "%5b%5d&p=-&path=/r",
        {"u", "$&+,/:;=?@ \"<>#%{}|\\^~[]", "p", "-"});
    row("unreserved and non-ASCII kept", one, {QString::fromUtf8("a-b_c.d!*'()ü日本"), "pw"},
        QString::fromUtf8("http://h/larder?u=a-b_c.d!*'()ü日本&p=pw&path=/r"),
        {"u", QString::fromUtf8("a-b_c.d!*'()ü日本"), "p", "pw"});
    row("escape look-alikes", one, {"%41", "%2525"}, "http://h/larder?u=%2541&p=%252525&path=/r",
        {"u", "%41", "p", "%2525"});
    row("backslashes", one, {"\\1\\0"}, "http://h/larder?u=old&p=%5c1%5c0&path=/r",
        {"u", "old", "p", "\\1\\0"});
    row("new keys, every URL", two, {"a b", "n", "c&d", "s"},
        "http://a/larder?a%20b=n&c%26d=s&path=/x\nhttp://b/larder?a%20b=n&c%26d=s&path=/y",
        {"a b", "n", "c&d", "s"});
    row("name and password: keys of the first URL", two, {"me", "new"},
        "http://a/larder?u=me&p=new&path=/x\nhttp://b/larder?u=me&p=new&path=/y",
        {"u", "me", "p", "new"});
    row("password: name of the first URL", two, {"new"},
        "http://a/larder?u=one&p=new&path=/x\nhttp://b/larder?u=one&p=new&path=/y",
        {"u", "one", "p", "new"});
    row("no larder URL", "http://h/repo/ http://i/repo/", {"n", "s"}, {}, {});
}

void TestRepoUrls::credentials()
{
    QFETCH(QString, text);
    QFETCH(QStringList, args);
    QFETCH(QString, replaced);
    QFETCH(QStringList, auth);

    QString result = text;
    if (args.size() == 4)
        result = Repo::Larder::replaceAuth(text, args[0], args[1], args[2], args[3]);
    else if (args.size() == 2)
        result = Repo::Larder::replaceAuth(text, args[0], args[1]);
    else if (args.size() == 1)
        result = Repo::Larder::replaceAuth(text, args[0]);
    QCOMPARE(result, replaced.isNull() ? text : replaced);

    QStringList const untouched {"k1", "k2", "k3", "k4"};
    QStringList got = untouched;
    QCOMPARE(Repo::Larder::getAuth(result, got[0], got[1], got[2], got[3]), !auth.isEmpty());
    QCOMPARE(got, auth.isEmpty() ? untouched : auth);
}

void TestRepoUrls::urls_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("host");
    auto const row = [](char const* tag, char const* url, char const* host) {
        QTest::newRow(tag) << QString::fromLatin1(url) << QString::fromLatin1(host);
    };
    row("no path", "https://mirror.example.org", "mirror.example.org");
    row("user and port kept", "ftp://bob@h.example:2121/x", "bob@h.example:2121");
    row("no slashes after the colon", "mailto:bob@example.org", "");
    row("no colon", "/srv/repo", "");
}

void TestRepoUrls::urls()
{
    QFETCH(QString, url);
    QFETCH(QString, host);
    QCOMPARE(URL::getHost(url), host);
}

void TestRepoUrls::browse()
{
    EngineFixture fixture;
    QString error;
    QVERIFY2(fixture.start(EngineFixture::local(), true, &error), qPrintable(error));
    YumIO& engine = fixture.engine();

    // The engine has read its script: from now on the share directory is
    // one whose browser only writes its arguments down.
    RecordingBrowser share;
    QStringList values;
    for (char const* name : {"releasever", "basearch", "arch"})
        values << engine.getYumVar(QLatin1String(name));
    QVERIFY(!values.contains(QString()));
    Repo::Entry entry;
    entry.baseurl = QStringLiteral("\nhttp://h/larder?name=n&password=p%20w&path=/$releasever/"
                                   "$basearch/$arch/$infra/$releasever\nhttp://second/");
    RepoBrowse::browse(fixture.window(), entry, &engine);
    QCOMPARE(share.browsed(1),
        QStringList(
            QStringLiteral("1:http://h/larder?name=n&password=p%20w&path=/%1/%2/%3/$infra/%1")
                .arg(values[0], values[1], values[2])));

    // The repository description shows the repository's own rows, in place
    // of an earlier one's, credentials masked; its button browses the
    // repository shown, even after the configuration it came from has
    // changed; a baseurl without URLs gives way to the mirror list.
    PackageTable::Describe::Instance::RepoDialog dialog(&engine);
    entry.baseurl = QStringLiteral("http://a.example/one/\nhttp://a.example/two/");
    dialog.config(entry);
    dialog.show();
    dialog.hide();
    entry.id = QStringLiteral("mirrored");
    entry.baseurl.clear();
    entry.mirrorlist = QStringLiteral("http://h/larder?name=ann&password=s3cret&path=/$basearch/");
    dialog.config(entry);
    QCOMPARE(unreachableControls(&dialog), QStringList());
    QString labels;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        labels += label->text() + '|';
    QVERIFY2(labels.startsWith("mirrored|") && labels.contains(Credentials::mask)
            && !labels.contains("s3cret") && !labels.contains("a.example"),
        qPrintable(labels));
    entry.mirrorlist = QStringLiteral("http://changed/");
    dialog.findChild<QPushButton*>(QStringLiteral("browseButton"))->click();
    QCOMPARE(share.browsed(1),
        QStringList("1:http://h/larder?name=ann&password=s3cret&path=/" + values[1] + '/'));

    // By identifier; one no longer configured, like an entry without URLs,
    // gets the message and starts nothing.
    ConfFixture conf({}, false);
    QVERIFY(conf.conf.read(nullptr));
    RepoBrowse::browse(fixture.window(), QStringLiteral("updates"), &engine, &conf.conf);
    QStringList const opened = share.browsed(1);
    QVERIFY2(opened.value(0).startsWith(QStringLiteral("1:file:///"))
            && opened.value(0).endsWith(QStringLiteral("/updates/")),
        qPrintable(opened.value(0)));
    fixture.answerer().click(QStringLiteral("OK"));
    RepoBrowse::browse(fixture.window(), QStringLiteral("gone"), &engine, &conf.conf);
    fixture.answerer().click(QStringLiteral("OK"));
    RepoBrowse::browse(fixture.window(), Repo::Entry(), &engine);
    QStringList const said = fixture.answerer().texts();
    QVERIFY(said.size() == 2 && said[0] == said[1] && !said[0].isEmpty());
    QCOMPARE(share.browsed(0), QStringList());

    // A browser that cannot be started (none as root): the reason, and the
    // URL without its password.
    share.refuse("webbrowser: not opening a browser or viewer as root");
    fixture.answerer().click(QStringLiteral("OK"));
    entry.baseurl = QStringLiteral("http://h/larder?name=n&password=secret&path=/r/");
    entry.mirrorlist.clear();
    RepoBrowse::browse(fixture.window(), entry, &engine);
    QString const refused = fixture.answerer().texts().value(2);
    QVERIFY2(refused.contains(QLatin1String("not opening a browser"))
            && refused.contains("http://h/") && !refused.contains(QLatin1String("secret")),
        qPrintable(refused));
    QCOMPARE(share.browsed(0), QStringList());
}

QTEST_MAIN(TestRepoUrls)
#include "TestRepoUrls.moc"
