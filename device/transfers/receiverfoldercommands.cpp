#include "device/transfers/receiverfoldercommands.h"

#include "device/transfers/copyjobdocument.h"
#include "device/transfers/devicefilesystemitem.h"
#include "device/transfers/folderlistingparser.h"
#include "device/transfers/receiveraddress.h"
#include "device/transfers/transferlink.h"
#include "device/transfers/transferwire.h"

#include <QCoreApplication>

#include <memory>

std::atomic_int ReceiverFolderCommands::listingWaitMs{15000};

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
    m_lastFailure = TransferLink::NoStatus;
    m_lostAfterCancel = false;
    m_link.beginExchange();
    const QStringList parts = ReceiverAddress::splitPath(path);
    if (parts.size() > 0xFFFF)
        return nullptr;
    // Every wait of the listing, statuses included, is the listing's own; a cancel meanwhile lets it end in step,
    // within the after-cancel wait.
    const TransferLink::InStep inStep(m_link);
    const int inactivity = m_link.inactivityLimit();
    m_link.setInactivityLimit(listingWaitMs.load());
    std::unique_ptr<QList<DeviceFileSystemItem *>> items(readListing(parts));
    m_link.setInactivityLimit(inactivity);
    if (!items)
        return nullptr;
    if (ok)
        *ok = true;
    if (items->isEmpty())
        return nullptr;
    return items.release();
}

QList<DeviceFileSystemItem *> *ReceiverFolderCommands::readListing(const QStringList &parts)
{
    if (!m_link.write(TransferWire::pathHeader(0x03, quint16(parts.size()))))
        return lost();
    const int header = m_link.readStatus();
    if (header == TransferLink::NoStatus)
        return lost();
    if (header != 1)
        return failed(header);
    for (const QString &part : parts) {
        // A refused level ends the exchange there: the receiver reads what would follow as a new command.
        const int status = m_link.write(part.toUtf8()) ? m_link.readStatus() : TransferLink::NoStatus;
        if (status == TransferLink::NoStatus)
            return lost();
        if (status != 1)
            return failed(status);
    }
    QByteArray buffer;
    auto items = std::make_unique<QList<DeviceFileSystemItem *>>();
    for (;;) {
        int consumed = 0;
        const FolderListingParser::Parse p =
            FolderListingParser::parse(buffer, int(parts.size()), items.get(), &consumed);
        if (p == FolderListingParser::Bad || buffer.size() > kMaxListingBytes) {
            qDeleteAll(*items);
            return lost();
        }
        if (p == FolderListingParser::Done)
            return items.release();
        QByteArray more;
        // At least one more byte, within the listing wait; then whatever else is already there.
        if (!m_link.readExact(1, &more)) {
            qDeleteAll(*items);
            return lost();
        }
        buffer += more + m_link.readUpTo(kMaxListingBytes, 0);
    }
}

QList<DeviceFileSystemItem *> *ReceiverFolderCommands::failed(int code)
{
    m_lastFailure = code;
    return nullptr;
}

QList<DeviceFileSystemItem *> *ReceiverFolderCommands::lost()
{
    m_lastFailure = TransferLink::NoStatus;
    m_lostAfterCancel = m_link.cancelSeen();
    // Whatever the receiver still sends of this exchange would be read as the answer to the next one: the
    // connection is given up (a worker's connects anew) rather than used out of step.
    m_link.giveUp();
    return nullptr;
}

QString ReceiverFolderCommands::failureText() const
{
    if (m_lastFailure == TransferLink::NoStatus && m_lostAfterCancel)
        return TransferLink::cancelUnansweredText();
    if (m_lastFailure == TransferLink::NoStatus)
        return QCoreApplication::translate("DVB24CommunicationProtocolMill", "The device did not answer.");
    return m_link.codeText ? m_link.codeText(m_lastFailure) : QString::number(m_lastFailure);
}

int ReceiverFolderCommands::sendPathLevels(quint8 command, const QString &path)
{
    m_lastFailure = TransferLink::NoStatus;
    m_lostAfterCancel = false;
    m_link.beginExchange();
    const QStringList parts = ReceiverAddress::splitPath(path);
    // Nothing named: nothing to send (the receiver would act on its root).
    if (parts.isEmpty() || parts.size() > 0x10000)
        return TransferLink::NoStatus;
    // Begun, the exchange is finished whatever a cancel meanwhile (within the after-cancel wait): the receiver
    // waits for every level.
    const TransferLink::InStep inStep(m_link);
    if (!m_link.write(TransferWire::pathHeader(command, quint16(parts.size() - 1)))) {
        lost();
        return TransferLink::NoStatus;
    }
    int status = m_link.readStatus();
    // Every message is answered; the first refusal, of the header or of any level, ends the exchange on both
    // sides: the receiver reads whatever would follow it as a new command.
    for (int i = 0; status == 1 && i < parts.size(); ++i)
        status = m_link.write(parts.at(i).toUtf8()) ? m_link.readStatus() : TransferLink::NoStatus;
    if (status == TransferLink::NoStatus)
        lost();
    else if (status != 1)
        m_lastFailure = status;
    return status;
}

bool ReceiverFolderCommands::createFolder(const QString &path)
{
    return sendPathLevels(0x07, path) == 1;
}

int ReceiverFolderCommands::deletePath(const QString &path)
{
    return sendPathLevels(0x08, path) == 1 ? 1 : -1;
}

