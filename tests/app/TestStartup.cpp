// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "StartupSupport.h"

#include "app/CommandLine.h"
#include "app/DesktopSession.h"
#include "app/WindowSettings.h"
#include "log/LogWindow.h"
#include "packagetable/PackageTableModel.h"
#include "packagetable/PackageTableSortFilterProxyModel.h"
#include "packagetable/PackageTableView.h"
#include "repo/RepoEditorConfigDialog.h"
#include "repo/RepoEditorDialog.h"
#include "support/EngineFixture.h"
#include "widgets/PasswdTextEdit.h"
#include "yumio/RowCache.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTcpServer>
#include <QTemporaryDir>

#include <csignal>
#include <unistd.h>
#include <vector>

using namespace StartupSupport;
using namespace PackageTable;
using DesktopSession::Environment;

namespace {

// No display of any kind, as on a console or over ssh without forwarding.
QProcessEnvironment withoutDisplayEnvironment(QString const& share)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (char const* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "LANGUAGE"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("VUXSHARE"), share);
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return environment;
}

// A repository server that takes connections and never answers.
struct SilentServer : QTcpServer
{
    SilentServer() { listen(QHostAddress::LocalHost); }
    int port() const { return serverPort(); }
};

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

QString cacheFile()
{
    return RowCache::fileName(InstallRoot::path());
}

// Whether the cache file on disk would be shown at a start now.
bool cacheValid(QString const& path = cacheFile(), QString const& root = InstallRoot::path())
{
    Package::EntryList rows;
    bool const valid = RowCache::load(path, root, RowCache::options({}), rows);
    return valid && !rows.isEmpty();
}

QByteArray readAll(QString const& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(QString const& path, QByteArray const& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// The directory of one of the sandbox's repositories ("base", "extras").
QString sandboxRepo(char const* name)
{
    return Sandbox::repos()["repos"].toObject()[QLatin1String(name)].toString();
}

// What the window looked like while it showed the cache's rows, taken from
// inside the start (the collection's event loop).
struct Loading
{
    bool seen = false;
    int rows = 0;
    QString title;
    // "loading" in the title and status bar, Refresh off, Space marks nothing
    bool saysLoading = false;
};

// What the window shows: view, groups, ignore case, sort column and order,
// the Name column's width, the Architecture column's place, and whether the
// proxy ignores case as the control says.
QList<int> shown(MainWindow& window)
{
    QHeaderView const* header = window.packageView()->horizontalHeader();
    return {window.findChild<QComboBox*>("stateCombo")->currentIndex(),
        window.findChild<QCheckBox*>("groupsCheck")->isChecked(),
        window.findChild<QCheckBox*>("ignoreCaseCheck")->isChecked(),
        header->sortIndicatorSection(), int(header->sortIndicatorOrder()),
        header->sectionSize(NameColumn), header->visualIndex(ArchitectureColumn),
        window.packageView()->proxyModel()->ignoresCase()};
}

// The same without the Name column's width, which Reset Layout sizes anew.
QList<int> layout(MainWindow& window)
{
    QList<int> values = shown(window);
    values.removeAt(5);
    return values;
}

// Presses a button of the editor itself (its configuration dialog, a child,
// has buttons of the same names) once the answering handler has returned, so
// that a dialog it opens can be answered in turn.
void press(QWidget* editor, char const* button)
{
    QMetaObject::invokeMethod(editor->findChild<QPushButton*>(button, Qt::FindDirectChildrenOnly),
        "click", Qt::QueuedConnection);
}

} // namespace

// The program's life: what it does before its window (reads its command
// line, finds the display session of the user it runs for); then, on one
// sandbox root served over HTTP, its start (with the layout it remembers, the
// log window, a failure, a lock held elsewhere, options that leave no
// repository, the cached rows, the repository editor first) and every way out
// of it.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(root.make(&error), qPrintable(error));
    }
    // Each test starts without cached rows (the cache tests make their own).
    void init() { QFile::remove(cacheFile()); }
    void cleanup()
    {
        // A failed start leaves the busy cursor of the window that quit.
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
    void usageAndErrors_data();
    void usageAndErrors();
    void parse();
    void withoutDisplay_data();
    void withoutDisplay();
    void missingInstallRoot();
    void invokingUid();
    void sessionRestored_data();
    void sessionRestored();
    void parseEnviron();
    void layoutSurvivesARestartUntilReset();
    void failedStart_data();
    void failedStart();
    void lockHeldElsewhere();
    void noRepositoryLeftWithTheLog();
    void cachedRowsShownThenConfirmed();
    void cacheInvalidatedBySystem_data();
    void cacheInvalidatedBySystem();
    void damagedCacheIgnored();
    void cacheCheckedFromItsBeginning();
    void repositoryAddedInTheEditorFirst();
    void closeDuringASilentLoad();
    void signalAtEachMoment_data();
    void signalAtEachMoment();

private:
    // A repository on a server that never answers, for the life of the test;
    // with a directory, read from there, and its package held by the server.
    bool addSilentRepository(SilentServer const& server, QString const& dir = QString())
    {
        QString const url = QStringLiteral("http://127.0.0.1:%1/").arg(server.port());
        if (!dir.isEmpty()) {
            if (!QFile::copy(sandboxRepo("extras") + "/Packages/chatty-1.0-1.noarch.rpm",
                    dir + "/chatty-1.0-1.noarch.rpm")
                || QProcess::execute("createrepo_c", {"--quiet", "--baseurl", url, dir}) != 0)
                return false;
        }
        return server.port() > 0
            && writeAll(root.file("/etc/yum.repos.d/silent.repo"),
                QString("[silent]\nname=Silent\nbaseurl=%1\ngpgcheck=0\n")
                    .arg(dir.isEmpty() ? url + "silent/" : QString("file://" + dir))
                    .toUtf8());
    }
    void removeSilentRepository()
    {
        QFile::remove(root.file(QStringLiteral("/etc/yum.repos.d/silent.repo")));
    }
    // A start to its end; the rows it showed from the cache, if any.
    Loading startWindow()
    {
        Loading loading;
        MainWindow window;
        QTimer poll;
        poll.callOnTimeout([&] {
            YumIO* engine = window.engine();
            if (loading.seen || !engine || !engine->showingCachedRows())
                return;
            PackageTable::View* view = window.packageView();
            view->setFocus();
            view->setCurrentIndex(view->model()->index(1, 1));
            QTest::keyClick(view, Qt::Key_Space);
            loading = {true, window.packageModel()->rowCount(), window.windowTitle(),
                window.windowTitle().contains(MainWindow::tr("(loading)"))
                    && !window.statusBar()->currentMessage().isEmpty()
                    && !window.findChild<QPushButton*>(QStringLiteral("refreshButton"))->isEnabled()
                    && engine->marks().isEmpty()};
        });
        poll.start(1);
        ModalAnswerer answerer;
        answerer.alwaysClick(QStringLiteral("button0"));
        bool const started = start(window);
        poll.stop();
        // The same rows again: the view kept its current row.
        loading.seen = loading.seen && started && window.engine()->cachedRowsKept()
            && window.packageView()->currentIndex().row() == 1
            && window.packageModel()->rowCount() == loading.rows
            && window.windowTitle() != loading.title;
        if (window.engine())
            QMetaObject::invokeMethod(&window, "quit");
        return loading;
    }
    Root root;
    QTemporaryDir settings;
};

