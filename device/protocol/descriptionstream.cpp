#include "device/protocol/descriptionstream.h"

#include <QDeadlineTimer>
#include <QtEndian>

namespace {

bool readUInt32(const DescriptionStreamIo &io, quint32 *value)
{
    bool ok = false;
    const QByteArray bytes = io.read(4, &ok);
    if (!ok || bytes.size() != 4)
        return false;
    *value = qFromLittleEndian<quint32>(bytes.constData());
    return true;
}

} // namespace

bool readDescriptionStream(const DescriptionStreamIo &io, const DescriptionStreamLimits &limits, QByteArray *payload)
{
    QDeadlineTimer deadline(limits.deadlineMs);
    int foreignTags = 0;
    bool ok = false;
    while (true) {
        if ((io.goOn && !io.goOn()) || deadline.hasExpired())
            return false;
        QByteArray tag = io.read(4, &ok);
        if (!ok || tag.size() != 4)
            return false;
        const qsizetype nul = tag.indexOf('\0');
        if (nul >= 0)
            tag.truncate(nul);
        if (tag == "END")
            return true;
        if (tag != "DATA") {
            if (limits.maxForeignTags >= 0 && ++foreignTags > limits.maxForeignTags)
                return false;
            continue;
        }
        quint32 length = 0;
        quint32 percent = 0;
        if (!readUInt32(io, &length) || !readUInt32(io, &percent))
            return false;
        // A hostile length must not make us wait for, or hold, gigabytes.
        if (qint64(length) > limits.maxChunk || payload->size() + qint64(length) > limits.maxTotal)
            return false;
        if (length > 0) {
            const QByteArray chunk = io.read(length, &ok);
            if (!ok || chunk.size() != qsizetype(length))
                return false;
            payload->append(chunk);
        }
        if (io.onChunk)
            io.onChunk(percent);
        if (!io.ack())
            return false;
    }
}
