// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/HistoryWindow.h"

#include "base/Colors.h"
#include "base/Share.h"
#include "widgets/EscapeHides.h"
#include "yumio/YumIO.h"

#include <QDateTime>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace History;

namespace {

enum Column { IdColumn, DateColumn, CommandColumn, ActionsColumn, AlteredColumn, ColumnCount };

// Where a transaction row keeps its id.
constexpr int IdRole = Qt::UserRole;

// The package manager's names of actions and reasons, in the user's
// language; names it may add later show as they are.
QString actionName(QString const& action)
{
    static QHash<QString, char const*> const names {
        {QStringLiteral("Install"), QT_TRANSLATE_NOOP("History::Window", "Install")},
        {QStringLiteral("Upgrade"), QT_TRANSLATE_NOOP("History::Window", "Upgrade")},
        {QStringLiteral("Upgraded"), QT_TRANSLATE_NOOP("History::Window", "Upgraded")},
        {QStringLiteral("Downgrade"), QT_TRANSLATE_NOOP("History::Window", "Downgrade")},
        {QStringLiteral("Downgraded"), QT_TRANSLATE_NOOP("History::Window", "Downgraded")},
        {QStringLiteral("Removed"), QT_TRANSLATE_NOOP("History::Window", "Removed")},
        {QStringLiteral("Reinstall"), QT_TRANSLATE_NOOP("History::Window", "Reinstall")},
        {QStringLiteral("Reinstalled"), QT_TRANSLATE_NOOP("History::Window", "Reinstalled")},
        {QStringLiteral("Obsolete"), QT_TRANSLATE_NOOP("History::Window", "Obsolete")},
        {QStringLiteral("Obsoleted"), QT_TRANSLATE_NOOP("History::Window", "Obsoleted")},
        {QStringLiteral("Reason Change"), QT_TRANSLATE_NOOP("History::Window", "Reason Change")},
    };
    char const* name = names.value(action, nullptr);
    return name ? Window::tr(name) : action;
}

QString reasonName(QString const& reason)
{
    static QHash<QString, char const*> const names {
        {QStringLiteral("user"), QT_TRANSLATE_NOOP("History::Window", "user")},
        {QStringLiteral("dependency"), QT_TRANSLATE_NOOP("History::Window", "dependency")},
        {QStringLiteral("weak-dependency"),
            QT_TRANSLATE_NOOP("History::Window", "weak dependency")},
        {QStringLiteral("clean"), QT_TRANSLATE_NOOP("History::Window", "no longer needed")},
        {QStringLiteral("group"), QT_TRANSLATE_NOOP("History::Window", "group")},
        {QStringLiteral("unknown"), QT_TRANSLATE_NOOP("History::Window", "unknown")},
    };
    char const* name = names.value(reason, nullptr);
    return name ? Window::tr(name) : reason;
}

// A package of a transaction as one line, its fields padded to the widths
// of the transaction's longest ones (the rows use a fixed-pitch font).
QStringList packageLines(QList<Item> const& items)
{
    QList<QStringList> fields;
    int widths[3] = {0, 0, 0};
    for (Item const& item : items) {
        QString const package = item.version.isEmpty()
            ? item.name
            : QStringLiteral("%1-%2.%3").arg(item.name, item.version, item.arch);
        // Repositories as the package manager writes them ("@updates"); the
        // installed system is "@System" already.
        QString const repo = item.repo.isEmpty() || item.repo.startsWith(QLatin1Char('@'))
            ? item.repo
            : QLatin1Char('@') + item.repo;
        QStringList row {actionName(item.action), package, repo};
        for (int i = 0; i < 3; ++i)
            widths[i] = qMax(widths[i], int(row[i].size()));
        QString reason = reasonName(item.reason);
        if (!item.done)
            reason = Window::tr("%1, not done").arg(reason);
        row.append(reason);
        fields.append(row);
    }
    QStringList lines;
    for (QStringList const& row : std::as_const(fields))
        lines.append(QStringLiteral("%1  %2  %3  (%4)")
                         .arg(row[0].leftJustified(widths[0]), row[1].leftJustified(widths[1]),
                             row[2].leftJustified(widths[2]), row[3]));
    return lines;
}

} // namespace

