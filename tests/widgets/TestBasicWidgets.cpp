// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/Colors.h"
#include "app/DefaultStyle.h"
#include "base/Execute.h"
#include "log/LogWindow.h"
#include "widgets/HDialog.h"
#include "widgets/HMenu.h"
#include "widgets/HScrollArea.h"
#include "widgets/HTextEdit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QStyle>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QThread>
#include <QToolTip>
#include <QtTest>

#include <cerrno>
#include <sys/wait.h>

namespace {

using Log::Entry;

// Appends as a producer does: under the lock, announced after it.
void add(Log::EntryList& list, QList<Entry> const& entries)
{
    list.lock();
    list.append(entries);
    list.unlock();
    list.emitAppended();
}

// The rendered lines without the time each starts with, joined by '|'.
QString shown(Log::Window& window)
{
    QTextDocument const* document = window.findChild<HTextEdit*>()->document();
    if (document->isEmpty())
        return QString();
    QStringList lines = document->toPlainText().split('\n');
    for (QString& line : lines)
        line.remove(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d ")));
    return lines.join('|');
}

} // namespace

// The basic widgets, the log window and the shell's small services.
class TestBasicWidgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void dialogIgnoresReturn_data();
    void dialogIgnoresReturn();
    void menuToolTips_data();
    void menuToolTips();
    void sizeHintBounded_data();
    void sizeHintBounded();
    void logRendering_data();
    void logRendering();
    void logFollowsEntries();
    void defaultStyle_data();
    void defaultStyle();
    void executeLeavesNoChild_data();
    void executeLeavesNoChild();

private:
    QTemporaryDir settingsDir;
};

void TestBasicWidgets::initTestCase()
{
    // Never the user's own toolkit settings.
    QVERIFY(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
}

void TestBasicWidgets::dialogIgnoresReturn_data()
{
    QTest::addColumn<bool>("hdialog");
    QTest::addColumn<int>("key");
    QTest::newRow("HDialog Return") << true << int(Qt::Key_Return);
    QTest::newRow("HDialog Enter") << true << int(Qt::Key_Enter);
    // The plain dialog proves the key would reach the default button.
    QTest::newRow("QDialog Return") << false << int(Qt::Key_Return);
}

void TestBasicWidgets::dialogIgnoresReturn()
{
    QFETCH(bool, hdialog);
    QFETCH(int, key);
    std::unique_ptr<QDialog> dialog(hdialog ? new HDialog : new QDialog);
    auto* field = new QLineEdit(dialog.get());
    auto* button = new QPushButton(QStringLiteral("Go"), dialog.get());
    button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, dialog.get(), &QDialog::accept);
    dialog->show();
    QTest::keyClick(field, Qt::Key(key));
    QCOMPARE(dialog->isVisible(), hdialog);
}

void TestBasicWidgets::menuToolTips_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("submenu");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<bool>("shown");
    // Qt derives a tip equal to the cleaned text when none is set.
    QTest::newRow("equal to cleaned text") << "&Clean All..." << false << "Clean All" << false;
    QTest::newRow("explicit") << "&Quit" << false << "Leave the program" << true;
    QTest::newRow("explicit, in an open submenu") << "&Install" << true << "Mark it" << true;
}

void TestBasicWidgets::menuToolTips()
{
    QFETCH(QString, text);
    QFETCH(bool, submenu);
    QFETCH(QString, toolTip);
    QFETCH(bool, shown);
    HMenu menu(QStringLiteral("&File"));
    QMenu* owner = submenu ? menu.addMenu(QStringLiteral("&Mark")) : &menu;
    QAction* action = owner->addAction(text);
    action->setToolTip(toolTip);
    menu.popup(QPoint(10, 10));
    menu.setActiveAction(owner->menuAction());
    owner->setActiveAction(action);
    QHelpEvent event(QEvent::ToolTip, QPoint(5, 5), menu.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&menu, &event);
    QCOMPARE(QToolTip::isVisible() && QToolTip::text() == toolTip, shown);
    QToolTip::hideText();
}

