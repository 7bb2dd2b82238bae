// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "progress/Progress.h"
#include "python/PyRef.h"
#include "support/EngineFixture.h"
#include "widgets/HProgressBar.h"
#include "yumio/YumIO.h"

#include <QRegularExpression>
#include <QtTest>

// Reaches the engine's private steps and state.
class TestAccess
{
public:
    static bool locked(YumIO& engine) { return engine.locked; }
    static void py(YumIO& engine, char const* code)
    {
        Python::PyGILStateWrapper lock(true);
        engine.py(code);
    }
    static long pyLong(YumIO& engine, char const* expression)
    {
        Python::PyGILStateWrapper lock(true);
        PyRef value = PyRef::steal(engine.pyr(expression));
        return value ? PyLong_AsLong(value.get()) : -1;
    }
    // Replays recorded script callbacks through the engine on the GUI thread,
    // with a panel of its own, and returns the item bar's activity after each.
    static QStringList replay(YumIO& engine, HProgressBar* total, HProgressBar* item)
    {
        Python::PyGILStateWrapper lock(true);
        Progress panel(total, item);
        engine.progress = &panel;
        engine.collectAct = 0;
        engine.collectSubject = QStringLiteral("contents");
        panel.startTotal(QStringLiteral("total"), 24000);
        panel.setupItemActs(14000, 5 * static_cast<Steps>(engine.enabledRepos.size()));
        QStringList texts;
        PyRef calls = PyRef::steal(engine.pyr("recordedCalls[:firstCollection]"));
        for (Py_ssize_t i = 0; calls && i < PyList_Size(calls.get()); ++i) {
            PyObject* call = PyList_GetItem(calls.get(), i);
            QString const name = QString::fromUtf8(PyUnicode_AsUTF8(PyTuple_GetItem(call, 0)));
            PyObject* args = PyTuple_GetItem(call, 1);
            PyRef result = PyRef::steal(name == QLatin1String("collectProgress")
                    ? engine.collectProgress(args)
                    : name == QLatin1String("collectGrabMeterStart")
                    ? engine.collectGrabMeterStart(args)
                    : engine.collectGrabMeterUpdate(args));
            if (name != QLatin1String("collectGrabMeterUpdate"))
                texts.append(QStringLiteral("%1 %2").arg(engine.collectAct).arg(item->activity()));
        }
        engine.progress = nullptr;
        return texts;
    }
};

namespace {

struct Listed
{
    QString version;
    QString repo;
};

// "name.arch  [epoch:]version-release  repo" lines of dnf list, by
// "name.arch".
QHash<QString, QList<Listed>> parseDnfList(QString const& text, QString const& section)
{
    QHash<QString, QList<Listed>> result;
    bool inSection = section.isEmpty();
    for (QString const& line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1String("Packages"))) {
            inSection = line.startsWith(section);
            continue;
        }
        QStringList const fields = line.simplified().split(QLatin1Char(' '));
        if (!inSection || fields.size() != 3)
            continue;
        result[fields[0]].append(Listed {fields[1], fields[2]});
    }
    return result;
}

} // namespace

class TestEngineCollect : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void collectionAgreesWithDnf();
    void chainsKindsAndGroups();
    void details();
    void extraDataLoadsOncePerCollection();
    void repositoryProgressTexts();
    void sessionUseAndRecollection();

private:
    EngineFixture fixture;
    QString dnfAll;
    QString dnfUpdates;
};

void TestEngineCollect::initTestCase()
{
    QString error;
    EngineFixture::Options options;
    options.group = true;
    QVERIFY2(fixture.prepare(options, &error), qPrintable(error));
    dnfAll = fixture.dnf({QStringLiteral("list"), QStringLiteral("--all")});
    dnfUpdates = fixture.dnf({QStringLiteral("list"), QStringLiteral("--upgrades")});
    QVERIFY(!dnfAll.isEmpty());

    QVERIFY(fixture.engine().initialize());
    // Record the repository progress the script reports, for replaying.
    TestAccess::py(fixture.engine(),
        "import yumIOC\n"
        "recordedCalls = []\n"
        "def _recording(name):\n"
        "    original = getattr(yumIOC, name)\n"
        "    def record(*args):\n"
        "        recordedCalls.append((name, args))\n"
        "        return original(*args)\n"
        "    setattr(yumIOC, name, record)\n"
        "for _name in ('collectProgress', 'collectGrabMeterStart',\n"
        "              'collectGrabMeterUpdate'):\n"
        "    _recording(_name)\n");
    QVERIFY(fixture.engine().collect(EngineFixture::allRepos()));
    TestAccess::py(fixture.engine(), "firstCollection = len(recordedCalls)\n");
    QCOMPARE(fixture.answerer().texts(), QStringList());
    QVERIFY(TestAccess::locked(fixture.engine()));
}

