// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/SearchPattern.h"
#include "config-vux-tests.h"
#include "packagetable/PackageTableDescribeDialog.h"
#include "packagetable/PackageTableDescribeInstanceArea.h"
#include "packagetable/PackageTableMarks.h"
#include "packagetable/PackageTableModel.h"
#include "packagetable/PackageTableSortFilterProxyModel.h"
#include "packagetable/PackageTableStatusLine.h"
#include "packagetable/PackageTableView.h"
#include "python/Python.h"
#include "repo/YumConfIO.h"
#include "support/AccessibleCheck.h"
#include "support/EngineFixture.h"
#include "support/RecordingBrowser.h"
#include "widgets/HTableView.h"
#include "yumio/YumIO.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QJsonArray>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <iterator>

using namespace PackageTable;
using Describe::Instance::Area;

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

// The fixture's repositories, "extras" and the oddities' among them.
QHash<QString, bool> everyRepo()
{
    QHash<QString, bool> repos = EngineFixture::allRepos();
    repos.insert(QStringLiteral("extras"), true);
    repos.insert(QStringLiteral("oddities"), true);
    return repos;
}

} // namespace

// The package table's model, proxy and view over a collected sandbox root
// (updatable, installed and available packages, a suite and groups; the
// renamed quartz and one architecture of libmica installed; aurora-data
// updated already, its older version there to downgrade to; the "extras"
// repository and the oddities built from tests/data/search, one installed
// and a newer build available, until the first new collection), and the
// saved selections (marks files) read and written against it. First the
// Search, which reads the details of packages in C straight from dnf's pool
// and the rpm database where it can, and through the engine's getters
// otherwise: both must show the same rows. Then what the metadata tells
// beyond the packages, each compared with dnf's own command on the same
// root: the advisories "updates" carries (dnf updateinfo list), Required By
// (dnf repoquery --whatrequires), What Provides (--whatprovides) and the
// status line; and the rows of packages that dnf lists in more than one line
// or under another name. Then the package and repository description
// dialogs: the areas of each version, the rows left out, and the buttons
// that load file lists and change logs while the dialog cannot be closed.
class TestPackageTable : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameRows_data();
    void sameRows();
    void everyPackageReadInC();
    void advisoriesAsUpdateinfoLists();
    void descriptionListsAdvisories();
    void requiredByAsRepoquery_data();
    void requiredByAsRepoquery();
    void providersAsRepoquery_data();
    void providersAsRepoquery();
    void statusLineAgreesWithTheViews();
    void rowsOfOddPackages();
    void areasAndRows();
    void extraDataOnDemand();
    void describeRepository();
    void hiddenWhileLoading();
    void detailReadsWhileExtraDataLoads();
    void cellsByState_data();
    void cellsByState();
    void toggleCycles();
    void bulkActions();
    void contextMenusByStateAndColumn_data();
    void contextMenusByStateAndColumn();
    void holds();
    void selectionThroughDescendingSort();
    void filterAcrossNeighbouringFields();
    void onlyWildcardsReadNothing();
    void searchPassesOutsidePaints_data();
    void searchPassesOutsidePaints();
    void matchesAsPosixDoes_data();
    void matchesAsPosixDoes();
    void sortsBySizeBeyond2GiB();
    void columnWidthsMatchTheDelegate();
    void searchesShareGatheredTexts(); // last: it collects again
    void engineGone();
    void marksExportThenImport();
    void marksFiles_data();
    void marksFiles();

private:
    int rowOf(QString const& name, bool isGroup = false) const;
    // The source rows a Search for pattern shows, read in C or not.
    QList<int> searchRows(QString const& pattern, bool direct, bool ignoreCase = false);
    // Names of the rows the proxy shows; sorted, without repeats (an
    // install-only package has a row per installed version).
    QStringList shown(bool sorted = false) const;
    // Names (sorted, without repeats) of the packages a dnf command lists.
    QStringList dnfNames(QStringList const& arguments) const;
    // The rows the view shows for a name: "state version arch repository".
    QStringList rows(StateFilter filter, QString const& name) const;
    // Runs the view's context menu at the cell, choosing the action with
    // this object name, or the first entry of the submenu of that name
    // (none: closes it); the names of the enabled, visible actions, then the
    // submenu's entry count.
    QStringList runMenu(int sourceRow, int column, QString const& choose = QString());
    Package::Action action(char const* name) const { return (*engine)[rowOf(name)]->action; }
    // NAME-VERSION.ARCH of an entry, or of its installed version.
    QString nevra(char const* name, bool installed = false) const;
    // "name:action" of every marked entry, sorted.
    QStringList marks() const;

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
    QList<YumRepoEnabled> repoOptions;
    QHash<QString, bool> sessionUse;
    YumConfIO* conf = nullptr;
    Describe::Dialog* dialog = nullptr;
    int answers = 0;
    YumIO* engine = nullptr;
    Model* model = nullptr;
    View* view = nullptr;
    SortFilterProxyModel* proxy = nullptr;
    QTemporaryDir dir;
};

