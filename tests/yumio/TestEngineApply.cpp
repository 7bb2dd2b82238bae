// SPDX-License-Identifier: GPL-2.0-or-later
#include "log/LogWindow.h"
#include "support/EngineFixture.h"
#include "widgets/HProgressBar.h"
#include "yumio/YumIO.h"

#include <QJsonObject>
#include <QMutexLocker>
#include <QProcess>
#include <QScopeGuard>
#include <QtTest>

#include <unistd.h>

namespace {

bool verifyDb(QString const& root)
{
    return QProcess::execute(QStringLiteral("rpm"),
               {QStringLiteral("--root"), root, QStringLiteral("--verifydb")})
        == 0;
}

// The installed size of every package of root's rpm database.
qint64 installedSize(QString const& root)
{
    qint64 total = 0;
    for (QString const& size : EngineFixture::rpmQa(root, QStringLiteral("%{SIZE}")))
        total += size.toLongLong();
    return total;
}

QStringList logTexts(YumIO& engine, int kind = -1)
{
    return EngineFixture::logTexts(engine, kind);
}

// Served over HTTP: base, updates and the packages that fail or talk.
EngineFixture::Options withExtras()
{
    EngineFixture::Options options;
    options.repos
        = QStringList {QStringLiteral("base"), QStringLiteral("updates"), QStringLiteral("extras")};
    return options;
}

// Starts the engine on the prepared root and collects every repository,
// answering OK to every dialog not answered otherwise; false with what
// failed in the fixture's error.
bool startPrepared(EngineFixture& fixture)
{
    fixture.answerer().alwaysClick(QStringLiteral("okButton"));
    if (!fixture.engine().initialize())
        fixture.error = QStringLiteral("the engine did not start");
    else if (!fixture.engine().collect(EngineFixture::allRepos()))
        fixture.error = QStringLiteral("the first collection failed");
    return fixture.error.isEmpty();
}

// prepare, then startPrepared. With copy, a copy of the root is made before
// the engine takes its lock (its path in copy), for dnf to make the same change.
bool startCollected(
    EngineFixture& fixture, EngineFixture::Options const& options, QString* copy = nullptr)
{
    if (!fixture.prepare(options))
        return false;
    if (copy)
        *copy = fixture.copyRoot(QStringLiteral("dnf-root"));
    return startPrepared(fixture);
}

void mark(YumIO& engine, Package::Action action, QStringList const& names, bool group = false)
{
    for (QString const& name : names) {
        Package::Entry* entry = engine.findEntry(group, name);
        QVERIFY2(entry, qPrintable(name));
        entry->action = action;
    }
}

int packageFiles(QString const& root)
{
    QDirIterator it(root + QStringLiteral("/var/cache"), {QStringLiteral("*.rpm")}, QDir::Files,
        QDirIterator::Subdirectories);
    int count = 0;
    for (; it.hasNext(); it.next())
        ++count;
    return count;
}

// Records a bar's activities and tells whether its value ever went back
// within one run (a run ends when the bar is given a new maximum). While
// dependencies are resolved (10000 steps) the run of acts may shrink as
// resolving adds members, but never back into the "Preparing" item (100).
struct BarWatch
{
    bool backwards = false;
    QString where;
    QStringList texts;
    int last = -1;
    int maximum = -1;
    void watch(HProgressBar* bar)
    {
        QObject::connect(bar, &QProgressBar::valueChanged, [this, bar](int value) {
            if (bar->maximum() != maximum)
                last = -1;
            maximum = bar->maximum();
            if (value < last && value > bar->minimum() && (maximum != 10000 || value < 100)) {
                backwards = true;
                where = QStringLiteral("from %1 to %2 of %3").arg(last).arg(value).arg(maximum);
            }
            last = value;
            texts.append(bar->activity());
        });
    }
};

} // namespace

class TestEngineApply : public QObject
{
    Q_OBJECT

private slots:
    void applyMarks();
    void groupsAndConflicts();
    void asDnfDoes_data();
    void asDnfDoes();
    void failedApplies_data();
    void failedApplies();
    void keyImportQuestion();
    void scriptOutput();
};

