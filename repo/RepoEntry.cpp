// SPDX-License-Identifier: GPL-2.0-or-later
#include "repo/RepoEntry.h"

#include <Qt>

Repo::Entry::Entry()
    : enabled(Qt::PartiallyChecked)
    , gpgcheck(Qt::PartiallyChecked)
    , sortPosition(0)
{
}
