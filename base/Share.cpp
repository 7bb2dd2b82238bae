// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/Share.h"

#include <cstdlib>

QString Share::absolute(QString const& relative)
{
    // An empty VUXSHARE is still "set": the path then starts at the root.
    // Without it, the share directory is where this build is installed.
    char const* env = std::getenv("VUXSHARE");
    QString const dir = env ? QString::fromLocal8Bit(env) : QStringLiteral(VUX_DEFAULT_SHARE_DIR);
    return QStringLiteral("%1/%2").arg(dir, relative);
}

QString Share::documentDirectory()
{
    char const* env = std::getenv("VUXDOC");
    return env && *env ? QString::fromLocal8Bit(env) : QStringLiteral(VUX_DOC_DIR);
}
