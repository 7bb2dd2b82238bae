// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableDescribeDialog.h"
#include "packagetable/PackageTableDescribeInstanceArea.h"
#include "packagetable/PackageTableModel.h"
#include "packagetable/PackageTableSortFilterProxyModel.h"
#include "packagetable/PackageTableStatusLine.h"
#include "packagetable/PackageTableView.h"
#include "support/EngineFixture.h"
#include "support/RecordingBrowser.h"
#include "yumio/YumIO.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

using namespace PackageTable;

// What the repositories' metadata tells beyond the packages, on a collected
// sandbox root whose "updates" carries the advisories the sandbox generates
// (a security one with a CVE, a bug fix, an enhancement), each compared with
// dnf's own command on the same root: the Advisory column, View Security
// Updates and Set Security Updates (dnf updateinfo list), an update's
// advisories in its description, Required By (dnf repoquery
// --whatrequires), the What Provides mode (dnf repoquery --whatprovides) and
// the status line. And the rows of packages that dnf lists in more than one
// line or under another name: an install-only package with three versions
// installed, a package that another one replaces (a rename), a multilib
// pair, and what View Removable shows of an updatable package.
class TestRowsAndRelations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void advisoriesAsUpdateinfoLists();
    void descriptionListsAdvisories();
    void requiredByAsRepoquery_data();
    void requiredByAsRepoquery();
    void providersAsRepoquery_data();
    void providersAsRepoquery();
    void statusLineAgreesWithTheViews();
    void rowsOfOddPackages();

private:
    // Names (sorted, without repeats: an install-only package has a row per
    // installed version) of the rows the proxy shows.
    QStringList shown() const;
    // Names (sorted, without repeats) of the packages a dnf command lists
    // with --qf %{name}.
    QStringList dnfNames(QStringList const& arguments) const;
    Describe::Instance::Area* describe(QString const& name);
    // The rows the view shows for a name: "state version arch repository".
    QStringList rows(StateFilter filter, QString const& name) const;
    int rowOf(QString const& name) const;

    EngineFixture fixture;
    YumIO* engine = nullptr;
    Model* model = nullptr;
    View* view = nullptr;
    SortFilterProxyModel* proxy = nullptr;
    Describe::Dialog* dialog = nullptr;
};

void TestRowsAndRelations::initTestCase()
{
    EngineFixture::Options options = EngineFixture::local();
    options.extra = QStringList {"sandbox-kernel-5.3.0", "quartz", "libmica.x86_64"};
    QVERIFY2(fixture.start(options, true), qPrintable(fixture.error));
    engine = &fixture.engine();
    QVERIFY(engine->advisoriesCollected());
    model = new Model(engine, fixture.window());
    view = new View(model, ViewAll, false, engine, fixture.window());
    proxy = view->proxyModel();
    new QAbstractItemModelTester(
        proxy, QAbstractItemModelTester::FailureReportingMode::QtTest, this);
    model->reset();
    dialog = new Describe::Dialog(fixture.window());
}

QStringList TestRowsAndRelations::shown() const
{
    QStringList names;
    for (int row = 0; row < proxy->rowCount(); ++row)
        names << proxy->index(row, NameColumn).data().toString();
    names.sort();
    names.removeDuplicates();
    return names;
}

QStringList TestRowsAndRelations::dnfNames(QStringList const& arguments) const
{
    QStringList names = fixture.dnf(arguments).split('\n', Qt::SkipEmptyParts);
    names.sort();
    names.removeDuplicates();
    return names;
}

int TestRowsAndRelations::rowOf(QString const& name) const
{
    Package::Entry const* entry = engine->findEntry(false, name);
    return int(std::find(engine->begin(), engine->end(), entry) - engine->begin());
}