// What the main window remembers between runs, in a settings directory of
// the test's own: the layout a user left is the next run's, Reset Layout
// brings back the first run's. (First: no window has saved a layout yet.)
void TestStartup::layoutSurvivesARestartUntilReset()
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    QVERIFY(WindowSettings::fileName().startsWith(settings.path()));
    ModalAnswerer answerer;
    QList<int> first, firstLayout, left;
    QSize size;
    {
        MainWindow window;
        QVERIFY(start(window));
        first = shown(window);
        firstLayout = layout(window);
        QCOMPARE(first.value(0), int(ViewUpdatable));
        window.findChild<QComboBox*>("stateCombo")->setCurrentIndex(ViewSecurity);
        window.findChild<QCheckBox*>("groupsCheck")->setChecked(true);
        window.findChild<QCheckBox*>("ignoreCaseCheck")->setChecked(true);
        QHeaderView* header = window.packageView()->horizontalHeader();
        window.packageView()->setSort(SizeColumn, Qt::DescendingOrder);
        header->resizeSection(NameColumn, first.value(5) + 37);
        header->moveSection(header->visualIndex(ArchitectureColumn), 1);
        window.QWidget::resize(window.size() + QSize(41, 23));
        size = window.size();
        left = shown(window);
        for (int i : {0, 1, 2, 3, 4, 5, 6, 7})
            QVERIFY2(left[i] != first[i], qPrintable(QString::number(i)));
        window.stopAndQuit(false); // as Program, Quit does between commands
    }
    QVERIFY(QFile::exists(WindowSettings::fileName()));
    {
        MainWindow again;
        QVERIFY(start(again));
        QCOMPARE(shown(again), left);
        QCOMPARE(again.size(), size);
        // Reset Layout: the first run's layout, now and at the next run.
        again.findChild<QAction*>("resetLayoutAction")->trigger();
        QCOMPARE(layout(again), firstLayout);
        QVERIFY(!QFile::exists(WindowSettings::fileName())
            || QSettings(WindowSettings::fileName(), QSettings::NativeFormat).allKeys().isEmpty());
        again.stopAndQuit(false);
    }
    // A later Quit keeps the reset layout for the next run.
    WindowSettings const kept = WindowSettings::load();
    QCOMPARE(
        (QList<int> {kept.view, kept.groups, kept.ignoreCase, kept.sortColumn, kept.sortOrder}),
        firstLayout.mid(0, 5));
    QCOMPARE(answerer.answered(), 0);
}

