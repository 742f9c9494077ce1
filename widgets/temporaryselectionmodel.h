#pragma once

#include "widgets/selectionmodel.h"

#include <QList>
#include <QPair>

// A private copy of the choices used while a cell is edited: ticking boxes changes nothing outside
// the editor until the edit is committed, and new choices become rows of their own.
class TemporarySelectionModel : public SelectionModel
{
    Q_OBJECT

public:
    explicit TemporarySelectionModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    QStringList allValues() const override;
    void setSelectedValues(const QStringList &values) override;
    virtual void copyFrom(SelectionModel *other);

private:
    void sortRows();

    // (display text, value text)
    QList<QPair<QString, QString>> m_rows;
};
