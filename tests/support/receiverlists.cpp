#include "receiverlists.h"

#include "emulatorsession.h"
#include "receiveremulator.h"

#include "device/transfers/listchunkparser.h"

#include <QMutexLocker>
#include <QtEndian>

namespace {
int typeIndex(const QString &listType)
{
    return listType == QLatin1String("radio") ? 1 : listType == QLatin1String("link") ? 2 : 0;
}
} // namespace

std::shared_ptr<ReceiverLists> ReceiverLists::install(ReceiverEmulator &emulator)
{
    auto lists = std::make_shared<ReceiverLists>();
    for (int type = 0; type < 3; ++type) {
        emulator.setCommand(quint8(type == 0 ? 0x19 : 0x1F + type), [lists, type, &emulator](EmulatorSession &s) {
            if (!lists->waitWhileHeld(emulator) || !lists->serveDownload(s, type))
                s.close();
        });
        emulator.setCommand(quint8(0x22 + type), [lists, type](EmulatorSession &s) {
            if (!lists->serveUpload(s, type))
                s.close();
        });
    }
    return lists;
}

QByteArray ReceiverLists::document(const QString &listType) const
{
    QMutexLocker lock(&m_lock);
    return m_documents[typeIndex(listType)];
}

void ReceiverLists::setDocument(const QString &listType, const QByteArray &text)
{
    QMutexLocker lock(&m_lock);
    m_documents[typeIndex(listType)] = text;
}

void ReceiverLists::setHold(bool on)
{
    QMutexLocker lock(&m_lock);
    m_hold = on;
    if (!on)
        m_released.wakeAll();
}

int ReceiverLists::uploads() const
{
    QMutexLocker lock(&m_lock);
    return m_uploads;
}

bool ReceiverLists::waitWhileHeld(const ReceiverEmulator &emulator)
{
    QMutexLocker lock(&m_lock);
    while (m_hold && !emulator.isStopping())
        m_released.wait(&m_lock, 100);
    return !emulator.isStopping();
}

bool ReceiverLists::serveDownload(EmulatorSession &s, int type)
{
    const QByteArray doc = [&] {
        QMutexLocker lock(&m_lock);
        return m_documents[type];
    }();
    s.writeByte(0xAA);
    const int step = 4096;
    for (int at = 0; at < doc.size(); at += step) {
        const QByteArray piece = doc.mid(at, step);
        const quint32 percent = quint32(qMin<qint64>(100, (at + piece.size()) * 100 / doc.size()));
        if (!s.write(ListChunkParser::dataChunk(piece, percent)))
            return false;
        const QByteArray answer = s.read(1, 5000);
        if (answer.isEmpty())
            return false;
        if (answer.at(0) != '\x55')
            return true;
    }
    return s.write(ListChunkParser::endChunk());
}

bool ReceiverLists::serveUpload(EmulatorSession &s, int type)
{
    s.writeByte(0xAA);
    QByteArray services;
    QByteArray lists;
    for (;;) {
        const QByteArray tag = s.read(3, 5000);
        if (tag.size() < 3)
            return false;
        if (tag == "CNL")
            return true;
        if (tag == "CMP") {
            QMutexLocker lock(&m_lock);
            m_documents[type] = "<TDocument><items>" + services + "</items>" + lists + "</TDocument>";
            ++m_uploads;
            lock.unlock();
            return s.writeByte(0xAA);
        }
        const QByteArray length = s.read(4);
        if (length.size() < 4)
            return false;
        const qint64 size = qFromLittleEndian<quint32>(length.constData());
        const QByteArray text = s.read(size, 5000);
        if (text.size() < size)
            return false;
        (tag == "PST" ? services : lists) += text;
        s.writeByte(0xAA);
    }
}