QStringList TestRowsAndRelations::rows(StateFilter filter, QString const& name) const
{
    view->stateFilterChanged(filter);
    QStringList result;
    for (int row = 0; row < proxy->rowCount(); ++row) {
        if (proxy->index(row, NameColumn).data().toString() != name)
            continue;
        QStringList cells {engine->getState(*model->entry(view->sourceRow(row)))};
        for (int column : {VersionColumn, ArchitectureColumn, RepositoryColumn})
            cells << proxy->index(row, column).data().toString();
        result << cells.join(QLatin1Char(' '));
    }
    result.sort();
    view->stateFilterChanged(ViewAll);
    return result;
}

Describe::Instance::Area* TestRowsAndRelations::describe(QString const& name)
{
    Package::Entry const* entry = engine->findEntry(false, name);
    if (!entry)
        return nullptr;
    dialog->config(engine, *entry, nullptr);
    return dialog->instanceAreas().value(0);
}

void TestRowsAndRelations::advisoriesAsUpdateinfoLists()
{
    // dnf's lines: ID, "bugfix" / "enhancement" / "SEVERITY/Sec.", NEVRA.
    QHash<QString, QString> listed;
    for (QString const& line :
        fixture.dnf({"updateinfo", "list"}).split('\n', Qt::SkipEmptyParts)) {
        QStringList const fields = line.split(' ', Qt::SkipEmptyParts);
        QVERIFY2(fields.size() == 3, qPrintable(line));
        listed.insert(fields[2].section('-', 0, -3), fields[1]);
    }
    QVERIFY(listed.size() >= 3);
    QStringList security;
    for (Package::Entry const* e : *engine) {
        if (e->kind == Package::Group)
            continue;
        QString const text = Model::advisoryText(*e);
        // An update's advisories; an older installed version's row has none.
        QString const label = e->state == Package::Updatable ? listed.value(e->name) : QString();
        if (label.isEmpty()) {
            QVERIFY2(text.isEmpty(), qPrintable(e->name));
        } else if (label.endsWith("/Sec.")) {
            security << e->name;
            QCOMPARE(e->advisoryKind, quint8(Package::SecurityAdvisory));
            QVERIFY2(text.contains(label.section('/', 0, 0)), qPrintable(text));
        } else {
            QCOMPARE(e->advisoryKind,
                quint8(label == "bugfix" ? Package::BugfixAdvisory : Package::EnhancementAdvisory));
        }
    }
    security.sort();
    QVERIFY(!security.isEmpty());

    // The view, and the marks of Set Security Updates, are the same set.
    view->stateFilterChanged(ViewSecurity);
    QCOMPARE(shown(), security);
    model->setSecurityUpdates();
    QStringList marked;
    for (Package::Entry const* e : *engine)
        if (e->action != Package::None)
            marked << e->name;
    marked.sort();
    QCOMPARE(marked, security);
    model->clearActions();
    // A held one is left out.
    int const held = rowOf(security.first());
    QVERIFY(model->setHold(model->index(held, 0), true));
    model->setSecurityUpdates();
    QCOMPARE((*engine)[held]->action, Package::None);
    QVERIFY(model->setHold(model->index(held, 0), false));
    model->clearActions();

    // Sorted by Advisory, the security updates come last, entries without
    // an advisory first.
    view->stateFilterChanged(ViewUpdatable);
    view->setSort(AdvisoryColumn, Qt::AscendingOrder);
    QVERIFY(security.contains(proxy->index(proxy->rowCount() - 1, NameColumn).data().toString()));
    QVERIFY(proxy->index(0, AdvisoryColumn).data().toString().isEmpty());
    view->stateFilterChanged(ViewAll);
}

