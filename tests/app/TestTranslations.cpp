// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/HelpWindow.h"
#include "app/MainWindow.h"
#include "app/Translations.h"
#include "config-vux-tests.h"
#include "log/LogWindow.h"
#include "packagetable/PackageTableDescribeDialog.h"
#include "repo/RepoAuthDialog.h"
#include "repo/RepoEditorDialog.h"
#include "repo/YumConfIO.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>

namespace {

// One translated message of a catalogue: its context, source and every form
// of its translation (one, or one per plural form).
struct CatalogueMessage
{
    QString context;
    QString source;
    QStringList translations;
};

// The finished messages of a .ts catalogue; unfinished, obsolete and empty
// translations fall back to the source at run time and are left out.
QList<CatalogueMessage> finishedMessages(QString const& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return {};
    }
    QList<CatalogueMessage> messages;
    QXmlStreamReader xml(&file);
    QString context;
    CatalogueMessage message;
    bool forms = false; // plural forms or length variants, each its own element
    bool finished = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == u"message" && finished) {
            message.translations.removeAll(QString());
            if (!message.translations.isEmpty())
                messages << message;
        }
        if (!xml.isStartElement())
            continue;
        QStringView const name = xml.name();
        QXmlStreamAttributes const attributes = xml.attributes();
        if (name == u"name") {
            context = xml.readElementText();
        } else if (name == u"message") {
            message = CatalogueMessage {context, QString(), {}};
            forms = attributes.value(QLatin1String("numerus")) == u"yes";
            finished = false;
        } else if (name == u"source") {
            message.source = xml.readElementText();
        } else if (name == u"translation") {
            finished = attributes.value(QLatin1String("type")).isEmpty();
            forms = forms || attributes.value(QLatin1String("variants")) == u"yes";
            if (!forms)
                message.translations << xml.readElementText();
        } else if (name == u"numerusform" || name == u"lengthvariant") {
            message.translations << xml.readElementText();
        } else if (name != u"TS" && name != u"context") {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError())
        *error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    return messages;
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
    static QRegularExpression const entity(QStringLiteral("^&(?:[A-Za-z]+|#\\d+);"));
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (i + 1 < text.size() && text[i + 1] == u'&')
            ++i;
        else if (!entity.match(QStringView(text).mid(i)).hasMatch())
            ++count;
    }
    return count;
}

// How many newlines open and close the text (where messages are joined).
QPair<int, int> edgeNewlines(QString const& text)
{
    int leading = 0;
    while (leading < text.size() && text[leading] == u'\n')
        ++leading;
    int trailing = 0;
    while (trailing < text.size() - leading && text[text.size() - 1 - trailing] == u'\n')
        ++trailing;
    return {leading, trailing};
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

// The clashes in every window and dialog that can be built without an
// engine, in the language installed now.
QStringList allWindowClashes()
{
    QList<YumRepoEnabled> const options;
    QHash<QString, bool> use;
    YumConfIO conf(options, use);
    Log::EntryList entries;
    MainWindow main;
    RepoEditor::Dialog editor(nullptr, &conf, nullptr);
    Log::Window log(entries);
    RepoAuth::Dialog auth;
    PackageTable::Describe::Dialog describe;
    Help::Window help;
    QList<QWidget*> windows {&main, &editor, &log, &auth, &describe, &help};
    for (QDialog* dialog : editor.findChildren<QDialog*>())
        windows << dialog;
    QStringList faults;
    for (QWidget* window : std::as_const(windows))
        faults += windowClashes(window);
    return faults;
}

} // namespace

// The toolkit's catalogue follows the locale; Vux's own is looked up in the
// directory given (the program's resources; see the command-line test for
// the German catalogue end to end). Every catalogue in the source tree keeps,
// in each translation, what the program fills in or relies on.
class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void toolkitCatalogueFollowsTheLocale();
    void translationsKeepWhatTheProgramFillsIn_data();
    void translationsKeepWhatTheProgramFillsIn();
    void noMnemonicClashes_data();
    void noMnemonicClashes();
};

void TestTranslations::toolkitCatalogueFollowsTheLocale()
{
    QString const qtDir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(qtDir + QStringLiteral("/qtbase_de.qm")))
        QSKIP("the toolkit's German catalogue is not installed");
    QTemporaryDir noCatalogues;
    Translations::install(
        *QCoreApplication::instance(), QLocale(QStringLiteral("C")), noCatalogues.path());
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    Translations::install(
        *QCoreApplication::instance(), QLocale(QStringLiteral("de_DE")), noCatalogues.path());
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
}

void TestTranslations::translationsKeepWhatTheProgramFillsIn_data()
{
    QTest::addColumn<QString>("path");
    QDir const dir(QStringLiteral(VUX_SOURCE_DIR "/translations"));
    QStringList const catalogues = dir.entryList({QStringLiteral("vux_*.ts")}, QDir::Files);
    QVERIFY2(!catalogues.isEmpty(), qPrintable(dir.path()));
    for (QString const& name : catalogues)
        QTest::newRow(qPrintable(name)) << dir.filePath(name);
}

// A translation that loses or invents a placeholder shows "%2" to the user or
// drops a value; a lost or extra '&' removes the menu accelerator or doubles
// one; a lost leading or trailing newline runs messages together that the
// program joins.
void TestTranslations::translationsKeepWhatTheProgramFillsIn()
{
    QFETCH(QString, path);
    QString error;
    QList<CatalogueMessage> const messages = finishedMessages(path, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!messages.isEmpty());
    QStringList faults;
    for (CatalogueMessage const& message : messages) {
        QStringList const wanted = placeholders(message.source);
        int const accelerator = accelerators(message.source);
        for (QString const& translation : message.translations) {
            QStringList problems;
            if (placeholders(translation) != wanted)
                problems << QStringLiteral("placeholders");
            int const translated = accelerators(translation);
            if (translated != accelerator || translated > 1)
                problems << QStringLiteral("accelerator");
            if (edgeNewlines(translation) != edgeNewlines(message.source))
                problems << QStringLiteral("leading/trailing newlines");
            if (!problems.isEmpty())
                faults << QStringLiteral("[%1] \"%2\" -> \"%3\": %4")
                              .arg(message.context, message.source, translation,
                                  problems.join(QStringLiteral(", ")));
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

void TestTranslations::noMnemonicClashes_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::newRow("source texts") << QString();
    QDir const dir(QStringLiteral(VUX_SOURCE_DIR "/translations"));
    for (QString const& name : dir.entryList({QStringLiteral("vux_*.ts")}, QDir::Files)) {
        QString const compiled = QFileInfo(name).completeBaseName() + QStringLiteral(".qm");
        QTest::newRow(qPrintable(name)) << QStringLiteral(":/i18n/") + compiled;
    }
}

// Alt+letter in one window reaches one thing, in every language: a menu
// title and a button sharing a letter leave one of them out of reach.
void TestTranslations::noMnemonicClashes()
{
    QFETCH(QString, catalogue);
    std::unique_ptr<QTranslator> translator;
    if (!catalogue.isEmpty()) {
        translator = std::make_unique<QTranslator>();
        QVERIFY2(translator->load(catalogue), qPrintable(catalogue));
        QCoreApplication::installTranslator(translator.get());
    }
    QStringList const faults = allWindowClashes();
    if (translator)
        QCoreApplication::removeTranslator(translator.get());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

QTEST_MAIN(TestTranslations)
#include "TestTranslations.moc"
