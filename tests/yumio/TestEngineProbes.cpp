// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "base/InstallRoot.h"
#include "python/PyRef.h"
#include "support/ModalAnswerer.h"
#include "support/StandinShare.h"
#include "widgets/HProgressBar.h"
#include "yumio/YumIO.h"

#include <QtTest>

class TestEngineProbes : public QObject
{
    Q_OBJECT

private slots:
    void versions_data();
    void versions();
    void cleaning_data();
    void cleaning();
    void capabilitiesAskedOnce();
    void versionOfTheRealPackageManager();
};

void TestEngineProbes::versions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<unsigned>("number");
    QTest::addColumn<bool>("distribGroups");
    QTest::addColumn<bool>("transTest");
    QTest::addColumn<bool>("pickledCache");
    QTest::newRow("3.2.3") << "3.2.3" << 30203u << true << false << false;
    QTest::newRow("3.2.2 has a test transaction") << "3.2.2" << 30202u << true << true << false;
    QTest::newRow("3.1.6") << "3.1.6" << 30106u << true << true << false;
    QTest::newRow("3.0") << "3.0" << 30000u << true << true << false;
    QTest::newRow("2.9.1 has a pickled cache") << "2.9.1" << 20901u << true << true << true;
    QTest::newRow("2.5.0 has group objects") << "2.5.0" << 20500u << true << true << true;
    QTest::newRow("2.4.9") << "2.4.9" << 20409u << false << true << true;
    QTest::newRow("no version") << QString() << 0u << false << true << true;
}

void TestEngineProbes::versions()
{
    QFETCH(QString, text);
    QFETCH(unsigned, number);
    StandinEngine standin(text);
    QVERIFY(standin.share.isValid());
    YumIO& engine = standin.engine;
    QVERIFY(engine.initialize());
    QCOMPARE(engine.yumVersionStr(), text.isNull() ? QString() : text);
    QCOMPARE(engine.yumVersion(), number);
    QTEST(engine.hasDistribGroups(), "distribGroups");
    QTEST(engine.hasTransTest(), "transTest");
    QTEST(engine.hasPickledCache(), "pickledCache");
    QCOMPARE(standin.answerer.answered(), 0);
}

void TestEngineProbes::cleaning_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("calls");
    QTest::newRow("all, 3.0 never cleans pickles")
        << "3.0" << QString() << true << "cleanHeaders cleanPackages cleanMetadata";
    QTest::newRow("all, with a pickled cache")
        << "2.9.1" << QString() << true << "cleanHeaders cleanPackages cleanMetadata cleanPickles";
    // A failing step fails the whole; the others still run.
    QTest::newRow("a failing step")
        << "4.14.0"
        << "cleanPackages:1" << false << "cleanHeaders cleanPackages cleanMetadata";
}

void TestEngineProbes::cleaning()
{
    QFETCH(QString, version);
    QFETCH(QString, answers);
    QFETCH(bool, result);
    qputenv("VUX_STANDIN_CLEAN", answers.toUtf8());
    StandinEngine standin(version);
    YumIO& engine = standin.engine;
    QVERIFY(engine.initialize());
    QCOMPARE(engine.cleanAll(), result);
    QFETCH(QString, calls);
    QCOMPARE(standin.calls(), QStringLiteral("__init__ ") + calls);
    // A failure is shown, with the reason the script gave.
    QCOMPARE(standin.answerer.answered(), result ? 0 : 1);
    if (!result)
        QVERIFY(standin.answerer.texts().first().contains(QLatin1String("answered 1")));
    qunsetenv("VUX_STANDIN_CLEAN");
}

void TestEngineProbes::capabilitiesAskedOnce()
{
    qputenv("VUX_STANDIN_PRESTO", "1");
    StandinEngine standin(QStringLiteral("3.2.8"));
    YumIO& engine = standin.engine;
    QVERIFY(engine.initialize());
    QVERIFY(engine.usesPresto());
    QVERIFY(engine.usesPresto());
    QVERIFY(!engine.usesSqlite());
    QVERIFY(!engine.usesSqlite());
    QCOMPARE(standin.calls(), QStringLiteral("__init__ usesPresto usesSqlite"));
    qunsetenv("VUX_STANDIN_PRESTO");
}

void TestEngineProbes::versionOfTheRealPackageManager()
{
    // The shipped compatibility package reports dnf's version, so every
    // probe takes the newest path.
    QTemporaryDir root; // an empty system: the host's stays untouched
    InstallRoot::set(root.path());
    ModalAnswerer answerer;
    answerer.alwaysClick(QStringLiteral("button0"));
    QWidget window;
    HProgressBar total(&window);
    HProgressBar item(&window);
    YumIO engine;
    engine.setup(&window, &total, &item);
    QVERIFY(engine.initialize() || answerer.answered() > 0);
    QVERIFY2(engine.yumVersion() >= 40000, qPrintable(engine.yumVersionStr()));
    QVERIFY(engine.hasDistribGroups() && !engine.hasTransTest() && !engine.hasPickledCache());
    InstallRoot::set(QString());
}

QTEST_MAIN(TestEngineProbes)
#include "TestEngineProbes.moc"
