#include "document/docitemsdataprovider.h"

#include <QDomNamedNodeMap>

#include <algorithm>
#include <utility>

namespace {

// Every provider alive (GUI thread only), so that a removal by one reaches the others whose items it
// took away.
QList<DocItemsDataProvider *> &liveProviders()
{
    static QList<DocItemsDataProvider *> providers;
    return providers;
}

bool isAncestorOrSelf(const QDomNode &ancestor, QDomNode node)
{
    for (; !node.isNull(); node = node.parentNode()) {
        if (node == ancestor)
            return true;
    }
    return false;
}

void collectTags(const QDomElement &top, QStringList &tags)
{
    for (QDomElement element = top; !element.isNull(); element = DocItem::nextElement(element, top)) {
        if (!tags.contains(element.tagName()))
            tags.append(element.tagName());
    }
}

// An element as far as it decides how it is written, read once for comparing it with many: its name, its
// attributes and its child elements. Not plain where a namespace could make the writer add declarations
// of its own; such an element is compared by its text alone.
struct WrittenShape
{
    QString tag;
    QList<std::pair<QString, QString>> attributes;
    QList<WrittenShape> children;
    bool plain = false;
};

WrittenShape shapeOf(const QDomElement &element)
{
    WrittenShape shape;
    if (element.isNull() || !element.namespaceURI().isEmpty())
        return {};
    shape.tag = element.tagName();
    const QDomNamedNodeMap attributes = element.attributes();
    for (int i = 0, count = attributes.length(); i < count; ++i) {
        const QDomNode attribute = attributes.item(i);
        if (!attribute.namespaceURI().isEmpty() || attribute.nodeName().startsWith(QLatin1String("xmlns")))
            return {};
        shape.attributes.append({attribute.nodeName(), attribute.nodeValue()});
    }
    for (QDomElement child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        shape.children.append(shapeOf(child));
        if (!shape.children.constLast().plain)
            return {};
    }
    shape.plain = true;
    return shape;
}

// False only where the element certainly is written otherwise than the one of the shape: another name,
// other attributes, other child elements. Its text is compared apart.
bool mayBeWrittenAlike(const WrittenShape &shape, const QDomElement &element)
{
    if (!shape.plain)
        return true;
    // one in a namespace, or with an attribute in one, is written with a declaration the shape lacks
    if (element.isNull() || element.tagName() != shape.tag)
        return false;
    const QDomNamedNodeMap attributes = element.attributes();
    if (attributes.length() != shape.attributes.size())
        return false;
    for (const auto &[name, value] : shape.attributes) {
        const QDomNode attribute = attributes.namedItem(name);
        if (attribute.isNull() || attribute.nodeValue() != value)
            return false;
    }
    QDomElement child = element.firstChildElement();
    for (const WrittenShape &childShape : shape.children) {
        if (child.isNull() || !mayBeWrittenAlike(childShape, child))
            return false;
        child = child.nextSiblingElement();
    }
    return child.isNull();
}

} // namespace

DocItemsDataProvider::DocItemsDataProvider()
{
    liveProviders().append(this);
}

DocItemsDataProvider::DocItemsDataProvider(const QDomElement &root, const QString &itemTag, bool autoId)
    : autoId(autoId)
{
    liveProviders().append(this);
    setRoot(root, itemTag);
}

DocItemsDataProvider::DocItemsDataProvider(const DocItemsDataProvider &other)
    : items(other.items)
    , root(other.root)
    , itemTagName(other.itemTagName)
    , autoId(other.autoId)
    , idPool(other.idPool)
{
    liveProviders().append(this);
}

DocItemsDataProvider &DocItemsDataProvider::operator=(const DocItemsDataProvider &other)
{
    if (this != &other) {
        items = other.items;
        root = other.root;
        itemTagName = other.itemTagName;
        autoId = other.autoId;
        idPool = other.idPool;
        rowsValid = false;
        rowOfIdCache.clear();
        rowOfNumberCache.clear();
        rowOfDenseNumber.clear();
    }
    return *this;
}

DocItemsDataProvider::~DocItemsDataProvider()
{
    liveProviders().removeOne(this);
}

