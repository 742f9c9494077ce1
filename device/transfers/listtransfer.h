#pragma once

#include <QByteArray>
#include <QString>

class TransferLink;

// Moves one channel list between the PC and a receiver: download (0x19/0x20/0x21, "DATA"/"END"
// chunks answered with 0x55) and upload (0x22/0x23/0x24, "PST"/"LST" messages, "CMP" or "CNL").
class ListTransfer
{
public:
    enum Outcome { Completed, Refused, Failed, Canceled };

    explicit ListTransfer(TransferLink &link);

    // Every outcome but Completed has been reported (error text, or nothing for a cancel).
    Outcome download(const QString &listType, QString *result);
    Outcome upload(const QString &listType, const QByteArray &payload);

    // Largest list accepted from a receiver.
    static constexpr qint64 MaxListBytes = 256 * 1024 * 1024;
    // Milliseconds after "CMP" was answered before completion is reported.
    int settleMs = 1000;

    static QString busyText();
    // What a list transfer ended by a lost connection says: "download", "send" or anything else (a
    // request that moves no list).
    static QString lostConnectionText(const QString &mode);
    // first, then the sentence that says the lists of mode ("download", "send") did not move; first alone
    // for a request that moves no list.
    static QString listsNotMovedText(const QString &first, const QString &mode);

private:
    Outcome refusal(int reply);
    // known: the cause is the receiver's answer or the list itself, whatever became of the connection since.
    Outcome fail(bool downloading, bool known = false);
    // The receiver let the wait for an answer pass in silence: the connection is given up, and the failure
    // named as its loss, never as a busy receiver. A transfer the user cancelled still ends as cancelled.
    Outcome lostInSilence(bool downloading, bool canceled = false);
    Outcome openExchange(int command, bool downloading);
    Outcome closeUnanswered(bool downloading);
    Outcome abortDownload(QByteArray buffer);
    // The receiver's answer to one upload message (0xAA takes it), or -1 when none came. closing: one of the
    // messages that close the upload ("</lists>", "CMP").
    int sendMessage(const QByteArray &bytes, bool closing = false);

    TransferLink &m_link;
};
