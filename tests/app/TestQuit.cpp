#include "StartupSupport.h"

#include <QProcess>

#include <unistd.h>

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

private:
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
    QString const cache = root.file(QStringLiteral("/var/cache/yum"));
    QCOMPARE(
        QProcess::execute(QStringLiteral("mount"), {QStringLiteral("--bind"), cache, cache}), 0);
    QProcess::execute(
        QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,bind,ro"), cache});
    QAction* quit = nullptr;
    for (QAction* action : window.findChildren<QAction*>())
        if (action->text() == QLatin1String("&Quit"))
            quit = action;
    QTimer::singleShot(0, quit, &QAction::trigger);
    QTimer::singleShot(60000, qApp, [] { QCoreApplication::exit(2); });
    int const status = QApplication::exec();
    QProcess::execute(QStringLiteral("umount"), {cache});
    QCOMPARE(status, 0);
    QVERIFY2(answerer.texts()
                 .join(QLatin1Char('\n'))
                 .contains(QLatin1String("Unable to release yum lock")),
        qPrintable(answerer.texts().join(QLatin1Char('\n'))));
    QVERIFY(!window.isVisible() && !window.engine());
}

QTEST_MAIN(TestQuit)
#include "TestQuit.moc"
