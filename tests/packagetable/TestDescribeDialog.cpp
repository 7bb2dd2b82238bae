#include "packagetable/PackageTableDescribeDialog.h"
#include "packagetable/PackageTableDescribeInstanceArea.h"
#include "packagetable/PackageTableDescribeInstanceRepoDialog.h"
#include "repo/YumConfIO.h"
#include "support/EngineFixture.h"
#include "widgets/TextDialog.h"
#include "yumio/YumIO.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

// The package and repository description dialogs on a collected sandbox
// root: the areas of each version, the rows left out, and the buttons that
// load file lists and change logs while the dialog cannot be closed.
class TestDescribeDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void areasOfAnUpdateWithTwoInstalledVersions();
    void installedPackageAndGroup();
    void extraDataOnDemand();
    void repositoryDetails();

private:
    Package::Entry const* find(QString const& name, bool isGroup = false);
    // Describes an entry in the dialog, which stays on screen from the first
    // description on.
    void showDescription(QString const& name, bool isGroup = false);
    // The answerer answers every modal dialog it sees, and the description
    // dialog again each time it is back on top: waits for that, so that the
    // next queued answer goes to the dialog the test opens next.
    void settle(int dialogs);
    // The "Key:" texts of an area, in order.
    static QStringList keys(PackageTable::Describe::Instance::Area* area);
    static QString valueOf(PackageTable::Describe::Instance::Area* area, QString const& key);
    // Queues an answer that records the text dialog's title and text, then
    // closes it.
    void readTextDialog(QString* title, QString* text);

    EngineFixture fixture;
    QList<YumRepoEnabled> options;
    QHash<QString, bool> sessionUse;
    YumConfIO* conf = nullptr;
    PackageTable::Describe::Dialog* dialog = nullptr;
    int expectedAnswers = 0;
};

void TestDescribeDialog::initTestCase()
{
    QString error;
    EngineFixture::Options fixtureOptions;
    fixtureOptions.group = true;
    QVERIFY2(fixture.prepare(fixtureOptions, &error), qPrintable(error));
    QVERIFY(fixture.engine().initialize());
    QVERIFY(fixture.engine().collect(EngineFixture::allRepos()));
    conf = new YumConfIO(options, sessionUse);
    QVERIFY(conf->read(nullptr));
    dialog = new PackageTable::Describe::Dialog(fixture.window());
}

Package::Entry const* TestDescribeDialog::find(QString const& name, bool isGroup)
{
    return fixture.engine().findEntry(isGroup, name);
}

void TestDescribeDialog::showDescription(QString const& name, bool isGroup)
{
    Package::Entry const* entry = find(name, isGroup);
    QVERIFY2(entry, qPrintable(name));
    dialog->config(&fixture.engine(), *entry, conf);
    if (!dialog->isVisible()) {
        dialog->show();
        settle(1);
    }
}

void TestDescribeDialog::settle(int dialogs)
{
    expectedAnswers += dialogs;
    QTRY_COMPARE(fixture.answerer().answered(), expectedAnswers);
}

QStringList TestDescribeDialog::keys(PackageTable::Describe::Instance::Area* area)
{
    QStringList result;
    for (QLabel* label : area->widget()->findChildren<QLabel*>()) {
        if (label->text().endsWith(QLatin1Char(':')))
            result << label->text().chopped(1);
    }
    return result;
}

QString TestDescribeDialog::valueOf(
    PackageTable::Describe::Instance::Area* area, QString const& key)
{
    for (QLabel* label : area->widget()->findChildren<QLabel*>()) {
        if (label->accessibleDescription() == key)
            return label->text();
    }
    return QStringLiteral("<none>");
}

void TestDescribeDialog::readTextDialog(QString* title, QString* text)
{
    fixture.answerer().answer([title, text](QWidget* shown) {
        *title = shown->windowTitle();
        auto* edit = shown->findChild<QTextEdit*>();
        auto* plain = shown->findChild<QPlainTextEdit*>();
        *text = edit ? edit->toPlainText() : plain ? plain->toPlainText() : QString();
        ModalAnswerer::clickButton(shown, QStringLiteral("closeButton"));
    });
}