void TestBasicWidgets::sizeHintBounded_data()
{
    QTest::addColumn<bool>("textEdit");
    QTest::addColumn<int>("columns"); // -1: unbounded
    QTest::addColumn<int>("lines");
    QTest::newRow("scroll area, 80 by 24") << false << 80 << 24;
    QTest::newRow("scroll area, unbounded") << false << -1 << -1;
    QTest::newRow("text edit, 80 by 24") << true << 80 << 24;
    QTest::newRow("text edit, larger than the screen") << true << 5000 << 5000;
}

// The wanted size, never more than nine tenths of the screen.
void TestBasicWidgets::sizeHintBounded()
{
    QFETCH(bool, textEdit);
    QFETCH(int, columns);
    QFETCH(int, lines);
    auto* area = textEdit ? nullptr : new HScrollArea(columns, lines);
    std::unique_ptr<QAbstractScrollArea> widget(area);
    if (textEdit)
        widget.reset(new HTextEdit(columns, lines));
    else // contents far larger than any bound: the hint sits at the bound
        area->setWidget(new QLabel(QStringList(600, QString(400, 'm')).join('\n')));
    QFontMetrics const metrics(widget->font());
    int const frames = textEdit ? 2 * widget->frameWidth() : 0;
    QSize const wanted = columns == -1
        ? QSize(INT_MAX, INT_MAX)
        : QSize(frames + columns * metrics.horizontalAdvance('n'),
            frames + lines * (textEdit ? metrics.lineSpacing() : metrics.height()));
    QRect const screen = widget->screen()->geometry();
    QCOMPARE(widget->sizeHint(),
        wanted.boundedTo(QSize(screen.width() * 9 / 10, screen.height() * 9 / 10)));
}

void TestBasicWidgets::logRendering_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("color"); // empty: plain
    QTest::newRow("message") << "m" << int(Log::Message) << 0 << QString();
    QTest::newRow("message level 10") << "m" << int(Log::Message) << 10 << Colors::minor();
    QTest::newRow("unknown kind") << "u" << 17 << 0 << Colors::error();
    // Lines are shown literally, whatever looks like markup, blanks included.
    QTest::newRow("angle brackets") << "<b>x</b>" << int(Log::Output) << 0 << Colors::ok();
    QTest::newRow("heading, blanks and tabs")
        << "  a  b\tc" << int(Log::Heading) << 0 << Colors::action();
}

void TestBasicWidgets::logRendering()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(int, level);
    QFETCH(QString, color);
    Log::EntryList list;
    add(list,
        {Entry(Log::Message, 0, QStringLiteral("before")), Entry(Log::Kind(kind), level, text),
            Entry(Log::Message, 0, QStringLiteral("after"))});
    Log::Window window(list);
    window.findChild<QSpinBox*>()->setValue(10);
    window.show();
    QCOMPARE(shown(window), QStringLiteral("before|%1|after").arg(text));
    QTextBlock const block = window.findChild<HTextEdit*>()->document()->begin().next();
    // The line starts with the local time of its entry, then its text.
    QVERIFY(block.text().startsWith(
        QDateTime::fromMSecsSinceEpoch(list.at(1).when).toString(QStringLiteral("HH:mm:ss "))));
    QTextBlock::iterator last = block.begin();
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it)
        last = it;
    QTextCharFormat const format = last.fragment().charFormat();
    QCOMPARE(format.foreground().style() == Qt::NoBrush ? QColor() : format.foreground().color(),
        QColor(color.isEmpty() ? QString() : color));
    QCOMPARE(format.fontWeight() >= QFont::Bold, kind == Log::Heading);
    // A heading takes no more room than a line.
    QCOMPARE(block.blockFormat().topMargin() + block.blockFormat().bottomMargin(), 0.0);
}

