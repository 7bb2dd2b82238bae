// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// What the benchmark programs share: their environment, an answerer of
// their dialogs, and their timing and printing of figures.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
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

// The program's arguments after its name, which must begin with the root;
// empty (and the usage written) otherwise. Call after the application is
// made.
inline QStringList benchArguments(char const* usage)
{
    QStringList args = QApplication::arguments().mid(1);
    if (args.isEmpty() || args.first().startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr, "usage: %s\n", usage);
        args.clear();
    }
    return args;
}

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
