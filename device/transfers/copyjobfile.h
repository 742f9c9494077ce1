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
    // An entry the receiver names in a way that cannot travel in the job (control characters): it is
    // listed so the user hears of it, never copied.
    bool isUnreachable() const { return attribute(QStringLiteral("unreachable")) == QLatin1String("true"); }
    // Last component of absolutePath, after the last "/" or "\".
    QString fileName() const;
};
