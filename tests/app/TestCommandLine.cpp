#include "app/CommandLine.h"
#include "app/Globals.h"

#include "config-vux-tests.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

namespace {

QByteArray const usageText = "usage: vux [options...]\n"
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
                             "\n";

// An argument vector for the parser; the strings live as long as the object.
class Arguments
{
public:
    explicit Arguments(QStringList const& arguments)
    {
        for (QString const& argument : arguments)
            bytes.append(argument.toLocal8Bit());
        for (QByteArray& b : bytes)
            pointers.push_back(b.data());
        pointers.push_back(nullptr);
    }
    int count() const { return int(bytes.size()); }
    char** vector() { return pointers.data(); }

private:
    QList<QByteArray> bytes;
    std::vector<char*> pointers;
};

struct Repo
{
    bool enabled;
    QString pattern;
};

} // namespace

Q_DECLARE_METATYPE(QList<Repo>)

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void usageAndErrors_data();
    void usageAndErrors();
    void parse_data();
    void parse();
    void wildcards_data();
    void wildcards();

private:
    QTemporaryDir runtime;
    QTemporaryDir share;
};

void TestCommandLine::initTestCase()
{
    QVERIFY(runtime.isValid());
    QVERIFY(share.isValid());
    // The program's name comes from argv[0] the way main sets it.
    program = "vux";
}

void TestCommandLine::usageAndErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("-H") << QStringList {"-H"} << QByteArray();
    QTest::newRow("--help after other options") << QStringList {"-l", "--help"} << QByteArray();
    QTest::newRow("parsing stops at the first argument")
        << QStringList {"-l", "extra", "-z"} << QByteArray("vux: unrecognized argument: extra\n");
    QTest::newRow("unknown letter in a cluster")
        << QStringList {"-lz"} << QByteArray("vux: unrecognized option letter: z\n");
    QTest::newRow("unknown long option")
        << QStringList {"--bogus=1"} << QByteArray("vux: unrecogized option: --bogus=1\n");
    QTest::newRow("argument to an option that takes none")
        << QStringList {"--help=x"} << QByteArray("vux: unrecogized option: --help=x\n");
    QTest::newRow("--disablerepo without its argument") << QStringList {
        "-r", "--disablerepo"} << QByteArray("vux: option requires an argument: --disablerepo\n");
    QTest::newRow("empty --installroot") << QStringList {
        "--installroot="} << QByteArray("vux: option requires an argument: --installroot\n");
}

// The real program: the usage text on standard output, the one-line reason
// on standard error, status 1, and no window ever started.
void TestCommandLine::usageAndErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    QProcess vux;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    // Should the program start after all, it finds no script and touches
    // nothing.
    environment.insert(QStringLiteral("VUXSHARE"), share.path());
    vux.setProcessEnvironment(environment);
    vux.start(QStringLiteral(VUX_BINARY_DIR "/vux"), arguments);
    QVERIFY(vux.waitForStarted(30000));
    if (!vux.waitForFinished(60000)) {
        vux.kill();
        vux.waitForFinished();
        QFAIL("vux did not end");
    }
    QCOMPARE(vux.exitStatus(), QProcess::NormalExit);
    QCOMPARE(vux.exitCode(), 1);
    QCOMPARE(vux.readAllStandardOutput(), usageText);
    QCOMPARE(vux.readAllStandardError(), message);
}

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("repoEditor");
    QTest::addColumn<bool>("log");
    QTest::addColumn<QList<Repo>>("repos");
    QTest::addColumn<QString>("installRoot");

    QTest::newRow("clustered flags")
        << QStringList {"-lr"} << true << true << QList<Repo> {} << QString();
    QTest::newRow("repositories in order, both spellings")
        << QStringList {"--enablerepo=updates*", "--disablerepo", "updates-testing", "--log"}
        << false << true << QList<Repo> {{true, "updates*"}, {false, "updates-testing"}}
        << QString();
    QTest::newRow("relative install root")
        << QStringList {"--installroot", "sandbox/../root/"} << false << false << QList<Repo> {}
        << QDir::current().absoluteFilePath(QStringLiteral("root"));
}

// In-process parsing, repeated in one process as the rows run.
void TestCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, repoEditor);
    QFETCH(bool, log);
    QFETCH(QList<Repo>, repos);
    QFETCH(QString, installRoot);
    Arguments argv(QStringList {QStringLiteral("/usr/bin/vux")} + arguments);
    CommandLineOptions options;
    QByteArray message;
    QVERIFY(CommandLine::parse(argv.count(), argv.vector(), options, message));
    QCOMPARE(message, QByteArray());
    QCOMPARE(options.help, false);
    QCOMPARE(options.repoEditor, repoEditor);
    QCOMPARE(options.log, log);
    QCOMPARE(options.repoEnabledList.size(), repos.size());
    for (int i = 0; i < repos.size(); ++i) {
        QCOMPARE(options.repoEnabledList[i].enabled, repos[i].enabled);
        QCOMPARE(options.repoEnabledList[i].pattern.pattern(),
            QRegularExpression::wildcardToRegularExpression(repos[i].pattern));
    }
    QCOMPARE(options.installRoot, installRoot);
}

void TestCommandLine::wildcards_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("matches");
    QTest::newRow("prefix") << "updates*" << "updates-testing" << true;
    QTest::newRow("whole id, not a part") << "updates*" << "my-updates" << false;
    QTest::newRow("exact, longer id") << "updates" << "updates-testing" << false;
    QTest::newRow("case counts") << "updates*" << "Updates" << false;
    QTest::newRow("one character, not two") << "fedora-?" << "fedora-10" << false;
    QTest::newRow("regex characters are literal") << "a.b" << "axb" << false;
}

// The pattern given on the command line matches whole identifiers.
void TestCommandLine::wildcards()
{
    QFETCH(QString, pattern);
    QFETCH(QString, id);
    QFETCH(bool, matches);
    Arguments argv(QStringList {QStringLiteral("vux"), QStringLiteral("--enablerepo=") + pattern});
    CommandLineOptions options;
    QByteArray message;
    QVERIFY(CommandLine::parse(argv.count(), argv.vector(), options, message));
    QCOMPARE(options.repoEnabledList.size(), 1);
    QCOMPARE(options.repoEnabledList[0].matches(id), matches);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
