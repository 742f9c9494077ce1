#include "document/docitemsdataprovider.h"

DocItemsDataProvider::DocItemsDataProvider() = default;

DocItemsDataProvider::DocItemsDataProvider(const QDomElement &root, const QString &itemTag, bool autoId)
    : autoId(autoId)
{
    setRoot(root, itemTag);
}

DocItemsDataProvider::~DocItemsDataProvider() = default;

void DocItemsDataProvider::setRoot(const QDomElement &root, const QString &itemTag)
{
    this->root = root;
    itemTagName = itemTag;
    refresh();
}

void DocItemsDataProvider::refresh()
{
    items = root.elementsByTagName(itemTagName);
}

int DocItemsDataProvider::count()
{
    return items.count();
}

DocItem DocItemsDataProvider::itemAt(int row)
{
    if (row < 0 || row >= items.count())
        return DocItem();
    return DocItem(items.item(row).toElement());
}

DocItem DocItemsDataProvider::itemById(int id)
{
    const int row = indexOf(QString::number(id));
    return row < 0 ? DocItem() : itemAt(row);
}

int DocItemsDataProvider::indexOf(const QString &id)
{
    const auto hit = rowOfIdCache.constFind(id);
    if (hit != rowOfIdCache.constEnd() && cachedIdWrites == DocItem::idWrites() && hit->row < items.count() &&
        items.item(hit->row) == hit->element)
        return hit->row;
    rowOfIdCache.clear();
    cachedIdWrites = DocItem::idWrites();
    const int n = count();
    rowOfIdCache.reserve(n);
    for (int row = 0; row < n; ++row) {
        const QDomElement element = items.item(row).toElement();
        rowOfIdCache.insert(element.attribute(QStringLiteral("id")), {row, element}); // the later of equal ids wins
    }
    const auto found = rowOfIdCache.constFind(id);
    return found == rowOfIdCache.constEnd() ? -1 : found->row;
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
    item.moveBefore(row);
    refresh();
    return item;
}

DocItem DocItemsDataProvider::insertItem(int row, DocItem &item)
{
    const QString id = nextId();
    DocItem copy = DocItem::cloneAs(itemTagName, root, item, id);
    root.appendChild(copy);
    item = copy;
    copy.moveBefore(row);
    refresh();
    return copy;
}

QStringList DocItemsDataProvider::insertItems(int row, const QList<DocItem> &items)
{
    QStringList ids;
    for (int i = 0; i < items.size(); ++i) {
        const QString id = nextId();
        ids << id;
        DocItem copy = DocItem::cloneAs(itemTagName, root, items.at(i), id);
        root.appendChild(copy);
        copy.moveBefore(row + i);
    }
    return ids;
}

bool DocItemsDataProvider::removeAt(int row)
{
    root.removeChild(itemAt(row));
    refresh();
    return true;
}

int DocItemsDataProvider::countSame(const DocItem &item, const QString &childTag)
{
    const QString own = DocItem(item.firstChildElement(childTag)).toString();
    int same = 0;
    const int n = items.count();
    for (int i = 0; i < n; ++i) {
        if (DocItem(items.item(i).toElement().firstChildElement(childTag)).toString() == own)
            ++same;
    }
    return same;
}

QString DocItemsDataProvider::nextId()
{
    if (!autoId)
        return QString();
    if (idPool.isEmpty()) {
        const int n = qMax(3 * count(), 4000);
        QList<bool> used(n, false);
        for (int row = 0, rows = count(); row < rows; ++row) {
            bool ok = false;
            const int value = itemAt(row).id().toInt(&ok, 10);
            if (ok && value >= 0 && value < n)
                used[value] = true;
        }
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
    item.setAttribute(QStringLiteral("id"), newId);
    idPool.removeOne(number);
    rowOfIdCache.remove(oldId);
    rowOfIdCache.insert(newId, {row, item});

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
