// SPDX-License-Identifier: GPL-2.0-or-later
// The progress panel and the engine's dialogs: both are driven from a worker
// thread through a minion in the GUI thread.

#include "progress/Progress.h"
#include "support/ModalAnswerer.h"
#include "widgets/HProgressBar.h"
#include "yumio/YumIODialogs.h"

#include <QtTest>

#include <climits>
#include <map>

namespace {

// Runs body in a worker thread while this thread handles events, or here.
void runIn(bool worker, std::function<void()> const& body)
{
    if (!worker)
        return body();
    std::unique_ptr<QThread> thread(QThread::create(body));
    thread->start();
    for (QDeadlineTimer limit(30000); !thread->wait(5) && !limit.hasExpired();)
        QCoreApplication::processEvents();
    if (!thread->isFinished())
        qFatal("the worker never finished");
}

// Notes the total value each panel update carries.
void record(Progress* progress, QStringList* log)
{
    auto note = [log](Steps total) { log->append(QString::number(total)); };
    QObject::connect(progress, &Progress::startItemSig, [=](QString, Steps v, Steps) { note(v); });
    QObject::connect(progress, &Progress::changeItemActsSig, note);
    QObject::connect(progress, &Progress::setItemValueSig, [=](Steps v, Steps) { note(v); });
    QObject::connect(progress, &Progress::endItemActsSig, note);
    QObject::connect(progress, &Progress::setTotalValueSig, note);
}

// Runs a script of panel calls, named after the panel's functions. A "value"
// first sleeps past the 10 ms throttle, so that it always passes.
void play(Progress& p, QString const& script)
{
    QString const t = QStringLiteral("t");
    std::map<QString, std::function<void(Steps, Steps)>> const calls {
        {"total", [&](Steps a, Steps) { p.startTotal(t, a); }},
        {"item", [&](Steps a, Steps b) { p.startItem(t, a, b); }},
        {"acts", [&](Steps a, Steps b) { p.setupItemActs(a, b); }},
        {"change", [&](Steps a, Steps) { p.changeItemActs(a); }},
        {"act", [&](Steps a, Steps b) { p.startItemAct(t, a, b); }},
        {"value", [&](Steps a, Steps) { p.setItemValue(a); }},
        {"end", [&](Steps, Steps) { p.endItemActs(); }},
        {"totalValue", [&](Steps a, Steps) { p.setTotalValue(a); }},
        {"reset", [&](Steps, Steps) { p.reset(); }},
    };
    for (QString const& call : script.split(QStringLiteral("; "))) {
        QStringList const a = call.split(QLatin1Char(' '));
        if (a.at(0) == QLatin1String("value"))
            QThread::msleep(12);
        calls.at(a.at(0))(a.value(1).toULongLong(), a.value(2).toULongLong());
    }
}

// Whether a bar shows "value/tail", scaled to the same ratio beyond int range.
bool barShows(HProgressBar const& bar, QString const& expected)
{
    double const value = expected.section('/', 0, 0).toDouble();
    double const tail = expected.section('/', 1).toDouble();
    return tail <= INT_MAX ? bar.value() == value && bar.maximum() == tail
                           : qAbs(value / tail - double(bar.value()) / bar.maximum()) < 1e-6;
}

} // namespace

class TestGuiMinions : public QObject
{
    Q_OBJECT

private slots:
    void progress_data();
    void progress();
    void throttleKeepsTheFinalValue();
    void dialogs_data();
    void dialogs();
};

void TestGuiMinions::progress_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("worker");
    // The totals the updates carry, in order; where given, what the total and item bars show.
    QTest::addColumn<QString>("expected");
    auto const row = [](char const* tag, char const* script, char const* expected) {
        for (bool worker : {false, true}) // in the GUI thread and in a worker
            QTest::addRow("%s%s", tag, worker ? ", worker" : "") << script << worker << expected;
    };
    row("item tail 0", "total 1000; item 100 0; value 5", "0 100 | 100/1000 0/0");
    row("values clamped to the tails", "total 1000; totalValue 2000; item 200 50; value 70",
        "1000 0 200 | 200/1000 50/50");
    row("act end beyond the count",
        "total 1000; acts 300 3; act 10 1; value 10; act 20 5; value 10; end", "0 100 100 200 300");
    row("acts count 0", "total 1000; acts 300 0; act 10 2; value 5; end", "0 0 300");
    row("change acts to 0", "total 1000; item 100 1; acts 300 3; act 10 1; change 0", "0 100 400");
    // The end of the act moves before its start: the total bar runs backwards.
    row("more acts in the middle of an act",
        "total 1000; acts 300 3; act 10 1; act 10 2; change 12; value 5", "0 100 50 75");
    row("reset restarts at 0", "total 1000; item 100 10; reset; total 500; item 100 10", "0 0");
    row("values beyond int scaled",
        "total 8000000000; item 4000000000 6000000000; value 3000000000",
        "0 2000000000 | 2000000000/8000000000 3000000000/6000000000");
    row("product beyond 64 bits",
        "total 9223372036854775808; item 4611686018427387904 1099511627776; value 549755813888",
        "0 2305843009213693952 | 2305843009213693952/9223372036854775808 "
        "549755813888/1099511627776");
}

