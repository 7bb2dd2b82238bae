// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

class QKeyEvent;
class QWidget;

// Escape hides a secondary top-level window, as it closes a dialog: what
// such a window's key handler asks first; true when the key hid it.
bool escapeHides(QWidget* window, QKeyEvent* event);
