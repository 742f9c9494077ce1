#pragma once

#include "devices/devicetreenode.h"

#include <QAbstractItemModel>
#include <QList>

class ZBDeviceCollection;
class ZBDeviceInfo;

// The receiver tree of the main window: one top-level row per known receiver with one child row per
// module page it offers (TV, radio, link lists, media explorer). While no receiver is known a single
// row "No devices found" is shown that cannot be selected. Receivers are referred to by their
// collection id, module rows by their module type.
class ZBDeviceItemModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    // A receiver's name or any other text for a tool tip, shown as it stands even when it looks like markup.
    static QString plainToolTip(const QString &text);

    explicit ZBDeviceItemModel(QObject *parent = nullptr);
    ~ZBDeviceItemModel() override;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &index) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void rebuild(const ZBDeviceCollection *collection);
    void clear();
    void addDevice(const ZBDeviceInfo *info);
    void addModuleNode(quint32 deviceId, int moduleType);
    void removeDevice(quint32 deviceId);
    void setDeviceName(quint32 deviceId, const QString &name);
    void updateDeviceState(quint32 deviceId, int state);

    QModelIndex indexFor(quint32 deviceId, int moduleType) const;
    QModelIndex firstIndex() const;
    bool isEmpty() const;
    int moduleTypeAt(const QModelIndex &index) const;
    quint32 deviceIdAt(const QModelIndex &index) const;
    void markItem(quint32 deviceId, int moduleType);
    void unmarkItem(const QModelIndex &index);
    bool isMarked(const QModelIndex &index) const;

    QList<quint32> deviceIds() const { return m_deviceIds; }

public slots:
    void refresh();

private:
    DeviceTreeNode *nodeAt(const QModelIndex &index) const;
    QModelIndex indexOfNode(const DeviceTreeNode *node) const;
    DeviceTreeNode *deviceNode(quint32 deviceId) const;
    void clearRows();
    void appendDeviceRow(const ZBDeviceInfo *info, bool announce);
    void appendModuleRow(DeviceTreeNode *device, int moduleType, bool announce);
    void addPlaceholder(bool announce);
    bool placeholderOnly() const;
    void emitRowChanged(const DeviceTreeNode *node);
    void setStateRecursive(DeviceTreeNode *node, int state);

    DeviceTreeNode m_root;
    QList<quint32> m_deviceIds; // parallel to the root's children
};
