// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "python/PyRef.h"
#include "support/EngineFixture.h"
#include "support/ModalAnswerer.h"
#include "support/StandinShare.h"
#include "widgets/HProgressBar.h"
#include "yumio/YumIO.h"

#include <QtTest>

class TestAccess
{
public:
    static PyObject* eval(YumIO& engine, char const* expression) { return engine.pyr(expression); }
};

namespace {

QHash<QString, bool> const standinRepos {{QStringLiteral("standin"), true}};

// The engine's own line of a reported failure of the stand-in's method
// (after the two errors it logged and, where asked for, its exception's
// text), or a null text where the report has another shape.
QString engineLine(QString const& text, QByteArray const& method, bool withText)
{
    QString const name = QString::fromLatin1(method);
    QString script = QStringLiteral("first error of %1\nsecond error of %1\n").arg(name);
    if (withText)
        script += QStringLiteral("%1 failed on purpose\n").arg(name);
    QString const line = text.mid(script.size());
    bool const shaped = text.startsWith(script) && !line.isEmpty()
        && !line.contains(QLatin1Char('\n')) && !line.contains(QLatin1String("on purpose"));
    return shaped ? line : QString();
}

// Each collection step's message, seen so far: no two may share one.
QHash<QByteArray, QString> stepMessages;

} // namespace

// The engine on a stand-in script that plays any version of the package
// manager and fails on demand: its side of every script failure, and what
// it makes of the script's answers.
class TestEngineStandin : public QObject
{
    Q_OBJECT

private slots:
    void failures_data();
    void failures();
    void olderGroups();
    void sessionUse();
    void failedCollectionFreed();
};

void TestEngineStandin::failures_data()
{
    QTest::addColumn<QByteArray>("failure"); // METHOD:EXCEPTION[:TEXT] for the stand-in
    QTest::addColumn<bool>("collected");
    // A failure the script reports shows what it logged as errors during the
    // failed call (not its details, messages or earlier errors), then the exception's text where
    // that says more, then the engine's message on a line of its own ("reported"). An unexpected
    // one is an internal error naming what failed ("internal"), after the interpreter's own report
    // where the script raised ("raised").
    QTest::addColumn<QString>("shown"); // reported, reported with text, internal, raised, none
    QTest::addColumn<QString>("named"); // what the internal error names

    auto const row = [](char const* tag, char const* failure, char const* shown,
                         char const* named = "", bool collected = false) {
        QTest::newRow(tag) << QByteArray(failure) << collected << QString(shown) << QString(named);
    };
    row("start", "__init__:SystemExit", "reported");
    row("lock refused", "lock:LockError", "reported");
    row("repositories", "setupRepos:RepoError", "reported with text");
    row("debugger left", "setupRepos:BdbQuit", "reported with text");
    row("transaction set", "setupTs:YumBaseError", "reported with text");
    row("updates", "collectUpdates:YumBaseError", "reported with text");
    row("updates, unexpected exception", "collectUpdates:RuntimeError", "raised", "collectUpdates");
    row("installed and available", "collectAll:YumBaseError", "reported with text");
    row("no installed list", "collectAll:no-installed", "internal", "collectAll.installed");
    row("no groups at all", "setupTsGroup:GroupsError:No Groups Available in any repository",
        "none", "", true);
    row("other groups error", "setupTsGroup:GroupsError:broken comps", "internal", "setupTsGroup");
    row("groups", "setupTsGroup:YumBaseError", "reported with text");
    row("group information", "collectGroupInfo:RuntimeError", "raised", "collectGroupInfo");
}

// The last dialog's text, checked as failures_data() describes; the
// engine's own messages are not restated here.
void TestEngineStandin::failures()
{
    QFETCH(QByteArray, failure);
    QFETCH(bool, collected);
    QFETCH(QString, shown);
    QFETCH(QString, named);
    StandinEngine standin(QStringLiteral("3.2.8"), failure);
    YumIO& engine = standin.engine;
    bool const initialized = engine.initialize();
    QCOMPARE(initialized, !failure.startsWith("__init__"));
    engine.log(Log::Error, 0, QStringLiteral("an earlier error"));
    if (initialized)
        QCOMPARE(engine.collect(standinRepos), collected);
    QStringList const texts = standin.answerer.texts();
    QCOMPARE(texts.size(), shown == "none" ? 0 : shown == "raised" ? 2 : 1);
    if (shown.startsWith(QLatin1String("reported"))) {
        QByteArray const method = failure.left(failure.indexOf(':'));
        QString const line = engineLine(texts.last(), method, shown.endsWith("text"));
        QVERIFY2(!line.isNull(), qPrintable(texts.last()));
        for (auto it = stepMessages.cbegin(); initialized && it != stepMessages.cend(); ++it)
            QCOMPARE(it.value() == line, it.key() == method);
        if (initialized) // the start's failure shares a step's message
            stepMessages.insert(method, line);
    } else if (!named.isEmpty())
        QVERIFY2(texts.last().contains(named), qPrintable(texts.last()));
    // A failed collection leaves the table empty; a collection without
    // group data still has its packages.
    QCOMPARE(engine.count() > 0, collected);
    if (collected)
        QVERIFY(standin.calls().endsWith(QLatin1String("collectGroupInfo")));
}

