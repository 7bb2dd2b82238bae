// SPDX-License-Identifier: GPL-2.0-or-later
#include "StartupSupport.h"

#include <QProcess>

using namespace StartupSupport;

class TestStartupLock : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(root.make(&error), qPrintable(error));
    }
    void heldByAnotherPackageManager();
    void secondVuxRefused();

private:
    void checkRefused(ModalAnswerer const& answerer, MainWindow& window, qint64 holder);
    Root root;
};

// A refused start: the error names the holder, nothing is collected, the
// holder's lock is untouched and no lock of ours is left.
void TestStartupLock::checkRefused(ModalAnswerer const& answerer, MainWindow& window, qint64 holder)
{
    QCOMPARE(answerer.titles(), QStringList {YumIO::errorTitle()});
    QString const text = answerer.texts().value(0);
    QVERIFY2(text.contains(QString::number(holder)), qPrintable(text));
    QVERIFY(panel(window)->isVisible() && panel(window)->isEnabled());
    QCOMPARE(window.engine()->count(), 0);
    QList<qint64> const owners = root.lockOwners();
    QCOMPARE(owners.value(2), holder);
    QVERIFY(!owners.contains(QCoreApplication::applicationPid()));
}

// dnf's own lock code holds the root's rpm database lock, as another package
// manager would. A close while the start-up waits on the error box is refused
// (the worker still needs the event loops); once the other manager is done a
// refresh collects, and a close ends the program.
void TestStartupLock::heldByAnotherPackageManager()
{
    QProcess holder;
    holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    holder.start(QStringLiteral(VUX_TEST_PYTHON),
        {QStringLiteral("-c"),
            QStringLiteral("import sys, dnf.lock\n"
                           "with dnf.lock.build_rpmdb_lock(sys.argv[1], True):\n"
                           "    print('held', flush=True)\n"
                           "    sys.stdin.read()\n"),
            root.file(QStringLiteral("/var/lib/dnf"))});
    QVERIFY(holder.waitForReadyRead(60000) && holder.readLine().trimmed() == "held");
    {
        ModalAnswerer answerer;
        MainWindow window;
        bool closed = true;
        answerer.answer([&](QWidget* dialog) {
            closed = window.close();
            ModalAnswerer::clickButton(dialog, QStringLiteral("closeButton"));
        });
        QVERIFY(start(window));
        QVERIFY(!closed);
        checkRefused(answerer, window, holder.processId());

        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(60000) && holder.exitCode() == 0);
        window.refresh();
        QCOMPARE(answerer.answered(), 1);
        QVERIFY(window.engine()->findEntry(false, QStringLiteral("aurora")));
        QCOMPARE(root.lockOwners().value(2), QCoreApplication::applicationPid());
        QTimer::singleShot(0, &window, [&] { window.close(); });
        QTimer::singleShot(60000, qApp, [] { QCoreApplication::exit(2); });
        QCOMPARE(QApplication::exec(), 0);
    }
    QCOMPARE(root.lockOwners(), (QList<qint64> {0, 0, 0}));
}

// Two Vux processes on one root: the second is refused while the first runs;
// the first's files, left when it is killed, do not block a refresh.
void TestStartupLock::secondVuxRefused()
{
    Program first;
    QVERIFY(first.start(root));
    QTRY_COMPARE_WITH_TIMEOUT(root.lockOwners().value(2), first.pid(), 300000);
    {
        ModalAnswerer answerer;
        answerer.click(QStringLiteral("closeButton"));
        MainWindow window;
        QVERIFY(start(window));
        checkRefused(answerer, window, first.pid());
        first.kill();
        window.refresh();
        QCOMPARE(answerer.answered(), 1);
        QVERIFY(window.engine()->findEntry(false, QStringLiteral("aurora")));
        QVERIFY(QMetaObject::invokeMethod(&window, "quit"));
    }
    QCOMPARE(root.lockOwners(), (QList<qint64> {0, 0, 0}));
}

QTEST_MAIN(TestStartupLock)
#include "TestStartupLock.moc"
