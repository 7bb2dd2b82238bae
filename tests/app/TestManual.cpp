// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/HelpWindow.h"
#include "app/HistoryWindow.h"
#include "app/MainWindow.h"
#include "config-vux-tests.h"
#include "repo/RepoEditorContextMenu.h"
#include "repo/RepoEditorDialog.h"
#include "repo/RepoEditorModel.h"
#include "repo/RepoEditorView.h"
#include "repo/YumConfIO.h"
#include "support/AccessibleCheck.h"
#include "support/ModalAnswerer.h"
#include "support/RecordingBrowser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QtTest>

// The user manual covers what the windows show, and the Help menu opens it
// where the build installs it.
namespace {

// Every text a user reads on the widget's menus, buttons, labels, groups and
// choice boxes, without the '&' of keyboard accelerators.
QStringList visibleTexts(QWidget* top, bool directButtonsOnly)
{
    QStringList texts;
    auto const add = [&texts](QString text) {
        text.remove(QLatin1Char('&'));
        if (!text.trimmed().isEmpty())
            texts << text;
    };
    Qt::FindChildOptions const buttons
        = directButtonsOnly ? Qt::FindDirectChildrenOnly : Qt::FindChildrenRecursively;
    for (QPushButton* button : top->findChildren<QPushButton*>(QString(), buttons))
        add(button->text());
    for (QCheckBox* box : top->findChildren<QCheckBox*>())
        add(box->text());
    for (QGroupBox* group : top->findChildren<QGroupBox*>())
        add(group->title());
    for (QLabel* label : top->findChildren<QLabel*>()) {
        if (label->objectName() != QLatin1String("status"))
            add(label->text());
    }
    for (QComboBox* box : top->findChildren<QComboBox*>()) {
        for (int i = 0; i < box->count(); ++i)
            add(box->itemText(i));
    }
    for (QMenu* menu : top->findChildren<QMenu*>()) {
        add(menu->title());
        for (QAction* action : menu->actions())
            add(action->text());
    }
    return texts;
}

QString manualText()
{
    QFile file(QStringLiteral(VUX_SOURCE_DIR "/doc/manual/index.html"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QTextDocument document;
    document.setHtml(QString::fromUtf8(file.readAll()));
    return document.toPlainText().simplified();
}

// VUXDOC naming a directory while the object lives.
class DocDirectory
{
public:
    explicit DocDirectory(QString const& dir)
        : saved(qgetenv("VUXDOC"))
    {
        qputenv("VUXDOC", QFile::encodeName(dir));
    }
    ~DocDirectory() { qputenv("VUXDOC", saved); }

private:
    QByteArray saved;
};

// The Help menu's entry bound to key, or the one with text.
QAction* helpEntry(MainWindow& window, QKeySequence const& key, QString const& text = {})
{
    for (QAction* action : window.findChildren<QAction*>()) {
        if ((!key.isEmpty() && action->shortcut() == key)
            || (!text.isEmpty() && action->text() == text))
            return action;
    }
    return nullptr;
}

// A picture the document shows, as the browser loads it.
QImage picture(QTextBrowser* browser, QString const& name)
{
    QVariant const loaded = browser->document()->resource(QTextDocument::ImageResource, QUrl(name));
    if (loaded.typeId() == QMetaType::QByteArray)
        return QImage::fromData(loaded.toByteArray());
    return loaded.value<QImage>();
}

// Presses Return on the next link Tab reaches.
void activateNextLink(QTextBrowser* browser)
{
    QTest::keyClick(browser, Qt::Key_Tab);
    QTest::keyClick(browser, Qt::Key_Return);
}

} // namespace

class TestManual : public QObject
{
    Q_OBJECT

private slots:
    void coversEveryLabel();
    void imagesPresent();
    void helpWindowShowsTheManual();
    void webLinksGoToTheBrowser();
    void pdfManual();
};

void TestManual::coversEveryLabel()
{
    QString const manual = manualText();
    QVERIFY(!manual.isEmpty());
    MainWindow window;
    QStringList texts = visibleTexts(&window, false);
    // The editor's dialogs, built as the window builds them.
    QList<YumRepoEnabled> const options;
    QHash<QString, bool> use;
    YumConfIO conf(options, use);
    RepoEditor::Dialog editor(nullptr, &conf, nullptr);
    texts << visibleTexts(&editor, false);
    auto* model = editor.findChild<RepoEditor::Model*>();
    for (int column = 0; column < model->columnCount(); ++column)
        texts << model->headerData(column, Qt::Horizontal).toString();
    for (QAction* action : editor.findChild<RepoEditor::View*>()->getContextMenu()->actions())
        texts << action->text();
    texts << editor.windowTitle();
    for (QDialog* dialog : editor.findChildren<QDialog*>())
        texts << dialog->windowTitle();
    History::Window history(nullptr);
    texts << visibleTexts(&history, false) << history.windowTitle();
    QTreeWidgetItem const* header = history.findChild<QTreeWidget*>()->headerItem();
    for (int column = 0; column < header->columnCount(); ++column)
        texts << header->text(column);
    QVERIFY(texts.contains("Manual (PDF)") && texts.contains("Browse Repository")
        && texts.contains("Check GPG Keys") && texts.contains("Perm"));
    QStringList missing;
    for (QString const& text : std::as_const(texts)) {
        if (!manual.contains(text.simplified()) && !missing.contains(text))
            missing << text;
    }
    QVERIFY2(missing.isEmpty(), qPrintable("not in the manual: " + missing.join(" | ")));
}

void TestManual::imagesPresent()
{
    QFile file(QStringLiteral(VUX_SOURCE_DIR "/doc/manual/index.html"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QString const html = QString::fromUtf8(file.readAll());
    QRegularExpressionMatchIterator images
        = QRegularExpression(QStringLiteral("<img src=\"([^\"]+)\"")).globalMatch(html);
    int count = 0;
    while (images.hasNext()) {
        QString const image = images.next().captured(1);
        QImage const picture(QStringLiteral(VUX_SOURCE_DIR "/doc/manual/") + image);
        QVERIFY2(!picture.isNull(), qPrintable(image));
        ++count;
    }
    QVERIFY(count >= 4);
}

// F1 and the Help menu show the manual of the documentation directory in the
// window, with its pictures, and follow its own links there; the build
// tree's doc/ holds it as an installation does.
void TestManual::helpWindowShowsTheManual()
{
    DocDirectory doc(QStringLiteral(VUX_BINARY_DIR "/doc"));
    QFile file(Help::Window::manualFile());
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    QString const html = QString::fromUtf8(file.readAll());
    QString const title
        = QRegularExpression(QStringLiteral("<title>([^<]+)</title>")).match(html).captured(1);
    QVERIFY(!title.isEmpty());

    MainWindow window;
    QAction* f1 = helpEntry(window, QKeySequence(Qt::Key_F1));
    QVERIFY(f1);
    f1->trigger();
    auto* help = window.findChild<Help::Window*>();
    QVERIFY(help && help->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(help));
    QCOMPARE(help->windowTitle(), title);
    auto* browser = help->findChild<QTextBrowser*>(QStringLiteral("manual"));
    QVERIFY(browser->toPlainText().startsWith(title));
    QVERIFY2(unreachableControls(help).isEmpty(), qPrintable(unreachableControls(help).join(' ')));

    int pictures = 0;
    for (auto const& match :
        QRegularExpression(QStringLiteral("<img src=\"([^\"]+)\"")).globalMatch(html)) {
        QVERIFY2(!picture(browser, match.captured(1)).isNull(), qPrintable(match.captured(1)));
        ++pictures;
    }
    QVERIFY(pictures > 0);

    // The first link of the manual, from the keyboard: a place in it.
    QString const first
        = QRegularExpression(QStringLiteral("<a href=\"#([^\"]+)\"")).match(html).captured(1);
    QVERIFY(!first.isEmpty());
    browser->setFocus();
    activateNextLink(browser);
    QCOMPARE(browser->source().fragment(), first);
    QCOMPARE(browser->source().toLocalFile(), file.fileName());
    QVERIFY(browser->verticalScrollBar()->value() > 0);
    QTest::keyClick(help, Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(browser->source().fragment(), QString());

    // The menu's entry shows the same window again; Escape closes it.
    QTest::keyClick(help, Qt::Key_Escape);
    QVERIFY(!help->isVisible());
    helpEntry(window, {}, QStringLiteral("Manual (html)"))->trigger();
    QCOMPARE(window.findChildren<Help::Window*>().size(), 1);
    QVERIFY(help->isVisible());

    // Without a manual the window says where it looked.
    QTemporaryDir empty;
    DocDirectory none(empty.path());
    help->close();
    f1->trigger();
    QVERIFY(browser->toPlainText().contains(Help::Window::manualFile()));
}

// A link to the web or a mail address goes to the share directory's
// webbrowser, which opens it as the invoking user; when it cannot, a dialog
// says why.
void TestManual::webLinksGoToTheBrowser()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("html")));
    QFile page(dir.filePath(QStringLiteral("html/index.html")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<html><head><title>Links</title></head><body>"
               "<a href=\"https://example.org/a?b=1\">web</a> "
               "<a href=\"mailto:help@example.org\">mail</a></body></html>");
    page.close();
    DocDirectory doc(dir.path());
    RecordingBrowser share;
    ModalAnswerer answerer;
    Help::Window help;
    help.showManual();
    QVERIFY(QTest::qWaitForWindowActive(&help));
    auto* browser = help.findChild<QTextBrowser*>(QStringLiteral("manual"));
    QCOMPARE(help.windowTitle(), QStringLiteral("Links"));
    activateNextLink(browser);
    activateNextLink(browser);
    QCOMPARE(share.browsed(2),
        QStringList({"1:https://example.org/a?b=1", "1:mailto:help@example.org"}));
    QCOMPARE(browser->source().toLocalFile(), page.fileName());

    share.refuse("webbrowser: not opening a browser or viewer as root");
    answerer.click(QStringLiteral("OK"));
    QTest::keyClick(browser, Qt::Key_Return); // the mail link again
    QCOMPARE(answerer.answered(), 1);
    QVERIFY2(answerer.texts().value(0).contains(QLatin1String("not opening a browser or viewer")),
        qPrintable(answerer.texts().value(0)));
    QVERIFY(share.browsed(0).isEmpty());
}

// The PDF manual goes to the share directory's mimeviewer when it is
// there; when it is not, or the viewer refuses, a dialog says why and
// offers the manual inside.
void TestManual::pdfManual()
{
    QTemporaryDir dir;
    DocDirectory doc(dir.path());
    RecordingBrowser share;
    ModalAnswerer answerer;
    MainWindow window;
    QAction* pdf = helpEntry(window, {}, QStringLiteral("Manual (PDF)"));
    QVERIFY(pdf);
    QString const path = dir.filePath(QStringLiteral("manual.pdf"));

    answerer.click(QStringLiteral("showManualButton"));
    pdf->trigger();
    QCOMPARE(answerer.answered(), 1);
    QVERIFY2(answerer.texts().last().contains(path), qPrintable(answerer.texts().last()));
    auto* help = window.findChild<Help::Window*>();
    QVERIFY(help && help->isVisible());

    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("%PDF-1.4\n") > 0);
    file.close();
    pdf->trigger();
    QCOMPARE(share.browsed(1, QStringLiteral("mimeviewer")),
        QStringList(QStringLiteral("2:application/pdf ") + path));
    QCOMPARE(answerer.answered(), 1);

    share.refuse("mimeviewer: xdg-open (package xdg-utils) is not installed");
    answerer.click(QStringLiteral("closeButton"));
    pdf->trigger();
    QCOMPARE(answerer.answered(), 2);
    QVERIFY2(answerer.texts().last().contains(QLatin1String("xdg-utils")),
        qPrintable(answerer.texts().last()));
    QVERIFY(share.browsed(0, QStringLiteral("mimeviewer")).isEmpty());

    // About, beside the manuals: the version and the home page.
    answerer.click(QStringLiteral("OK"));
    QVERIFY(QMetaObject::invokeMethod(&window, "about"));
    QCOMPARE(answerer.titles().last(), QStringLiteral("About"));
    QVERIFY(answerer.texts().last().contains("VUX " VUX_VERSION));
    QVERIFY(answerer.texts().last().contains(VUX_HOMEPAGE));
}

QTEST_MAIN(TestManual)
#include "TestManual.moc"
