#include "devices/zbdeviceitemmodel.h"

#include "device/core/zbdeviceinfo.h"
#include "devices/zbdevice.h"
#include "devices/zbdevicecollection.h"
#include "modules/ombrelaymodule.h"

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QTextDocument>

namespace {

QString iconPath(const DeviceTreeNode *node)
{
    if (node->kind == DeviceTreeNode::NetworkDevice) {
        if (node->state == 1)
            return QStringLiteral(":/icons/connectingDevice");
        if (node->state == 2)
            return QStringLiteral(":/icons/connectedDevice");
        return QStringLiteral(":/icons/disconnectedDevice");
    }
    if (node->kind == DeviceTreeNode::UsbDevice)
        return QStringLiteral(":/icons/usbManagedDevice");
    if (node->kind != DeviceTreeNode::ModulePage)
        return QString();
    const bool lit = node->state == 2 || (node->parent && node->parent->kind == DeviceTreeNode::UsbDevice);
    switch (node->moduleType) {
    case OmbrelayModule::TypeTvList:
        return lit ? QStringLiteral(":/icons/largeTV") : QStringLiteral(":/icons/tvGrayedout");
    case OmbrelayModule::TypeRadioList:
        return lit ? QStringLiteral(":/icons/radio") : QStringLiteral(":/icons/radioGrayedout");
    case OmbrelayModule::TypeLinkList:
        return lit ? QStringLiteral(":/icons/globe") : QStringLiteral(":/icons/globeGrayedout");
    case OmbrelayModule::TypeMediaExplorer:
        return lit ? QStringLiteral(":/icons/folder") : QStringLiteral(":/icons/folderGrayedout");
    default:
        return QString();
    }
}

QString displayText(const DeviceTreeNode *node)
{
    if (node->moduleType != OmbrelayModule::TypeDevice)
        return OmbrelayModule::moduleTypeName(node->moduleType);
    // Looked up at display time, so the suffix follows the current language.
    if (node->kind == DeviceTreeNode::NetworkDevice && node->state == 1)
        return node->label + QObject::tr(" (connecting)");
    return node->label;
}

} // namespace

ZBDeviceItemModel::ZBDeviceItemModel(QObject *parent)
    : QAbstractItemModel(parent)
{
    m_root.isRoot = true;
}

ZBDeviceItemModel::~ZBDeviceItemModel() = default;

DeviceTreeNode *ZBDeviceItemModel::nodeAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<DeviceTreeNode *>(index.internalPointer());
}

QModelIndex ZBDeviceItemModel::indexOfNode(const DeviceTreeNode *node) const
{
    if (!node || node == &m_root || !node->parent)
        return QModelIndex();
    return createIndex(node->row(), 0, const_cast<DeviceTreeNode *>(node));
}

QModelIndex ZBDeviceItemModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= columnCount(parent))
        return QModelIndex();
    if (parent.isValid() && parent.column() != 0)
        return QModelIndex();
    const DeviceTreeNode *parentNode = parent.isValid() ? nodeAt(parent) : &m_root;
    if (!parentNode)
        parentNode = &m_root;
    DeviceTreeNode *child = parentNode->child(row);
    return child ? createIndex(row, column, child) : QModelIndex();
}

QModelIndex ZBDeviceItemModel::parent(const QModelIndex &index) const
{
    const DeviceTreeNode *node = nodeAt(index);
    if (!node || !node->parent || node->parent == &m_root)
        return QModelIndex();
    return indexOfNode(node->parent);
}

int ZBDeviceItemModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    const DeviceTreeNode *node = parent.isValid() ? nodeAt(parent) : &m_root;
    return node ? int(node->children.size()) : 0;
}

int ZBDeviceItemModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QString ZBDeviceItemModel::plainToolTip(const QString &text)
{
    // A tool tip that looks like markup is drawn as rich text: such a text is handed over as markup that
    // shows it as it stands.
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

QVariant ZBDeviceItemModel::data(const QModelIndex &index, int role) const
{
    const DeviceTreeNode *node = nodeAt(index);
    if (!node || index.column() != 0)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return displayText(node);
    case Qt::ToolTipRole:
        return plainToolTip(displayText(node));
    case Qt::DecorationRole: {
        if (isEmpty())
            return QVariant();
        if (node->marked)
            return QIcon(QStringLiteral(":/icons/errorIcon"));
        const QString path = iconPath(node);
        return path.isEmpty() ? QIcon() : QIcon(path);
    }
    case Qt::ForegroundRole:
        if (node->marked)
            return QColor(170, 0, 0);
        if (node->state != 2)
            return QColor(124, 124, 124);
        return QVariant();
    case Qt::FontRole: {
        QFont font;
        font.setWeight(node->isDevice() ? QFont::Bold : QFont::Normal);
        font.setPointSize(node->isDevice() ? 14 : 12);
        return font;
    }
    case Qt::TextAlignmentRole:
        if (node->isDevice())
            return int(Qt::AlignBottom);
        return QVariant();
    default:
        return QVariant();
    }
}

bool ZBDeviceItemModel::removeRows(int row, int count, const QModelIndex &parent)
{
    DeviceTreeNode *node = nodeAt(parent);
    if (!node || row < 0 || count < 0 || size_t(row) + size_t(count) > node->children.size())
        return false;
    if (count == 0)
        return true;
    beginRemoveRows(parent, row, row + count - 1);
    node->children.erase(node->children.begin() + row, node->children.begin() + row + count);
    endRemoveRows();
    return true;
}

Qt::ItemFlags ZBDeviceItemModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || isEmpty())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}

bool ZBDeviceItemModel::placeholderOnly() const
{
    return m_deviceIds.size() == 1 && m_deviceIds.first() == 0;
}

bool ZBDeviceItemModel::isEmpty() const
{
    return m_deviceIds.isEmpty() || placeholderOnly();
}

DeviceTreeNode *ZBDeviceItemModel::deviceNode(quint32 deviceId) const
{
    const qsizetype position = m_deviceIds.indexOf(deviceId);
    return position < 0 ? nullptr : m_root.child(int(position));
}

void ZBDeviceItemModel::clearRows()
{
    m_root.children.clear();
    m_deviceIds.clear();
}

void ZBDeviceItemModel::clear()
{
    beginResetModel();
    clearRows();
    endResetModel();
}

void ZBDeviceItemModel::appendDeviceRow(const ZBDeviceInfo *info, bool announce)
{
    auto node = std::make_unique<DeviceTreeNode>();
    node->id = info->id();
    node->label = info->label();
    node->kind = info->isUsbManaged() ? DeviceTreeNode::UsbDevice : DeviceTreeNode::NetworkDevice;
    node->moduleType = OmbrelayModule::TypeDevice;
    const int row = int(m_root.children.size());
    if (announce)
        beginInsertRows(QModelIndex(), row, row);
    m_deviceIds.append(info->id());
    m_root.append(std::move(node));
    if (announce)
        endInsertRows();
}

void ZBDeviceItemModel::appendModuleRow(DeviceTreeNode *device, int moduleType, bool announce)
{
    auto node = std::make_unique<DeviceTreeNode>();
    node->kind = DeviceTreeNode::ModulePage;
    node->moduleType = moduleType;
    node->label = OmbrelayModule::moduleTypeName(moduleType);
    const int row = int(device->children.size());
    if (announce)
        beginInsertRows(indexOfNode(device), row, row);
    device->append(std::move(node));
    if (announce)
        endInsertRows();
}

void ZBDeviceItemModel::addPlaceholder(bool announce)
{
    ZBDeviceInfo placeholder(tr("No devices found"), QString(), false);
    if (announce) {
        addDevice(&placeholder);
        return;
    }
    appendDeviceRow(&placeholder, false);
}

void ZBDeviceItemModel::addDevice(const ZBDeviceInfo *info)
{
    if (placeholderOnly() && m_root.children.size() == 1) {
        beginRemoveRows(QModelIndex(), 0, 0);
        clearRows();
        endRemoveRows();
    }
    if (!info || m_deviceIds.contains(info->id()))
        return;
    appendDeviceRow(info, true);
}

void ZBDeviceItemModel::addModuleNode(quint32 deviceId, int moduleType)
{
    if (DeviceTreeNode *device = deviceNode(deviceId))
        appendModuleRow(device, moduleType, true);
}

void ZBDeviceItemModel::removeDevice(quint32 deviceId)
{
    beginResetModel();
    const qsizetype position = m_deviceIds.indexOf(deviceId);
    if (position >= 0) {
        m_deviceIds.removeAt(position);
        m_root.children.erase(m_root.children.begin() + position);
    }
    if (m_deviceIds.isEmpty())
        addPlaceholder(false);
    endResetModel();
}

