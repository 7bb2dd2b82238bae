#include "widgets/HDialog.h"
#include "widgets/HItemDelegate.h"
#include "widgets/HMenu.h"
#include "widgets/HProgressBar.h"
#include "widgets/HScrollArea.h"
#include "widgets/HTextEdit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTextBlock>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtTest>

#include <climits>

namespace {

QSize screenLimit(QWidget const* widget)
{
    QRect const geometry = widget->screen()->geometry();
    return QSize(geometry.width() * 9 / 10, geometry.height() * 9 / 10);
}

QString bigText(int lines, int columns)
{
    QStringList text;
    for (int i = 0; i < lines; ++i)
        text.append(QString(columns, QLatin1Char('m')));
    return text.join(QLatin1Char('\n'));
}

class OpenDelegate : public HItemDelegate
{
public:
    using HItemDelegate::drawDisplay;
};

class PlainDelegate : public QItemDelegate
{
public:
    using QItemDelegate::drawDisplay;
};

// Height of the band of rows that hold any ink.
int inkHeight(QImage const& image)
{
    int top = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                if (top < 0)
                    top = y;
                bottom = y;
                break;
            }
        }
    }
    return top < 0 ? 0 : bottom - top + 1;
}

} // namespace

class TestBasicWidgets : public QObject
{
    Q_OBJECT

private slots:
    void dialogIgnoresReturn_data();
    void dialogIgnoresReturn();
    void menuToolTips_data();
    void menuToolTips();
    void menuToolTipOfSubmenu();
    void progressBarText_data();
    void progressBarText();
    void progressBarResetDropsActivity();
    void scrollAreaBounded_data();
    void scrollAreaBounded();
    void scrollAreaFitsSmallContents();
    void textEditSizeHint_data();
    void textEditSizeHint();
    void textEditEditingFinished_data();
    void textEditEditingFinished();
    void appendCompactRemovesMargins();
    void delegateNeverWraps();
};

void TestBasicWidgets::dialogIgnoresReturn_data()
{
    QTest::addColumn<bool>("hdialog");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("clicked");
    QTest::newRow("HDialog Return") << true << int(Qt::Key_Return) << false;
    QTest::newRow("HDialog Enter") << true << int(Qt::Key_Enter) << false;
    // The plain dialog proves the key would reach the default button.
    QTest::newRow("QDialog Return") << false << int(Qt::Key_Return) << true;
}

void TestBasicWidgets::dialogIgnoresReturn()
{
    QFETCH(bool, hdialog);
    QFETCH(int, key);
    QFETCH(bool, clicked);
    std::unique_ptr<QDialog> dialog(hdialog ? new HDialog : new QDialog);
    auto* layout = new QVBoxLayout(dialog.get());
    auto* field = new QLineEdit(dialog.get());
    auto* button = new QPushButton(QStringLiteral("Go"), dialog.get());
    button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, dialog.get(), &QDialog::accept);
    layout->addWidget(field);
    layout->addWidget(button);
    QSignalSpy spy(button, &QPushButton::clicked);
    dialog->show();
    QTest::keyClick(field, Qt::Key(key));
    QCOMPARE(spy.count() > 0, clicked);
    QCOMPARE(dialog->isVisible(), !clicked);
}

void TestBasicWidgets::menuToolTips_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip"); // empty: never set
    QTest::addColumn<bool>("shown");
    QTest::newRow("never set") << "&Refresh..."
                               << "" << false;
    QTest::newRow("equal to cleaned text") << "&Clean All..."
                                           << "Clean All" << false;
    QTest::newRow("explicit") << "&Quit"
                              << "Leave the program" << true;
}

