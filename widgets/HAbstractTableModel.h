// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QAbstractTableModel>

// Base of the program's table models.
class HAbstractTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit HAbstractTableModel(QObject* parent = nullptr);

    // Resets the model so every proxy and view drops its mapping and reads
    // the model anew.
    void forceSortColumnRediscovery();
};
