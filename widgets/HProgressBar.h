// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QProgressBar>

// A progress bar that shows an activity text beside its percentage.
class HProgressBar : public QProgressBar
{
public:
    explicit HProgressBar(QWidget* parent = nullptr);

    QString activity() const { return current; }
    void setActivity(QString const& activity);
    // Clears the activity as well as the value.
    void reset();

    QString text() const override;

private:
    QString current;
};
