// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/HelpWindow.h"
#include "app/HistoryWindow.h"
#include "app/MainWindow.h"
#include "app/Translations.h"
#include "config-vux-tests.h"
#include "log/LogWindow.h"
#include "packagetable/PackageTableDescribeDialog.h"
#include "repo/RepoAuthDialog.h"
#include "repo/RepoEditorContextMenu.h"
#include "repo/RepoEditorDialog.h"
#include "repo/RepoEditorModel.h"
#include "repo/RepoEditorView.h"
#include "repo/YumConfIO.h"
#include "support/AccessibleCheck.h"
#include "support/ModalAnswerer.h"
#include "support/RecordingBrowser.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTranslator>
#include <QTreeWidget>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>

// What the user reads: the manual covers what the windows show and the Help
// menu opens it where the build installs it; every catalogue is complete,
// keeps what the program fills in, and leaves no two controls of a window on
// one Alt+letter.
namespace {

// Every window and dialog that can be built without an engine, built as the
// program builds them, in the language installed when they are made.
struct Windows
{
    QList<YumRepoEnabled> const options;
    QHash<QString, bool> use;
    YumConfIO conf {options, use};
    Log::EntryList entries;
    MainWindow main;
    RepoEditor::Dialog editor {nullptr, &conf, nullptr};
    History::Window history {nullptr};
    Log::Window log {entries};
    RepoAuth::Dialog auth;
    PackageTable::Describe::Dialog describe;
    Help::Window help;
    // The ones the manual describes, and the editor's dialogs.
    QList<QWidget*> documented()
    {
        QList<QWidget*> windows {&main, &editor, &history};
        for (QDialog* dialog : editor.findChildren<QDialog*>())
            windows << dialog;
        return windows;
    }
    QList<QWidget*> all() { return documented() + QList<QWidget*> {&log, &auth, &describe, &help}; }
};

// Every text a user reads on the widget's menus, buttons, labels, groups and
// choice boxes, and its title, without the '&' of keyboard accelerators.
QStringList visibleTexts(QWidget* top)
{
    QStringList texts {top->windowTitle()};
    for (QAbstractButton* button : top->findChildren<QAbstractButton*>())
        texts << button->text();
    for (QGroupBox* group : top->findChildren<QGroupBox*>())
        texts << group->title();
    for (QLabel* label : top->findChildren<QLabel*>()) {
        if (label->objectName() != QLatin1String("status"))
            texts << label->text();
    }
    for (QComboBox* box : top->findChildren<QComboBox*>()) {
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
    }
    for (QMenu* menu : top->findChildren<QMenu*>()) {
        texts << menu->title();
        for (QAction* action : menu->actions())
            texts << action->text();
    }
    texts.replaceInStrings(QStringLiteral("&"), QString());
    texts.removeIf([](QString const& text) { return text.trimmed().isEmpty(); });
    return texts;
}

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

// Presses Return on the next link Tab reaches.
void activateNextLink(QTextBrowser* browser)
{
    QTest::keyClick(browser, Qt::Key_Tab);
    QTest::keyClick(browser, Qt::Key_Return);
}

// The arguments QString::arg() and tr(..., n) fill in: %1 .. %99, %L1, %n, %Ln.
QStringList placeholders(QString const& text)
{
    static QRegularExpression const pattern(QStringLiteral("%L?(?:\\d{1,2}|n)"));
    QStringList found;
    for (auto const& match : pattern.globalMatch(text))
        found << match.captured();
    found.sort();
    return found;
}

// Keyboard accelerators: single '&'s, neither a literal "&&" nor the start of
// an HTML entity in rich text.
int accelerators(QString const& text)
{
    static QRegularExpression const ampersand(QStringLiteral("&&|&(?:[A-Za-z]+|#\\d+);|&"));
    int count = 0;
    for (auto const& match : ampersand.globalMatch(text))
        count += match.capturedLength() == 1;
    return count;
}

// How many newlines open and close the text (where messages are joined).
QPair<qsizetype, qsizetype> edgeNewlines(QString const& text)
{
    static QRegularExpression const edges(QStringLiteral("^(\\n*)(?:.*[^\\n])?(\\n*)\\z"),
        QRegularExpression::DotMatchesEverythingOption);
    QRegularExpressionMatch const match = edges.match(text);
    return {match.capturedLength(1), match.capturedLength(2)};
}

// What is wrong in a .ts catalogue: a message left unfinished (shown in the
// source language); a translation that loses or invents a placeholder (shows
// "%2" or drops a value); a lost or extra '&' (removes or doubles a menu
// accelerator); a lost leading or trailing newline (runs together messages
// the program joins).
QStringList catalogueFaults(QString const& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {file.errorString()};
    QXmlStreamReader xml(&file);
    QStringList faults;
    QString context, source;
    bool numerus = false;
    int messages = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"message") {
            numerus = xml.attributes().value(QLatin1String("numerus")) == u"yes";
        } else if (xml.name() == u"source") {
            source = xml.readElementText();
        } else if (xml.name() == u"translation") {
            QStringView const type = xml.attributes().value(QLatin1String("type"));
            if (type == u"vanished" || type == u"obsolete")
                continue;
            QStringList forms; // one per plural form
            while (numerus && xml.readNextStartElement())
                forms << xml.readElementText();
            if (!numerus)
                forms << xml.readElementText();
            ++messages;
            QStringList problems;
            if (!type.isEmpty() || forms.contains(QString()))
                problems << QStringLiteral("unfinished");
            for (QString const& form : std::as_const(forms)) {
                if (placeholders(form) != placeholders(source))
                    problems << QStringLiteral("placeholders");
                if (accelerators(form) != accelerators(source) || accelerators(form) > 1)
                    problems << QStringLiteral("accelerator");
                if (edgeNewlines(form) != edgeNewlines(source))
                    problems << QStringLiteral("leading/trailing newlines");
            }
            if (!problems.isEmpty())
                faults << QStringLiteral("[%1] \"%2\" -> \"%3\": %4")
                              .arg(context, source, forms.join(u'|'),
                                  problems.join(QStringLiteral(", ")));
        }
    }
    if (xml.hasError())
        faults << QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    if (messages == 0)
        faults << QStringLiteral("no messages");
    return faults;
}

