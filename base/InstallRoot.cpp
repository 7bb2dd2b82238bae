// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/InstallRoot.h"

namespace {
QString& root()
{
    static QString value;
    return value;
}
} // namespace

QString const& InstallRoot::path()
{
    return root();
}

void InstallRoot::set(QString const& dir)
{
    QString value = dir;
    while (value.size() > 1 && value.endsWith(QLatin1Char('/')))
        value.chop(1);
    if (value == QLatin1String("/"))
        value.clear();
    root() = value;
}

QString InstallRoot::inside(QString const& absolutePath)
{
    if (root().isEmpty())
        return absolutePath;
    return root() + absolutePath;
}