void TestEngineCollect::collectionAgreesWithDnf()
{
    YumIO& engine = fixture.engine();
    auto const installed = parseDnfList(dnfAll, QStringLiteral("Installed"));
    auto const available = parseDnfList(dnfAll, QStringLiteral("Available"));
    auto const updates = parseDnfList(dnfUpdates, QString());
    QVERIFY(!installed.isEmpty());
    QVERIFY(!updates.isEmpty());

    // One row per name and architecture, and one more for each older
    // installed version.
    QSet<QString> packageNames;
    int olderVersions = 0;
    for (Package::Entry const* entry : engine) {
        if (entry->kind == Package::Group)
            continue;
        QString const key = entry->name + QLatin1Char('.') + entry->arch;
        if (entry->olderVersion) {
            ++olderVersions;
            QCOMPARE(entry->state, Package::Installed);
            QVERIFY2(installed.contains(key), qPrintable(key));
            continue;
        }
        QVERIFY2(!packageNames.contains(key), qPrintable(key));
        packageNames.insert(key);
        if (updates.contains(key)) {
            QCOMPARE(entry->state, Package::Updatable);
            QCOMPARE(entry->verRel, updates[key].first().version);
            QCOMPARE(entry->repo, updates[key].first().repo);
        } else if (installed.contains(key)) {
            QCOMPARE(entry->state, Package::Installed);
        } else {
            QVERIFY2(available.contains(key), qPrintable(key));
            QCOMPARE(entry->state, Package::Available);
            QCOMPARE(entry->verRel, available[key].first().version);
            QCOMPARE(entry->repo, available[key].first().repo);
        }
        QVERIFY(!entry->summary.isEmpty());
        QVERIFY(entry->buildSeconds > 0);
        QVERIFY(entry->sizeBytes > 0);
    }
    QSet<QString> dnfNames;
    int installedVersions = 0;
    for (auto const* list : {&installed, &available})
        for (auto it = list->cbegin(); it != list->cend(); ++it) {
            dnfNames.insert(it.key());
            if (list == &installed)
                installedVersions += it->size() - 1;
        }
    QCOMPARE(packageNames, dnfNames);
    QCOMPARE(olderVersions, installedVersions);
}

void TestEngineCollect::chainsKindsAndGroups()
{
    YumIO& engine = fixture.engine();
    // An install-only package with two versions installed and a third
    // available: the update with the newest installed version behind it,
    // and the older one in a row of its own.
    Package::Entry const* kernel = engine.findEntry(false, QStringLiteral("sandbox-kernel"));
    QVERIFY(kernel);
    QCOMPARE(kernel->state, Package::Updatable);
    QCOMPARE(kernel->verRel, QStringLiteral("5.3.0-1"));
    QVERIFY(kernel->next && !kernel->next->next);
    QCOMPARE(kernel->next->verRel, QStringLiteral("5.2.0-1"));
    QStringList older;
    for (Package::Entry const* entry : engine)
        if (entry->olderVersion)
            older << entry->name + QLatin1Char(' ') + entry->verRel;
    QCOMPARE(older, QStringList {QStringLiteral("sandbox-kernel 5.1.0-1")});
    // A multilib pair: a row for each architecture.
    QCOMPARE(engine.findPackages(QStringLiteral("libmica")).size(), 2);
    QVERIFY(engine.findEntry(false, QStringLiteral("libmica"), QStringLiteral("i686")));

    Package::Entry const* basalt = engine.findEntry(false, QStringLiteral("libbasalt"));
    QVERIFY(basalt && basalt->verRel.startsWith(QLatin1String("2:")));
    Package::Entry const* suite = engine.findEntry(false, QStringLiteral("delta-suite"));
    QVERIFY(suite);
    QCOMPARE(suite->kind, Package::Suite);
    QCOMPARE(engine.getKind(*suite), QStringLiteral("Suite of packages"));

    // The installed group has an out-of-date mandatory package.
    Package::Entry const* core = engine.findEntry(true, QStringLiteral("Core Tools"));
    QVERIFY(core);
    QCOMPARE(core->kind, Package::Group);
    QCOMPARE(core->state, Package::Updatable);
    Package::Entry const* office = engine.findEntry(true, QStringLiteral("Office Extras"));
    QVERIFY(office);
    QCOMPARE(office->state, Package::Available);
    QVERIFY(!engine.findEntry(true, QStringLiteral("Hidden Runtime")));
    QVERIFY(core->verRel.isEmpty() && core->repo.isEmpty() && core->sizeBytes == 0);
}

