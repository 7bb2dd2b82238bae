#include "repo/RepoEntry.h"

#include <Qt>

Repo::Entry::Entry()
    : enabled(Qt::PartiallyChecked)
    , gpgcheck(Qt::PartiallyChecked)
    , sortPosition(0)
{
}