// Only lines up to the chosen level are shown, batches from a worker whole
// and in order. Hidden, the window renders nothing, not even what was
// announced before Escape hid it.
void TestBasicWidgets::logFollowsEntries()
{
    Log::EntryList list;
    Log::Window window(list);
    add(list, {Entry(Log::Message, 4, QStringLiteral("four")), Entry(Log::Message, 10, "ten")});
    window.show();
    QCOMPARE(shown(window), QString());
    window.findChild<QSpinBox*>()->setValue(10);
    QCOMPARE(shown(window), QStringLiteral("four|ten"));
    window.findChild<QSpinBox*>()->setValue(4);
    QList<QList<Entry>> batches(20);
    QStringList expected {"four"};
    for (int i = 0; i < 200; ++i) {
        batches[i / 10].append(Entry(Log::Output, i % 2 ? 1 : 5, QString::number(i)));
        if (i % 2)
            expected.append(QString::number(i));
    }
    std::unique_ptr<QThread> worker(QThread::create([&] {
        for (QList<Entry> const& batch : std::as_const(batches))
            add(list, batch);
    }));
    worker->start();
    QTRY_COMPARE(shown(window), expected.join('|'));
    QVERIFY(worker->wait(10000));

    worker.reset(QThread::create([&list] { add(list, {Entry(Log::Error, 0, "late")}); }));
    worker->start();
    QVERIFY(worker->wait(10000));
    QTest::keyClick(&window, Qt::Key_Escape);
    QCOMPARE(shown(window), QString());
    int changes = 0;
    connect(window.findChild<HTextEdit*>()->document(), &QTextDocument::contentsChanged, this,
        [&changes] { ++changes; });
    QCoreApplication::processEvents();
    QCOMPARE(changes, 0);
    window.show();
    QCOMPARE(shown(window), expected.join('|') + "|late");
}

void TestBasicWidgets::defaultStyle_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<bool>("inSettings");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("installed");
    QTest::newRow("no choice") << "vux -l" << false << "Windows" << true;
    QTest::newRow("-style name") << "vux -l -style windows" << false << "Windows" << false;
    QTest::newRow("--style=name") << "vux --style=fusion" << false << "Windows" << false;
    QTest::newRow("look-alike option") << "vux -stylesheet=x.qss" << false << "Windows" << true;
    QTest::newRow("program name only") << "-style" << false << "Windows" << true;
    QTest::newRow("toolkit settings") << "vux" << true << "Windows" << false;
    QTest::newRow("style no longer exists") << "vux" << false << "plastique" << false;
}

void TestBasicWidgets::defaultStyle()
{
    QFETCH(QString, arguments);
    QFETCH(bool, inSettings);
    QFETCH(QString, name);
    QFETCH(bool, installed);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setPalette(QApplication::style()->standardPalette());
    {
        QSettings settings(QSettings::UserScope, QStringLiteral("Trolltech"));
        settings.clear();
        if (inSettings)
            settings.setValue(QStringLiteral("Qt/style"), QStringLiteral("Windows"));
    }
    QList<QByteArray> bytes = arguments.toLocal8Bit().split(' ');
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());

    DefaultStyle style(int(bytes.size()), argv.data());
    style.set(*qApp, name);
    QCOMPARE(QApplication::style()->name().toLower(),
        installed ? name.toLower() : QStringLiteral("fusion"));
    QPalette const standard = QApplication::style()->standardPalette();
    for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base})
        QCOMPARE(QApplication::palette().color(role), standard.color(role));
}

void TestBasicWidgets::executeLeavesNoChild_data()
{
    QTest::addColumn<bool>("exists");
    QTest::newRow("program runs") << true;
    QTest::newRow("program missing") << false;
}

void TestBasicWidgets::executeLeavesNoChild()
{
    QFETCH(bool, exists);
    QTemporaryDir dir;
    QByteArray path(exists ? "/bin/sh" : "/nonexistent/viewer"), flag("-c");
    // Runs until told to go (five seconds at most), so it runs still when execute returns.
    QByteArray run("cd \"$0\"; for i in $(seq 99); do [ -e go ] && break; sleep .05; done; >ran");
    QByteArray where = QFile::encodeName(dir.path());
    char* argv[] = {path.data(), flag.data(), run.data(), where.data(), nullptr};
    Execute::execute(nullptr, argv);
    // Not waited for, and not our child: nothing is left to reap.
    errno = 0;
    QCOMPARE(::waitpid(-1, nullptr, WNOHANG), pid_t(-1));
    QCOMPARE(errno, ECHILD);
    QVERIFY(!QFile::exists(dir.filePath("ran")));
    QVERIFY(QFile(dir.filePath("go")).open(QIODevice::WriteOnly));
    if (exists)
        QTRY_VERIFY(QFile::exists(dir.filePath("ran")));
}

QTEST_MAIN(TestBasicWidgets)
#include "TestBasicWidgets.moc"
