// SPDX-License-Identifier: GPL-2.0-or-later
// Vux's side of the parity harness (parity.py): the engine and the package
// table of the main window, without the window, on a root. It collects,
// prints every row as the table shows it and, when asked, marks one request
// the way a user would and applies it, the confirmation accepted at once.
//
//   vux-parity ROOT [REQUEST]
//
// REQUEST is one of
//   --update-all                        "Set Update of All Out-of-Date"
//   --install NAME ARCH                 the row of View Installable showing them
//   --remove NAME VERSION ARCH          the row of View Removable showing them
//   --group-install NAME, --group-remove NAME, --group-update NAME
//   --reinstall NAME VERSION ARCH       Reinstall of the row of View Removable
//   --downgrade NAME VERSION ARCH TO    Downgrade to (version TO) of that row
//   --hold-update NAME VERSION ARCH     Hold of that row, then "Set Update of
//                                       All Out-of-Date"
//   --undo-last                         Undo of the newest transaction of the
//                                       History window
//
// Prints one JSON object: "rows" (every row in View All: kind, name, arch,
// state, version, repo, the installed versions behind it, and what View
// Removable shows of it), then with a request "marked" (the rows marked),
// (the transaction's id for an undo), "applied", "dialogs" (title, text and whether it was
// accepted, in order) and "errors" (the log's error lines). Exits 1 when the engine could not start
// or collect, 2 for a wrong command line; a request that cannot be marked or applied is reported in
// the JSON, with status 0.

#include "base/Globals.h"
#include "packagetable/PackageTableModel.h"
#include "packagetable/PackageTableSortFilterProxyModel.h"
#include "packagetable/PackageTableView.h"
#include "yumio/YumIO.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutexLocker>
#include <QWidget>

#include <cstdio>

using PackageTable::Model;
using PackageTable::View;

namespace {

// Names of Package::State and Package::Kind by value.
char const* const stateNames[] = {"updatable", "available", "installed"};
char const* const kindNames[] = {"suite", "group", "package"};

QString cell(View const& view, int viewRow, int column)
{
    return view.model()->index(viewRow, column).data().toString();
}

// Source row -> the visible texts of a view's rows.
QHash<int, QJsonObject> shown(View& view)
{
    QHash<int, QJsonObject> result;
    for (int row = 0; row < view.model()->rowCount(); ++row) {
        QJsonObject texts;
        texts[QStringLiteral("name")] = cell(view, row, PackageTable::NameColumn);
        texts[QStringLiteral("version")] = cell(view, row, PackageTable::VersionColumn);
        texts[QStringLiteral("repo")] = cell(view, row, PackageTable::RepositoryColumn);
        texts[QStringLiteral("arch")] = cell(view, row, PackageTable::ArchitectureColumn);
        result.insert(view.sourceRow(row), texts);
    }
    return result;
}

QJsonArray rows(YumIO const& engine, View& view)
{
    view.stateFilterChanged(PackageTable::ViewRemovable);
    QHash<int, QJsonObject> const removable = shown(view);
    view.stateFilterChanged(PackageTable::ViewAll);
    QHash<int, QJsonObject> const all = shown(view);
    QJsonArray result;
    for (int row = 0; row < engine.count(); ++row) {
        Package::Entry const* entry = engine[row];
        QJsonObject object = all.value(row);
        object[QStringLiteral("row")] = row;
        object[QStringLiteral("kind")] = QLatin1String(kindNames[entry->kind]);
        object[QStringLiteral("state")] = QLatin1String(stateNames[entry->state]);
        object[QStringLiteral("tip")] = view.packageModel()
                                            ->index(row, PackageTable::VersionColumn)
                                            .data(Qt::ToolTipRole)
                                            .toString();
        QJsonArray installed;
        for (Package::Entry const* e = entry->next; e; e = e->next)
            installed.append(QJsonObject {{QStringLiteral("name"), e->name},
                {QStringLiteral("version"), e->verRel}, {QStringLiteral("arch"), e->arch}});
        object[QStringLiteral("installed")] = installed;
        if (removable.contains(row))
            object[QStringLiteral("removable")] = removable.value(row);
        result.append(object);
    }
    return result;
}

// The source row a view shows with the texts given (empty texts match
// anything), or -1.
int find(View& view, PackageTable::StateFilter filter, QString const& name, QString const& version,
    QString const& arch, bool group)
{
    view.stateFilterChanged(filter);
    int found = -1;
    for (int row = 0; row < view.model()->rowCount() && found < 0; ++row) {
        Package::Entry const* entry = view.packageModel()->entry(view.sourceRow(row));
        if ((entry->kind == Package::Group) != group)
            continue;
        if (cell(view, row, PackageTable::NameColumn) == name
            && (version.isEmpty() || cell(view, row, PackageTable::VersionColumn) == version)
            && (arch.isEmpty() || cell(view, row, PackageTable::ArchitectureColumn) == arch))
            found = view.sourceRow(row);
    }
    view.stateFilterChanged(PackageTable::ViewAll);
    return found;
}

QStringList errorLines(YumIO& engine)
{
    QMutexLocker locker(&engine.logEntries());
    QStringList lines;
    for (Log::Entry const& entry : engine.logEntries())
        if (entry.kind == Log::Error)
            lines.append(entry.text);
    return lines;
}

// Accepts the transaction's confirmation and answers every other dialog with
// its escape (the way out a user takes when unsure), keeping what each said.
class Answerer : public QObject
{
public:
    Answerer()
    {
        timer.setInterval(5);
        connect(&timer, &QTimer::timeout, this, [this] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog || !dialog->isVisible() || dialog == last)
                return;
            last = dialog;
            QString text;
            if (auto* box = qobject_cast<QMessageBox*>(dialog))
                text = box->text();
            for (QLabel const* label : dialog->findChildren<QLabel*>())
                if (!label->text().isEmpty() && label->text() != text)
                    text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + label->text();
            auto* ok = dialog->findChild<QAbstractButton*>(QStringLiteral("okButton"));
            dialogs.append(QJsonObject {{QStringLiteral("title"), dialog->windowTitle()},
                {QStringLiteral("text"), text}, {QStringLiteral("accepted"), ok != nullptr}});
            if (ok)
                QMetaObject::invokeMethod(ok, "click", Qt::QueuedConnection);
            else if (auto* modal = qobject_cast<QDialog*>(dialog))
                QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection);
            else
                dialog->close();
        });
        timer.start();
    }

    QJsonArray dialogs;

