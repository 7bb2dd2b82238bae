#include "python/PythonHeaders.h"

#include "StartupSupport.h"

#include "config-vux-tests.h"
#include "support/EngineFixture.h"
#include "support/ModalAnswerer.h"
#include "yumio/YumIO.h"

#include <QFile>
#include <QTimer>
#include <QtTest>


using namespace StartupSupport;

namespace {

// Notes whether the interpreter was running when a log window was first shown.
class ShowWatcher : public QObject
{
public:
    bool shown = false;
    bool interpreterWasRunning = false;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Show && !shown && qobject_cast<Log::Window*>(object)) {
            shown = true;
            interpreterWasRunning = Py_IsInitialized();
        }
        return false;
    }
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsWithLogWindow();
    void commands_data();
    void commands();
    void closingEndsProgram();

    void missingScript();
    void constructorExits();
    void startsAgainAndQuits();
    void repositoryOptions_data();
    void repositoryOptions();

private:
    Root root;
    std::unique_ptr<MainWindow> window;
};

void TestStartup::initTestCase()
{
    setProgram();
    QString error;
    QVERIFY2(root.make(&error), qPrintable(error));
}

void TestStartup::init()
{
    qputenv("VUXSHARE", VUX_SHARE_DIR);
    InstallRoot::set(root.path());
}

void TestStartup::cleanup()
{
    restoreCursor();
}

void TestStartup::startsWithLogWindow()
{
    ShowWatcher watcher;
    qApp->installEventFilter(&watcher);
    ModalAnswerer answerer;
    window.reset(new MainWindow);
    window->startLog = true;
    QVERIFY(start(*window));
    qApp->removeEventFilter(&watcher);

    QCOMPARE(answerer.texts(), QStringList());
    QVERIFY(window->isVisible());
    QVERIFY(!window->startFailed());
    QVERIFY(panel(*window)->isVisible());
    QVERIFY(panel(*window)->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    // The log window came up before the engine started its interpreter, so
    // everything the start-up prints can be followed there.
    QVERIFY(watcher.shown);
    QVERIFY(!watcher.interpreterWasRunning);
    QVERIFY(logWindow() && logWindow()->isVisible());

    YumIO* engine = window->engine();
    QVERIFY(engine);
    QVERIFY(engine->count() > 0);
    QCOMPARE(engine->findEntry(false, QStringLiteral("aurora"))->state, Package::Updatable);
    QCOMPARE(EngineFixture::headings(*engine, QStringLiteral("Initialization")), 1);

    // Ready: the commands are enabled, except that dnf keeps no pickled cache.
    QVERIFY(action(*window, QStringLiteral("Clean All"))->isEnabled());
    QVERIFY(!action(*window, QStringLiteral("Clean Pickled Data"))->isEnabled());
}

void TestStartup::commands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("collects");
    QTest::newRow("Refresh") << "Re&fresh" << true;
    QTest::newRow("Clean Packages") << "Clean Packages" << false;
    QTest::newRow("Clean All") << "Clean All" << true;
}

