#include "document/docitem.h"

#include "document/xmltextguard.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QTextStream>

#include <atomic>

namespace {

std::atomic<quint64> idWriteCount{0};
std::atomic<quint64> structureWriteCount{0};
std::atomic<quint64> contentWriteCount{0};

} // namespace

quint64 DocItem::idWrites()
{
    return idWriteCount.load(std::memory_order_relaxed);
}

quint64 DocItem::structureWrites()
{
    return structureWriteCount.load(std::memory_order_relaxed);
}

void DocItem::structureChanged()
{
    structureWriteCount.fetch_add(1, std::memory_order_relaxed);
    contentChanged();
}

quint64 DocItem::contentWrites()
{
    return contentWriteCount.load(std::memory_order_relaxed);
}

void DocItem::contentChanged()
{
    contentWriteCount.fetch_add(1, std::memory_order_relaxed);
}

DocItem::DocItem(const QDomElement &element)
    : QDomElement(element)
{}

QDomElement DocItem::nextElement(const QDomElement &element, const QDomElement &top)
{
    QDomElement next = element.firstChildElement();
    if (!next.isNull())
        return next;
    QDomNode node = element;
    while (!node.isNull() && node != top) {
        next = node.nextSiblingElement();
        if (!next.isNull())
            return next;
        node = node.parentNode();
    }
    return {};
}

QDomElement DocItem::firstDescendant(const QDomElement &element, const QString &tag)
{
    if (element.isNull())
        return {};
    // iterative pre-order walk over elements only: no recursion on deep documents
    for (QDomElement e = element.firstChildElement(); !e.isNull(); e = nextElement(e, element)) {
        if (e.tagName() == tag)
            return e;
    }
    return {};
}

QString DocItem::value(const QString &path) const
{
    if (!path.contains(u'/'))
        return readLeaf(path);
    const QStringList parts = path.split(u'/');
    DocItem current = *this;
    for (int i = 0; i < parts.size() - 1; ++i) {
        const QDomElement found = firstDescendant(current, parts.at(i));
        if (!found.isNull())
            current = found; // a missing part is skipped when reading
    }
    return current.readLeaf(parts.last());
}

QString DocItem::readLeaf(const QString &part) const
{
    if (isNull())
        return {};
    if (part.isEmpty())
        return hasChildNodes() ? firstChild().nodeValue() : QString();
    if (part.startsWith(u'@'))
        return attribute(part.mid(1));
    if (part.startsWith(u'<')) {
        const QDomElement inner = firstDescendant(*this, part.mid(1));
        if (inner.isNull())
            return {};
        QString text;
        QTextStream stream(&text);
        inner.save(stream, 0);
        stream.flush();
        text = text.mid(text.indexOf(u'>') + 1);
        return text.left(text.lastIndexOf(u'<'));
    }
    const QDomElement child = firstDescendant(*this, part);
    if (child.isNull() || !child.hasChildNodes())
        return {};
    return child.firstChild().nodeValue();
}

bool DocItem::setValue(const QString &path, int value, int mode)
{
    return setValue(path, QString::number(value), mode);
}

bool DocItem::setValue(const QString &path, const QString &value, int mode)
{
    if (!path.contains(u'/'))
        return writeLeaf(path, value, mode);
    const QStringList parts = path.split(u'/');
    DocItem current = *this;
    for (int i = 0; i < parts.size() - 1; ++i) {
        QDomElement found = firstDescendant(current, parts.at(i));
        if (found.isNull()) {
            if (mode != 2)
                return false;
            if (current.isNull())
                return true; // a null item changes no document
            found = current.ownerDocument().createElement(parts.at(i));
            current.appendChild(found);
            structureChanged();
        }
        current = found;
    }
    return current.writeLeaf(parts.last(), value, mode);
}

bool DocItem::writeLeaf(const QString &part, const QString &value, int mode)
{
    // counted before the write: a value written over itself is still a write
    contentChanged();
    if (part.isEmpty()) {
        if (!isNull() && hasChildNodes()) {
            firstChild().setNodeValue(value);
            return true;
        }
        if (mode == 0)
            return false;
        if (!isNull())
            appendChild(ownerDocument().createTextNode(value));
        return true;
    }
    if (part.startsWith(u'@')) {
        const QString name = part.mid(1);
        if (name == QLatin1String("id"))
            idWriteCount.fetch_add(1, std::memory_order_relaxed);
        if (!isNull() && hasAttribute(name)) {
            setAttribute(name, value);
            return true;
        }
        if (mode == 0)
            return false;
        if (!isNull())
            setAttribute(name, value);
        return true;
    }
    if (part.startsWith(u'<')) {
        const QString name = part.mid(1);
        if (name.isEmpty())
            return false;
        const QDomElement old = firstDescendant(*this, name);
        if (old.isNull() && mode == 0)
            return false;
        // parse first: a value that is no XML leaves the element as it was
        QDomDocument parsed;
        if (!XmlTextGuard::check(value, nullptr, nullptr, nullptr) || !parsed.setContent(value, false))
            return false;
        if (isNull())
            return true;
        QDomDocument document = ownerDocument();
        QDomElement replacement = document.createElement(name);
        replacement.appendChild(document.importNode(parsed.documentElement(), true));
        if (old.isNull())
            appendChild(replacement);
        else
            old.parentNode().replaceChild(replacement, old);
        structureChanged();
        return true;
    }
    QDomElement child = firstDescendant(*this, part);
    if (!child.isNull()) {
        if (!child.hasChildNodes())
            child.appendChild(ownerDocument().createTextNode(value));
        else
            child.firstChild().setNodeValue(value);
        return true;
    }
    if (mode == 0)
        return false;
    if (!isNull()) {
        QDomDocument document = ownerDocument();
        child = document.createElement(part);
        child.appendChild(document.createTextNode(value));
        appendChild(child);
        structureChanged();
    }
    return true;
}

