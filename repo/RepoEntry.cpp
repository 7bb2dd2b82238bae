// SPDX-License-Identifier: GPL-2.0-or-later
#include "repo/RepoEntry.h"

#include <Qt>

Repo::Entry::Entry()
    : enabled(Qt::PartiallyChecked)
    , gpgcheck(Qt::PartiallyChecked)
    , sortPosition(0)
{
}

qsizetype Repo::invalidIdPosition(QString const& id)
{
    for (qsizetype i = 0; i < id.size(); ++i) {
        char16_t const c = id.at(i).unicode();
        bool const allowed = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')
            || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_' || c == u'.' || c == u':';
        if (!allowed)
            return i;
    }
    return -1;
}
