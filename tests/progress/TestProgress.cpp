#include "progress/Progress.h"
#include "widgets/HProgressBar.h"

#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <climits>

namespace {

// Runs a script of panel calls, one call per entry, and records what the
// panel emits. "wait" sleeps past the 10 ms throttle; a call marked with "!"
// is expected to fall within it, which only holds when the machine ran the
// calls since the last wait within 9 ms.
struct Run
{
    QStringList emitted;
    bool tooSlow = false;
};

Steps steps(QString const& text)
{
    return text.toULongLong();
}

void record(Progress* progress, QStringList* log)
{
    auto n = [](Steps value) { return QString::number(value); };
    QObject::connect(progress, &Progress::startTotalSig, [=](QString const& a, Steps t) {
        log->append(QStringLiteral("startTotal %1 %2").arg(a, n(t)));
    });
    QObject::connect(progress, &Progress::startItemSig, [=](QString const& a, Steps v, Steps t) {
        log->append(QStringLiteral("startItem %1 %2 %3").arg(a, n(v), n(t)));
    });
    QObject::connect(progress, &Progress::changeItemActsSig,
        [=](Steps v) { log->append(QStringLiteral("changeActs ") + n(v)); });
    QObject::connect(progress, &Progress::setItemValueSig,
        [=](Steps v, Steps i) { log->append(QStringLiteral("item %1 %2").arg(n(v), n(i))); });
    QObject::connect(progress, &Progress::endItemActsSig,
        [=](Steps v) { log->append(QStringLiteral("endActs ") + n(v)); });
    QObject::connect(progress, &Progress::setTotalValueSig,
        [=](Steps v) { log->append(QStringLiteral("total ") + n(v)); });
    QObject::connect(progress, &Progress::resetSig, [=] { log->append(QStringLiteral("reset")); });
}

void play(Progress& progress, QStringList const& script, Run& run)
{
    QElapsedTimer sinceWait;
    sinceWait.start();
    for (QString line : script) {
        if (line == QLatin1String("wait")) {
            QThread::msleep(12);
            sinceWait.start();
            continue;
        }
        bool const quick = line.startsWith(QLatin1Char('!'));
        if (quick) {
            line.remove(0, 1);
            if (sinceWait.elapsed() >= 9)
                run.tooSlow = true;
        }
        QStringList const a = line.split(QLatin1Char(' '));
        QString const& op = a.at(0);
        if (op == QLatin1String("startTotal"))
            progress.startTotal(a.at(1), steps(a.at(2)));
        else if (op == QLatin1String("startItem"))
            progress.startItem(a.at(1), steps(a.at(2)), steps(a.at(3)));
        else if (op == QLatin1String("setupActs"))
            progress.setupItemActs(steps(a.at(1)), steps(a.at(2)));
        else if (op == QLatin1String("changeActs"))
            progress.changeItemActs(steps(a.at(1)));
        else if (op == QLatin1String("startAct"))
            progress.startItemAct(a.at(1), steps(a.at(2)), steps(a.at(3)));
        else if (op == QLatin1String("item"))
            progress.setItemValue(steps(a.at(1)));
        else if (op == QLatin1String("endActs"))
            progress.endItemActs();
        else if (op == QLatin1String("total"))
            progress.setTotalValue(steps(a.at(1)));
        else if (op == QLatin1String("reset"))
            progress.reset();
        else
            qFatal("unknown script call %s", qPrintable(line));
    }
}

// Empty when the bar shows value of tail ("value/tail"), scaled or not.
QString barShows(HProgressBar const* bar, QString const& expected)
{
    if (expected == QLatin1String("-"))
        return {};
    Steps const value = steps(expected.section(QLatin1Char('/'), 0, 0));
    Steps const tail = steps(expected.section(QLatin1Char('/'), 1, 1));
    QString const shown = QStringLiteral("%1/%2").arg(bar->value()).arg(bar->maximum());
    if (tail <= Steps(INT_MAX))
        return shown == expected ? QString() : shown;
    double const want = double(value) / double(tail);
    double const got = double(bar->value()) / double(bar->maximum());
    if (bar->maximum() <= 0 || bar->value() < 0 || qAbs(want - got) > 1e-6)
        return shown;
    return {};
}

} // namespace

class TestProgress : public QObject
{
    Q_OBJECT

private slots:
    void script_data();
    void script();
    void pumpsEventsInTheGuiThread();
};

