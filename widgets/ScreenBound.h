// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QSize>

class QWidget;

namespace ScreenBound {

// Nine tenths of the width and height of the screen the widget is on, in
// integer arithmetic; unbounded when there is no screen at all.
QSize limit(QWidget const* widget);

// The size bounded by limit(widget).
QSize bound(QWidget const* widget, QSize const& size);

// Twice the style's frame width when the style draws a scroll view's frame
// around its contents only (the scroll bars then sit outside it), else 0.
int frameOnlyAroundContentsPixels(QWidget const* scrollView);

} // namespace ScreenBound
