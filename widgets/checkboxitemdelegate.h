#pragma once

#include <QItemDelegate>

// Paints a boolean cell ("true"/"false") as a centred check box and edits it with a QCheckBox.
class CheckBoxItemDelegate : public QItemDelegate
{
    Q_OBJECT

public:
    explicit CheckBoxItemDelegate(QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

    // The 13 x 13 box centred in rect.
    static QRect checkRect(const QRect &rect);

protected:
    void drawDisplay(QPainter *painter, const QStyleOptionViewItem &option, const QRect &rect,
                     const QString &text) const override;
};
