// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QPalette>
#include <QString>

// The fixed colour vocabulary of the program: translatable colour names and
// palette builders for status labels and required fields.
class Colors
{
public:
    static QString required();
    static QString action();
    static QString error();
    static QString errorDisabled();
    static QString warning();
    static QString minor();
    static QString minorDisabled();
    static QString ok();

    // Base role of the active and inactive groups in the required colour.
    static QPalette makeRequired(QPalette const& palette);
    // Window text of every colour group in the error, warning or ok colour.
    static QPalette makeError(QPalette const& palette);
    static QPalette makeWarning(QPalette const& palette);
    static QPalette makeOK(QPalette const& palette);
};
