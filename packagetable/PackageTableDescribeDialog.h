// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>
#include <QList>

class QCloseEvent;
class QHBoxLayout;
class QPushButton;
class YumConfIO;
class YumIO;

namespace Package {
struct Entry;
}

namespace PackageTable {
namespace Describe {

namespace Instance {
class Area;
}

// Everything known about one entry of the package table: one area for the
// entry and one for each installed version chained behind an update. Created
// once and reused; every description starts from fresh contents.
class Dialog : public QDialog
{
    Q_OBJECT

public:
    explicit Dialog(QWidget* parent = nullptr);
    ~Dialog() override;

    void config(YumIO* yumIO, Package::Entry const& entry, YumConfIO* yumConfIO);

    void setVisible(bool visible) override;
    // False while an area loads extra data: the dialog cannot be closed then.
    void setReady(bool ready);
    bool isReady() const { return ready; }
    // Every area's buttons follow the extra data loaded so far.
    void updateButtons();
    QList<Instance::Area*> const& instanceAreas() const { return areas; }

public slots:
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void clearContents();

    QHBoxLayout* areaHolder = nullptr;
    QWidget* contents = nullptr;
    QList<Instance::Area*> areas;
    bool ready = true;
    QPushButton* closeButton = nullptr;
};

} // namespace Describe
} // namespace PackageTable
