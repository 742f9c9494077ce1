#include "device/transfers/devicefilesystemitem.h"

DeviceFileSystemItem::DeviceFileSystemItem(const QString &name, const QString &label, int type, qint64 size,
                                           const QDateTime &modified, bool expandable, qint16 recordId)
    : _modified(modified)
    , _expandable(expandable)
    , _recordId(recordId)
    , _size(size)
    , _name(shownName(name))
    , _rawName(_name == name ? QString() : name)
    , _type(type)
    , _label(label)
{}

DeviceFileSystemItem::DeviceFileSystemItem(DeviceFileSystemItem *parent, const QString &name)
    : _depth(parent ? qint16(parent->_depth + 1) : qint16(0))
    , _parent(parent)
    , _name(shownName(name))
    , _rawName(_name == name ? QString() : name)
{}

DeviceFileSystemItem::~DeviceFileSystemItem()
{
    qDeleteAll(_children);
}

QString DeviceFileSystemItem::displayName() const
{
    return isVolume() ? _label : _name;
}

qint16 DeviceFileSystemItem::recordId() const
{
    return isRecord() ? _recordId : qint16(-1);
}

DeviceFileSystemItem *DeviceFileSystemItem::child(int row) const
{
    return (row >= 0 && row < _children.size()) ? _children.at(row) : nullptr;
}

DeviceFileSystemItem *DeviceFileSystemItem::parent() const
{
    return _depth < 1 ? nullptr : _parent;
}

int DeviceFileSystemItem::row() const
{
    const DeviceFileSystemItem *p = parent();
    return p ? int(p->_children.indexOf(const_cast<DeviceFileSystemItem *>(this))) : -1;
}

void DeviceFileSystemItem::adopt(DeviceFileSystemItem *child)
{
    child->_depth = qint16(_depth + 1);
    child->_parent = this;
    _expandable = true;
}

void DeviceFileSystemItem::appendChild(DeviceFileSystemItem *child)
{
    if (!child)
        return;
    adopt(child);
    _children.append(child);
}

void DeviceFileSystemItem::prependChild(DeviceFileSystemItem *child)
{
    if (!child)
        return;
    adopt(child);
    _children.prepend(child);
}

bool DeviceFileSystemItem::removeChildren(int row, int count)
{
    if (row < 0 || qint64(row) + qint64(qMax(count, 0)) > _children.size())
        return false;
    for (int i = 0; i < count; ++i)
        delete _children.takeAt(row);
    _expandable = !_children.isEmpty();
    return true;
}

void DeviceFileSystemItem::removeAllChildren()
{
    removeChildren(0, childCount());
}

QString DeviceFileSystemItem::fullPath() const
{
    QString path = displayName();
    if (_depth < 1)
        return path;
    for (const DeviceFileSystemItem *up = _parent; up; up = up->_parent) {
        const QString name = up->displayName();
        if (!name.isEmpty())
            path.prepend(name + u'\\');
        if (up->_depth < 1)
            break;
    }
    return path;
}

QString DeviceFileSystemItem::recordFileBaseName() const
{
    return QStringLiteral("%1 %2").arg(_modified.toString(QStringLiteral("dd-MM-yyyy HH_mm")), _name);
}

QString DeviceFileSystemItem::extension() const
{
    switch (_type) {
    case Folder:
        return QStringLiteral("dir");
    case File: {
        const int dot = _name.lastIndexOf(u'.');
        return dot < 0 ? QString() : _name.mid(dot + 1);
    }
    case AudioRecord:
        return QStringLiteral("arec");
    case Mpeg2SdRecord:
        return QStringLiteral("mp2sd");
    case Mpeg2HdRecord:
        return QStringLiteral("mp2hd");
    case Mpeg4SdRecord:
        return QStringLiteral("mp4sd");
    case Mpeg4HdRecord:
        return QStringLiteral("mp4hd");
    case Volume:
        return QStringLiteral("hdd");
    case RemovableVolume:
        return QStringLiteral("hda");
    default:
        return QString();
    }
}

bool DeviceFileSystemItem::hasPcName() const
{
    return !hasCleanedName() && _name != QLatin1String(".") && _name != QLatin1String("..");
}

bool DeviceFileSystemItem::isReachableByPath() const
{
    // A volume is asked for by its label, as the receiver gives it.
    for (const DeviceFileSystemItem *level = this; level && level->_type != Root; level = level->parent())
        if (!level->isVolume() && !level->hasPcName())
            return false;
    return true;
}

QString DeviceFileSystemItem::shownName(const QString &rawName)
{
    QString name = stripControlChars(rawName);
    name.replace(u'\\', u'_');
    name.replace(u'/', u'_');
    return name;
}

QString DeviceFileSystemItem::stripControlChars(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u <= 0x1f || (u >= 0x7f && u <= 0xa0))
            continue;
        out.append(c);
    }
    return out;
}
