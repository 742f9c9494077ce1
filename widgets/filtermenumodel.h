#pragma once

#include "base/columnfilter.h"

#include <QAbstractItemModel>
#include <QList>
#include <QPointer>

#include <vector>

// The tree behind the filter pop-up: one check-box node per filtered column and, under it, one per
// value offered for that column. Ticks are written back into the page's filter records.
class FilterMenuModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    using ColumnFilter = ::ColumnFilter;

    class FilterMenuModelNode
    {
    public:
        enum Kind { Root = 1, Column = 2, Value = 3 };
        FilterMenuModelNode(FilterMenuModelNode *parent, int kind);
        virtual ~FilterMenuModelNode();
        FilterMenuModelNode(FilterMenuModelNode &&) = default;

        int checkState = Qt::Unchecked;
        QString text;
        QString value;
        QAbstractItemModel *valuesModel = nullptr;
        FilterMenuModelNode *parent;
        int kind;
        QList<FilterMenuModelNode *> children;
    };

    // itemsModel names the columns; filters belongs to the page and outlives this model.
    FilterMenuModel(QAbstractItemModel *itemsModel, QList<ColumnFilter> *filters, QObject *parent = nullptr);
    ~FilterMenuModel() override;

    void rebuild(bool quiet);
    void clear();
    bool hasValues() const;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &index) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    void filterChanged();

private:
    FilterMenuModelNode *nodeOf(const QModelIndex &index) const;
    QModelIndex indexOfNode(FilterMenuModelNode *node) const;

    FilterMenuModelNode *newNode(FilterMenuModelNode *parent, int kind);

    // Every node of the current tree in one block, reserved for the whole tree before it is built
    // (so no node moves) and released together at the next rebuild.
    std::vector<FilterMenuModelNode> nodes;
    FilterMenuModelNode *root = nullptr;
    QPointer<QAbstractItemModel> itemsModel;
    QList<ColumnFilter> *filters;
};
