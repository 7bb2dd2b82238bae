#include "app/CommandLine.h"
#include "app/DefaultStyle.h"
#include "app/Globals.h"
#include "app/InstallRoot.h"
#include "app/Interrupt.h"
#include "app/MainWindow.h"
#include "app/Share.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QIcon>

#include <cstdio>
#include <cstring>
#include <libgen.h>

int main(int argc, char** argv)
{
    // Before any thread exists, so that none of them takes the signals.
    Interrupt::blockSignals();
    DefaultStyle defaultStyle(argc, argv);
    // The toolkit removes the options it knows (such as -style) from argv.
    QApplication app(argc, argv);
    defaultStyle.set(app, QStringLiteral("plastique"));
    app.setWindowIcon(QIcon(Share::absolute(QStringLiteral("pixmaps/vux.icon.png"))));

    application = &app;
    static char programName[4096];
    std::strncpy(programName, argc > 0 ? argv[0] : "vux", sizeof programName - 1);
    program = basename(programName);

    MainWindow window;
    CommandLineOptions options;
    QByteArray message;
    if (!CommandLine::parse(argc, argv, options, message)) {
        std::fputs(message.constData(), stderr);
        CommandLine::usage();
    }
    window.startRepoEditor = options.repoEditor;
    window.startLog = options.log;
    window.repoEnabledList = options.repoEnabledList;
    // A mistyped root would otherwise become a new tree of package manager
    // directories on the host.
    if (!options.installRoot.isEmpty() && !QFileInfo(options.installRoot).isDir()) {
        std::fprintf(stderr, "%s: install root %s is not a directory\n", program,
            QFile::encodeName(options.installRoot).constData());
        return 1;
    }
    InstallRoot::set(options.installRoot);

    Interrupt::startListener([&window] { window.stopAndQuit(false); });
    window.show();
    int const status = app.exec();
    // A start that failed is a failure of the program, whatever the event
    // loop ended with.
    return window.startFailed() ? 1 : status;
}