bool ReceiverFolderCommands::lastWasRefused() const
{
    return m_lastFailure != TransferLink::NoStatus;
}

bool ReceiverFolderCommands::deleteRecording(quint16 recordId)
{
    m_lastFailure = TransferLink::NoStatus;
    m_lostAfterCancel = false;
    m_link.beginExchange();
    const TransferLink::InStep inStep(m_link);
    const int status = m_link.write(QByteArray(1, '\x17') + TransferWire::uint16(recordId)) ? m_link.readStatus()
                                                                                            : TransferLink::NoStatus;
    if (status == TransferLink::NoStatus)
        lost();
    else if (status != 1)
        m_lastFailure = status;
    return status == 1;
}

bool ReceiverFolderCommands::makePath(const QString &path, bool leaveOutLast, bool quiet)
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
        // A cancel stops the chain between its exchanges, never inside one; the caller tells it by the flag.
        if (i >= skip && m_link.interrupted())
            return false;
        // A level the receiver refuses leaves nothing below it to create: the chain fails there.
        if (i >= skip && !createFolder(running)) {
            if (m_link.error && m_lostAfterCancel)
                m_link.error(TransferLink::cancelUnansweredText());
            else if (m_link.error && !(quiet && lastWasRefused()))
                m_link.error(
                    QCoreApplication::translate("DVB24CommunicationProtocolMill", "Cannot create directory %1.")
                        .arg(running));
            return false;
        }
    }
    return true;
}

namespace {
// Whether the item's own name addresses it as one level of a receiver path: no separator in it, and not
// "." or ".." (which would name its folder or the one above).
bool listableByName(const DeviceFileSystemItem &item)
{
    const QString raw = item.rawName();
    return item.isAddressable() && !raw.contains(u'\\') && !raw.contains(u'/') && raw != QLatin1String(".") &&
           raw != QLatin1String("..");
}
} // namespace

void ReceiverFolderCommands::expandUri(const QString &address, const QString &relativePath, CopyJobDocument &job,
                                       qint64 &total, int depth)
{
    if (m_link.interrupted())
        return;
    const ReceiverAddress a = ReceiverAddress::parse(address);
    if (!a.isValid())
        return; // a line without its "*" fields is skipped
    // A selected folder or file whose name no PC takes (the page marks a cleaned one with a "/" after it) is
    // named to the user: asked for, "." would be its own folder again and again.
    if (a.scheme() != ReceiverAddress::Rec && !ReceiverAddress::isPcName(a.path().section(u'\\', -1))) {
        QString shown = DeviceFileSystemItem::stripControlChars(a.path());
        if (shown.endsWith(u'/'))
            shown.chop(1);
        job.addUnreachable(a.scheme() == ReceiverAddress::Dir ? 2 : 0,
                           (a.scheme() == ReceiverAddress::Dir ? QStringLiteral("dir://") : QStringLiteral("file://")) +
                               shown,
                           relativePath);
        return;
    }
    total += a.size();
    switch (a.scheme()) {
    case ReceiverAddress::Dir: {
        const QString folder = a.path();
        const QString name = folder.section(u'\\', -1);
        std::unique_ptr<QList<DeviceFileSystemItem *>> listing(depth < MaxDepth ? getFolder(folder) : nullptr);
        if (listing) {
            const QString childRelative = relativePath + u'\\' + name;
            for (DeviceFileSystemItem *item : *listing) {
                // Control characters cannot travel in the job: such a folder or file (and all below it)
                // is named to the user instead of arriving empty or failing the job. A recording is
                // fetched by its number, so its name does not matter.
                // Nor can a name that holds a separator or is "." or "..": none is listed below it either,
                // since its path would name another folder.
                if (!item->hasPcName() && !item->isRecord()) {
                    const QString shown = folder + u'\\' + item->name();
                    if (item->isContainer() && listableByName(*item))
                        addUnreachable(folder + u'\\' + item->rawName(), shown, childRelative + u'\\' + item->name(),
                                       job, depth + 1);
                    job.addUnreachable(item->isContainer() ? 2 : 0,
                                       (item->isContainer() ? QStringLiteral("dir://") : QStringLiteral("file://")) +
                                           shown,
                                       childRelative);
                    continue;
                }
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

void ReceiverFolderCommands::addUnreachable(const QString &rawFolder, const QString &shownFolder,
                                            const QString &relativePath, CopyJobDocument &job, int depth)
{
    if (m_link.interrupted())
        return;
    std::unique_ptr<QList<DeviceFileSystemItem *>> listing(depth < MaxDepth ? getFolder(rawFolder) : nullptr);
    if (!listing)
        return;
    for (DeviceFileSystemItem *item : *listing) {
        const QString shown = shownFolder + u'\\' + item->name();
        if (item->isContainer()) {
            if (listableByName(*item))
                addUnreachable(rawFolder + u'\\' + item->rawName(), shown, relativePath + u'\\' + item->name(), job,
                               depth + 1);
            job.addUnreachable(2, QStringLiteral("dir://") + shown, relativePath);
        } else {
            job.addUnreachable(item->isRecord() ? 1 : 0,
                               (item->isRecord() ? QStringLiteral("rec://") : QStringLiteral("file://")) + shown,
                               relativePath);
        }
    }
    qDeleteAll(*listing);
}
