#include "support/ModalAnswerer.h"
#include "yumio/YumIODialogs.h"

#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <functional>

namespace {

using Ask = std::function<int(YumIODialogs&)>;

struct Outcome
{
    int result = -100;
    int waits = -1;
    bool workerWaitedForAnswer = false;
    int ticksWhileWaiting = 0;
};

// Asks from a worker thread or from the GUI thread. While the dialog is open
// the answerer notes whether the worker is still blocked and how often a
// GUI-thread timer fired since the question was put.
Outcome ask(
    bool worker, QWidget* parent, Ask const& question, std::function<void(QWidget*)> const& answer)
{
    Outcome outcome;
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(5);

    std::atomic<bool> finished {false};
    ModalAnswerer answerer;
    answerer.answer([&](QWidget* dialog) {
        outcome.workerWaitedForAnswer = !finished;
        outcome.ticksWhileWaiting = ticks;
        answer(dialog);
    });

    auto body = [&] {
        YumIODialogs dialogs(parent);
        // Should a GUI-thread request ever wait for an answer that already
        // came, this breaks the wait and the result shows it.
        QTimer rescue;
        rescue.setSingleShot(true);
        QObject::connect(
            &rescue, &QTimer::timeout, &dialogs, [&dialogs] { dialogs.setResult(-99); });
        if (!worker)
            rescue.start(20000);
        outcome.result = question(dialogs);
        outcome.waits = dialogs.waitCount();
        finished = true;
    };
    if (worker) {
        std::unique_ptr<QThread> thread(QThread::create(body));
        thread->start();
        QElapsedTimer limit;
        limit.start();
        while (!thread->wait(5) && limit.elapsed() < 30000)
            QCoreApplication::processEvents();
        if (!thread->isFinished())
            qFatal("the worker never got its answer");
    } else {
        body();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return outcome;
}

std::function<void(QWidget*)> click(QString const& name)
{
    return [name](QWidget* dialog) { QVERIFY(ModalAnswerer::clickButton(dialog, name)); };
}

std::function<void(QWidget*)> escapeThenClick(QString const& name)
{
    return [name](QWidget* dialog) {
        QTimer::singleShot(0, dialog, [dialog, name] {
            QTest::keyClick(dialog, Qt::Key_Escape);
            if (!name.isEmpty() && dialog->isVisible())
                ModalAnswerer::clickButton(dialog, name);
        });
    };
}

} // namespace

class TestYumIODialogs : public QObject
{
    Q_OBJECT

private slots:
    void confirm_data();
    void confirm();
    void messageBoxes_data();
    void messageBoxes();
    void scrollable_data();
    void scrollable();

private:
    QWidget parent;
};

void TestYumIODialogs::confirm_data()
{
    QTest::addColumn<bool>("worker");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("result");
    for (bool worker : {false, true}) {
        char const* where = worker ? "worker" : "GUI thread";
        QTest::addRow("OK, %s", where) << worker << "okButton" << 1;
        QTest::addRow("Cancel, %s", where) << worker << "cancelButton" << 0;
        QTest::addRow("closed, %s", where) << worker << "close" << 0;
    }
}

void TestYumIODialogs::confirm()
{
    QFETCH(bool, worker);
    QFETCH(QString, answer);
    QFETCH(int, result);
    auto answerer = answer == QLatin1String("close")
        ? std::function<void(QWidget*)>(
            [](QWidget* dialog) { QTimer::singleShot(0, dialog, [dialog] { dialog->close(); }); })
        : click(answer);
    Outcome const outcome = ask(
        worker, &parent,
        [](YumIODialogs& dialogs) {
            return dialogs.confirm(
                QStringLiteral("Apply"), QStringLiteral("Install:<br>alpha<br>beta"));
        },
        answerer);
    QCOMPARE(outcome.result, result);
    if (worker) {
        QVERIFY(outcome.workerWaitedForAnswer);
        QCOMPARE(outcome.waits, 1);
        // The GUI thread kept handling events while the worker waited.
        QVERIFY(outcome.ticksWhileWaiting > 0);
    } else {
        // The answer came inside the request: the waiting loop never ran.
        QCOMPARE(outcome.waits, 0);
    }
}

void TestYumIODialogs::messageBoxes_data()
{
    QTest::addColumn<bool>("worker");
    QTest::addColumn<bool>("critical");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<int>("escapeButton");
    QTest::addColumn<QString>("answer"); // button name, or "escape" then a button name
    QTest::addColumn<int>("result");
    QStringList const three {"&Skip", "&Retry", "&Quit"};
    for (bool worker : {false, true}) {
        char const* where = worker ? "worker" : "GUI thread";
        QTest::addRow("critical, middle button, %s", where)
            << worker << true << three << 0 << 2 << "button1" << 1;
        QTest::addRow("warning, first button, %s", where)
            << worker << false << QStringList {"OK", "Cancel", ""} << 0 << -1 << "button0" << 0;
        QTest::addRow("critical, escape button, %s", where)
            << worker << true << three << 0 << 2 << "escape" << 2;
        QTest::addRow("warning, no escape button, %s", where)
            << worker << false << QStringList {"Yes", "No", ""} << 0 << -1 << "escape button1" << 1;
    }
    QTest::addRow("critical, third button by text")
        << false << true << three << 1 << -1 << "Quit" << 2;
    QTest::addRow("warning, empty first text gives OK")
        << false << false << QStringList {"", "", ""} << 0 << -1 << "OK" << 0;
}

void TestYumIODialogs::messageBoxes()
{
    QFETCH(bool, worker);
    QFETCH(bool, critical);
    QFETCH(QStringList, buttons);
    QFETCH(int, defaultButton);
    QFETCH(int, escapeButton);
    QFETCH(QString, answer);
    QFETCH(int, result);

    QString title;
    int shownButtons = 0;
    QString defaultName;
    std::function<void(QWidget*)> const press = answer.startsWith(QLatin1String("escape"))
        ? escapeThenClick(answer.section(QLatin1Char(' '), 1))
        : click(answer);
    Outcome const outcome = ask(
        worker, &parent,
        [&](YumIODialogs& dialogs) {
            auto call = critical ? &YumIODialogs::critical : &YumIODialogs::warning;
            return (dialogs.*call)(QStringLiteral("VUX Yum Error"), QStringLiteral("It failed."),
                buttons.value(0), buttons.value(1), buttons.value(2), defaultButton, escapeButton);
        },
        [&](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            QVERIFY(box);
            title = box->windowTitle();
            shownButtons = box->buttons().size();
            if (box->defaultButton())
                defaultName = box->defaultButton()->objectName();
            QCOMPARE(box->icon(), critical ? QMessageBox::Critical : QMessageBox::Warning);
            press(dialog);
        });
    QCOMPARE(outcome.result, result);
    QCOMPARE(title, QStringLiteral("VUX Yum Error"));
    int nonEmpty = 0;
    for (QString const& text : buttons)
        nonEmpty += text.isEmpty() ? 0 : 1;
    QCOMPARE(shownButtons, qMax(nonEmpty, 1));
    QCOMPARE(defaultName, QStringLiteral("button%1").arg(defaultButton));
}

void TestYumIODialogs::scrollable_data()
{
    QTest::addColumn<bool>("worker");
    QTest::newRow("GUI thread") << false;
    QTest::newRow("worker") << true;
}

void TestYumIODialogs::scrollable()
{
    QFETCH(bool, worker);
    QString shown;
    Outcome const outcome = ask(
        worker, &parent,
        [](YumIODialogs& dialogs) {
            dialogs.scrollable(QStringLiteral("VUX Python Exception"),
                QStringLiteral("Traceback (most recent call last):"));
            return 0;
        },
        [&shown](QWidget* dialog) {
            shown = ModalAnswerer::dialogText(dialog);
            QVERIFY(ModalAnswerer::clickButton(dialog, QStringLiteral("closeButton")));
        });
    QCOMPARE(outcome.result, 0);
    QVERIFY(shown.contains(QStringLiteral("Traceback")));
    QCOMPARE(outcome.waits, worker ? 1 : 0);
}

QTEST_MAIN(TestYumIODialogs)
#include "TestYumIODialogs.moc"
