#pragma once

#include "document/docitem.h"

#include <QDomElement>
#include <QDomNodeList>
#include <QHash>
#include <QList>
#include <QStringList>

// The item elements of one tag under one root, presented as rows of a table model, with the
// structural edits (insert copies, remove) and the ids of new items.
class DocItemsDataProvider
{
public:
    // A handle on one row's element. Only the pointer inside moves when rows shift, so the row list
    // moves its entries as plain memory.
    struct Row
    {
        QDomElement element;
    };

    DocItemsDataProvider();
    DocItemsDataProvider(const QDomElement &root, const QString &itemTag, bool autoId);
    virtual ~DocItemsDataProvider();
    DocItemsDataProvider(const DocItemsDataProvider &other);
    DocItemsDataProvider &operator=(const DocItemsDataProvider &other);

    virtual int count();
    virtual int countSame(const DocItem &item, const QString &childTag);
    virtual DocItem itemAt(int row);
    virtual int indexOf(const QString &id);
    virtual bool contains(const QString &id);
    virtual DocItem insertNewItem(int row);
    virtual DocItem insertItem(int row, DocItem &item);
    virtual QStringList insertItems(int row, const QList<DocItem> &items);
    virtual QString nextId();
    virtual QString itemTag();
    virtual bool removeAt(int row);
    // Removes count items from row on in one pass: what removeAt does for each of them, without
    // re-reading the list between two of them.
    virtual bool removeRange(int row, int count);
    // Moves the items of the rows (ascending, distinct) behind all others, keeping the order of both;
    // false, changing nothing, unless each is a child of the root.
    bool gatherAtEnd(const QList<int> &rowsToGather);
    bool canGather(const QList<int> &rowsToGather);

    void setRoot(const QDomElement &root, const QString &itemTag);
    // Re-reads the rows after the tree under root was changed without DocItem; counts as a change.
    void refresh();
    // Takes the rows as a walk of the caller already found them: every element of the item tag below
    // the root, in document order. Saves the provider its own walk.
    void presetRows(const QList<QDomElement> &elements);
    DocItem newItem();
    DocItem itemById(int id);

    // Gives the item at row the id text, a decimal number no other item has; the favourite-list
    // references to the old id follow. False, changing nothing, for any other text.
    bool changeId(int row, const QString &text);

protected:
    QDomNodeList items;
    QDomElement root;
    QString itemTagName;
    bool autoId = true;
    QList<int> idPool;

private:
    // The rows as elements, so that counting, reading and removing rows costs no walk over the tree
    // (the live node list re-reads the whole tree after every change of the document). The rows stay
    // exact through this provider's own edits; edits by another provider that reach this one's set
    // mark it stale, and so does every structural change made through DocItem. Code that changes the
    // tree under root in any other way calls refresh() afterwards.
    void ensureRows();
    // nextId, counting as taken the ids of the rows about to go in as well
    QString takeId(const QList<Row> &pending);
    void rowsChangedBelow(const QDomElement &parent, const QStringList &tags);

    QList<Row> rows;
    bool rowsValid = false;
    quint64 rowsStructure = 0;

    // id -> last row holding it, so that looking every item up costs linear time instead of a scan
    // per lookup. The table holds while the row list is the one it was built from (every change of
    // the list counts a generation) and no id was written through a path since; anything else
    // rebuilds it. Ids of listed items are changed through DocItem paths or changeId, never with
    // setAttribute directly. Plain decimal ids (the usual ones) are kept by their number, in a plain
    // array when they are about as dense as the rows: read without hashing or comparing texts.
    static int plainNumber(const QString &id);
    int cachedRow(const QString &id) const;
    void cacheRow(const QString &id, int row);
    void uncacheRow(const QString &id);
    quint64 rowsGeneration = 0;
    quint64 cachedGeneration = ~quint64(0);
    QList<int> rowOfDenseNumber;
    QHash<int, int> rowOfNumberCache;
    QHash<QString, int> rowOfIdCache;
    quint64 cachedIdWrites = 0;
};

Q_DECLARE_TYPEINFO(DocItemsDataProvider::Row, Q_RELOCATABLE_TYPE);
