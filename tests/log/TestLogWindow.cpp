#include "app/Colors.h"
#include "log/LogWindow.h"
#include "widgets/HTextEdit.h"

#include <QScrollBar>
#include <QSpinBox>
#include <QTextBlock>
#include <QThread>
#include <QtTest>

using Log::Entry;

namespace {

void add(Log::EntryList& list, QList<Entry> const& entries)
{
    {
        QMutexLocker locker(&list);
        list.append(entries);
    }
    list.emitAppended();
}

struct Shown
{
    QString text;
    QColor color; // invalid: no colour of its own
    bool bold;
};

QList<Shown> shownLines(HTextEdit const* edit)
{
    QList<Shown> lines;
    QTextDocument const* document = edit->document();
    if (document->isEmpty())
        return lines;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QTextCharFormat const format = block.begin().fragment().charFormat();
        QBrush const brush = format.foreground();
        lines.append({block.text(), brush.style() == Qt::NoBrush ? QColor() : brush.color(),
            format.fontWeight() >= QFont::Bold});
    }
    return lines;
}

QStringList shownTexts(HTextEdit const* edit)
{
    QStringList texts;
    for (Shown const& line : shownLines(edit))
        texts.append(line.text);
    return texts;
}

} // namespace

class TestLogWindow : public QObject
{
    Q_OBJECT

private slots:
    void htmlProtect_data();
    void htmlProtect();
    void renderingByKind_data();
    void renderingByKind();
    void levelChangeRendersAgain();
    void headingIsCompact();
    void escapeHidesAndEmpties();
    void hiddenWindowRendersNothing();
    void followsAppendsFromAnotherThread();
    void openedScrolledToEnd();
};

void TestLogWindow::htmlProtect_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("protectedText");
    QTest::addColumn<QString>("shown");
    QTest::newRow("angle brackets") << "<b>x</b>"
                                    << "&lt;b&gt;x&lt;/b&gt;"
                                    << "<b>x</b>";
    QTest::newRow("double blank") << "a  b"
                                  << "a&#x0020;&#x0020;b"
                                  << "a  b";
    QTest::newRow("tab") << "a\tb"
                         << "a&#x0009;b"
                         << "a\tb";
    QTest::newRow("entity kept") << "x &amp; y"
                                 << "x&#x0020;&amp;&#x0020;y"
                                 << "x & y";
    QTest::newRow("leading blanks") << "  Installing"
                                    << "&#x0020;&#x0020;Installing"
                                    << "  Installing";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
}

void TestLogWindow::htmlProtect()
{
    QFETCH(QString, text);
    QFETCH(QString, protectedText);
    QFETCH(QString, shown);
    QString copy = text;
    Log::Window::htmlProtect(copy);
    QCOMPARE(copy, protectedText);

    Log::EntryList list;
    add(list, {Entry(Log::Output, 0, QStringLiteral("first")), Entry(Log::Output, 0, text)});
    Log::Window window(list);
    window.show();
    auto* edit = window.findChild<HTextEdit*>(QStringLiteral("logText"));
    QCOMPARE(shownTexts(edit), (QStringList {QStringLiteral("first"), shown}));
}

void TestLogWindow::renderingByKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("detail");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QString>("color"); // empty: plain
    QTest::newRow("message level 0") << int(Log::Message) << 0 << 2 << true << "";
    QTest::newRow("message above detail") << int(Log::Message) << 3 << 2 << false << "";
    QTest::newRow("message level 9") << int(Log::Message) << 9 << 10 << true << "";
    QTest::newRow("message level 10 at 10")
        << int(Log::Message) << 10 << 10 << true << Colors::minor();
    QTest::newRow("message level 10 at 9") << int(Log::Message) << 10 << 9 << false << "";
    QTest::newRow("output") << int(Log::Output) << 0 << 2 << true << Colors::ok();
    QTest::newRow("warning") << int(Log::Warning) << 0 << 2 << true << Colors::warning();
    QTest::newRow("error") << int(Log::Error) << 0 << 2 << true << Colors::error();
    QTest::newRow("heading") << int(Log::Heading) << 0 << 2 << true << Colors::action();
    QTest::newRow("unknown kind") << 17 << 0 << 2 << true << Colors::error();
}

void TestLogWindow::renderingByKind()
{
    QFETCH(int, kind);
    QFETCH(int, level);
    QFETCH(int, detail);
    QFETCH(bool, visible);
    QFETCH(QString, color);
    Log::EntryList list;
    add(list,
        {Entry(Log::Message, 0, QStringLiteral("before")),
            Entry(Log::Kind(kind), unsigned(level), QStringLiteral("the line")),
            Entry(Log::Message, 0, QStringLiteral("after"))});
    Log::Window window(list);
    window.findChild<QSpinBox*>(QStringLiteral("levelBox"))->setValue(detail);
    window.show();
    QList<Shown> const lines = shownLines(window.findChild<HTextEdit*>(QStringLiteral("logText")));
    if (!visible) {
        QCOMPARE(lines.size(), 2);
        return;
    }
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(1).text, QStringLiteral("the line"));
    QCOMPARE(lines.at(1).color, color.isEmpty() ? QColor() : QColor(color));
    QCOMPARE(lines.at(1).bold, kind == Log::Heading);
}

