// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "repo/YumRepoEnabled.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

// What the command line asks for once the toolkit has taken its own options.
struct CommandLineOptions
{
    bool help = false;
    bool repoEditor = false;
    bool log = false;
    bool version = false; // print the version and end
    QList<YumRepoEnabled> repoEnabledList;
    QString installRoot;
};

namespace CommandLine {

// Parses the options. False means the program must print the usage text and
// end with status 1: after --help, or after an error whose one-line message
// (to be written to standard error first) is left in message.
bool parse(int argc, char** argv, CommandLineOptions& options, QByteArray& message);

// argv without the options the toolkit takes for itself (such as "-style
// fusion" or "-platform xcb"), null-terminated, so that the command line can
// be answered before the toolkit is started.
std::vector<char*> withoutToolkitOptions(int argc, char** argv);

// The usage text, as written to standard output.
QByteArray usageText();

// Writes the usage text and ends the process with status 1.
[[noreturn]] void usage();

} // namespace CommandLine
