#pragma once

#include "document/docitem.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QDomDocument>
#include <QList>

class DocItemsDataProvider;
class ItemProperty;

// The table model over the items of one provider, one column per ItemProperty. Items travel by drag
// and drop and through the clipboard as one payload: QDataStream strings "<items>", each dragged
// row's XML and "</items>", stored under the model's name and under the name with its model id.
class ItemsDatabaseModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    ItemsDatabaseModel(DocItemsDataProvider *provider, QObject *parent);
    ~ItemsDatabaseModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;
    Qt::DropActions supportedDropActions() const override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    virtual QVariant dataById(const QString &id, int column, int role);
    virtual bool setDataById(const QString &id, int column, const QVariant &value, int role);
    virtual void retranslate();
    virtual QString mimeTypeWithId() const;
    virtual void fillMimeData(QMimeData *data, const QModelIndexList &indexes) const;
    virtual QString mimeType() const;
    virtual QString appendNewItem();
    virtual QString insertItem(int row, const DocItem &item);
    virtual QStringList insertItems(int row, QList<DocItem> &items);
    virtual void setUniqueKey(const QString &path);
    virtual void clearUniqueKey();

    // Removes the rows (ascending, distinct). Runs of adjacent rows go in one call each, the highest
    // first; when there are many, the rows are first gathered behind the others in one layout change
    // and go as one block, so the cost does not grow with the number of gaps.
    bool removeRowSet(const QList<int> &rows);
    QModelIndex indexById(const QString &id, int column) const;
    QString modelId() const;
    void setSortDraggedRows(bool sort);
    void setDataProvider(DocItemsDataProvider *provider);
    void setReadOnlyColor(const QColor &color);
    // The items of a payload as one document; an empty document when it does not parse. Reads no member,
    // so a worker thread may call it.
    static QDomDocument readDroppedItems(const QByteArray &payload);

    DocItemsDataProvider *dataProvider() const { return provider; }
    const QList<ItemProperty *> &itemProperties() const { return columns; }

signals:
    void itemInserted(const QString &id);
    void itemRemoved(const QString &id);

protected:
    // What removeRowSet does; without announcing, no itemRemoved is emitted for the rows.
    bool removeRowSet(const QList<int> &rows, bool announce);
    bool sortDraggedRows = false;
    QObject *parentObject;
    QColor readOnlyColor;
    bool readOnlyColorSet = false;
    QString id;
    bool uniqueKeyOn = false;
    QString uniqueKeyPath;
    QString name;
    QList<ItemProperty *> columns;
    DocItemsDataProvider *provider;
};
