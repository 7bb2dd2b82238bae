// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QLabel>

namespace PackageTable {

class Model;

// The counts under the table: the packages of the views Updatable (with
// how many have a security advisory), Removable (every installed package,
// updatable or not) and Installable, the entries marked and what the marked
// installs and updates download. Kept up to date with the model; groups
// are counted only when marked, as the table shows them only on request.
class StatusLine : public QLabel
{
    Q_OBJECT

public:
    struct Counts
    {
        int updatable = 0;
        int security = 0;
        int installed = 0;
        int available = 0;
        int marked = 0;
        quint64 download = 0;
    };

    explicit StatusLine(Model* model, QWidget* parent = nullptr);

    // The counts of the model as it is now.
    Counts counts() const;
    // Brings the text up to date at once (it follows changes on its own,
    // once per turn of the event loop).
    void refresh();

private:
    void schedule();

    Model* model;
    bool scheduled = false;
};

} // namespace PackageTable
