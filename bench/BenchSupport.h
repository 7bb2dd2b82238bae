// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// What the benchmark programs share: their environment, an engine without
// the main window, an answerer of their dialogs, and their timing and
// printing of figures.

#include "base/Globals.h"
#include "base/InstallRoot.h"
#include "widgets/HProgressBar.h"
#include "yumio/YumIO.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <QtGlobal>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

// Offscreen unless told otherwise, with the companion script of this source
// tree unless VUXSHARE names another: call before the application is made.
inline void benchEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("VUXSHARE"))
        qputenv("VUXSHARE", VUX_SOURCE_SHARE);
}

// The application of a benchmark program: its environment is set before
// the toolkit starts, and the program's globals know it.
class BenchApplication : public QApplication
{
public:
    BenchApplication(int& argc, char** argv)
        : QApplication((benchEnvironment(), argc), argv)
    {
        application = this;
    }

    // The command line without the program's name.
    QStringList operands() const { return arguments().mid(1); }

    // The operands when they begin with the root; none, the usage written,
    // otherwise.
    QStringList rootOperands(char const* usage) const
    {
        QStringList const args = operands();
        if (!args.isEmpty() && !args.first().startsWith(QLatin1Char('-')))
            return args;
        std::fprintf(stderr, "usage: %s\n", usage);
        return QStringList();
    }

    // The number after --repeat, else fallback.
    static int repeat(QStringList const& args, int fallback)
    {
        int const at = args.indexOf(QStringLiteral("--repeat"));
        return at > 0 && at + 1 < args.size() ? std::max(1, args[at + 1].toInt()) : fallback;
    }
};

// An engine on a root, with the window and the two progress bars it needs
// (no main window).
class BenchEngine
{
public:
    explicit BenchEngine(QString const& root)
    {
        InstallRoot::set(root);
        auto* layout = new QVBoxLayout(&window);
        auto* totalBar = new HProgressBar(&window);
        auto* itemBar = new HProgressBar(&window);
        layout->addWidget(totalBar);
        layout->addWidget(itemBar);
        engine.setup(&window, totalBar, itemBar);
    }

    // Starts the engine and collects the configuration's enabled
    // repositories, as a first start uses them.
    bool start() { return engine.initialize() && engine.collect(QHash<QString, bool>()); }

    QWidget window; // made before the engine, gone after it
    YumIO engine;
};

// Answers the modal dialogs of a run. A dialog with a button named
// acceptButton (the transaction's confirmation: "okButton") is accepted;
// any other is closed and its text kept, for a benchmark that needed a
// dialog has failed.
class BenchDialogs : public QObject
{
public:
    explicit BenchDialogs(QString acceptButton = QString(), int interval = 20)
    {
        timer.setInterval(interval);
        connect(&timer, &QTimer::timeout, this, [this, acceptButton] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog || !dialog->isVisible() || dialog == last)
                return;
            last = dialog;
            if (!acceptButton.isEmpty()) {
                if (auto* ok = dialog->findChild<QAbstractButton*>(acceptButton)) {
                    ok->click();
                    return;
                }
            }
            QString text = dialog->windowTitle();
            if (auto* box = qobject_cast<QMessageBox*>(dialog))
                text += QLatin1String(": ") + box->text();
            for (QLabel const* label : dialog->findChildren<QLabel*>())
                text += QLatin1Char(' ') + label->text();
            texts.append(text);
            if (auto* modal = qobject_cast<QDialog*>(dialog))
                modal->reject();
            else
                dialog->close();
        });
        timer.start();
    }

    // What the dialogs that were closed said.
    QStringList texts;

private:
    QTimer timer;
    QPointer<QWidget> last;
};

// Timing and printing of figures.
namespace Bench {

// A figure as the drivers read it: "key value".
inline void print(char const* key, double value)
{
    std::printf("%s %.4f\n", key, value);
    std::fflush(stdout);
}

inline double seconds(QElapsedTimer const& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// Median time of repeat runs of step (given the run's number).
inline double median(int repeat, std::function<void(int)> const& step)
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
inline bool waitFor(std::function<bool()> const& done, double limit)
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

} // namespace Bench