void TestProgress::script_data()
{
    QTest::addColumn<bool>("worker");
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("emitted");
    QTest::addColumn<QString>("totalBar");
    QTest::addColumn<QString>("itemBar");

    struct Row
    {
        char const* name;
        QStringList script;
        QStringList emitted;
        QString totalBar;
        QString itemBar;
    };
    QList<Row> const rows = {
        {"item tail 0", {"startTotal t 1000", "startItem a 100 0", "wait", "item 5"},
            {"startTotal t 1000", "startItem a 0 0", "item 100 0"}, "100/1000", "0/0"},
        {"value clamped to tail", {"startTotal t 1000", "startItem a 200 50", "wait", "item 70"},
            {"startTotal t 1000", "startItem a 0 50", "item 200 50"}, "200/1000", "50/50"},
        {"throttle keeps the final value",
            {"startTotal t 1000", "startItem a 100 50", "!item 5", "wait", "item 10", "!item 20",
                "!item 50", "!item 50", "!item 50"},
            {"startTotal t 1000", "startItem a 0 50", "item 20 10", "item 100 50"}, "100/1000",
            "50/50"},
        {"acts with an end beyond the count",
            {"startTotal t 1000", "setupActs 300 3", "startAct a 10 1", "wait", "item 10",
                "startAct b 20 5", "wait", "item 10", "endActs"},
            {"startTotal t 1000", "startItem a 0 10", "item 100 10", "startItem b 100 20",
                "item 200 10", "endActs 300"},
            "300/1000", "10/20"},
        {"acts count 0",
            {"startTotal t 1000", "setupActs 300 0", "startAct a 10 2", "wait", "item 5",
                "endActs"},
            {"startTotal t 1000", "startItem a 0 10", "item 0 5", "endActs 300"}, "300/1000",
            "5/10"},
        {"change acts to 0",
            {"startTotal t 1000", "startItem x 100 1", "setupActs 300 3", "startAct a 10 1",
                "changeActs 0"},
            {"startTotal t 1000", "startItem x 0 1", "startItem a 100 10", "changeActs 400"},
            "400/1000", "0/10"},
        {"more acts in the middle of an act",
            {"startTotal t 1000", "setupActs 300 3", "startAct a 10 1", "startAct b 10 2",
                "changeActs 12", "wait", "item 5"},
            {"startTotal t 1000", "startItem a 0 10", "startItem b 100 10", "changeActs 50",
                "item 75 5"},
            "75/1000", "5/10"},
        {"setup of acts emits nothing", {"startTotal t 1000", "setupActs 500 5"},
            {"startTotal t 1000"}, "0/1000", "-"},
        {"reset restarts at 0",
            {"startTotal t 1000", "startItem a 100 10", "startItem b 100 10", "reset",
                "startTotal u 500", "startItem c 100 10"},
            {"startTotal t 1000", "startItem a 0 10", "startItem b 100 10", "reset",
                "startTotal u 500", "startItem c 0 10"},
            "0/500", "0/10"},
        {"total value clamped and throttled",
            {"startTotal t 1000", "total 2000", "!total 1000", "wait", "total 400", "!total 500",
                "!total 1000"},
            {"startTotal t 1000", "total 1000", "total 400", "total 1000"}, "1000/1000", "-"},
        {"values beyond int scaled",
            {"startTotal t 8000000000", "startItem a 4000000000 6000000000", "wait",
                "item 3000000000"},
            {"startTotal t 8000000000", "startItem a 0 6000000000", "item 2000000000 3000000000"},
            "2000000000/8000000000", "3000000000/6000000000"},
        {"product beyond 64 bits",
            {"startTotal t 9223372036854775808", "startItem a 4611686018427387904 1099511627776",
                "wait", "item 549755813888"},
            {"startTotal t 9223372036854775808", "startItem a 0 1099511627776",
                "item 2305843009213693952 549755813888"},
            "2305843009213693952/9223372036854775808", "549755813888/1099511627776"},
    };
    for (bool worker : {false, true}) {
        for (Row const& row : rows) {
            QTest::addRow("%s, %s", row.name, worker ? "worker thread" : "GUI thread")
                << worker << row.script << row.emitted << row.totalBar << row.itemBar;
        }
    }
}

void TestProgress::script()
{
    QFETCH(bool, worker);
    QFETCH(QStringList, script);
    QFETCH(QStringList, emitted);
    QFETCH(QString, totalBar);
    QFETCH(QString, itemBar);

    HProgressBar total;
    HProgressBar item;
    Run run;
    Progress* progress = nullptr;
    auto body = [&] {
        progress = new Progress(&total, &item);
        record(progress, &run.emitted);
        play(*progress, script, run);
        // Handed over so the test can delete it once the bars are checked.
        progress->moveToThread(QCoreApplication::instance()->thread());
    };
    if (worker) {
        std::unique_ptr<QThread> thread(QThread::create(body));
        thread->start();
        while (!thread->wait(5))
            QCoreApplication::processEvents();
    } else {
        body();
    }
    QCoreApplication::processEvents();

    if (run.tooSlow)
        QSKIP("the machine took 9 ms or more for calls meant to fall within the throttle");
    QCOMPARE(run.emitted, emitted);
    QString const totalError = barShows(&total, totalBar);
    QVERIFY2(totalError.isEmpty(), qPrintable(QStringLiteral("total bar shows ") + totalError));
    QString const itemError = barShows(&item, itemBar);
    QVERIFY2(itemError.isEmpty(), qPrintable(QStringLiteral("item bar shows ") + itemError));
    QVERIFY(total.isEnabled());

    delete progress;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(total.maximum(), 1);
    QCOMPARE(item.maximum(), 1);
    QVERIFY(!total.isEnabled());
    QVERIFY(!item.isEnabled());
    QCOMPARE(total.activity(), QString());
    QCOMPARE(total.text(), QString());
}

void TestProgress::pumpsEventsInTheGuiThread()
{
    HProgressBar total;
    HProgressBar item;
    Progress progress(&total, &item);
    bool delivered = false;
    QTimer::singleShot(0, this, [&delivered] { delivered = true; });
    progress.startTotal(QStringLiteral("Collecting"), 10);
    QThread::msleep(12);
    progress.startItem(QStringLiteral("Reading"), 5, 5);
    QVERIFY(delivered);
    QCOMPARE(total.text(), QStringLiteral("Collecting (0%)"));
    QCOMPARE(item.text(), QStringLiteral("Reading (0%)"));
}

QTEST_MAIN(TestProgress)
#include "TestProgress.moc"
