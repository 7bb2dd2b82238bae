#include "app/Colors.h"
#include "app/DefaultStyle.h"
#include "app/Execute.h"
#include "app/Fonts.h"
#include "log/LogWindow.h"
#include "widgets/HDialog.h"
#include "widgets/HMenu.h"
#include "widgets/HProgressBar.h"
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
#include <QVBoxLayout>
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

// The rendered lines, joined by '|'.
QString shown(Log::Window& window)
{
    QTextDocument const* document = window.findChild<HTextEdit*>()->document();
    return document->isEmpty() ? QString() : document->toPlainText().replace('\n', '|');
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
    void progressBarText();
    void sizeHintBounded_data();
    void sizeHintBounded();
    void logRendering_data();
    void logRendering();
    void logLevelChangeRendersAgain();
    void hiddenLogRendersNothing();
    void logFollowsAnotherThread();
    void headerFont();
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
    auto* layout = new QVBoxLayout(dialog.get());
    auto* field = new QLineEdit(dialog.get());
    auto* button = new QPushButton(QStringLiteral("Go"), dialog.get());
    button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, dialog.get(), &QDialog::accept);
    layout->addWidget(field);
    layout->addWidget(button);
    dialog->show();
    QTest::keyClick(field, Qt::Key(key));
    QCOMPARE(dialog->isVisible(), hdialog);
}

void TestBasicWidgets::menuToolTips_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("submenu");
    QTest::addColumn<QString>("toolTip"); // empty: never set
    QTest::addColumn<bool>("shown");
    QTest::newRow("never set") << "&Refresh..." << false << QString() << false;
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
    if (!toolTip.isEmpty())
        action->setToolTip(toolTip);
    menu.popup(QPoint(10, 10));
    menu.setActiveAction(owner->menuAction());
    owner->setActiveAction(action);
    QHelpEvent event(QEvent::ToolTip, QPoint(5, 5), menu.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&menu, &event);
    if (shown)
        QCOMPARE(QToolTip::text(), toolTip);
    else
        QVERIFY(!QToolTip::isVisible() || QToolTip::text() != action->toolTip());
    QToolTip::hideText();
}

void TestBasicWidgets::progressBarText()
{
    HProgressBar bar;
    bar.setRange(0, 100);
    bar.setActivity(QStringLiteral("Reading"));
    QCOMPARE(bar.text(), QStringLiteral("Reading"));
    bar.setValue(50);
    QCOMPARE(bar.text(), QStringLiteral("Reading (50%)"));
    bar.setActivity(QString());
    QCOMPARE(bar.text(), QStringLiteral("50%"));
    bar.setActivity(QStringLiteral("Reading"));
    bar.reset();
    QCOMPARE(bar.text(), QString());
}

void TestBasicWidgets::sizeHintBounded_data()
{
    QTest::addColumn<bool>("textEdit");
    QTest::addColumn<int>("columns"); // -1: unbounded
    QTest::addColumn<int>("lines");
    QTest::newRow("scroll area, 80 by 24") << false << 80 << 24;
    QTest::newRow("scroll area, unbounded") << false << -1 << -1;
    QTest::newRow("scroll area, larger than the screen") << false << 100000 << 100000;
    QTest::newRow("text edit, 80 by 24") << true << 80 << 24;
    QTest::newRow("text edit, larger than the screen") << true << 5000 << 5000;
}

void TestBasicWidgets::sizeHintBounded()
{
    QFETCH(bool, textEdit);
    QFETCH(int, columns);
    QFETCH(int, lines);
    std::unique_ptr<QWidget> widget;
    QSize wanted(INT_MAX, INT_MAX);
    if (textEdit) {
        auto* edit = new HTextEdit(columns, lines);
        widget.reset(edit);
        QFontMetrics const metrics(edit->font());
        int const frames = 2 * edit->frameWidth();
        wanted = QSize(frames + columns * metrics.horizontalAdvance(QLatin1Char('n')),
            frames + lines * metrics.lineSpacing());
    } else {
        // Contents far larger than any bound: the hint sits at the bound.
        auto* area = new HScrollArea(columns, lines);
        widget.reset(area);
        QStringList text(600, QString(400, QLatin1Char('m')));
        area->setWidget(new QLabel(text.join(QLatin1Char('\n'))));
        QFontMetrics const metrics(area->font());
        if (columns != -1)
            wanted = QSize(
                columns * metrics.horizontalAdvance(QLatin1Char('n')), lines * metrics.height());
    }
    QRect const screen = widget->screen()->geometry();
    QCOMPARE(widget->sizeHint(),
        wanted.boundedTo(QSize(screen.width() * 9 / 10, screen.height() * 9 / 10)));
}

void TestBasicWidgets::logRendering_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("detail");
    QTest::addColumn<QString>("color"); // empty: plain; "-": not shown
    QTest::newRow("message") << "m" << int(Log::Message) << 0 << 2 << QString();
    QTest::newRow("message above detail") << "m" << int(Log::Message) << 3 << 2 << "-";
    QTest::newRow("message level 10") << "m" << int(Log::Message) << 10 << 10 << Colors::minor();
    QTest::newRow("output") << "o" << int(Log::Output) << 0 << 2 << Colors::ok();
    QTest::newRow("warning") << "w" << int(Log::Warning) << 0 << 2 << Colors::warning();
    QTest::newRow("error") << "e" << int(Log::Error) << 0 << 2 << Colors::error();
    QTest::newRow("heading") << "h" << int(Log::Heading) << 0 << 2 << Colors::action();
    QTest::newRow("unknown kind") << "u" << 17 << 0 << 2 << Colors::error();
    // Plain lines are shown literally, whatever looks like markup.
    QTest::newRow("angle brackets") << "<b>x</b>" << int(Log::Output) << 0 << 2 << Colors::ok();
    QTest::newRow("blanks and tabs")
        << "  a  b\tc" << int(Log::Heading) << 0 << 2 << Colors::action();
}

