#include "transfercommands.h"

#include "emulatorsession.h"
#include "receiveremulator.h"

#include "device/transferwire.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace {
// The PC sends one message and waits for its answer, so what has come is the message.
QByteArray message(EmulatorSession &s)
{
    QByteArray m = s.read(1, 5000);
    m += s.read(1 << 16, 30);
    return m;
}

QStringList levels(EmulatorSession &s, int count, bool answerLast)
{
    QStringList parts;
    for (int i = 0; i < count; ++i) {
        parts << QString::fromUtf8(message(s));
        if (i < count - 1 || answerLast)
            s.sendStatus(0x01);
    }
    return parts;
}

QString local(const QString &root, QStringList parts)
{
    for (QString &p : parts)
        while (p.startsWith(u'/'))
            p.remove(0, 1);
    return root + u'/' + parts.join(u'/');
}

quint16 be16(const QByteArray &b)
{
    return quint16(TransferWire::readBE(b, 0, 2));
}
} // namespace

std::shared_ptr<TransferCommands::Recording> TransferCommands::install(ReceiverEmulator &emulator, const QString &root,
                                                                       const QByteArray &listDocument)
{
    auto recording = std::make_shared<Recording>();
    emulator.setCommand(0x05, [recording](EmulatorSession &s) {
        s.read(10);
        QByteArray table;
        qint64 total = 0;
        for (int i = 0; i < recording->parts.size(); ++i) {
            const auto &p = recording->parts.at(i);
            table += char(i) + QByteArray(1, char(p.first.size())) + p.first;
            total += p.second.size();
        }
        s.write(QByteArray(1, '\1') + TransferWire::uint64(quint64(total)) +
                QByteArray(1, char(recording->parts.size())) + table);
        quint8 go = 0;
        if (!s.readByte(&go, 5000))
            return;
        for (int i = 0; i < recording->parts.size(); ++i) {
            const QByteArray &data = recording->parts.at(i).second;
            for (int at = 0; at < data.size(); at += 4096) {
                const QByteArray piece = data.mid(at, 4096);
                s.write(QByteArray(1, char(i)) + TransferWire::uint32(quint32(piece.size())) + QByteArray(3, '\0') +
                        piece);
            }
        }
        const quint8 end = quint8(recording->end.load());
        s.writeByte(end);
        quint8 answer = 0;
        if (end == 0xFF || (end >= 0xFB && end <= 0xFE))
            s.readByte(&answer, 5000);
        if (s.readByte(&answer, 5000)) // the closing byte
            s.writeByte(0x01);
    });

    emulator.setCommand(0x03, [root](EmulatorSession &s) {
        const quint16 n = be16(s.read(2));
        s.sendStatus(0x01);
        const QStringList parts = levels(s, n, true);
        const QFileInfoList entries =
            QDir(local(root, parts)).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
        QByteArray reply = TransferWire::uint16(quint16(entries.size()));
        for (const QFileInfo &e : entries) {
            const QByteArray name = e.fileName().toUtf8().left(255);
            if (e.isDir())
                reply += QByteArray(1, '\0') + '\1' + char(name.size()) + name;
            else
                reply += QByteArray(1, '\1') + char(name.size()) + name + TransferWire::uint64(quint64(e.size())) +
                         TransferWire::uint32(0);
        }
        s.write(reply);
    });
    emulator.setCommand(0x04, [root](EmulatorSession &s) {
        const quint16 n = be16(s.read(10));
        s.sendStatus(0x01);
        QFile file(local(root, levels(s, n + 1, false)));
        if (!file.open(QIODevice::ReadOnly)) {
            s.writeByte(0xFD);
            return;
        }
        const int block = 4096;
        s.write(QByteArray(1, '\1') + TransferWire::uint64(quint64(file.size())) + TransferWire::uint32(block));
        while (!file.atEnd())
            s.write(QByteArray(4, '\0') + file.read(block));
    });
    emulator.setCommand(0x0A, [root](EmulatorSession &s) {
        const quint16 n = be16(s.read(10));
        s.sendStatus(0x01);
        QStringList parts = levels(s, n, true);
        const QByteArray head = message(s);
        const qint64 size = qint64(TransferWire::readBE(head, 0, 8));
        parts << QString::fromUtf8(head.mid(8));
        const QString path = local(root, parts);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        s.sendStatus(0x01);
        s.read(4);
        for (qint64 got = 0; got < size; got += TransferWire::PacketDataSize) {
            const QByteArray packet = s.read(TransferWire::PacketSize, 5000);
            if (packet.size() < TransferWire::PacketSize || quint8(packet.at(0)) != 0x01)
                return;
            file.write(packet.constData() + 1, qMin<qint64>(TransferWire::PacketDataSize, size - got));
            file.flush();
            s.sendStatus(0x01);
        }
    });
    for (quint8 command : {quint8(0x07), quint8(0x08)}) {
        emulator.setCommand(command, [root, command](EmulatorSession &s) {
            const quint16 n = be16(s.read(2));
            s.sendStatus(0x01);
            const QString path = local(root, levels(s, n + 1, false));
            bool ok = false;
            if (command == 0x07)
                ok = QDir().mkpath(path);
            else
                ok = QFileInfo(path).isDir() ? QDir().rmdir(path) : QFile::remove(path);
            s.sendStatus(ok ? 0x01 : 0xFD);
        });
    }
    emulator.setCommand(0x17, [recording](EmulatorSession &s) {
        recording->lastDeletedId = int(be16(s.read(2)));
        ++recording->deletes;
        s.sendStatus(0x01);
    });
    for (quint8 command : {quint8(0x19), quint8(0x20), quint8(0x21)}) {
        emulator.setCommand(command, [listDocument](EmulatorSession &s) {
            s.writeByte(0xAA);
            s.sendChunks(listDocument, 64);
        });
    }
    for (quint8 command : {quint8(0x22), quint8(0x23), quint8(0x24)}) {
        emulator.setCommand(command, [](EmulatorSession &s) {
            s.writeByte(0xAA);
            for (;;) {
                const QByteArray tag = s.read(3, 5000);
                if (tag.size() < 3 || tag == "CNL")
                    return;
                if (tag == "CMP") {
                    s.writeByte(0xAA);
                    return;
                }
                const QByteArray length = s.read(4);
                s.read(qFromLittleEndian<quint32>(length.constData()), 5000);
                s.writeByte(0xAA);
            }
        });
    }
    return recording;
}