void TestRowsAndRelations::descriptionListsAdvisories()
{
    RecordingBrowser browser;
    QList<Package::Advisory> const advisories
        = engine->advisories(*engine->findEntry(false, "libbasalt"));
    QVERIFY(!advisories.isEmpty());
    Package::Advisory const& advisory = advisories.first();
    QCOMPARE(advisory.kind, Package::SecurityAdvisory);
    auto* area = describe(QStringLiteral("libbasalt"));
    QVERIFY(area);
    auto* label = area->widget()->findChild<QLabel*>(QStringLiteral("advisory0"));
    QVERIFY(label);
    QVERIFY(label->text().contains(advisory.id) && label->text().contains(advisory.title));
    int cve = -1;
    for (int i = 0; i < advisory.references.size(); ++i)
        if (advisory.references[i].type == QLatin1String("cve"))
            cve = i;
    QVERIFY(cve >= 0);
    QVERIFY(label->text().contains(advisory.references[cve].id));
    // A link opens its reference in the browser; a made-up one opens nothing.
    emit label->linkActivated(QStringLiteral("0:%1").arg(cve));
    emit label->linkActivated(QStringLiteral("7:0"));
    QCOMPARE(browser.browsed(1), QStringList {"1:" + advisory.references[cve].url});

    // An update without an advisory, and an installed package, have none.
    for (char const* name : {"quartz", "granite"})
        QVERIFY(!describe(QLatin1String(name))->widget()->findChild<QLabel*>("advisory0"));
}

void TestRowsAndRelations::requiredByAsRepoquery_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("installed");
    for (char const* name : {"libbasalt", "aurora-data", "ember", "granite"}) {
        QTest::addRow("%s installed", name) << QString(name) << true;
        QTest::addRow("%s available", name) << QString(name) << false;
    }
}

void TestRowsAndRelations::requiredByAsRepoquery()
{
    QFETCH(QString, name);
    QFETCH(bool, installed);
    QStringList arguments {"repoquery", "--qf",
        installed ? "%{name}-%{evr}.%{arch}" : "%{name}-%{evr}.%{arch} %{reponame}",
        "--whatrequires", name};
    if (installed)
        arguments << "--installed";
    QStringList const expected = dnfNames(arguments);

    auto* area = describe(name);
    QVERIFY(area && area->requiredByButton(installed));
    QString text;
    fixture.answerer().answer([&text](QWidget* shown) {
        text = shown->findChild<QTextEdit*>()->toPlainText();
        ModalAnswerer::clickButton(shown, QStringLiteral("closeButton"));
    });
    area->requiredByButton(installed)->click();
    // An empty answer says so in a sentence, not as a package.
    QCOMPARE(text.contains(' ') && expected.isEmpty() ? QStringList() : text.split('\n'), expected);
}

void TestRowsAndRelations::providersAsRepoquery_data()
{
    QTest::addColumn<QString>("capability");
    for (char const* capability : {"basalt(api)", "aurora-engine = 1.0", "/boot/*", "/usr/bin/*",
             "installonlypkg(kernel)", "libbasalt", "no-such-thing"})
        QTest::newRow(capability) << QString(capability);
}

void TestRowsAndRelations::providersAsRepoquery()
{
    QFETCH(QString, capability);
    QStringList expected = dnfNames({"repoquery", "--qf", "%{name}", "--whatprovides", capability})
        + dnfNames({"repoquery", "--installed", "--qf", "%{name}", "--whatprovides", capability});
    expected.sort();
    expected.removeDuplicates();
    bool ok = false;
    QSet<QString> const names = engine->whatProvides(capability, &ok);
    QVERIFY(ok);
    view->setMode(Provides);
    proxy->setProviders(true, names);
    QCOMPARE(shown(), expected);
    proxy->setProviders(false, {});
    QCOMPARE(proxy->rowCount() > int(expected.size()), true);
    view->setMode(Filter);
}

