// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/DesktopSession.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using DesktopSession::Environment;

class TestDesktopSession : public QObject
{
    Q_OBJECT

private slots:
    void invokingUid();
    void restored_data();
    void restored();
    void parseEnviron();
};

// Only root acts for someone else; pkexec's word counts before sudo's.
void TestDesktopSession::invokingUid()
{
    Environment const both {{"PKEXEC_UID", "1000"}, {"SUDO_UID", "1001"}};
    QCOMPARE(DesktopSession::invokingUid(both, true), 1000L);
    QCOMPARE(DesktopSession::invokingUid(both, false), -1L);
    QCOMPARE(DesktopSession::invokingUid({{"SUDO_UID", "1001"}}, true), 1001L);
    QCOMPARE(DesktopSession::invokingUid({{"PKEXEC_UID", "0"}}, true), -1L);
    QCOMPARE(DesktopSession::invokingUid({{"PKEXEC_UID", "x1"}}, true), -1L);
    QCOMPARE(DesktopSession::invokingUid({}, true), -1L);
}

void TestDesktopSession::restored_data()
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

void TestDesktopSession::restored()
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

void TestDesktopSession::parseEnviron()
{
    static char const data[] = "DISPLAY=:0\0XAUTHORITY=/x=y\0=bad\0EMPTY=\0noequals\0";
    QByteArray const records(data, sizeof data - 1);
    Environment const parsed = DesktopSession::parseEnviron(records);
    QCOMPARE(parsed, Environment({{"DISPLAY", ":0"}, {"XAUTHORITY", "/x=y"}, {"EMPTY", ""}}));
}

QTEST_GUILESS_MAIN(TestDesktopSession)
#include "TestDesktopSession.moc"
