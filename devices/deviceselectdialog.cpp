#include "devices/deviceselectdialog.h"

#include "ui_deviceselectdialog.h"

#include <QHeaderView>

DeviceSelectDialog::DeviceSelectDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DeviceSelectDialog)
{
    ui->setupUi(this);
    ui->btnAccept->setEnabled(false);
    // The address beside the name: two receivers may carry the same name.
    model.enableIPColumn(true);
    ui->tvSelectedDevices->setModel(&model);
    QHeaderView *header = ui->tvSelectedDevices->horizontalHeader();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    connect(&model, &ZBDeviceListModel::itemCheckStateChanged, this, &DeviceSelectDialog::onItemChecked);
    connect(ui->btnAccept, &QPushButton::pressed, this, &DeviceSelectDialog::onAccept);
    connect(ui->btnCancel, &QPushButton::pressed, this, &QDialog::reject);
}

DeviceSelectDialog::~DeviceSelectDialog()
{
    // The view lets go of the model before the model goes.
    ui->tvSelectedDevices->setModel(nullptr);
    delete ui;
}

void DeviceSelectDialog::setDevices(const QList<ZBDeviceInfo> &devices)
{
    for (const ZBDeviceInfo &info : devices)
        model.addDevice(info, false);
}

QList<ZBDeviceInfo> DeviceSelectDialog::selectedDevices() const
{
    return model.devices(true);
}

void DeviceSelectDialog::onItemChecked(const QModelIndex &)
{
    ui->btnAccept->setEnabled(model.hasChecked());
}

void DeviceSelectDialog::onAccept()
{
    ui->lblCaption->setText(tr("Opening file..."));
    accept();
}
