// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QMenu>

class QMenuBar;

// A tear-off menu that shows the tool tips set explicitly on its actions,
// also for the actions of an open submenu.
class HMenu : public QMenu
{
public:
    HMenu(QString const& title, QMenuBar* parent = nullptr);

protected:
    bool event(QEvent* event) override;
};