// Without the companion script, or with one that fails as it is read (on a
// thread of its own, while the window shows what it has), the reason comes
// up in an error box naming the script, the window closes, the start
// failed. (dnf's reasons are the engine suites' concern.)
void TestStartup::failedStart_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("raising") << QByteArray("raise RuntimeError('broken on purpose')\n");
}

void TestStartup::failedStart()
{
    QFETCH(QByteArray, script);
    ModalAnswerer answerer;
    answerer.alwaysClick(QStringLiteral("button0"));
    QTemporaryDir share;
    if (!script.isEmpty()) {
        QVERIFY(QDir(share.path()).mkpath(QStringLiteral("python")));
        QFile file(share.filePath(QStringLiteral("python/YumIO.py")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(script) == script.size());
    }
    qputenv("VUXSHARE", QFile::encodeName(share.path()));
    MainWindow failing;
    QVERIFY(start(failing));
    qputenv("VUXSHARE", VUX_SHARE_DIR);
    QCOMPARE(answerer.titles().last(), YumIO::errorTitle());
    QVERIFY2(answerer.texts().last().contains("YumIO.py"), qPrintable(answerer.texts().last()));
    QVERIFY(!failing.isVisible() && failing.startFailed() && !failing.engine());
}

// The root's rpm database lock is held by dnf's own lock code, as another
// package manager would hold it. The start is refused: the error names the
// holder, nothing is collected, the holder's lock is untouched and none of
// ours is left; a close while the error box waits is refused (the worker
// still needs the event loops). Once the holder is gone a refresh collects,
// and a close ends the program. (Another Vux as the holder: the start-up
// dialog row of signalAtEachMoment; a killed holder's files left behind:
// test_script_lock.py's test_no_stale_lock.)
void TestStartup::lockHeldElsewhere()
{
    QProcess dnf;
    dnf.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    dnf.start(QStringLiteral(VUX_TEST_PYTHON),
        {QStringLiteral("-c"),
            QStringLiteral("import sys, dnf.lock\n"
                           "with dnf.lock.build_rpmdb_lock(sys.argv[1], True):\n"
                           "    print('held', flush=True)\n"
                           "    sys.stdin.read()\n"),
            root.file(QStringLiteral("/var/lib/dnf"))});
    QVERIFY(dnf.waitForReadyRead(60000) && dnf.readLine().trimmed() == "held");
    qint64 const holder = dnf.processId();
    {
        ModalAnswerer answerer;
        MainWindow window;
        bool closed = true;
        answerer.answer([&](QWidget* dialog) {
            closed = window.close();
            ModalAnswerer::clickButton(dialog, QStringLiteral("closeButton"));
        });
        QVERIFY(start(window));
        QVERIFY(!closed);
        QCOMPARE(answerer.titles(), QStringList {YumIO::errorTitle()});
        QVERIFY2(answerer.texts().value(0).contains(QString::number(holder)),
            qPrintable(answerer.texts().value(0)));
        QVERIFY(panel(window)->isVisible() && panel(window)->isEnabled());
        QCOMPARE(window.engine()->count(), 0);
        QCOMPARE(root.lockOwners().value(2), holder);
        QVERIFY(!root.lockOwners().contains(QCoreApplication::applicationPid()));

        dnf.closeWriteChannel();
        QVERIFY(dnf.waitForFinished(60000) && dnf.exitCode() == 0);
        window.refresh();
        QCOMPARE(answerer.answered(), 1);
        QVERIFY(window.engine()->findEntry(false, QStringLiteral("aurora")));
        QCOMPARE(root.lockOwners().value(2), QCoreApplication::applicationPid());
        QTimer::singleShot(0, &window, [&] { window.close(); });
        QTimer::singleShot(60000, qApp, [] { QCoreApplication::exit(2); });
        QCOMPARE(QApplication::exec(), 0);
    }
    QCOMPARE(root.lockOwners(), (QList<qint64> {0, 0, 0}));
}

// Started with the log window and options that leave no repository: the log
// is up before the interpreter, so the whole start-up can be followed there;
// the collection fails with the reason, the window stays usable and writes
// no cache; quitting closes the log, ends the interpreter and leaves no lock.
// (Which repositories the options leave on is TestRepo::sessionUse,
// what the engine does with them TestEngineStandin's.)
void TestStartup::noRepositoryLeftWithTheLog()
{
    ShowWatcher watcher;
    qApp->installEventFilter(&watcher);
    ModalAnswerer answerer;
    answerer.alwaysClick(QStringLiteral("button0"));
    MainWindow window;
    window.startLog = true;
    window.repoEnabledList = {YumRepoEnabled(false, QStringLiteral("*"))};
    QVERIFY(start(window));
    qApp->removeEventFilter(&watcher);
    QVERIFY(watcher.shown && !watcher.interpreterRan);
    Log::Window* log = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        log = log ? log : qobject_cast<Log::Window*>(top);
    QVERIFY(log && log->isVisible());
    QVERIFY(window.isVisible() && !window.startFailed());
    QVERIFY(panel(window)->isVisible() && panel(window)->isEnabled());
    QCOMPARE(answerer.texts(), QStringList {YumIO::noRepositoriesEnabled()});
    QCOMPARE(EngineFixture::headings(*window.engine(), "Initialization"), 1);
    QCOMPARE(window.engine()->count(), 0);
    QVERIFY(!QFile::exists(cacheFile())); // a failed collection writes none
    QVERIFY(!window.findChild<QAction*>("cleanPickledCacheAction")->isEnabled()); // none with dnf
    window.findChild<QAction*>("quitAction")->trigger();
    QVERIFY(!window.isVisible() && !log->isVisible() && !window.engine());
    QVERIFY(!Py_IsInitialized());
    QCOMPARE(root.lockOwners(), (QList<qint64> {0, 0, 0}));
}

// The first start writes the cache; the next shows it at once, marks and the
// commands that need the package manager off and "loading" in the title and
// status bar, then keeps the same rows and view once dnf has loaded.
void TestStartup::cachedRowsShownThenConfirmed()
{
    QVERIFY(!startWindow().seen);
    QVERIFY(cacheValid());
    Loading const second = startWindow();
    QVERIFY(second.seen && second.saysLoading);
    QVERIFY(second.rows > 5);
}

void TestStartup::cacheInvalidatedBySystem_data()
{
    QTest::addColumn<QString>("change");
    for (char const* change :
        {"repository added", "repository disabled", "repository refreshed", "rpm install"})
        QTest::newRow(change) << QString::fromLatin1(change);
}

// What the rows are made of changed behind the program's back: the cache is
// no longer shown, and the next collection writes a valid one.
void TestStartup::cacheInvalidatedBySystem()
{
    QFETCH(QString, change);
    startWindow();
    QVERIFY(cacheValid());
    QString const repoDir = root.file(QStringLiteral("/etc/yum.repos.d"));
    QString const updates = repoDir + QStringLiteral("/updates.repo");
    QByteArray const saved = readAll(updates);
    if (change == QLatin1String("repository added")) {
        QVERIFY(writeAll(repoDir + QStringLiteral("/more.repo"),
            "[more]\nname=More\nbaseurl=file:///nowhere\nenabled=0\n"));
    } else if (change == QLatin1String("repository disabled")) {
        QVERIFY(writeAll(updates, saved + "enabled=0\n"));
    } else if (change == QLatin1String("repository refreshed")) {
        QDir cache(root.file(QStringLiteral("/var/cache/yum")));
        QStringList const dirs = cache.entryList({QStringLiteral("updates-*")}, QDir::Dirs);
        QVERIFY(!dirs.isEmpty());
        QString const repomd = cache.filePath(dirs.first() + "/repodata/repomd.xml");
        QVERIFY(writeAll(repomd, readAll(repomd) + "\n"));
    } else {
        QCOMPARE(
            QProcess::execute("rpm",
                {"--root", root.file(), "-i", "--nodeps", "--nosignature", "--noscripts",
                    "--replacepkgs", sandboxRepo("base") + "/Packages/cobalt-0.9-1.noarch.rpm"}),
            0);
    }
    QVERIFY(!cacheValid());
    QVERIFY(!startWindow().seen);
    QVERIFY(cacheValid());
    QFile::remove(repoDir + QStringLiteral("/more.repo"));
    QVERIFY(writeAll(updates, saved));
}

// A file that is not whole, not of this format or of another root is never
// read as rows: the start reads it with the same RowCache::load, and that
// the next collection writes a valid one is cacheInvalidatedBySystem's.
void TestStartup::damagedCacheIgnored()
{
    startWindow();
    QVERIFY(cacheValid());
    QByteArray const good = readAll(cacheFile());
    QByteArray changed = good, magic = good, version = good;
    changed[good.size() - 30] = char(good[good.size() - 30] ^ 0x20);
    magic[0] = 'X';
    version[8] = char(good[8] + 1);
    for (QByteArray const& bad : {changed, good.left(good.size() / 2), magic, version}) {
        QVERIFY(writeAll(cacheFile(), bad));
        QVERIFY(!cacheValid());
    }
    QString const otherRoot = root.file(QStringLiteral("-other"));
    QVERIFY(writeAll(RowCache::fileName(otherRoot), good));
    QVERIFY(!cacheValid(RowCache::fileName(otherRoot), otherRoot));
    QFile::remove(RowCache::fileName(otherRoot));
}

// Whether a file still describes the system is told by its beginning, read
// alone; sources reaching beyond the first piece read are read whole.
void TestStartup::cacheCheckedFromItsBeginning()
{
    QTemporaryDir dir;
    RowCache::Sources sources;
    for (int i = 0; i < 3000; ++i) // about 450 KiB of sources
        sources.files.append(dir.filePath(QStringLiteral("%1-%2").arg(i).arg(QString(100, 'x'))));
    Package::EntryList rows;
    rows.append(new Package::Entry);
    rows.first()->name = QStringLiteral("one");
    QString const file = dir.filePath(QStringLiteral("rows.cache"));
    QByteArray const options = RowCache::options({});
    QVERIFY(RowCache::save(file, root.file(), options, sources, rows));
    QVERIFY(RowCache::current(file, root.file(), options));
    for (QString const& source : {sources.files.last(), sources.files.first()}) {
        QVERIFY(writeAll(source, "changed"));
        QVERIFY(!RowCache::current(file, root.file(), options));
        QVERIFY(QFile::remove(source));
        QVERIFY(RowCache::current(file, root.file(), options));
    }
}

// The repository editor in the real window, started with -r so that it
// comes first: a repository added there is collected. (That Perm writes
// enabled=0 is TestRepo's, that dnf reads the written files so is
// its corpus test.)
void TestStartup::repositoryAddedInTheEditorFirst()
{
    // The root without its updates repository (put back at the end).
    QString const updates = root.file(QStringLiteral("/etc/yum.repos.d/updates.repo"));
    QByteArray const saved = readAll(updates);
    QVERIFY(QFile::remove(updates));

    ModalAnswerer answerer;
    // Started with -r: the editor comes first; Add a repository there.
    answerer.answer([](QWidget* editor) { press(editor, "addButton"); });
    QString const url = root.server.url() + "/updates/";
    answerer.answer([url](QWidget* config) {
        config->findChild<QLineEdit*>("identifier")->setText("updates");
        config->findChild<QLineEdit*>("name")->setText("Sandbox updates");
        config->findChild<PasswdTextEdit*>("urls")->setRealPlainText(url);
        config->findChild<QComboBox*>("gpgcheck")->setCurrentIndex(0);
        ModalAnswerer::clickButton(config, "okButton");
    });
    answerer.answer([](QWidget* editor) { press(editor, "okButton"); });
    MainWindow window;
    window.startRepoEditor = true;
    QVERIFY(start(window));
    QString const editorTitle = window.findChild<RepoEditor::Dialog*>()->windowTitle();
    QCOMPARE(answerer.titles(),
        QStringList({editorTitle, window.findChild<RepoEditor::ConfigDialog*>()->windowTitle(),
            editorTitle}));
    QVERIFY(panel(window)->isVisible());
    // Used in this session by its Enabled default, and collected.
    QCOMPARE(window.sessionUseMap().value("updates"), true);
    QVERIFY(window.engine()->findEntry(false, QStringLiteral("helix")));
    QCOMPARE(readAll(updates),
        "[updates]\nname=Sandbox updates\nbaseurl=" + url.toLatin1() + "\ngpgcheck=0\n");

    QVERIFY(QMetaObject::invokeMethod(&window, "quit"));
    QVERIFY(writeAll(updates, saved));
}

// Every way out of the program ends it.
// The window's close button while the repositories load from a server that
// never answers: asked, the load is stopped at once, the lock released and
// the program ends, with no error to read.
void TestStartup::closeDuringASilentLoad()
{
    SilentServer server;
    QVERIFY(addSilentRepository(server));
    ModalAnswerer answerer;
    answerer.click(QStringLiteral("yesButton"));
    QElapsedTimer clock;
    int status = -1;
    {
        MainWindow window;
        window.show();
        QTimer::singleShot(3000, &window, [&] {
            QVERIFY(!window.close()); // not before the operation has stopped
        });
        QTimer::singleShot(60000, qApp, [] { QCoreApplication::exit(2); });
        clock.start();
        status = QApplication::exec();
        QVERIFY(!window.isVisible() && !window.engine());
    }
    removeSilentRepository();
    QCOMPARE(status, 0);
    QVERIFY2(clock.elapsed() < 25000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(answerer.titles(), QStringList {QStringLiteral("VUX")});
    QCOMPARE(root.lockOwners(), (QList<qint64> {0, 0, 0}));
}

void TestStartup::signalAtEachMoment_data()
{
    QTest::addColumn<QString>("moment");
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("reach"); // what the driven copy says then; empty: vux itself
    QTest::addColumn<QString>("drive"); // VUX_DRIVE
    auto const row = [](char const* tag, char const* moment, int signal, QString const& reach,
                         char const* drive = "") {
        QTest::newRow(tag) << QString(moment) << signal << reach << QString(drive);
    };
    row("before the window exists, SIGHUP", "before the window", SIGHUP, {});
    row("start-up error dialog, SIGTERM", "start-up dialog", SIGTERM,
        "dialog " + YumIO::errorTitle());
    row("collection, SIGTERM", "collection", SIGTERM, {});
    row("transaction confirmation, SIGINT", "confirmation", SIGINT, "dialog Apply", "apply:ember");
    row("download before rpm runs, SIGQUIT", "download", SIGQUIT, "dialog Apply",
        "apply-confirmed:chatty");
    row("repository editor at the start, SIGINT", "editor", SIGINT,
        "dialog VUX Repository Configuration Editor");
    row("cached rows shown, dnf loading, SIGINT", "rows", SIGINT, "rows");
    row("between commands, SIGHUP", "ready", SIGHUP, "ready");
    row("while the engine goes, SIGTERM", "engine goes", SIGTERM, "ready");
}

// The program, ended by a signal at each moment of its life: whatever it
// waits for (a question, a silent server, the start), it ends within a few
// seconds, with status 0, having changed nothing and holding no lock.
void TestStartup::signalAtEachMoment()
{
    QFETCH(QString, moment);
    QFETCH(int, signal);
    QFETCH(QString, reach);
    QFETCH(QString, drive);
    if (moment == QLatin1String("engine goes") && geteuid() != 0)
        QSKIP("making the cache read-only needs a mount, so root");
    QStringList const installed = EngineFixture::rpmQa(root.file());
    SilentServer server;
    QTemporaryDir packages;
    Program holder; // another Vux on the same root
    Program vux;
    if (moment == QLatin1String("start-up dialog")) {
        QVERIFY(holder.start(root));
        QTRY_COMPARE_WITH_TIMEOUT(root.lockOwners().value(2), holder.pid(), 300000);
    } else if (moment == QLatin1String("collection") || moment == QLatin1String("download")) {
        QVERIFY(addSilentRepository(server, moment == "download" ? packages.path() : QString()));
    } else if (moment == QLatin1String("rows")) {
        Program first; // leaves the rows cached
        QVERIFY(first.start(root, true));
        QVERIFY(first.reaches(QStringLiteral("ready")));
        QVERIFY(first.endsOn(SIGTERM));
    }
    QVERIFY(vux.start(root, !reach.isEmpty(), drive, moment == "before the window" ? signal : 0,
        moment == "editor" ? QStringList {"--repo-editor"} : QStringList()));
    QVERIFY(reach.isEmpty() || vux.reaches(reach));
    if (moment == QLatin1String("collection")) {
        QTRY_COMPARE_WITH_TIMEOUT(root.lockOwners().value(2), vux.pid(), 60000);
        QTest::qWait(3000); // waiting for the silent server
        QVERIFY(vux.running());
    } else if (moment == QLatin1String("download")) {
        QTRY_VERIFY_WITH_TIMEOUT(server.hasPendingConnections(), 60000);
    }
    // The engine's last words: the lock it cannot release in a read-only cache.
    bool const ended = moment == QLatin1String("engine goes")
        ? EngineFixture::readOnly(
            root.file(QStringLiteral("/var/cache/yum")), [&] { return vux.endsOn(signal); })
        : vux.endsOn(signal);
    removeSilentRepository();
    QVERIFY2(ended, "still running, or ended badly");
    QCOMPARE(EngineFixture::rpmQa(root.file()), installed);
    if (moment == QLatin1String("start-up dialog")) {
        QCOMPARE(root.lockOwners().value(2), holder.pid()); // untouched
        QVERIFY(holder.endsOn(SIGTERM));
    }
    if (moment == QLatin1String("engine goes")) {
        // What the cache kept: lock files naming a process that is gone.
        for (QString const& name : root.lockFiles())
            QFile::remove(name);
    }
    QCOMPARE(root.lockOwners(), (QList<qint64> {0, 0, 0}));
}

void TestStartup::usageAndErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");
    auto const row = [](char const* tag, QStringList const& arguments, char const* message) {
        QTest::newRow(tag) << arguments << QByteArray(message);
    };
    row("--help", {"-l", "--help"}, "");
    // Answered like --help, but as a success.
    row("--version", {"-l", "--version"}, "vux " VUX_VERSION "\n");
    // The toolkit's options and their values are left out, wherever they stand.
    row("toolkit options are the toolkit's",
        {"-style", "fusion", "--platform", "xcb", "-reverse", "-H"}, "");
    row("-style without a value is no toolkit option", {"-style"},
        "vux: unrecognized option letter: s\n");
    row("parsing stops at the first argument", {"-l", "extra", "-z"},
        "vux: unrecognized argument: extra\n");
    row("unknown letter in a cluster", {"-lz"}, "vux: unrecognized option letter: z\n");
    row("unknown long option", {"--bogus=1"}, "vux: unrecognized option: --bogus=1\n");
    row("--version given a value", {"--version=1"}, "vux: unrecognized option: --version=1\n");
    row("--disablerepo without its argument", {"-r", "--disablerepo"},
        "vux: option requires an argument: --disablerepo\n");
    row("empty --installroot", {"--installroot="},
        "vux: option requires an argument: --installroot\n");
}

// The real program, with no display at all: the reason on standard error, the
// usage text on standard output, status 1 (--version: its answer, status 0).
void TestStartup::usageAndErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    QTemporaryDir empty;
    Ended const vux = run(arguments, withoutDisplayEnvironment(empty.path()));
    program = "vux";
    bool const version = arguments.contains(QStringLiteral("--version"));
    QCOMPARE(vux.code, version ? 0 : 1);
    QCOMPARE(vux.err, version ? QByteArray() : message);
    QCOMPARE(vux.out, version ? message : CommandLine::usageText());
}

