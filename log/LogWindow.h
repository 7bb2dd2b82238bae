// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "log/Log.h"

#include <QWidget>

class HTextEdit;
class QSpinBox;

namespace Log {

// The "VUX Log" window: renders the entries of a list up to a chosen detail
// level as coloured rich text and follows new entries while it is shown. A
// hidden window keeps no rendered text and costs no rendering.
class Window : public QWidget
{
    Q_OBJECT

public:
    // The window is always top-level; parent is accepted for the caller's
    // convenience and not used, so the caller deletes the window.
    explicit Window(Log::EntryList& entries, QWidget* parent = nullptr);

    void setVisible(bool visible) override;

    // Makes a plain line safe for rich text in place: angle brackets, blanks
    // and tabs become character references. An ampersand is left alone, so
    // an entity already in the line shows as its character.
    static void htmlProtect(QString& text);
    // The rich-text paragraph of one entry, by kind.
    static QString render(Log::Entry const& entry);

protected slots:
    // Renders the entries added since the last call.
    void appended();
    void levelChanged(int level);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void clearDisplay();

    Log::EntryList& entries;
    QSpinBox* levelBox;
    HTextEdit* textEdit;
    int shownCount = 0;
    bool following = false; // connected to the list while shown
};

} // namespace Log