void TestEngineCollect::details()
{
    YumIO& engine = fixture.engine();
    Package::Entry const* cobalt = engine.findEntry(false, QStringLiteral("cobalt"));
    QVERIFY(cobalt);
    Package::Entry const* installedCobalt
        = cobalt->state == Package::Updatable ? cobalt->next : cobalt;
    // From the rpm header of the installed package.
    QVERIFY2(engine.getRequires(*installedCobalt)
                 .split(QLatin1Char('\n'))
                 .contains(QStringLiteral("libbasalt <= 2:5.0")),
        qPrintable(engine.getRequires(*installedCobalt)));
    QVERIFY(!engine.getInstallTime(*installedCobalt).isEmpty());
    QVERIFY(!engine.getFiles(*installedCobalt).isEmpty());
    QVERIFY(engine.getChangeLog(*installedCobalt).startsWith(QLatin1String("* ")));

    // From repository metadata: "EQ" with epoch 0 reads name = version-release.
    Package::Entry const* aurora = engine.findEntry(false, QStringLiteral("aurora"));
    QVERIFY(aurora && aurora->state == Package::Updatable);
    QString const provides = engine.getProvides(*aurora);
    QVERIFY2(provides.contains(QRegularExpression(QStringLiteral("^aurora-engine = [0-9][^:]*$"),
                 QRegularExpression::MultilineOption)),
        qPrintable(provides));
    QVERIFY(engine.getInstallTime(*aurora).isEmpty());
    QVERIFY(!engine.getDescription(*aurora).isEmpty());
    QCOMPARE(engine.getGroup(*aurora), QStringLiteral("Applications/Productivity"));

    Package::Entry const* office = engine.findEntry(true, QStringLiteral("Office Extras"));
    QVERIFY(office);
    QCOMPARE(engine.getMandatoryPkgs(*office), QStringLiteral("ember"));
    QCOMPARE(engine.getConditionalPkgs(*office), QStringLiteral("fjord"));
    QCOMPARE(engine.getOptionalPkgs(*office), QStringLiteral("delta-suite"));
    QCOMPARE(engine.getRequiredGroups(*office), QString());
    for (QString const& text :
        {engine.getFiles(*office), engine.getChangeLog(*office), engine.getRequires(*office)})
        QCOMPARE(text, QString());
    QVERIFY(!engine.fileListsCollected()); // nothing above needed repository file lists
}

