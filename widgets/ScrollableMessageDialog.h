// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>
#include <QStyle>

class HScrollArea;
class QHBoxLayout;
class QLabel;
class QPushButton;

// Common layout of the scrollable message dialogs: a standard icon beside a
// frameless scroll area holding the text, and a centred row of buttons.
class ScrollableMessageDialog : public QDialog
{
protected:
    ScrollableMessageDialog(QString const& text, QStyle::StandardPixmap icon, QWidget* parent);

    // Adds a button to the centred row.
    QPushButton* addButton(QString const& text, QString const& objectName);

    QLabel* textLabel;

private:
    QHBoxLayout* buttons;
};
