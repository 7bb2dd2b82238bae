// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QFont>

// Font builders; each returns a modified copy of the given font.
class Fonts
{
public:
    // Proportional, bold, one and a half times the size (integer arithmetic).
    static QFont makeHeader(QFont const& font);
    static QFont makeFixed(QFont const& font);
    static QFont makeBold(QFont const& font);
};
