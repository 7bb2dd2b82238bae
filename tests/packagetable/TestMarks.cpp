// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableMarks.h"
#include "packagetable/PackageTableModel.h"
#include "support/EngineFixture.h"
#include "yumio/YumIO.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace PackageTable;

// Saved selections on a collected sandbox root (with a group installed):
// the marks written to a file and read back, the lines a file may hold, and
// files that mark nothing.
class TestMarks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void exportThenImportReproducesTheMarks();
    void lines_data();
    void lines();
    void filesThatMarkNothing_data();
    void filesThatMarkNothing();

private:
    // NAME-VERSION.ARCH of an entry, or of its first installed version.
    QString nevra(char const* name, bool installed = false) const;
    // "name:action" of every marked entry, sorted.
    QStringList marks() const;
    void mark(char const* name, Package::Action action, bool group = false);

    EngineFixture fixture;
    YumIO* engine = nullptr;
    Model* model = nullptr;
    QTemporaryDir dir;
};

void TestMarks::initTestCase()
{
    QString error;
    EngineFixture::Options options = EngineFixture::local();
    options.group = true;
    // cobalt is updated already: its older version is there to downgrade to.
    QVERIFY2(fixture.prepare(options, &error), qPrintable(error));
    fixture.dnf({QStringLiteral("-y"), QStringLiteral("upgrade"), QStringLiteral("cobalt")});
    engine = &fixture.engine();
    QVERIFY(engine->initialize() && engine->collect(EngineFixture::allRepos()));
    fixture.answerer().alwaysClick(QStringLiteral("okButton"));
    model = new Model(engine, this);
    model->reset();
}

QString TestMarks::nevra(char const* name, bool installed) const
{
    Package::Entry const* e = engine->findEntry(false, QLatin1String(name));
    if (e && installed && e->next)
        e = e->next;
    return e ? QStringLiteral("%1-%2.%3").arg(e->name, e->verRel, e->arch) : QString();
}

QStringList TestMarks::marks() const
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

void TestMarks::mark(char const* name, Package::Action action, bool group)
{
    Package::Entry* e = engine->findEntry(group, QLatin1String(name));
    QVERIFY2(e, name);
    e->action = action;
}

void TestMarks::exportThenImportReproducesTheMarks()
{
    model->clearActions();
    mark("ember", Package::Install);
    mark("libbasalt", Package::Update);
    mark("aurora", Package::Remove);
    mark("granite", Package::Reinstall);
    mark("Office Extras", Package::Install, true);
    // cobalt to its older version, as the Downgrade menu marks it.
    Package::Entry const* cobalt = engine->findEntry(false, QStringLiteral("cobalt"));
    int row = 0;
    while ((*engine)[row] != cobalt)
        ++row;
    Package::Versions const versions = model->versions(model->index(row, 0));
    QVERIFY(!versions.older.isEmpty());
    model->setDowngrade(model->index(row, 0), versions.older.first());
    QStringList const before = marks();
    QString const path = dir.filePath("marks.txt");
    QVERIFY(Marks::exportFile(fixture.window(), *model, path));
    model->clearActions();
    QVERIFY(marks().isEmpty());
    QVERIFY(Marks::importFile(fixture.window(), *model, path));
    QCOMPARE(marks(), before);
    QCOMPARE(cobalt->downgradeTo, versions.older.first().nevra);
    QCOMPARE(fixture.answerer().answered(), 0);

    // A file that cannot be written leaves the one there as it was.
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    bool const refused = !QFile(dir.filePath("probe")).open(QIODevice::WriteOnly);
    if (refused) {
        model->clearActions();
        QVERIFY(!Marks::exportFile(fixture.window(), *model, path));
        QCOMPARE(fixture.answerer().answered(), 1);
        QVERIFY(Marks::importFile(fixture.window(), *model, path));
        QCOMPARE(marks(), before);
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    model->clearActions();
}

void TestMarks::lines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("marked");
    QTest::addColumn<int>("problems");
    QString const update = QString::number(Package::Update);
    QString const install = QString::number(Package::Install);
    QString const remove = QString::number(Package::Remove);
    QTest::newRow("names, comments, blanks")
        << "# prepared once\n\n  install ember  \nremove\tgranite\r\n"
        << QStringList {"ember:" + install, "granite:" + remove} << 0;
    QTest::newRow("versions offered")
        << "update " + nevra("libbasalt") + "\nremove " + nevra("aurora", true) + "\n"
        << QStringList {"aurora:" + remove, "libbasalt:" + update} << 0;
    QTest::newRow("version without architecture")
        << "update libbasalt-" + engine->findEntry(false, "libbasalt")->verRel
        << QStringList {"libbasalt:" + update} << 0;
    QTest::newRow("version not offered") << "update " + nevra("libbasalt", true) + "\ninstall ember"
                                         << QStringList {"ember:" + install} << 1;
    QTest::newRow("actions a row does not allow")
        << "install granite\nupdate granite\nremove ember\nupdate aurora"
        << QStringList {"aurora:" + update} << 3;
    QTest::newRow("reinstall and downgrade not offered")
        << "reinstall ember\ndowngrade " + nevra("granite") << QStringList() << 2;
    QTest::newRow("unknown package and group")
        << "install no-such-package\ninstall @No Such Group\ninstall @Office Extras"
        << QStringList {"@Office Extras:" + install} << 2;
    QTest::newRow("the last line for a row wins")
        << "update aurora\nremove aurora" << QStringList {"aurora:" + remove} << 0;
}

void TestMarks::lines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, marked);
    QFETCH(int, problems);
    model->clearActions();
    QString const path = dir.filePath("lines.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size());
    file.close();
    int const answered = fixture.answerer().answered();
    QCOMPARE(Marks::importFile(fixture.window(), *model, path), !marked.isEmpty());
    QCOMPARE(marks(), marked);
    // The lines that mark nothing, in one message.
    QCOMPARE(fixture.answerer().answered() - answered, problems ? 1 : 0);
    QCOMPARE(Marks::read(text.toUtf8(), *model).problems.size(), problems);
    model->clearActions();
}

void TestMarks::filesThatMarkNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("told"); // what the message names
    QTest::newRow("missing") << "missing.txt" << QByteArray() << "missing.txt";
    QTest::newRow("a directory") << "." << QByteArray() << dir.path();
    QTest::newRow("unknown action")
        << "bad1.txt" << QByteArray("install ember\nfrobnicate aurora\n") << "Line 2";
    QTest::newRow("action alone") << "bad2.txt" << QByteArray("# c\nupdate\n") << "Line 2";
    QTest::newRow("group without name") << "bad3.txt" << QByteArray("install @\n") << "Line 1";
}

void TestMarks::filesThatMarkNothing()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, text);
    QFETCH(QString, told);
    QString const path = dir.filePath(file);
    if (!text.isEmpty()) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(text) == text.size());
    }
    model->clearActions();
    int const answered = fixture.answerer().answered();
    QVERIFY(!Marks::importFile(fixture.window(), *model, path));
    QCOMPARE(marks(), QStringList());
    QCOMPARE(fixture.answerer().answered(), answered + 1);
    QVERIFY2(fixture.answerer().texts().last().contains(told),
        qPrintable(fixture.answerer().texts().last()));
}

QTEST_MAIN(TestMarks)
#include "TestMarks.moc"
