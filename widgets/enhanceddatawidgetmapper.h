#pragma once

#include <QDataWidgetMapper>

// A data-widget mapper that also makes its widgets enabled or read-only from the item flags of the
// current row.
class EnhancedDataWidgetMapper : public QDataWidgetMapper
{
    Q_OBJECT

public:
    explicit EnhancedDataWidgetMapper(QObject *parent = nullptr);

    void setModel(QAbstractItemModel *model);

public slots:
    void setCurrentIndex(int row) override;
    void updatateStates(const QModelIndex &topLeft, const QModelIndex &bottomRight);
};
