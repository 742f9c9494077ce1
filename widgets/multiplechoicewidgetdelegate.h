#pragma once

#include <QItemDelegate>
#include <QPersistentModelIndex>
#include <QPointer>

class QAbstractItemModel;

// Opens a MultipleChoiceWidget as a floating editor over an item-table cell; ticks stay inside the
// editor until the edit is committed.
class MultipleChoiceWidgetDelegate : public QItemDelegate
{
    Q_OBJECT

public:
    explicit MultipleChoiceWidgetDelegate(QObject *parent = nullptr);

    void setChoicesModel(QAbstractItemModel *model) { choicesModel = model; }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

    QPersistentModelIndex storedIndex;
    int visibleRows = 8;
    bool disableNew = false;

private:
    QPointer<QAbstractItemModel> choicesModel;
};
