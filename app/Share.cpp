#include "app/Share.h"

#include <cstdlib>

QString Share::absolute(QString const& relative)
{
    // An empty VUXSHARE is still "set": the path then starts at the root.
    char const* env = std::getenv("VUXSHARE");
    QString const dir = env ? QString::fromLocal8Bit(env) : QStringLiteral("/usr/share/vux");
    return QStringLiteral("%1/%2").arg(dir, relative);
}
