// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "log/LogWindow.h"
#include "support/EngineFixture.h"
#include "widgets/HProgressBar.h"
#include "widgets/HTextEdit.h"
#include "yumio/YumIO.h"

#include <QDirIterator>
#include <QJsonObject>
#include <QMutexLocker>
#include <QProcess>
#include <QtTest>

#include <unistd.h>

// Reaches the engine's private state.
class TestAccess
{
public:
    static unsigned txCount(YumIO& engine) { return engine.txCount; }
    static unsigned hdrCount(YumIO& engine) { return engine.hdrCount; }
    static void startApply(YumIO& engine)
    {
        engine.resetApplyFields();
        engine.applying = true;
    }
    static void endApply(YumIO& engine) { engine.applying = false; }
    static void tsinfo(YumIO& engine, QString const& line)
    {
        Python::PyGILStateWrapper lock(true);
        PyObject* args = Py_BuildValue("(ls)", 7L, line.toUtf8().constData());
        Py_XDECREF(engine.log(args));
        Py_XDECREF(args);
    }
};

namespace {

bool verifyDb(QString const& root)
{
    QProcess process;
    process.start(
        QStringLiteral("rpm"), {QStringLiteral("--root"), root, QStringLiteral("--verifydb")});
    process.waitForFinished(60000);
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// The installed size of every package of root's rpm database.
qint64 installedSize(QString const& root)
{
    QProcess process;
    process.start(QStringLiteral("rpm"),
        {QStringLiteral("--root"), root, QStringLiteral("-qa"), QStringLiteral("--qf"),
            QStringLiteral("%{SIZE}\\n")});
    process.waitForFinished(60000);
    qint64 total = 0;
    for (QByteArray const& line : process.readAllStandardOutput().split('\n'))
        total += line.toLongLong();
    return total;
}

QStringList logTexts(YumIO& engine, int kind = -1)
{
    QMutexLocker locker(&engine.logEntries());
    QStringList texts;
    for (Log::Entry const& entry : engine.logEntries())
        if (kind < 0 || entry.kind == kind)
            texts.append(entry.text);
    return texts;
}

// Prepares the fixture's root, starts the engine and collects every
// repository, answering OK to every dialog when answerOk; an empty text on
// success, else what failed.
// Served over HTTP: base, updates and the packages that fail or talk.
EngineFixture::Options withExtras()
{
    EngineFixture::Options options;
    options.repos
        = QStringList {QStringLiteral("base"), QStringLiteral("updates"), QStringLiteral("extras")};
    return options;
}

// With copy, a copy of the root is made before the engine takes its lock
// (named "dnf-root", its path in copy), for dnf to make the same change.
QString startCollected(EngineFixture& fixture, EngineFixture::Options const& options, bool answerOk,
    QString* copy = nullptr)
{
    QString error;
    if (!fixture.prepare(options, &error))
        return error;
    if (copy)
        *copy = fixture.copyRoot(QStringLiteral("dnf-root"));
    if (answerOk)
        fixture.answerer().alwaysClick(QStringLiteral("okButton"));
    if (!fixture.engine().initialize())
        return QStringLiteral("the engine did not start");
    if (!fixture.engine().collect(EngineFixture::allRepos()))
        return QStringLiteral("the first collection failed");
    return QString();
}

void mark(YumIO& engine, QString const& name, Package::Action action, bool group = false)
{
    Package::Entry* entry = engine.findEntry(group, name);
    QVERIFY2(entry, qPrintable(name));
    entry->action = action;
}

int packageFiles(QString const& root)
{
    int count = 0;
    QDirIterator it(root + QStringLiteral("/var/cache"), {QStringLiteral("*.rpm")}, QDir::Files,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++count;
    }
    return count;
}

// Records a bar's values and tells whether it ever went back within one run
// (a run ends when the bar is reset or given a new maximum). While
// dependencies are resolved (10000 steps) the run of acts may shrink as
// resolving adds members, but never back into the "Preparing" item (100).
struct BarWatch
{
    QList<int> values;
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
            bool const resolving = maximum == 10000;
            if (value < last && value > bar->minimum() && (!resolving || value < 100)) {
                backwards = true;
                where = QStringLiteral("from %1 to %2 of %3").arg(last).arg(value).arg(maximum);
            }
            last = value;
            values.append(value);
            texts.append(bar->activity());
        });
    }
};

} // namespace

class TestEngineApply : public QObject
{
    Q_OBJECT

private slots:
    void installUpdateRemove();
    void declineThenRemoveWithDependents();
    void groupsAndConflicts();
    void installOnlyVersions();
    void renamedPackageReplaced();
    void multilibRemovedAsDnfRemoves();
    void dependencyLines();
    void failingScriptAndLock();
    void extrasOutputAndFaults();
    void megabyteOfScriptOutputWithLogWindowOpen();
    void fileConflictAndObsoletes();
    void onlyTheSuperuserApplies();
    void larderCredentialsStayHidden();
    void retryAfterFailures();
    void keyImportQuestion();
    void missingPackageOverHttp();
};

