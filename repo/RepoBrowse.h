// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QCoreApplication>
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
    Q_DECLARE_TR_FUNCTIONS(RepoBrowse)

public:
    RepoBrowse() = delete;

    static void browse(QWidget* parent, Repo::Entry const& entry, YumIO* yumIO);
    // The first configured repository with this identifier; the no-URL
    // message when there is none.
    static void browse(QWidget* parent, QString const& repoId, YumIO* yumIO, YumConfIO* yumConfIO);

    // The URL browse() opens for entry, before yum's variables are filled
    // in: the first of baseurl, else the mirror list; empty when there is
    // neither.
    static QString firstUrl(Repo::Entry const& entry);
    // url with $basearch, $arch and $releasever replaced by the engine's
    // values; other variables stay.
    static QString substitute(QString url, YumIO* yumIO);

private:
    static void noUrl(QWidget* parent);
};
