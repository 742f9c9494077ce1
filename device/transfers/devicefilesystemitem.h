#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// One node of a receiver's file tree: volume, folder, recording or file. A parent owns its children;
// the invisible root (type 256) is owned by the model.
class DeviceFileSystemItem
{
public:
    enum ItemType {
        Folder = 0,
        File = 1,
        VideoRecord = 2,
        AudioRecord = 3,
        Mpeg2SdRecord = 4,
        Mpeg2HdRecord = 5,
        Mpeg4SdRecord = 6,
        Mpeg4HdRecord = 7,
        Volume = 8,
        RemovableVolume = 9,
        Root = 256
    };

    DeviceFileSystemItem(const QString &name, const QString &label, int type, qint64 size, const QDateTime &modified,
                         bool expandable, qint16 recordId);
    DeviceFileSystemItem(DeviceFileSystemItem *parent, const QString &name);
    ~DeviceFileSystemItem();
    DeviceFileSystemItem(const DeviceFileSystemItem &) = delete;
    DeviceFileSystemItem &operator=(const DeviceFileSystemItem &) = delete;

    QString name() const { return _name; }
    // The name as the receiver sent it: it differs from name() when control characters were taken out or
    // a "\" or "/" made "_" (see shownName), and only this one addresses the item on the receiver.
    QString rawName() const { return _rawName.isEmpty() ? _name : _rawName; }
    bool hasCleanedName() const { return !_rawName.isEmpty() || _unaddressable; }
    // A name the PC cannot send back as the receiver holds it (a NUL inside it, bytes that are no UTF-8):
    // the item is shown, but never asked for by its path.
    void markUnaddressable() { _unaddressable = true; }
    bool isAddressable() const { return !_unaddressable; }
    // Whether the receiver's name can be a PC name as it stands: not cleaned, not "." or "..".
    bool hasPcName() const;
    // Whether fullPath() names this very item on the receiver: no name on the way was cleaned (a NUL, bytes
    // that are no UTF-8, a control character or a separator taken out), and none is "." or "..".
    bool isReachableByPath() const;
    QString label() const { return _label; }
    int type() const { return _type; }
    qint64 size() const { return _size; }
    QDateTime lastModified() const { return _modified; }
    bool isExpandable() const { return _expandable; }
    // A folder found to be one that cannot be opened shows no more content to expand.
    void clearExpandable() { _expandable = false; }
    qint16 depth() const { return _depth; }
    QString displayName() const;
    qint16 recordId() const;

    DeviceFileSystemItem *child(int row) const;
    int childCount() const { return int(_children.size()); }
    bool hasChildItems() const { return !_children.isEmpty(); }
    DeviceFileSystemItem *parent() const;
    int row() const;

    void appendChild(DeviceFileSystemItem *child);
    void prependChild(DeviceFileSystemItem *child);
    bool removeChildren(int row, int count);
    void removeAllChildren();

    QString fullPath() const;
    QString recordFileBaseName() const;
    QString extension() const;

    bool isContainer() const { return _type == Folder || _type == Volume || _type == RemovableVolume; }
    bool isFolder() const { return _type == Folder; }
    bool isFile() const { return _type == File; }
    bool isRecord() const { return _type >= VideoRecord && _type <= Mpeg4HdRecord; }
    bool isVolume() const { return _type == Volume || _type == RemovableVolume; }
    bool isRemovableVolume() const { return _type == RemovableVolume; }

    static QString stripControlChars(const QString &text);
    // A receiver name as the PC shows it: control characters taken out, and the separators "\" and "/"
    // (a receiver name holding one can neither be asked for by its path nor be a PC name) made "_".
    static QString shownName(const QString &rawName);

private:
    void adopt(DeviceFileSystemItem *child);

    QList<DeviceFileSystemItem *> _children;
    QDateTime _modified;
    bool _expandable = false;
    qint16 _depth = 0;
    DeviceFileSystemItem *_parent = nullptr;
    qint16 _recordId = -1;
    qint64 _size = 0;
    QString _name;
    QString _rawName; // empty when equal to _name
    bool _unaddressable = false;
    int _type = Root;
    QString _label;
};