void DocItemsDataProvider::setRoot(const QDomElement &root, const QString &itemTag)
{
    this->root = root;
    itemTagName = itemTag;
    items = root.elementsByTagName(itemTagName);
    rowsValid = false;
}

void DocItemsDataProvider::refresh()
{
    items = root.elementsByTagName(itemTagName);
    rowsValid = false;
    // called after a change of the tree made without DocItem: it counts like one made through it
    DocItem::structureChanged();
}

void DocItemsDataProvider::presetRows(const QList<QDomElement> &elements)
{
    rows.resize(elements.size());
    for (qsizetype row = 0; row < elements.size(); ++row)
        rows[row].element = elements.at(row);
    rowsValid = true;
    ++rowsGeneration;
    rowsStructure = DocItem::structureWrites();
}

void DocItemsDataProvider::ensureRows()
{
    if (rowsValid && rowsStructure == DocItem::structureWrites())
        return;
    rowsStructure = DocItem::structureWrites();
    // the live list follows every change of the tree: one walk
    const int n = items.count();
    rows.resize(n);
    for (int row = 0; row < n; ++row)
        rows[row].element = items.item(row).toElement();
    rowsValid = true;
    ++rowsGeneration;
}

int DocItemsDataProvider::count()
{
    ensureRows();
    return int(rows.size());
}

DocItem DocItemsDataProvider::itemAt(int row)
{
    ensureRows();
    if (row < 0 || row >= rows.size())
        return DocItem();
    return DocItem(rows.at(row).element);
}

DocItem DocItemsDataProvider::itemById(int id)
{
    const int row = indexOf(QString::number(id));
    return row < 0 ? DocItem() : itemAt(row);
}