// Marked installs (one with a dependency, one a suite), updates (one with a
// non-zero epoch) and a removal in one transaction, from repositories read
// through larder URLs: refused to a user other than the superuser, declined,
// then applied; then a library removed with the packages that need it. The
// credentials appear in no bar, dialog or log line.
void TestEngineApply::applyMarks()
{
    EngineFixture fixture;
    EngineFixture::Options options;
    options.larder = QStringLiteral("tester:s3cret-pass");
    options.larderOnly = true;
    QVERIFY2(fixture.prepare(options), qPrintable(fixture.error));
    BarWatch total;
    BarWatch item;
    total.watch(fixture.totalBar());
    item.watch(fixture.itemBar());
    QVERIFY2(startPrepared(fixture), qPrintable(fixture.error));
    YumIO& engine = fixture.engine();
    ModalAnswerer& answerer = fixture.answerer();
    QStringList const before = EngineFixture::rpmQa(fixture.root());
    int const cachedBefore = packageFiles(fixture.root());
    mark(engine, Package::Install, {"fjord", "delta-suite"});
    mark(engine, Package::Update, {"aurora", "libbasalt"});
    mark(engine, Package::Remove, {"granite"});

    // The effective user dropped to nobody (for every thread, the engine's
    // worker included): dnf's explanation, no confirmation.
    if (geteuid() == 0) {
        QCOMPARE(setegid(65534), 0);
        QCOMPARE(seteuid(65534), 0);
        bool const applied = engine.apply();
        QCOMPARE(seteuid(0), 0);
        QCOMPARE(setegid(0), 0);
        QVERIFY(!applied);
        QCOMPARE(answerer.answered(), 1);
        QVERIFY2(answerer.texts().last().contains(
                     QLatin1String("This command has to be run with superuser privileges")),
            qPrintable(answerer.texts().last()));
    }

    // Declined: nothing installed or downloaded, the marks kept, the bars reset.
    answerer.click(QStringLiteral("cancelButton"));
    QVERIFY(!engine.apply());
    QVERIFY(logTexts(engine, Log::Heading).contains(QStringLiteral("Not Applying: Canceled")));
    QVERIFY(!logTexts(engine).contains(QStringLiteral("Applying: OK")));
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), before);
    QCOMPARE(packageFiles(fixture.root()), cachedBefore);
    QCOMPARE(engine.findEntry(false, QStringLiteral("fjord"))->action, Package::Install);
    QVERIFY(fixture.totalBar()->value() <= fixture.totalBar()->minimum());
    QVERIFY(fixture.itemBar()->value() <= fixture.itemBar()->minimum());

    qint64 const sizeBefore = installedSize(fixture.root());
    QVERIFY(engine.apply());
    QVERIFY2(!total.backwards, qPrintable(total.where));
    QVERIFY(!total.texts.isEmpty());
    QStringList const installed = EngineFixture::rpmQa(fixture.root());
    for (char const* nevr : {"fjord-0:1.4-2", "ember-0:0.3-1", "delta-suite-0:2.0-1",
             "aurora-0:1.1-1", "libbasalt-2:1.2-1"})
        QVERIFY2(installed.contains(QLatin1String(nevr)), nevr);
    QVERIFY(!installed.join(' ').contains(QLatin1String("granite")));
    QVERIFY(!installed.contains(QStringLiteral("aurora-0:1.0-1")));
    QVERIFY(verifyDb(fixture.root()));
    QVERIFY(fixture.dnf({QStringLiteral("history"), QStringLiteral("list")})
                .contains(QLatin1String("vux install")));

    // The confirmation: each act, what resolving added, and the change of
    // the installed size as rpm counts it afterwards.
    QString const confirm = answerer.texts().last();
    qint64 const change = installedSize(fixture.root()) - sizeBefore;
    QString const changeText = (change < 0 ? QStringLiteral("-") : QStringLiteral("+"))
        + YumIO::bytesFormat(quint64(qAbs(change))) + QLatin1Char('\n');
    for (QString const& line : {QStringLiteral("\tInstall: fjord 1.4-2 (x86_64) [base]"),
             QStringLiteral("\tUpdate: libbasalt 2:1.0-1 -> 2:1.2-1 (x86_64) [updates]"),
             QStringLiteral("\tRemove: granite 3.0-2 (x86_64)"),
             QStringLiteral("\tInstall: ember 0.3-1 (noarch) [base]"), changeText})
        QVERIFY2(confirm.contains(line), qPrintable(line + QLatin1String(" in:\n") + confirm));
    QStringList const log = logTexts(engine);
    for (char const* line :
        {"Applying: OK", "Installing fjord", "Updating aurora", "Removing granite"})
        QVERIFY2(log.contains(QLatin1String(line)), line);

    // The table afterwards: no actions.
    QVERIFY(EngineFixture::collectAgain(engine));
    for (Package::Entry const* entry : engine)
        QCOMPARE(entry->action, Package::None);

    QString const items = item.texts.join(QLatin1Char('|'));
    QVERIFY2(items.contains(QLatin1String("|Downloading ")), qPrintable(items));
    // dnf cannot rebuild from deltas here (no applydeltarpm): no such step.
    QVERIFY(!item.texts.contains(QStringLiteral("Finishing RPM rebuild from deltas")));
    for (QString const& text : logTexts(engine) + answerer.texts() + total.texts + item.texts) {
        QVERIFY2(!text.contains(QLatin1String("s3cret-pass")), qPrintable(text));
        QVERIFY2(!text.contains(QLatin1String("name=tester")), qPrintable(text));
    }
}

