#include "widgets/ScreenBound.h"

#include <QGuiApplication>
#include <QScreen>
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