Window::Window(YumIO* yumIO, QWidget*)
    : QWidget(nullptr)
    , yumIO(yumIO)
{
    setWindowTitle(tr("VUX History"));
    setObjectName(QStringLiteral("historyWindow"));
    auto* layout = new QVBoxLayout(this);

    tree = new QTreeWidget(this);
    tree->setObjectName(QStringLiteral("historyTree"));
    tree->setAccessibleName(tr("Transactions"));
    tree->setAccessibleDescription(
        tr("The package manager's transactions, newest first; each expands to its packages"));
    tree->setColumnCount(ColumnCount);
    tree->setHeaderLabels(
        {tr("ID"), tr("Date and time"), tr("Command line"), tr("Action(s)"), tr("Altered")});
    tree->headerItem()->setToolTip(ActionsColumn,
        tr("What the transaction did: one action by its name, several by their "
           "initials (I install, U upgrade, D downgrade, E remove, R reinstall, "
           "O obsolete, C reason change)"));
    tree->headerItem()->setToolTip(AlteredColumn, tr("How many packages the transaction changed"));
    tree->setRootIsDecorated(true);
    tree->setUniformRowHeights(true);
    tree->setAlternatingRowColors(true);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(tree, 1);

    status = new QLabel(this);
    status->setObjectName(QStringLiteral("historyStatus"));
    layout->addWidget(status);

    auto* row = new QHBoxLayout;
    undoButton = new QPushButton(tr("&Undo"), this);
    undoButton->setObjectName(QStringLiteral("undoButton"));
    undoButton->setToolTip(tr("Revert the selected transaction: remove what it installed, "
                              "install what it removed, take back its updates"));
    rollBackButton = new QPushButton(tr("&Roll Back to"), this);
    rollBackButton->setObjectName(QStringLiteral("rollBackButton"));
    rollBackButton->setToolTip(tr("Revert every transaction after the selected one, so that "
                                  "the packages are as that transaction left them"));
    refreshButton = new QPushButton(tr("Re&fresh"), this);
    refreshButton->setObjectName(QStringLiteral("refreshButton"));
    refreshButton->setToolTip(tr("Read the history again"));
    auto* close = new QPushButton(tr("&Close"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setToolTip(tr("Close the History Window"));
    row->addWidget(undoButton);
    row->addWidget(rollBackButton);
    row->addStretch();
    row->addWidget(refreshButton);
    row->addWidget(close);
    layout->addLayout(row);

    connect(tree, &QTreeWidget::itemExpanded, this, &Window::expand);
    connect(tree, &QTreeWidget::currentItemChanged, this, &Window::updateButtons);
    connect(undoButton, &QPushButton::clicked, this, &Window::undo);
    connect(rollBackButton, &QPushButton::clicked, this, &Window::rollBack);
    connect(refreshButton, &QPushButton::clicked, this, &Window::reload);
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
    updateButtons();
}

QSize Window::sizeHint() const
{
    QFontMetrics const metrics(font());
    QSize hint(metrics.horizontalAdvance(QLatin1Char('n')) * 110, metrics.lineSpacing() * 28);
    if (QScreen const* shown = screen()) {
        QSize const bound = shown->availableSize() * 9 / 10;
        hint = hint.boundedTo(bound);
    }
    return hint;
}

void Window::setVisible(bool visible)
{
    if (visible && !isVisible())
        reload();
    QWidget::setVisible(visible);
}

void Window::reload()
{
    int const current = currentTransaction();
    bool ok = false;
    QList<Transaction> const transactions
        = yumIO ? yumIO->historyTransactions(&ok) : QList<Transaction>();
    QIcon const vuxIcon(Share::absolute(QStringLiteral("pixmaps/vux.icon.png")));
    QColor const failedColor(Colors::error());
    QList<QTreeWidgetItem*> items;
    items.reserve(transactions.size());
    QTreeWidgetItem* selected = nullptr;
    for (Transaction const& transaction : transactions) {
        auto* item = new QTreeWidgetItem;
        item->setData(IdColumn, Qt::DisplayRole, transaction.id);
        item->setData(IdColumn, IdRole, transaction.id);
        item->setTextAlignment(IdColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(DateColumn,
            QDateTime::fromSecsSinceEpoch(transaction.begin)
                .toString(QStringLiteral("yyyy-MM-dd hh:mm")));
        item->setText(CommandColumn, transaction.commandLine);
        item->setToolTip(CommandColumn, transaction.commandLine);
        if (transaction.byVux()) {
            item->setIcon(CommandColumn, vuxIcon);
            item->setToolTip(CommandColumn, tr("Made with VUX: %1").arg(transaction.commandLine));
        }
        item->setText(ActionsColumn, actionName(transaction.actions));
        item->setData(AlteredColumn, Qt::DisplayRole, transaction.altered);
        item->setTextAlignment(AlteredColumn, Qt::AlignRight | Qt::AlignVCenter);
        if (!transaction.completed) {
            for (int column = 0; column < ColumnCount; ++column) {
                item->setForeground(column, failedColor);
                item->setToolTip(column, tr("The transaction did not complete"));
            }
        }
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        if (transaction.id == current)
            selected = item;
        items.append(item);
    }
    tree->clear();
    tree->addTopLevelItems(items);
    newest = transactions.isEmpty() ? 0 : transactions.first().id;
    if (!selected && !items.isEmpty())
        selected = items.first();
    if (selected)
        tree->setCurrentItem(selected);
    // The widest texts are in the first rows' columns as often as anywhere;
    // measuring a few hundred rows is enough and keeps opening quick.
    for (int column : {IdColumn, DateColumn, ActionsColumn, AlteredColumn})
        tree->resizeColumnToContents(column);
    tree->setColumnWidth(CommandColumn,
        qMax(tree->columnWidth(CommandColumn),
            fontMetrics().horizontalAdvance(QLatin1Char('n')) * 50));
    status->setText(!ok              ? tr("The history could not be read.")
            : transactions.isEmpty() ? tr("No transactions recorded.")
                                     : tr("%n transaction(s)", nullptr, int(transactions.size())));
    updateButtons();
}

void Window::expand(QTreeWidgetItem* item)
{
    if (!item || item->parent() || item->childCount() > 0 || !yumIO)
        return;
    int const id = item->data(IdColumn, IdRole).toInt();
    bool ok = false;
    QList<Item> const items = yumIO->historyItems(id, &ok);
    QFont const fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    QList<QTreeWidgetItem*> children;
    for (QString const& line : packageLines(items)) {
        auto* child = new QTreeWidgetItem({line});
        child->setFont(IdColumn, fixed);
        children.append(child);
    }
    if (!ok)
        children.append(new QTreeWidgetItem({tr("The packages could not be read.")}));
    else if (children.isEmpty())
        children.append(new QTreeWidgetItem({tr("No packages.")}));
    item->addChildren(children);
    for (QTreeWidgetItem* child : std::as_const(children))
        child->setFirstColumnSpanned(true);
}

QTreeWidgetItem* Window::currentTop() const
{
    QTreeWidgetItem* item = tree->currentItem();
    while (item && item->parent())
        item = item->parent();
    return item;
}

int Window::currentTransaction() const
{
    QTreeWidgetItem const* item = currentTop();
    return item ? item->data(IdColumn, IdRole).toInt() : 0;
}

void Window::setCommandsEnabled(bool enabled)
{
    commandsEnabled = enabled;
    refreshButton->setEnabled(enabled);
    updateButtons();
}

void Window::updateButtons()
{
    int const id = currentTransaction();
    undoButton->setEnabled(commandsEnabled && id != 0);
    // Rolling back to the newest transaction changes nothing.
    rollBackButton->setEnabled(commandsEnabled && id != 0 && id != newest);
}

void Window::undo()
{
    if (int const id = currentTransaction(); id != 0 && commandsEnabled)
        emit operationRequested(Undo, id);
}

void Window::rollBack()
{
    if (int const id = currentTransaction(); id != 0 && id != newest && commandsEnabled)
        emit operationRequested(RollBack, id);
}

void Window::keyPressEvent(QKeyEvent* event)
{
    if (!escapeHides(this, event))
        QWidget::keyPressEvent(event);
}

#include "moc_HistoryWindow.cpp"