void TestPackageTable::initTestCase()
{
    EngineFixture::Options options;
    options.group = true;
    options.repos = QStringList {"base", "updates", "extras"};
    options.extra = QStringList {"quartz", "libmica.x86_64"};
    QVERIFY2(fixture.prepare(options), qPrintable(fixture.error));
    fixture.dnf({QStringLiteral("-y"), QStringLiteral("upgrade"), QStringLiteral("aurora-data")});
    // The oddities: 1.0 installed, 1.1 in a repository of the root.
    QString const spec = QStringLiteral(VUX_TEST_DATA_DIR "/search/oddities.spec");
    QString const work = QDir(fixture.root()).filePath(QStringLiteral("../oddities"));
    QJsonObject const installed = Sandbox::run(
        {"spec-repo", spec, work + QStringLiteral("/1.0"), "--define", "ver=1.0"}, &fixture.error);
    QVERIFY2(!installed.isEmpty(), qPrintable(fixture.error));
    QJsonObject const repo = Sandbox::run(
        {"spec-repo", spec, work + QStringLiteral("/1.1"), "--define", "ver=1.1"}, &fixture.error);
    QVERIFY2(!repo.isEmpty(), qPrintable(fixture.error));
    QString oddity;
    for (QJsonValue const& rpm : installed.value(QStringLiteral("rpms")).toArray()) {
        if (QFileInfo(rpm.toString()).fileName().startsWith(QLatin1String("oddity-1.0")))
            oddity = rpm.toString();
    }
    QCOMPARE(
        QProcess::execute(QStringLiteral("rpm"),
            {"--root", fixture.root(), "-i", "--nodeps", "--nosignature", "--nodigest", oddity}),
        0);
    QVERIFY(EngineFixture::put(fixture.root() + QStringLiteral("/etc/yum.repos.d/oddities.repo"),
        QStringLiteral("[oddities]\nname=Oddities\nbaseurl=file://%1/\nenabled=1\ngpgcheck=0\n")
            .arg(repo.value(QStringLiteral("repo")).toString())
            .toUtf8()));

    engine = &fixture.engine();
    QVERIFY(engine->initialize() && engine->collect(everyRepo()) && engine->advisoriesCollected());
    model = new Model(engine, fixture.window());
    view = new View(model, ViewAll, true, engine, fixture.window());
    proxy = view->proxyModel();
    new QAbstractItemModelTester(
        model, QAbstractItemModelTester::FailureReportingMode::QtTest, this);
    new QAbstractItemModelTester(
        proxy, QAbstractItemModelTester::FailureReportingMode::QtTest, this);
    model->reset();
    fixture.window()->resize(1000, 700);
    view->setGeometry(0, 0, 1000, 700);
    fixture.window()->show();
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(fixture.window()));
    conf = new YumConfIO(repoOptions, sessionUse);
    QVERIFY(conf->read(nullptr));
    dialog = new Describe::Dialog(fixture.window());
}

int TestPackageTable::rowOf(QString const& name, bool isGroup) const
{
    Package::Entry const* entry = engine->findEntry(isGroup, name);
    return entry ? int(std::find(engine->begin(), engine->end(), entry) - engine->begin()) : -1;
}

QStringList TestPackageTable::shown(bool sorted) const
{
    QStringList names;
    for (int row = 0; row < proxy->rowCount(); ++row)
        names << proxy->index(row, NameColumn).data().toString();
    if (sorted) {
        names.sort();
        names.removeDuplicates();
    }
    return names;
}

QStringList TestPackageTable::dnfNames(QStringList const& arguments) const
{
    QStringList names = fixture.dnf(arguments).split('\n', Qt::SkipEmptyParts);
    names.sort();
    names.removeDuplicates();
    return names;
}

QStringList TestPackageTable::rows(StateFilter filter, QString const& name) const
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

QStringList TestPackageTable::runMenu(int sourceRow, int column, QString const& choose)
{
    QStringList offered;
    QTimer::singleShot(0, this, [&] {
        QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->isVisible() && action->isEnabled() && !action->isSeparator())
                offered << action->objectName();
            if (!choose.isEmpty() && action->objectName() == choose)
                chosen = action;
        }
        if (auto* sub = choose.isEmpty() ? nullptr : menu->findChild<QMenu*>(choose)) {
            offered << QString::number(sub->actions().size());
            if (!sub->actions().isEmpty())
                sub->actions().first()->trigger();
        }
        if (chosen)
            menu->setActiveAction(chosen), QTest::keyClick(menu, Qt::Key_Return);
        else
            menu->close();
    });
    QModelIndex const cell = proxy->mapFromSource(model->index(sourceRow, column));
    view->scrollTo(cell);
    QMetaObject::invokeMethod(
        view, "handleCustomContextMenuRequested", Q_ARG(QPoint, view->visualRect(cell).center()));
    return offered;
}

// The source rows a Search for pattern shows, one way or the other.
QList<int> TestPackageTable::searchRows(QString const& pattern, bool direct, bool ignoreCase)
{
    engine->setDirectSearch(direct);
    view->proxyModel()->setIgnoreCase(ignoreCase);
    view->setMode(Search);
    view->filtersearch(pattern);
    QList<int> found;
    for (int row = 0; row < view->proxyModel()->rowCount(); ++row)
        found.append(view->sourceRow(row));
    view->filtersearch(QString());
    view->setMode(Filter);
    engine->setDirectSearch(true);
    view->proxyModel()->setIgnoreCase(false);
    std::sort(found.begin(), found.end());
    return found;
}

// Literals common and rare, anchors, alternatives, an invalid pattern, a
// pattern that matches every text, and patterns found only in one field: a
// file path, a change log, a dependency (as the header and as the
// repository write it), a relocation prefix. Lists are matched whole: ^ is
// the start of the first line only. The first is in no name or summary.
struct SearchCase
{
    char const* pattern;
    char const* finds; // packages the pattern must find ("@": a group)
    char const* misses; // and must not find
};
SearchCase const searchCases[] = {{"no-such-text-anywhere", "", ""}, {"lib", "libbasalt", ""},
    {"basalt\\(api\\)", "libbasalt", ""}, {"^/etc/aurora", "aurora", "aurora-data"},
    {"^/usr/bin/aurora", "", "aurora"}, {"\\.txt$", "oddity", ""}, {"fjord|helix", "helix", ""},
    {"(unbalanced", "ember", ""}, {"^$", "ember", ""},
    {"^fjord$", "fjord,@Office Extras", "@Core Tools"}, // a group by its optional package
    {"with space/file name", "oddity", ""}, {"s/café", "oddity", ""},
    {"paper theme fixes", "aurora,helix", "granite,ember"}, // only the newer builds' logs
    {"Tue Mar 12 2024 Zoë", "oddity", ""}, {"café support\n\n\\* Mon", "oddity", ""},
    {"^/bin/sh$", "", ""}, // a pre-install requirement
    {"\\(fjord or helix\\)", "oddity", ""}, // a rich dependency
    {"helix < 1:0\\.5", "oddity", ""}, // an epoch
    {"oddity-extra-api = 3\\.0$", "oddity-extra", ""}, // epoch 0 left out
    {"rpmlib\\(RichDependencies\\)", "", ""}, // a header's own dependency
    {"^/opt/oddity$", "", ""}, // a relocation prefix
    {"Größe", "oddity-extra", ""},
    {"-kqxa", "", "oddity"}}; // only where the size of a run of names is kept

