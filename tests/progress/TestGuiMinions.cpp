// The progress panel and the engine's dialogs: both are driven from a worker
// thread through a minion in the GUI thread.

#include "progress/Progress.h"
#include "support/ModalAnswerer.h"
#include "widgets/HProgressBar.h"
#include "yumio/YumIODialogs.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <atomic>
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
    QDeadlineTimer const limit(30000);
    while (!thread->wait(5) && !limit.hasExpired())
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

// Runs a script of panel calls; "wait" sleeps past the 10 ms throttle, so
// the value update after it always passes.
void play(Progress& p, QString const& script)
{
    QString const t = QStringLiteral("t");
    std::map<QString, std::function<void(Steps, Steps)>> const calls {
        {"wait", [](Steps, Steps) { QThread::msleep(12); }},
        {"startTotal", [&](Steps a, Steps) { p.startTotal(t, a); }},
        {"startItem", [&](Steps a, Steps b) { p.startItem(t, a, b); }},
        {"setupActs", [&](Steps a, Steps b) { p.setupItemActs(a, b); }},
        {"changeActs", [&](Steps a, Steps) { p.changeItemActs(a); }},
        {"startAct", [&](Steps a, Steps b) { p.startItemAct(t, a, b); }},
        {"item", [&](Steps a, Steps) { p.setItemValue(a); }},
        {"endActs", [&](Steps, Steps) { p.endItemActs(); }},
        {"total", [&](Steps a, Steps) { p.setTotalValue(a); }},
        {"reset", [&](Steps, Steps) { p.reset(); }},
    };
    for (QString const& call : script.split(QStringLiteral("; "))) {
        QStringList const a = call.split(QLatin1Char(' '));
        calls.at(a.at(0))(a.value(1).toULongLong(), a.value(2).toULongLong());
    }
}

// Whether a bar shows "value/tail", scaled to the same ratio beyond int range.
bool barShows(HProgressBar const& bar, QString const& expected)
{
    double const value = expected.section(QLatin1Char('/'), 0, 0).toDouble();
    double const tail = expected.section(QLatin1Char('/'), 1).toDouble();
    if (tail <= INT_MAX)
        return bar.value() == int(value) && bar.maximum() == int(tail);
    return bar.maximum() > 0 && qAbs(value / tail - double(bar.value()) / bar.maximum()) < 1e-6;
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
    // The totals the updates carry, in order, then what the total and item bars show.
    QTest::addColumn<QString>("expected");
    QTest::newRow("item tail 0") << "startTotal 1000; startItem 100 0; wait; item 5" << false
                                 << "0 100 | 100/1000 0/0";
    QTest::newRow("values clamped to the tails")
        << "startTotal 1000; total 2000; startItem 200 50; wait; item 70" << false
        << "1000 0 200 | 200/1000 50/50";
    QTest::newRow("act end beyond the count")
        << "startTotal 1000; setupActs 300 3; startAct 10 1; wait; item 10; startAct 20 5; "
           "wait; item 10; endActs"
        << false << "0 100 100 200 300 | 300/1000 10/20";
    QTest::newRow("acts count 0")
        << "startTotal 1000; setupActs 300 0; startAct 10 2; wait; item 5; endActs" << false
        << "0 0 300 | 300/1000 5/10";
    QTest::newRow("change acts to 0")
        << "startTotal 1000; startItem 100 1; setupActs 300 3; startAct 10 1; changeActs 0" << false
        << "0 100 400 | 400/1000 0/10";
    // The end of the act moves before its start: the total bar runs backwards.
    QTest::newRow("more acts in the middle of an act")
        << "startTotal 1000; setupActs 300 3; startAct 10 1; startAct 10 2; changeActs 12; "
           "wait; item 5"
        << false << "0 100 50 75 | 75/1000 5/10";
    QTest::newRow("reset restarts at 0")
        << "startTotal 1000; startItem 100 10; reset; startTotal 500; startItem 100 10" << false
        << "0 0 | 0/500 0/10";
    QTest::newRow("values beyond int scaled")
        << "startTotal 8000000000; startItem 4000000000 6000000000; wait; item 3000000000" << false
        << "0 2000000000 | 2000000000/8000000000 3000000000/6000000000";
    QTest::newRow("product beyond 64 bits, worker thread")
        << "startTotal 9223372036854775808; startItem 4611686018427387904 1099511627776; "
           "wait; item 549755813888"
        << true
        << "0 2305843009213693952 | 2305843009213693952/9223372036854775808 "
           "549755813888/1099511627776";
}

void TestGuiMinions::progress()
{
    QFETCH(QString, script);
    QFETCH(bool, worker);
    QFETCH(QString, expected);
    HProgressBar total;
    HProgressBar item;
    QStringList log;
    Progress* progress = nullptr;
    runIn(worker, [&] {
        progress = new Progress(&total, &item);
        record(progress, &log);
        play(*progress, script);
        // Handed over so that it can be deleted here once the bars are checked.
        progress->moveToThread(QCoreApplication::instance()->thread());
    });
    QCoreApplication::processEvents();
    QStringList const bars = expected.section(QStringLiteral(" | "), 1).split(QLatin1Char(' '));
    QCOMPARE(log.join(QLatin1Char(' ')), expected.section(QStringLiteral(" | "), 0, 0));
    QVERIFY2(barShows(total, bars.at(0)) && barShows(item, bars.at(1)),
        qPrintable(QStringLiteral("%1 %2").arg(total.value()).arg(item.value())));
    delete progress;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!total.isEnabled() && !item.isEnabled());
    QCOMPARE(total.text(), QString());
}

