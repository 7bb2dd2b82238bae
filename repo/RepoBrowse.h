#pragma once

#include <QString>

class QWidget;
class YumConfIO;
class YumIO;

namespace Repo {
struct Entry;
}

// Opens a repository's first URL, with yum's variables filled in, through
// the share directory's webbrowser program.
class RepoBrowse
{
public:
    RepoBrowse() = delete;

    static void browse(QWidget* parent, Repo::Entry const& entry, YumIO* yumIO);
    // The first configured repository with this identifier; a message when
    // there is none.
    static void browse(QWidget* parent, QString const& repoId, YumIO* yumIO, YumConfIO* yumConfIO);

    // The URL browse() opens for entry, before yum's variables are filled
    // in; empty when the entry has none.
    static QString firstUrl(Repo::Entry const& entry);
};