void TestEngineCollect::extraDataLoadsOncePerCollection()
{
    YumIO& engine = fixture.engine();
    QString const fileLists = QStringLiteral("Collecting File Lists");
    QString const otherData = QStringLiteral("Collecting Miscellaneous data");
    int const before = EngineFixture::headings(engine, fileLists);
    QSignalSpy loaded(&engine, &YumIO::collectedExtraData);

    Package::Entry const* aurora = engine.findEntry(false, QStringLiteral("aurora"));
    Package::Entry const* ember = engine.findEntry(false, QStringLiteral("ember"));
    QVERIFY(aurora && ember && ember->state == Package::Available);
    QVERIFY(engine.getFiles(*aurora).contains(QLatin1String("/usr/")));
    QVERIFY(engine.fileListsCollected());
    QVERIFY(!engine.getFiles(*ember).isEmpty());
    // One path a line, sorted, no repeats.
    for (Package::Entry const* entry : {aurora, ember}) {
        QStringList const paths = engine.getFiles(*entry).split(QLatin1Char('\n'));
        QStringList ordered = paths;
        ordered.sort();
        ordered.removeDuplicates();
        QCOMPARE(paths, ordered);
    }
    QCOMPARE(EngineFixture::headings(engine, fileLists), before + 1);

    QString const changes = engine.getChangeLog(*aurora);
    int const records = changes.count(QRegularExpression(QStringLiteral("(^|\\n)\\* ")));
    QVERIFY2(records >= 2, qPrintable(changes));
    QCOMPARE(changes.count(QStringLiteral("\n\n")), records - 1);
    QVERIFY2(changes.startsWith(QLatin1String("* Thu Mar 14 2024 Ada Example <ada@example.org> - "
                                              "1.1-1\n- Update to 1.1: paper theme fixes\n")),
        qPrintable(changes));
    // dnf's own records and the script's (time, author, text) tuples make
    // the same text.
    {
        PyGILState_STATE const state = PyGILState_Ensure();
        QCOMPARE(PyRun_SimpleString("import YumIOPackages\n"
                                    "del YumIOPackages.Package.changelogRecords\n"),
            0);
        PyGILState_Release(state);
    }
    QCOMPARE(engine.getChangeLog(*aurora), changes);
    QVERIFY(engine.otherDataCollected());
    QCOMPARE(EngineFixture::headings(engine, otherData), 1);
    QTRY_COMPARE(loaded.count(), 2);

    // A new collection needs the extra data again.
    engine.clear();
    QVERIFY(engine.collect(EngineFixture::allRepos()));
    QVERIFY(!engine.fileListsCollected() && !engine.otherDataCollected());
    aurora = engine.findEntry(false, QStringLiteral("aurora"));
    QVERIFY(!engine.getFiles(*aurora).isEmpty());
    QCOMPARE(EngineFixture::headings(engine, fileLists), before + 2);
}

void TestEngineCollect::repositoryProgressTexts()
{
    QStringList texts = TestAccess::replay(fixture.engine(), fixture.totalBar(), fixture.itemBar());
    texts.removeDuplicates();
    QStringList expected;
    for (QString const& repo : {QStringLiteral("base"), QStringLiteral("updates")}) {
        // Each repository owns five consecutive acts; which block is the
        // script's loading order.
        QRegularExpression const repomd(QStringLiteral("^([0-9]+) Downloading repository "
                                                       "contents repomd for ")
            + repo + QLatin1Char('$'));
        int const at = texts.indexOf(repomd);
        QVERIFY2(at >= 0, qPrintable(texts.join(QLatin1Char('\n'))));
        int const base = repomd.match(texts[at]).captured(1).toInt() - 2;
        QCOMPARE(base % 5, 0);
        expected
            << QStringLiteral("%1 Downloading repository contents repomd for %2")
                   .arg(base + 2)
                   .arg(repo)
            << QStringLiteral("%1 Downloading repository contents for %2").arg(base + 3).arg(repo)
            << QStringLiteral("%1 Converting repository contents").arg(base + 4)
            << QStringLiteral("%1 Reading repository contents for %2").arg(base + 5).arg(repo);
    }
    texts.sort();
    expected.sort();
    QCOMPARE(texts.join(QLatin1Char('\n')), expected.join(QLatin1Char('\n')));
}

// The lock is taken by the first collection of an engine only; a
// repository the session leaves out is not read.
void TestEngineCollect::sessionUseAndRecollection()
{
    YumIO& engine = fixture.engine();
    TestAccess::py(engine,
        "lockCalls = [0]\n"
        "_originalLock = YumIO.lock\n"
        "def _countingLock(self):\n"
        "    lockCalls[0] += 1\n"
        "    return _originalLock(self)\n"
        "YumIO.lock = _countingLock\n");
    engine.clear();
    QVERIFY(engine.collect({{QStringLiteral("updates"), false}}));
    QCOMPARE(TestAccess::pyLong(engine, "lockCalls[0]"), 0L);
    Package::Entry const* aurora = engine.findEntry(false, QStringLiteral("aurora"));
    QVERIFY(aurora && aurora->state == Package::Installed);
    QCOMPARE(fixture.answerer().answered(), 0);
}

QTEST_MAIN(TestEngineCollect)
#include "TestEngineCollect.moc"
