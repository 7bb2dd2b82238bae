#include "support/ModalAnswerer.h"
#include "widgets/HTextEdit.h"
#include "widgets/ScrollableConfirmDialog.h"
#include "widgets/ScrollableErrorDialog.h"
#include "widgets/TextDialog.h"

#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QtTest>

namespace {

QString manyLines(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines.append(QStringLiteral("package-%1-1.0-1.noarch").arg(i));
    return lines.join(QStringLiteral("<br>"));
}

} // namespace

class TestMessageDialogs : public QObject
{
    Q_OBJECT

private slots:
    void confirmBoundedByScreen();
    void confirmAnswers_data();
    void confirmAnswers();
    void errorCloses();
    void textDialogDoesNotWrap();
};

void TestMessageDialogs::confirmBoundedByScreen()
{
    ScrollableConfirmDialog dialog(manyLines(400));
    dialog.setWindowTitle(QStringLiteral("Apply"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QRect const screen = dialog.screen()->geometry();
    QVERIFY(dialog.height() <= screen.height() * 9 / 10);
    QVERIFY(dialog.width() <= screen.width() * 9 / 10);
    auto* area = dialog.findChild<QScrollArea*>(QStringLiteral("textArea"));
    QVERIFY(area);
    QVERIFY(area->verticalScrollBar()->maximum() > 0);
    QVERIFY(dialog.testAttribute(Qt::WA_ShowModal));
}

void TestMessageDialogs::confirmAnswers_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("result");
    QTest::newRow("OK") << "okButton" << int(QDialog::Accepted);
    QTest::newRow("Cancel") << "cancelButton" << int(QDialog::Rejected);
    QTest::newRow("Escape") << "escape" << int(QDialog::Rejected);
    QTest::newRow("window closed") << "close" << int(QDialog::Rejected);
}

void TestMessageDialogs::confirmAnswers()
{
    QFETCH(QString, answer);
    QFETCH(int, result);
    ModalAnswerer answerer;
    answerer.answer([answer](QWidget* dialog) {
        QTimer::singleShot(0, dialog, [dialog, answer] {
            if (answer == QLatin1String("escape"))
                QTest::keyClick(dialog, Qt::Key_Escape);
            else if (answer == QLatin1String("close"))
                dialog->close();
            else
                QVERIFY(ModalAnswerer::clickButton(dialog, answer));
        });
    });
    ScrollableConfirmDialog dialog(manyLines(300));
    dialog.setWindowTitle(QStringLiteral("Apply"));
    QCOMPARE(dialog.exec(), result);
    QCOMPARE(answerer.titles(), QStringList {QStringLiteral("Apply")});
}

void TestMessageDialogs::errorCloses()
{
    ModalAnswerer answerer;
    answerer.click(QStringLiteral("closeButton"));
    ScrollableErrorDialog dialog(QStringLiteral("Traceback <b>here</b>"));
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(answerer.answered(), 1);
    QVERIFY(answerer.texts().first().contains(QStringLiteral("Traceback")));
}

void TestMessageDialogs::textDialogDoesNotWrap()
{
    TextDialog dialog;
    QString const longLine = QStringLiteral("/usr/share/doc/") + QString(400, QLatin1Char('x'))
        + QStringLiteral(" with blanks between words ") + QString(100, u'y');
    dialog.setText(longLine + QStringLiteral("\nshort"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* edit = dialog.findChild<HTextEdit*>(QStringLiteral("textEdit"));
    QVERIFY(edit);
    QVERIFY(edit->isReadOnly());
    QTextBlock const first = edit->document()->firstBlock();
    QCOMPARE(first.text(), longLine);
    QCOMPARE(first.layout()->lineCount(), 1);
    QVERIFY(edit->horizontalScrollBar()->maximum() > 0);
}

QTEST_MAIN(TestMessageDialogs)
#include "TestMessageDialogs.moc"