// The texts that one Alt+letter can reach (QKeySequence::mnemonic), when
// more than one does: only the first of them is ever reached.
QStringList clashes(QString const& where, QStringList const& texts)
{
    QHash<QKeySequence, QStringList> byKey;
    for (QString const& text : texts) {
        QKeySequence const key = QKeySequence::mnemonic(text);
        if (!key.isEmpty())
            byKey[key] << text;
    }
    QStringList faults;
    for (auto it = byKey.cbegin(); it != byKey.cend(); ++it) {
        if (it->size() > 1)
            faults << QStringLiteral("%1: %2 share %3")
                          .arg(where, it->join(QStringLiteral(", ")), it.key().toString());
    }
    return faults;
}

// Within one window: its menu bar's titles, buttons, labelled fields and
// groups; within each of its menus: the entries.
QStringList windowClashes(QWidget* window)
{
    QString const where = window->metaObject()->className();
    QStringList texts;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->window() != window)
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            texts << button->text();
        else if (auto* label = qobject_cast<QLabel*>(widget); label && label->buddy())
            texts << label->text();
        else if (auto* group = qobject_cast<QGroupBox*>(widget))
            texts << group->title();
        else if (auto* bar = qobject_cast<QMenuBar*>(widget)) {
            for (QAction* action : bar->actions())
                texts << action->text();
        }
    }
    QStringList faults = clashes(where, texts);
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        QStringList entries;
        for (QAction* action : menu->actions())
            entries << action->text();
        faults += clashes(where + QStringLiteral(" ") + menu->title(), entries);
    }
    return faults;
}

} // namespace

class TestTexts : public QObject
{
    Q_OBJECT

private slots:
    void manualCoversEveryLabel();
    void helpWindowShowsTheManual();
    void webLinksGoToTheBrowser();
    void pdfManual();
    void toolkitCatalogueFollowsTheLocale();
    void catalogues_data();
    void catalogues();
};

