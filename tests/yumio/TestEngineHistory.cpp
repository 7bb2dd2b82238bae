// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/EngineFixture.h"
#include "yumio/YumIO.h"

#include <QDateTime>
#include <QtTest>

// The package manager's history as the engine reads it, and the operations
// that change packages beside an apply of marks (undo, roll back,
// reinstall, downgrade), each compared with dnf doing the same in a second
// copy of the root.

namespace {

// "dnf history list" as rows of (id, date and time, actions, altered).
QList<QStringList> dnfHistory(QString const& root)
{
    QList<QStringList> rows;
    QString const listed
        = EngineFixture::dnf(root, {QStringLiteral("history"), QStringLiteral("list")});
    for (QString const& line : listed.split(QLatin1Char('\n'))) {
        QStringList fields = line.split(QLatin1Char('|'));
        bool number = false;
        if (fields.size() < 5 || (fields[0].trimmed().toInt(&number), !number))
            continue;
        rows.append(
            {fields[0].trimmed(), fields[2].trimmed(), fields[3].trimmed(), fields[4].trimmed()});
    }
    return rows;
}

// The engine's history in the same shape.
QList<QStringList> engineHistory(YumIO& engine)
{
    QList<QStringList> rows;
    bool ok = false;
    for (History::Transaction const& transaction : engine.historyTransactions(&ok))
        rows.append({QString::number(transaction.id),
            QDateTime::fromSecsSinceEpoch(transaction.begin)
                .toString(QStringLiteral("yyyy-MM-dd hh:mm")),
            transaction.actions, QString::number(transaction.altered)});
    if (!ok)
        rows.append({QStringLiteral("the history could not be read")});
    return rows;
}

// The fixture's root after the dnf command, and the engine started and
// collected on it (dnf first: the engine holds the package manager's lock
// from its first collection on); the confirmation of an apply accepted.
QString startAfter(EngineFixture& fixture, QStringList const& dnfArguments)
{
    QString error;
    if (!fixture.prepare(EngineFixture::local(), &error))
        return error;
    fixture.dnf(QStringList {QStringLiteral("-y")} + dnfArguments);
    if (!fixture.engine().initialize() || !fixture.engine().collect(EngineFixture::allRepos()))
        return QStringLiteral("the engine did not start and collect");
    fixture.answerer().alwaysClick(QStringLiteral("okButton"));
    return QString();
}

bool collectAgain(YumIO& engine)
{
    engine.clear();
    return engine.collect(EngineFixture::allRepos());
}

} // namespace

class TestEngineHistory : public QObject
{
    Q_OBJECT

private slots:
    void historyUndoAndRollBack();
    void reinstallAndDowngrade();
};

