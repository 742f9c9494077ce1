#include "device/transfers/receiverfoldercommands.h"

#include "device/transfers/folderlistingparser.h"
#include "device/transfers/copyjobdocument.h"
#include "device/transfers/devicefilesystemitem.h"
#include "device/transfers/receiveraddress.h"
#include "device/transfers/transferlink.h"
#include "device/transfers/transferwire.h"

#include <memory>

namespace {
// A listing of more than this many bytes is hostile (32767 entries of at most ~300 bytes fit).
const int kMaxListingBytes = 16 * 1024 * 1024;
} // namespace

ReceiverFolderCommands::ReceiverFolderCommands(TransferLink &link)
    : m_link(link)
{}

QList<DeviceFileSystemItem *> *ReceiverFolderCommands::getFolder(const QString &path, bool *ok)
{
    if (ok)
        *ok = false;
    const QStringList parts = ReceiverAddress::splitPath(path);
    if (parts.size() > 0xFFFF)
        return nullptr;
    if (!m_link.write(TransferWire::pathHeader(0x03, quint16(parts.size()))) || m_link.readStatus() != 1)
        return nullptr;
    for (const QString &part : parts) {
        if (!m_link.write(part.toUtf8()) || m_link.readStatus() != 1)
            return nullptr;
    }
    QByteArray buffer;
    auto items = std::make_unique<QList<DeviceFileSystemItem *>>();
    for (;;) {
        int consumed = 0;
        const FolderListingParser::Parse p =
            FolderListingParser::parse(buffer, int(parts.size()), items.get(), &consumed);
        if (p == FolderListingParser::Bad)
            return nullptr;
        if (p == FolderListingParser::Done)
            break;
        if (buffer.size() > kMaxListingBytes)
            return nullptr;
        QByteArray more;
        // At least one more byte, within the listing wait; then whatever else is already there.
        if (!m_link.readExact(1, &more, ListingWait))
            return nullptr;
        buffer += more + m_link.readUpTo(kMaxListingBytes, 0);
    }
    if (ok)
        *ok = true;
    if (items->isEmpty())
        return nullptr;
    return items.release();
}

bool ReceiverFolderCommands::sendPathLevels(quint8 command, const QString &path)
{
    const QStringList parts = ReceiverAddress::splitPath(path);
    // Nothing named: nothing to send (the receiver would act on its root).
    if (parts.isEmpty() || parts.size() > 0x10000)
        return false;
    if (!m_link.write(TransferWire::pathHeader(command, quint16(parts.size() - 1))) || m_link.readStatus() != 1)
        return false;
    for (const QString &part : parts) {
        if (!m_link.write(part.toUtf8()) || m_link.readStatus() != 1)
            return false;
    }
    return true;
}

bool ReceiverFolderCommands::createFolder(const QString &path)
{
    return sendPathLevels(0x07, path);
}

int ReceiverFolderCommands::deletePath(const QString &path)
{
    return sendPathLevels(0x08, path) ? 1 : -1;
}

bool ReceiverFolderCommands::deleteRecording(quint16 recordId)
{
    if (!m_link.write(QByteArray(1, '\x17') + TransferWire::uint16(recordId)))
        return false;
    return m_link.readStatus() == 1;
}

bool ReceiverFolderCommands::makePath(const QString &path, bool leaveOutLast)
{
    QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    int skip = 1;
    if (path.startsWith(u'/') && !parts.isEmpty()) {
        parts[0].prepend(u'/');
        skip = 2;
    }
    int steps = int(parts.size());
    if (leaveOutLast && !parts.isEmpty()) {
        parts.removeLast();
        steps = int(parts.size()) - 1;
    }
    QString running;
    for (int i = 0; i < steps && i < parts.size(); ++i) {
        running = i == 0 ? parts.at(0) : running + u'\\' + parts.at(i);
        if (i >= skip)
            createFolder(running);
    }
    return true;
}

void ReceiverFolderCommands::expandUri(const QString &address, const QString &relativePath, CopyJobDocument &job,
                                       qint64 &total, int depth)
{
    const ReceiverAddress a = ReceiverAddress::parse(address);
    if (!a.isValid())
        return; // a line without its "*" fields is skipped
    total += a.size();
    switch (a.scheme()) {
    case ReceiverAddress::Dir: {
        const QString folder = a.path();
        const QString name = folder.section(u'\\', -1);
        std::unique_ptr<QList<DeviceFileSystemItem *>> listing(depth < MaxDepth ? getFolder(folder) : nullptr);
        if (listing) {
            const QString childRelative = relativePath + u'\\' + name;
            for (DeviceFileSystemItem *item : *listing) {
                if (item->isContainer())
                    expandUri(ReceiverAddress::dirLine(folder + u'\\' + item->fullPath()), childRelative, job, total,
                              depth + 1);
                else if (item->isRecord())
                    expandUri(ReceiverAddress::recLine(folder + u'\\' + item->recordFileBaseName(), item->size(),
                                                       item->recordId()),
                              childRelative, job, total, depth + 1);
                else
                    expandUri(ReceiverAddress::fileLine(folder + u'\\' + item->fullPath(), item->size()), childRelative,
                              job, total, depth + 1);
            }
            qDeleteAll(*listing);
        }
        job.addFile(2, 0, a.schemeAndPath(), relativePath, 0);
        break;
    }
    case ReceiverAddress::Rec:
        job.addFile(1, a.size(), a.schemeAndPath(), relativePath, a.recordId());
        break;
    case ReceiverAddress::File:
        job.addFile(0, a.size(), a.schemeAndPath(), relativePath, 0);
        break;
    default:
        break;
    }
}
