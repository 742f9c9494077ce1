#include "device/transfers/copyjobdocument.h"

namespace {
const QString kFiles = QStringLiteral("files");
const QString kFile = QStringLiteral("file");
const QString kDirection = QStringLiteral("copyDirection");
const QString kTotal = QStringLiteral("totalSize");
const QString kDestination = QStringLiteral("destinationPath");
} // namespace

CopyJobDocument::CopyJobDocument()
{
    QDomElement root = createElement(kFiles);
    root.setAttribute(kDirection, -1);
    root.setAttribute(kTotal, qint64(0));
    root.setAttribute(kDestination, QString());
    appendChild(root);
}

QDomElement CopyJobDocument::files() const
{
    const QDomElement root = documentElement();
    return root.tagName() == kFiles ? root : QDomElement();
}

QString CopyJobDocument::toString() const
{
    if (files().isNull())
        return QString();
    return QDomDocument::toString(1);
}

void CopyJobDocument::clear()
{
    QDomDocument::clear();
}

bool CopyJobDocument::setContent(const QString &text)
{
    clear();
    const bool ok = bool(QDomDocument::setContent(text));
    if (!ok)
        clear();
    return ok;
}

CopyJobFile CopyJobDocument::takeFirstFile()
{
    QDomElement root = files();
    if (root.isNull())
        return CopyJobFile();
    const QDomElement first = root.firstChildElement(kFile);
    if (first.isNull())
        return CopyJobFile();
    root.removeChild(first);
    return CopyJobFile(first);
}

int CopyJobDocument::fileCount() const
{
    const QDomElement root = files();
    return root.isNull() ? 0 : int(root.childNodes().count());
}

bool CopyJobDocument::hasFiles() const
{
    const QDomElement root = files();
    return !root.isNull() && root.hasChildNodes();
}

void CopyJobDocument::setTotalSize(qint64 size)
{
    QDomElement root = files();
    if (!root.isNull())
        root.setAttribute(kTotal, size);
}

qint64 CopyJobDocument::totalSize() const
{
    return files().attribute(kTotal).toLongLong();
}

void CopyJobDocument::setCopyDirection(int direction)
{
    QDomElement root = files();
    if (!root.isNull())
        root.setAttribute(kDirection, direction);
}

int CopyJobDocument::copyDirection() const
{
    return files().attribute(kDirection).toInt();
}

void CopyJobDocument::setDestinationPath(const QString &path)
{
    QDomElement root = files();
    if (!root.isNull())
        root.setAttribute(kDestination, path);
}

QString CopyJobDocument::destinationPath() const
{
    return files().attribute(kDestination);
}

void CopyJobDocument::addFile(int type, qint64 size, const QString &absolutePath, const QString &relativePath, int id)
{
    QDomElement root = files();
    if (root.isNull())
        return;
    QDomElement file = createElement(kFile);
    file.setAttribute(QStringLiteral("absolutePath"), absolutePath);
    file.setAttribute(QStringLiteral("relativePath"), relativePath);
    file.setAttribute(QStringLiteral("type"), type);
    file.setAttribute(QStringLiteral("size"), size);
    file.setAttribute(QStringLiteral("id"), id);
    root.appendChild(file);
}

void CopyJobDocument::addPlainFile(qint64 size, const QString &absolutePath, const QString &relativePath)
{
    addFile(CopyJobFile::PlainFile, size, absolutePath, relativePath, 0);
}

void CopyJobDocument::addUnreachable(int type, const QString &absolutePath, const QString &relativePath)
{
    addFile(type, 0, absolutePath, relativePath, 0);
    QDomElement last = files().lastChildElement(kFile);
    if (!last.isNull())
        last.setAttribute(QStringLiteral("unreachable"), QStringLiteral("true"));
}
