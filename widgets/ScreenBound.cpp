// SPDX-License-Identifier: GPL-2.0-or-later
#include "widgets/ScreenBound.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <climits>

QSize ScreenBound::limit(QWidget const* widget)
{
    QScreen const* screen = widget ? widget->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QSize(INT_MAX, INT_MAX);
    QRect const geometry = screen->geometry();
    return QSize(geometry.width() * 9 / 10, geometry.height() * 9 / 10);
}

QSize ScreenBound::bound(QWidget const* widget, QSize const& size)
{
    return size.boundedTo(limit(widget));
}

int ScreenBound::frameOnlyAroundContentsPixels(QWidget const* scrollView)
{
    QStyle const* style = scrollView->style();
    if (style->styleHint(QStyle::SH_ScrollView_FrameOnlyAroundContents, nullptr, scrollView))
        return 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);
    return 0;
}
