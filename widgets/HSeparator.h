// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QFrame>

// A horizontal rule between groups of a dialog.
class HSeparator : public QFrame
{
public:
    explicit HSeparator(QWidget* parent = nullptr);
};
