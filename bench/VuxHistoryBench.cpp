// SPDX-License-Identifier: GPL-2.0-or-later
// Times the History window of the main window on a root, offscreen:
//
//   vux-history-bench ROOT [--repeat N]
//
// The main window starts and fills its table; then Windows, History opens
// the window (made, the history read and listed, shown and painted), and it
// is closed and opened again N times (read, listed and painted anew each
// time). Prints "key value" lines: history_open_seconds (the first
// opening), history_reopen_seconds (the median of the others),
// history_rows; exits 1 when the start failed or the window stayed empty.

#include "app/HistoryWindow.h"
#include "app/MainWindow.h"
#include "base/Globals.h"
#include "base/InstallRoot.h"
#include "packagetable/PackageTableModel.h"

#include "BenchSupport.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>

using namespace Bench;

int main(int argc, char** argv)
{
    BenchApplication app(argc, argv);
    QStringList const args = app.rootOperands("vux-history-bench ROOT [--repeat N]");
    if (args.isEmpty())
        return 2;
    int const repeat = BenchApplication::repeat(args, 5);

    InstallRoot::set(args.first());
    BenchDialogs dialogs;
    MainWindow window;
    window.show();
    auto* goButton = window.findChild<QPushButton*>(QStringLiteral("goButton"));
    bool const filled = waitFor(
        [&] {
            return window.startFailed()
                || (window.packageModel()->rowCount() > 0 && goButton->isEnabled());
        },
        600);
    if (!filled || window.startFailed())
        return 1;

    auto* action = window.menuBar()->findChild<QAction*>(QStringLiteral("historyAction"));
    History::Window* history = nullptr;
    QTreeWidget* tree = nullptr;
    // Opened as the menu opens it, until the window is on screen and painted.
    auto open = [&] {
        action->trigger();
        if (!history) {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* found = qobject_cast<History::Window*>(top))
                    history = found;
            tree = history ? history->findChild<QTreeWidget*>() : nullptr;
        }
        if (history)
            history->repaint();
        QApplication::processEvents();
    };
    QElapsedTimer first;
    first.start();
    open();
    print("history_open_seconds", seconds(first));
    if (!tree || tree->topLevelItemCount() == 0 || !dialogs.texts.isEmpty()) {
        std::fprintf(stderr, "vux-history-bench: no history shown %s\n",
            qPrintable(dialogs.texts.join(QLatin1Char(' '))));
        return 1;
    }
    print("history_rows", tree->topLevelItemCount());
    std::vector<double> again;
    for (int i = 0; i < repeat; ++i) {
        history->hide();
        QApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        open();
        again.push_back(seconds(timer));
    }
    std::sort(again.begin(), again.end());
    print("history_reopen_seconds", again[again.size() / 2]);
    return 0;
}