void TestGuiMinions::throttleKeepsTheFinalValue()
{
    HProgressBar total;
    HProgressBar item;
    QStringList log; // declared first: the recorders write to it while the panel lives
    Progress progress(&total, &item);
    record(&progress, &log);
    bool delivered = false;
    QTimer::singleShot(0, this, [&delivered] { delivered = true; });

    QElapsedTimer clock;
    clock.start();
    progress.startTotal(QStringLiteral("Reading"), 1000);
    progress.startItem(QStringLiteral("Header"), 1000, 100000);
    for (Steps value = 1; value <= 100000; ++value)
        progress.setItemValue(value);
    qint64 const elapsed = clock.elapsed();
    QCOMPARE(log.last(), QStringLiteral("1000"));
    // Besides the final value, an update passes at most once per 10 ms.
    QVERIFY2(log.size() - 1 <= elapsed / 10 + 2,
        qPrintable(QStringLiteral("%1 updates in %2 ms").arg(log.size() - 1).arg(elapsed)));

    // Driven from the GUI thread, the panel lets events through.
    QThread::msleep(12);
    progress.setTotalValue(1000);
    QVERIFY(delivered);
    QCOMPARE(total.text(), QStringLiteral("Reading (100%)"));
    QCOMPARE(item.text(), QStringLiteral("Header (100%)"));
}

void TestGuiMinions::dialogs_data()
{
    QTest::addColumn<bool>("worker");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QStringList>("buttons"); // the escape button is number 2
    QTest::addColumn<QString>("answer"); // a button, "escape" or "close"
    QTest::addColumn<int>("result");
    QStringList const three {"&Skip", "&Retry", "&Quit"};
    for (bool worker : {false, true}) {
        char const* where = worker ? "worker" : "GUI thread";
        QTest::addRow("confirm OK, %s", where) << worker << "confirm" << three << "OK" << 1;
        QTest::addRow("confirm Cancel, %s", where) << worker << "confirm" << three << "Cancel" << 0;
        QTest::addRow("critical, middle button, %s", where)
            << worker << "critical" << three << "Retry" << 1;
        QTest::addRow("scrollable, %s", where) << worker << "scrollable" << three << "Close" << 0;
    }
    QTest::newRow("confirm closed") << true << "confirm" << three << "close" << 0;
    QTest::newRow("critical, escape button") << true << "critical" << three << "escape" << 2;
    QTest::newRow("warning, first button") << true << "warning" << three << "Skip" << 0;
    // A box needs a button to be dismissed at all.
    QTest::newRow("warning, no texts gives OK")
        << false << "warning" << QStringList {"", "", ""} << "OK" << 0;
}

void TestGuiMinions::dialogs()
{
    QFETCH(bool, worker);
    QFETCH(QString, call);
    QFETCH(QStringList, buttons);
    QFETCH(QString, answer);
    QFETCH(int, result);
    // The answerer runs in the GUI thread: answering at all shows that the GUI
    // thread kept handling events while the asker waited.
    std::atomic<bool> finished {false};
    bool blocked = false;
    ModalAnswerer answerer;
    answerer.answer([&](QWidget* dialog) {
        blocked = !finished;
        if (answer == QLatin1String("escape"))
            QTimer::singleShot(0, dialog, [dialog] { QTest::keyClick(dialog, Qt::Key_Escape); });
        else if (answer == QLatin1String("close"))
            QTimer::singleShot(0, dialog, [dialog] { dialog->close(); });
        else
            QVERIFY(ModalAnswerer::clickButton(dialog, answer));
        // Checked once answered, so that a failure cannot leave the dialog open.
        if (auto* box = qobject_cast<QMessageBox*>(dialog))
            QCOMPARE(
                box->icon(), call == "critical" ? QMessageBox::Critical : QMessageBox::Warning);
    });

    QWidget parent;
    int got = -100;
    int waits = -1;
    runIn(worker, [&] {
        YumIODialogs dialogs(&parent);
        // Should a GUI-thread request ever wait for an answer that already
        // came, this breaks the wait and the result shows it.
        QTimer rescue;
        connect(&rescue, &QTimer::timeout, &dialogs, [&dialogs] { dialogs.setResult(-99); });
        if (!worker)
            rescue.start(20000);
        QString const text = QStringLiteral("Install:<br>alpha");
        if (call == QLatin1String("confirm")) {
            got = dialogs.confirm(QStringLiteral("Apply"), text);
        } else if (call == QLatin1String("scrollable")) {
            dialogs.scrollable(QStringLiteral("VUX Python Exception"), text);
            got = 0;
        } else {
            auto box = call == QLatin1String("critical") ? &YumIODialogs::critical
                                                         : &YumIODialogs::warning;
            got = (dialogs.*box)(QStringLiteral("VUX Yum Error"), text, buttons.value(0),
                buttons.value(1), buttons.value(2), 0, 2);
        }
        waits = dialogs.waitCount();
        finished = true;
    });
    QCOMPARE(got, result);
    // A worker waits for the answer; in the GUI thread it comes inside the request.
    QVERIFY(blocked || !worker);
    QCOMPARE(waits, worker ? 1 : 0);
}

QTEST_MAIN(TestGuiMinions)
#include "TestGuiMinions.moc"
