#include "app/DefaultStyle.h"
#include "app/Execute.h"
#include "app/Fonts.h"

#include <QApplication>
#include <QSettings>
#include <QStyle>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <sys/wait.h>

class TestShellServices : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void headerFont_data();
    void headerFont();
    void styleChoice_data();
    void styleChoice();
    void styleSet_data();
    void styleSet();
    void executeLeavesNoChild_data();
    void executeLeavesNoChild();

private:
    QTemporaryDir settingsDir;
};

void TestShellServices::initTestCase()
{
    // Never the user's own toolkit settings.
    QVERIFY(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
}

void TestShellServices::headerFont_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<int>("headerPoints");
    QTest::addColumn<int>("headerPixels");
    QTest::newRow("11 points") << 11 << -1 << 16 << -1;
    QTest::newRow("10 points") << 10 << -1 << 15 << -1;
    QTest::newRow("13 pixels") << -1 << 13 << -1 << 19;
}

void TestShellServices::headerFont()
{
    QFETCH(int, points);
    QFETCH(int, pixels);
    QFETCH(int, headerPoints);
    QFETCH(int, headerPixels);
    QFont font(QStringLiteral("Courier"));
    font.setFixedPitch(true);
    if (points != -1)
        font.setPointSize(points);
    else
        font.setPixelSize(pixels);
    QFont const header = Fonts::makeHeader(font);
    QVERIFY(header.bold());
    QVERIFY(!header.fixedPitch());
    QCOMPARE(header.family(), QStringLiteral("Helvetica"));
    if (headerPoints != -1)
        QCOMPARE(header.pointSize(), headerPoints);
    else
        QCOMPARE(header.pixelSize(), headerPixels);
}

void TestShellServices::styleChoice_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("inSettings");
    QTest::addColumn<bool>("chosen");
    QTest::newRow("nothing") << QStringList {"vux", "-l"} << false << false;
    QTest::newRow("-style=name") << QStringList {"vux", "-style=cleanlooks"} << false << true;
    QTest::newRow("-style name") << QStringList {"vux", "-l", "-style", "windows"} << false << true;
    QTest::newRow("--style=name") << QStringList {"vux", "--style=windows"} << false << true;
    QTest::newRow("program name only") << QStringList {"-style"} << false << false;
    QTest::newRow("look-alike") << QStringList {"vux", "-stylesheet=x.qss"} << false << false;
    QTest::newRow("settings key") << QStringList {"vux"} << true << true;
}

void TestShellServices::styleChoice()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, inSettings);
    QFETCH(bool, chosen);
    {
        QSettings settings(QSettings::UserScope, QStringLiteral("Trolltech"));
        settings.clear();
        if (inSettings)
            settings.setValue(QStringLiteral("Qt/style"), QStringLiteral("Windows"));
    }
    QList<QByteArray> bytes;
    std::vector<char*> argv;
    for (QString const& argument : arguments)
        bytes.append(argument.toLocal8Bit());
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    DefaultStyle style(int(bytes.size()), argv.data());
    QCOMPARE(style.userChosen(), chosen);
}

void TestShellServices::styleSet_data()
{
    QTest::addColumn<bool>("chosen");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("changed");
    QTest::newRow("existing style installed") << false << "Windows" << true;
    QTest::newRow("user's choice kept") << true << "Windows" << false;
    QTest::newRow("plastique no longer exists") << false << "plastique" << false;
}

void TestShellServices::styleSet()
{
    QFETCH(bool, chosen);
    QFETCH(QString, name);
    QFETCH(bool, changed);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setPalette(QApplication::style()->standardPalette());
    QByteArray program("vux"), option("-style=Fusion");
    char* withStyle[] = {program.data(), option.data(), nullptr};
    char* without[] = {program.data(), nullptr};
    {
        QSettings settings(QSettings::UserScope, QStringLiteral("Trolltech"));
        settings.clear();
    }
    DefaultStyle style(chosen ? 2 : 1, chosen ? withStyle : without);
    style.set(*qApp, name);
    QString const expected = changed ? name.toLower() : QStringLiteral("fusion");
    QCOMPARE(QApplication::style()->name().toLower(), expected);
    QPalette const standard = QApplication::style()->standardPalette();
    for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base, QPalette::Mid})
        QCOMPARE(QApplication::palette().color(role), standard.color(role));
    QApplication::setStyle(QStringLiteral("Fusion"));
}

void TestShellServices::executeLeavesNoChild_data()
{
    QTest::addColumn<bool>("exists");
    QTest::newRow("program runs") << true;
    QTest::newRow("program missing") << false;
}

void TestShellServices::executeLeavesNoChild()
{
    QFETCH(bool, exists);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString const marker = dir.filePath(QStringLiteral("ran"));
    QByteArray path(exists ? "/bin/sh" : "/nonexistent/viewer");
    QByteArray flag("-c");
    QByteArray command(QStringLiteral("sleep 0.2; echo ok > '%1'").arg(marker).toLocal8Bit());
    char* argv[] = {path.data(), flag.data(), command.data(), nullptr};

    Execute::execute(nullptr, argv);
    // The launched program is not our child: nothing is left to reap, even
    // while it still runs.
    errno = 0;
    QCOMPARE(::waitpid(-1, nullptr, WNOHANG), pid_t(-1));
    QCOMPARE(errno, ECHILD);
    if (exists)
        QTRY_VERIFY(QFile::exists(marker));
}

QTEST_MAIN(TestShellServices)
#include "TestShellServices.moc"
