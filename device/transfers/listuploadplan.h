#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <deque>
#include <memory>
#include <vector>

class QBuffer;
class QXmlStreamReader;

// The messages of a list upload, laid out from the list document: entries three to a "PST" message,
// then "<lists>", per favourite list its opening, its references eleven to a message and its closing,
// then "</lists>". The payload is read as a stream and never held as a whole DOM (for a large list
// that tree costs many times the text): open() reads it once to check and count it, next() then
// writes the messages one at a time, so a sending upload holds little more than the payload.
class ListUploadPlan
{
public:
    struct Message
    {
        QByteArray tag;  // "PST" or "LST"
        QByteArray text; // UTF-8
        // When set, Progress(percent, total) is reported after the message was answered.
        bool reports = false;
        int done = 0;
        // The message that closes the lists ("</lists>"): once it went, the receiver takes them.
        bool closing = false;
    };

    ListUploadPlan();
    ~ListUploadPlan();
    ListUploadPlan(const ListUploadPlan &) = delete;
    ListUploadPlan &operator=(const ListUploadPlan &) = delete;

    // False when the payload is no list document; entryElement is "tvService", "radioService" or "link".
    bool open(const QByteArray &payload, const QString &entryElement);
    // The next message after a successful open(); false after the last one, or when failed().
    bool next(Message *message);
    // True when an element could not be written as the document writes it: the layout is not whole.
    bool failed() const { return m_failed; }

    // open() and every message at once into messages.
    bool build(const QByteArray &payload, const QString &entryElement);

    QList<Message> messages;
    int entries = 0;
    int lists = 0;
    int total() const { return entries + lists; }

    // [tag][length, 32-bit little-endian][text].
    static QByteArray encode(const Message &message);
    static QString entryElementFor(const QString &listType);

private:
    struct Slot;
    struct Capture;
    struct Favourite;
    using SlotPtr = std::shared_ptr<Slot>;

    void reset();
    void startReading();
    bool step(bool copying);
    void finishClosed(bool textAfter);
    void release();

    QByteArray m_payload;
    QString m_entryElement;
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QXmlStreamReader> m_reader;
    bool m_failed = false;
    bool m_atEnd = false;

    // Where the reader stands.
    int m_depth = 0;
    int m_itemsDepth = 0;
    bool m_itemsClosed = false;
    int m_listsDepth = 0;
    bool m_listsClosed = false;
    std::vector<char> m_lastIsText;
    std::vector<std::unique_ptr<Capture>> m_captures;
    std::vector<std::unique_ptr<Capture>> m_closed;
    std::vector<int> m_openLists; // favourites whose end tag has not come, outermost first
    std::vector<int> m_openListDepths;
    int m_entriesSeen = 0;
    int m_listsSeen = 0;

    // What is read but not yet sent, in the order of the start tags.
    std::deque<SlotPtr> m_entryQueue;
    int m_entriesSent = 0;
    std::vector<Favourite> m_favourites;
    int m_listAt = 0;
    enum class Phase { Entries, ListsOpen, Lists, Done } m_phase = Phase::Entries;
    std::deque<Message> m_ready;
};
