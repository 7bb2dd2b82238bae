// SPDX-License-Identifier: GPL-2.0-or-later
#include "yumio/Advisory.h"

namespace Package {

int severityRank(QString const& severity)
{
    static char const* const ranks[] = {"low", "moderate", "important", "critical"};
    for (int rank = 0; rank < 4; ++rank) {
        if (severity.compare(QLatin1String(ranks[rank]), Qt::CaseInsensitive) == 0)
            return rank + 1;
    }
    return 0;
}

AdvisoryKind advisoryKind(QString const& type)
{
    if (type == QLatin1String("security"))
        return SecurityAdvisory;
    if (type == QLatin1String("bugfix"))
        return BugfixAdvisory;
    if (type == QLatin1String("enhancement"))
        return EnhancementAdvisory;
    if (type == QLatin1String("newpackage"))
        return NewPackageAdvisory;
    return OtherAdvisory;
}

bool Advisory::morePressing(Advisory const& other) const
{
    if (kind != other.kind)
        return kind > other.kind;
    int const rank = severityRank(severity);
    int const otherRank = severityRank(other.severity);
    if (rank != otherRank)
        return rank > otherRank;
    return updated > other.updated;
}

} // namespace Package