void TestDescribeDialog::areasOfAnUpdateWithTwoInstalledVersions()
{
    showDescription(QStringLiteral("sandbox-kernel"));
    auto const& areas = dialog->instanceAreas();
    QCOMPARE(areas.size(), 3);
    QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("title"))->text(),
        QStringLiteral("sandbox-kernel"));

    auto* update = areas[0];
    QStringList const updateKeys = keys(update);
    for (char const* key : {"Kind", "Version", "Repository", "Architecture", "Size", "Summary",
             "Description", "Build Time", "Provides", "Files", "Change Log"})
        QVERIFY2(updateKeys.contains(QLatin1String(key)), key);
    // Rows without a value are left out: the update is not installed.
    QVERIFY(!updateKeys.contains(QStringLiteral("Install Time")));
    QCOMPARE(updateKeys.indexOf(QStringLiteral("Version")) + 1,
        updateKeys.indexOf(QStringLiteral("Repository")));
    QCOMPARE(valueOf(update, QStringLiteral("Version")), QStringLiteral("5.3.0-1"));
    QCOMPARE(valueOf(update, QStringLiteral("Repository")), QStringLiteral("updates"));
    QVERIFY(update->repoButton());

    QStringList versions;
    for (int i = 1; i < 3; ++i) {
        QCOMPARE(keys(areas[i]),
            QStringList({QStringLiteral("Version"), QStringLiteral("Size"),
                QStringLiteral("Build Time"), QStringLiteral("Packager"), QStringLiteral("Files"),
                QStringLiteral("Change Log")}));
        QVERIFY(!areas[i]->repoButton());
        versions << valueOf(areas[i], QStringLiteral("Version"));
    }
    versions.sort();
    QCOMPARE(versions, QStringList({QStringLiteral("5.1.0-1"), QStringLiteral("5.2.0-1")}));

    // A new description replaces the old one entirely.
    showDescription(QStringLiteral("granite"));
    QCOMPARE(dialog->instanceAreas().size(), 1);
    QCOMPARE(dialog->findChildren<PackageTable::Describe::Instance::Area*>().size(), 1);
}

void TestDescribeDialog::installedPackageAndGroup()
{
    showDescription(QStringLiteral("granite"));
    auto* area = dialog->instanceAreas().first();
    QStringList const granite = keys(area);
    QVERIFY(!granite.contains(QStringLiteral("Repository")));
    QVERIFY(!area->repoButton());
    QVERIFY(granite.contains(QStringLiteral("Install Time")));
    // An installed package's file list and change log are in its header.
    QCOMPARE(area->filesButton()->text(), QStringLiteral("Show"));
    QCOMPARE(area->changeLogButton()->text(), QStringLiteral("Show"));

    showDescription(QStringLiteral("Core Tools"), true);
    area = dialog->instanceAreas().first();
    QStringList const group = keys(area);
    QCOMPARE(group.first(), QStringLiteral("Kind"));
    QVERIFY(group.contains(QStringLiteral("Mandatory Packages")));
    QVERIFY(!group.contains(QStringLiteral("Required Groups")));
    QVERIFY(!group.contains(QStringLiteral("Files")));
    QVERIFY(!area->filesButton() && !area->changeLogButton());
    QVERIFY(valueOf(area, QStringLiteral("Mandatory Packages")).contains(QStringLiteral("aurora")));
}

