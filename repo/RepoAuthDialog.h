// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>
#include <QEventLoop>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Repo {
struct Entry;
}

namespace RepoAuth {

// The credential prompt of the checker. It stays on screen from the first
// prompt to the end of the check; each prompt blocks in exec() until a
// button ends it, and the answer is then result():
//   0 Skip All, 1 OK, 2 Apply to All, 3 Apply to All with this Host,
//   4 Disable for Session, 5 Quit.
// OK and both Apply buttons have written the credentials into the entry's
// URLs by then.
class Dialog : public QDialog
{
    Q_OBJECT

public:
    enum Answer { SkipAll = 0, Ok = 1, ApplyAll = 2, ApplyHost = 3, Disable = 4, Quit = 5 };

    explicit Dialog(QWidget* parent = nullptr);

    using QDialog::exec;
    int exec(Repo::Entry* entry);
    // Whether a prompt is waiting for an answer.
    bool isPrompting() const { return entry != nullptr; }

    void done(int result) override;
    void setVisible(bool visible) override;
    QSize sizeHint() const override;

private slots:
    void authChanged(QString const& text);
    void handleQuit();
    void handleDisable();
    void handleSkipAll();
    void handleApplyAll();
    void handleApplyHost();
    void handleOK();

private:
    QChar passwordCharacter() const;
    void showUrls(QString const& urls, QString const& mirrorList);
    void setUrls();
    void finish(int result, bool takeCredentials);
    QLabel* addRow(QGridLayout* grid, int row, QString const& key, char const* name);
    QPushButton* addButton(QHBoxLayout* row, QString const& text, char const* name);

    QLabel* idLabel;
    QLabel* nameLabel;
    QLabel* urlsLabel;
    QLabel* mirrorListLabel;
    QLabel* nameKeyLabel;
    QLineEdit* nameEdit;
    QLabel* passwordKeyLabel;
    QLineEdit* passwordEdit;
    QPushButton* quitButton;
    QPushButton* disableButton;
    QPushButton* skipAllButton;
    QPushButton* applyAllButton;
    QPushButton* applyHostButton;
    QPushButton* okButton;
    Repo::Entry* entry = nullptr;
    QEventLoop loop;
    // Whether showing took the busy cursor off the application's stack, so
    // hiding puts it back and the stack stays balanced.
    bool cursorTaken = false;
};

} // namespace RepoAuth