// Marked installs (one with a dependency), updates (one with a non-zero
// epoch) and a removal in one transaction, into a root served over HTTP.
void TestEngineApply::installUpdateRemove()
{
    EngineFixture fixture;
    QString const failure = startCollected(fixture, EngineFixture::Options(), true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    YumIO& engine = fixture.engine();
    mark(engine, QStringLiteral("fjord"), Package::Install);
    mark(engine, QStringLiteral("aurora"), Package::Update);
    mark(engine, QStringLiteral("libbasalt"), Package::Update);
    mark(engine, QStringLiteral("granite"), Package::Remove);
    mark(engine, QStringLiteral("delta-suite"), Package::Install); // a suite
    BarWatch total;
    total.watch(fixture.totalBar());
    qint64 const sizeBefore = installedSize(fixture.root());

    QVERIFY(engine.apply());

    QStringList const installed = EngineFixture::rpmQa(fixture.root());
    QVERIFY2(installed.contains(QStringLiteral("fjord-0:1.4-2")), qPrintable(installed.join(' ')));
    QVERIFY(installed.contains(QStringLiteral("ember-0:0.3-1")));
    QVERIFY(installed.contains(QStringLiteral("delta-suite-0:2.0-1")));
    QVERIFY(installed.contains(QStringLiteral("aurora-0:1.1-1")));
    QVERIFY(installed.contains(QStringLiteral("libbasalt-2:1.2-1")));
    QVERIFY(!installed.join(' ').contains(QLatin1String("granite")));
    QVERIFY(!installed.contains(QStringLiteral("aurora-0:1.0-1")));
    QVERIFY(verifyDb(fixture.root()));
    QString const history = fixture.dnf({QStringLiteral("history"), QStringLiteral("list")});
    QVERIFY2(history.contains(QLatin1String("vux install")), qPrintable(history));

    QStringList const texts = fixture.answerer().texts();
    QVERIFY(!texts.isEmpty());
    QString const confirm = texts.first();
    QVERIFY2(confirm.contains(QLatin1String("Transaction to be performed:")), qPrintable(confirm));
    QVERIFY(confirm.contains(QLatin1String("\tInstall: fjord 1.4-2 (x86_64) [base]")));
    // Updates from the installed version to the new one, and the change of
    // the installed size as rpm counts it afterwards.
    QVERIFY2(confirm.contains(
                 QLatin1String("\tUpdate: libbasalt 2:1.0-1 -> 2:1.2-1 (x86_64) [updates]")),
        qPrintable(confirm));
    qint64 const change = installedSize(fixture.root()) - sizeBefore;
    QString const changeText = (change < 0 ? QStringLiteral("-") : QStringLiteral("+"))
        + YumIO::bytesFormat(quint64(qAbs(change)));
    QVERIFY2(confirm.contains(changeText + QLatin1Char('\n')), qPrintable(changeText));
    QVERIFY(confirm.contains(QLatin1String("\tRemove: granite 3.0-2 (x86_64)")));
    QVERIFY(confirm.contains(QLatin1String("Performing the following to resolve dependencies:\n"
                                           "\tInstall: ember 0.3-1 (noarch) [base]")));
    QVERIFY(confirm.contains(QLatin1String("Total download size: ")));
    QStringList const log = logTexts(engine);
    QVERIFY(log.contains(QStringLiteral("Applying: OK")));
    QVERIFY(log.contains(QStringLiteral("Installing fjord")));
    QVERIFY(log.contains(QStringLiteral("Updating aurora")));
    QVERIFY(log.contains(QStringLiteral("Removing granite")));
    QVERIFY2(!total.backwards, qPrintable(total.where));
    QVERIFY(!total.values.isEmpty());

    // The table afterwards: new states, no actions.
    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    for (Package::Entry const* entry : engine)
        QCOMPARE(entry->action, Package::None);
    QCOMPARE(engine.findEntry(false, QStringLiteral("fjord"))->state, Package::Installed);
    QCOMPARE(engine.findEntry(false, QStringLiteral("libbasalt"))->state, Package::Installed);
    QCOMPARE(engine.findEntry(false, QStringLiteral("granite"))->state, Package::Available);
}

void TestEngineApply::declineThenRemoveWithDependents()
{
    EngineFixture fixture;
    QString const failure = startCollected(fixture, EngineFixture::Options(), false);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    YumIO& engine = fixture.engine();
    QStringList const before = EngineFixture::rpmQa(fixture.root());
    int const cachedBefore = packageFiles(fixture.root());
    mark(engine, QStringLiteral("fjord"), Package::Install);
    mark(engine, QStringLiteral("cobalt"), Package::Update);

    fixture.answerer().click(QStringLiteral("cancelButton"));
    QVERIFY(!engine.apply());
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), before);
    QCOMPARE(packageFiles(fixture.root()), cachedBefore);
    QVERIFY(logTexts(engine, Log::Heading).contains(QStringLiteral("Not Applying: Canceled")));
    QCOMPARE(engine.findEntry(false, QStringLiteral("fjord"))->action, Package::Install);
    QVERIFY(fixture.totalBar()->value() <= fixture.totalBar()->minimum());
    QVERIFY(fixture.itemBar()->value() <= fixture.itemBar()->minimum());

    // Declined, the table stays usable: the same marks can be applied.
    fixture.answerer().click(QStringLiteral("okButton"));
    QVERIFY(engine.apply());
    QVERIFY(EngineFixture::rpmQa(fixture.root()).contains(QStringLiteral("fjord-0:1.4-2")));

    // Removing a library takes the packages that need it along.
    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    mark(engine, QStringLiteral("libbasalt"), Package::Remove);
    fixture.answerer().click(QStringLiteral("okButton"));
    QVERIFY(engine.apply());
    QString const confirm = fixture.answerer().texts().last();
    QVERIFY2(
        confirm.contains(QLatin1String("\tRemove: aurora 1.0-1 (x86_64)")), qPrintable(confirm));
    // Nothing to download, so no download size; each removal is logged.
    QVERIFY2(!confirm.contains(QLatin1String("download size")), qPrintable(confirm));
    QStringList const removals = logTexts(engine);
    QVERIFY(removals.contains(QStringLiteral("Removing libbasalt")));
    QVERIFY(removals.contains(QStringLiteral("Removing aurora")));
    QString const after = EngineFixture::rpmQa(fixture.root()).join(' ');
    QVERIFY(!after.contains(QLatin1String("libbasalt")));
    QVERIFY(!after.contains(QLatin1String("aurora-0")));
    QVERIFY(!after.contains(QLatin1String("cobalt")));
    QVERIFY(after.contains(QLatin1String("granite")));
    QVERIFY(verifyDb(fixture.root()));
}

