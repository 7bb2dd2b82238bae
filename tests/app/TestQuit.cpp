// SPDX-License-Identifier: GPL-2.0-or-later
#include "StartupSupport.h"

#include "support/EngineFixture.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>

#include <csignal>
#include <unistd.h>

// A repository server that takes connections and never answers.
struct SilentServer : QTcpServer
{
    SilentServer() { listen(QHostAddress::LocalHost); }
    int port() const { return serverPort(); }
};

using namespace StartupSupport;

// Every way out of the program ends it.
class TestQuit : public QObject
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
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
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
            QString const extras = Sandbox::repos()[QStringLiteral("repos")]
                                       .toObject()[QStringLiteral("extras")]
                                       .toString();
            if (!QFile::copy(extras + QStringLiteral("/Packages/chatty-1.0-1.noarch.rpm"),
                    dir + QStringLiteral("/chatty-1.0-1.noarch.rpm"))
                || QProcess::execute(QStringLiteral("createrepo_c"),
                       {QStringLiteral("--quiet"), QStringLiteral("--baseurl"), url, dir})
                    != 0)
                return false;
        }
        QFile file(root.file(QStringLiteral("/etc/yum.repos.d/silent.repo")));
        return server.port() > 0 && file.open(QIODevice::WriteOnly)
            && file.write(QStringLiteral("[silent]\nname=Silent\nbaseurl=%1\ngpgcheck=0\n")
                              .arg(dir.isEmpty() ? url + QStringLiteral("silent/")
                                                 : QStringLiteral("file://") + dir)
                              .toUtf8())
            > 0;
    }
    void removeSilentRepository()
    {
        QFile::remove(root.file(QStringLiteral("/etc/yum.repos.d/silent.repo")));
    }
    Root root;
};

// The window's close button while the repositories load from a server that
// never answers: asked, the load is stopped at once, the lock released and
// the program ends, with no error to read.
void TestQuit::closeDuringASilentLoad()
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

void TestQuit::signalAtEachMoment_data()
{
    QTest::addColumn<QString>("moment");
    QTest::addColumn<int>("signal");
    QTest::newRow("before the window exists, SIGHUP") << "before the window" << int(SIGHUP);
    QTest::newRow("start-up error dialog, SIGTERM") << "start-up dialog" << int(SIGTERM);
    QTest::newRow("collection, SIGTERM") << "collection" << int(SIGTERM);
    QTest::newRow("transaction confirmation, SIGINT") << "confirmation" << int(SIGINT);
    QTest::newRow("download before rpm runs, SIGQUIT") << "download" << int(SIGQUIT);
    QTest::newRow("repository editor at the start, SIGINT") << "editor" << int(SIGINT);
    QTest::newRow("cached rows shown, dnf loading, SIGINT") << "rows" << int(SIGINT);
    QTest::newRow("between commands, SIGHUP") << "ready" << int(SIGHUP);
    QTest::newRow("while the engine goes, SIGTERM") << "engine goes" << int(SIGTERM);
}

// The program, ended by a signal at each moment of its life: whatever it
// waits for (a question, a silent server, the start), it ends within a few
// seconds, with status 0, having changed nothing and holding no lock.
void TestQuit::signalAtEachMoment()
{
    QFETCH(QString, moment);
    QFETCH(int, signal);
    if (moment == QLatin1String("engine goes") && geteuid() != 0)
        QSKIP("making the cache read-only needs a mount, so root");
    QStringList const installed = EngineFixture::rpmQa(root.file());
    SilentServer server;
    QTemporaryDir packages;
    Program holder; // another Vux on the same root
    Program vux;
    if (moment == QLatin1String("before the window")) {
        QVERIFY(vux.start(root, false, QString(), signal));
    } else if (moment == QLatin1String("start-up dialog")) {
        QVERIFY(holder.start(root));
        QTRY_COMPARE_WITH_TIMEOUT(root.lockOwners().value(2), holder.pid(), 300000);
        QVERIFY(vux.start(root, true));
        QVERIFY(vux.reaches(QStringLiteral("dialog ") + YumIO::errorTitle()));
    } else if (moment == QLatin1String("collection")) {
        QVERIFY(addSilentRepository(server));
        QVERIFY(vux.start(root));
        QTRY_COMPARE_WITH_TIMEOUT(root.lockOwners().value(2), vux.pid(), 60000);
        QTest::qWait(3000); // waiting for the silent server
        QVERIFY(vux.running());
    } else if (moment == QLatin1String("confirmation")) {
        QVERIFY(vux.start(root, true, QStringLiteral("apply:ember")));
        QVERIFY(vux.reaches(QStringLiteral("dialog Apply")));
    } else if (moment == QLatin1String("editor")) {
        QVERIFY(vux.start(root, true, QString(), 0, {QStringLiteral("--repo-editor")}));
        QVERIFY(vux.reaches(QStringLiteral("dialog VUX Repository Configuration Editor")));
    } else if (moment == QLatin1String("download")) {
        QVERIFY(addSilentRepository(server, packages.path()));
        QVERIFY(vux.start(root, true, QStringLiteral("apply-confirmed:chatty")));
        QVERIFY(vux.reaches(QStringLiteral("dialog Apply")));
        QTRY_VERIFY_WITH_TIMEOUT(server.hasPendingConnections(), 60000);
    } else if (moment == QLatin1String("rows")) {
        Program first; // leaves the rows cached
        QVERIFY(first.start(root, true));
        QVERIFY(first.reaches(QStringLiteral("ready")));
        QVERIFY(first.endsOn(SIGTERM));
        QVERIFY(vux.start(root, true));
        QVERIFY(vux.reaches(QStringLiteral("rows")));
    } else {
        QVERIFY(vux.start(root, true));
        QVERIFY(vux.reaches(QStringLiteral("ready")));
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

QTEST_MAIN(TestQuit)
#include "TestQuit.moc"
