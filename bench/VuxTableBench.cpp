// SPDX-License-Identifier: GPL-2.0-or-later
// Times the package table of the main window on a root, offscreen:
//
//   vux-table-bench ROOT --start     program start to the filled table shown
//   vux-table-bench ROOT [--repeat N]  filter, sorts, column sizing, Search
//
// Prints "key value" lines (seconds; medians of N repetitions where an
// operation can be repeated); exits 1 when the start failed or the table
// stayed empty.

#include "app/MainWindow.h"
#include "base/Globals.h"
#include "base/InstallRoot.h"
#include "packagetable/PackageTable.h"
#include "packagetable/PackageTableModel.h"
#include "packagetable/PackageTableSortFilterProxyModel.h"
#include "packagetable/PackageTableView.h"
#include "yumio/YumIO.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

QElapsedTimer sinceStart;

void print(char const* key, double value)
{
    std::printf("%s %.4f\n", key, value);
    std::fflush(stdout);
}

double seconds(QElapsedTimer const& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// Median time of repeat runs of step (given the run's number).
double median(int repeat, std::function<void(int)> const& step)
{
    std::vector<double> times;
    for (int i = 0; i < repeat; ++i) {
        QElapsedTimer timer;
        timer.start();
        step(i);
        times.push_back(seconds(timer));
        QApplication::processEvents();
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Serves events until done() holds or limit seconds have passed.
bool waitFor(std::function<bool()> const& done, double limit)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (seconds(timer) > limit)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    sinceStart.start();
    BenchApplication app(argc, argv);
    QStringList const args = app.operands();
    if (args.isEmpty() || args.first().startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr, "usage: vux-table-bench ROOT [--start | --repeat N]\n");
        return 2;
    }
    bool const startOnly = args.contains(QStringLiteral("--start"));
    int const at = args.indexOf(QStringLiteral("--repeat"));
    int const repeat = at > 0 && at + 1 < args.size() ? std::max(1, args[at + 1].toInt()) : 5;

    int status = 0;
    {
        InstallRoot::set(args.first());
        MainWindow window;
        window.show();
        PackageTable::Model* model = window.packageModel();
        PackageTable::View* view = window.packageView();
        auto* goButton = window.findChild<QPushButton*>(QStringLiteral("goButton"));
        // Filled and ready: the table has rows and the commands are enabled.
        bool const filled = waitFor(
            [&] {
                return window.startFailed() || (model->rowCount() > 0 && goButton->isEnabled());
            },
            600);
        print("start_seconds", seconds(sinceStart));
        print("rows", model->rowCount());
        if (!filled || window.startFailed())
            return 1;
        if (startOnly)
            return 0;

        auto* modeCombo = window.findChild<QComboBox*>(QStringLiteral("modeCombo"));
        auto* patternEdit = window.findChild<QLineEdit*>(QStringLiteral("patternEdit"));
        auto* stateCombo = window.findChild<QComboBox*>(QStringLiteral("stateCombo"));
        stateCombo->setCurrentIndex(PackageTable::ViewAll);
        PackageTable::SortFilterProxyModel* proxy = view->proxyModel();

        // A new pattern in Filter mode over all entries, each run another
        // one (so the accept cache cannot answer).
        modeCombo->setCurrentIndex(PackageTable::Filter);
        print("filter_seconds", median(repeat, [&](int i) {
            patternEdit->setText(QStringLiteral("ze%1a").arg(i));
            goButton->click();
        }));
        print("filter_visible", proxy->rowCount());
        patternEdit->setText(QString());
        goButton->click();

        print("sort_name_seconds", median(repeat, [&](int i) {
            view->sortByColumn(
                PackageTable::NameColumn, i % 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
        }));
        print("sort_size_seconds", median(repeat, [&](int i) {
            view->sortByColumn(
                PackageTable::SizeColumn, i % 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
        }));
        print("resize_seconds", median(repeat, [&](int) { view->resizeColumnsToContents(); }));

        // Search for a pattern that matches nothing: every field of every
        // entry is read, the file lists and change logs loaded first.
        modeCombo->setCurrentIndex(PackageTable::Search);
        patternEdit->setText(QStringLiteral("no-such-text-anywhere-0"));
        QElapsedTimer first;
        first.start();
        goButton->click();
        waitFor([&] { return goButton->isEnabled(); }, 3600);
        print("search_first_seconds", seconds(first));
        print("search_visible", proxy->rowCount());
        print("search_again_seconds", median(repeat, [&](int) { goButton->click(); }));
        if (proxy->rowCount() != 0)
            status = 1;
    }
    return status;
}