void TestEngineApply::groupsAndConflicts()
{
    EngineFixture fixture;
    EngineFixture::Options options;
    options.group = true;
    QString copy;
    QVERIFY2(startCollected(fixture, options, &copy), qPrintable(fixture.error));
    YumIO& engine = fixture.engine();

    // A group to install whose installed package is marked for removal:
    // the question names both and their actions; answered with its third
    // button (cancel), nothing is applied.
    mark(engine, Package::Install, {"Core Tools"}, true);
    mark(engine, Package::Remove, {"granite"});
    fixture.answerer().click(QStringLiteral("button2"));
    QVERIFY(!engine.apply());
    QString const question = fixture.answerer().texts().last();
    for (char const* named : {"granite", "Core Tools", "Install", "Remove"})
        QVERIFY2(question.contains(QLatin1String(named)), qPrintable(question));
    QVERIFY(!logTexts(engine).contains(QStringLiteral("Applying: OK")));

    // A group install, as dnf's group install makes it in the copy: dnf
    // records the group, and the row shows it installed.
    mark(engine, Package::None, {"granite"});
    mark(engine, Package::None, {"Core Tools"}, true);
    mark(engine, Package::Install, {"Office Extras"}, true);
    QVERIFY(engine.apply());
    QVERIFY2(fixture.answerer().texts().last().contains(
                 QLatin1String("\tInstall group: Office Extras\n")),
        qPrintable(fixture.answerer().texts().last()));
    EngineFixture::dnf(copy, {"-y", "group", "install", "office-extras"});
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), EngineFixture::rpmQa(copy));
    QVERIFY(fixture.dnf({"group", "list", "--installed"}).contains(QLatin1String("Office Extras")));
    QVERIFY(fixture.dnf({"history", "info", "last"}).contains(QLatin1String("@office-extras")));
    QVERIFY(EngineFixture::collectAgain(engine));
    QCOMPARE(engine.findEntry(true, QStringLiteral("Office Extras"))->state, Package::Installed);

    // Its removal with an update of the other group: the packages dnf
    // installed for the group go, the group's record too.
    mark(engine, Package::Remove, {"Office Extras"}, true);
    mark(engine, Package::Update, {"Core Tools"}, true);
    QVERIFY(engine.apply());
    EngineFixture::dnf(copy, {"-y", "group", "remove", "office-extras"});
    EngineFixture::dnf(copy, {"-y", "group", "upgrade", "core-tools"});
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), EngineFixture::rpmQa(copy));
    QVERIFY(!fixture.dnf({"group", "list", "--installed"}).contains(QLatin1String("Office")));
    QVERIFY(verifyDb(fixture.root()));
}