private:
    QTimer timer;
    QPointer<QWidget> last;
};

} // namespace

int main(int argc, char** argv)
{
    BenchApplication app(argc, argv);
    QStringList const args = app.operands();
    QString const request = args.value(1);
    static QHash<QString, int> const operands {{QString(), 0}, {QStringLiteral("--update-all"), 0},
        {QStringLiteral("--install"), 2}, {QStringLiteral("--remove"), 3},
        {QStringLiteral("--group-install"), 1}, {QStringLiteral("--group-remove"), 1},
        {QStringLiteral("--group-update"), 1}, {QStringLiteral("--reinstall"), 3},
        {QStringLiteral("--downgrade"), 4}, {QStringLiteral("--hold-update"), 3},
        {QStringLiteral("--undo-last"), 0}};
    if (args.isEmpty() || !operands.contains(request)
        || args.size() != (request.isEmpty() ? 1 : 2 + operands[request])) {
        std::fprintf(stderr,
            "usage: vux-parity ROOT [--update-all | --install NAME ARCH | --remove NAME VERSION "
            "ARCH | --group-install NAME | --group-remove NAME | --group-update NAME | --reinstall "
            "NAME VERSION ARCH | --downgrade NAME VERSION ARCH TO | --hold-update NAME VERSION "
            "ARCH | --undo-last]\n");
        return 2;
    }
    QString const operand = args.value(2);
    Answerer answerer;
    QJsonObject out;
    int status = 0;
    {
        BenchEngine bench(args.first());
        YumIO& engine = bench.engine;
        if (!bench.start()) {
            status = 1;
        } else {
            Model model(&engine);
            View view(&model, PackageTable::ViewAll, true, &engine, &bench.window);
            model.reset();
            out[QStringLiteral("rows")] = rows(engine, view);
            QList<int> marked;
            auto mark = [&](int row, Package::Action action) {
                if (row < 0)
                    return;
                model.setAction(model.index(row, PackageTable::ActionColumn), action);
                marked.append(row);
            };
            // The row of View Removable that shows the request's package.
            int const installedRow = find(
                view, PackageTable::ViewRemovable, operand, args.value(3), args.value(4), false);
            QModelIndex const installedIndex = model.index(installedRow, PackageTable::NameColumn);
            bool applied = false;
            if (request == QLatin1String("--hold-update") && installedRow >= 0
                && !model.setHold(installedIndex, true))
                out[QStringLiteral("holdFailed")] = true;
            if (request == QLatin1String("--update-all")
                || request == QLatin1String("--hold-update")) {
                model.setUpdateAll();
                for (int row = 0; row < engine.count(); ++row)
                    if (engine[row]->action != Package::None)
                        marked.append(row);
            } else if (request == QLatin1String("--reinstall")) {
                if (installedRow >= 0 && model.versions(installedIndex).reinstallable)
                    mark(installedRow, Package::Reinstall);
            } else if (request == QLatin1String("--downgrade")) {
                for (Package::Version const& version : model.versions(installedIndex).older)
                    if (installedRow >= 0 && version.version == args.value(5)) {
                        model.setDowngrade(installedIndex, version);
                        marked.append(installedRow);
                    }
            } else if (request == QLatin1String("--undo-last")) {
                QList<History::Transaction> const transactions = engine.historyTransactions();
                if (!transactions.isEmpty()) {
                    marked.append(transactions.first().id);
                    applied = engine.applyHistory(History::Undo, transactions.first().id);
                }
            } else if (request == QLatin1String("--install")) {
                mark(find(view, PackageTable::ViewInstallable, operand, QString(), args.value(3),
                         false),
                    Package::Install);
            } else if (request == QLatin1String("--remove")) {
                mark(find(view, PackageTable::ViewRemovable, operand, args.value(3), args.value(4),
                         false),
                    Package::Remove);
            } else if (request.startsWith(QLatin1String("--group-"))) {
                Package::Action const action = request.endsWith(QLatin1String("install"))
                    ? Package::Install
                    : request.endsWith(QLatin1String("remove")) ? Package::Remove
                                                                : Package::Update;
                mark(
                    find(view, PackageTable::ViewAll, operand, QString(), QString(), true), action);
            }
            if (!request.isEmpty()) {
                QJsonArray markedRows;
                for (int row : marked)
                    markedRows.append(row);
                out[QStringLiteral("marked")] = markedRows;
                out[QStringLiteral("applied")] = applied
                    || (!marked.isEmpty() && request != QLatin1String("--undo-last")
                        && engine.apply());
            }
        }
        out[QStringLiteral("errors")] = QJsonArray::fromStringList(errorLines(engine));
    }
    out[QStringLiteral("dialogs")] = answerer.dialogs;
    std::fputs(QJsonDocument(out).toJson(QJsonDocument::Compact).constData(), stdout);
    std::fputc('\n', stdout);
    return status;
}
