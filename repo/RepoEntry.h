// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

namespace Repo {

// One repository section of yum's configuration, as the configuration reader
// and writer (YumConfIO) and the repository dialogs pass it around.
struct Entry
{
    Entry();

    QString id; // section name; unique among the entries to be written
    QString name; // key "name"
    QString baseurl; // key "baseurl": one URL a line, separated by "\n"
    QString mirrorlist; // key "mirrorlist"
    int enabled; // Qt::CheckState; PartiallyChecked when the key is absent
    int gpgcheck; // Qt::CheckState, same rule
    QString otherOptions; // every other non-empty line, each followed by "\n"
    // The file that holds the section, as yum names it (inside the install
    // root, see YumConfIO::realPath); empty for a new entry.
    QString file;
    double sortPosition; // order of the section within its file, from 1
};

// The position of the first character of id that dnf refuses in a
// repository identifier (it allows ASCII letters, digits and "-_.:"), or -1
// when there is none. dnf skips a section whose identifier it refuses.
qsizetype invalidIdPosition(QString const& id);

} // namespace Repo