int DocItemsDataProvider::plainNumber(const QString &id)
{
    const qsizetype size = id.size();
    if (size < 1 || size > 9 || (size > 1 && id.at(0) == u'0'))
        return -1;
    int value = 0;
    for (const QChar c : id) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

int DocItemsDataProvider::cachedRow(const QString &id) const
{
    const int number = plainNumber(id);
    if (number < 0)
        return rowOfIdCache.value(id, -1);
    if (number < rowOfDenseNumber.size())
        return rowOfDenseNumber.at(number);
    return rowOfNumberCache.value(number, -1);
}

void DocItemsDataProvider::cacheRow(const QString &id, int row)
{
    const int number = plainNumber(id);
    if (number < 0)
        rowOfIdCache.insert(id, row);
    else if (number < rowOfDenseNumber.size())
        rowOfDenseNumber[number] = row;
    else
        rowOfNumberCache.insert(number, row);
}

void DocItemsDataProvider::uncacheRow(const QString &id)
{
    const int number = plainNumber(id);
    if (number < 0)
        rowOfIdCache.remove(id);
    else if (number < rowOfDenseNumber.size())
        rowOfDenseNumber[number] = -1;
    else
        rowOfNumberCache.remove(number);
}

int DocItemsDataProvider::indexOf(const QString &id)
{
    ensureRows();
    if (cachedGeneration == rowsGeneration && cachedIdWrites == DocItem::idWrites())
        return cachedRow(id);
    rowOfIdCache.clear();
    rowOfNumberCache.clear();
    rowOfDenseNumber.clear();
    cachedIdWrites = DocItem::idWrites();
    cachedGeneration = rowsGeneration;
    const int n = int(rows.size());
    QStringList ids;
    ids.reserve(n);
    int largest = -1;
    for (int row = 0; row < n; ++row) {
        ids << rows.at(row).element.attribute(QStringLiteral("id"));
        largest = qMax(largest, plainNumber(ids.last()));
    }
    // ids numbered about as densely as the rows (the usual case) are kept in a plain array by number
    if (largest >= 0 && largest < 4 * n + 1024)
        rowOfDenseNumber.fill(-1, largest + 1);
    else
        rowOfNumberCache.reserve(n);
    for (int row = 0; row < n; ++row)
        cacheRow(ids.at(row), row); // the later of equal ids wins
    return cachedRow(id);
}

bool DocItemsDataProvider::contains(const QString &id)
{
    return indexOf(id) >= 0;
}

QString DocItemsDataProvider::itemTag()
{
    return itemTagName;
}

DocItem DocItemsDataProvider::newItem()
{
    return DocItem::createElement(itemTagName, root, QString());
}

DocItem DocItemsDataProvider::insertNewItem(int row)
{
    const QString id = nextId();
    DocItem item = DocItem::createElement(itemTagName, root, id);
    root.appendChild(item);
    DocItem::structureChanged();
    item.moveBefore(row);
    refresh();
    return item;
}

DocItem DocItemsDataProvider::insertItem(int row, DocItem &item)
{
    const QString id = nextId();
    DocItem copy = DocItem::cloneAs(itemTagName, root, item, id);
    root.appendChild(copy);
    DocItem::structureChanged();
    item = copy;
    copy.moveBefore(row);
    refresh();
    return copy;
}

QStringList DocItemsDataProvider::insertItems(int row, const QList<DocItem> &items)
{
    QStringList ids;
    if (items.isEmpty())
        return ids;
    ensureRows();
    // The copies go in before the element of the row (after the last row when there is none), all in one
    // walk: finding a place by counting child nodes would read the whole list again for every copy.
    const int at = qBound(0, row, int(rows.size()));
    QDomNode anchor;
    if (at < rows.size() && rows.at(at).element.parentNode() == root)
        anchor = rows.at(at).element;
    else if (at > 0 && rows.at(at - 1).element.parentNode() == root)
        anchor = rows.at(at - 1).element.nextSibling();
    QList<Row> added;
    added.reserve(items.size());
    ids.reserve(items.size());
    bool nested = false;
    const quint64 structure = DocItem::structureWrites();
    for (const DocItem &item : items) {
        const QString id = takeId(added);
        ids << id;
        DocItem copy = DocItem::cloneAs(itemTagName, root, item, id);
        if (anchor.isNull())
            root.appendChild(copy);
        else
            root.insertBefore(copy, anchor);
        added.append(Row{copy});
        nested = nested || !copy.elementsByTagName(itemTagName).isEmpty();
    }
    // the rows as they stood, with the copies in their place, are the new list; unless a copy holds items
    // of its own tag, or copying changed the tree's structure itself: then it is read again
    const bool kept = rowsValid && !nested && DocItem::structureWrites() == structure;
    if (kept) {
        rows.insert(at, added.size(), Row());
        std::copy(added.cbegin(), added.cend(), rows.begin() + at);
    }
    ++rowsGeneration;
    DocItem::structureChanged();
    rowsStructure = DocItem::structureWrites();
    rowsValid = kept;
    this->items = root.elementsByTagName(itemTagName);
    return ids;
}

bool DocItemsDataProvider::removeAt(int row)
{
    return removeRange(row, 1);
}

bool DocItemsDataProvider::removeRange(int row, int count)
{
    ensureRows();
    const int first = qMax(row, 0);
    const int end = int(qMin(qint64(row) + qMax(count, 0), qint64(rows.size())));
    if (first >= end)
        return true;
    DocItem::contentChanged();
    QStringList tags;
    int kept = first;
    for (int i = first; i < end; ++i) {
        const QDomElement element = rows.at(i).element;
        if (element.parentNode() == root) {
            collectTags(element, tags);
            root.removeChild(element);
        } else {
            rows[kept++].element = element; // not a child of root: removeChild leaves it where it is
        }
    }
    rows.erase(rows.begin() + kept, rows.begin() + end);
    ++rowsGeneration;
    items = root.elementsByTagName(itemTagName);
    if (!tags.isEmpty())
        rowsChangedBelow(root, tags);
    return true;
}

bool DocItemsDataProvider::canGather(const QList<int> &rowsToGather)
{
    ensureRows();
    for (int row : rowsToGather) {
        if (row < 0 || row >= rows.size() || rows.at(row).element.parentNode() != root)
            return false;
    }
    return true;
}

bool DocItemsDataProvider::gatherAtEnd(const QList<int> &rowsToGather)
{
    if (!canGather(rowsToGather))
        return false;
    DocItem::contentChanged();
    QList<Row> kept;
    QList<Row> gathered;
    kept.reserve(rows.size() - rowsToGather.size());
    gathered.reserve(rowsToGather.size());
    for (int row = 0, next = 0; row < rows.size(); ++row) {
        if (next < rowsToGather.size() && rowsToGather.at(next) == row) {
            gathered << rows.at(row);
            root.appendChild(rows.at(row).element); // a move: the element leaves its place
            ++next;
        } else {
            kept << rows.at(row);
        }
    }
    rows = kept + gathered;
    ++rowsGeneration;
    DocItem::structureChanged();
    rowsStructure = DocItem::structureWrites(); // the list above is the new order
    return true;
}

void DocItemsDataProvider::rowsChangedBelow(const QDomElement &parent, const QStringList &tags)
{
    for (DocItemsDataProvider *other : std::as_const(liveProviders())) {
        if (other != this && other->rowsValid && tags.contains(other->itemTagName) &&
            isAncestorOrSelf(other->root, parent))
            other->rowsValid = false;
    }
}

int DocItemsDataProvider::countSame(const DocItem &item, const QString &childTag)
{
    const QDomElement ownChild = item.firstChildElement(childTag);
    const QString own = DocItem(ownChild).toString();
    const QString ownText = ownChild.text();
    const WrittenShape ownShape = shapeOf(ownChild);
    int same = 0;
    ensureRows();
    // Written out, as the comparison goes, are only the children that hold the same text and the same
    // elements and attributes: writing every one costs a large list a noticeable pause.
    for (const Row &entry : std::as_const(rows)) {
        const QDomElement child = entry.element.firstChildElement(childTag);
        if (child == ownChild && !child.isNull())
            ++same;
        else if (child.text() == ownText && mayBeWrittenAlike(ownShape, child) && DocItem(child).toString() == own)
            ++same;
    }
    return same;
}

QString DocItemsDataProvider::nextId()
{
    return takeId({});
}

QString DocItemsDataProvider::takeId(const QList<Row> &pending)
{
    if (!autoId)
        return QString();
    if (idPool.isEmpty()) {
        const int rowCount = count();
        const int n = qMax(3 * (rowCount + int(pending.size())), 4000);
        QList<bool> used(n, false);
        const auto use = [&used, n](const QDomElement &element) {
            bool ok = false;
            const int value = element.attribute(QStringLiteral("id")).toInt(&ok, 10);
            if (ok && value >= 0 && value < n)
                used[value] = true;
        };
        for (int row = 0; row < rowCount; ++row)
            use(itemAt(row));
        for (const Row &row : pending)
            use(row.element);
        idPool.reserve(n);
        for (int i = 0; i < n; ++i) {
            if (!used.at(i))
                idPool.append(i);
        }
    }
    return QString::number(idPool.takeFirst());
}

bool DocItemsDataProvider::changeId(int row, const QString &text)
{
    DocItem item = itemAt(row);
    bool ok = false;
    const int number = text.trimmed().toInt(&ok, 10);
    if (item.isNull() || !ok || number < 0)
        return false;
    const QString newId = QString::number(number);
    const QString oldId = item.id();
    if (newId == oldId || indexOf(newId) >= 0)
        return false;
    DocItem::contentChanged();
    item.setAttribute(QStringLiteral("id"), newId);
    idPool.removeOne(number);
    if (cachedGeneration == rowsGeneration) {
        uncacheRow(oldId);
        cacheRow(newId, row);
        cachedIdWrites = DocItem::idWrites();
    }

    // the favourite lists refer to entries by id; the lists themselves are not entries
    const QDomElement lists = DocItem::firstDescendant(root.ownerDocument().documentElement(), QStringLiteral("lists"));
    if (lists.isNull())
        return true;
    for (QDomNode up = root; !up.isNull(); up = up.parentNode()) {
        if (up == lists)
            return true;
    }
    const QDomNodeList refs = lists.elementsByTagName(QStringLiteral("ref"));
    for (int i = 0; i < refs.count(); ++i) {
        DocItem ref(refs.item(i).toElement());
        if (ref.value(QString()) == oldId)
            ref.setValue(QString(), newId, 0);
    }
    return true;
}