void TestEngineApply::asDnfDoes_data()
{
    QTest::addColumn<QStringList>("extra"); // installed besides the first versions
    QTest::addColumn<QString>("name"); // NAME or NAME.ARCH; "older NAME": its older version's row
    QTest::addColumn<int>("action");
    QTest::addColumn<QStringList>("dnf"); // the same change made by dnf
    QTest::addColumn<QString>("shown"); // in the confirmation or the item bar

    // dnf's installonly_limit (2 in this row's root) removes the oldest version.
    QTest::newRow("install-only update beyond the limit")
        << QStringList() << "sandbox-kernel" << int(Package::Update)
        << QStringList {"upgrade", "sandbox-kernel"}
        << "\tRemove: sandbox-kernel 5.1.0-1 (x86_64)\n";
    QTest::newRow("older install-only version")
        << QStringList() << "older sandbox-kernel" << int(Package::Remove)
        << QStringList {"remove", "sandbox-kernel-5.1.0"}
        << "\tRemove: sandbox-kernel 5.1.0-1 (x86_64)\n";
    QTest::newRow("renamed package") << QStringList {"quartz"} << "quartz" << int(Package::Update)
                                     << QStringList {"upgrade", "quartz"}
                                     << "\tObsoleting: quartz 1.0-1 (noarch) with quartzite "
                                        "2.0-1 (noarch)\n";
    // Resolved against the installed system alone, as "dnf remove" does; a
    // library goes with the packages that need it.
    QTest::newRow("library and what needs it")
        << QStringList() << "libbasalt" << int(Package::Remove)
        << QStringList {"remove", "libbasalt"} << "\tRemove: aurora 1.0-1 (x86_64)";
    QTest::newRow("one architecture of a multilib pair")
        << QStringList {"libmica.x86_64", "libmica.i686"} << "libmica.x86_64"
        << int(Package::Remove) << QStringList {"remove", "libmica.x86_64"}
        << "\tRemove: libmica 1.0-1 (x86_64)";
    // Installed by name, the obsoleting package is an install in dnf's
    // transaction; the obsoleted one still shows as updated.
    QTest::newRow("obsoleting package installed by name")
        << QStringList() << "cobalt-next" << int(Package::Install)
        << QStringList {"install", "cobalt-next"} << "Completing update for: cobalt";
}

// A change marked in the table leaves the packages exactly as dnf's own
// command leaves them in a copy of the root.
void TestEngineApply::asDnfDoes()
{
    QFETCH(QStringList, extra);
    QFETCH(QString, name);
    QFETCH(int, action);
    QFETCH(QStringList, dnf);
    QFETCH(QString, shown);
    EngineFixture fixture;
    EngineFixture::Options options = withExtras();
    options.extra = extra;
    QVERIFY2(fixture.prepare(options), qPrintable(fixture.error));
    if (QTest::currentDataTag() == QLatin1String("install-only update beyond the limit"))
        QVERIFY(EngineFixture::put(
            fixture.root() + QStringLiteral("/etc/yum.conf"), "installonly_limit=2\n", true));
    QString const copy = fixture.copyRoot(QStringLiteral("dnf-root"));
    QVERIFY2(startPrepared(fixture), qPrintable(fixture.error));
    YumIO& engine = fixture.engine();
    Package::Entry* entry = nullptr;
    if (name.startsWith(QLatin1String("older "))) {
        for (Package::Entry* each : engine)
            if (each->olderVersion && each->name == name.mid(6))
                entry = each;
    } else {
        entry = engine.findEntry(
            false, name.section(QLatin1Char('.'), 0, 0), name.section(QLatin1Char('.'), 1));
    }
    QVERIFY(entry);
    entry->action = Package::Action(action);
    BarWatch item;
    item.watch(fixture.itemBar());
    QVERIFY2(engine.apply(), qPrintable(fixture.answerer().texts().last()));
    QString const confirm = fixture.answerer().texts().last();
    QVERIFY2(confirm.contains(shown) || item.texts.contains(shown),
        qPrintable(confirm + item.texts.join(QLatin1Char('|'))));
    QStringList const before = EngineFixture::rpmQa(copy);
    EngineFixture::dnf(copy, QStringList {QStringLiteral("-y")} + dnf);
    QStringList const after = EngineFixture::rpmQa(fixture.root());
    QVERIFY(after != before);
    QCOMPARE(after, EngineFixture::rpmQa(copy));
    QVERIFY(verifyDb(fixture.root()));
}

