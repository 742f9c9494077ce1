#pragma once

#include "device/core/zbdeviceinfo.h"

#include <QAbstractTableModel>
#include <QList>

// Receiver descriptions with a check box each: the wizard's found receivers and the picker's
// candidates. Column 0 is the name, column 1 the address while it is shown.
class ZBDeviceListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ZBDeviceListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void addDevice(const ZBDeviceInfo &info, bool checked);
    QList<ZBDeviceInfo> devices(bool onlyChecked) const;
    bool hasChecked() const;
    void setAllChecked(bool checked);
    // Unchecks all when any row is checked, else checks all.
    void updateCheckState();
    void clear();

public slots:
    void enableIPColumn(bool enable);

signals:
    void itemCheckStateChanged(const QModelIndex &index);

private:
    QList<bool> m_checked;
    QList<ZBDeviceInfo> m_devices;
    bool m_showIp = true;
};