// Each command runs in a busy frame and collects again where it must.
void TestStartup::commands()
{
    QFETCH(QString, command);
    QFETCH(bool, collects);
    QVERIFY(window && window->engine());
    ModalAnswerer answerer;
    YumIO& engine = *window->engine();
    int const before = EngineFixture::headings(engine, QStringLiteral("Initialization"));
    if (QAction* entry = action(*window, command))
        entry->trigger();
    else
        window->refresh();
    QCOMPARE(answerer.texts(), QStringList());
    QCOMPARE(EngineFixture::headings(engine, QStringLiteral("Initialization")), before + (collects ? 1 : 0));
    QVERIFY(engine.count() > 0);
    QVERIFY(engine.findEntry(false, QStringLiteral("aurora")));
    QVERIFY(panel(*window)->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

// Closed from the window manager with the log window open: the program
// ends, and the engine goes with the window.
void TestStartup::closingEndsProgram()
{
    QVERIFY(window && logWindow() && logWindow()->isVisible());
    QTimer::singleShot(0, window.get(), [this] { window->close(); });
    QTimer::singleShot(60000, qApp, [] { QCoreApplication::exit(2); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!window->isVisible());
    QVERIFY(!logWindow()->isVisible());
    window.reset();
    QCOMPARE(logWindow(), nullptr);
    QVERIFY(!Py_IsInitialized());
    QVERIFY(!QFile::exists(root.file(QStringLiteral("/var/lib/dnf/rpmdb_lock.pid"))));
}

void TestStartup::missingScript()
{
    QTemporaryDir share;
    QVERIFY(share.isValid());
    qputenv("VUXSHARE", QFile::encodeName(share.path()));
    ModalAnswerer answerer;
    answerer.click(QStringLiteral("button0"));
    MainWindow failing;
    QVERIFY(start(failing));
    QCOMPARE(answerer.titles(), QStringList {QStringLiteral("VUX Yum Error")});
    QCOMPARE(
        answerer.texts(), QStringList {QStringLiteral("Internal error: unable to open YumIO.py")});
    QVERIFY(!failing.isVisible());
    QVERIFY(failing.startFailed());
    QCOMPARE(failing.engine(), nullptr);
}

// The script object refuses to start on a main configuration dnf cannot
// parse: dnf's reason and "Unable to initialize" come up in the scrollable
// error box, and the start fails.
void TestStartup::constructorExits()
{
    Root broken;
    QString error;
    Sandbox::RootOptions options;
    options.install = false;
    QVERIFY2(broken.make(&error, options), qPrintable(error));
    QFile conf(broken.file(QStringLiteral("/etc/yum.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
    conf.write("[main\ncachedir=/var/cache/yum\n");
    conf.close();
    InstallRoot::set(broken.path());
    ModalAnswerer answerer;
    answerer.click(QStringLiteral("closeButton"));
    MainWindow failing;
    QVERIFY(start(failing));
    QCOMPARE(answerer.titles(), QStringList {QStringLiteral("VUX Yum Error")});
    QString const text = answerer.texts().value(0);
    QVERIFY2(text.contains(QLatin1String("Config error: Parsing file")), qPrintable(text));
    QVERIFY2(text.endsWith(QLatin1String("Unable to initialize")), qPrintable(text));
    QVERIFY(failing.startFailed());
}

// The interpreter ended with each failed engine; a new window starts a new
// one that works as the first did. "&Quit" then ends it.
void TestStartup::startsAgainAndQuits()
{
    ModalAnswerer answerer;
    MainWindow again;
    QVERIFY(start(again));
    QCOMPARE(answerer.texts(), QStringList());
    QVERIFY(!again.startFailed());
    YumIO* engine = again.engine();
    QVERIFY(engine->getFiles(*engine->findEntry(false, QStringLiteral("aurora")))
                .contains(QLatin1String("/etc/aurora.conf")));

    QVERIFY(QMetaObject::invokeMethod(&again, "displayLog"));
    QVERIFY(logWindow()->isVisible());
    action(again, QStringLiteral("&Quit"))->trigger();
    QVERIFY(!again.isVisible());
    QVERIFY(!logWindow()->isVisible());
    QCOMPARE(again.engine(), nullptr);
    QVERIFY(!Py_IsInitialized());
    QVERIFY(!again.startFailed());
    // Neither a second quit nor the log has an engine left to reach.
    QVERIFY(QMetaObject::invokeMethod(&again, "quit"));
    QVERIFY(QMetaObject::invokeMethod(&again, "displayLog"));
    QVERIFY(!logWindow()->isVisible());
}

void TestStartup::repositoryOptions_data()
{
    QTest::addColumn<QList<YumRepoEnabled>>("options");
    QTest::addColumn<bool>("updates");
    QTest::addColumn<QString>("error");
    QString const noneEnabled = QStringLiteral(
        "No repositories are enabled.\nUnder the Repositories menu, Edit Configuration can be "
        "used to configure repositories.");
    QTest::newRow("--disablerepo=* --enablerepo=base")
        << QList<YumRepoEnabled> {YumRepoEnabled(false, QStringLiteral("*")),
               YumRepoEnabled(true, QStringLiteral("base"))}
        << false << QString();
    QTest::newRow("--disablerepo=*")
        << QList<YumRepoEnabled> {YumRepoEnabled(false, QStringLiteral("*"))} << false
        << noneEnabled;
}

// The repository options of the command line decide what the start-up
// collects.
void TestStartup::repositoryOptions()
{
    QFETCH(QList<YumRepoEnabled>, options);
    QFETCH(bool, updates);
    QFETCH(QString, error);
    ModalAnswerer answerer;
    answerer.alwaysClick(QStringLiteral("button0"));
    MainWindow window;
    window.repoEnabledList = options;
    QVERIFY(start(window));
    QVERIFY(window.isVisible());
    QVERIFY(!window.startFailed());
    QCOMPARE(answerer.texts(), error.isEmpty() ? QStringList() : QStringList {error});
    YumIO& engine = *window.engine();
    if (!error.isEmpty()) {
        QCOMPARE(engine.count(), 0);
    } else {
        QCOMPARE(engine.findEntry(false, QStringLiteral("aurora"))->state,
            updates ? Package::Updatable : Package::Installed);
        QCOMPARE(engine.findEntry(false, QStringLiteral("helix")) != nullptr, updates);
        QVERIFY(engine.findEntry(false, QStringLiteral("ember")));
    }
    QMetaObject::invokeMethod(&window, "quit");
}

QTEST_MAIN(TestStartup)
#include "TestStartup.moc"
