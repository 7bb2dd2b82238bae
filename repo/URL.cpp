// SPDX-License-Identifier: GPL-2.0-or-later
#include "repo/URL.h"

QString URL::getHost(QString const& url)
{
    qsizetype const colon = url.indexOf(QLatin1Char(':'));
    if (colon < 0 || url.mid(colon + 1, 2) != QLatin1String("//"))
        return QString();
    qsizetype const start = colon + 3;
    qsizetype const slash = url.indexOf(QLatin1Char('/'), start);
    return slash < 0 ? url.mid(start) : url.mid(start, slash - start);
}
