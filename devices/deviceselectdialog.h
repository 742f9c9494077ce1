#pragma once

#include "devices/zbdevicelistmodel.h"

#include <QDialog>
#include <QList>

namespace Ui {
class DeviceSelectDialog;
}

// Asks which of several receivers a list file is meant for; "OK" only with at least one checked.
class DeviceSelectDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DeviceSelectDialog(QWidget *parent = nullptr);
    ~DeviceSelectDialog() override;

    void setDevices(const QList<ZBDeviceInfo> &devices);
    QList<ZBDeviceInfo> selectedDevices() const;

    Ui::DeviceSelectDialog *form() const { return ui; }

private slots:
    void onItemChecked(const QModelIndex &index);
    void onAccept();

private:
    Ui::DeviceSelectDialog *ui;
    ZBDeviceListModel model;
};