// In process: repository options in order, their wildcards matching whole
// identifiers, the install root made absolute.
void TestStartup::parse()
{
    program = "vux";
    QList<QByteArray> arguments {"/usr/bin/vux", "-lr", "--enablerepo=updates*", "--disablerepo",
        "a.b?", "--installroot", "sandbox/../root/"};
    std::vector<char*> argv;
    for (QByteArray& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    CommandLineOptions options;
    QByteArray message;
    QVERIFY(CommandLine::parse(int(arguments.size()), argv.data(), options, message));
    QCOMPARE(message, QByteArray());
    QVERIFY(options.log && options.repoEditor && !options.help);
    QCOMPARE(options.installRoot, QDir::current().absoluteFilePath(QStringLiteral("root")));
    QCOMPARE(options.repoEnabledList.size(), 2);
    YumRepoEnabled const& enable = options.repoEnabledList[0];
    YumRepoEnabled const& disable = options.repoEnabledList[1];
    QVERIFY(enable.enabled && !disable.enabled);
    // Each wildcard matches the first of its names alone.
    for (char const* name : {"updates-testing", "my-updates", "Updates"})
        QVERIFY2(enable.matches(name) == !qstrcmp(name, "updates-testing"), name);
    for (char const* name : {"a.b1", "a.b10", "axb1"})
        QVERIFY2(disable.matches(name) == !qstrcmp(name, "a.b1"), name);
}

void TestStartup::withoutDisplay_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("source language")
        << QStringLiteral("C.UTF-8")
        << QByteArray("vux: cannot open a display: DISPLAY and WAYLAND_DISPLAY are not set.\n");
    // The catalogue the program carries, chosen by the user's locale.
    QTest::newRow("German") << QStringLiteral("de_DE.UTF-8")
                            << QByteArray("vux: keine Anzeige verf\xc3\xbcgbar: DISPLAY und "
                                          "WAYLAND_DISPLAY sind nicht gesetzt.\n");
}

