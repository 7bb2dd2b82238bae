// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "progress/Progress.h"
#include "python/PyRef.h"
#include "support/ModalAnswerer.h"
#include "support/StandinShare.h"
#include "widgets/HProgressBar.h"
#include "yumio/YumIO.h"

#include <QtTest>

class TestAccess
{
public:
    // Runs Python calls of the progress callbacks against a panel in this
    // thread and returns "act text" after each call that starts an act.
    static QStringList run(YumIO& engine, HProgressBar* total, HProgressBar* item,
        QStringList const& repos, char const* calls, bool confirmed = false)
    {
        Python::PyGILStateWrapper lock(true);
        Progress panel(total, item);
        engine.progress = &panel;
        engine.enabledRepos = repos;
        engine.collectAct = 0;
        engine.collectTail = 0;
        engine.collectName.clear();
        engine.collectSubject = QStringLiteral("contents");
        engine.applyConfirmed = confirmed;
        engine.actPos = 0;
        panel.startTotal(QStringLiteral("total"), 24000);
        panel.setupItemActs(14000, 5 * static_cast<Steps>(repos.size()));
        QStringList seen;
        for (QString const& call : QString::fromUtf8(calls).split(QLatin1Char(';'))) {
            QString const before = item->activity();
            int const act = engine.collectAct;
            quint32 const position = engine.actPos;
            // An argument tuple that does not parse raises in the script.
            engine.pyExceptStart();
            engine.pyExceptExpect(PyExc_TypeError);
            PyRef result = PyRef::steal(engine.pyr(("yumIOC." + call.trimmed()).toUtf8()));
            engine.pyExceptClear();
            if (!result)
                seen.append(QStringLiteral("failed"));
            else if (engine.collectAct != act || item->activity() != before
                || engine.actPos != position)
                seen.append(QStringLiteral("%1 %2")
                                .arg(confirmed || engine.actPos ? engine.actPos : engine.collectAct)
                                .arg(item->activity()));
        }
        engine.progress = nullptr;
        return seen;
    }
};

class TestEngineProgressCallbacks : public QObject
{
    Q_OBJECT

private slots:
    void repositoryActs_data();
    void repositoryActs();
    void downloads_data();
    void downloads();
};

void TestEngineProgressCallbacks::repositoryActs_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QByteArray>("calls");
    QTest::addColumn<QStringList>("acts");

    QTest::newRow("five acts per repository")
        << "3.2.8"
        << QByteArray("collectGrabMeterStart('http://h/x/base/metalink.xml', '', '', None, None);"
                      "collectGrabMeterStart('http://h/x/base/repomd.xml', '', '', 300, None);"
                      "collectGrabMeterUpdate(100);"
                      "collectGrabMeterStart('http://h/x/base/primary.xml.gz', '', '', 900, None);"
                      "collectProgress(0, 1, 'MD Read');"
                      "collectProgress(1, 1, 'MD Read');"
                      "collectProgress(-1, -1, 'base');"
                      "collectGrabMeterStart('http://h/x/updates/repomd.xml', '', '', 300, None);"
                      "collectProgress(-1, -1, 'updates')")
        << QStringList {"1 Downloading repository contents mirror list for base",
               "2 Downloading repository contents repomd for base",
               "3 Downloading repository contents for base", "4 Converting repository contents",
               "5 Reading repository contents for base",
               "7 Downloading repository contents repomd for updates",
               "10 Reading repository contents for updates"};
    // The same total and name continues the act; another one starts the next.
    QTest::newRow("continued and new acts")
        << "3.2.8"
        << QByteArray("collectProgress(1, 10, 'primary');"
                      "collectProgress(5, 10, 'primary');"
                      "collectProgress(1, 20, 'primary')")
        << QStringList {"5 Reading repository contents for primary",
               "10 Reading repository contents for primary"};
    QTest::newRow("larder credentials never shown")
        << "3.2.8"
        << QByteArray("collectGrabMeterStart('http://h/larder?name=joe&password=pw&path=/x/', "
                      "'', '', 1, None);"
                      "collectGrabMeterStart('larder?name=joe&password=pw&path=/base/repomd.xml', "
                      "'', '', 1, None)")
        << QStringList {"3 Downloading repository contents for x",
               "2 Downloading repository contents repomd for base"};
    // Older versions: mirror lists and repomd files of all repositories
    // first, then three acts per repository.
    QTest::newRow("3.1.6 counts the old way")
        << "3.1.6"
        << QByteArray("collectGrabMeterStart('h/base/repomd.xml', '', '', 1, None);"
                      "collectGrabMeterStart('h/updates/repomd.xml', '', '', 1, None);"
                      "collectGrabMeterStart('h/base/primary.xml.gz', '', '', 1, None);"
                      "collectProgress(-1, -1, 'base');"
                      "collectGrabMeterStart('h/updates/primary.xml.gz', '', '', 1, None)")
        << QStringList {"2 Downloading repository contents repomd for base",
               "4 Downloading repository contents repomd for updates",
               "5 Downloading repository contents for base",
               "7 Reading repository contents for base",
               "8 Downloading repository contents for updates"};
    QTest::newRow("unparsable and odd arguments")
        << "3.2.8"
        << QByteArray("collectProgress('a', 1, None);"
                      "collectGrabMeterStart('h/base/repomd.xml', '', '', 'big', None)")
        << QStringList {"failed", "2 Downloading repository contents repomd for base"};
}