void TestBasicWidgets::menuToolTips()
{
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QFETCH(bool, shown);
    HMenu menu(QStringLiteral("&File"));
    QVERIFY(menu.isTearOffEnabled());
    QAction* action = menu.addAction(text);
    if (!toolTip.isEmpty())
        action->setToolTip(toolTip);
    menu.popup(QPoint(10, 10));
    menu.setActiveAction(action);
    QHelpEvent event(QEvent::ToolTip, QPoint(5, 5), menu.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&menu, &event);
    QString const cleaned = action->toolTip();
    if (shown)
        QCOMPARE(QToolTip::text(), toolTip);
    else
        QVERIFY(!QToolTip::isVisible() || QToolTip::text() != cleaned);
    QToolTip::hideText();
    menu.hide();
}

void TestBasicWidgets::menuToolTipOfSubmenu()
{
    HMenu menu(QStringLiteral("&Actions"));
    QMenu* sub = menu.addMenu(QStringLiteral("&Mark"));
    QAction* action = sub->addAction(QStringLiteral("&Install"));
    action->setToolTip(QStringLiteral("Mark the selected packages for install"));
    menu.popup(QPoint(10, 10));
    menu.setActiveAction(sub->menuAction());
    sub->setActiveAction(action);
    QHelpEvent event(QEvent::ToolTip, QPoint(5, 5), menu.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&menu, &event);
    QCOMPARE(QToolTip::text(), action->toolTip());
    QToolTip::hideText();
    sub->hide();
    menu.hide();
}

void TestBasicWidgets::progressBarText_data()
{
    QTest::addColumn<QString>("activity");
    QTest::addColumn<int>("value"); // -1: none set
    QTest::addColumn<QString>("text");
    QTest::newRow("activity and percentage") << "Reading" << 50 << "Reading (50%)";
    QTest::newRow("percentage alone") << "" << 50 << "50%";
    QTest::newRow("activity alone") << "Reading" << -1 << "Reading";
    QTest::newRow("nothing") << "" << -1 << "";
}

void TestBasicWidgets::progressBarText()
{
    QFETCH(QString, activity);
    QFETCH(int, value);
    QFETCH(QString, text);
    HProgressBar bar;
    bar.setRange(0, 100);
    if (value >= 0)
        bar.setValue(value);
    bar.setActivity(activity);
    QCOMPARE(bar.text(), text);
}

void TestBasicWidgets::progressBarResetDropsActivity()
{
    HProgressBar bar;
    bar.setRange(0, 10);
    bar.setValue(5);
    bar.setActivity(QStringLiteral("Downloading"));
    bar.reset();
    QCOMPARE(bar.activity(), QString());
    QCOMPARE(bar.text(), QString());
    bar.setValue(10);
    QCOMPARE(bar.text(), QStringLiteral("100%"));
}

void TestBasicWidgets::scrollAreaBounded_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("lines");
    QTest::newRow("80 by 24") << 80 << 24;
    QTest::newRow("10 by 5") << 10 << 5;
    QTest::newRow("unbounded") << -1 << -1;
    QTest::newRow("wider than the screen") << 100000 << 100000;
}

void TestBasicWidgets::scrollAreaBounded()
{
    QFETCH(int, columns);
    QFETCH(int, lines);
    HScrollArea area(columns, lines);
    auto* label = new QLabel(bigText(600, 400));
    area.setWidget(label);
    QSize const hint = area.sizeHint();
    QFontMetrics const metrics(area.font());
    if (columns != -1)
        QVERIFY(hint.width() <= columns * metrics.horizontalAdvance(QLatin1Char('n')));
    if (lines != -1)
        QVERIFY(hint.height() <= lines * metrics.height());
    QSize const limit = screenLimit(&area);
    QVERIFY(hint.width() <= limit.width());
    QVERIFY(hint.height() <= limit.height());
    // The contents are far larger than any bound: the hint sits at the bound.
    if (columns == -1 || columns == 100000)
        QCOMPARE(hint, limit);
}

void TestBasicWidgets::scrollAreaFitsSmallContents()
{
    HScrollArea area(80, 24);
    auto* label = new QLabel(QStringLiteral("short"));
    area.setWidget(label);
    QSize const hint = area.sizeHint();
    // Room for the contents and both scroll bars.
    QVERIFY(hint.width() > label->sizeHint().width());
    QVERIFY(hint.height() > label->sizeHint().height());
    label->setText(bigText(3, 40));
    area.forceResize();
    QVERIFY(area.sizeHint().width() > hint.width());
}

