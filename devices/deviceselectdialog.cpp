#include "devices/deviceselectdialog.h"

#include "ui_deviceselectdialog.h"

#include <QHeaderView>

DeviceSelectDialog::DeviceSelectDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DeviceSelectDialog)
{
    ui->setupUi(this);
    ui->btnAccept->setEnabled(false);
    model.enableIPColumn(false);
    ui->tvSelectedDevices->setModel(&model);
    ui->tvSelectedDevices->horizontalHeader()->setStretchLastSection(true);
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
