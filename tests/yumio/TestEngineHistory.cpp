// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/EngineFixture.h"
#include "yumio/YumIO.h"

#include <QDateTime>
#include <QtTest>

namespace {

// "dnf history list" as rows of (id, date and time, actions, altered).
QList<QStringList> dnfHistory(QString const& root)
{
    QList<QStringList> rows;
    for (QString const& line : EngineFixture::dnf(root, {"history", "list"}).split('\n')) {
        QStringList fields = line.split(QLatin1Char('|'));
        bool number = false;
        if (fields.size() >= 5 && (fields[0].trimmed().toInt(&number), number))
            rows.append({fields[0].trimmed(), fields[2].trimmed(), fields[3].trimmed(),
                fields[4].trimmed()});
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
            QDateTime::fromSecsSinceEpoch(transaction.begin).toString("yyyy-MM-dd hh:mm"),
            transaction.actions, QString::number(transaction.altered)});
    if (!ok)
        rows.append({QStringLiteral("the history could not be read")});
    return rows;
}

// The fixture's root after the dnf command, and the engine started and
// collected on it (dnf first: the engine holds the package manager's lock
// from its first collection on); every confirmation accepted. The root's
// copy (for dnf to make the same changes) is its path with "-dnf". False
// with the reason in the fixture's error.
bool startAfter(EngineFixture& fixture, QStringList const& dnfArguments)
{
    if (!fixture.prepare(EngineFixture::local()))
        return false;
    fixture.dnf(QStringList {QStringLiteral("-y")} + dnfArguments);
    if (!EngineFixture::copyRoot(fixture.root(), fixture.root() + QStringLiteral("-dnf")))
        fixture.error = QStringLiteral("the root could not be copied");
    else if (!fixture.engine().initialize() || !fixture.engine().collect(EngineFixture::allRepos()))
        fixture.error = QStringLiteral("the engine did not start and collect");
    fixture.answerer().alwaysClick(QStringLiteral("okButton"));
    return fixture.error.isEmpty();
}

QStringList actions(YumIO& engine, int id)
{
    QStringList result;
    for (History::Item const& item : engine.historyItems(id))
        result << item.action + QLatin1Char(' ') + item.name + QLatin1Char('-') + item.version;
    return result;
}

} // namespace

class TestEngineHistory : public QObject
{
    Q_OBJECT

private slots:
    void historyAndItsOperations();
};

// Transactions made through dnf and through the engine are one history,
// read as dnf lists it. A reinstall and a downgrade marked in the table,
// the undo of that transaction and a roll back to the root's first one each
// leave the packages exactly as dnf's own commands leave a copy of the
// root, and dnf records each as what it is.
void TestEngineHistory::historyAndItsOperations()
{
    EngineFixture fixture;
    QVERIFY2(startAfter(fixture, {"install", "ember", "aurora-1.1"}), qPrintable(fixture.error));
    YumIO& engine = fixture.engine();
    QString const copy = fixture.root() + QStringLiteral("-dnf");
    Package::Entry* granite = engine.findEntry(false, QStringLiteral("granite"));
    Package::Entry* aurora = engine.findEntry(false, QStringLiteral("aurora"));
    QVERIFY(granite && aurora && engine.packageVersions(*granite).reinstallable);
    Package::Versions const versions = engine.packageVersions(*aurora);
    QCOMPARE(versions.older.size(), 1);
    QCOMPARE(versions.older.first().version + ' ' + versions.older.first().repos,
        QStringLiteral("1.0-1 base"));
    granite->action = Package::Reinstall;
    aurora->action = Package::Downgrade;
    aurora->setDowngradeTo(versions.older.first().nevra);
    QVERIFY(engine.apply());
    QVERIFY2(fixture.answerer().texts().first().contains(QLatin1String("aurora 1.1-1 -> 1.0-1")),
        qPrintable(fixture.answerer().texts().first()));
    EngineFixture::dnf(copy, {"-y", "reinstall", "granite"});
    EngineFixture::dnf(copy, {"-y", "downgrade", "aurora"});
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), EngineFixture::rpmQa(copy));

    QVERIFY(EngineFixture::collectAgain(engine));
    QList<QStringList> const listed = dnfHistory(fixture.root());
    QCOMPARE(listed.size(), 3);
    QCOMPARE(engineHistory(engine), listed);
    QList<History::Transaction> const transactions = engine.historyTransactions();
    History::Transaction const made = transactions[0]; // made here
    QVERIFY(made.byVux() && !transactions[1].byVux()); // the install, made by dnf
    QVERIFY(fixture.dnf({"history", "info", QString::number(made.id)}).contains(made.commandLine));
    QCOMPARE(actions(engine, made.id),
        QStringList({"Downgrade aurora-1.0-1", "Downgraded aurora-1.1-1", "Reinstall granite-3.0-2",
            "Reinstalled granite-3.0-2"}));

    // Undo it here, and with dnf in the copy.
    QVERIFY(engine.applyHistory(History::Undo, made.id));
    EngineFixture::dnf(copy, {"-y", "history", "undo", "last"});
    QStringList const undone = EngineFixture::rpmQa(fixture.root());
    QVERIFY(undone.contains(QStringLiteral("aurora-0:1.1-1")));
    QCOMPARE(undone, EngineFixture::rpmQa(copy));
    QVERIFY(EngineFixture::collectAgain(engine));
    QCOMPARE(engine.historyTransactions().first().commandLine,
        QStringLiteral("vux history undo %1").arg(made.id));

    // Roll back to the root's first transaction: the install by dnf goes too.
    QString const first = QString::number(transactions.last().id);
    QVERIFY(engine.applyHistory(History::RollBack, first.toInt()));
    EngineFixture::dnf(copy, {"-y", "history", "rollback", first});
    QStringList const rolledBack = EngineFixture::rpmQa(fixture.root());
    QVERIFY(!rolledBack.join(' ').contains(QLatin1String("ember")));
    QCOMPARE(rolledBack, EngineFixture::rpmQa(copy));

    // An undo that cannot be done is reported, and changes nothing.
    QVERIFY(EngineFixture::collectAgain(engine));
    int const reports = fixture.answerer().answered();
    QVERIFY(!engine.applyHistory(History::Undo, 999));
    QVERIFY(fixture.answerer().answered() > reports);
    QCOMPARE(EngineFixture::rpmQa(fixture.root()), rolledBack);
}

QTEST_MAIN(TestEngineHistory)
#include "TestEngineHistory.moc"
