#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <atomic>
#include <functional>

class Mill;
class QIODevice;

// The blocking view of one receiver connection that the transfers use in the worker thread, with the
// worker's interrupt flag and the signals the transfers report through. Every read has a deadline:
// a silent or closed connection fails after the inactivity limit instead of waiting forever.
class TransferLink
{
public:
    TransferLink(QIODevice *device, std::atomic_bool *interrupt);
    // Over a worker's connection: its interrupt flag is the cancel of the running task.
    TransferLink(QIODevice *device, Mill *mill);
    // Closes a connection that was given up.
    ~TransferLink();
    TransferLink(const TransferLink &) = delete;
    TransferLink &operator=(const TransferLink &) = delete;

    // Reports; each may be left empty.
    std::function<void(qint64)> progress64;
    std::function<void(int, int)> progress;
    std::function<void(const QString &)> status;
    std::function<void(const QString &)> error;
    // The user text for a protocol error code (the code of a refused status byte is its signed value).
    std::function<QString(int)> codeText;

    // What readStatus gives when no status came (the connection closed or stayed silent past the wait). No status
    // byte reads as it (their signed values are -128..127): every byte the receiver sends, 0xFF ("general error",
    // -1) included, is an answer.
    static constexpr int NoStatus = -256;

    // How long, from a cancel (a Disconnect's, the program's end's), the answers that finish an exchange in step are
    // waited for in all: a receiver that is there gives them at once (the protocol's drain is two waits of 1 s).
    static constexpr int AfterCancelMs = 3000;

    // Whether a wait for the receiver ends as soon as the interrupt flag is set. An exchange that must be
    // finished in step after a cancel waits for its answers as long as the protocol's waits allow instead, and
    // never past the after-cancel wait.
    bool stopsOnCancel = true;

    // Whether the interrupt flag is set. Seeing it set starts the after-cancel wait (unless a cancel no longer
    // changes the exchange, see LastAnswer); clearing it does not end that wait.
    bool interrupted() const;
    void clearInterrupt();
    // Whether a cancel came during this exchange: its finishing is then bounded by the after-cancel wait, and a
    // receiver that let it pass did not answer the cancel.
    bool cancelSeen() const { return m_cancelClock.isValid(); }
    // Whether the after-cancel wait has passed: no read or write waits any more.
    bool afterCancelPassed() const;
    // A new exchange on this link: a cancel that an earlier one was finished under no longer bounds its waits; a
    // cancel still pending does, from when it was first seen.
    void beginExchange();
    // What the user is told when the receiver let the after-cancel wait pass.
    static QString cancelUnansweredText();

    // How long a read may see no new byte before it fails (ms).
    int inactivityLimit() const { return m_inactivity; }
    void setInactivityLimit(int ms) { m_inactivity = ms; }

    bool write(const QByteArray &bytes, bool flush = true);
    bool flush();
    // Exactly n bytes into *out, or false after the inactivity limit passed without a new byte, when
    // the connection closed, or when the interrupt flag is set while waiting (tested every 100 ms);
    // *out then holds what came. A transfer that goes on reading after a cancel clears the flag first.
    bool readExact(qint64 n, QByteArray *out);
    bool readExact(qint64 n, QByteArray *out, int inactivityMs);
    // Up to n bytes of what is there once a first byte came (waiting up to waitMs for it, less when
    // the interrupt flag is set).
    QByteArray readUpTo(qint64 n, int waitMs);
    // One byte 0..255, or -1 when none came in time.
    int readByte();
    int readByte(int inactivityMs);
    // A status by the receiver's rule: 1 is returned; 0xF9 ("pending") is answered with 0x01 and the
    // next status read; any other byte is returned as its signed value; NoStatus when no status came.
    int readStatus();
    int readStatus(int inactivityMs);
    // Writes, then returns what is readable once the first reply bytes came (up to waitMs).
    QByteArray request(const QByteArray &bytes, int waitMs = 30000);
    // Reads and drops what is pending now, without waiting.
    void dropPending();
    bool isOpen() const;
    // Gives the connection up: a receiver that let an answer's wait pass in silence is not waited for
    // again (over a worker's connection, its run ends and it connects anew).
    void close();
    // Gives the connection up once the running request has told its outcome: an exchange left half done (no
    // answer within the waits) leaves the receiver out of step, so not one byte more goes or is read over it
    // (isOpen() is false from now on), and the connection is closed when this link goes. Over a worker's
    // connection the page thus hears the request's own outcome first, then the lost connection, and the worker
    // connects anew.
    void giveUp() { m_gaveUp = true; }
    bool gaveUp() const { return m_gaveUp; }

    // Raw bytes read and written; lets tests and benchmarks check what moved.
    qint64 bytesRead() const { return m_read; }

    // For the life of one exchange that is finished in step after a cancel: the link's waits run to their limits
    // whatever the interrupt flag, so no second cancel cuts them short either; after a cancel, to the after-cancel
    // wait at most.
    class InStep
    {
    public:
        explicit InStep(TransferLink &link)
            : m_link(link)
            , m_was(link.stopsOnCancel)
        {
            link.stopsOnCancel = false;
        }
        ~InStep() { m_link.stopsOnCancel = m_was; }
        InStep(const InStep &) = delete;
        InStep &operator=(const InStep &) = delete;

    private:
        TransferLink &m_link;
        bool m_was;
    };

    // For the wait for the answer to an exchange's last message, once that message went (a list upload's closing
    // message): a cancel then changes nothing, so neither the interrupt flag nor the after-cancel wait shortens it.
    class LastAnswer
    {
    public:
        explicit LastAnswer(TransferLink &link)
            : m_link(link)
            , m_inStep(link)
        {
            ++link.m_lastAnswer;
        }
        ~LastAnswer() { --m_link.m_lastAnswer; }
        LastAnswer(const LastAnswer &) = delete;
        LastAnswer &operator=(const LastAnswer &) = delete;

    private:
        TransferLink &m_link;
        InStep m_inStep;
    };

private:
    bool waitForData(int ms);
    // ms, cut to what is left of the after-cancel wait once a cancel came.
    qint64 bounded(qint64 ms) const;
    bool flagSet() const;

    QIODevice *m_device;
    std::atomic_bool *m_interrupt = nullptr;
    Mill *m_mill = nullptr;
    int m_inactivity = 30000;
    qint64 m_read = 0;
    bool m_gaveUp = false;
    // Runs from the first sight of a cancel in this exchange.
    mutable QElapsedTimer m_cancelClock;
    int m_lastAnswer = 0;
};