// The same ignoring case: plain ASCII patterns, also over the slash between
// a directory and a name and in a change-log record's heading.
SearchCase const caselessCases[] = {{"NO-SUCH-text-ANYWHERE", "", ""}, {"LIB", "libbasalt", ""},
    {"/ETC/Aurora", "aurora", ""}, {"WITH SPACE/File Name", "oddity", ""},
    {"mixed case/notes", "oddity", ""}, {"ODDITY/MIXED", "oddity", ""},
    {"Paper THEME fixes", "aurora,helix", "granite,ember"}, {"tue mar 12 2024 zo", "oddity", ""},
    {"HELIX < 1:0.5", "oddity", ""}, {"-KQXA", "", "oddity"}};

void TestPackageTable::sameRows_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<QStringList>("finds");
    QTest::addColumn<QStringList>("misses");
    auto const add = [](auto const& cases, bool ignoreCase) {
        for (SearchCase const& c : cases) {
            QTest::newRow(c.pattern) << QString::fromUtf8(c.pattern) << ignoreCase
                                     << QString::fromUtf8(c.finds).split(',', Qt::SkipEmptyParts)
                                     << QString::fromUtf8(c.misses).split(',', Qt::SkipEmptyParts);
        }
    };
    add(searchCases, false);
    add(caselessCases, true);
}

void TestPackageTable::sameRows()
{
    QFETCH(QString, pattern);
    QFETCH(QStringList, finds);
    QFETCH(bool, ignoreCase);
    QFETCH(QStringList, misses);
    QList<int> const direct = searchRows(pattern, true, ignoreCase);
    QCOMPARE(direct, searchRows(pattern, false, ignoreCase));
    for (QString const& name : finds + misses) {
        bool const group = name.startsWith('@');
        Package::Entry const* entry = engine->findEntry(group, name.mid(group ? 1 : 0));
        QVERIFY2(entry, qPrintable(name));
        QVERIFY2(
            direct.contains(rowOf(entry->name, group)) == finds.contains(name), qPrintable(name));
    }
}

// Every package was answered from the package manager's data: the tests
// above compared the C reading, not the getters with themselves. (The row
// of a renamed package, which shows its replacement under the old name, is
// read through the getters.)
void TestPackageTable::everyPackageReadInC()
{
    std::vector<Package::Entry const*> packages;
    for (Package::Entry const* entry : *engine) {
        if (entry->kind != Package::Group && entry->replacement().isEmpty())
            packages.push_back(entry);
    }
    SearchPattern pattern;
    pattern.set(QStringLiteral("no-such-text-anywhere"));
    std::vector<signed char> found;
    QVERIFY(engine->searchDetails(pattern, packages, found));
    QCOMPARE(found.size(), packages.size());
    QCOMPARE(std::count(found.begin(), found.end(), 0), qsizetype(packages.size()));
}

// The texts the first Search gathers serve every later pattern, with the
// getters' rows, until a collection replaces the entries they were
// gathered for.
void TestPackageTable::searchesShareGatheredTexts()
{
    QList<QList<int>> byGetters;
    for (SearchCase const& c : searchCases)
        byGetters << searchRows(QString::fromUtf8(c.pattern), false);
    std::size_t gathered = 0;
    for (std::size_t i = 0; i < std::size(searchCases); ++i) {
        QString const pattern = QString::fromUtf8(searchCases[i].pattern);
        QVERIFY2(searchRows(pattern, true) == byGetters[int(i)], qPrintable(pattern));
        if (i == 0)
            gathered = engine->searchTexts().entries();
        QCOMPARE(engine->searchTexts().entries(), gathered);
    }
    QVERIFY(gathered > 0 && engine->searchTexts().size() > 0);
    QVERIFY(engine->collect(everyRepo()));
    model->reset();
    QCOMPARE(engine->searchTexts().entries(), std::size_t(0));
}

void TestPackageTable::advisoriesAsUpdateinfoLists()
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
    QCOMPARE(shown(true), security);
    model->setSecurityUpdates();
    QString const update = QStringLiteral(":%1").arg(int(Package::Update));
    QCOMPARE(marks().replaceInStrings(update, QString()), security);
    model->clearActions();

    // Sorted by Advisory, the security updates come last, entries without
    // an advisory first.
    view->stateFilterChanged(ViewUpdatable);
    view->setSort(AdvisoryColumn, Qt::AscendingOrder);
    QVERIFY(security.contains(proxy->index(proxy->rowCount() - 1, NameColumn).data().toString()));
    QVERIFY(proxy->index(0, AdvisoryColumn).data().toString().isEmpty());
    view->stateFilterChanged(ViewAll);
}

void TestPackageTable::descriptionListsAdvisories()
{
    RecordingBrowser browser;
    // The security one; its first reference is its CVE (scripts/sandbox.py).
    Package::Advisory const advisory
        = engine->advisories(*engine->findEntry(false, "libbasalt")).value(0);
    QCOMPARE(advisory.references.value(0).type, QStringLiteral("cve"));
    auto* label = describe(QStringLiteral("libbasalt"))[0]->widget()->findChild<QLabel*>(
        QStringLiteral("advisory0"));
    QVERIFY(label);
    QVERIFY(label->text().contains(advisory.id) && label->text().contains(advisory.title));
    QVERIFY(label->text().contains(advisory.references[0].id));
    // A link opens its reference in the browser; a made-up one opens nothing.
    emit label->linkActivated(QStringLiteral("0:0"));
    emit label->linkActivated(QStringLiteral("7:0"));
    QCOMPARE(browser.browsed(1), QStringList {"1:" + advisory.references[0].url});

    // An update without an advisory, and an installed package, have none.
    for (char const* name : {"quartz", "granite"})
        QVERIFY(!describe(QLatin1String(name))[0]->widget()->findChild<QLabel*>("advisory0"));
}

