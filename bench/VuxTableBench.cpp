// SPDX-License-Identifier: GPL-2.0-or-later
// Times the package table of the main window on a root, offscreen:
//
//   vux-table-bench ROOT --start     program start to the table first painted with rows
//                                    (table_seconds) and to the commands enabled
//                                    (start_seconds)
//   vux-table-bench ROOT [--repeat N]  filter, sorts, column sizing, Search
//   vux-table-bench ROOT --search [--ignore-case] PATTERN...
//                                    the first Search (loading the extra
//                                    data), then each pattern new (with
//                                    Ignore Case checked)
//   vux-table-bench ROOT --compare [--ignore-case] PATTERN...
//                                    each pattern searched both ways (the
//                                    package manager's data read in C, and
//                                    the getters): the same rows?
//
// Prints "key value" lines (seconds; medians of N repetitions where an
// operation can be repeated); exits 1 when the start failed or the table
// stayed empty, or when the two ways of searching disagree.

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
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

using namespace Bench;

namespace {

QElapsedTimer sinceStart;

// The process's resident memory now, or its peak since the last
// resetPeakMemory() (VmHWM), in megabytes.
double memoryMB(char const* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray const& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(std::strlen(field))).trimmed().split(' ').value(0).toDouble()
                / 1024;
    }
    return 0;
}

// Starts the peak (VmHWM) afresh from the present size.
void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// Processor time of the whole process (all its threads), in seconds.
double processorSeconds()
{
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Notes when the table is first painted with rows.
class PaintWatcher : public QObject
{
public:
    PaintWatcher(PackageTable::View* view, PackageTable::Model* model)
        : model(model)
    {
        view->viewport()->installEventFilter(this);
    }
    double at = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (at == 0 && event->type() == QEvent::Paint && model->rowCount() > 0)
            at = seconds(sinceStart);
        return false;
    }

private:
    PackageTable::Model* model;
};

} // namespace

