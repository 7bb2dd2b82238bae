#include "repo/RepoBrowse.h"

#include "repo/RepoEntry.h"

void RepoBrowse::browse(QWidget*, Repo::Entry const&, YumIO*) { }

void RepoBrowse::browse(QWidget*, QString const&, YumIO*, YumConfIO*) { }

QString RepoBrowse::firstUrl(Repo::Entry const&)
{
    return QString();
}