void TestEngineApply::failedApplies_data()
{
    // Each text of report once in the report (a whole line of it: in the
    // log too); the dialogs: the report alone, or after the confirmation.
    QTest::addColumn<QStringList>("install");
    QTest::addColumn<QString>("cause"); // made before the apply: lock, missing file
    QTest::addColumn<QStringList>("report");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<QString>("applied"); // what the transaction did apply

    QTest::newRow("nothing provides a dependency")
        << QStringList {"needs-missing"} << "" << QStringList {"no-such-capability"} << 1 << "";
    QTest::newRow("failing scriptlet, partly applied")
        << QStringList {"failing-pre", "helix"} << ""
        << QStringList {"Error in PREIN scriptlet in rpm package failing-pre", "Transaction failed",
               "Not applied: failing-pre-1.0-1.noarch", "Applied: helix-0.1-1.noarch"}
        << 2 << "helix-0:0.1-1";
    // dnf's clean-up after the failed test run must not end in a traceback.
    QTest::newRow("file conflict") << QStringList {"clash-left", "clash-right"} << ""
                                   << QStringList {"/usr/share/clash/shared.txt",
                                          "conflicts between attempted installs of clash-left"}
                                   << 2 << "";
    QTest::newRow("file system full")
        << QStringList {"bulky"} << "full disk" << QStringList {"bulky-1.0-1.noarch"} << 2 << "";
    QTest::newRow("transaction lock held")
        << QStringList {"ember"} << "lock" << QStringList {"held by another process"} << 2 << "";
    // The librepo asks more than once and the script logs what it raises:
    // still each text once.
    QTest::newRow("download fails over HTTP")
        << QStringList {"bulky"} << "missing file"
        << QStringList {"Error downloading packages:\n  bulky-1.0-1.noarch",
               "Status code: 404 for "}
        << 2 << "";
}

