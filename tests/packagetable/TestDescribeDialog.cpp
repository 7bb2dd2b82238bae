// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableDescribeDialog.h"
#include "packagetable/PackageTableDescribeInstanceArea.h"
#include "repo/YumConfIO.h"
#include "support/AccessibleCheck.h"
#include "support/EngineFixture.h"
#include "yumio/YumIO.h"

#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

using PackageTable::Describe::Instance::Area;

namespace {

// The "Key:" texts of an area, in order.
QStringList keys(Area* area)
{
    QStringList result;
    for (QLabel* label : area->widget()->findChildren<QLabel*>()) {
        if (label->text().endsWith(QLatin1Char(':')))
            result << label->text().chopped(1);
    }
    return result;
}

QString valueOf(Area* area, QString const& key)
{
    for (QLabel* label : area->widget()->findChildren<QLabel*>()) {
        if (label->accessibleDescription() == key)
            return label->text();
    }
    return QStringLiteral("<none>");
}

QStringList labelTexts(QWidget* widget)
{
    QStringList texts;
    for (QLabel* label : widget->findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

} // namespace

// The package and repository description dialogs on a collected sandbox
// root: the areas of each version, the rows left out, and the buttons that
// load file lists and change logs while the dialog cannot be closed.
class TestDescribeDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void areasAndRows();
    void extraDataOnDemand();
    void repositoryDetails();
    void hiddenWhileLoading();

private:
    // Describes an entry in the dialog, which stays on screen from the
    // first description on; its areas.
    QList<Area*> describe(QString const& name, bool isGroup = false);
    // Clicks a button that opens a modal dialog; that dialog's title and
    // label or text contents. The answerer answers every modal dialog it
    // sees, and the description dialog again once it is back on top: the
    // count of answers keeps the queued answer for the dialog opened here.
    QStringList clickAndRead(QPushButton* button);
    void settle(int dialogs);

    EngineFixture fixture;
    QList<YumRepoEnabled> options;
    QHash<QString, bool> sessionUse;
    YumConfIO* conf = nullptr;
    PackageTable::Describe::Dialog* dialog = nullptr;
    int answers = 0;
};

void TestDescribeDialog::initTestCase()
{
    QString error;
    EngineFixture::Options fixtureOptions;
    fixtureOptions.group = true;
    QVERIFY2(fixture.start(fixtureOptions, true, &error), qPrintable(error));
    conf = new YumConfIO(options, sessionUse);
    QVERIFY(conf->read(nullptr));
    dialog = new PackageTable::Describe::Dialog(fixture.window());
}

QList<Area*> TestDescribeDialog::describe(QString const& name, bool isGroup)
{
    Package::Entry const* entry = fixture.engine().findEntry(isGroup, name);
    [&] { QVERIFY2(entry, qPrintable(name)); }();
    dialog->config(&fixture.engine(), *entry, conf);
    if (!dialog->isVisible()) {
        dialog->show();
        // Shown again, it is the dialog the answerer answered last.
        if (answers == 0)
            settle(1);
    }
    return dialog->instanceAreas();
}

void TestDescribeDialog::settle(int dialogs)
{
    answers += dialogs;
    QTRY_COMPARE(fixture.answerer().answered(), answers);
}

QStringList TestDescribeDialog::clickAndRead(QPushButton* button)
{
    QStringList read;
    fixture.answerer().answer([&read](QWidget* shown) {
        auto* edit = shown->findChild<QTextEdit*>();
        read << shown->windowTitle() << (edit ? edit->toPlainText() : labelTexts(shown).join('|'));
        ModalAnswerer::clickButton(shown, QStringLiteral("closeButton"));
    });
    button->click();
    settle(2);
    return read;
}

void TestDescribeDialog::areasAndRows()
{
    // The update and the newest installed version behind it (the older one
    // has a row of its own).
    QList<Area*> areas = describe(QStringLiteral("sandbox-kernel"));
    QCOMPARE(areas.size(), 2);
    QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("title"))->text(),
        QStringLiteral("sandbox-kernel"));
    QStringList const update = keys(areas[0]);
    QCOMPARE(update.mid(0, 4), QString("Kind Version Repository Architecture").split(' '));
    QVERIFY(update.contains("Description") && update.endsWith("Change Log"));
    // Rows without a value are left out: the update is not installed.
    QVERIFY(!update.contains("Install Time"));
    QCOMPARE(valueOf(areas[0], "Repository"), "updates");
    QCOMPARE(keys(areas[1]).join('|'), "Version|Size|Build Time|Packager|Files|Change Log");
    QCOMPARE(valueOf(areas[1], "Version"), "5.2.0-1");
    QStringList const unreachable = unreachableControls(dialog);
    QVERIFY2(unreachable.isEmpty(), qPrintable(unreachable.join(", ")));

    // An installed package has no Repository row; a new description
    // replaces the old one entirely.
    areas = describe(QStringLiteral("granite"));
    QCOMPARE(dialog->findChildren<Area*>().size(), 1);
    QVERIFY(!keys(areas[0]).contains(QStringLiteral("Repository")) && !areas[0]->repoButton());
    QVERIFY(keys(areas[0]).contains(QStringLiteral("Install Time")));

    // A group lists its non-empty member lists, without buttons.
    areas = describe(QStringLiteral("Core Tools"), true);
    QStringList const group = keys(areas[0]);
    QCOMPARE(group.first(), QStringLiteral("Kind"));
    QVERIFY(group.contains(QStringLiteral("Mandatory Packages")));
    // As tests/data/comps.xml gives it.
    QCOMPARE(valueOf(areas[0], QStringLiteral("Description")),
        QStringLiteral("Notes, the Basalt runtime and the configuration store."));
    QVERIFY(!group.contains(QStringLiteral("Required Groups")) && !areas[0]->filesButton());
}

