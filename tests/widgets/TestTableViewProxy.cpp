// SPDX-License-Identifier: GPL-2.0-or-later
#include "widgets/HAbstractTableModel.h"
#include "widgets/HSortFilterProxyModel.h"
#include "widgets/HTableView.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QMainWindow>
#include <QtTest>

namespace {

// Two columns: a value of any type and a name that breaks ties.
class PairModel : public HAbstractTableModel
{
public:
    QList<QPair<QVariant, QString>> rows;

    int rowCount(QModelIndex const& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(rows.size());
    }
    int columnCount(QModelIndex const& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : 2;
    }
    QVariant data(QModelIndex const& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return QVariant();
        auto const& row = rows.at(index.row());
        return index.column() == 0 ? row.first : QVariant(row.second);
    }
    void add(QVariant const& value, QString const& name)
    {
        beginInsertRows(QModelIndex(), int(rows.size()), int(rows.size()));
        rows.append({value, name});
        endInsertRows();
    }
};

QStringList namesInOrder(QAbstractItemModel const& proxy)
{
    QStringList names;
    for (int row = 0; row < proxy.rowCount(); ++row)
        names << proxy.index(row, 1).data().toString();
    return names;
}

} // namespace

// The self-sizing table view and the typed, tie-breaking proxy.
class TestTableViewProxy : public QObject
{
    Q_OBJECT

private slots:
    void sortsByTypeWithTieBreak_data();
    void sortsByTypeWithTieBreak();
    void filterChangeResortsByHeader();
    void sizeHintFixesRowsOnce();
    void columnWidthCoversEveryRow();
    void selectedRowsPerRange();
};

void TestTableViewProxy::sortsByTypeWithTieBreak_data()
{
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QString>("expected");
    // Numbers by value, not by text; equal values by the secondary column.
    QTest::newRow("int") << QVariantList {10, 9, 10, -1} << "d b a c";
    QTest::newRow("ulonglong beyond 2 GiB") << QVariantList {
        QVariant::fromValue<quint64>(3ull << 30), QVariant::fromValue<quint64>(1ull << 31),
        QVariant::fromValue<quint64>(5)} << "c b a";
    QTest::newRow("double") << QVariantList {2.5, 10.0, -0.5} << "c a b";
    // Code-unit order: any upper-case initial before any lower-case one.
    QTest::newRow("string") << QVariantList {"apple", "Zebra", "apple", "Apple"} << "d b a c";
    QTest::newRow("date") << QVariantList {QDate(2020, 1, 2), QDate(2019, 5, 1)} << "b a";
}

void TestTableViewProxy::sortsByTypeWithTieBreak()
{
    QFETCH(QVariantList, values);
    QFETCH(QString, expected);
    PairModel model;
    HSortFilterProxyModel proxy(1);
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
    proxy.setSourceModel(&model);
    char name = 'a';
    for (QVariant const& value : values)
        model.add(value, QString(QChar(name++)));
    proxy.sort(0, Qt::AscendingOrder);
    QCOMPARE(namesInOrder(proxy).join(' '), expected);
}

void TestTableViewProxy::filterChangeResortsByHeader()
{
    PairModel model;
    for (int i = 0; i < 6; ++i)
        model.add(i, QStringLiteral("n%1").arg(i));
    QMainWindow window;
    auto* view = new HTableView(QStyleOptionViewItem::Left, 1, INT_MAX, &window);
    window.setCentralWidget(view);
    auto* proxy = new HSortFilterProxyModel(1, &window);
    proxy->setSourceModel(&model);
    view->setModel(proxy);
    QAbstractItemModelTester tester(proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
    view->sortByColumn(0, Qt::DescendingOrder);
    QCOMPARE(namesInOrder(*proxy).first(), "n5");

    // The same column clicked again keeps its order; another starts ascending.
    view->sortByColumn(0);
    QCOMPARE(view->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    proxy->setFilterKeyColumn(1);
    proxy->setFilterRegularExpression(QStringLiteral("n[1-4]"));
    QCOMPARE(resets.count(), 1);
    QCOMPARE(namesInOrder(*proxy).join(' '), "n4 n3 n2 n1");
    proxy->clear();
    QCOMPARE(resets.count(), 2);
    QCOMPARE(namesInOrder(*proxy).first(), "n4");
    view->sortByColumn(1);
    QCOMPARE(view->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(namesInOrder(*proxy).first(), "n1");
}

void TestTableViewProxy::sizeHintFixesRowsOnce()
{
    PairModel model;
    for (int i = 0; i < 3; ++i)
        model.add(i, "x");
    HTableView few(QStyleOptionViewItem::Left, 10, INT_MAX);
    few.setModel(&model);
    HTableView many(QStyleOptionViewItem::Left, 10, INT_MAX);
    PairModel big;
    for (int i = 0; i < 50; ++i)
        big.add(i, "y");
    many.setModel(&big);
    int const row = few.rowHeight(0);
    int const fewHeight = few.sizeHint().height();
    int const manyHeight = many.sizeHint().height();
    QCOMPARE(manyHeight - fewHeight, 40 * row);
    // Rows added later leave the hint alone.
    for (int i = 0; i < 20; ++i)
        model.add(i, "z");
    QCOMPARE(few.sizeHint().height(), fewHeight);

    // An empty view still asks for room for its rows.
    HTableView empty(QStyleOptionViewItem::Left, 10, INT_MAX);
    PairModel none;
    empty.setModel(&none);
    QVERIFY(empty.sizeHint().height() >= 10 * empty.verticalHeader()->defaultSectionSize());
}

void TestTableViewProxy::columnWidthCoversEveryRow()
{
    HTableView bare(QStyleOptionViewItem::Left, 1, INT_MAX);
    QCOMPARE(bare.sizeHintForColumn(0), -1);

    PairModel model;
    for (int i = 0; i < 300; ++i)
        model.add(i, "short");
    QString const longest(120, QLatin1Char('W'));
    model.add(1, longest);
    QMainWindow window;
    auto* view = new HTableView(QStyleOptionViewItem::Left, 1, INT_MAX, &window);
    window.setCentralWidget(view);
    view->setModel(&model);
    window.resize(200, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The longest value is far below the rows in view, and still counts.
    QVERIFY(view->sizeHintForColumn(1) >= view->fontMetrics().horizontalAdvance(longest));
    view->resizeColumnsToContents();
    QVERIFY(view->columnWidth(1) >= view->fontMetrics().horizontalAdvance(longest));
    QVERIFY(window.width() > 200);
    QVERIFY(window.width() <= std::max(200, window.screen()->geometry().width() * 9 / 10));
}

void TestTableViewProxy::selectedRowsPerRange()
{
    PairModel model;
    for (int i = 0; i < 8; ++i)
        model.add(i, "r");
    HTableView view(QStyleOptionViewItem::Left, 1, INT_MAX);
    view.setModel(&model);
    view.selectionModel()->select(
        QItemSelection(model.index(2, 0), model.index(4, 1)), QItemSelectionModel::Select);
    view.selectionModel()->select(
        QItemSelection(model.index(6, 1), model.index(6, 1)), QItemSelectionModel::Select);
    QModelIndexList const rows = view.selectedRows();
    QList<int> numbers;
    for (QModelIndex const& index : rows)
        numbers << index.row() * 10 + index.column();
    QCOMPARE(numbers, (QList<int> {20, 30, 40, 61}));
}

QTEST_MAIN(TestTableViewProxy)
#include "TestTableViewProxy.moc"