void TestPackageTable::requiredByAsRepoquery_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("installed");
    for (char const* name : {"libbasalt", "aurora-data", "ember", "granite"}) {
        QTest::addRow("%s installed", name) << QString(name) << true;
        QTest::addRow("%s available", name) << QString(name) << false;
    }
}

void TestPackageTable::requiredByAsRepoquery()
{
    QFETCH(QString, name);
    QFETCH(bool, installed);
    QStringList arguments {"repoquery", "--qf",
        installed ? "%{name}-%{evr}.%{arch}" : "%{name}-%{evr}.%{arch} %{reponame}",
        "--whatrequires", name};
    if (installed)
        arguments << "--installed";
    QStringList const expected = dnfNames(arguments);
    QPushButton* button = describe(name)[0]->requiredByButton(installed);
    QVERIFY(button);
    QString const text = clickAndRead(button).value(1);
    // An empty answer says so in a sentence, not as a package.
    QCOMPARE(text.contains(' ') && expected.isEmpty() ? QStringList() : text.split('\n'), expected);
}

void TestPackageTable::providersAsRepoquery_data()
{
    QTest::addColumn<QString>("capability");
    for (char const* capability : {"basalt(api)", "aurora-engine = 1.0", "/boot/*", "/usr/bin/*",
             "libbasalt", "no-such-thing"})
        QTest::newRow(capability) << QString(capability);
}

void TestPackageTable::providersAsRepoquery()
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
    QCOMPARE(shown(true), expected);
    proxy->setProviders(false, {});
    QCOMPARE(proxy->rowCount() > int(expected.size()), true);
    view->setMode(Filter);
}

void TestPackageTable::statusLineAgreesWithTheViews()
{
    StatusLine line(model);
    auto rows = [this](StateFilter filter) {
        view->stateFilterChanged(filter);
        return proxy->rowCount();
    };
    view->groupsFilterChanged(false); // the line counts packages, suites too, not groups
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
    QCOMPARE(counts.marked, rows(ViewUpdatable) + 2); // and the out-of-date group
    QCOMPARE(counts.download, download);
    // The text follows once the changes are over.
    QTRY_VERIFY(line.text().contains(YumIO::bytesFormat(download)));
    model->clearActions();
    view->groupsFilterChanged(true);
    view->stateFilterChanged(ViewAll);
}