void TestEngineApply::groupsAndConflicts()
{
    EngineFixture fixture;
    EngineFixture::Options options;
    options.group = true;
    QString copy;
    QString const failure = startCollected(fixture, options, false, &copy);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    YumIO& engine = fixture.engine();

    // A group to install whose installed package is marked for removal.
    mark(engine, QStringLiteral("Core Tools"), Package::Install, true);
    mark(engine, QStringLiteral("granite"), Package::Remove);
    fixture.answerer().click(QStringLiteral("button2"));
    QVERIFY(!engine.apply());
    QString const question = fixture.answerer().texts().last();
    QCOMPARE(question,
        QStringLiteral("Package granite is included in group Core Tools which was marked for "
                       "Install,\nso the package would be marked for Remove,\nbut it was marked "
                       "individually for Remove.\nHow do you wish to proceed?"));
    QCOMPARE(fixture.answerer().titles().last(), QStringLiteral("Apply"));
    QVERIFY(!logTexts(engine).contains(QStringLiteral("Applying: OK")));
    QVERIFY(!logTexts(engine, Log::Heading).contains(QStringLiteral("Not Applying: Canceled")));

    // A group install, as dnf's group install makes it in a copy of the
    // root: dnf records the group, and the row shows it installed.
    mark(engine, QStringLiteral("granite"), Package::None);
    mark(engine, QStringLiteral("Core Tools"), Package::None, true);
    mark(engine, QStringLiteral("Office Extras"), Package::Install, true);
    fixture.answerer().click(QStringLiteral("okButton"));
    QVERIFY(engine.apply());
    QVERIFY2(fixture.answerer().texts().last().contains(
                 QLatin1String("\tInstall group: Office Extras\n")),
        qPrintable(fixture.answerer().texts().last()));
    EngineFixture::dnf(copy, {"-y", "group", "install", "office-extras"});
    QStringList const installed = EngineFixture::rpmQa(fixture.root());
    QVERIFY2(installed.contains(QStringLiteral("ember-0:0.3-1")), qPrintable(installed.join(' ')));
    QCOMPARE(installed, EngineFixture::rpmQa(copy));
    QString const groups = fixture.dnf({"group", "list", "--installed"});
    QVERIFY2(groups.contains(QLatin1String("Office Extras")), qPrintable(groups));
    QVERIFY(fixture.dnf({"history", "info", "last"}).contains(QLatin1String("@office-extras")));
    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    QCOMPARE(engine.findEntry(true, QStringLiteral("Office Extras"))->state, Package::Installed);

    // Its removal with an update of the other group: the packages dnf
    // installed for the group go, the group's record too.
    mark(engine, QStringLiteral("Office Extras"), Package::Remove, true);
    mark(engine, QStringLiteral("Core Tools"), Package::Update, true);
    fixture.answerer().click(QStringLiteral("okButton"));
    QVERIFY(engine.apply());
    EngineFixture::dnf(copy, {"-y", "group", "remove", "office-extras"});
    EngineFixture::dnf(copy, {"-y", "group", "upgrade", "core-tools"});
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), EngineFixture::rpmQa(copy));
    QVERIFY(!fixture.dnf({"group", "list", "--installed"}).contains(QLatin1String("Office")));
    QVERIFY(verifyDb(fixture.root()));
}

// An install-only package updated beyond dnf's installonly_limit: dnf's
// plan removes the oldest version, and the confirmation says so; an older
// version removed through its own row.
void TestEngineApply::installOnlyVersions()
{
    EngineFixture fixture;
    QString error;
    QVERIFY2(fixture.prepare(EngineFixture::Options(), &error), qPrintable(error));
    QFile conf(fixture.root() + QStringLiteral("/etc/yum.conf"));
    QVERIFY(conf.open(QIODevice::Append));
    conf.write("installonly_limit=2\n");
    conf.close();
    QString const copy = fixture.copyRoot(QStringLiteral("dnf-root"));
    fixture.answerer().alwaysClick(QStringLiteral("okButton"));
    YumIO& engine = fixture.engine();
    QVERIFY(engine.initialize() && engine.collect(EngineFixture::allRepos()));

    mark(engine, QStringLiteral("sandbox-kernel"), Package::Update);
    QVERIFY(engine.apply());
    QString const confirm = fixture.answerer().texts().last();
    QVERIFY2(confirm.contains(QLatin1String("\tRemove: sandbox-kernel 5.1.0-1 (x86_64)\n")),
        qPrintable(confirm));
    EngineFixture::dnf(copy, {"-y", "upgrade", "sandbox-kernel"});
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), EngineFixture::rpmQa(copy));

    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    Package::Entry* older = nullptr;
    for (Package::Entry* entry : engine)
        if (entry->olderVersion && entry->name == QLatin1String("sandbox-kernel"))
            older = entry;
    QVERIFY(older);
    QCOMPARE(older->verRel, QStringLiteral("5.2.0-1"));
    older->action = Package::Remove;
    QVERIFY2(engine.apply(), qPrintable(fixture.answerer().texts().last()));
    EngineFixture::dnf(copy, {"-y", "remove", "sandbox-kernel-5.2.0"});
    QStringList const after = EngineFixture::rpmQa(fixture.root());
    QCOMPARE(after, EngineFixture::rpmQa(copy));
    QVERIFY(after.contains(QStringLiteral("sandbox-kernel-0:5.3.0-1")));
}

