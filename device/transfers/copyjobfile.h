#pragma once

#include <QDomElement>

// One entry of a copy job: a "file" element taken off a CopyJobDocument.
class CopyJobFile : public QDomElement
{
public:
    enum Type { PlainFile = 0, Record = 1, Dir = 2 };

    CopyJobFile() = default;
    explicit CopyJobFile(const QDomElement &element)
        : QDomElement(element)
    {}

    QString absolutePath() const { return attribute(QStringLiteral("absolutePath")); }
    QString relativePath() const { return attribute(QStringLiteral("relativePath")); }
    int type() const;
    int id() const;
    qint64 size() const;
    bool isFile() const { return type() == PlainFile; }
    bool isRecord() const { return type() == Record; }
    bool isDir() const { return type() == Dir; }
    // Last component of absolutePath, after the last "/" or "\".
    QString fileName() const;
};