// The rows of packages that dnf lists in more than one line or under another
// name, the same after the collection is made again.
void TestPackageTable::rowsOfOddPackages()
{
    QString const mica = "Available for installation 1.0-1 i686 base";
    QString const kernel = "Installed 5.1.0-1 x86_64 installed";
    struct Case
    {
        char const* name;
        StateFilter filter;
        QStringList expected;
    };
    // The install-only package: the update with the newest installed version
    // behind it, the older one in a row of its own.
    QList<Case> const cases {
        {"sandbox-kernel", ViewAll, {"Available for update 5.3.0-1 x86_64 updates", kernel}},
        {"sandbox-kernel", ViewRemovable,
            {"Available for update 5.2.0-1 x86_64 installed", kernel}},
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
    dialog->accept(); // its areas are of entries a new collection drops
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
    // The renamed package names its replacement.
    QCOMPARE(model->index(rowOf("quartz"), VersionColumn).data(Qt::ToolTipRole).toString(),
        QStringLiteral("Replaced by: quartzite 2.0-1\nInstalled: 1.0-1\n"));

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

QList<Area*> TestPackageTable::describe(QString const& name, bool isGroup)
{
    Package::Entry const* entry = engine->findEntry(isGroup, name);
    [&] { QVERIFY2(entry, qPrintable(name)); }();
    dialog->config(engine, *entry, conf);
    if (!dialog->isVisible()) {
        dialog->show();
        // Shown again, it is the dialog the answerer answered last.
        if (answers == 0)
            settle(1);
    }
    return dialog->instanceAreas();
}

void TestPackageTable::settle(int dialogs)
{
    answers += dialogs;
    QTRY_COMPARE(fixture.answerer().answered(), answers);
}

QStringList TestPackageTable::clickAndRead(QPushButton* button)
{
    QStringList read;
    fixture.answerer().answer([&read](QWidget* shown) {
        auto* edit = shown->findChild<QTextEdit*>();
        read << shown->windowTitle()
             << (edit ? edit->toPlainText() : ModalAnswerer::dialogText(shown));
        ModalAnswerer::clickButton(shown, QStringLiteral("closeButton"));
    });
    button->click();
    settle(2);
    return read;
}

void TestPackageTable::areasAndRows()
{
    // A new collection, without extra data, of base and updates alone.
    engine->clear();
    QVERIFY(engine->collect(EngineFixture::allRepos()));
    model->reset();
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

void TestPackageTable::extraDataOnDemand()
{
    QVERIFY(!engine->fileListsCollected() && !engine->otherDataCollected());
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
void TestPackageTable::describeRepository()
{
    QStringList const read = clickAndRead(describe(QStringLiteral("helix"))[0]->repoButton());
    QCOMPARE(read.value(1),
        QStringLiteral("updates\nName:\nSandbox updates\nURLs:\n%1/updates/")
            .arg(fixture.server()->url()));

    dialog->accept();
    QVERIFY(!dialog->isVisible() && dialog->instanceAreas().isEmpty());
    QVERIFY(!dialog->findChild<QLabel*>(QStringLiteral("title")));
}

// Hidden by its owner while a file list loads, the dialog keeps the widgets
// that wait until the wait is over, shows no file list, and is ready again.
void TestPackageTable::hiddenWhileLoading()
{
    engine->clear();
    QVERIFY(engine->collect(EngineFixture::allRepos()) && !engine->fileListsCollected());
    model->reset();
    QList<Area*> const areas = describe(QStringLiteral("aurora"));
    QTimer::singleShot(0, dialog, &QWidget::hide);
    areas[0]->filesButton()->click();
    QVERIFY(engine->fileListsCollected());
    QVERIFY(!dialog->isVisible() && dialog->isReady());
    QTest::qWait(50);
    QCOMPARE(fixture.answerer().answered(), answers);
    QVERIFY(dialog->findChildren<Area*>().isEmpty());
    QCOMPARE(describe(QStringLiteral("aurora"))[0]->filesButton()->text(), QStringLiteral("Show"));
    // Left on screen, the modal dialog would be answered again whenever a
    // later test's message closes.
    dialog->hide();
}

// While the change logs load on a worker (the file lists are loaded by now),
// reads coming from events wait for it rather than for the lock the worker
// holds. (Loads started under an outer lock: searchPassesOutsidePaints.)
void TestPackageTable::detailReadsWhileExtraDataLoads()
{
    QVERIFY(engine->fileListsCollected() && !engine->otherDataCollected());
    Package::Entry const* ember = engine->findEntry(false, QStringLiteral("ember"));
    QStringList during;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&] {
        if (during.isEmpty())
            during << engine->getDescription(*ember) << engine->getChangeLog(*ember)
                   << engine->getFiles(*ember);
    });
    ticker.start(1);
    QVERIFY(engine->collectOtherData());
    ticker.stop();
    QCOMPARE(during.size(), 3);
    QVERIFY(!during.at(0).isEmpty());
    QVERIFY2(during.at(1).startsWith(QLatin1String("* ")), qPrintable(during.at(1)));
    QVERIFY2(during.at(2).contains(QLatin1String("/usr/share/ember")), qPrintable(during.at(2)));
}

void TestPackageTable::cellsByState_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("hasStateIcon");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("updatable") << "aurora" << true << QColor("red");
    QTest::newRow("available") << "ember" << false << QColor("#8b5a2b");
    QTest::newRow("installed") << "granite" << true << QColor();
}

void TestPackageTable::cellsByState()
{
    QFETCH(QString, name);
    QFETCH(bool, hasStateIcon);
    QFETCH(QColor, colour);
    int const row = rowOf(name);
    QModelIndex const state = model->index(row, StateColumn);
    QModelIndex const action = model->index(row, ActionColumn);
    QModelIndex const nameCell = model->index(row, NameColumn);
    QCOMPARE(state.data(Qt::DecorationRole).isValid(), hasStateIcon);
    // Icon-only cells still read as text.
    QVERIFY(!state.data(Qt::ToolTipRole).toString().isEmpty());
    QCOMPARE(state.data(Qt::AccessibleTextRole), state.data(Qt::ToolTipRole));
    QVERIFY(!action.data(Qt::ToolTipRole).isValid());
    QVERIFY(action.data(Qt::DecorationRole).canConvert<QIcon>());
    QCOMPARE(nameCell.data().toString(), name);
    QCOMPARE(nameCell.data(Qt::ForegroundRole).value<QColor>(), colour);
}

// A click on the action cell cycles the marks the row's
// state allows; a click elsewhere only selects.
void TestPackageTable::toggleCycles()
{
    auto cycle = [this](int row) {
        QList<int> actions;
        for (int i = 0; i < 3; ++i) {
            QModelIndex const cell = proxy->mapFromSource(model->index(row, ActionColumn));
            view->scrollTo(cell);
            QSignalSpy changed(view, &View::stateChanged);
            QTest::mouseClick(
                view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
            actions << (changed.count() == 1 && changed.first().first().toInt() == row
                    ? int((*engine)[row]->action)
                    : -1);
        }
        return actions;
    };
    using P = Package::Action;
    QCOMPARE(cycle(rowOf("aurora")), QList<int>({P::Update, P::Remove, P::None}));
    QCOMPARE(cycle(rowOf("ember")), QList<int>({P::Install, P::None, P::Install}));
    QCOMPARE(cycle(rowOf("granite")), QList<int>({P::Remove, P::None, P::Remove}));
    QCOMPARE(cycle(rowOf("Office Extras", true)), QList<int>({P::Install, P::None, P::Install}));
    int const cobalt = rowOf("cobalt");
    QModelIndex const name = proxy->mapFromSource(model->index(cobalt, NameColumn));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(name).center());
    QCOMPARE(action("cobalt"), Package::None);
    // Space on any cell of a row does what a click on its Action cell does,
    // and leaves that row alone selected.
    view->setCurrentIndex(proxy->mapFromSource(model->index(cobalt, VersionColumn)));
    view->selectionModel()->select(proxy->mapFromSource(model->index(rowOf("aurora"), 0)),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(view, Qt::Key_Space);
    QCOMPARE(action("cobalt"), Package::Update);
    QCOMPARE(view->selectedRows().size(), 1);
    QCOMPARE(view->selectedRows().first().row(), cobalt);
    model->clearActions();
}

// Marks set and cleared in bulk announce each changed row once; Set Update
// of All Out-of-Date takes every out-of-date row, the renamed quartz too.
void TestPackageTable::bulkActions()
{
    QSignalSpy changes(model, &QAbstractItemModel::dataChanged);
    model->clearActions();
    QCOMPARE(changes.count(), 0);
    model->setSelected({model->index(rowOf("aurora"), NameColumn),
        model->index(rowOf("granite"), SizeColumn), model->index(rowOf("ember"), ActionColumn)});
    QCOMPARE(changes.count(), 2);
    QCOMPARE(action("aurora"), Package::Update);
    QCOMPARE(action("ember"), Package::Install);
    QCOMPARE(action("granite"), Package::None);
    QCOMPARE(changes.first().at(0).toModelIndex().column(), int(ActionColumn));

    changes.clear();
    model->setUpdateAll();
    int updatable = 0;
    for (Package::Entry const* entry : *engine) {
        updatable += entry->state == Package::Updatable;
        QCOMPARE(entry->action == Package::Update, entry->state == Package::Updatable);
    }
    QCOMPARE(changes.count(), updatable);
    QVERIFY(updatable >= 5);
    changes.clear();
    model->clearActions();
    QCOMPARE(changes.count(), updatable + 1); // and ember
}

void TestPackageTable::contextMenusByStateAndColumn_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("choose");
    QTest::addColumn<QStringList>("offered");
    QTest::addColumn<int>("action");
    auto const row = [](char const* tag, QString const& name, int column, QString const& choose,
                         QString const& offered, Package::Action action) {
        QTest::newRow(tag) << name << column << choose << offered.split(' ') << int(action);
    };
    // The installed version of every installed package but aurora-data is in
    // base: each can be reinstalled; only aurora-data has an older version.
    row("updatable action", "aurora", 0, "updateAction",
        "updateAction removeAction noneAction reinstallAction", Package::Update);
    row("available action", "ember", 0, "installAction", "installAction noneAction",
        Package::Install);
    row("reinstall", "granite", 0, "reinstallAction", "removeAction noneAction reinstallAction",
        Package::Reinstall);
    row("repository", "granite", 5, "", "describeAction browseAction reinstallAction holdAction",
        Package::None);
    row("reinstall by name", "granite", 3, "reinstallAction",
        "describeAction reinstallAction holdAction", Package::Reinstall);
    row("downgrade", "aurora-data", 3, "downgradeMenu",
        "describeAction reinstallAction downgradeAction holdAction 1", Package::Downgrade);
    row("available name", "ember", 3, "", "describeAction", Package::None);
}

void TestPackageTable::contextMenusByStateAndColumn()
{
    QFETCH(QString, name);
    QFETCH(int, column);
    QFETCH(QString, choose);
    QFETCH(QStringList, offered);
    QFETCH(int, action);
    int const row = rowOf(name);
    QSignalSpy changed(view, &View::stateChanged);
    QCOMPARE(runMenu(row, column, choose), offered);
    QCOMPARE(int((*engine)[row]->action), action);
    if (action == Package::Downgrade)
        QCOMPARE((*engine)[row]->downgradeVersion(), QStringLiteral("1.0-1"));
    // Both menus report what they may have changed, as a click does.
    QCOMPARE(changed.count(), 1);
    model->clearActions();
}

// A hold from the row's menu: the row shows it, and its update is neither
// offered nor marked by a click or the bulk commands (a mark to update it
// goes); released, all is as before.
void TestPackageTable::holds()
{
    int const aurora = rowOf("aurora");
    auto stateIcon = [this](int row) {
        return qvariant_cast<QIcon>(model->index(row, StateColumn).data(Qt::DecorationRole))
            .cacheKey();
    };
    model->setAction(model->index(aurora, ActionColumn), Package::Update);
    runMenu(aurora, NameColumn, QStringLiteral("holdAction"));
    QVERIFY(model->isHeld(model->index(aurora, NameColumn)));
    QCOMPARE(action("aurora"), Package::None);
    QVERIFY(stateIcon(aurora) != stateIcon(rowOf("cobalt")));
    QVERIFY(!runMenu(aurora, ActionColumn).contains(QStringLiteral("updateAction")));
    model->toggleAction(model->index(aurora, ActionColumn));
    QCOMPARE(action("aurora"), Package::Remove);
    model->clearActions();
    model->setUpdateAll();
    model->setSelected({model->index(aurora, NameColumn)});
    QCOMPARE(action("aurora"), Package::None);
    QCOMPARE(action("cobalt"), Package::Update);
    model->clearActions();

    runMenu(aurora, NameColumn, QStringLiteral("holdAction"));
    QVERIFY(!model->isHeld(model->index(aurora, NameColumn)));
    QCOMPARE(stateIcon(aurora), stateIcon(rowOf("cobalt")));
    model->setUpdateAll();
    QCOMPARE(action("aurora"), Package::Update);
    model->clearActions();
}

void TestPackageTable::selectionThroughDescendingSort()
{
    view->sortByColumn(NameColumn, Qt::DescendingOrder);
    QStringList const names = shown();
    // The first two rows on screen, whatever their source rows.
    view->clearSelection();
    view->selectionModel()->select(QItemSelection(proxy->index(0, 0), proxy->index(1, 8)),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QModelIndexList const rows = view->selectedRows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).model(), static_cast<QAbstractItemModel const*>(model));
    QCOMPARE(model->index(rows.at(0).row(), NameColumn).data().toString(), names.at(0));
    QCOMPARE(model->index(rows.at(1).row(), NameColumn).data().toString(), names.at(1));
    // The current row is reported in source rows, and only when it changes.
    QSignalSpy current(view, qOverload<int, int>(&View::currentChanged));
    view->setCurrentIndex(proxy->index(2, NameColumn));
    view->setCurrentIndex(proxy->index(2, VersionColumn));
    QCOMPARE(current.count(), 1);
    QCOMPARE(
        model->index(current.first().first().toInt(), NameColumn).data().toString(), names.at(2));
    view->sortByColumn(KindColumn, Qt::AscendingOrder);
    QCOMPARE(proxy->index(0, NameColumn).data().toString(), QStringLiteral("delta-suite"));
}