// A failed apply tells why, in one report with no traceback, changes
// nothing (or says what it did change), keeps the marks, and leaves the
// engine ready for the next apply without a refresh.
void TestEngineApply::failedApplies()
{
    QFETCH(QStringList, install);
    QFETCH(QString, cause);
    QFETCH(QStringList, report);
    QFETCH(int, dialogs);
    QFETCH(QString, applied);
    EngineFixture fixture;
    QVERIFY2(fixture.prepare(withExtras()), qPrintable(fixture.error));
    QScopedPointer<Sandbox::Server> server;
    if (cause == QLatin1String("missing file")) {
        // A copy of extras without the package file, on a server of its own.
        QString const tree = fixture.root() + QStringLiteral("/../tree");
        QString const extras = Sandbox::repos()[QStringLiteral("repos")]
                                   .toObject()[QStringLiteral("extras")]
                                   .toString();
        QVERIFY(QDir().mkpath(tree)
            && EngineFixture::copyRoot(extras, tree + QStringLiteral("/extras")));
        QVERIFY(QFile::remove(tree + QStringLiteral("/extras/Packages/bulky-1.0-1.noarch.rpm")));
        server.reset(new Sandbox::Server(QString(), false, tree));
        QVERIFY(server->isRunning());
        QVERIFY(EngineFixture::put(fixture.root() + QStringLiteral("/etc/yum.repos.d/extras.repo"),
            QStringLiteral("[extras]\nname=Extras copy\nbaseurl=%1/extras/\ngpgcheck=0\n")
                .arg(server->url())
                .toUtf8()));
    }
    QVERIFY2(startPrepared(fixture), qPrintable(fixture.error));
    YumIO& engine = fixture.engine();
    QStringList const before = EngineFixture::rpmQa(fixture.root());
    mark(engine, Package::Install, install);

    // The file system under the package's directory too small for it.
    QString small;
    auto const unmount = qScopeGuard([&small] {
        if (!small.isEmpty())
            QProcess::execute(QStringLiteral("umount"), {small});
    });
    if (cause == QLatin1String("full disk")) {
        QString const mount = fixture.root() + QStringLiteral("/usr/share/bulky");
        QVERIFY(QDir().mkpath(mount));
        if (geteuid() != 0
            || QProcess::execute(QStringLiteral("mount"),
                   {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                       QStringLiteral("size=1m"), QStringLiteral("tmpfs"), mount})
                != 0)
            QSKIP("mounting a small file system needs the superuser");
        small = mount;
    }

    QProcess holder; // another process holds rpm's transaction lock
    if (cause == QLatin1String("lock")) {
        holder.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"),
                QStringLiteral("import fcntl, os, rpm, sys, time\n"
                               "path = sys.argv[1] + rpm.expandMacro('%{_rpmlock_path}')\n"
                               "fd = os.open(path, os.O_RDWR | os.O_CREAT)\n"
                               "fcntl.lockf(fd, fcntl.LOCK_EX)\n"
                               "print('held', flush=True)\n"
                               "time.sleep(120)\n"),
                fixture.root()});
        QVERIFY(holder.waitForReadyRead(30000));
    }
    int const logged = logTexts(engine).size();
    bool const succeeded = engine.apply();
    holder.kill();
    holder.waitForFinished();
    QVERIFY(!succeeded);

    QCOMPARE(fixture.answerer().answered(), dialogs);
    QCOMPARE(fixture.answerer().titles().last(), YumIO::errorTitle());
    QString const shown = fixture.answerer().texts().last();
    QVERIFY2(!shown.contains(QLatin1String("Traceback")), qPrintable(shown));
    QStringList const lines = shown.split(QLatin1Char('\n'));
    QStringList const log = logTexts(engine).mid(logged);
    for (QString const& text : report) {
        QVERIFY2(shown.count(text) == 1, qPrintable(text + QLatin1String(" in:\n") + shown));
        if (lines.contains(text))
            QVERIFY2(
                log.count(text) == 1, qPrintable(text + QLatin1String(" in:\n") + log.join('\n')));
    }
    QCOMPARE(engine.partlyApplied(), !applied.isEmpty());
    QStringList expected = before;
    if (!applied.isEmpty()) {
        expected.append(applied);
        expected.sort();
    }
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), expected);
    QVERIFY(verifyDb(fixture.root()));
    QCOMPARE(engine.findEntry(false, install.first())->action, Package::Install);

    // Another set applies at once.
    mark(engine, Package::None, install);
    mark(engine, Package::Install, {"fjord"});
    QVERIFY2(engine.apply(), qPrintable(fixture.answerer().texts().last()));
    QVERIFY(EngineFixture::rpmQa(fixture.root()).contains(QStringLiteral("fjord-0:1.4-2")));
}

