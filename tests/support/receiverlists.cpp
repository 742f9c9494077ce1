#include "receiverlists.h"

#include "emulatorsession.h"
#include "receiveremulator.h"

#include "device/transfers/listchunkparser.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QMutexLocker>
#include <QSaveFile>
#include <QtEndian>

namespace {
int typeIndex(const QString &listType)
{
    return listType == QLatin1String("radio") ? 1 : listType == QLatin1String("link") ? 2 : 0;
}
const char *const typeNames[] = {"tv", "radio", "link"};
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

void ReceiverLists::setHeldChunkTail(int chunk)
{
    QMutexLocker lock(&m_lock);
    m_heldChunk = chunk;
}

bool ReceiverLists::isChunkTailHeld() const
{
    QMutexLocker lock(&m_lock);
    return m_tailHeld;
}

void ReceiverLists::releaseChunkTail()
{
    QMutexLocker lock(&m_lock);
    m_tailsReleased += m_tailHeld ? 1 : 0;
    m_heldChunk = -1;
    m_released.wakeAll();
}

int ReceiverLists::chunkTailsReleased() const
{
    QMutexLocker lock(&m_lock);
    return m_tailsReleased;
}

int ReceiverLists::uploads() const
{
    QMutexLocker lock(&m_lock);
    return m_uploads;
}

QString ReceiverLists::fileName(const QString &listType)
{
    return QLatin1String(typeNames[typeIndex(listType)]) + QStringLiteral(".xml");
}

bool ReceiverLists::keepIn(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    QMutexLocker lock(&m_lock);
    m_folder = folder;
    for (int type = 0; type < 3; ++type) {
        QFile file(folder + u'/' + fileName(QLatin1String(typeNames[type])));
        if (!file.exists())
            continue;
        if (!file.open(QIODevice::ReadOnly))
            return false;
        m_documents[type] = file.readAll();
    }
    return true;
}

void ReceiverLists::store(int type, const QByteArray &text) const
{
    if (m_folder.isEmpty())
        return;
    QSaveFile file(m_folder + u'/' + fileName(QLatin1String(typeNames[type])));
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size())
        file.commit();
}

bool ReceiverLists::entriesParse(const QByteArray &text)
{
    QDomDocument doc;
    return doc.setContent("<entries>" + text + "</entries>");
}

bool ReceiverLists::waitWhileHeld(const ReceiverEmulator &emulator)
{
    QMutexLocker lock(&m_lock);
    while (m_hold && !emulator.isStopping())
        m_released.wait(&m_lock, 100);
    return !emulator.isStopping();
}

bool ReceiverLists::writeChunk(EmulatorSession &s, const QByteArray &chunk, int index)
{
    QMutexLocker lock(&m_lock);
    if (index != m_heldChunk) {
        lock.unlock();
        return s.write(chunk);
    }
    const int first = 12 + (chunk.size() - 12) / 2;
    if (!s.write(chunk.left(first)))
        return false;
    m_tailHeld = true;
    while (m_heldChunk == index && !s.emulator().isStopping())
        m_released.wait(&m_lock, 100);
    m_tailHeld = false;
    lock.unlock();
    return s.write(chunk.mid(first));
}

bool ReceiverLists::serveDownload(EmulatorSession &s, int type)
{
    const QByteArray doc = [&] {
        QMutexLocker lock(&m_lock);
        return m_documents[type];
    }();
    s.writeByte(0xAA);
    const int step = 4096;
    const qint64 cut = m_cutAfter.load();
    for (int at = 0; at < doc.size(); at += step) {
        const QByteArray piece = doc.mid(at, step);
        const quint32 percent = quint32(qMin<qint64>(100, (at + piece.size()) * 100 / doc.size()));
        if (cut >= 0 && at + piece.size() > cut) {
            // the chunk is cut short and the connection goes with it
            s.write(ListChunkParser::dataChunk(piece, percent).left(int(cut - at) + 12));
            return false;
        }
        if (!writeChunk(s, ListChunkParser::dataChunk(piece, percent), at / step))
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
    bool refused = false;
    // Bytes of this upload taken so far; with the cut switch the connection closes at that count.
    qint64 taken = 0;
    const qint64 cut = m_cutAfter.load();
    // answers given; with the silence switch none after that many
    int answered = 0;
    const int silentAfter = m_silentAfter.load();
    const auto answer = [&](quint8 reply) {
        if (silentAfter >= 0 && answered >= silentAfter)
            return true;
        ++answered;
        return s.writeByte(reply);
    };
    const auto take = [&](qint64 n, int timeoutMs) {
        const qint64 allowed = cut < 0 ? n : qMin(n, cut - taken);
        const QByteArray bytes = allowed > 0 ? s.read(allowed, timeoutMs) : QByteArray();
        taken += bytes.size();
        return bytes.size() == n ? bytes : QByteArray();
    };
    for (;;) {
        const QByteArray tag = take(3, 5000);
        if (tag.size() < 3)
            return false;
        if (tag == "CNL")
            return true;
        if (tag == "CMP") {
            const QByteArray document = "<TDocument><items>" + services + "</items>" + lists + "</TDocument>";
            // What does not read as a list document is refused, and the receiver keeps its list.
            QDomDocument check;
            if (refused || !check.setContent(document))
                return answer(0xAC);
            QMutexLocker lock(&m_lock);
            m_documents[type] = document;
            ++m_uploads;
            store(type, document);
            lock.unlock();
            return answer(0xAA);
        }
        const QByteArray length = take(4, 2000);
        if (length.size() < 4)
            return false;
        const qint64 size = qFromLittleEndian<quint32>(length.constData());
        const QByteArray text = size > 0 ? take(size, 5000) : QByteArray();
        if (text.size() < size)
            return false;
        if (tag == "PST") {
            // Entries come whole, at most three to a message.
            if (!entriesParse(text)) {
                refused = true;
                answer(0xAC);
                continue;
            }
            services += text;
        } else {
            lists += text;
        }
        answer(0xAA);
    }
}
