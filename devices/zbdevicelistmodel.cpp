#include "devices/zbdevicelistmodel.h"

ZBDeviceListModel::ZBDeviceListModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

int ZBDeviceListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_devices.size());
}

int ZBDeviceListModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_showIp ? 2 : 1;
}

QVariant ZBDeviceListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_devices.size())
        return QVariant();
    const ZBDeviceInfo &info = m_devices.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        if (index.column() == 0) {
            if (!info.givenName().isEmpty())
                return info.givenName();
            if (!info.shareName().isEmpty() && info.shareName() != info.name())
                return QStringLiteral("%1 (%2)").arg(info.shareName(), info.name());
            return info.name();
        }
        if (index.column() == 1)
            return info.ip().isNull() ? QString() : info.ip().toString();
        return QVariant();
    }
    if (role == Qt::CheckStateRole && index.column() == 0)
        return m_checked.at(index.row()) ? Qt::Checked : Qt::Unchecked;
    return QVariant();
}

bool ZBDeviceListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= m_devices.size())
        return true;
    if (role == Qt::EditRole && index.column() == 0) {
        m_devices[index.row()].setGivenName(value.toString());
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    } else if (role == Qt::CheckStateRole) {
        const bool checked = value.toInt() == Qt::Checked;
        if (m_checked.at(index.row()) != checked) {
            m_checked[index.row()] = checked;
            const QModelIndex cell = this->index(index.row(), 0);
            emit dataChanged(cell, cell, {Qt::CheckStateRole});
            emit itemCheckStateChanged(index);
        }
    }
    return true;
}

QVariant ZBDeviceListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    if (section == 0)
        return QObject::tr("Device name");
    if (section == 1)
        return QObject::tr("IP");
    return QVariant();
}

Qt::ItemFlags ZBDeviceListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == 0)
        result |= Qt::ItemIsEditable | Qt::ItemIsUserCheckable;
    return result;
}

void ZBDeviceListModel::addDevice(const ZBDeviceInfo &info, bool checked)
{
    const int row = int(m_devices.size());
    beginInsertRows(QModelIndex(), row, row);
    m_devices.append(info);
    m_checked.append(checked);
    endInsertRows();
}

QList<ZBDeviceInfo> ZBDeviceListModel::devices(bool onlyChecked) const
{
    QList<ZBDeviceInfo> result;
    for (int i = 0; i < m_devices.size(); ++i) {
        if (!onlyChecked || m_checked.at(i))
            result.append(m_devices.at(i));
    }
    return result;
}

bool ZBDeviceListModel::hasChecked() const
{
    return m_checked.contains(true);
}

void ZBDeviceListModel::setAllChecked(bool checked)
{
    for (bool &flag : m_checked)
        flag = checked;
    if (!m_devices.isEmpty())
        emit dataChanged(index(0, 0), index(int(m_devices.size()) - 1, 0), {Qt::CheckStateRole});
}

void ZBDeviceListModel::updateCheckState()
{
    setAllChecked(!hasChecked());
}

void ZBDeviceListModel::clear()
{
    beginResetModel();
    m_devices.clear();
    m_checked.clear();
    endResetModel();
}

void ZBDeviceListModel::enableIPColumn(bool enable)
{
    if (enable == m_showIp)
        return;
    // Views must learn that the column count changed.
    if (enable) {
        beginInsertColumns(QModelIndex(), 1, 1);
        m_showIp = true;
        endInsertColumns();
    } else {
        beginRemoveColumns(QModelIndex(), 1, 1);
        m_showIp = false;
        endRemoveColumns();
    }
}
