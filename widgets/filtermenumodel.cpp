#include "widgets/filtermenumodel.h"

#include <QSet>

FilterMenuModel::FilterMenuModelNode::FilterMenuModelNode(FilterMenuModelNode *parent, int kind)
    : parent(parent)
    , kind(kind)
{}

// The model's node store owns the nodes; a node's children are released with it.
FilterMenuModel::FilterMenuModelNode::~FilterMenuModelNode() = default;

FilterMenuModel::FilterMenuModelNode *FilterMenuModel::newNode(FilterMenuModelNode *parent, int kind)
{
    Q_ASSERT(nodes.size() < nodes.capacity()); // a reallocation would move the nodes
    nodes.emplace_back(parent, kind);
    return &nodes.back();
}

FilterMenuModel::FilterMenuModel(QAbstractItemModel *itemsModel, QList<ColumnFilter> *filters, QObject *parent)
    : QAbstractItemModel(parent)
    , itemsModel(itemsModel)
    , filters(filters)
{
    rebuild(true);
}

FilterMenuModel::~FilterMenuModel() = default;

void FilterMenuModel::rebuild(bool quiet)
{
    // The whole tree is replaced: views learn it through a reset even when quiet, so none keeps an
    // index into the discarded nodes. Quiet only keeps the filter from being applied again.
    beginResetModel();
    nodes.clear();
    size_t total = 1;
    for (int i = 0; filters && i < filters->size(); ++i) {
        const ColumnFilter &filter = filters->at(i);
        total += 1;
        if (filter.valuesModel)
            total += size_t(filter.valuesModel->rowCount()) + (filter.includeEmpty ? 1 : 0);
    }
    if (nodes.capacity() < total || nodes.capacity() > 2 * total)
        std::vector<FilterMenuModelNode>().swap(nodes);
    nodes.reserve(total);
    root = newNode(nullptr, FilterMenuModelNode::Root);

    for (int i = 0; filters && i < filters->size(); ++i) {
        ColumnFilter &filter = (*filters)[i];
        FilterMenuModelNode *columnNode = newNode(root, FilterMenuModelNode::Column);
        if (itemsModel)
            columnNode->text = itemsModel->headerData(filter.column, Qt::Horizontal, Qt::DisplayRole).toString();
        columnNode->valuesModel = filter.valuesModel;
        root->children.append(columnNode);
        if (!filter.valuesModel)
            continue;

        // Looked up in a set: a rebuild over many rows stays linear.
        const QSet<QString> accepted(filter.checkedValues.cbegin(), filter.checkedValues.cend());
        QStringList stillAccepted;
        if (filter.includeEmpty) {
            FilterMenuModelNode *node = newNode(columnNode, FilterMenuModelNode::Value);
            node->text = tr("(empty)");
            if (accepted.contains(QString())) {
                node->checkState = Qt::Checked;
                stillAccepted.append(QString());
            }
            columnNode->children.append(node);
        }
        QAbstractItemModel *values = filter.valuesModel;
        const int rows = values->rowCount();
        columnNode->children.reserve(columnNode->children.size() + rows);
        for (int row = 0; row < rows; ++row) {
            const QModelIndex cell = values->index(row, 0);
            FilterMenuModelNode *node = newNode(columnNode, FilterMenuModelNode::Value);
            node->value = values->data(cell, Qt::EditRole).toString();
            const QString text = values->data(cell, Qt::DisplayRole).toString();
            // Usually the same text: keep one copy.
            node->text = text == node->value ? node->value : text;
            if (accepted.contains(node->value)) {
                node->checkState = Qt::Checked;
                stillAccepted.append(node->value);
            }
            columnNode->children.append(node);
        }
        filter.checkedValues = stillAccepted;
        if (!stillAccepted.isEmpty() && stillAccepted.size() == columnNode->children.size())
            columnNode->checkState = Qt::Checked;
        else
            columnNode->checkState = stillAccepted.isEmpty() ? Qt::Unchecked : Qt::PartiallyChecked;
    }

    endResetModel();
    if (!quiet)
        emit filterChanged();
}

