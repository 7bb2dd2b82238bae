// SPDX-License-Identifier: GPL-2.0-or-later
#include "StartupSupport.h"

#include "app/CommandLine.h"
#include "app/DesktopSession.h"

#include <QDir>

#include <vector>

// What the program does before its window: reads its command line, and finds
// the display session of the user it runs for.
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
    void invokingUid();
    void sessionRestored_data();
    void sessionRestored();
    void parseEnviron();
};

using DesktopSession::Environment;

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
    // Each wildcard matches the first of its names alone.
    for (char const* name : {"updates-testing", "my-updates", "Updates"})
        QVERIFY2(enable.matches(name) == !qstrcmp(name, "updates-testing"), name);
    for (char const* name : {"a.b1", "a.b10", "axb1"})
        QVERIFY2(disable.matches(name) == !qstrcmp(name, "a.b1"), name);
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

// Before the window: the display session of the user who asked for a root
// program (the privilege path's own pieces; the path end to end is
// tests/install/test_privilege_path.py).
// Only root acts for someone else; pkexec's word counts before sudo's.
void TestCommandLine::invokingUid()
{
    Environment const both {{"PKEXEC_UID", "1000"}, {"SUDO_UID", "1001"}};
    QCOMPARE(DesktopSession::invokingUid(both, true), 1000L);
    QCOMPARE(DesktopSession::invokingUid(both, false), -1L);
    QCOMPARE(DesktopSession::invokingUid({{"SUDO_UID", "1001"}}, true), 1001L);
    QCOMPARE(DesktopSession::invokingUid({{"PKEXEC_UID", "0"}}, true), -1L);
    QCOMPARE(DesktopSession::invokingUid({{"PKEXEC_UID", "x1"}}, true), -1L);
    QCOMPARE(DesktopSession::invokingUid({}, true), -1L);
}

void TestCommandLine::sessionRestored_data()
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

void TestCommandLine::sessionRestored()
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

void TestCommandLine::parseEnviron()
{
    static char const data[] = "DISPLAY=:0\0XAUTHORITY=/x=y\0=bad\0EMPTY=\0noequals\0";
    QByteArray const records(data, sizeof data - 1);
    Environment const parsed = DesktopSession::parseEnviron(records);
    QCOMPARE(parsed, Environment({{"DISPLAY", ":0"}, {"XAUTHORITY", "/x=y"}, {"EMPTY", ""}}));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
