#include "packagetable/PackageTableDescribeDialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace PackageTable {
namespace Describe {

Dialog::Dialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("VUX Package Description"));
    setAttribute(Qt::WA_ShowModal);
    auto* layout = new QVBoxLayout(this);
    areaHolder = new QHBoxLayout;
    layout->addLayout(areaHolder);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    closeButton = new QPushButton(tr("Close"), this);
    closeButton->setObjectName("closeButton");
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

Dialog::~Dialog() = default;

void Dialog::config(YumIO*, Package::Entry const&, YumConfIO*) { }

void Dialog::setVisible(bool visible)
{
    QDialog::setVisible(visible);
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

void Dialog::clearContents() { }

} // namespace Describe
} // namespace PackageTable