void TestBasicWidgets::textEditSizeHint_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("lines");
    QTest::newRow("80 by 24") << 80 << 24;
    QTest::newRow("larger than the screen") << 5000 << 5000;
}

void TestBasicWidgets::textEditSizeHint()
{
    QFETCH(int, columns);
    QFETCH(int, lines);
    HTextEdit edit(columns, lines);
    QFontMetrics const metrics(edit.font());
    int const frame = edit.frameWidth();
    QSize const wanted(2 * frame + columns * metrics.horizontalAdvance(QLatin1Char('n')),
        2 * frame + lines * metrics.lineSpacing());
    QCOMPARE(edit.sizeHint(), wanted.boundedTo(screenLimit(&edit)));
}

void TestBasicWidgets::textEditEditingFinished_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<int>("emitted");
    QTest::newRow("tab") << int(Qt::TabFocusReason) << 1;
    QTest::newRow("mouse") << int(Qt::MouseFocusReason) << 1;
    QTest::newRow("popup") << int(Qt::PopupFocusReason) << 0;
}

void TestBasicWidgets::textEditEditingFinished()
{
    QFETCH(int, reason);
    QFETCH(int, emitted);
    HTextEdit edit;
    QSignalSpy spy(&edit, &HTextEdit::editingFinished);
    QFocusEvent event(QEvent::FocusOut, Qt::FocusReason(reason));
    QApplication::sendEvent(&edit, &event);
    QCOMPARE(spy.count(), emitted);
}

void TestBasicWidgets::appendCompactRemovesMargins()
{
    HTextEdit plain;
    plain.append(QStringLiteral("<h2>Initialization</h2>"));
    // Without the compaction a heading carries margins.
    QTextBlockFormat const loose = plain.document()->lastBlock().blockFormat();
    QVERIFY(loose.topMargin() > 0 || loose.bottomMargin() > 0);

    HTextEdit edit;
    edit.appendCompact(QStringLiteral("first"));
    edit.appendCompact(QStringLiteral("<h2>Initialization</h2>"));
    edit.appendCompact(QStringLiteral("last"));
    QCOMPARE(edit.document()->blockCount(), 3);
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        QCOMPARE(block.blockFormat().topMargin(), 0.0);
        QCOMPARE(block.blockFormat().bottomMargin(), 0.0);
    }
    // The heading keeps its look.
    QTextBlock const heading = edit.document()->begin().next();
    QCOMPARE(heading.text(), QStringLiteral("Initialization"));
    QCOMPARE(heading.begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
}

void TestBasicWidgets::delegateNeverWraps()
{
    QString const text = QStringLiteral("alpha beta gamma delta epsilon zeta");
    QStyleOptionViewItem option;
    option.features = QStyleOptionViewItem::WrapText;
    option.textElideMode = Qt::ElideRight;
    option.displayAlignment = Qt::AlignLeft | Qt::AlignTop;
    option.palette.setColor(QPalette::Text, Qt::black);
    QFontMetrics const metrics(option.font);
    QRect const rect(0, 0, metrics.horizontalAdvance(QStringLiteral("alpha beta")), 200);

    auto paint = [&](auto& delegate) {
        QImage image(rect.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        delegate.drawDisplay(&painter, option, rect, text);
        painter.end();
        return inkHeight(image);
    };
    PlainDelegate plain;
    OpenDelegate delegate;
    // The plain delegate wraps onto several lines; ours keeps one.
    QVERIFY(paint(plain) > metrics.lineSpacing());
    int const ink = paint(delegate);
    QVERIFY(ink > 0);
    QVERIFY(ink <= metrics.lineSpacing());
}

QTEST_MAIN(TestBasicWidgets)
#include "TestBasicWidgets.moc"
