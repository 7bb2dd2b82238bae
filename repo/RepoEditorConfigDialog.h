// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "widgets/HDialog.h"

#include <QPalette>

class QLabel;
class QPushButton;
class YumConfIO;

namespace Repo {
struct Entry;
}

namespace RepoEditor {

class Config;

// A push button of the editor's dialogs: text, object name, tool tip, and
// the text as its accessible name.
QPushButton* dialogButton(QString const& text, char const* objectName, QString const& toolTip);

// Edits one repository configuration. The entry given to setEntry() changes
// only when the user presses OK after changing something; the dialog then
// reports Accepted and sets the repository's use in this session from its
// Enabled choice.
class ConfigDialog : public HDialog
{
    Q_OBJECT

public:
    ConfigDialog(YumConfIO* yumConfIO, QWidget* parent);
    ~ConfigDialog() override;

    void setEntry(Repo::Entry* entry);
    void setVisible(bool visible) override;
    void updateStatusLabel();
    void setHasChanged(bool changed);

public slots:
    void changed();
    void reset();
    void cancel();
    void ok();

private:
    QLabel* statusLabel = nullptr;
    QPushButton* resetButton = nullptr;
    QPushButton* okButton = nullptr;
    QString okToolTip;
    Config* config = nullptr;
    QPalette savedStatusPalette;
    YumConfIO* yumConfIO = nullptr;
    Repo::Entry* entry = nullptr;
    bool hasChanged = false;
};

} // namespace RepoEditor
