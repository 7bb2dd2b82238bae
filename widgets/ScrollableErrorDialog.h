// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "widgets/ScrollableMessageDialog.h"

// Shows an error text that may be too long for a message box; "Close" gives
// Accepted.
class ScrollableErrorDialog : public ScrollableMessageDialog
{
public:
    explicit ScrollableErrorDialog(QString const& text, QWidget* parent = nullptr);
};