// Transactions made through the engine and through dnf are one history,
// read as dnf lists it; undoing one and rolling back to an earlier one leave
// the packages exactly as dnf's own undo and roll back do.
void TestEngineHistory::historyUndoAndRollBack()
{
    EngineFixture fixture;
    QString const failure
        = startAfter(fixture, {QStringLiteral("install"), QStringLiteral("ember")});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    YumIO& engine = fixture.engine();
    QString const copy = fixture.root() + QStringLiteral("-dnf");

    Package::Entry* aurora = engine.findEntry(false, QStringLiteral("aurora"));
    QVERIFY(aurora);
    aurora->action = Package::Update;
    QVERIFY(engine.apply());
    QVERIFY(collectAgain(engine));

    QList<QStringList> const listed = dnfHistory(fixture.root());
    QCOMPARE(listed.size(), 3);
    QCOMPARE(engineHistory(engine), listed);
    QList<History::Transaction> const transactions = engine.historyTransactions();
    History::Transaction const update = transactions[0]; // made here
    QVERIFY(update.byVux());
    QVERIFY(!transactions[1].byVux()); // the install, made by dnf
    QString const dnfLine = fixture.dnf(
        {QStringLiteral("history"), QStringLiteral("info"), QString::number(update.id)});
    QVERIFY2(dnfLine.contains(update.commandLine), qPrintable(dnfLine));
    bool ok = false;
    QList<History::Item> const items = engine.historyItems(update.id, &ok);
    QVERIFY(ok);
    QStringList actions;
    for (History::Item const& item : items)
        actions << item.action + QLatin1Char(' ') + item.name + QLatin1Char('-') + item.version;
    QCOMPARE(actions, QStringList({"Upgrade aurora-1.1-1", "Upgraded aurora-1.0-1"}));

    // Undo the update here, and with dnf in a copy.
    QVERIFY(EngineFixture::copyRoot(fixture.root(), copy));
    QVERIFY(engine.applyHistory(History::Undo, update.id));
    fixture.dnf(copy,
        {QStringLiteral("-y"), QStringLiteral("history"), QStringLiteral("undo"),
            QString::number(update.id)});
    QStringList const undone = EngineFixture::rpmQa(fixture.root());
    QVERIFY(undone.contains(QStringLiteral("aurora-0:1.0-1")));
    QCOMPARE(undone, EngineFixture::rpmQa(copy));
    QVERIFY(collectAgain(engine));
    QCOMPARE(engine.historyTransactions().first().commandLine,
        QStringLiteral("vux history undo %1").arg(update.id));

    // Roll back to the root's first transaction: the install by dnf goes
    // too.
    int const first = transactions.last().id;
    QVERIFY(engine.applyHistory(History::RollBack, first));
    fixture.dnf(copy,
        {QStringLiteral("-y"), QStringLiteral("history"), QStringLiteral("rollback"),
            QString::number(first)});
    QStringList const rolledBack = EngineFixture::rpmQa(fixture.root());
    QVERIFY(!rolledBack.join(' ').contains(QLatin1String("ember")));
    QCOMPARE(rolledBack, EngineFixture::rpmQa(copy));

    // An undo that cannot be done is reported, and changes nothing.
    QVERIFY(collectAgain(engine));
    int const reports = fixture.answerer().answered();
    QVERIFY(!engine.applyHistory(History::Undo, 999));
    QVERIFY(fixture.answerer().answered() > reports);
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), rolledBack);
}

// A reinstall and a downgrade marked in the table do what dnf's reinstall
// and downgrade do.
void TestEngineHistory::reinstallAndDowngrade()
{
    EngineFixture fixture;
    QString const failure
        = startAfter(fixture, {QStringLiteral("upgrade"), QStringLiteral("aurora")});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    YumIO& engine = fixture.engine();
    QString const copy = fixture.root() + QStringLiteral("-dnf");
    QVERIFY(EngineFixture::copyRoot(fixture.root(), copy));

    Package::Entry* granite = engine.findEntry(false, QStringLiteral("granite"));
    Package::Entry* aurora = engine.findEntry(false, QStringLiteral("aurora"));
    QVERIFY(granite && aurora);
    QVERIFY(engine.packageVersions(*granite).reinstallable);
    Package::Versions const versions = engine.packageVersions(*aurora);
    QCOMPARE(versions.older.size(), 1);
    QCOMPARE(versions.older.first().version, QStringLiteral("1.0-1"));
    QCOMPARE(versions.older.first().repos, QStringLiteral("base"));
    granite->action = Package::Reinstall;
    aurora->action = Package::Downgrade;
    aurora->downgradeTo = versions.older.first().nevra;
    QVERIFY(engine.apply());
    QString const confirm = fixture.answerer().texts().first();
    QVERIFY2(confirm.contains(QLatin1String("aurora 1.1-1 -> 1.0-1")), qPrintable(confirm));

    fixture.dnf(
        copy, {QStringLiteral("-y"), QStringLiteral("reinstall"), QStringLiteral("granite")});
    fixture.dnf(
        copy, {QStringLiteral("-y"), QStringLiteral("downgrade"), QStringLiteral("aurora")});
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), EngineFixture::rpmQa(copy));
    // dnf recorded both as what they are.
    QVERIFY(collectAgain(engine));
    QStringList actions;
    for (History::Item const& item : engine.historyItems(engine.historyTransactions().first().id))
        actions << item.action + QLatin1Char(' ') + item.name;
    QCOMPARE(actions,
        QStringList(
            {"Downgrade aurora", "Downgraded aurora", "Reinstall granite", "Reinstalled granite"}));
}

QTEST_MAIN(TestEngineHistory)
#include "TestEngineHistory.moc"