void TestGuiMinions::progress()
{
    QFETCH(QString, script);
    QFETCH(bool, worker);
    QFETCH(QString, expected);
    HProgressBar total, item;
    QStringList log;
    Progress* progress = nullptr;
    bool delivered = false;
    QTimer::singleShot(0, this, [&delivered] { delivered = true; });
    runIn(worker, [&] {
        progress = new Progress(&total, &item);
        record(progress, &log);
        play(*progress, script);
        // Handed over so that it can be deleted here once the bars are checked.
        progress->moveToThread(QCoreApplication::instance()->thread());
    });
    // Driven from the GUI thread, the panel paints its bars itself and lets
    // no event through: its callers hold the interpreter lock.
    QVERIFY(worker || !delivered);
    QCoreApplication::processEvents();
    QCOMPARE(log.join(' '), expected.section(" | ", 0, 0));
    QStringList const bars = expected.section(" | ", 1).split(' ');
    QVERIFY(bars.size() < 2 || (barShows(total, bars[0]) && barShows(item, bars[1])));
    delete progress;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!total.isEnabled() && !item.isEnabled());
    QCOMPARE(total.text(), QString());
}

void TestGuiMinions::throttleKeepsTheFinalValue()
{
    HProgressBar total, item;
    QStringList log; // declared first: the recorders write to it while the panel lives
    Progress progress(&total, &item);
    record(&progress, &log);
    QElapsedTimer clock;
    clock.start();
    progress.startTotal(QStringLiteral("Reading"), 1000);
    progress.startItem(QStringLiteral("Header"), 1000, 100000);
    for (Steps value = 1; value <= 100000; ++value)
        progress.setItemValue(value);
    QCOMPARE(log.last(), QStringLiteral("1000"));
    // Besides the final value, an update passes at most once per 10 ms.
    QVERIFY2(log.size() - 1 <= clock.elapsed() / 10 + 2, qPrintable(log.join(' ')));
    QCOMPARE(total.text(), QStringLiteral("Reading (100%)"));
    QCOMPARE(item.text(), QStringLiteral("Header (100%)"));
}

void TestGuiMinions::dialogs_data()
{
    QTest::addColumn<bool>("worker");
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("answer"); // a button, "escape" or "close"
    for (bool worker : {false, true}) {
        char const* where = worker ? "worker" : "GUI thread";
        QTest::addRow("confirm OK, %s", where) << worker << "confirm" << 1 << "OK";
        QTest::addRow("confirm Cancel, %s", where) << worker << "confirm" << 0 << "Cancel";
        QTest::addRow("critical, middle button, %s", where) << worker << "critical" << 1 << "Retry";
        QTest::addRow("scrollable, %s", where) << worker << "scrollable" << 0 << "Close";
    }
    QTest::newRow("confirm closed") << true << "confirm" << 0 << "close";
    QTest::newRow("critical, escape button") << true << "critical" << 2 << "escape";
    QTest::newRow("warning without button texts gives OK") << false << "warning" << 0 << "OK";
}

void TestGuiMinions::dialogs()
{
    QFETCH(bool, worker);
    QFETCH(QString, call);
    QFETCH(int, result);
    QFETCH(QString, answer);
    // Answered from the GUI thread, which must keep handling events meanwhile.
    ModalAnswerer answerer;
    answerer.answer([answer](QWidget* dialog) {
        if (answer == "escape")
            QTimer::singleShot(0, dialog, [dialog] { QTest::keyClick(dialog, Qt::Key_Escape); });
        else if (answer == "close")
            QTimer::singleShot(0, dialog, [dialog] { dialog->close(); });
        else
            QVERIFY(ModalAnswerer::clickButton(dialog, answer));
    });
    // Warnings here have no button texts; the escape button is number 2.
    QStringList const buttons
        = call == "warning" ? QStringList(3) : QStringList {"&Skip", "&Retry", "&Quit"};
    QWidget parent;
    int got = 0, waits = -1, answered = -1;
    runIn(worker, [&] {
        YumIODialogs dialogs(&parent);
        if (!worker) // ends a wait for an answer that came inside the request already
            QTimer::singleShot(20000, &dialogs, [&dialogs] { dialogs.setResult(-99); });
        QString const text = QStringLiteral("Install:<br>alpha");
        auto const box = call == "critical" ? &YumIODialogs::critical : &YumIODialogs::warning;
        if (call == "confirm")
            got = dialogs.confirm(text, text);
        else if (call == "scrollable")
            dialogs.scrollable(text, text);
        else
            got = (dialogs.*box)(text, text, buttons[0], buttons[1], buttons[2], 0, 2);
        waits = dialogs.waitCount(); // a worker waits; the GUI thread is answered inside
        answered = answerer.answered(); // the request returned only once answered
    });
    QCOMPARE(got, result);
    QCOMPARE(answered, 1);
    QCOMPARE(waits, worker ? 1 : 0);
}

QTEST_MAIN(TestGuiMinions)
#include "TestGuiMinions.moc"