void TestBasicWidgets::logRendering()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(int, level);
    QFETCH(int, detail);
    QFETCH(QString, color);
    Log::EntryList list;
    add(list,
        {Entry(Log::Message, 0, QStringLiteral("before")), Entry(Log::Kind(kind), level, text),
            Entry(Log::Message, 0, QStringLiteral("after"))});
    Log::Window window(list);
    window.findChild<QSpinBox*>()->setValue(detail);
    window.show();
    bool const hidden = color == QLatin1String("-");
    QCOMPARE(shown(window),
        hidden ? QStringLiteral("before|after") : QStringLiteral("before|%1|after").arg(text));
    if (hidden)
        return;
    QTextBlock const block = window.findChild<HTextEdit*>()->document()->begin().next();
    QTextCharFormat const format = block.begin().fragment().charFormat();
    QCOMPARE(format.foreground().style() == Qt::NoBrush ? QColor() : format.foreground().color(),
        QColor(color.isEmpty() ? QString() : color));
    QCOMPARE(format.fontWeight() >= QFont::Bold, kind == Log::Heading);
    // A heading takes no more room than a line.
    QCOMPARE(block.blockFormat().topMargin() + block.blockFormat().bottomMargin(), 0.0);
}

void TestBasicWidgets::logLevelChangeRendersAgain()
{
    Log::EntryList list;
    add(list,
        {Entry(Log::Message, 0, QStringLiteral("zero")),
            Entry(Log::Message, 4, QStringLiteral("four")),
            Entry(Log::Message, 10, QStringLiteral("ten"))});
    Log::Window window(list);
    window.show();
    QCOMPARE(shown(window), QStringLiteral("zero"));
    window.findChild<QSpinBox*>()->setValue(10);
    QCOMPARE(shown(window), QStringLiteral("zero|four|ten"));
    window.findChild<QSpinBox*>()->setValue(4);
    add(list, {Entry(Log::Message, 1, QStringLiteral("one"))});
    QCOMPARE(shown(window), QStringLiteral("zero|four|one"));
}

void TestBasicWidgets::hiddenLogRendersNothing()
{
    Log::EntryList list;
    Log::Window window(list);
    add(list, {Entry(Log::Message, 0, QStringLiteral("unseen"))});
    window.show();
    QCOMPARE(shown(window), QStringLiteral("unseen"));
    // Announced from a worker while shown, delivered after Escape hid the window.
    std::unique_ptr<QThread> worker(
        QThread::create([&list] { add(list, {Entry(Log::Error, 0, QStringLiteral("late"))}); }));
    worker->start();
    QVERIFY(worker->wait(10000));
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
    QCOMPARE(shown(window), QString());
    int changes = 0;
    connect(window.findChild<HTextEdit*>()->document(), &QTextDocument::contentsChanged, this,
        [&changes] { ++changes; });
    QCoreApplication::processEvents();
    QCOMPARE(changes, 0);
    window.show();
    QCOMPARE(shown(window), QStringLiteral("unseen|late"));
}

void TestBasicWidgets::logFollowsAnotherThread()
{
    Log::EntryList list;
    Log::Window window(list);
    window.show();
    QStringList expected;
    for (int i = 0; i < 200; ++i)
        expected.append(QString::number(i));
    std::unique_ptr<QThread> worker(QThread::create([&list, &expected] {
        for (int batch = 0; batch < 200; batch += 10) {
            QList<Entry> entries;
            for (QString const& text : expected.mid(batch, 10))
                entries.append(Entry(Log::Output, 0, text));
            add(list, entries);
        }
    }));
    worker->start();
    QTRY_COMPARE(shown(window), expected.join(QLatin1Char('|')));
    QVERIFY(worker->wait(10000));
}

void TestBasicWidgets::headerFont()
{
    QFont font(QStringLiteral("Courier"));
    font.setFixedPitch(true);
    font.setPointSize(11);
    QFont const header = Fonts::makeHeader(font);
    QVERIFY(header.bold() && !header.fixedPitch());
    QCOMPARE(header.pointSize(), 16);
}

void TestBasicWidgets::defaultStyle_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<bool>("inSettings");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("installed");
    QTest::newRow("no choice") << "vux -l" << false << "Windows" << true;
    QTest::newRow("-style=name") << "vux -style=cleanlooks" << false << "Windows" << false;
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
    QList<QByteArray> bytes;
    for (QString const& argument : arguments.split(QLatin1Char(' ')))
        bytes.append(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);

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
    QVERIFY(dir.isValid());
    QString const marker = dir.filePath(QStringLiteral("ran"));
    QByteArray path(exists ? "/bin/sh" : "/nonexistent/viewer");
    QByteArray flag("-c");
    QByteArray command(QStringLiteral("sleep 0.2; echo ok > '%1'").arg(marker).toLocal8Bit());
    char* argv[] = {path.data(), flag.data(), command.data(), nullptr};

    Execute::execute(nullptr, argv);
    // The launched program is not our child: nothing is left to reap, even
    // while it still runs.
    errno = 0;
    QCOMPARE(::waitpid(-1, nullptr, WNOHANG), pid_t(-1));
    QCOMPARE(errno, ECHILD);
    if (exists)
        QTRY_VERIFY(QFile::exists(marker));
}

QTEST_MAIN(TestBasicWidgets)
#include "TestBasicWidgets.moc"
