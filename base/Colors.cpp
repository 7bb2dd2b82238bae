// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/Colors.h"

#include <QColor>
#include <QObject>

QString Colors::required()
{
    return QObject::tr("#fffacd");
}

QString Colors::action()
{
    return QObject::tr("blue");
}

QString Colors::error()
{
    return QObject::tr("red");
}

QString Colors::errorDisabled()
{
    return QObject::tr("#ffa9b8");
}

QString Colors::warning()
{
    return QObject::tr("darkorange");
}

QString Colors::minor()
{
    return QObject::tr("#8b5a2b");
}

QString Colors::minorDisabled()
{
    return QObject::tr("#ffbd94");
}

QString Colors::ok()
{
    return QObject::tr("green");
}

namespace {

QPalette withWindowText(QPalette palette, QColor const& color)
{
    palette.setColor(QPalette::WindowText, color);
    return palette;
}

} // namespace

QPalette Colors::makeRequired(QPalette const& palette)
{
    static QColor const color(required());
    QPalette result(palette);
    result.setColor(QPalette::Active, QPalette::Base, color);
    result.setColor(QPalette::Inactive, QPalette::Base, color);
    return result;
}

QPalette Colors::makeError(QPalette const& palette)
{
    static QColor const color(error());
    return withWindowText(palette, color);
}

QPalette Colors::makeWarning(QPalette const& palette)
{
    static QColor const color(warning());
    return withWindowText(palette, color);
}

QPalette Colors::makeOK(QPalette const& palette)
{
    static QColor const color(ok());
    return withWindowText(palette, color);
}
