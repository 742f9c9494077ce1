#include "media/pcfilesystemmodel.h"

#include "device/transfers/copyjobbuilders.h"

#include <QMimeData>

PcFileSystemModel::PcFileSystemModel(QObject *parent)
    : QFileSystemModel(parent)
{}

Qt::ItemFlags PcFileSystemModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled | Qt::ItemIsEnabled;
}

QVariant PcFileSystemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case 0:
        return tr("Name");
    case 1:
        return tr("Size");
    case 2:
        return tr("Type");
    case 3:
        return tr("Date Modified");
    default:
        return QString();
    }
}

QVariant PcFileSystemModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::DisplayRole && index.isValid() && index.column() == 3)
        return isDir(index) ? QVariant() : QVariant(lastModified(index));
    if (role == Qt::DisplayRole && index.isValid() && index.column() == 2) {
        const QString text = QFileSystemModel::data(index, role).toString();
        // The base model says "Folder" here where other platforms say "File Folder".
        if (text == QLatin1String("File Folder") || text == QLatin1String("Folder"))
            return tr("File Folder");
        if (text == QLatin1String("Drive"))
            return tr("Drive");
        if (text == QLatin1String("Removable Drive"))
            return tr("Removable Drive");
        return text;
    }
    return QFileSystemModel::data(index, role);
}

QStringList PcFileSystemModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list"), QStringLiteral("text/zbdevice-uri-list")};
}

// Percent-encoded lines, so names with " ", "%" or "#" come back as the same paths.
QMimeData *PcFileSystemModel::mimeData(const QModelIndexList &indexes) const
{
    QMimeData *mime = QFileSystemModel::mimeData(indexes);
    QString text;
    for (const QModelIndex &index : indexes)
        if (index.column() == 0)
            text += uriLineFromLocalPath(filePath(index)) + uriListSeparator();
    mime->setData(QStringLiteral("text/uri-list"), text.toUtf8());
    return mime;
}

bool PcFileSystemModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int, int, const QModelIndex &parent)
{
    if (action == Qt::IgnoreAction || !data)
        return true;
    const QString destination = isDir(parent) ? fileInfo(parent).absoluteFilePath() : fileInfo(parent).absolutePath();
    if (data->hasFormat(QStringLiteral("text/uri-list")))
        emit mimeDataDropped(destination, QString::fromUtf8(data->data(QStringLiteral("text/uri-list"))));
    else if (data->hasFormat(QStringLiteral("text/zbdevice-uri-list")))
        emit mimeDeviceDataDropped(destination,
                                   QString::fromUtf8(data->data(QStringLiteral("text/zbdevice-uri-list"))));
    return true;
}
