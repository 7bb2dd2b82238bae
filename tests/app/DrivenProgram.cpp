// SPDX-License-Identifier: GPL-2.0-or-later
// The program for tests that must reach a moment of its life from outside:
// the program's own main() (app/main.cpp is built into this executable too)
// and this driver, which starts with the application object. It says on
// standard error (the descriptor it had at the start) when a moment comes:
//   vux-moment: rows           the table shows the cached rows, dnf still loads
//   vux-moment: ready          the start has finished, the window is ready
//   vux-moment: dialog TITLE   a modal dialog has come up
// and, once ready, does what the environment variable VUX_DRIVE asks:
//   apply:NAME                 marks package NAME for installation and applies
//   apply-confirmed:NAME       the same, and accepts the confirmation

#include "app/MainWindow.h"
#include "yumio/YumIO.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Standard error as it was at the start: during a transaction descriptor 2
// leads into the program's log.
int momentsFd = -1;

void say(QString const& moment)
{
    QByteArray const line = "vux-moment: " + moment.toLocal8Bit() + '\n';
    if (::write(momentsFd, line.constData(), size_t(line.size())) != line.size())
        std::perror("vux-driven");
}

class Driver : public QObject
{
public:
    explicit Driver(QObject* parent)
        : QObject(parent)
    {
        QString const drive = qEnvironmentVariable("VUX_DRIVE");
        action = drive.section(QLatin1Char(':'), 0, 0);
        package = drive.section(QLatin1Char(':'), 1);
        connect(&poll, &QTimer::timeout, this, &Driver::checkReady);
        poll.start(50);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        auto* dialog = qobject_cast<QDialog*>(object);
        if (event->type() == QEvent::Show && dialog && dialog->isModal()) {
            say(QStringLiteral("dialog ") + dialog->windowTitle());
            if (action == QLatin1String("apply-confirmed")
                && dialog->windowTitle() == QLatin1String("Apply"))
                QTimer::singleShot(0, dialog, &QDialog::accept);
        }
        return false;
    }

private:
    void checkReady()
    {
        MainWindow* window = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* main = qobject_cast<MainWindow*>(widget))
                window = main;
        }
        QWidget* panel = window ? window->findChild<QWidget*>(QStringLiteral("panel")) : nullptr;
        if (!saidRows && window && window->engine() && window->engine()->showingCachedRows()) {
            saidRows = true;
            say(QStringLiteral("rows"));
        }
        if (!panel || !panel->isVisible() || !panel->isEnabled() || !window->engine()
            || !window->started())
            return;
        poll.stop();
        say(QStringLiteral("ready"));
        if (!action.startsWith(QLatin1String("apply")))
            return;
        Package::Entry* entry = window->engine()->findEntry(false, package);
        if (!entry) {
            say(QStringLiteral("no package ") + package);
            return;
        }
        entry->action = Package::Install;
        QMetaObject::invokeMethod(window, "apply", Qt::QueuedConnection);
    }

    QString action, package;
    QTimer poll;
    bool saidRows = false;
};

void installDriver()
{
    momentsFd = ::fcntl(2, F_DUPFD_CLOEXEC, 3);
    QCoreApplication* application = QCoreApplication::instance();
    application->installEventFilter(new Driver(application));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installDriver)
