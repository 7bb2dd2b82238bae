// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QItemDelegate>

// An item delegate that never wraps cell text onto several lines.
class HItemDelegate : public QItemDelegate
{
public:
    explicit HItemDelegate(QObject* parent = nullptr);

protected:
    void drawDisplay(QPainter* painter, QStyleOptionViewItem const& option, QRect const& rect,
        QString const& text) const override;
};
