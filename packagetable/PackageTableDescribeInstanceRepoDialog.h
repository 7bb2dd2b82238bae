// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "repo/RepoEntry.h"

#include <QDialog>

class QHBoxLayout;
class YumIO;

namespace PackageTable {
namespace Describe {
namespace Instance {

// The configuration of the repository a package comes from, with a button
// that opens the repository in a web browser.
class RepoDialog : public QDialog
{
    Q_OBJECT

public:
    RepoDialog(YumIO* yumIO, QWidget* parent = nullptr);

    void config(Repo::Entry const& entry);
    void setVisible(bool visible) override;

public slots:
    void browse();

private:
    YumIO* yumIO;
    // A copy: the configuration's list may be read again while this
    // dialog is kept.
    Repo::Entry repo;
    bool hasRepo = false;
    QHBoxLayout* areaHolder;
    QWidget* contents = nullptr;
};

} // namespace Instance
} // namespace Describe
} // namespace PackageTable
