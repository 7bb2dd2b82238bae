// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/Fonts.h"

#include <QObject>

QFont Fonts::makeHeader(QFont const& font)
{
    QFont result(font);
    result.setFixedPitch(false);
    result.setFamily(QObject::tr("Helvetica"));
    result.setWeight(QFont::Bold);
    // A font has either a pixel size or a point size; the other reads -1.
    if (font.pixelSize() != -1)
        result.setPixelSize(font.pixelSize() * 3 / 2);
    else if (font.pointSize() != -1)
        result.setPointSize(font.pointSize() * 3 / 2);
    return result;
}

QFont Fonts::makeFixed(QFont const& font)
{
    QFont result(font);
    result.setFixedPitch(true);
    result.setFamily(QObject::tr("Courier"));
    return result;
}

QFont Fonts::makeBold(QFont const& font)
{
    QFont result(font);
    result.setWeight(QFont::Bold);
    return result;
}
