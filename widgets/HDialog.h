// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>

// A dialog on which Return and Enter never press the default button, so that
// finishing a field does not close it.
class HDialog : public QDialog
{
public:
    explicit HDialog(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
