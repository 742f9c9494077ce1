#pragma once

#include <QItemDelegate>
#include <QPointer>

class QAbstractItemModel;

// Edits a table cell with an EditableComboBox over a model of choices and stores the chosen item's
// id, the typed text, or the chosen entry's data value.
class ComboDelegate : public QItemDelegate
{
    Q_OBJECT

public:
    ComboDelegate(QObject *parent, bool byData);

    void setModel(QAbstractItemModel *model) { this->model = model; }
    void setColumn(int column) { this->column = column; }
    void setEditable(bool editable) { this->editable = editable; }
    void setWheelDisabled(bool disabled) { wheelDisabled = disabled; }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *target, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

protected:
    void drawDisplay(QPainter *painter, const QStyleOptionViewItem &option, const QRect &rect,
                     const QString &text) const override;

private:
    bool byData;
    QPointer<QAbstractItemModel> model;
    int column = 0;
    bool editable = false;
    bool wheelDisabled = false;
};