// Filter matches name and version as one text; the cached
// answers survive switching filtering off and on, but not a new collection.
void TestPackageTable::filterAcrossNeighbouringFields()
{
    view->setMode(Filter);
    view->filtersearch(QStringLiteral("granite 3"));
    QCOMPARE(shown(), QStringList {"granite"});
    // Case-sensitive unless told otherwise, plain text and expressions alike.
    for (QString const pattern : {"GRANITE", "^GRAN.TE "}) {
        view->filtersearch(pattern);
        QCOMPARE(shown(), QStringList());
        proxy->setIgnoreCase(true);
        QCOMPARE(shown(), QStringList {"granite"});
        proxy->setIgnoreCase(false);
    }
    view->setMode(Search);
    view->filtersearch(QStringLiteral("granite 3"));
    QCOMPARE(shown(), QStringList());
    view->setMode(Filter);
    view->filtersearch(QStringLiteral("^gran"));
    QCOMPARE(shown(), QStringList {"granite"});
    view->setFilter(false);
    QCOMPARE(proxy->rowCount(), model->rowCount());
    view->setFilter(true);
    QCOMPARE(shown(), QStringList {"granite"});
    // After a new collection the rows are other entries: nothing cached for
    // the old ones may decide what is shown.
    QVERIFY(engine->collect(EngineFixture::allRepos()));
    model->reset();
    QCOMPARE(shown(), QStringList {"granite"});
    view->filtersearch(QString());
    QCOMPARE(proxy->rowCount(), model->rowCount());
}

