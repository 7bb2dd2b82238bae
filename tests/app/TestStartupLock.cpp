#include "python/PythonHeaders.h"

#include "StartupSupport.h"

#include "config-vux-tests.h"
#include "support/ModalAnswerer.h"
#include "yumio/YumIO.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <QtTest>

using namespace StartupSupport;

namespace {

// Another package manager: dnf's own lock code holds the rpm database lock of
// the root until its standard input closes.
char const holderScript[] = "import sys, dnf.lock\n"
                            "with dnf.lock.build_rpmdb_lock(sys.argv[1], True):\n"
                            "    print('held', flush=True)\n"
                            "    sys.stdin.read()\n";

// The lock files the companion script takes for a root configured with
// cachedir=/var/cache/yum.
QStringList lockFiles(Root const& root)
{
    return {root.file(QStringLiteral("/var/cache/yum/metadata_lock.pid")),
        root.file(QStringLiteral("/var/cache/yum/download_lock.pid")),
        root.file(QStringLiteral("/var/lib/dnf/rpmdb_lock.pid"))};
}

// The pid in a lock file, 0 when there is no such file.
qint64 owner(QString const& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readAll().trimmed().toLongLong();
}

QString ownersText(Root const& root)
{
    QStringList owners;
    for (QString const& path : lockFiles(root))
        owners.append(QStringLiteral("%1=%2").arg(QFileInfo(path).fileName()).arg(owner(path)));
    return owners.join(QLatin1Char(' '));
}

bool noLockFiles(Root const& root)
{
    for (QString const& path : lockFiles(root)) {
        if (QFile::exists(path))
            return false;
    }
    return true;
}

class Holder
{
public:
    bool start(Root const& root)
    {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(VUX_TEST_PYTHON),
            {QStringLiteral("-c"), QString::fromLatin1(holderScript),
                root.file(QStringLiteral("/var/lib/dnf"))});
        return process.waitForReadyRead(60000) && process.readLine().trimmed() == "held";
    }
    qint64 pid() const { return process.processId(); }
    bool end()
    {
        process.closeWriteChannel();
        return process.waitForFinished(60000) && process.exitCode() == 0;
    }
    ~Holder()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(10000);
        }
    }

private:
    QProcess process;
};

} // namespace

class TestStartupLock : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void heldByAnotherPackageManager();
    void closeRefusedWhileStartupRuns();
    void secondVuxRefused();

private:
    void checkRefused(ModalAnswerer const& answerer, MainWindow& window, qint64 holder);
    Root root;
};

void TestStartupLock::initTestCase()
{
    setProgram();
    qputenv("VUXSHARE", VUX_SHARE_DIR);
    QString error;
    QVERIFY2(root.make(&error), qPrintable(error));
    InstallRoot::set(root.path());
}

void TestStartupLock::init()
{
    QVERIFY2(noLockFiles(root), qPrintable(ownersText(root)));
}

void TestStartupLock::cleanup()
{
    restoreCursor();
}

// A refused start: the error names the holder, nothing is collected, the
// holder's lock is untouched and no lock file of ours is left.
void TestStartupLock::checkRefused(ModalAnswerer const& answerer, MainWindow& window, qint64 holder)
{
    QCOMPARE(answerer.titles(), QStringList {QStringLiteral("VUX Yum Error")});
    QString const text = answerer.texts().value(0);
    QVERIFY2(text.contains(QStringLiteral("Unable to obtain yum lock")), qPrintable(text));
    QVERIFY2(text.contains(QString::number(holder)), qPrintable(text));
    QVERIFY(!window.startFailed());
    QVERIFY(window.engine());
    QCOMPARE(window.engine()->count(), 0);
    QStringList const files = lockFiles(root);
    QCOMPARE(owner(files[2]), holder);
    for (QString const& path : files)
        QVERIFY2(owner(path) != QCoreApplication::applicationPid(), qPrintable(ownersText(root)));
}