void TestLogWindow::levelChangeRendersAgain()
{
    Log::EntryList list;
    add(list,
        {Entry(Log::Message, 0, QStringLiteral("zero")),
            Entry(Log::Message, 4, QStringLiteral("four")),
            Entry(Log::Message, 10, QStringLiteral("ten"))});
    Log::Window window(list);
    window.show();
    auto* edit = window.findChild<HTextEdit*>(QStringLiteral("logText"));
    auto* levelBox = window.findChild<QSpinBox*>(QStringLiteral("levelBox"));
    QCOMPARE(levelBox->value(), Log::defaultLevel);
    QCOMPARE(shownTexts(edit), QStringList {QStringLiteral("zero")});
    levelBox->setValue(10);
    QCOMPARE(shownTexts(edit),
        (QStringList {QStringLiteral("zero"), QStringLiteral("four"), QStringLiteral("ten")}));
    levelBox->setValue(4);
    add(list, {Entry(Log::Message, 1, QStringLiteral("one"))});
    QCOMPARE(shownTexts(edit),
        (QStringList {QStringLiteral("zero"), QStringLiteral("four"), QStringLiteral("one")}));
}

void TestLogWindow::headingIsCompact()
{
    Log::EntryList list;
    add(list,
        {Entry(Log::Message, 0, QStringLiteral("start")),
            Entry(Log::Heading, 0, QStringLiteral("Cleaning Headers")),
            Entry(Log::Message, 0, QStringLiteral("end"))});
    Log::Window window(list);
    window.show();
    auto* edit = window.findChild<HTextEdit*>(QStringLiteral("logText"));
    QTextBlock const heading = edit->document()->begin().next();
    QCOMPARE(heading.text(), QStringLiteral("Cleaning Headers"));
    QCOMPARE(heading.blockFormat().topMargin(), 0.0);
    QCOMPARE(heading.blockFormat().bottomMargin(), 0.0);
}

void TestLogWindow::escapeHidesAndEmpties()
{
    Log::EntryList list;
    add(list, {Entry(Log::Message, 0, QStringLiteral("one"))});
    Log::Window window(list);
    QCOMPARE(window.windowTitle(), QStringLiteral("VUX Log"));
    window.show();
    auto* edit = window.findChild<HTextEdit*>(QStringLiteral("logText"));
    QCOMPARE(shownTexts(edit).size(), 1);
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
    QVERIFY(edit->document()->isEmpty());
    // Reopening renders the list anew, with what came meanwhile.
    add(list, {Entry(Log::Message, 0, QStringLiteral("two"))});
    window.show();
    QCOMPARE(shownTexts(edit), (QStringList {QStringLiteral("one"), QStringLiteral("two")}));
}

void TestLogWindow::hiddenWindowRendersNothing()
{
    Log::EntryList list;
    Log::Window window(list);
    auto* edit = window.findChild<HTextEdit*>(QStringLiteral("logText"));
    int changes = 0;
    connect(edit->document(), &QTextDocument::contentsChanged, this, [&changes] { ++changes; });
    add(list, {Entry(Log::Message, 0, QStringLiteral("unseen"))});
    QCoreApplication::processEvents();
    QCOMPARE(changes, 0);

    // Announcements queued from a worker while shown, delivered after hiding.
    window.show();
    QThread* worker
        = QThread::create([&list] { add(list, {Entry(Log::Error, 0, QStringLiteral("late"))}); });
    worker->start();
    QVERIFY(worker->wait(10000));
    delete worker;
    window.hide();
    changes = 0;
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(changes, 0);
    QVERIFY(edit->document()->isEmpty());
}

void TestLogWindow::followsAppendsFromAnotherThread()
{
    Log::EntryList list;
    Log::Window window(list);
    window.show();
    auto* edit = window.findChild<HTextEdit*>(QStringLiteral("logText"));
    QThread* worker = QThread::create([&list] {
        for (int batch = 0; batch < 20; ++batch) {
            QList<Entry> entries;
            for (int i = 0; i < 10; ++i)
                entries.append(
                    Entry(Log::Output, 0, QStringLiteral("line %1").arg(batch * 10 + i)));
            add(list, entries);
        }
    });
    worker->start();
    QTRY_COMPARE(shownTexts(edit).size(), 200);
    QVERIFY(worker->wait(10000));
    delete worker;
    QStringList const texts = shownTexts(edit);
    for (int i = 0; i < 200; ++i)
        QCOMPARE(texts.at(i), QStringLiteral("line %1").arg(i));
}

void TestLogWindow::openedScrolledToEnd()
{
    Log::EntryList list;
    QList<Entry> entries;
    for (int i = 0; i < 500; ++i)
        entries.append(Entry(Log::Message, 1, QStringLiteral("entry %1").arg(i)));
    add(list, entries);
    Log::Window window(list);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* edit = window.findChild<HTextEdit*>(QStringLiteral("logText"));
    QScrollBar* bar = edit->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());
}

QTEST_MAIN(TestLogWindow)
#include "TestLogWindow.moc"