void FilterMenuModel::clear()
{
    for (int i = 0; filters && i < filters->size(); ++i)
        (*filters)[i].checkedValues.clear();
    emit layoutAboutToBeChanged();
    emit layoutChanged();
    emit filterChanged();
}

bool FilterMenuModel::hasValues() const
{
    for (int i = 0; filters && i < filters->size(); ++i)
        if (!filters->at(i).checkedValues.isEmpty())
            return true;
    return false;
}

FilterMenuModel::FilterMenuModelNode *FilterMenuModel::nodeOf(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<FilterMenuModelNode *>(index.internalPointer()) : root;
}

QModelIndex FilterMenuModel::indexOfNode(FilterMenuModelNode *node) const
{
    if (!node || !node->parent)
        return QModelIndex();
    return createIndex(int(node->parent->children.indexOf(node)), 0, node);
}

QModelIndex FilterMenuModel::index(int row, int column, const QModelIndex &parent) const
{
    FilterMenuModelNode *node = nodeOf(parent);
    if (row < 0 || column != 0 || row >= node->children.size())
        return QModelIndex();
    return createIndex(row, 0, node->children.at(row));
}

QModelIndex FilterMenuModel::parent(const QModelIndex &index) const
{
    if (!index.isValid())
        return QModelIndex();
    FilterMenuModelNode *parentNode = nodeOf(index)->parent;
    if (!parentNode || parentNode == root)
        return QModelIndex();
    return indexOfNode(parentNode);
}

int FilterMenuModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    return int(nodeOf(parent)->children.size());
}

int FilterMenuModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant FilterMenuModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const FilterMenuModelNode *node = nodeOf(index);
    if (role == Qt::DisplayRole)
        return node->text.isEmpty() ? tr("(empty)") : node->text;
    if (role == Qt::CheckStateRole)
        return node->checkState;
    return QVariant();
}

Qt::ItemFlags FilterMenuModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = QAbstractItemModel::flags(index);
    if (!index.isValid())
        return result;
    result |= Qt::ItemIsUserCheckable;
    const FilterMenuModelNode *node = nodeOf(index);
    if (node->kind == FilterMenuModelNode::Column && node->children.isEmpty())
        result &= ~Qt::ItemIsEnabled;
    return result;
}

bool FilterMenuModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || !filters)
        return false;
    FilterMenuModelNode *node = nodeOf(index);
    const int state = value.toInt();
    if (state == node->checkState)
        return false;
    node->checkState = state;

    if (node->kind == FilterMenuModelNode::Column) {
        const int row = index.row();
        if (row >= filters->size())
            return false;
        QStringList &accepted = (*filters)[row].checkedValues;
        accepted.clear();
        if (state == Qt::Checked)
            for (const FilterMenuModelNode *child : std::as_const(node->children))
                accepted.append(child->value);
        for (int i = 0; i < node->children.size(); ++i) {
            FilterMenuModelNode *child = node->children.at(i);
            if (child->checkState != state) {
                child->checkState = state;
                const QModelIndex childIndex = createIndex(i, 0, child);
                emit dataChanged(childIndex, childIndex);
            }
        }
    } else if (node->kind == FilterMenuModelNode::Value) {
        FilterMenuModelNode *columnNode = node->parent;
        const QModelIndex columnIndex = indexOfNode(columnNode);
        const int row = columnIndex.row();
        if (row < 0 || row >= filters->size())
            return false;
        QStringList &accepted = (*filters)[row].checkedValues;
        accepted.removeAll(node->value);
        if (state == Qt::Checked)
            accepted.append(node->value);
        const int n = int(accepted.size());
        const int m = int(columnNode->children.size());
        const int columnState = n == m ? Qt::Checked : (n != 0 ? Qt::PartiallyChecked : Qt::Unchecked);
        if (columnNode->checkState != columnState) {
            columnNode->checkState = columnState;
            emit dataChanged(columnIndex, columnIndex);
        }
    }
    emit dataChanged(index, index);
    emit filterChanged();
    return true;
}
