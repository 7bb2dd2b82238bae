// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableDescribeDialog.h"

#include "packagetable/PackageTableDescribeInstanceArea.h"
#include "widgets/DescriptionLabels.h"
#include "widgets/HSeparator.h"
#include "yumio/Package.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace PackageTable {
namespace Describe {

Dialog::Dialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("describeDialog"));
    setWindowTitle(tr("VUX Package Description"));
    setAttribute(Qt::WA_ShowModal);
    auto* layout = new QVBoxLayout(this);
    areaHolder = new QHBoxLayout;
    layout->addLayout(areaHolder);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    closeButton = new QPushButton(tr("Close"), this);
    closeButton->setObjectName(QStringLiteral("describeCloseButton"));
    closeButton->setDefault(true);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

Dialog::~Dialog() = default;

void Dialog::config(YumIO* yumIO, Package::Entry const& entry, YumConfIO* yumConfIO)
{
    clearContents();
    contents = new QWidget(this);
    contents->setObjectName(QStringLiteral("describeContents"));
    auto* layout = new QVBoxLayout(contents);
    layout->setContentsMargins(0, 0, 0, 0);

    DescriptionLabels::addTitle(layout, entry.name, contents)
        ->setObjectName(QStringLiteral("title"));

    areas.append(new Instance::Area(this, layout, yumIO, entry, yumConfIO, true));
    for (Package::Entry const* older = entry.next; older; older = older->next) {
        layout->addWidget(new HSeparator(contents));
        areas.append(new Instance::Area(this, layout, yumIO, *older, yumConfIO, false));
    }
    areaHolder->addWidget(contents);
}

void Dialog::updateButtons()
{
    for (Instance::Area* area : std::as_const(areas))
        area->updateButtons();
}

void Dialog::setVisible(bool visible)
{
    if (!visible)
        clearContents();
    QDialog::setVisible(visible);
}

// Every description starts afresh. While an area waits for extra data, its
// widgets are still on the call stack: they go once that wait is over.
void Dialog::clearContents()
{
    if (!contents)
        return;
    areaHolder->removeWidget(contents);
    contents->hide();
    if (ready) {
        delete contents;
        qDeleteAll(areas);
    } else {
        contents->deleteLater();
        for (Instance::Area* area : std::as_const(areas))
            area->deleteLater();
    }
    contents = nullptr;
    areas.clear();
}

void Dialog::setReady(bool value)
{
    ready = value;
    closeButton->setEnabled(value);
}

void Dialog::done(int result)
{
    if (ready)
        QDialog::done(result);
}

void Dialog::closeEvent(QCloseEvent* event)
{
    if (ready)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

} // namespace Describe
} // namespace PackageTable