void TestStartupLock::heldByAnotherPackageManager()
{
    Holder holder;
    QVERIFY(holder.start(root));
    {
        ModalAnswerer answerer;
        answerer.click(QStringLiteral("closeButton"));
        MainWindow window;
        QVERIFY(start(window));
        checkRefused(answerer, window, holder.pid());
        // The window is usable: once the other manager is done, a refresh
        // takes the lock and collects.
        QVERIFY(panel(window)->isEnabled());
        QVERIFY(holder.end());
        window.refresh();
        QCOMPARE(answerer.answered(), 1);
        QVERIFY(window.engine()->findEntry(false, QStringLiteral("aurora")));
        QCOMPARE(owner(lockFiles(root)[2]), QCoreApplication::applicationPid());
        QMetaObject::invokeMethod(&window, "quit");
        QVERIFY2(noLockFiles(root), qPrintable(ownersText(root)));
    }
    // A new start after all that.
    ModalAnswerer answerer;
    MainWindow window;
    QVERIFY(start(window));
    QCOMPARE(answerer.texts(), QStringList());
    QVERIFY(window.engine()->findEntry(false, QStringLiteral("aurora")));
    QMetaObject::invokeMethod(&window, "quit");
    QVERIFY2(noLockFiles(root), qPrintable(ownersText(root)));
}

// Closing the window while the start-up collection runs (here it waits on
// the lock error box) is refused: the event loops the worker needs stay up.
// A later close ends the program.
void TestStartupLock::closeRefusedWhileStartupRuns()
{
    Holder holder;
    QVERIFY(holder.start(root));
    ModalAnswerer answerer;
    answerer.click(QStringLiteral("closeButton"));
    MainWindow window;
    bool closedDuringStartup = true;
    QTimer::singleShot(0, &window, [&] {
        window.show();
        // Runs in the start-up's nested event loop, after initialize() began.
        QTimer::singleShot(0, &window, [&] { closedDuringStartup = window.close(); });
    });
    // Once the start-up is over, a close ends the program.
    QTimer closer;
    closer.setInterval(50);
    connect(&closer, &QTimer::timeout, &window, [&] {
        if (panel(window)->isVisible() && panel(window)->isEnabled())
            window.close();
    });
    closer.start();
    QTimer::singleShot(300000, qApp, [] { QCoreApplication::exit(2); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!closedDuringStartup);
    checkRefused(answerer, window, holder.pid());
    QVERIFY(holder.end());
}

// Two Vux processes on one root: the second is refused while the first runs.
void TestStartupLock::secondVuxRefused()
{
    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    QProcess first;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    first.setProcessEnvironment(environment);
    first.setProcessChannelMode(QProcess::ForwardedChannels);
    first.start(
        QStringLiteral(VUX_BINARY_DIR "/vux"), {QStringLiteral("--installroot=") + root.path()});
    QVERIFY(first.waitForStarted(30000));
    QStringList const files = lockFiles(root);
    QTRY_VERIFY_WITH_TIMEOUT(owner(files[2]) == first.processId(), 300000);
    {
        ModalAnswerer answerer;
        answerer.click(QStringLiteral("closeButton"));
        MainWindow window;
        QVERIFY(start(window));
        checkRefused(answerer, window, first.processId());

        // The first one goes without releasing anything (it is killed): its
        // lock files name a process that no longer runs and do not stand in
        // the way.
        first.kill();
        QVERIFY(first.waitForFinished(30000));
        window.refresh();
        QCOMPARE(answerer.answered(), 1);
        QVERIFY(window.engine()->findEntry(false, QStringLiteral("aurora")));
        QMetaObject::invokeMethod(&window, "quit");
    }
    QVERIFY2(noLockFiles(root), qPrintable(ownersText(root)));
}

QTEST_MAIN(TestStartupLock)
#include "TestStartupLock.moc"