// A package that another one obsoletes (a rename) is updated to it, as
// "dnf upgrade" replaces it.
void TestEngineApply::renamedPackageReplaced()
{
    EngineFixture fixture;
    EngineFixture::Options options;
    options.extra = QStringList {QStringLiteral("quartz")};
    QString copy;
    QString const failure = startCollected(fixture, options, true, &copy);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    YumIO& engine = fixture.engine();
    mark(engine, QStringLiteral("quartz"), Package::Update);
    QVERIFY(engine.apply());
    QString const confirm = fixture.answerer().texts().last();
    QVERIFY2(confirm.contains(QLatin1String(
                 "\tObsoleting: quartz 1.0-1 (noarch) with quartzite 2.0-1 (noarch)\n")),
        qPrintable(confirm));
    EngineFixture::dnf(copy, {"-y", "upgrade", "quartz"});
    QStringList const after = EngineFixture::rpmQa(fixture.root());
    QCOMPARE(after, EngineFixture::rpmQa(copy));
    QVERIFY(after.contains(QStringLiteral("quartzite-0:2.0-1")));
    QVERIFY(!after.contains(QStringLiteral("quartz-0:1.0-1")));
}

// The dependency-resolution lines and the acts they add.
void TestEngineApply::dependencyLines()
{
    EngineFixture fixture;
    QString const failure = startCollected(fixture, EngineFixture::Options(), false);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    YumIO& engine = fixture.engine();
    TestAccess::startApply(engine);
    TestAccess::tsinfo(engine, QStringLiteral("TSINFO: Marking fjord as update for ember"));
    QCOMPARE(TestAccess::txCount(engine), 2u);
    QCOMPARE(TestAccess::hdrCount(engine), 1u); // dnf keeps no headers
    TestAccess::tsinfo(engine, QStringLiteral("TSINFO: Marking ember as install"));
    QCOMPARE(TestAccess::txCount(engine), 3u);
    TestAccess::tsinfo(engine, QStringLiteral("TSINFO: Obsoleting cobalt with aurora"));
    QCOMPARE(TestAccess::txCount(engine), 5u);
    QCOMPARE(TestAccess::hdrCount(engine), 3u);
    TestAccess::tsinfo(engine, QStringLiteral("TSINFO: granite marked as erase"));
    TestAccess::tsinfo(engine, QStringLiteral("TSINFO: Marking granite as install"));
    TestAccess::tsinfo(engine, QStringLiteral("TSINFO: Marking nosuch as install"));
    TestAccess::tsinfo(engine, QStringLiteral("TSINFO: Obsoleting cobalt aurora"));
    TestAccess::endApply(engine);
    QCOMPARE(TestAccess::txCount(engine), 5u);
    QStringList const errors = logTexts(engine, Log::Error);
    QVERIFY(
        errors.contains(QStringLiteral("Internal error: TSINFO mentions intent to install or "
                                       "upgrade package that already seems up-to-date: granite")));
    QVERIFY(
        errors.contains(QStringLiteral("Internal error: TSINFO mentions unknown package: nosuch")));
    QVERIFY(errors.contains(
        QStringLiteral("Internal error: unexpected TSINFO: Obsoleting cobalt aurora")));
}

// A %pre that fails and a held transaction lock: clear messages, nothing
// reported as success, the database consistent.
void TestEngineApply::failingScriptAndLock()
{
    EngineFixture fixture;
    QString const failure = startCollected(fixture, EngineFixture::Options(), true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    YumIO& engine = fixture.engine();
    QStringList const before = EngineFixture::rpmQa(fixture.root());
    mark(engine, QStringLiteral("failing-pre"), Package::Install);
    int const logged = logTexts(engine).size();
    QVERIFY(!engine.apply());
    // Each line the package manager said once, in the report and in the log.
    QString const report = fixture.answerer().texts().last();
    QStringList const lines = report.split(QLatin1Char('\n'));
    QCOMPARE(QSet<QString>(lines.begin(), lines.end()).size(), lines.size());
    QStringList const log = logTexts(engine).mid(logged);
    for (char const* line : {"Error in PREIN scriptlet in rpm package failing-pre",
             "Transaction failed", "Not applied: failing-pre-1.0-1.noarch", "Applied: nothing"}) {
        QVERIFY2(lines.contains(QLatin1String(line)), qPrintable(report));
        QVERIFY2(log.count(QLatin1String(line)) == 1, qPrintable(log.join('\n')));
    }
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), before);
    QVERIFY(verifyDb(fixture.root()));

    // Another process holds rpm's transaction lock.
    mark(engine, QStringLiteral("failing-pre"), Package::None);
    mark(engine, QStringLiteral("ember"), Package::Install);
    QProcess holder;
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
    QVERIFY(!engine.apply());
    holder.kill();
    holder.waitForFinished();
    QVERIFY2(fixture.answerer().texts().last().contains(QLatin1String("held by another process")),
        qPrintable(fixture.answerer().texts().last()));
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), before);
}