// The window needs a display: without one the program says so and ends with
// status 1 instead of aborting in the toolkit.
void TestStartup::withoutDisplay()
{
    QFETCH(QString, locale);
    QFETCH(QByteArray, message);
    QTemporaryDir empty;
    QProcessEnvironment environment = withoutDisplayEnvironment(empty.path());
    environment.insert(QStringLiteral("LC_ALL"), locale);
    Ended const vux = run({QStringLiteral("-l")}, environment);
    QCOMPARE(vux.code, 1);
    QCOMPARE(vux.out, QByteArray());
    QVERIFY2(vux.err.startsWith(message) && vux.err.contains("vux --help"), vux.err.constData());
}

// A root that does not exist is refused before anything is made there.
void TestStartup::missingInstallRoot()
{
    QTemporaryDir dir;
    QString const missing = dir.path() + QStringLiteral("/no/such/root");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    Ended const vux = run({QStringLiteral("--installroot=") + missing}, environment);
    QCOMPARE(vux.code, 1);
    QCOMPARE(vux.err, "vux: install root " + QFile::encodeName(missing) + " is not a directory\n");
    QVERIFY(!QFileInfo::exists(dir.path() + QStringLiteral("/no")));
}

// Before the window: the display session of the user who asked for a root
// program (the privilege path's own pieces; the path end to end is
// tests/install/test_privilege_path.py).
// Only root acts for someone else; pkexec's word counts before sudo's.
void TestStartup::invokingUid()
{
    Environment const both {{"PKEXEC_UID", "1000"}, {"SUDO_UID", "1001"}};
    QCOMPARE(DesktopSession::invokingUid(both, true), 1000L);
    QCOMPARE(DesktopSession::invokingUid(both, false), -1L);
    QCOMPARE(DesktopSession::invokingUid({{"SUDO_UID", "1001"}}, true), 1001L);
    QCOMPARE(DesktopSession::invokingUid({{"PKEXEC_UID", "0"}}, true), -1L);
    QCOMPARE(DesktopSession::invokingUid({{"PKEXEC_UID", "x1"}}, true), -1L);
    QCOMPARE(DesktopSession::invokingUid({}, true), -1L);
}

