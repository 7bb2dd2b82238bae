// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "widgets/ScrollableMessageDialog.h"

// Asks to confirm a text that may be too long for a message box: "OK" gives
// Accepted, "Cancel", Escape or closing give Rejected.
class ScrollableConfirmDialog : public ScrollableMessageDialog
{
public:
    explicit ScrollableConfirmDialog(QString const& text, QWidget* parent = nullptr);
};
