// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "StartupSupport.h"

#include "log/LogWindow.h"
#include "support/EngineFixture.h"

using namespace StartupSupport;

namespace {

Log::Window* logWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Log::Window*>(widget))
            return window;
    }
    return nullptr;
}

// Notes whether the interpreter ran when a log window was first shown.
struct ShowWatcher : QObject
{
    bool shown = false;
    bool interpreterRan = false;
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Show && !shown && qobject_cast<Log::Window*>(object)) {
            shown = true;
            interpreterRan = Py_IsInitialized();
        }
        return false;
    }
};

int collections(MainWindow& window)
{
    return EngineFixture::headings(*window.engine(), QStringLiteral("Initialization"));
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(root.make(&error), qPrintable(error));
    }
    void cleanup()
    {
        // A failed start leaves the busy cursor of the window that quit.
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
    void startsWithLogWindow();
    void failedStarts();
    void repositoryOptions_data();
    void repositoryOptions();

private:
    Root root;
};

void TestStartup::startsWithLogWindow()
{
    ShowWatcher watcher;
    qApp->installEventFilter(&watcher);
    ModalAnswerer answerer;
    MainWindow window;
    window.startLog = true;
    QVERIFY(start(window));
    qApp->removeEventFilter(&watcher);
    QCOMPARE(answerer.texts(), QStringList());
    // Up before the interpreter, so the whole start-up can be followed there.
    QVERIFY(watcher.shown && !watcher.interpreterRan);
    QVERIFY(logWindow()->isVisible());
    QVERIFY(panel(window)->isVisible() && panel(window)->isEnabled());
    QCOMPARE(collections(window), 1);
    QCOMPARE(
        window.engine()->findEntry(false, QStringLiteral("aurora"))->state, Package::Updatable);
    auto const action
        = [&window](char const* name) { return window.findChild<QAction*>(QLatin1String(name)); };
    QVERIFY(action("cleanAllAction")->isEnabled());
    QVERIFY(!action("cleanPickledCacheAction")->isEnabled()); // none with dnf

    // Each command runs in a busy frame and collects again where it must.
    for (auto [slot, collects] : {std::pair {"refresh", 1}, {"cleanPackages", 0}}) {
        int const before = collections(window);
        QVERIFY(QMetaObject::invokeMethod(&window, slot));
        QCOMPARE(answerer.texts(), QStringList());
        QVERIFY2(collections(window) == before + collects, slot);
        QVERIFY(window.engine()->findEntry(false, QStringLiteral("aurora")));
        QVERIFY(panel(window)->isEnabled());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }
    action("quitAction")->trigger();
    QVERIFY(!window.isVisible() && !logWindow()->isVisible());
    QCOMPARE(window.engine(), nullptr);
}

// The reason comes up in an error box (naming what failed), the window
// closes, the start failed.
void TestStartup::failedStarts()
{
    auto fails = [](QString const& button, QString const& named) {
        ModalAnswerer answerer;
        answerer.click(button);
        MainWindow failing;
        QVERIFY(start(failing));
        QCOMPARE(answerer.titles(), QStringList {YumIO::errorTitle()});
        QString const text = answerer.texts().value(0);
        QVERIFY2(text.contains(named), qPrintable(text));
        QVERIFY(!failing.isVisible() && failing.startFailed() && !failing.engine());
    };
    QTemporaryDir empty;
    qputenv("VUXSHARE", QFile::encodeName(empty.path()));
    fails(QStringLiteral("button0"), QStringLiteral("YumIO.py"));
    qputenv("VUXSHARE", VUX_SHARE_DIR);

    // dnf's reason, in the scrollable box.
    QFile conf(root.file(QStringLiteral("/etc/yum.conf")));
    QVERIFY(conf.open(QIODevice::ReadWrite));
    QByteArray const saved = conf.readAll();
    conf.resize(0);
    conf.write("[main\ncachedir=/var/cache/yum\n");
    conf.flush();
    fails(QStringLiteral("closeButton"), QStringLiteral("Parsing file"));
    conf.resize(0);
    conf.write(saved);
}

void TestStartup::repositoryOptions_data()
{
    QTest::addColumn<QList<YumRepoEnabled>>("options");
    QTest::addColumn<QStringList>("errors");
    QTest::newRow("--disablerepo=* --enablerepo=base") << QList<YumRepoEnabled> {
        YumRepoEnabled(false, QStringLiteral("*")),
        YumRepoEnabled(true, QStringLiteral("base"))} << QStringList();
    QTest::newRow("--disablerepo=*")
        << QList<YumRepoEnabled> {YumRepoEnabled(false, QStringLiteral("*"))}
        << QStringList {YumIO::noRepositoriesEnabled()};
}

// After the failed starts a new window works, collecting what the repository
// options leave; quitting ends the interpreter and leaves no lock.
void TestStartup::repositoryOptions()
{
    QFETCH(QList<YumRepoEnabled>, options);
    QFETCH(QStringList, errors);
    ModalAnswerer answerer;
    answerer.alwaysClick(QStringLiteral("button0"));
    MainWindow window;
    window.repoEnabledList = options;
    QVERIFY(start(window));
    QVERIFY(window.isVisible() && !window.startFailed());
    QCOMPARE(answerer.texts(), errors);
    YumIO& engine = *window.engine();
    if (errors.isEmpty()) {
        QCOMPARE(engine.findEntry(false, QStringLiteral("aurora"))->state, Package::Installed);
        QVERIFY(!engine.findEntry(false, QStringLiteral("helix")));
        QVERIFY(engine.getFiles(*engine.findEntry(false, QStringLiteral("aurora")))
                    .contains(QLatin1String("/etc/aurora.conf")));
    } else {
        QCOMPARE(engine.count(), 0);
    }
    QVERIFY(QMetaObject::invokeMethod(&window, "quit"));
    QVERIFY(!Py_IsInitialized());
    QCOMPARE(root.lockOwners(), (QList<qint64> {0, 0, 0}));
}

QTEST_MAIN(TestStartup)
#include "TestStartup.moc"