// A repository signed with a key made here: the engine's question names the
// key's user id and fingerprint; declined, nothing is installed; imported,
// the same marks apply.
void TestEngineApply::keyImportQuestion()
{
    EngineFixture fixture;
    EngineFixture::Options options;
    options.repos = QStringList {QStringLiteral("updates")};
    QVERIFY2(fixture.prepare(options), qPrintable(fixture.error));
    QJsonObject const repo = Sandbox::run(
        {QStringLiteral("signed-repo"), fixture.root() + QStringLiteral("/../signed")},
        &fixture.error);
    QVERIFY2(!repo.isEmpty(), qPrintable(fixture.error));
    QVERIFY(EngineFixture::put(fixture.root() + QStringLiteral("/etc/yum.repos.d/signed.repo"),
        QStringLiteral("[signed]\nname=Signed\nbaseurl=file://%1\ngpgcheck=1\ngpgkey=file://%2\n")
            .arg(repo[QStringLiteral("repo")].toString(), repo[QStringLiteral("key")].toString())
            .toUtf8()));
    ModalAnswerer& answerer = fixture.answerer();
    QVERIFY2(startPrepared(fixture), qPrintable(fixture.error));
    YumIO& engine = fixture.engine();
    QStringList const before = EngineFixture::rpmQa(fixture.root());
    mark(engine, Package::Install, {"fjord"});

    // The confirmation, then the key question (a dialog without the button
    // is closed with OK, for the checks to tell), then the report.
    auto clickOrOk = [&](QString const& button) {
        answerer.click(QStringLiteral("okButton"));
        answerer.answer([button](QWidget* dialog) {
            if (!ModalAnswerer::clickButton(dialog, button))
                ModalAnswerer::clickButton(dialog, QStringLiteral("okButton"));
        });
    };
    clickOrOk(QStringLiteral("Do Not Import"));
    QVERIFY(!engine.apply());
    QStringList texts = answerer.texts();
    QCOMPARE(texts.size(), 3);
    QString const question = texts[1];
    QVERIFY2(question.contains(QLatin1String("Userid     : \"Vux Test Key <test@vux.example>\"")),
        qPrintable(question));
    QString const fingerprint = repo[QStringLiteral("fingerprint")].toString();
    QVERIFY(QString(question).remove(QLatin1Char(' ')).contains(fingerprint));
    QVERIFY2(texts[2].count(QLatin1String("could not be verified")) == 1, qPrintable(texts[2]));
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), before);

    clickOrOk(QStringLiteral("Import"));
    QVERIFY2(engine.apply(), qPrintable(answerer.texts().last()));
    texts = answerer.texts();
    QCOMPARE(texts.size(), 5);
    QVERIFY(texts[4].contains(QLatin1String("Importing GPG key:")));
    QVERIFY(EngineFixture::rpmQa(fixture.root()).contains(QStringLiteral("fjord-0:1.4-2")));
    QVERIFY(logTexts(engine).contains(QStringLiteral("Key imported")));
}

// Package scripts that talk: one on both streams, one prints a megabyte,
// far more than a pipe holds, while the log window follows the log. The
// transaction ends and every line reaches the log, in order (what the window
// renders of a log filled from another thread: TestBasicWidgets).
void TestEngineApply::scriptOutput()
{
    EngineFixture fixture;
    QVERIFY2(startCollected(fixture, withExtras()), qPrintable(fixture.error));
    YumIO& engine = fixture.engine();
    Log::Window window(engine.logEntries());
    window.show();
    mark(engine, Package::Install, {"loud", "chatty"});
    QVERIFY(engine.apply());
    QVERIFY(EngineFixture::rpmQa(fixture.root()).contains(QStringLiteral("loud-0:1.0-1")));
    QVERIFY(
        logTexts(engine, Log::Output).contains(QStringLiteral("chatty post-install says hello")));
    QVERIFY(logTexts(engine, Log::Error).contains(QStringLiteral("chatty post-install warns")));

    QStringList expected;
    for (int i = 1; i <= 16384; ++i)
        expected.append(QStringLiteral("loud %1 ").arg(i, 5, 10, QLatin1Char('0'))
            + QString(52, QLatin1Char('x')));
    QCOMPARE(
        logTexts(engine, Log::Output).filter(QRegularExpression(QStringLiteral("^loud [0-9]{5} "))),
        expected);
}

QTEST_MAIN(TestEngineApply)
#include "TestEngineApply.moc"
