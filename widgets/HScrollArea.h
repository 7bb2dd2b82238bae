// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QScrollArea>

// A scroll area whose size hint fits its inner widget, up to a bound and up
// to nine tenths of the screen.
class HScrollArea : public QScrollArea
{
public:
    explicit HScrollArea(QWidget* parent = nullptr);
    HScrollArea(QSize const& maxSizeHint, QWidget* parent = nullptr);
    // The bound in text units of the area's font; -1 leaves a direction unbounded.
    HScrollArea(int columns, int lines, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    int frameOnlyAroundContentsPixels() const;
    // Follows a change of the inner widget's content.
    void forceResize();

private:
    QSize maxSizeHint;
};
