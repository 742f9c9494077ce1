#pragma once

#include <QByteArray>

// The chunk stream of a list download: 4-byte tags; "DATA" with a length, a percentage and the bytes
// (little-endian 32-bit numbers), "END" and a zero byte, any other tag skipped. Pure: a buffer in,
// one chunk (or "need more") out; a partial tag stays in the buffer until it is complete.
class ListChunkParser
{
public:
    enum Kind { Incomplete, Data, End, Other, Bad };
    struct Chunk
    {
        Kind kind = Incomplete;
        quint32 percent = 0;
        QByteArray bytes;
        int consumed = 0;
    };

    // Largest "DATA" chunk accepted; a longer one is hostile.
    static constexpr quint32 MaxChunk = 64u * 1024u * 1024u;

    static Chunk parse(const QByteArray &buffer);
    static QByteArray dataChunk(const QByteArray &bytes, quint32 percent);
    static QByteArray endChunk() { return QByteArray("END\0", 4); }
};