// Package scripts that talk, a dependency nothing provides, a package file
// missing from its repository and a file system that fills up.
void TestEngineApply::extrasOutputAndFaults()
{
    EngineFixture fixture;
    QString const failure = startCollected(fixture, withExtras(), true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    YumIO& engine = fixture.engine();

    mark(engine, QStringLiteral("chatty"), Package::Install);
    QVERIFY(engine.apply());
    QVERIFY2(
        logTexts(engine, Log::Output).contains(QStringLiteral("chatty post-install says hello")),
        qPrintable(logTexts(engine).join('\n')));
    QVERIFY(logTexts(engine, Log::Error).contains(QStringLiteral("chatty post-install warns")));
    QStringList const before = EngineFixture::rpmQa(fixture.root());

    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    mark(engine, QStringLiteral("needs-missing"), Package::Install);
    int const asked = fixture.answerer().answered();
    QVERIFY(!engine.apply());
    QCOMPARE(fixture.answerer().answered(), asked + 1); // the report, no confirmation
    QVERIFY2(fixture.answerer().texts().last().contains(QLatin1String("no-such-capability")),
        qPrintable(fixture.answerer().texts().last()));
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), before);

    // The file system under the package's directory is too small.
    if (geteuid() == 0) {
        QString const mount = fixture.root() + QStringLiteral("/usr/share/bulky");
        QVERIFY(QDir().mkpath(mount));
        int const mounted = QProcess::execute(QStringLiteral("mount"),
            {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                QStringLiteral("size=1m"), QStringLiteral("tmpfs"), mount});
        if (mounted == 0) {
            mark(engine, QStringLiteral("needs-missing"), Package::None);
            mark(engine, QStringLiteral("bulky"), Package::Install);
            bool const applied = engine.apply();
            QProcess::execute(QStringLiteral("umount"), {mount});
            QVERIFY(!applied);
            QVERIFY2(fixture.answerer().texts().last().contains(QLatin1String("bulky")),
                qPrintable(fixture.answerer().texts().last()));
            QCOMPARE(EngineFixture::rpmQa(fixture.root()), before);
            QVERIFY(verifyDb(fixture.root()));
            mark(engine, QStringLiteral("bulky"), Package::None);
        }
    }

    // A package file missing from a copy of the repository.
    QString const copy = fixture.root() + QStringLiteral("/../extras-copy");
    QString const extras
        = Sandbox::repos()[QStringLiteral("repos")].toObject()[QStringLiteral("extras")].toString();
    QCOMPARE(QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), extras, copy}), 0);
    QDirIterator it(copy + QStringLiteral("/Packages"),
        {QStringLiteral("needs-*.rpm"), QStringLiteral("bulky-*.rpm")}, QDir::Files);
    QStringList removed;
    while (it.hasNext())
        removed.append(it.next());
    for (QString const& path : removed)
        QVERIFY(QFile::remove(path));
    QFile repo(fixture.root() + QStringLiteral("/etc/yum.repos.d/extras.repo"));
    QVERIFY(repo.open(QIODevice::WriteOnly | QIODevice::Truncate));
    repo.write(QStringLiteral("[extras]\nname=Extras copy\nbaseurl=file://%1\ngpgcheck=0\n")
                   .arg(copy)
                   .toUtf8());
    repo.close();
    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    mark(engine, QStringLiteral("bulky"), Package::Install);
    QVERIFY(!engine.apply());
    QString const report = fixture.answerer().texts().last();
    QVERIFY2(report.contains(QLatin1String("bulky-1.0-1.noarch.rpm: No such file or directory")),
        qPrintable(report));
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), before);
}

