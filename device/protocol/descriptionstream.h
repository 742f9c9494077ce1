#pragma once

#include <QByteArray>

#include <functional>

// Bounds of one description exchange; a description is a few kilobytes.
struct DescriptionStreamLimits
{
    qint64 maxChunk = 256 * 1024;
    qint64 maxTotal = 1024 * 1024;
    int deadlineMs = 15000;
    // Tags other than "DATA" and "END" that are skipped before the peer counts as hostile; -1: any.
    int maxForeignTags = -1;
};

// The reader of the receiver's "DATA"/"END" chunk stream, shared by the connection worker and the
// network probe. read(n, ok) returns exactly n bytes or sets ok false; ack() sends 0x55 after each
// chunk; goOn() is asked before every tag and may also throw to leave at once. Returns false when the
// stream breaks a bound or a primitive fails; payload then holds what had arrived.
struct DescriptionStreamIo
{
    std::function<QByteArray(qint64 n, bool *ok)> read;
    std::function<bool()> ack;
    std::function<bool()> goOn;
    std::function<void(quint32 percent)> onChunk;
};

bool readDescriptionStream(const DescriptionStreamIo &io, const DescriptionStreamLimits &limits, QByteArray *payload);
