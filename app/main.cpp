// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/CommandLine.h"
#include "app/DefaultStyle.h"
#include "app/DesktopSession.h"
#include "base/Globals.h"
#include "base/InstallRoot.h"
#include "base/Interrupt.h"
#include "app/MainWindow.h"
#include "base/Share.h"
#include "app/Translations.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLocale>

#include <cstdio>
#include <cstring>
#include <libgen.h>

namespace {

QString const catalogues = QStringLiteral(":/i18n");

// Without a display the toolkit would abort: say why, in the user's language.
int noDisplay(int argc, char** argv)
{
    QCoreApplication core(argc, argv);
    Translations::install(core, QLocale(), catalogues);
    QString const text = QCoreApplication::translate("main",
        "%1: cannot open a display: DISPLAY and WAYLAND_DISPLAY are not set.\n"
        "Vux is a graphical program; run it in an X11 or Wayland session, or "
        "through ssh -X.\n"
        "\"%1 --help\" shows the command-line options.\n")
                             .arg(QString::fromLocal8Bit(program));
    std::fputs(text.toLocal8Bit().constData(), stderr);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    // Before any thread exists, so that none of them takes the signals.
    Interrupt::blockSignals();
    static char programName[4096];
    std::strncpy(programName, argc > 0 ? argv[0] : "vux", sizeof programName - 1);
    program = basename(programName);

    // The command line is answered before the toolkit needs a display, so
    // that --help and mistakes get their answer on a console or over ssh.
    // The toolkit's own options (-style, -platform, ...) are left to it.
    CommandLineOptions options;
    QByteArray message;
    std::vector<char*> ownArguments = CommandLine::withoutToolkitOptions(argc, argv);
    if (!CommandLine::parse(int(ownArguments.size()) - 1, ownArguments.data(), options, message)) {
        std::fputs(message.constData(), stderr);
        CommandLine::usage();
    }
    if (options.version) {
        std::printf("%s %s\n", program, VUX_VERSION);
        return 0;
    }
    // A mistyped root would otherwise become a new tree of package manager
    // directories on the host.
    if (!options.installRoot.isEmpty() && !QFileInfo(options.installRoot).isDir()) {
        std::fprintf(stderr, "%s: install root %s is not a directory\n", program,
            QFile::encodeName(options.installRoot).constData());
        return 1;
    }

    DesktopSession::prepare(argc, argv);
    if (!DesktopSession::hasDisplay(argc, argv))
        return noDisplay(argc, argv);

    DefaultStyle defaultStyle(argc, argv);
    // The toolkit removes the options it knows (such as -style) from argv.
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(VUX_APP_ID));
    Translations::install(app, QLocale(), catalogues);
    defaultStyle.set(app, QStringLiteral("plastique"));
    app.setWindowIcon(QIcon(Share::absolute(QStringLiteral("pixmaps/vux.icon.png"))));
    application = &app;

    MainWindow window;
    window.startRepoEditor = options.repoEditor;
    window.startLog = options.log;
    window.repoEnabledList = options.repoEnabledList;
    InstallRoot::set(options.installRoot);

    Interrupt::startListener([&window] { window.stopAndQuit(false); });
    window.show();
    int const status = app.exec();
    // A start that failed is a failure of the program, whatever the event
    // loop ended with.
    return window.startFailed() ? 1 : status;
}