void TestDescribeDialog::extraDataOnDemand()
{
    YumIO& engine = fixture.engine();
    QVERIFY(!engine.fileListsCollected() && !engine.otherDataCollected());
    QList<Area*> const areas = describe(QStringLiteral("sandbox-kernel"));
    QString const mustLoad = QStringLiteral("Show (must load extra data)");
    QCOMPARE(areas[0]->filesButton()->text(), mustLoad);
    QCOMPARE(areas[0]->changeLogButton()->text(), mustLoad);
    // Installed versions read their own headers.
    QCOMPARE(areas[1]->filesButton()->text(), QStringLiteral("Show"));
    QCOMPARE(areas[1]->changeLogButton()->accessibleName(), QStringLiteral("Change Log: Show"));

    // While the worker loads, the dialog refuses to close every way it can.
    auto* close = dialog->findChild<QPushButton*>(QStringLiteral("describeCloseButton"));
    bool refused = false;
    QTimer::singleShot(0, this, [&] {
        refused = !close->isEnabled() && !dialog->isReady();
        close->click();
        dialog->reject();
        dialog->close();
        refused = refused && dialog->isVisible();
    });
    QStringList read = clickAndRead(areas[0]->filesButton());
    QVERIFY(refused);
    QVERIFY(dialog->isVisible() && close->isEnabled());
    QCOMPARE(read[0], QStringLiteral("sandbox-kernel 5.3.0-1 File List"));
    QVERIFY2(read[1].contains(QStringLiteral("/boot/vmlinuz-5.3.0.sandbox")), qPrintable(read[1]));
    QCOMPARE(areas[0]->filesButton()->text(), QStringLiteral("Show"));
    QCOMPARE(areas[0]->changeLogButton()->text(), mustLoad);

    read = clickAndRead(areas[0]->changeLogButton());
    QCOMPARE(read[0], QStringLiteral("sandbox-kernel 5.3.0-1 Change Log"));
    QVERIFY2(read[1].startsWith(QStringLiteral("* ")), qPrintable(read[1]));
    QCOMPARE(areas[0]->changeLogButton()->text(), QStringLiteral("Show"));

    QString const version = valueOf(areas[1], QStringLiteral("Version"));
    read = clickAndRead(areas[1]->filesButton());
    QCOMPARE(read[0], QStringLiteral("sandbox-kernel %1 File List").arg(version));
    QVERIFY(read[1].contains(QStringLiteral("/boot/vmlinuz-%1.sandbox").arg(version.chopped(2))));

    // Later descriptions know the data are loaded.
    QCOMPARE(describe(QStringLiteral("ember"))[0]->filesButton()->text(), QStringLiteral("Show"));
}

// The repository rows (what the rows show of other repositories is the
// repository suite's concern); hiding the description drops its contents.
void TestDescribeDialog::repositoryDetails()
{
    QStringList const read = clickAndRead(describe(QStringLiteral("helix"))[0]->repoButton());
    QCOMPARE(read.value(1),
        QStringLiteral("updates|Name:|Sandbox updates|URLs:|%1/updates/")
            .arg(fixture.server()->url()));

    dialog->accept();
    QVERIFY(!dialog->isVisible() && dialog->instanceAreas().isEmpty());
    QVERIFY(!dialog->findChild<QLabel*>(QStringLiteral("title")));
}

// Hidden by its owner while a file list loads, the dialog keeps the widgets
// that wait until the wait is over, shows no file list, and is ready again.
void TestDescribeDialog::hiddenWhileLoading()
{
    YumIO& engine = fixture.engine();
    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()) && !engine.fileListsCollected());
    QList<Area*> const areas = describe(QStringLiteral("aurora"));
    QTimer::singleShot(0, dialog, &QWidget::hide);
    areas[0]->filesButton()->click();
    QVERIFY(engine.fileListsCollected());
    QVERIFY(!dialog->isVisible() && dialog->isReady());
    QTest::qWait(50);
    QCOMPARE(fixture.answerer().answered(), answers);
    QVERIFY(dialog->findChildren<Area*>().isEmpty());
    QCOMPARE(describe(QStringLiteral("aurora"))[0]->filesButton()->text(), QStringLiteral("Show"));
}

QTEST_MAIN(TestDescribeDialog)
#include "TestDescribeDialog.moc"
