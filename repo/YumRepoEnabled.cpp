// SPDX-License-Identifier: GPL-2.0-or-later
#include "repo/YumRepoEnabled.h"

// The converted wildcard pattern is anchored at both ends, so it must match
// the whole identifier: "updates*" does not match "my-updates".
YumRepoEnabled::YumRepoEnabled(bool enabled, QString const& pattern)
    : enabled(enabled)
    , pattern(QRegularExpression::wildcardToRegularExpression(pattern))
{
}

bool YumRepoEnabled::matches(QString const& id) const
{
    return pattern.match(id).hasMatch();
}
