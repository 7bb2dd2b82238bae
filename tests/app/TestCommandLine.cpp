#include "app/CommandLine.h"
#include "app/Globals.h"

#include "config-vux-tests.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void usageAndErrors_data();
    void usageAndErrors();
    void parse();
    void missingInstallRoot();
};

void TestCommandLine::usageAndErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("--help") << QStringList {"-l", "--help"} << QByteArray();
    QTest::newRow("parsing stops at the first argument")
        << QStringList {"-l", "extra", "-z"} << QByteArray("vux: unrecognized argument: extra\n");
    QTest::newRow("unknown letter in a cluster")
        << QStringList {"-lz"} << QByteArray("vux: unrecognized option letter: z\n");
    QTest::newRow("unknown long option")
        << QStringList {"--bogus=1"} << QByteArray("vux: unrecogized option: --bogus=1\n");
    QTest::newRow("--disablerepo without its argument") << QStringList {
        "-r", "--disablerepo"} << QByteArray("vux: option requires an argument: --disablerepo\n");
    QTest::newRow("empty --installroot") << QStringList {
        "--installroot="} << QByteArray("vux: option requires an argument: --installroot\n");
}

// The real program: the reason on standard error, the usage text on standard
// output, status 1. Should it start after all, it finds no script.
void TestCommandLine::usageAndErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    QTemporaryDir empty;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), empty.path());
    environment.insert(QStringLiteral("VUXSHARE"), empty.path());
    QProcess vux;
    vux.setProcessEnvironment(environment);
    vux.start(QStringLiteral(VUX_BINARY_DIR "/vux"), arguments);
    if (!vux.waitForFinished(60000))
        QFAIL("vux did not end");
    QCOMPARE(vux.exitStatus(), QProcess::NormalExit);
    QCOMPARE(vux.exitCode(), 1);
    QCOMPARE(vux.readAllStandardError(), message);
    QCOMPARE(vux.readAllStandardOutput(),
        QByteArray("usage: vux [options...]\n"
                   "\n"
                   "VUX, Vuxtool, is a graphical user interface which allows a user\n"
                   "to make modifications to the installed rpm packages on a system.\n"
                   "\n"
                   "options:\n"
                   "\n"
                   "   -h, -H, --help           display this help information\n"
                   "   -r,     --repo-editor    start by bringing up the repository "
                   "configuration\n"
                   "                            editor\n"
                   "   -l,     --log            start with the log window displayed\n"
                   "           --disablerepo=r  disable the specified repository, r\n"
                   "           --enablerepo=r   enable the specified repository, r\n"
                   "           --installroot=d  work on the system installed under "
                   "directory d\n"
                   "\n"));
}

// In process: repository options in order, their wildcards matching whole
// identifiers, the install root made absolute.
void TestCommandLine::parse()
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
    QVERIFY(enable.matches(QStringLiteral("updates-testing")));
    QVERIFY(!enable.matches(QStringLiteral("my-updates")));
    QVERIFY(!enable.matches(QStringLiteral("Updates")));
    QVERIFY(disable.matches(QStringLiteral("a.b1")));
    QVERIFY(!disable.matches(QStringLiteral("a.b10")));
    QVERIFY(!disable.matches(QStringLiteral("axb1")));
}

// A root that does not exist is refused before anything is made there.
void TestCommandLine::missingInstallRoot()
{
    QTemporaryDir dir;
    QString const missing = dir.path() + QStringLiteral("/no/such/root");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    QProcess vux;
    vux.setProcessEnvironment(environment);
    vux.start(QStringLiteral(VUX_BINARY_DIR "/vux"), {QStringLiteral("--installroot=") + missing});
    if (!vux.waitForFinished(60000)) {
        vux.kill();
        QFAIL("vux did not end");
    }
    QCOMPARE(vux.exitCode(), 1);
    QCOMPARE(vux.readAllStandardError(),
        "vux: install root " + QFile::encodeName(missing) + " is not a directory\n");
    QVERIFY(!QFileInfo::exists(dir.path() + QStringLiteral("/no")));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