int main(int argc, char** argv)
{
    sinceStart.start();
    BenchApplication app(argc, argv);
    QStringList const args = app.rootOperands("vux-table-bench ROOT [--start | --repeat N]");
    if (args.isEmpty())
        return 2;
    bool const startOnly = args.contains(QStringLiteral("--start"));
    int const repeat = BenchApplication::repeat(args, 5);
    bool const searchOnly = args.size() > 1 && args[1] == QLatin1String("--search");
    bool const compare = args.size() > 1 && args[1] == QLatin1String("--compare");
    QStringList patterns = searchOnly || compare ? args.mid(2) : QStringList();
    bool const ignoreCase
        = !patterns.isEmpty() && patterns.first() == QLatin1String("--ignore-case");
    if (ignoreCase)
        patterns.removeFirst();

    int status = 0;
    {
        InstallRoot::set(args.first());
        MainWindow window;
        window.show();
        PackageTable::Model* model = window.packageModel();
        PackageTable::View* view = window.packageView();
        auto* goButton = window.findChild<QPushButton*>(QStringLiteral("goButton"));
        // The table first painted with rows (from the cache of the last start,
        // or after the collection).
        PaintWatcher painted(view, model);
        // Filled and ready: the table has rows and the commands are enabled.
        bool const filled = waitFor(
            [&] {
                return window.startFailed()
                    || (model->rowCount() > 0 && goButton->isEnabled() && window.started());
            },
            600);
        double const ready = seconds(sinceStart);
        double const table = painted.at > 0 ? painted.at : ready;
        print("table_seconds", table);
        print("start_seconds", ready);
        // From the moment the caller started the process (CLOCK_MONOTONIC,
        // which every process shares), when it says.
        bool spawnKnown = false;
        double const spawned = qEnvironmentVariable("VUX_BENCH_SPAWNED").toDouble(&spawnKnown);
        if (spawnKnown) {
            timespec now;
            clock_gettime(CLOCK_MONOTONIC, &now);
            double const sinceSpawn = double(now.tv_sec) + double(now.tv_nsec) / 1e9 - spawned;
            print("table_since_spawn", sinceSpawn - (seconds(sinceStart) - table));
            print("start_since_spawn", sinceSpawn - (seconds(sinceStart) - ready));
        }
        print("rows", model->rowCount());
        if (!filled || window.startFailed())
            return 1;
        if (startOnly)
            return 0;

        auto* modeCombo = window.findChild<QComboBox*>(QStringLiteral("modeCombo"));
        auto* patternEdit = window.findChild<QLineEdit*>(QStringLiteral("patternEdit"));
        auto* stateCombo = window.findChild<QComboBox*>(QStringLiteral("stateCombo"));
        stateCombo->setCurrentIndex(PackageTable::ViewAll);
        window.findChild<QCheckBox*>(QStringLiteral("ignoreCaseCheck"))->setChecked(ignoreCase);
        PackageTable::SortFilterProxyModel* proxy = view->proxyModel();
        double searchCpu = 0; // processor seconds of the last search()
        auto search = [&](QString const& pattern) {
            patternEdit->setText(pattern);
            QElapsedTimer timer;
            timer.start();
            double const cpu = processorSeconds();
            goButton->click();
            waitFor([&] { return goButton->isEnabled(); }, 3600);
            searchCpu = processorSeconds() - cpu;
            return seconds(timer);
        };
        if (searchOnly) {
            print("table_rss_mb", memoryMB("VmRSS:"));
            print("start_peak_mb", memoryMB("VmHWM:"));
            resetPeakMemory();
            modeCombo->setCurrentIndex(PackageTable::Search);
            print("search_first_seconds", search(QStringLiteral("no-such-text-anywhere-0")));
            print("search_first_cpu", searchCpu);
            print("search_first_peak_mb", memoryMB("VmHWM:"));
            print("search_rss_mb", memoryMB("VmRSS:"));
            for (int i = 0; i < patterns.size(); ++i) {
                double const time = search(patterns[i]);
                std::printf(
                    "search_new_%d_seconds %.4f\nsearch_new_%d_cpu %.4f\nsearch_new_%d_rows %d\n",
                    i, time, i, searchCpu, i, proxy->rowCount());
            }
            std::fflush(stdout);
            return 0;
        }
        if (compare) {
            // The rows each way, by source row.
            auto rows = [&] {
                QList<int> found;
                for (int row = 0; row < proxy->rowCount(); ++row)
                    found.append(view->sourceRow(row));
                std::sort(found.begin(), found.end());
                return found;
            };
            modeCombo->setCurrentIndex(PackageTable::Search);
            window.findChild<QCheckBox*>(QStringLiteral("groupsCheck"))->setChecked(true);
            bool agree = true;
            for (int i = 0; i < patterns.size(); ++i) {
                window.engine()->setDirectSearch(true);
                double const direct = search(patterns[i]);
                QList<int> const fast = rows();
                patternEdit->setText(QString());
                goButton->click();
                window.engine()->setDirectSearch(false);
                double const getters = search(patterns[i]);
                QList<int> const slow = rows();
                patternEdit->setText(QString());
                goButton->click();
                std::printf("compare_%d %s %lld %lld rows, %.3f s / %.3f s: %s\n", i,
                    fast == slow ? "same" : "DIFFERENT", static_cast<long long>(fast.size()),
                    static_cast<long long>(slow.size()), direct, getters,
                    QString(patterns[i])
                        .replace(QLatin1Char('\n'), QLatin1String("\\n"))
                        .toUtf8()
                        .constData());
                agree = agree && fast == slow;
                for (int row : fast) {
                    if (!slow.contains(row))
                        std::printf("  only found reading in C: %s\n",
                            qPrintable((*window.engine())[row]->name));
                }
                for (int row : slow) {
                    if (!fast.contains(row))
                        std::printf("  only found through the getters: %s\n",
                            qPrintable((*window.engine())[row]->name));
                }
            }
            print("search_paths_agree", agree ? 1 : 0);
            return agree ? 0 : 1;
        }

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

        // The security view, the advisories being in (they come with the
        // collection): from every entry to the updates with a security
        // advisory, all rows filtered anew each time.
        std::vector<double> switches;
        for (int i = 0; i < repeat; ++i) {
            stateCombo->setCurrentIndex(PackageTable::ViewAll);
            QApplication::processEvents();
            QElapsedTimer timer;
            timer.start();
            stateCombo->setCurrentIndex(PackageTable::ViewSecurity);
            switches.push_back(seconds(timer));
        }
        std::sort(switches.begin(), switches.end());
        print("security_view_seconds", switches[switches.size() / 2]);
        print("security_visible", proxy->rowCount());
        stateCombo->setCurrentIndex(PackageTable::ViewAll);

        // Required By of packages spread over the table, installed and
        // available, each asked both ways as the description's buttons ask.
        YumIO* engine = window.engine();
        std::vector<double> asked;
        int const step = std::max(1, engine->count() / 40);
        for (int row = 0; row < engine->count(); row += step) {
            Package::Entry const& entry = *(*engine)[row];
            if (entry.kind == Package::Group)
                continue;
            for (bool installed : {true, false}) {
                QElapsedTimer timer;
                timer.start();
                engine->whatRequires(entry, installed);
                asked.push_back(seconds(timer));
            }
        }
        std::sort(asked.begin(), asked.end());
        print("requiredby_median_seconds", asked[asked.size() / 2]);
        print("requiredby_max_seconds", asked.back());
        print("requiredby_asked", double(asked.size()));

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
