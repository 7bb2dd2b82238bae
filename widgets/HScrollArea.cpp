// SPDX-License-Identifier: GPL-2.0-or-later
#include "widgets/HScrollArea.h"

#include "widgets/ScreenBound.h"

#include <QScrollBar>
#include <QStyle>

#include <climits>

HScrollArea::HScrollArea(QWidget* parent)
    : QScrollArea(parent)
    , maxSizeHint(INT_MAX, INT_MAX)
{
}

HScrollArea::HScrollArea(QSize const& maxSizeHint, QWidget* parent)
    : QScrollArea(parent)
    , maxSizeHint(maxSizeHint)
{
}

HScrollArea::HScrollArea(int columns, int lines, QWidget* parent)
    : QScrollArea(parent)
{
    QFontMetrics const metrics(font());
    maxSizeHint.setWidth(
        columns == -1 ? INT_MAX : columns * metrics.horizontalAdvance(QLatin1Char('n')));
    maxSizeHint.setHeight(lines == -1 ? INT_MAX : lines * metrics.height());
}

int HScrollArea::frameOnlyAroundContentsPixels() const
{
    return ScreenBound::frameOnlyAroundContentsPixels(this);
}

QSize HScrollArea::sizeHint() const
{
    QWidget const* inner = widget();
    if (!inner)
        return QScrollArea::sizeHint();
    // Both scroll bars are counted whether shown or not, so that showing one
    // never hides part of the contents.
    int const frame = frameWidth();
    QSize const innerHint = inner->sizeHint();
    int const extra = frameOnlyAroundContentsPixels();
    int const width
        = frame + innerHint.width() + extra + verticalScrollBar()->sizeHint().width() + frame;
    int const height
        = frame + innerHint.height() + extra + horizontalScrollBar()->sizeHint().height() + frame;
    return ScreenBound::bound(this, QSize(width, height).boundedTo(maxSizeHint));
}

void HScrollArea::forceResize()
{
    QWidget* inner = widget();
    if (!inner)
        return;
    inner->resize(inner->sizeHint());
    updateGeometry();
    inner->resize(inner->sizeHint());
}
