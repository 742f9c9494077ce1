#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The messages of a list upload, built from the list document before anything is sent: entries three
// to a "PST" message, then "<lists>", per favourite list its opening, its references eleven to a
// message and its closing, then "</lists>".
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
    };

    // False when the payload is no list document; entryElement is "tvService", "radioService" or "link".
    bool build(const QByteArray &payload, const QString &entryElement);

    QList<Message> messages;
    int entries = 0;
    int lists = 0;
    int total() const { return entries + lists; }

    // [tag][length, 32-bit little-endian][text].
    static QByteArray encode(const Message &message);
    static QString entryElementFor(const QString &listType);
};
