// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/Translations.h"
#include "config-vux-tests.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

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

QTEST_GUILESS_MAIN(TestTranslations)
#include "TestTranslations.moc"
