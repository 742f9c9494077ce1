#include "widgets/enhanceddatawidgetmapper.h"

#include <QAbstractItemModel>
#include <QWidget>

EnhancedDataWidgetMapper::EnhancedDataWidgetMapper(QObject *parent)
    : QDataWidgetMapper(parent)
{}

void EnhancedDataWidgetMapper::setModel(QAbstractItemModel *model)
{
    QDataWidgetMapper::setModel(model);
    if (model)
        connect(model, &QAbstractItemModel::dataChanged, this, &EnhancedDataWidgetMapper::updatateStates,
                Qt::UniqueConnection);
}

void EnhancedDataWidgetMapper::setCurrentIndex(int row)
{
    QDataWidgetMapper::setCurrentIndex(row);
    if (QAbstractItemModel *source = model()) {
        const int last = qMax(0, source->columnCount(rootIndex()) - 1);
        updatateStates(source->index(row, 0, rootIndex()), source->index(row, last, rootIndex()));
    }
}

void EnhancedDataWidgetMapper::updatateStates(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    QAbstractItemModel *source = model();
    if (!source)
        return;
    const int row = currentIndex();
    const int columns = source->columnCount(rootIndex());
    const int low = qMin(topLeft.row(), bottomRight.row());
    const int high = qMax(topLeft.row(), bottomRight.row());
    if (row < low || row > high || columns <= 0)
        return;
    for (int column = 0; column < columns; ++column) {
        QWidget *widget = mappedWidgetAt(column);
        if (!widget)
            continue;
        const QModelIndex index = source->index(row, column, rootIndex());
        if (!index.isValid()) {
            widget->setEnabled(false);
            continue;
        }
        const Qt::ItemFlags flags = source->flags(index);
        widget->setProperty("enabled", bool(flags & Qt::ItemIsEnabled));
        // The check list has no read-only state: it is disabled instead.
        if (widget->inherits("MultipleChoiceWidget"))
            widget->setProperty("enabled", bool(flags & Qt::ItemIsEditable));
        else
            widget->setProperty("readOnly", !(flags & Qt::ItemIsEditable));
    }
}
