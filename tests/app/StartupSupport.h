#pragma once

// Pieces shared by the start-up suites: a sandbox root with its repository
// server, and a main window run until its start-up has finished.

#include "app/Globals.h"
#include "app/InstallRoot.h"
#include "app/MainWindow.h"
#include "log/LogWindow.h"
#include "support/Sandbox.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace StartupSupport {

// A root whose repositories are served over HTTP on 127.0.0.1.
class Root
{
public:
    bool make(QString* error, Sandbox::RootOptions options = Sandbox::RootOptions())
    {
        if (!dir.isValid()) {
            *error = QStringLiteral("no temporary directory");
            return false;
        }
        server.reset(new Sandbox::Server);
        if (!server->isRunning()) {
            *error = QStringLiteral("the repository server did not start");
            return false;
        }
        options.urlBase = server->url();
        return !Sandbox::makeRoot(path(), options, error).isEmpty();
    }

    QString path() const { return dir.path() + QStringLiteral("/root"); }
    QString file(QString const& inside) const { return path() + inside; }

private:
    QTemporaryDir dir;
    std::unique_ptr<Sandbox::Server> server;
};

inline void setProgram()
{
    // main's part: the process globals the engine reads.
    application = qobject_cast<QApplication*>(QCoreApplication::instance());
    program = "vux";
}

inline QWidget* panel(MainWindow& window)
{
    return window.findChild<QWidget*>(QStringLiteral("panel"));
}

// Shows the window and waits until initialize() has run to its end: the
// panel is shown after a start, the window is closed after a failed one.
inline bool start(MainWindow& window, int timeout = 600000)
{
    window.show();
    QWidget* const area = panel(window);
    return QTest::qWaitFor([&] { return area->isVisible() || !window.isVisible(); }, timeout);
}

inline QAction* action(MainWindow& window, QString const& text)
{
    for (QAction* candidate : window.findChildren<QAction*>()) {
        if (candidate->text() == text)
            return candidate;
    }
    return nullptr;
}

inline Log::Window* logWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Log::Window*>(widget))
            return window;
    }
    return nullptr;
}

// A failed start leaves the busy cursor of the window that quit.
inline void restoreCursor()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

} // namespace StartupSupport
