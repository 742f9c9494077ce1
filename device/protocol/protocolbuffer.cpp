#include "device/protocol/protocolbuffer.h"

#include "device/protocol/dvb24communicationexception.h"

char ProtocolBuffer::at(int i) const
{
    if (i < 0 || i >= m_bytes.size())
        return char(-1);
    return m_bytes.at(i);
}

QByteArray ProtocolBuffer::take(int n)
{
    if (n <= 0)
        return QByteArray();
    const QByteArray head = m_bytes.left(n);
    m_bytes.remove(0, head.size());
    return head;
}

quint64 ProtocolBuffer::readBigEndian(qint8 n)
{
    if (n <= 0)
        return 0;
    // A value cut short would be silently wrong; a short reply is an error instead.
    if (n > 8 || n > m_bytes.size())
        throw DVB24CommunicationException(DVB24ExceptionTypes::GeneralError);
    quint64 value = 0;
    for (int i = 0; i < n; ++i)
        value = (value << 8) | quint8(m_bytes.at(i));
    m_bytes.remove(0, n);
    return value;
}

QString ProtocolBuffer::readString(int len, quint8 marker)
{
    if (len == -1) {
        len = int(m_bytes.lastIndexOf('\0'));
        if (len < 0)
            return QString();
    }
    if (len < 0)
        return QString();
    QByteArray taken = m_bytes.left(len);
    const qsizetype nul = taken.indexOf('\0');
    if (nul >= 0)
        taken.truncate(nul);
    const bool latin1 = (marker >= 1 && marker <= 32) || marker == 0x5F;
    QString text = latin1 ? QString::fromLatin1(taken) : QString::fromUtf8(taken);
    m_bytes.remove(0, qMin<qsizetype>(len, m_bytes.size()));
    if (marker == 0x5F && !text.isEmpty())
        text.remove(0, 1);
    return text;
}
