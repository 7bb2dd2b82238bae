// SPDX-License-Identifier: GPL-2.0-or-later
// Times the engine applying one transaction without the main window: the
// engine starts, collects the root's packages, marks the named packages and
// applies, the confirmation accepted at once.
//
//   vux-apply-bench ROOT install|remove NAME...
//
// Prints "key value" lines on stdout (apply_seconds from the press of the
// button to the end of the transaction, total_seconds with the start and
// collection); exits 1 when the apply failed or another dialog appeared.

#include "base/Globals.h"
#include "yumio/YumIO.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

using Bench::seconds;

int main(int argc, char** argv)
{
    BenchApplication app(argc, argv);
    QStringList const args = app.operands();
    if (args.size() < 3
        || (args[1] != QLatin1String("install") && args[1] != QLatin1String("remove"))) {
        std::fprintf(stderr, "usage: vux-apply-bench ROOT install|remove NAME...\n");
        return 2;
    }
    Package::Action const action
        = args[1] == QLatin1String("install") ? Package::Install : Package::Remove;
    // The confirmation is accepted at once; any other dialog fails the run.
    BenchDialogs confirmer(QStringLiteral("okButton"), 5);
    bool ok = false;
    {
        QElapsedTimer total;
        total.start();
        BenchEngine bench(args.first());
        YumIO& engine = bench.engine;
        ok = bench.start();
        for (QString const& name : args.mid(2)) {
            Package::Entry* entry = ok ? engine.findEntry(false, name) : nullptr;
            if (!entry) {
                std::fprintf(stderr, "no package %s\n", qPrintable(name));
                ok = false;
                break;
            }
            entry->action = action;
        }
        if (ok) {
            QElapsedTimer timer;
            timer.start();
            ok = engine.apply();
            std::printf("apply_seconds %.3f\n", seconds(timer));
        }
        std::printf("total_seconds %.3f\n", seconds(total));
    }
    for (QString const& text : confirmer.texts)
        std::fprintf(stderr, "dialog: %s\n", qPrintable(text));
    return ok && confirmer.texts.isEmpty() ? 0 : 1;
}
