#pragma once

#include <QSize>

class QWidget;

namespace ScreenBound {

// Nine tenths of the width and height of the screen the widget is on, in
// integer arithmetic; unbounded when there is no screen at all.
QSize limit(QWidget const* widget);

// The size bounded by limit(widget).
QSize bound(QWidget const* widget, QSize const& size);

} // namespace ScreenBound
