#include "device/transfers/folderlistingparser.h"

#include "device/transfers/devicefilesystemitem.h"

#include <QDateTime>
#include <QRegularExpression>

#include <memory>
#include <vector>

namespace {
class Cursor
{
public:
    explicit Cursor(const QByteArray &b)
        : m_b(b)
    {}
    bool has(int n) const { return m_at + n <= m_b.size(); }
    quint64 be(int width)
    {
        quint64 v = 0;
        for (int i = 0; i < width; ++i)
            v = (v << 8) | quint8(m_b.at(m_at + i));
        m_at += width;
        return v;
    }
    QByteArray take(int n)
    {
        const QByteArray r = m_b.mid(m_at, n);
        m_at += n;
        return r;
    }
    int at() const { return m_at; }

private:
    const QByteArray &m_b;
    int m_at = 0;
};

QByteArray upToNul(QByteArray raw)
{
    const int nul = int(raw.indexOf('\0'));
    if (nul >= 0)
        raw.truncate(nul);
    return raw;
}

// A folder's or file's name, and whether it comes back as the same bytes when the PC asks for it. Trailing NULs
// pad the field; a NUL before other bytes, or bytes that are no UTF-8, make a name no request can carry, which
// is kept (the NUL as a control character the item does not show) for the item to say so.
QString plainName(const QByteArray &raw, bool *addressable)
{
    QByteArray bytes = raw;
    while (bytes.endsWith('\0'))
        bytes.chop(1);
    const QString name = QString::fromUtf8(bytes);
    *addressable = !bytes.contains('\0') && name.toUtf8() == bytes;
    return name;
}

// A recording name: a first byte 1..32 or '_' marks 8-bit text ('_' itself is dropped).
QString recordName(const QByteArray &raw)
{
    if (raw.isEmpty())
        return QString();
    const quint8 marker = quint8(raw.at(0));
    if (marker == '_')
        return QString::fromLatin1(upToNul(raw.mid(1)));
    if (marker >= 1 && marker <= 32)
        return QString::fromLatin1(upToNul(raw));
    return QString::fromUtf8(upToNul(raw));
}

} // namespace

FolderListingParser::Parse FolderListingParser::parse(const QByteArray &bytes, int levels,
                                                      QList<DeviceFileSystemItem *> *items, int *consumed)
{
    static const QRegularExpression hiddenStream(QStringLiteral("^\\d{1,3}[.]\\d{1,3}.*([.]ts|[.]ts4)$"));
    items->clear();
    Cursor c(bytes);
    if (!c.has(2))
        return Incomplete;
    const qint16 count = qint16(c.be(2));
    std::vector<std::unique_ptr<DeviceFileSystemItem>> built;
    for (int i = 0; i < count; ++i) {
        if (!c.has(1))
            return Incomplete;
        const int type = int(c.be(1));
        if (type == 0 || type == 8 || type == 9) {
            if (!c.has(2))
                return Incomplete;
            const bool expandable = c.be(1) != 0;
            const int nameLength = int(c.be(1));
            if (!c.has(nameLength))
                return Incomplete;
            // as sent: the item shows it cleaned and keeps it (see DeviceFileSystemItem::shownName)
            bool addressable = true;
            const QByteArray raw = c.take(nameLength);
            const QString name = type == 0 ? plainName(raw, &addressable) : QString::fromUtf8(upToNul(raw));
            QString label;
            if (type != 0) {
                if (!c.has(1))
                    return Incomplete;
                const int labelLength = int(c.be(1));
                if (!c.has(labelLength))
                    return Incomplete;
                label = QString::fromLatin1(upToNul(c.take(labelLength)));
            }
            built.emplace_back(new DeviceFileSystemItem(name, label, type, 0, QDateTime(), expandable, -1));
            if (!addressable)
                built.back()->markUnaddressable();
            continue;
        }
        const bool record = type >= 2 && type <= 7;
        qint16 recordId = -1;
        if (record) {
            if (!c.has(2))
                return Incomplete;
            recordId = qint16(c.be(2));
        }
        if (!c.has(1))
            return Incomplete;
        const int nameLength = int(c.be(1));
        if (!c.has(nameLength + 12))
            return Incomplete;
        const QByteArray raw = c.take(nameLength);
        // A recording is fetched by its number: its name need not come back.
        bool addressable = true;
        const QString name = record ? recordName(raw) : plainName(raw, &addressable);
        const qint64 size = qint64(c.be(8));
        const qint64 seconds = qint64(c.be(4));
        if (size < 0)
            return Bad;
        if (!record && levels == 1 && hiddenStream.match(name).hasMatch())
            continue; // the receiver's own stream files at the top of a volume
        const QDateTime modified =
            QDateTime::fromSecsSinceEpoch(seconds + (record ? recordEpochOffset() : fileEpochOffset()), Qt::UTC);
        built.emplace_back(new DeviceFileSystemItem(name, QString(), type, size, modified, false, recordId));
        if (!addressable)
            built.back()->markUnaddressable();
    }
    for (auto &item : built)
        items->append(item.release());
    *consumed = c.at();
    return Done;
}