QString DocItem::id() const
{
    return attribute(QStringLiteral("id"));
}

QString DocItem::toString() const
{
    QString text;
    QTextStream stream(&text);
    save(stream, 1);
    stream.flush();
    return text;
}

QDomElement DocItem::childElement(const QString &tag, int n) const
{
    if (isNull() || n < 0)
        return {};
    const QDomNodeList list = elementsByTagName(tag);
    return n < list.count() ? list.item(n).toElement() : QDomElement();
}

QDomElement DocItem::removeChildren(const QString &tag)
{
    if (tag.isEmpty() || isNull())
        return {};
    QDomElement child = firstChildElement(tag);
    while (!child.isNull()) {
        const QDomElement next = child.nextSiblingElement(tag);
        removeChild(child);
        child = next;
    }
    QDomElement fresh = ownerDocument().createElement(tag);
    appendChild(fresh);
    structureChanged();
    return fresh;
}

QStringList DocItem::children() const
{
    QStringList names;
    bool textSeen = false;
    for (QDomNode node = firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (node.isElement()) {
            names << node.toElement().tagName();
        } else if (node.isText() && !textSeen) {
            textSeen = true;
            names << QString();
        }
    }
    return names;
}

namespace {

// the child node of parent at position, counted over all child nodes; position clamped
QDomNode childAt(const QDomNode &parent, int &position)
{
    const QDomNodeList nodes = parent.childNodes();
    const int count = nodes.count();
    position = qBound(0, position, count - 1);
    return nodes.item(position);
}

} // namespace

int DocItem::moveBefore(int position)
{
    QDomNode parent = parentNode();
    if (isNull() || parent.isNull())
        return -1;
    const QDomNode target = childAt(parent, position);
    if (target != *this) {
        parent.insertBefore(*this, target);
        structureChanged();
    }
    return position;
}

int DocItem::moveTo(int position)
{
    QDomNode parent = parentNode();
    if (isNull() || parent.isNull())
        return -1;
    const QDomNode target = childAt(parent, position);
    if (target == *this)
        return position;
    if (target == nextSibling())
        parent.insertAfter(*this, target);
    else
        parent.insertBefore(*this, target);
    structureChanged();
    return position;
}

void DocItem::writeDefaultName(DocItem &item, const QString &tag, const QString &id)
{
    if (tag.compare(QLatin1String("tvService"), Qt::CaseInsensitive) == 0)
        item.setValue(QStringLiteral("name"), QCoreApplication::translate("QObject", "New TV service %1").arg(id), 2);
    else if (tag.compare(QLatin1String("radioService"), Qt::CaseInsensitive) == 0)
        item.setValue(QStringLiteral("name"), QCoreApplication::translate("QObject", "New radio service %1").arg(id),
                      2);
    else if (tag.compare(QLatin1String("link"), Qt::CaseInsensitive) == 0)
        item.setValue(QStringLiteral("title"), QCoreApplication::translate("QObject", "New link %1").arg(id), 2);
}

DocItem DocItem::createElement(const QString &tag, const QDomElement &parent, const QString &id)
{
    DocItem item(parent.ownerDocument().createElement(tag));
    if (!id.isEmpty()) {
        item.setAttribute(QStringLiteral("id"), id);
        writeDefaultName(item, tag, id);
    }
    return item;
}

DocItem DocItem::cloneAs(const QString &tag, const QDomElement &parent, const DocItem &source, const QString &id)
{
    DocItem item(parent.ownerDocument().importNode(source, true).toElement());
    if (!id.isEmpty() && !item.isNull()) {
        item.setAttribute(QStringLiteral("id"), id);
        writeDefaultName(item, tag, id);
        if (tag.compare(QLatin1String("link"), Qt::CaseInsensitive) == 0)
            item.setValue(QStringLiteral("type"), QStringLiteral("website"), 2);
    }
    return item;
}