void TestDescribeDialog::extraDataOnDemand()
{
    YumIO& engine = fixture.engine();
    QVERIFY(!engine.fileListsCollected() && !engine.otherDataCollected());
    showDescription(QStringLiteral("sandbox-kernel"));
    auto areas = dialog->instanceAreas();
    QString const mustLoad = QStringLiteral("Show (must load extra data)");
    QCOMPARE(areas[0]->filesButton()->text(), mustLoad);
    QCOMPARE(areas[0]->changeLogButton()->text(), mustLoad);
    QCOMPARE(areas[1]->filesButton()->text(), QStringLiteral("Show"));
    QCOMPARE(areas[1]->changeLogButton()->accessibleName(), QStringLiteral("Change Log: Show"));

    // While the worker loads, the dialog refuses to close every way it can.
    auto* close = dialog->findChild<QPushButton*>(QStringLiteral("describeCloseButton"));
    bool checked = false;
    QTimer probe;
    probe.setSingleShot(true);
    connect(&probe, &QTimer::timeout, this, [&] {
        checked = !close->isEnabled() && !dialog->isReady();
        close->click();
        dialog->reject();
        dialog->close();
        checked = checked && dialog->isVisible();
    });
    probe.start(0);
    QString title, text;
    readTextDialog(&title, &text);
    areas[0]->filesButton()->click();
    settle(2);
    QVERIFY(checked);
    QVERIFY(dialog->isVisible() && close->isEnabled());
    QCOMPARE(title, QStringLiteral("sandbox-kernel 5.3.0-1 File List"));
    QVERIFY2(text.contains(QStringLiteral("/boot/vmlinuz-5.3.0.sandbox")), qPrintable(text));
    QVERIFY(engine.fileListsCollected());
    QCOMPARE(areas[0]->filesButton()->text(), QStringLiteral("Show"));
    QCOMPARE(areas[0]->changeLogButton()->text(), mustLoad);

    readTextDialog(&title, &text);
    areas[0]->changeLogButton()->click();
    settle(2);
    QCOMPARE(title, QStringLiteral("sandbox-kernel 5.3.0-1 Change Log"));
    QVERIFY2(text.startsWith(QStringLiteral("* ")), qPrintable(text));
    QCOMPARE(areas[0]->changeLogButton()->text(), QStringLiteral("Show"));

    // An installed version reads its own header, not the repository's data.
    readTextDialog(&title, &text);
    areas[2]->filesButton()->click();
    settle(2);
    QString const version = valueOf(areas[2], QStringLiteral("Version"));
    QCOMPARE(title, QStringLiteral("sandbox-kernel %1 File List").arg(version));
    QVERIFY2(text.contains(QStringLiteral("/boot/vmlinuz-%1.sandbox").arg(version.chopped(2))),
        qPrintable(text));

    // Later descriptions know the data are loaded.
    showDescription(QStringLiteral("ember"));
    QCOMPARE(dialog->instanceAreas().first()->filesButton()->text(), QStringLiteral("Show"));
    QVERIFY(dialog->isReady());
}

void TestDescribeDialog::repositoryDetails()
{
    showDescription(QStringLiteral("helix"));
    auto* area = dialog->instanceAreas().first();
    QVERIFY(area->repoButton());
    QStringList rows;
    fixture.answerer().answer([&rows](QWidget* shown) {
        for (QLabel* label : shown->findChildren<QLabel*>())
            rows << label->text();
        ModalAnswerer::clickButton(shown, QStringLiteral("closeButton"));
    });
    area->repoButton()->click();
    settle(2);
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows[0], QStringLiteral("updates"));
    QCOMPARE(
        rows.mid(1, 2), QStringList({QStringLiteral("Name:"), QStringLiteral("Sandbox updates")}));
    QCOMPARE(rows[3], QStringLiteral("URLs:"));
    QCOMPARE(rows[4], fixture.server()->url() + QStringLiteral("/updates/"));

    // A second repository replaces the first one's rows; with only a mirror
    // list there is one row, and larder credentials are not shown.
    PackageTable::Describe::Instance::RepoDialog repoDialog(&fixture.engine());
    Repo::Entry first;
    first.id = QStringLiteral("first");
    first.name = QStringLiteral("First");
    first.baseurl = QStringLiteral("http://a.example/one/\nhttp://a.example/two/");
    repoDialog.config(first);
    repoDialog.show();
    repoDialog.hide();
    Repo::Entry mirrored;
    mirrored.id = QStringLiteral("mirrored");
    mirrored.mirrorlist
        = QStringLiteral("http://m.example/larder?name=ann&password=s3cret&path=/list");
    repoDialog.config(mirrored);
    QStringList texts;
    for (QLabel* label : repoDialog.findChildren<QLabel*>())
        texts << label->text();
    QCOMPARE(texts.size(), 3);
    QCOMPARE(texts.mid(0, 2),
        QStringList({QStringLiteral("mirrored"), QStringLiteral("Mirror list URL:")}));
    QVERIFY(
        !texts[2].contains(QStringLiteral("s3cret")) && !texts[2].contains(QStringLiteral("ann")));

    dialog->accept();
    QVERIFY(!dialog->isVisible());
    QVERIFY(dialog->instanceAreas().isEmpty());
    QVERIFY(!dialog->findChild<QLabel*>(QStringLiteral("title")));
}

QTEST_MAIN(TestDescribeDialog)
#include "TestDescribeDialog.moc"