// Two packages owning one path with different contents cannot be applied
// together; a package that obsoletes an installed one replaces it.
void TestEngineApply::fileConflictAndObsoletes()
{
    EngineFixture fixture;
    QString const failure = startCollected(fixture, withExtras(), true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    YumIO& engine = fixture.engine();
    QStringList const before = EngineFixture::rpmQa(fixture.root());

    mark(engine, QStringLiteral("clash-left"), Package::Install);
    mark(engine, QStringLiteral("clash-right"), Package::Install);
    QVERIFY(!engine.apply());
    QString const report = fixture.answerer().texts().last();
    QVERIFY2(report.contains(QLatin1String("/usr/share/clash/shared.txt")), qPrintable(report));
    QVERIFY2(report.contains(QLatin1String("conflicts between attempted installs of clash-left")),
        qPrintable(report));
    // dnf's clean-up after the failed test run must not end in a traceback
    // (rpm refused the log writer as its log file).
    QVERIFY2(!report.contains(QLatin1String("Traceback")), qPrintable(report));

    QCOMPARE(EngineFixture::rpmQa(fixture.root()), before);
    QVERIFY(verifyDb(fixture.root()));

    // The lock was released and the failed members are forgotten: one side
    // alone applies without a refresh, then the successor of cobalt.
    mark(engine, QStringLiteral("clash-right"), Package::None);
    QVERIFY(engine.apply());
    QVERIFY(EngineFixture::rpmQa(fixture.root()).contains(QStringLiteral("clash-left-0:1.0-1")));

    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    QVERIFY(EngineFixture::rpmQa(fixture.root()).contains(QStringLiteral("cobalt-0:0.9-1")));
    mark(engine, QStringLiteral("cobalt-next"), Package::Install);
    BarWatch item;
    item.watch(fixture.itemBar());
    // Installed by name, the obsoleting package is an install in dnf's
    // transaction: the confirmation still names what it obsoletes.
    QVERIFY2(engine.apply(), qPrintable(fixture.answerer().texts().last()));
    QString const confirm = fixture.answerer().texts().last();
    QVERIFY2(confirm.contains(QLatin1String("cobalt-next")), qPrintable(confirm));
    QVERIFY2(confirm.contains(QLatin1String("Obsolet")), qPrintable(confirm));
    QStringList const after = EngineFixture::rpmQa(fixture.root());
    QVERIFY2(after.contains(QStringLiteral("cobalt-next-0:2.0-1")), qPrintable(after.join(' ')));
    QVERIFY(!after.join(' ').contains(QLatin1String("cobalt-0:")));
    QVERIFY(verifyDb(fixture.root()));
    // dnf installs the successor (it was asked for by name) and lets the
    // old package go as obsoleted.
    QVERIFY2(logTexts(engine).contains(QStringLiteral("Installing cobalt-next")),
        qPrintable(logTexts(engine).join('\n')));
    QVERIFY2(item.texts.contains(QStringLiteral("Completing update for: cobalt")),
        qPrintable(item.texts.join('|')));
}

// Applying with the effective user dropped to nobody: dnf's explanation,
// no confirmation, nothing changed; back as root the same marks apply.
void TestEngineApply::onlyTheSuperuserApplies()
{
    if (geteuid() != 0)
        QSKIP("needs root to drop privileges");
    EngineFixture fixture;
    QString const failure = startCollected(fixture, EngineFixture::Options(), true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    YumIO& engine = fixture.engine();
    QStringList const before = EngineFixture::rpmQa(fixture.root());
    int const cachedBefore = packageFiles(fixture.root());
    mark(engine, QStringLiteral("ember"), Package::Install);

    // seteuid applies to every thread of the process, the engine's worker
    // included.
    QCOMPARE(setegid(65534), 0);
    QCOMPARE(seteuid(65534), 0);
    bool const applied = engine.apply();
    QCOMPARE(seteuid(0), 0);
    QCOMPARE(setegid(0), 0);
    QVERIFY(!applied);
    QCOMPARE(fixture.answerer().answered(), 1); // the report, no confirmation
    QString const report = fixture.answerer().texts().last();
    QVERIFY2(report.contains(QLatin1String("This command has to be run with superuser privileges")),
        qPrintable(report));
    QVERIFY(!logTexts(engine).contains(QStringLiteral("Applying: OK")));
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), before);
    QCOMPARE(packageFiles(fixture.root()), cachedBefore);
    QCOMPARE(engine.findEntry(false, QStringLiteral("ember"))->action, Package::Install);

    QVERIFY(engine.apply());
    QVERIFY(EngineFixture::rpmQa(fixture.root()).contains(QStringLiteral("ember-0:0.3-1")));
}