// Only wildcards: nothing to match, so Search reads nothing either.
void TestPackageTable::onlyWildcardsReadNothing()
{
    view->setMode(Filter);
    view->filtersearch(QStringLiteral(".*.*.*"));
    engine->clear();
    QVERIFY(engine->collect(EngineFixture::allRepos()));
    model->reset();
    view->setMode(Search);
    QCOMPARE(proxy->filterPattern(), QString());
    QCOMPARE(proxy->rowCount(), model->rowCount());
    QVERIFY(!engine->fileListsCollected() && !engine->otherDataCollected());
    view->filtersearch(QStringLiteral(".*ember.*"));
    QCOMPARE(proxy->filterPattern(), QStringLiteral("ember"));
    view->setMode(Filter);
}

// A Search's pass over the engine (a worker waited for in an event loop)
// runs from the setter that changes what is filtered, or queued after a new
// collection; never from a paint, where that loop could delete objects under
// the painter. A deferred deletion tells whether an event loop ran.
void TestPackageTable::searchPassesOutsidePaints_data()
{
    QTest::addColumn<int>("setter");
    QTest::addColumn<QString>("pattern"); // only in change logs, which are not loaded yet
    QTest::newRow("new collection") << 0 << "paper theme fixes";
    QTest::newRow("groups filter") << 1 << "paper theme fixes";
    QTest::newRow("ignore case") << 2 << "PAPER THEME FIXES";
    QTest::newRow("state filter") << 3 << "paper theme fixes";
}

// The getters load the change logs from inside the refiltering, even with
// the interpreter lock held around the whole search.
void TestPackageTable::searchPassesOutsidePaints()
{
    QFETCH(int, setter);
    QFETCH(QString, pattern);
    view->setMode(Search);
    view->filtersearch(pattern);
    engine->clear();
    QVERIFY(engine->collect(EngineFixture::allRepos()));
    auto const paintRunsNoLoop = [this] {
        QPointer<QObject> sentinel = new QObject;
        sentinel->deleteLater();
        view->viewport()->repaint();
        proxy->rowCount(); // maps the rows, as a paint does
        return !sentinel.isNull();
    };
    model->reset();
    QVERIFY(paintRunsNoLoop() && !engine->otherDataCollected());
    if (setter == 0) {
        QTRY_VERIFY(engine->otherDataCollected()); // the queued pass
    } else {
        Python::PyGILStateWrapper outer(true);
        if (setter == 1)
            view->groupsFilterChanged(false);
        else if (setter == 2)
            proxy->setIgnoreCase(true);
        else
            view->stateFilterChanged(ViewUpdatable);
    }
    QVERIFY(shown().contains("aurora") && !shown().contains("granite"));
    QVERIFY(paintRunsNoLoop());
    view->groupsFilterChanged(true);
    proxy->setIgnoreCase(false);
    view->stateFilterChanged(ViewAll);
    view->filtersearch(QString());
    view->setMode(Filter);
}

void TestPackageTable::matchesAsPosixDoes_data()
{
    QTest::addColumn<QString>("pattern");
    // Patterns whose plain parts are tested before the expression runs: the
    // shortcut must never change an answer.
    for (char const* pattern : {"ab*c", "a(bc)*d", "x|yz", "[ab]cd", "ab{0,2}c", "\\.conf", "ab?cd",
             "^lib-[0-9]+dev", "[]x]yz", "[^a]bc", "(ab|cd)ef", "lib.*devel$", "a+b", "cd", "c.d"})
        QTest::newRow(pattern) << QString::fromLatin1(pattern);
}

void TestPackageTable::matchesAsPosixDoes()
{
    QFETCH(QString, pattern);
    QStringList const texts {"ac", "abbc", "ad", "abcbcd", "yz", "x", "acd", "bcd", "cd", "ac",
        "abc", "a.conf", "aconf", "abcd", "lib-12dev", "xlib-1dev", "]yz", "xyz", "zbc", "abc",
        "cdef", "abef", "libfoo-devel", "libdevel x", "aab", "b", "c d", "c\nd",
        QString::fromUtf8("c\xc3\xa9"
                          "d")};
    SortFilterProxyModel proxy(ViewAll, true, nullptr);
    proxy.setFilterRegExp(pattern);
    regex_t reference;
    QCOMPARE(regcomp(&reference, pattern.toLocal8Bit().constData(), REG_EXTENDED | REG_NOSUB), 0);
    for (QString const& text : texts) {
        QByteArray const bytes = text.toLocal8Bit();
        bool const expected = regexec(&reference, bytes.constData(), 0, nullptr, 0) == 0;
        QVERIFY2(proxy.matches(bytes) == expected, qPrintable(text));
    }
    regfree(&reference);
}

// Sizes past the 32-bit ranges, set on the entries as a huge package would
// have them; equal sizes by name (descending as well).
void TestPackageTable::sortsBySizeBeyond2GiB()
{
    view->filtersearch(QString());
    QList<Package::Entry*> const entries {
        (*engine)[rowOf("ember")], (*engine)[rowOf("fjord")], (*engine)[rowOf("helix")]};
    QList<quint64> const saved {
        entries[0]->sizeBytes, entries[1]->sizeBytes, entries[2]->sizeBytes};
    entries[0]->sizeBytes = 5ull << 30;
    entries[1]->sizeBytes = entries[2]->sizeBytes = (2ull << 30) + 1;
    model->reset();
    view->sortByColumn(SizeColumn, Qt::DescendingOrder);
    QStringList const names = shown();
    for (int i = 0; i < 3; ++i)
        entries[i]->sizeBytes = saved[i];
    QCOMPARE(names.mid(0, 3), QStringList({"ember", "helix", "fjord"}));
    view->sortByColumn(KindColumn, Qt::AscendingOrder);
}

void TestPackageTable::columnWidthsMatchTheDelegate()
{
    // The view ranks texts by cached character advances; the widths must be
    // those of measuring every cell with the delegate.
    HTableView reference(QStyleOptionViewItem::Left, 10, INT_MAX);
    reference.setModel(proxy);
    reference.setFont(view->font());
    reference.setShowGrid(false);
    for (int column = 0; column < ColumnCount; ++column)
        QCOMPARE(view->sizeHintForColumn(column), reference.sizeHintForColumn(column));
}