void TestRowsAndRelations::statusLineAgreesWithTheViews()
{
    StatusLine line(model);
    auto rows = [this](StateFilter filter) {
        view->stateFilterChanged(filter);
        return proxy->rowCount();
    };
    StatusLine::Counts counts = line.counts();
    QCOMPARE(counts.updatable, rows(ViewUpdatable));
    QCOMPARE(counts.installed, rows(ViewRemovable));
    QCOMPARE(counts.available, rows(ViewInstallable));
    QCOMPARE(counts.security, rows(ViewSecurity));
    QCOMPARE(counts.marked, 0);
    QVERIFY(counts.updatable > 0 && counts.installed > counts.updatable && counts.available > 0);

    // Marks: every update and one removal; only the updates download.
    model->setUpdateAll();
    quint64 download = 0;
    for (Package::Entry const* e : *engine)
        if (e->action == Package::Update)
            download += e->sizeBytes;
    Package::Entry* granite = engine->findEntry(false, "granite");
    granite->action = Package::Remove;
    emit model->dataChanged(model->index(0, 0), model->index(0, 0));
    counts = line.counts();
    QCOMPARE(counts.marked, rows(ViewUpdatable) + 1);
    QCOMPARE(counts.download, download);
    // The text follows once the changes are over.
    QTRY_VERIFY(line.text().contains(YumIO::bytesFormat(download)));
    model->clearActions();
    view->stateFilterChanged(ViewAll);
}

// The rows of packages that dnf lists in more than one line or under another
// name, the same after the collection is made again.
void TestRowsAndRelations::rowsOfOddPackages()
{
    QStringList const kernels {"Installed 5.1.0-1 x86_64 installed",
        "Installed 5.2.0-1 x86_64 installed", "Installed 5.3.0-1 x86_64 installed"};
    QString const mica = "Available for installation 1.0-1 i686 base";
    struct Case
    {
        char const* name;
        StateFilter filter;
        QStringList expected;
    };
    QList<Case> const cases {
        // The newest one is the package's own row; the older ones can be removed.
        {"sandbox-kernel", ViewAll, kernels}, {"sandbox-kernel", ViewRemovable, kernels},
        {"sandbox-kernel", ViewUpdatable, {}},
        {"libmica", ViewAll, {mica, "Installed 1.0-1 x86_64 installed"}},
        {"libmica", ViewInstallable, {mica}},
        // quartzite obsoletes quartz: the installed quartz is out of date, its
        // update is quartzite, which can also be installed by its own name.
        {"quartz", ViewUpdatable, {"Available for update 2.0-1 noarch updates"}},
        {"quartz", ViewRemovable, {"Available for update 1.0-1 noarch installed"}},
        {"quartzite", ViewInstallable, {"Available for installation 2.0-1 noarch updates"}},
        // View Removable shows what a removal takes away.
        {"libbasalt", ViewAll, {"Available for update 2:1.2-1 x86_64 updates"}},
        {"libbasalt", ViewRemovable, {"Available for update 2:1.0-1 x86_64 installed"}}};
    for (bool again : {false, true}) {
        if (again) {
            engine->clear();
            QVERIFY(engine->collect(EngineFixture::allRepos()));
            model->reset();
        }
        for (Case const& c : cases) {
            QStringList const shownRows = rows(c.filter, c.name);
            QVERIFY2(shownRows == c.expected, qPrintable(c.name + (": " + shownRows.join('|'))));
        }
    }
    // The renamed package names its replacement; "Set Update of All
    // Out-of-Date" takes it.
    QCOMPARE(model->index(rowOf("quartz"), VersionColumn).data(Qt::ToolTipRole).toString(),
        QStringLiteral("Replaced by: quartzite 2.0-1\nInstalled: 1.0-1\n"));
    model->setUpdateAll();
    QCOMPARE(engine->findEntry(false, "quartz")->action, Package::Update);
    model->clearActions();

    // View Removable sorts by the installed versions.
    view->stateFilterChanged(ViewRemovable);
    view->sortBy(VersionColumn);
    QStringList versions;
    for (int row = 0; row < proxy->rowCount(); ++row)
        versions << proxy->index(row, VersionColumn).data().toString();
    QStringList sorted = versions;
    sorted.sort();
    QCOMPARE(versions, sorted);
    view->stateFilterChanged(ViewAll);
}

QTEST_MAIN(TestRowsAndRelations)
#include "TestRowsAndRelations.moc"
