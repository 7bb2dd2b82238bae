// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "yumio/Advisory.h"

#include <QList>
#include <QObject>
#include <QString>

class HScrollArea;
class QBoxLayout;
class QGridLayout;
class QPushButton;
class QWidget;
class TextDialog;
class YumConfIO;
class YumIO;

namespace Package {
struct Entry;
}

namespace PackageTable {
namespace Describe {

class Dialog;

namespace Instance {

class RepoDialog;

// One version of an entry in the description dialog: a label/value grid in
// a bounded scroll area, with buttons that show the file list and change
// log (loading the repositories' extra data first when needed) and, for the
// primary area of a package, the packages that require it; for the primary
// area of a repository package, the repository's configuration, and for an
// update its advisories.
class Area : public QObject
{
    Q_OBJECT

public:
    Area(Dialog* dialog, QBoxLayout* contentLayout, YumIO* yumIO, Package::Entry const& entry,
        YumConfIO* yumConfIO, bool primary);

    // The buttons name what they show and whether extra data must be loaded
    // first.
    void updateButtons();

    QWidget* widget() const;
    QPushButton* filesButton() const { return files.button; }
    QPushButton* changeLogButton() const { return changeLog.button; }
    QPushButton* repoButton() const { return repo; }
    QPushButton* requiredByButton(bool installed) const
    {
        return installed ? requiredByInstalled : requiredByAvailable;
    }

public slots:
    void handleRepo();
    void handleFiles();
    void handleChangeLog();
    // The installed (else the available) packages that need this one, in a
    // text window.
    void handleRequiredBy(bool installed);
    // Opens the web page of an advisory's reference (link "N:M": advisory
    // N, reference M) when it is an http or https URL.
    void handleReference(QString const& link);

private:
    struct Button
    {
        QString text;
        QString label;
        QPushButton* button = nullptr;
        int row = -1;
    };

    void addPackageRows(bool primary);
    void addGroupRows();
    void addHeader(QString const& text);
    void addPair(QString const& label, QString const& value);
    Button addButton(QString const& label, QString const& buttonText);
    Button addPairButton(QString const& label, QString const& value, QString const& buttonText);
    void addKey(QString const& label, QWidget* value);
    void addAdvisories();
    void addRequiredBy();
    void showTextDialog(QString const& title, QString const& text);
    static void updateButton(Button const& button, bool loaded);
    void showText(bool fileList);

    Dialog* dialog;
    YumIO* yumIO;
    Package::Entry const* entry;
    YumConfIO* yumConfIO;
    QWidget* parentWidget;
    RepoDialog* repoDialog = nullptr;
    TextDialog* textDialog = nullptr;
    HScrollArea* scrollArea;
    QWidget* contents;
    QGridLayout* grid;
    int row = 0;
    Button files;
    Button changeLog;
    QPushButton* repo = nullptr;
    QPushButton* requiredByInstalled = nullptr;
    QPushButton* requiredByAvailable = nullptr;
    QList<Package::Advisory> advisories;
};

} // namespace Instance
} // namespace Describe
} // namespace PackageTable