void TestPackageTable::engineGone()
{
    // The window deletes its engine before the last repaint.
    auto* gone = new YumIO;
    Model orphan(gone);
    delete gone;
    QCOMPARE(orphan.rowCount(), 0);
    QVERIFY(!orphan.data(orphan.index(0, NameColumn)).isValid());
}

QString TestPackageTable::nevra(char const* name, bool installed) const
{
    Package::Entry const* e = engine->findEntry(false, QLatin1String(name));
    if (e && installed && e->next)
        e = e->next;
    return e ? QStringLiteral("%1-%2.%3").arg(e->name, e->verRel, e->arch) : QString();
}

QStringList TestPackageTable::marks() const
{
    QStringList result;
    for (Package::Entry const* e : *engine)
        if (e->action != Package::None)
            result << QStringLiteral("%1%2:%3")
                          .arg(e->kind == Package::Group ? "@" : "", e->name)
                          .arg(int(e->action));
    result.sort();
    return result;
}

// Every kind of mark written to a file and read back; a file that cannot be
// written leaves the one there as it was.
void TestPackageTable::marksExportThenImport()
{
    fixture.answerer().alwaysClick(QStringLiteral("okButton")); // the messages on problems
    model->clearActions();
    std::pair<char const*, Package::Action> const set[] {{"ember", Package::Install},
        {"cobalt", Package::Update}, {"aurora", Package::Remove}, {"granite", Package::Reinstall}};
    for (auto const& [name, mark] : set)
        engine->findEntry(false, QLatin1String(name))->action = mark;
    engine->findEntry(true, QStringLiteral("Office Extras"))->action = Package::Install;
    int const older = rowOf("aurora-data");
    Package::Versions const versions = model->versions(model->index(older, 0));
    QVERIFY(!versions.older.isEmpty());
    model->setDowngrade(model->index(older, 0), versions.older.first());
    QStringList const before = marks();
    QString const path = dir.filePath("marks.txt");
    int const answered = fixture.answerer().answered();
    QVERIFY(Marks::exportFile(fixture.window(), *model, path));
    model->clearActions();
    QVERIFY(Marks::importFile(fixture.window(), *model, path));
    QCOMPARE(marks(), before);
    QCOMPARE((*engine)[older]->downgradeTo(), versions.older.first().nevra);
    QCOMPARE(fixture.answerer().answered(), answered);

    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    if (!QFile(dir.filePath("probe")).open(QIODevice::WriteOnly)) { // not as root
        model->clearActions();
        QVERIFY(!Marks::exportFile(fixture.window(), *model, path));
        QCOMPARE(fixture.answerer().answered(), answered + 1);
        QVERIFY(Marks::importFile(fixture.window(), *model, path));
        QCOMPARE(marks(), before);
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    model->clearActions();
}

void TestPackageTable::marksFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("text"); // written to the file unless null
    QTest::addColumn<QStringList>("marked");
    QTest::addColumn<int>("problems"); // lines that mark nothing; -1: the file marks nothing
    QTest::addColumn<QString>("told"); // what the one message names
    auto const row = [](char const* tag, QString const& text, QStringList const& marked,
                         int problems, QString const& told = {}, QString const& file = "m.txt") {
        QTest::newRow(tag) << file << text << marked << problems << told;
    };
    QString const update = ":" + QString::number(Package::Update);
    QString const install = ":" + QString::number(Package::Install);
    QString const remove = ":" + QString::number(Package::Remove);
    row("names, comments, blanks", "# prepared once\n\n  install ember  \nremove\tgranite\r\n",
        {"ember" + install, "granite" + remove}, 0);
    row("versions offered", "update " + nevra("cobalt") + "\nremove " + nevra("aurora", true),
        {"aurora" + remove, "cobalt" + update}, 0);
    row("version without architecture",
        "update cobalt-" + engine->findEntry(false, "cobalt")->verRel, {"cobalt" + update}, 0);
    row("version not offered", "update " + nevra("cobalt", true) + "\ninstall ember",
        {"ember" + install}, 1);
    row("actions a row does not allow",
        "install granite\nupdate granite\nremove ember\nupdate aurora", {"aurora" + update}, 3);
    row("reinstall and downgrade not offered", "reinstall ember\ndowngrade " + nevra("granite"), {},
        2);
    row("unknown package and group",
        "install no-such-package\ninstall @No Such Group\ninstall @Office Extras",
        {"@Office Extras" + install}, 2);
    row("the last line for a row wins", "update aurora\nremove aurora", {"aurora" + remove}, 0);
    row("missing", QString(), {}, -1, "missing.txt", "missing.txt");
    row("a directory", QString(), {}, -1, dir.path(), ".");
    row("unknown action", "install ember\nfrobnicate aurora\n", {}, -1, "Line 2");
    row("action alone", "# c\nupdate\n", {}, -1, "Line 2");
    row("group without name", "install @\n", {}, -1, "Line 1");
}

// A file marks what its lines name, the lines that mark nothing listed in
// one message; a file that cannot be read or is malformed marks nothing.
void TestPackageTable::marksFiles()
{
    QFETCH(QString, file);
    QFETCH(QString, text);
    QFETCH(QStringList, marked);
    QFETCH(int, problems);
    QFETCH(QString, told);
    model->clearActions();
    QString const path = dir.filePath(file);
    QVERIFY(text.isNull() || EngineFixture::put(path, text.toUtf8()));
    int const answered = fixture.answerer().answered();
    QCOMPARE(Marks::importFile(fixture.window(), *model, path), !marked.isEmpty());
    QCOMPARE(marks(), marked);
    QCOMPARE(fixture.answerer().answered() - answered, problems ? 1 : 0);
    if (problems >= 0)
        QCOMPARE(Marks::read(text.toUtf8(), *model).problems.size(), problems);
    if (!told.isEmpty())
        QVERIFY2(fixture.answerer().texts().last().contains(told),
            qPrintable(fixture.answerer().texts().last()));
    model->clearActions();
}

QTEST_MAIN(TestPackageTable)
#include "TestPackageTable.moc"
