// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "yumio/History.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class YumIO;

namespace History {

// The "VUX History" window: the package manager's transactions, newest
// first, each expanding to its packages, with Undo and Roll Back to. The
// window only asks; the main window runs the operation (operationRequested)
// as it applies marks.
class Window : public QWidget
{
    Q_OBJECT

public:
    // The window is always top-level; parent is accepted for the caller's
    // convenience and not used, so the caller deletes the window.
    explicit Window(YumIO* yumIO, QWidget* parent = nullptr);

    // Reads the transactions again (every time the window is shown too).
    void reload();
    // Off while the main window runs a command.
    void setCommandsEnabled(bool enabled);
    void setVisible(bool visible) override;
    QSize sizeHint() const override;

    // The transaction of the current row (a package row's transaction), 0
    // for none.
    int currentTransaction() const;

signals:
    void operationRequested(History::Operation operation, int id);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void expand(QTreeWidgetItem* item);
    void updateButtons();
    void undo();
    void rollBack();

private:
    QTreeWidgetItem* currentTop() const;

    YumIO* yumIO;
    QTreeWidget* tree;
    QLabel* status;
    QPushButton* undoButton;
    QPushButton* rollBackButton;
    QPushButton* refreshButton;
    bool commandsEnabled = true;
    int newest = 0; // the id of the newest transaction
};

} // namespace History
