// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// Pieces shared by the start-up suites: a sandbox root served over HTTP, and
// a main window run until its start-up has finished.

#include "base/Globals.h"
#include "base/InstallRoot.h"
#include "app/MainWindow.h"
#include "config-vux-tests.h"
#include "support/ModalAnswerer.h"
#include "support/Sandbox.h"
#include "yumio/YumIO.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

namespace StartupSupport {

struct Root
{
    QTemporaryDir dir;
    Sandbox::Server server;
    QString file(QString const& inside = QString()) const
    {
        return dir.path() + QStringLiteral("/root") + inside;
    }
    // Builds the root (with the repositories, all by default) and makes it
    // the install root; sets the process globals as main does.
    bool make(QString* error, QStringList const& repos = {})
    {
        application = qobject_cast<QApplication*>(QCoreApplication::instance());
        program = "vux";
        Sandbox::RootOptions options;
        options.urlBase = server.url();
        options.repos = repos;
        if (!server.isRunning() || Sandbox::makeRoot(file(), options, error).isEmpty())
            return false;
        InstallRoot::set(file());
        return true;
    }
    // The pid in each lock file the companion script takes: 0 where there is
    // no file, -1 for a file without one.
    QList<qint64> lockOwners() const
    {
        QList<qint64> pids;
        for (char const* name : {"/var/cache/yum/metadata_lock.pid",
                 "/var/cache/yum/download_lock.pid", "/var/lib/dnf/rpmdb_lock.pid"}) {
            QFile lock(file(QLatin1String(name)));
            bool number = false;
            qint64 const pid
                = lock.open(QIODevice::ReadOnly) ? lock.readAll().trimmed().toLongLong(&number) : 0;
            pids.append(!lock.exists() ? 0 : number ? pid : -1);
        }
        return pids;
    }
};

inline QWidget* panel(MainWindow& window)
{
    return window.findChild<QWidget*>(QStringLiteral("panel"));
}

// Shows the window and waits until initialize() has run to its end: the
// panel is shown after a start, the window is closed after a failed one.
inline bool start(MainWindow& window)
{
    window.show();
    return QTest::qWaitFor(
        [&] { return panel(window)->isVisible() || !window.isVisible(); }, 600000);
}

} // namespace StartupSupport