void TestEngineProgressCallbacks::repositoryActs()
{
    QFETCH(QString, version);
    QFETCH(QByteArray, calls);
    StandinEngine standin(version);
    QVERIFY(standin.engine.initialize());
    QStringList const acts = TestAccess::run(standin.engine, &standin.total, &standin.item,
        {QStringLiteral("base"), QStringLiteral("updates")}, calls.constData());
    QTEST(acts, "acts");
    // Only the size that is not understood is worth a warning.
    QCOMPARE(standin.answerer.titles(),
        QTest::currentDataTag() == QLatin1String("unparsable and odd arguments")
            ? QStringList {YumIO::warningTitle()}
            : QStringList());
}

void TestEngineProgressCallbacks::downloads_data()
{
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<QByteArray>("calls");
    QTest::addColumn<QStringList>("acts");
    QTest::newRow("headers while resolving")
        << false
        << QByteArray("applyGrabMeterStart('http://h/larder?name=a&password=b&path=/r/"
                      "pkg-1.0-1.i386.hdr', None, None, 3000, None)")
        << QStringList {"10 Downloading pkg-1.0-1.i386 header"};
    QTest::newRow("packages once confirmed")
        << true
        << QByteArray(
               "applyGrabMeterStart('/var/cache/pkg-1.0-1.i386.rpm', None, None, 3000, None);"
               "applyGrabMeterUpdate(1000);"
               "applyGrabMeterStart('big.rpm', None, None, 50000, 'big')")
        << QStringList {"10240 Downloading pkg-1.0-1.i386", "60240 Downloading big"};
    QTest::newRow("delta rebuild") << true
                                   << QByteArray("applyGrabMeterStart('x', None, None, 5, "
                                                 "'<delta rebuild>')")
                                   << QStringList {"0 Finishing RPM rebuild from deltas"};
}

void TestEngineProgressCallbacks::downloads()
{
    QFETCH(bool, confirmed);
    QFETCH(QByteArray, calls);
    StandinEngine standin;
    QVERIFY(standin.engine.initialize());
    QStringList const acts = TestAccess::run(standin.engine, &standin.total, &standin.item,
        {QStringLiteral("base")}, calls.constData(), confirmed);
    QTEST(acts, "acts");
}

QTEST_MAIN(TestEngineProgressCallbacks)
#include "TestEngineProgressCallbacks.moc"
