#include "descriptioncases.h"

#include "emulatorsession.h"
#include "receiveremulator.h"

#include <QThread>

namespace {

QByteArray chunk(const QByteArray &payload)
{
    return QByteArrayLiteral("DATA") + EmulatorSession::le32(quint32(payload.size())) + EmulatorSession::le32(50) +
           payload;
}

bool sendAcked(EmulatorSession &session, const QByteArray &payload)
{
    quint8 answer = 0;
    return session.write(chunk(payload)) && session.readByte(&answer) && answer == 0x55;
}

} // namespace

void DescriptionCases::install(ReceiverEmulator &emulator, Case which)
{
    emulator.setCommand(0x26, [which](EmulatorSession &session) {
        const QByteArray xml = session.emulator().description().toUtf8();
        const int half = int(xml.size() / 2);
        if (which == WrongStatus) {
            session.writeByte(0xAB);
            return;
        }
        if (!session.writeByte(0xAA))
            return;
        switch (which) {
        case DropAfterStatus:
            session.close();
            return;
        case Trickle: {
            const QByteArray all = chunk(xml);
            for (char byte : all) {
                if (session.emulator().isStopping() || !session.write(QByteArray(1, byte)))
                    return;
                for (int i = 0; i < 15 && !session.emulator().isStopping(); ++i)
                    QThread::msleep(100);
            }
            return;
        }
        case EndlessForeignTags:
            while (!session.emulator().isStopping() && session.write(QByteArrayLiteral("JUNK")))
                QThread::msleep(1);
            return;
        case ZeroLengthChunk:
            if (sendAcked(session, QByteArray()))
                session.sendChunks(xml, 100);
            return;
        case ForeignTag:
            if (sendAcked(session, xml.left(half)) && session.write(QByteArrayLiteral("SKIP")) &&
                sendAcked(session, xml.mid(half)))
                session.write(QByteArray("END\0", 4));
            return;
        case EndNonZero:
            if (sendAcked(session, xml.left(half)) && session.write(QByteArrayLiteral("ENDX")) &&
                sendAcked(session, xml.mid(half)))
                session.write(QByteArray("END\0", 4));
            return;
        case ZeroInPayload:
            session.sendChunks(xml + QByteArray(1, '\0') + "<broken", 100);
            return;
        default:
            session.sendChunks(xml, session.emulator().chunkSize());
        }
    });
}
