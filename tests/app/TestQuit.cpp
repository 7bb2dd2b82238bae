// SPDX-License-Identifier: GPL-2.0-or-later
#include "StartupSupport.h"

#include "support/EngineFixture.h"

#include <QElapsedTimer>
#include <QProcess>

#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A repository server that accepts connections (the kernel does, into the
// listen queue) and never answers.
class SilentServer
{
public:
    SilentServer()
    {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0
            || ::listen(fd, 64) != 0
            || ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        port = ntohs(address.sin_port);
    }
    ~SilentServer()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int fd = -1;
    int port = 0;
};

} // namespace

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
    void quitWhenTheLockCannotBeReleased();
    void closeDuringASilentLoad();
    void signalDuringASilentLoad_data();
    void signalDuringASilentLoad();

private:
    // A repository on a server that never answers, for the life of the test.
    bool addSilentRepository(SilentServer const& server)
    {
        QFile file(root.file(QStringLiteral("/etc/yum.repos.d/silent.repo")));
        return server.port > 0 && file.open(QIODevice::WriteOnly)
            && file.write(QStringLiteral("[silent]\nname=Silent\nbaseurl=http://127.0.0.1:%1/"
                                         "silent/\ngpgcheck=0\n")
                              .arg(server.port)
                              .toUtf8())
            > 0;
    }
    void removeSilentRepository()
    {
        QFile::remove(root.file(QStringLiteral("/etc/yum.repos.d/silent.repo")));
    }
    Root root;
};

// The cache became read-only while Vux was idle: the lock cannot be
// released, the user is told, and the program still ends.
void TestQuit::quitWhenTheLockCannotBeReleased()
{
    if (geteuid() != 0)
        QSKIP("making the cache read-only needs a mount, so root");
    ModalAnswerer answerer;
    answerer.alwaysClick(QStringLiteral("closeButton"));
    answerer.alwaysClick(QStringLiteral("button0"));
    MainWindow window;
    QVERIFY(start(window));
    QCOMPARE(answerer.answered(), 0);
    QTimer::singleShot(0, &window, [&window] { window.stopAndQuit(false); });
    QTimer::singleShot(60000, qApp, [] { QCoreApplication::exit(2); });
    QVERIFY(EngineFixture::readOnly(
        root.file(QStringLiteral("/var/cache/yum")), [] { return QApplication::exec() == 0; }));
    QVERIFY2(answerer.texts()
                 .join(QLatin1Char('\n'))
                 .contains(QLatin1String("Unable to release yum lock")),
        qPrintable(answerer.texts().join(QLatin1Char('\n'))));
    QVERIFY(!window.isVisible() && !window.engine());
}

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

void TestQuit::signalDuringASilentLoad_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

// The program, stopped by a signal while it waits for that server.
void TestQuit::signalDuringASilentLoad()
{
    QFETCH(int, signal);
    SilentServer server;
    QVERIFY(addSilentRepository(server));
    QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    QProcess vux;
    vux.setProcessEnvironment(environment);
    vux.setProcessChannelMode(QProcess::ForwardedChannels);
    vux.start(
        QStringLiteral(VUX_BINARY_DIR "/vux"), {QStringLiteral("--installroot=") + root.file()});
    QVERIFY(vux.waitForStarted(30000));
    QTRY_COMPARE_WITH_TIMEOUT(root.lockOwners().value(2), vux.processId(), 60000);
    QVERIFY(!vux.waitForFinished(3000)); // waiting for the silent server
    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(vux.processId()), signal);
    bool const ended = vux.waitForFinished(25000);
    if (!ended)
        vux.kill();
    removeSilentRepository();
    QVERIFY2(ended, "still waiting");
    QCOMPARE(vux.exitStatus(), QProcess::NormalExit);
    QCOMPARE(vux.exitCode(), 0);
    QCOMPARE(root.lockOwners(), (QList<qint64> {0, 0, 0}));
}

QTEST_MAIN(TestQuit)
#include "TestQuit.moc"