// Packages downloaded through a larder repository: the credentials appear
// in no bar, dialog or log line.
void TestEngineApply::larderCredentialsStayHidden()
{
    EngineFixture fixture;
    EngineFixture::Options options;
    options.larder = QStringLiteral("tester:s3cret-pass");
    options.larderOnly = true;
    QString const failure = startCollected(fixture, options, true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    YumIO& engine = fixture.engine();
    mark(engine, QStringLiteral("fjord"), Package::Install);
    mark(engine, QStringLiteral("aurora"), Package::Update);
    BarWatch total;
    BarWatch item;
    total.watch(fixture.totalBar());
    item.watch(fixture.itemBar());
    QVERIFY(engine.apply());
    QVERIFY(EngineFixture::rpmQa(fixture.root()).contains(QStringLiteral("fjord-0:1.4-2")));
    QStringList const seen
        = logTexts(engine) + fixture.answerer().texts() + total.texts + item.texts;
    item.texts.removeDuplicates();
    QVERIFY2(item.texts.join(QLatin1Char('|')).contains(QLatin1String("|Downloading ")),
        qPrintable(item.texts.join(QLatin1Char('|'))));
    // dnf cannot rebuild from deltas here (no applydeltarpm): no such step.
    QVERIFY(!item.texts.contains(QStringLiteral("Finishing RPM rebuild from deltas")));
    for (QString const& text : seen) {
        QVERIFY2(!text.contains(QLatin1String("s3cret-pass")), qPrintable(text));
        QVERIFY2(!text.contains(QLatin1String("name=tester")), qPrintable(text));
    }
}

// A failed apply leaves the engine ready for the next one without a
// refresh: the user mends the cause or applies another set.
void TestEngineApply::retryAfterFailures()
{
    EngineFixture fixture;
    QString const failure = startCollected(fixture, withExtras(), true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    YumIO& engine = fixture.engine();

    // Fails while dependencies are resolved.
    mark(engine, QStringLiteral("needs-missing"), Package::Install);
    QVERIFY(!engine.apply());
    QVERIFY(!engine.partlyApplied());
    mark(engine, QStringLiteral("needs-missing"), Package::None);
    mark(engine, QStringLiteral("ember"), Package::Install);
    QVERIFY2(engine.apply(), qPrintable(fixture.answerer().texts().last()));
    QVERIFY(EngineFixture::rpmQa(fixture.root()).contains(QStringLiteral("ember-0:0.3-1")));

    // Fails in the transaction, after the confirmation.
    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    mark(engine, QStringLiteral("failing-pre"), Package::Install);
    QVERIFY(!engine.apply());
    QVERIFY(!engine.partlyApplied());
    mark(engine, QStringLiteral("failing-pre"), Package::None);
    mark(engine, QStringLiteral("fjord"), Package::Install);
    QVERIFY2(engine.apply(), qPrintable(fixture.answerer().texts().last()));
    QStringList after = EngineFixture::rpmQa(fixture.root());
    QVERIFY2(after.contains(QStringLiteral("fjord-0:1.4-2")), qPrintable(after.join(' ')));
    QVERIFY(!after.join(' ').contains(QLatin1String("failing-pre")));
    QVERIFY(verifyDb(fixture.root()));

    // A transaction that fails after applying one of its members: the
    // engine says so, for the table to be collected afresh.
    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    mark(engine, QStringLiteral("failing-pre"), Package::Install);
    mark(engine, QStringLiteral("helix"), Package::Install);
    QVERIFY(!engine.apply());
    QVERIFY(engine.partlyApplied());
    QString const report = fixture.answerer().texts().last();
    QVERIFY2(report.contains(QLatin1String("Applied: helix-0.1-1.noarch")), qPrintable(report));
    after = EngineFixture::rpmQa(fixture.root());
    QVERIFY(after.contains(QStringLiteral("helix-0:0.1-1")));
    QVERIFY(!after.join(' ').contains(QLatin1String("failing-pre")));
    QVERIFY(verifyDb(fixture.root()));

    // An apply that stops before the script is called changed nothing.
    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    mark(engine, QStringLiteral("needs-missing"), Package::Update); // nothing to update
    QVERIFY(!engine.apply());
    QVERIFY(!engine.partlyApplied());
}

// A repository signed with a key made here: the engine's question names the
// key's user id and fingerprint; declined, nothing is installed; imported,
// the same marks apply.
void TestEngineApply::keyImportQuestion()
{
    EngineFixture fixture;
    EngineFixture::Options options;
    options.repos = QStringList {QStringLiteral("updates")};
    QString error;
    QVERIFY2(fixture.prepare(options, &error), qPrintable(error));
    QJsonObject const repo = Sandbox::run(
        {QStringLiteral("signed-repo"), fixture.root() + QStringLiteral("/../signed")}, &error);
    QVERIFY2(!repo.isEmpty(), qPrintable(error));
    QFile file(fixture.root() + QStringLiteral("/etc/yum.repos.d/signed.repo"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        QStringLiteral("[signed]\nname=Signed\nbaseurl=file://%1\ngpgcheck=1\n"
                       "gpgkey=file://%2\n")
            .arg(repo[QStringLiteral("repo")].toString(), repo[QStringLiteral("key")].toString())
            .toUtf8());
    file.close();
    YumIO& engine = fixture.engine();
    QVERIFY(engine.initialize());
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    QStringList const before = EngineFixture::rpmQa(fixture.root());
    mark(engine, QStringLiteral("fjord"), Package::Install);

    ModalAnswerer& answerer = fixture.answerer();
    // A dialog without the button is closed with OK, for the checks to tell.
    auto clickOrOk = [&](QString const& button) {
        answerer.answer([button](QWidget* dialog) {
            if (!ModalAnswerer::clickButton(dialog, button))
                ModalAnswerer::clickButton(dialog, QStringLiteral("okButton"));
        });
    };
    answerer.click(QStringLiteral("okButton"));
    clickOrOk(QStringLiteral("Do Not Import"));
    answerer.alwaysClick(QStringLiteral("okButton"));
    QVERIFY(!engine.apply());
    QStringList texts = answerer.texts();
    QCOMPARE(texts.size(), 3);
    QString const question = texts[1];
    QVERIFY2(question.contains(QLatin1String("Userid     : \"Vux Test Key <test@vux.example>\"")),
        qPrintable(question));
    QVERIFY2(QString(question)
                 .remove(QLatin1Char(' '))
                 .contains(repo[QStringLiteral("fingerprint")].toString()),
        qPrintable(question));
    QVERIFY(question.contains(repo[QStringLiteral("key")].toString()));
    QVERIFY2(texts[2].count(QLatin1String("could not be verified")) == 1, qPrintable(texts[2]));
    QVERIFY(texts[2].contains(QLatin1String("ember")) || texts[2].contains(QLatin1String("fjord")));
    QVERIFY(!logTexts(engine).contains(QStringLiteral("Key imported")));
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), before);
    QVERIFY(verifyDb(fixture.root()));

    answerer.click(QStringLiteral("okButton"));
    clickOrOk(QStringLiteral("Import"));
    QVERIFY2(engine.apply(), qPrintable(answerer.texts().last()));
    texts = answerer.texts();
    QCOMPARE(texts.size(), 5);
    QVERIFY(texts[4].contains(QLatin1String("Importing GPG key:")));
    QStringList const after = EngineFixture::rpmQa(fixture.root());
    QVERIFY2(after.contains(QStringLiteral("fjord-0:1.4-2")), qPrintable(after.join(' ')));
    QVERIFY(after.contains(QStringLiteral("ember-0:0.3-1")));
    QVERIFY(logTexts(engine).contains(QStringLiteral("Key imported")));
}

// A package script prints a megabyte, far more than a pipe holds, while the
// log window follows the log: the transaction ends and every line reaches
// the log and the window, in order.
void TestEngineApply::megabyteOfScriptOutputWithLogWindowOpen()
{
    EngineFixture fixture;
    QString const failure = startCollected(fixture, withExtras(), true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    YumIO& engine = fixture.engine();
    Log::Window window(engine.logEntries());
    window.show();
    mark(engine, QStringLiteral("loud"), Package::Install);
    QVERIFY(engine.apply());
    QVERIFY(EngineFixture::rpmQa(fixture.root()).contains(QStringLiteral("loud-0:1.0-1")));

    QStringList expected;
    for (int i = 1; i <= 16384; ++i)
        expected.append(QStringLiteral("loud %1 ").arg(i, 5, 10, QLatin1Char('0'))
            + QString(52, QLatin1Char('x')));
    auto printed = [](QStringList const& lines) {
        return lines.filter(QRegularExpression(QStringLiteral("^loud [0-9]{5} ")));
    };
    QCOMPARE(printed(logTexts(engine, Log::Output)), expected);
    QCoreApplication::processEvents(); // the window renders what was queued last
    auto* text = window.findChild<HTextEdit*>(QStringLiteral("logText"));
    QStringList shown = text->toPlainText().split(QLatin1Char('\n'));
    for (QString& line : shown) // each line starts with the time it was logged
        line.remove(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d ")));
    QCOMPARE(printed(shown), expected);
}

// A package file missing from a repository served over HTTP: the download
// fails with the server's answer, nothing is applied, and the next apply of
// the session goes through (every lock was released).
void TestEngineApply::missingPackageOverHttp()
{
    EngineFixture fixture;
    EngineFixture::Options options;
    options.repos
        = QStringList {QStringLiteral("base"), QStringLiteral("updates"), QStringLiteral("extras")};
    QString error;
    QVERIFY2(fixture.prepare(options, &error), qPrintable(error));
    QString const tree = fixture.root() + QStringLiteral("/../tree");
    QString const extras
        = Sandbox::repos()[QStringLiteral("repos")].toObject()[QStringLiteral("extras")].toString();
    QVERIFY(QDir().mkpath(tree));
    QCOMPARE(QProcess::execute(QStringLiteral("cp"),
                 {QStringLiteral("-r"), extras, tree + QStringLiteral("/extras")}),
        0);
    QVERIFY(QFile::remove(tree + QStringLiteral("/extras/Packages/bulky-1.0-1.noarch.rpm")));
    Sandbox::Server server(QString(), false, QString(), tree);
    QVERIFY(server.isRunning());
    QFile repo(fixture.root() + QStringLiteral("/etc/yum.repos.d/extras.repo"));
    QVERIFY(repo.open(QIODevice::WriteOnly | QIODevice::Truncate));
    repo.write(QStringLiteral("[extras]\nname=Extras copy\nbaseurl=%1/extras/\ngpgcheck=0\n")
                   .arg(server.url())
                   .toUtf8());
    repo.close();
    fixture.answerer().alwaysClick(QStringLiteral("okButton"));
    YumIO& engine = fixture.engine();
    QVERIFY(engine.initialize());
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    QStringList const before = EngineFixture::rpmQa(fixture.root());

    mark(engine, QStringLiteral("bulky"), Package::Install);
    QVERIFY(!engine.apply());
    QString const report = fixture.answerer().texts().last();
    QCOMPARE(fixture.answerer().titles().last(), QStringLiteral("VUX Yum Error"));
    // Each text once, though librepo asked more than once and the script
    // logs what it raises.
    QVERIFY2(report.count(QLatin1String("Error downloading packages:\n  bulky-1.0-1.noarch")) == 1,
        qPrintable(report));
    QVERIFY2(report.count(QLatin1String("Status code: 404 for ")) == 1, qPrintable(report));
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), before);
    QVERIFY(verifyDb(fixture.root()));
    QCOMPARE(engine.findEntry(false, QStringLiteral("bulky"))->action, Package::Install);

    mark(engine, QStringLiteral("bulky"), Package::None);
    mark(engine, QStringLiteral("ember"), Package::Install);
    QVERIFY2(engine.apply(), qPrintable(fixture.answerer().texts().last()));
    QVERIFY(EngineFixture::rpmQa(fixture.root()).contains(QStringLiteral("ember-0:0.3-1")));
}

// Removing one architecture of a multilib pair leaves the other, as "dnf
// remove" does (resolved against the installed system alone).
void TestEngineApply::multilibRemovedAsDnfRemoves()
{
    EngineFixture fixture;
    EngineFixture::Options options;
    options.extra = QStringList {QStringLiteral("libmica.x86_64"), QStringLiteral("libmica.i686")};
    QString copy;
    QString const failure = startCollected(fixture, options, true, &copy);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    YumIO& engine = fixture.engine();
    Package::Entry* mica
        = engine.findEntry(false, QStringLiteral("libmica"), QStringLiteral("x86_64"));
    QVERIFY(mica);
    mica->action = Package::Remove;
    QVERIFY(engine.apply());
    EngineFixture::dnf(copy, {"-y", "remove", "libmica.x86_64"});
    QStringList const after = EngineFixture::rpmQa(fixture.root());
    QCOMPARE(after, EngineFixture::rpmQa(copy));
    QVERIFY2(after.contains(QStringLiteral("libmica-0:1.0-1")), qPrintable(after.join(' ')));
}

QTEST_MAIN(TestEngineApply)
#include "TestEngineApply.moc"
