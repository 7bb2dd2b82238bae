// SPDX-License-Identifier: GPL-2.0-or-later
#include "StartupSupport.h"

#include "app/CommandLine.h"

#include <QDir>

#include <vector>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void usageAndErrors_data();
    void usageAndErrors();
    void parse();
    void withoutDisplay_data();
    void withoutDisplay();
    void missingInstallRoot();
};

using namespace StartupSupport;

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

} // namespace

void TestCommandLine::usageAndErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("--help") << QStringList {"-l", "--help"} << QByteArray();
    // Answered like --help, but as a success.
    QTest::newRow("--version") << QStringList {"-l", "--version"} << QByteArray("vux " VUX_VERSION "\n");
    // The toolkit's options and their values are left out, wherever they stand.
    QTest::newRow("toolkit options are the toolkit's")
        << QStringList {"-style", "fusion", "--platform", "xcb", "-reverse", "-H"} << QByteArray();
    QTest::newRow("-style without a value is no toolkit option")
        << QStringList {"-style"} << QByteArray("vux: unrecognized option letter: s\n");
    QTest::newRow("parsing stops at the first argument")
        << QStringList {"-l", "extra", "-z"} << QByteArray("vux: unrecognized argument: extra\n");
    QTest::newRow("unknown letter in a cluster")
        << QStringList {"-lz"} << QByteArray("vux: unrecognized option letter: z\n");
    QTest::newRow("unknown long option")
        << QStringList {"--bogus=1"} << QByteArray("vux: unrecognized option: --bogus=1\n");
    QTest::newRow("--version given a value")
        << QStringList {"--version=1"} << QByteArray("vux: unrecognized option: --version=1\n");
    QTest::newRow("--disablerepo without its argument") << QStringList {
        "-r", "--disablerepo"} << QByteArray("vux: option requires an argument: --disablerepo\n");
    QTest::newRow("empty --installroot") << QStringList {
        "--installroot="} << QByteArray("vux: option requires an argument: --installroot\n");
}

// The real program, with no display at all: the reason on standard error, the
// usage text on standard output, status 1 (--version: its answer, status 0).
void TestCommandLine::usageAndErrors()
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

void TestCommandLine::withoutDisplay_data()
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
void TestCommandLine::withoutDisplay()
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
void TestCommandLine::missingInstallRoot()
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

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