void TestTexts::manualCoversEveryLabel()
{
    QFile file(QStringLiteral(VUX_SOURCE_DIR "/doc/manual/index.html"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QTextDocument document;
    document.setHtml(QString::fromUtf8(file.readAll()));
    QString const manual = document.toPlainText().simplified();
    QVERIFY(!manual.isEmpty());
    Windows windows;
    QStringList texts;
    for (QWidget* window : windows.documented())
        texts << visibleTexts(window);
    texts.removeAll(windows.main.windowTitle()); // the host's name
    auto* model = windows.editor.findChild<RepoEditor::Model*>();
    for (int column = 0; column < model->columnCount(); ++column)
        texts << model->headerData(column, Qt::Horizontal).toString();
    for (QAction* action :
        windows.editor.findChild<RepoEditor::View*>()->getContextMenu()->actions())
        texts << action->text();
    QTreeWidgetItem const* header = windows.history.findChild<QTreeWidget*>()->headerItem();
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

// F1 and the Help menu show the manual of the documentation directory in the
// window, with its pictures, and follow its own links there; the build
// tree's doc/ holds it as an installation does.
void TestTexts::helpWindowShowsTheManual()
{
    qputenv("VUXDOC", VUX_BINARY_DIR "/doc");
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
    QCOMPARE(unreachableControls(help), QStringList());

    // Every picture the document shows, as the browser loads it.
    int pictures = 0;
    for (auto const& match :
        QRegularExpression(QStringLiteral("<img src=\"([^\"]+)\"")).globalMatch(html)) {
        QVariant const loaded
            = browser->document()->resource(QTextDocument::ImageResource, QUrl(match.captured(1)));
        QImage const picture = loaded.typeId() == QMetaType::QByteArray
            ? QImage::fromData(loaded.toByteArray())
            : loaded.value<QImage>();
        QVERIFY2(!picture.isNull(), qPrintable(match.captured(1)));
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

    // Without a manual the window says where it looked.
    QTemporaryDir empty;
    qputenv("VUXDOC", QFile::encodeName(empty.path()));
    help->close();
    helpEntry(window, {}, QStringLiteral("Manual (html)"))->trigger();
    QVERIFY(browser->toPlainText().contains(Help::Window::manualFile()));
}

// A link to the web (or a mail address, the same branch) goes to the share
// directory's webbrowser, which opens it as the invoking user (when it
// cannot is tests/repo's concern, where the same helper runs).
void TestTexts::webLinksGoToTheBrowser()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("html")));
    QFile page(dir.filePath(QStringLiteral("html/index.html")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<html><head><title>Links</title></head><body>"
               "<a href=\"https://example.org/a?b=1\">web</a></body></html>");
    page.close();
    qputenv("VUXDOC", QFile::encodeName(dir.path()));
    RecordingBrowser share;
    Help::Window help;
    help.showManual();
    QVERIFY(QTest::qWaitForWindowActive(&help));
    auto* browser = help.findChild<QTextBrowser*>(QStringLiteral("manual"));
    QCOMPARE(help.windowTitle(), QStringLiteral("Links"));
    activateNextLink(browser);
    QCOMPARE(share.browsed(1), QStringList("1:https://example.org/a?b=1"));
    QCOMPARE(browser->source().toLocalFile(), page.fileName());
}

// The PDF manual goes to the share directory's mimeviewer when it is
// there; when it is not, a dialog says why and offers the manual inside.
void TestTexts::pdfManual()
{
    QTemporaryDir dir;
    qputenv("VUXDOC", QFile::encodeName(dir.path()));
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
}

void TestTexts::toolkitCatalogueFollowsTheLocale()
{
    QString const qtDir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(qtDir + QStringLiteral("/qtbase_de.qm")))
        QSKIP("the toolkit's German catalogue is not installed");
    QTemporaryDir noCatalogues;
    for (auto [locale, cancel] : {std::pair {"C", "Cancel"}, {"de_DE", "Abbrechen"}}) {
        Translations::install(*QCoreApplication::instance(), QLocale(locale), noCatalogues.path());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString(cancel));
    }
}

void TestTexts::catalogues_data()
{
    QTest::addColumn<QString>("source"); // the .ts catalogue; empty: the source texts
    QTest::newRow("source texts") << QString();
    QDir const dir(QStringLiteral(VUX_SOURCE_DIR "/translations"));
    QStringList const catalogues = dir.entryList({QStringLiteral("vux_*.ts")}, QDir::Files);
    QVERIFY2(!catalogues.isEmpty(), qPrintable(dir.path()));
    for (QString const& name : catalogues)
        QTest::newRow(qPrintable(name)) << dir.filePath(name);
}

// Every catalogue in the source tree is complete and keeps, in each
// translation, what the program fills in or relies on. Alt+letter in one
// window reaches one thing, in every language: a menu title and a button
// sharing a letter leave one of them out of reach.
void TestTexts::catalogues()
{
    QFETCH(QString, source);
    QStringList faults;
    std::unique_ptr<QTranslator> translator;
    if (!source.isEmpty()) {
        faults = catalogueFaults(source);
        QString const compiled = ":/i18n/" + QFileInfo(source).completeBaseName() + ".qm";
        translator = std::make_unique<QTranslator>();
        QVERIFY2(translator->load(compiled), qPrintable(compiled));
        QCoreApplication::installTranslator(translator.get());
    }
    {
        Windows windows;
        for (QWidget* window : windows.all())
            faults += windowClashes(window);
    }
    if (translator)
        QCoreApplication::removeTranslator(translator.get());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

QTEST_MAIN(TestTexts)
#include "TestTexts.moc"
