// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/CommandLine.h"

#include "base/Globals.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <getopt.h>

namespace {

enum LongOnly { DisableRepo = 256, EnableRepo = 257, InstallRootOption = 258, Version = 259 };

QByteArray printed(char const* format, char const* a, char const* b)
{
    char buffer[4096];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return QByteArray(buffer);
}

// What QGuiApplication, QApplication and the xcb platform remove from argv.
char const* const toolkitOptionsWithValue[] = {"-platform", "-platformpluginpath", "-platformtheme",
    "-plugin", "-qwindowgeometry", "-geometry", "-qwindowtitle", "-title", "-qwindowicon", "-icon",
    "-session", "-style", "-stylesheet", "-display", "-name", "-visual"};
char const* const toolkitFlags[]
    = {"-reverse", "-widgetcount", "-testability", "-sync", "-nograb", "-dograb", "-qdevel"};
char const* const toolkitPrefixes[] = {"-style=", "-stylesheet=", "-session=", "-qmljsdebugger="};

template <size_t N> bool listed(char const* const (&names)[N], char const* arg)
{
    for (char const* name : names) {
        if (std::strcmp(arg, name) == 0)
            return true;
    }
    return false;
}

} // namespace

std::vector<char*> CommandLine::withoutToolkitOptions(int argc, char** argv)
{
    std::vector<char*> result;
    if (argc > 0)
        result.push_back(argv[0]);
    for (int i = 1; i < argc; ++i) {
        char const* arg = argv[i];
        if (std::strncmp(arg, "--", 2) == 0)
            ++arg;
        bool prefixed = false;
        for (char const* prefix : toolkitPrefixes)
            prefixed = prefixed || std::strncmp(arg, prefix, std::strlen(prefix)) == 0;
        if (prefixed || listed(toolkitFlags, arg))
            continue;
        // The toolkit takes such an option only when a value follows it.
        if (i + 1 < argc && listed(toolkitOptionsWithValue, arg)) {
            ++i;
            continue;
        }
        result.push_back(argv[i]);
    }
    result.push_back(nullptr);
    return result;
}

bool CommandLine::parse(int argc, char** argv, CommandLineOptions& options, QByteArray& message)
{
    static option const longOptions[] = {
        {"help", no_argument, nullptr, 'h'},
        {"repo-editor", no_argument, nullptr, 'r'},
        {"log", no_argument, nullptr, 'l'},
        {"disablerepo", required_argument, nullptr, DisableRepo},
        {"enablerepo", required_argument, nullptr, EnableRepo},
        {"installroot", required_argument, nullptr, InstallRootOption},
        {"version", no_argument, nullptr, Version},
        {nullptr, 0, nullptr, 0},
    };
    opterr = 0;
    optind = 0; // full re-initialisation, so that parsing can be repeated
    for (;;) {
        int const c = getopt_long(argc, argv, "+hHrl", longOptions, nullptr);
        if (c == -1)
            break;
        switch (c) {
        case 'h':
        case 'H':
            options.help = true;
            return false;
        case 'r':
            options.repoEditor = true;
            break;
        case 'l':
            options.log = true;
            break;
        case Version:
            options.version = true;
            return true;
        case DisableRepo:
        case EnableRepo:
            options.repoEnabledList.append(
                YumRepoEnabled(c == EnableRepo, QString::fromLocal8Bit(optarg)));
            break;
        case InstallRootOption:
            // An empty directory (an unset variable in a script) would mean
            // the running system: refuse it rather than work there.
            if (*optarg == '\0') {
                message
                    = printed("%s: option requires an argument: %s\n", program, "--installroot");
                return false;
            }
            options.installRoot
                = QDir::cleanPath(QDir::current().absoluteFilePath(QFile::decodeName(optarg)));
            break;
        default:
            // The letter of a long option given an argument it does not take
            // ("--help=x") is no unknown letter: name the argument as written.
            if (optopt >= DisableRepo && optopt != Version)
                message
                    = printed("%s: option requires an argument: %s\n", program, argv[optind - 1]);
            else if (optopt != 0 && optopt < DisableRepo && optopt != 'h' && optopt != 'r'
                && optopt != 'l') {
                char const letter[2] = {static_cast<char>(optopt), '\0'};
                message = printed("%s: unrecognized option letter: %s\n", program, letter);
            } else
                message = printed("%s: unrecognized option: %s\n", program, argv[optind - 1]);
            return false;
        }
    }
    if (optind < argc) {
        message = printed("%s: unrecognized argument: %s\n", program, argv[optind]);
        return false;
    }
    return true;
}

QByteArray CommandLine::usageText()
{
    QByteArray text = printed("usage: %s [options...]\n", program, "");
    text += "\n"
            "VUX, Vuxtool, is a graphical user interface which allows a user\n"
            "to make modifications to the installed rpm packages on a system.\n"
            "\n"
            "options:\n"
            "\n"
            "   -h, -H, --help           display this help information\n"
            "   -r,     --repo-editor    start by bringing up the repository configuration\n"
            "                            editor\n"
            "   -l,     --log            start with the log window displayed\n"
            "           --disablerepo=r  disable the specified repository, r\n"
            "           --enablerepo=r   enable the specified repository, r\n"
            "           --installroot=d  work on the system installed under directory d\n"
            "           --version        print the version and exit\n"
            "\n";
    return text;
}

void CommandLine::usage()
{
    QByteArray const text = usageText();
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    std::fflush(stdout);
    std::exit(1);
}
