// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "repo/RepoEntry.h"
#include "widgets/HDialog.h"

#include <QHash>
#include <QModelIndex>
#include <QPalette>
#include <functional>

class QLabel;
class QPushButton;
class YumConfIO;
class YumIO;

namespace RepoEditor {

class ConfigDialog;
class Model;
class View;

// The repository editor: every configured repository with its session and
// permanent switches; add, copy, edit and remove configurations; write them
// back on Apply or OK. Each opening starts from a fresh read of the files.
// Closing reports reposChanged() when something that matters to the package
// lists changed (or always, with forceReposChanged).
class Dialog : public HDialog
{
    Q_OBJECT

public:
    Dialog(YumIO* yumIO, YumConfIO* yumConfIO, QWidget* parent);

    bool forceReposChanged = false;

    // What the status line says, the first that applies; duplicate names the
    // repeated identifier.
    enum Status { NoIdentifier, DuplicateIdentifier, UnappliedChanges };
    static QString statusText(Status status, QString const& duplicate = QString());

    // The modal run; ends at once, rejected, when the files cannot be read.
    int exec() override;

signals:
    void reposChanged();

public slots:
    void setVisible(bool visible) override;
    void currentChanged(int currentRow, int previousRow);
    void useChanged();
    void configChanged();
    void browse();
    void edit();
    void edit(QModelIndex const& ix);
    void add();
    void copy();
    void remove();
    void resetAll();
    void reset();
    void cancel();
    bool apply();
    void ok();

private:
    void updateStatusLabel();
    bool hasEmptyId() const;
    QString getDuplicateId() const;
    void setEntryToOldId(QString const& id);
    void setConfigHasChanged(bool changed);
    void updateButtons();
    void addEntry(Repo::Entry entry);
    bool openFresh();
    void keepingCurrent(std::function<void()> const& change);

    QWidget* parentWidget = nullptr;
    Model* model = nullptr;
    View* view = nullptr;
    ConfigDialog* configDialog = nullptr;
    QPushButton* browseButton = nullptr;
    QPushButton* editButton = nullptr;
    QPushButton* copyButton = nullptr;
    QPushButton* removeButton = nullptr;
    QPushButton* resetAllButton = nullptr;
    QPushButton* applyButton = nullptr;
    QLabel* statusLabel = nullptr;
    QPalette savedStatusPalette;
    YumIO* yumIO = nullptr;
    YumConfIO* yumConfIO = nullptr;
    QHash<QString, bool> savedSessionUse;
    bool sessionUseChanged = false;
    bool configHasChanged = false;
    bool applied = false;
    bool openedByExec = false;
};

} // namespace RepoEditor