void TestStartup::sessionRestored_data()
{
    QTest::addColumn<Environment>("own");
    QTest::addColumn<Environment>("invoking");
    QTest::addColumn<bool>("homeAuthority");
    QTest::addColumn<bool>("platformChosen");
    QTest::addColumn<Environment>("expected");

    Environment const session {{"DISPLAY", ":0"}, {"XAUTHORITY", "/run/user/1000/xauth_x"},
        {"WAYLAND_DISPLAY", "wayland-0"}};
    QTest::newRow("pkexec stripped everything")
        << Environment() << session << false << false
        << Environment {{"DISPLAY", ":0"}, {"XAUTHORITY", "/run/user/1000/xauth_x"},
               {"QT_QPA_PLATFORM", "xcb"}};
    QTest::newRow("allow_gui kept the display; the authority is in the home")
        << Environment {{"DISPLAY", ":1"}} << Environment() << true << false
        << Environment {{"XAUTHORITY", "HOME/.Xauthority"}, {"QT_QPA_PLATFORM", "xcb"}};
    QTest::newRow("what is set stays")
        << Environment {{"DISPLAY", ":2"}, {"XAUTHORITY", "/a"}, {"QT_QPA_PLATFORM", "wayland"}}
        << session << true << false << Environment();
    QTest::newRow("-platform on the command line")
        << Environment() << session << false << true
        << Environment {{"DISPLAY", ":0"}, {"XAUTHORITY", "/run/user/1000/xauth_x"}};
    QTest::newRow("a Wayland session without Xwayland: nothing to reach")
        << Environment() << Environment {{"WAYLAND_DISPLAY", "wayland-0"}} << true << false
        << Environment();
    QTest::newRow("no authority file anywhere")
        << Environment() << Environment {{"DISPLAY", ":0"}} << false << false
        << Environment {{"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "xcb"}};
}

void TestStartup::sessionRestored()
{
    QFETCH(Environment, own);
    QFETCH(Environment, invoking);
    QFETCH(bool, homeAuthority);
    QFETCH(bool, platformChosen);
    QFETCH(Environment, expected);
    QTemporaryDir home;
    QByteArray const homePath = QFile::encodeName(home.path());
    if (homeAuthority) {
        QFile authority(home.filePath(QStringLiteral(".Xauthority")));
        QVERIFY(authority.open(QIODevice::WriteOnly));
    }
    for (QByteArray& value : expected)
        value.replace("HOME", homePath);
    QCOMPARE(DesktopSession::restored(own, invoking, homePath, platformChosen), expected);
}

void TestStartup::parseEnviron()
{
    static char const data[] = "DISPLAY=:0\0XAUTHORITY=/x=y\0=bad\0EMPTY=\0noequals\0";
    QByteArray const records(data, sizeof data - 1);
    Environment const parsed = DesktopSession::parseEnviron(records);
    QCOMPARE(parsed, Environment({{"DISPLAY", ":0"}, {"XAUTHORITY", "/x=y"}, {"EMPTY", ""}}));
}

QTEST_MAIN(TestStartup)
#include "TestStartup.moc"
