#include "app/Translations.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

// The toolkit's catalogue follows the locale; Vux's own is looked up in the
// directory given (the program's resources; see the command-line test for
// the German catalogue end to end).
class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void toolkitCatalogueFollowsTheLocale();
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

QTEST_GUILESS_MAIN(TestTranslations)
#include "TestTranslations.moc"