// Before 2.5 one information object describes every group. Here the
// installed group's own package is up to date, but its sub-group, collected
// before it, holds an out-of-date one. Marked for update, the group leaves
// its optional package unmarked (and says so in the log); two groups that
// disagree about a package ask which action to take.
void TestEngineStandin::olderGroups()
{
    StandinEngine standin(QStringLiteral("2.4.9"));
    YumIO& engine = standin.engine;
    QVERIFY(engine.initialize());
    QVERIFY(engine.collect(standinRepos));
    Package::Entry* group = engine.findEntry(true, QStringLiteral("Stand-in Group"));
    Package::Entry* second = engine.findEntry(true, QStringLiteral("Second"));
    QVERIFY(group && second && group->object == second->object);
    QCOMPARE(second->state, Package::Available);
    QCOMPARE(group->state, Package::Updatable);
    QCOMPARE(engine.getMandatoryPkgs(*group), QStringLiteral("beta"));
    QCOMPARE(engine.getRequiredGroups(*group), QStringLiteral("Second"));

    group->action = Package::Update;
    QVERIFY(!engine.apply()); // the stand-in asks no confirmation
    QVERIFY2(standin.calls().endsWith(QLatin1String("apply:/alpha/")), qPrintable(standin.calls()));
    QVERIFY(!EngineFixture::logged(engine)
                 .split(QLatin1Char('\n'))
                 .filter(QStringLiteral("Stand-in Group"))
                 .filter(QStringLiteral(" gamma "))
                 .isEmpty());
    QCOMPARE(standin.answerer.answered(), 0);

    // The other group removes what this one updates; the first button takes
    // the action the group proposes.
    second->action = Package::Remove;
    QVERIFY(!engine.apply());
    QCOMPARE(standin.answerer.answered(), 1);
    QString const question = standin.answerer.texts().last();
    for (char const* named : {"alpha", "Second", "Stand-in Group"})
        QVERIFY2(question.contains(QLatin1String(named)), qPrintable(question));
    QVERIFY(standin.calls().endsWith(QLatin1String("apply:/alpha/")));
}

void TestEngineStandin::sessionUse()
{
    StandinEngine standin;
    YumIO& engine = standin.engine;
    QVERIFY(engine.initialize());
    QVERIFY(engine.collect({{QStringLiteral("standin"), false}, {QStringLiteral("extra"), true},
        {QStringLiteral("unknown"), true}}));
    QString const calls = standin.calls();
    QVERIFY(calls.contains(QLatin1String("disableRepo standin")));
    QVERIFY(calls.contains(QLatin1String("enableRepo extra")));
    QVERIFY(!calls.contains(QLatin1String("unknown")));
    QCOMPARE(standin.answerer.answered(), 0);
}

// A collection that fails after packages were read (here in the groups
// step) leaves them in the hash alone; a refresh frees them all.
void TestEngineStandin::failedCollectionFreed()
{
    StandinEngine standin(QStringLiteral("3.2.8"), "setupTsGroup:YumBaseError");
    YumIO& engine = standin.engine;
    QVERIFY(engine.initialize());
    auto alive = [&engine] {
        Python::PyGILStateWrapper lock(true);
        PyRef count = PyRef::steal(TestAccess::eval(
            engine, "len([o for o in __import__('gc').get_objects() if isinstance(o, Package)])"));
        return count ? PyLong_AsLong(count.get()) : -1;
    };
    QVERIFY(!engine.collect(standinRepos));
    QCOMPARE(engine.count(), 0);
    QCOMPARE(alive(), 4L); // alpha's update and installed version, beta, gamma
    engine.clear();
    QCOMPARE(alive(), 0L);
    QVERIFY(!engine.collect(standinRepos));
    engine.clear();
    QCOMPARE(alive(), 0L);
}

QTEST_MAIN(TestEngineStandin)
#include "TestEngineStandin.moc"
