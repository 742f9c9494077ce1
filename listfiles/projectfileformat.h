#pragma once

#include <QByteArray>
#include <QString>

// The two on-disk forms of a list file. The project form is the document's UTF-8 text compressed with
// qCompress (a 4-byte big-endian length, then a zlib stream); the export form is the same UTF-8 text as it
// is. Saving and opening use one rule on the name, so a file the program wrote always opens again.
class ProjectFileFormat
{
public:
    // Decompressed texts larger than this are refused instead of allocated.
    static constexpr qint64 maxTextBytes = 256 * 1024 * 1024;
    // Files larger than this are not read at all.
    static constexpr qint64 maxFileBytes = 256 * 1024 * 1024;

    // True when the last suffix of the file name equals the export extension, ignoring letter case.
    static bool isExportName(const QString &path, const QString &exportExtension);
    // The bytes written for the text: compressed at level 9, or plain UTF-8 without a byte-order mark.
    static QByteArray encode(const QString &text, bool compressed);
    // True when the bytes start like qCompress output: a length within the cap, then a zlib header.
    static bool hasCompressedHeader(const QByteArray &bytes);
    // Decompresses qCompress output; an empty array when the data is damaged or claims too much.
    static QByteArray decompress(const QByteArray &bytes);
    // The text held by a file's bytes. Export names are read as plain text unless the bytes carry the
    // compressed header; every other name must be compressed. Returns a null string when nothing usable
    // is left; the text ends at the first zero byte and loses a leading byte-order mark.
    static QString decode(const QByteArray &bytes, bool exportName);
};
