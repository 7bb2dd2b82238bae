// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "repo/RepoEntry.h"

#include <QObject>

class HTextEdit;
class PasswdLineEdit;
class PasswdTextEdit;
class QComboBox;
class QDoubleSpinBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;
class YumConfIO;

namespace RepoEditor {

// The form of one repository configuration. It creates its widgets in the
// grid it is given (the dialog owns them through the grid's widget) and keeps
// the larder credential fields and the URL fields in step: credentials shown
// decoded in their own fields, and carried, encoded, in every larder URL.
class Config : public QObject
{
    Q_OBJECT

public:
    explicit Config(QGridLayout* grid);

    // The main section's defaults, shown on the "Default" items.
    void setDefaults(bool enabled, bool gpgcheck);
    // Empties and disables every field.
    void disable();
    void setEntry(Repo::Entry const& entry);
    Repo::Entry toEntry() const;
    // What setStatus() reports, the first that applies.
    enum Problem {
        NoIdentifier,
        NoUrls,
        OutsideReposDirs,
        NoRepoSuffix,
        NoLarderName,
        NoLarderPassword,
    };
    static QString problemText(Problem problem);
    // Puts the first problem of the form into label (text and palette);
    // false when there is none to report.
    bool setStatus(YumConfIO const* conf, QLabel* label) const;
    // Why the form must not be accepted (an identifier dnf would refuse), or
    // an empty text. An identifier as it was read is kept whatever it holds:
    // dnf may accept it once its variables ($releasever) are substituted.
    QString refusal() const;

    QWidget* firstField() const;

signals:
    void changed();

public slots:
    void authChanged(QString const& text);
    void urlChanged();
    void urlChanged(QString const& text);
    void valueChanged();
    void valueChanged(int state);
    void valueChanged(QString const& text);

private:
    void showAuth(Repo::Entry const& entry);
    QList<QWidget*> inputs() const;

    bool loading = false;
    QString loadedId; // the identifier setEntry() was given
    QLineEdit* idEdit = nullptr;
    QLineEdit* nameEdit = nullptr;
    PasswdTextEdit* urlsEdit = nullptr;
    PasswdLineEdit* mirrorEdit = nullptr;
    QLabel* larderNameLabel = nullptr;
    QLineEdit* larderNameEdit = nullptr;
    QLabel* larderPasswordLabel = nullptr;
    QLineEdit* larderPasswordEdit = nullptr;
    QComboBox* enabledBox = nullptr;
    QComboBox* gpgcheckBox = nullptr;
    HTextEdit* otherEdit = nullptr;
    QLineEdit* fileEdit = nullptr;
    QDoubleSpinBox* sortBox = nullptr;
};

} // namespace RepoEditor
