#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>

// Check states over the rows of any source model: a row is checked when the edit text of its value
// cell is among the selected values. The selected values joined with ";" are the editor's value.
class SelectionModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit SelectionModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    virtual QStringList allValues() const;
    virtual void setSourceModel(QAbstractItemModel *model);
    virtual void setSelectedValues(const QStringList &values);
    // Sorted case-sensitively and joined with ";".
    virtual QString selectedValues() const;

    QAbstractItemModel *sourceModel() const { return m_source; }
    QStringList selectedList() const { return m_selected; }

signals:
    void SelectionChanged();

protected:
    // Checks or unchecks one value; true when the selection changed.
    bool changeSelection(const QModelIndex &valueCell, const QVariant &state);
    bool isSelected(const QModelIndex &valueCell) const;

    QPointer<QAbstractItemModel> m_source;
    mutable QStringList m_selected;
    int m_valueColumn = 0;

private:
    void connectSource();
    QList<QMetaObject::Connection> m_sourceConnections;
};