void ZBDeviceItemModel::rebuild(const ZBDeviceCollection *collection)
{
    beginResetModel();
    clearRows();
    for (int i = 0; collection && i < collection->count(); ++i) {
        const ZBDevice *device = collection->at(i);
        if (!device)
            continue;
        const ZBDeviceInfo &info = device->info();
        if (m_deviceIds.contains(info.id()))
            continue;
        appendDeviceRow(&info, false);
        DeviceTreeNode *node = m_root.children.back().get();
        const QList<int> modules = info.modules();
        for (qsizetype m = 1; m < modules.size(); ++m) {
            if (modules.at(m) != OmbrelayModule::TypeDevice)
                appendModuleRow(node, modules.at(m), false);
        }
        setStateRecursive(node, device->isConnected() || info.isUsbManaged() ? 2 : 0);
    }
    if (m_root.children.empty())
        addPlaceholder(false);
    endResetModel();
}

void ZBDeviceItemModel::emitRowChanged(const DeviceTreeNode *node)
{
    const QModelIndex index = indexOfNode(node);
    if (index.isValid())
        emit dataChanged(index, index);
}

void ZBDeviceItemModel::setDeviceName(quint32 deviceId, const QString &name)
{
    DeviceTreeNode *device = deviceNode(deviceId);
    if (!device)
        return;
    device->label = name;
    emitRowChanged(device);
}

void ZBDeviceItemModel::setStateRecursive(DeviceTreeNode *node, int state)
{
    node->state = state;
    for (auto &child : node->children)
        setStateRecursive(child.get(), state);
}

void ZBDeviceItemModel::updateDeviceState(quint32 deviceId, int state)
{
    DeviceTreeNode *device = deviceNode(deviceId);
    if (!device)
        return;
    setStateRecursive(device, state);
    emitRowChanged(device);
    if (!device->children.empty()) {
        const QModelIndex parent = indexOfNode(device);
        emit dataChanged(index(0, 0, parent), index(int(device->children.size()) - 1, 0, parent));
    }
}

QModelIndex ZBDeviceItemModel::indexFor(quint32 deviceId, int moduleType) const
{
    const DeviceTreeNode *device = deviceNode(deviceId);
    if (!device)
        return QModelIndex();
    switch (moduleType) {
    case OmbrelayModule::TypeTvList:
    case OmbrelayModule::TypeRadioList:
    case OmbrelayModule::TypeLinkList:
    case OmbrelayModule::TypeMediaExplorer:
        // The module row of that type, wherever it sits among the receiver's rows.
        for (const auto &child : device->children) {
            if (child->moduleType == moduleType)
                return indexOfNode(child.get());
        }
        return QModelIndex();
    default:
        return indexOfNode(device);
    }
}

QModelIndex ZBDeviceItemModel::firstIndex() const
{
    return index(0, 0);
}

int ZBDeviceItemModel::moduleTypeAt(const QModelIndex &index) const
{
    const DeviceTreeNode *node = nodeAt(index);
    return node ? node->moduleType : 0;
}

quint32 ZBDeviceItemModel::deviceIdAt(const QModelIndex &index) const
{
    const DeviceTreeNode *node = nodeAt(index);
    if (!node)
        return 0;
    if (node->isDevice())
        return node->id;
    return node->parent ? node->parent->id : 0;
}

void ZBDeviceItemModel::markItem(quint32 deviceId, int moduleType)
{
    DeviceTreeNode *node = nodeAt(indexFor(deviceId, moduleType));
    if (!node || node->marked)
        return;
    node->marked = true;
    emitRowChanged(node);
}

void ZBDeviceItemModel::unmarkItem(const QModelIndex &index)
{
    DeviceTreeNode *node = nodeAt(index);
    if (!node || !node->marked)
        return;
    node->marked = false;
    emitRowChanged(node);
}

bool ZBDeviceItemModel::isMarked(const QModelIndex &index) const
{
    const DeviceTreeNode *node = nodeAt(index);
    return node && node->marked;
}

void ZBDeviceItemModel::refresh()
{
    emit layoutAboutToBeChanged();
    emit layoutChanged();
}
