#include "widgets/checkboxitemdelegate.h"

#include <QCheckBox>

CheckBoxItemDelegate::CheckBoxItemDelegate(QObject *parent)
    : QItemDelegate(parent)
{}

QRect CheckBoxItemDelegate::checkRect(const QRect &rect)
{
    const int x = rect.left() + rect.width() / 2 - 6;
    const int y = rect.top() + rect.height() / 2 - 6;
    return QRect(QPoint(x, y), QPoint(x + 12, y + 12));
}

QWidget *CheckBoxItemDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    return new QCheckBox(parent);
}

void CheckBoxItemDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *box = qobject_cast<QCheckBox *>(editor))
        box->setChecked(index.model() ? index.data(Qt::DisplayRole).toBool() : false);
}

void CheckBoxItemDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *box = qobject_cast<QCheckBox *>(editor); box && model)
        model->setData(index, QVariant(box->isChecked()), Qt::EditRole);
}

void CheckBoxItemDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                                const QModelIndex &) const
{
    if (editor)
        editor->setGeometry(checkRect(option.rect));
}

void CheckBoxItemDelegate::drawDisplay(QPainter *painter, const QStyleOptionViewItem &option, const QRect &rect,
                                       const QString &text) const
{
    drawCheck(painter, option, checkRect(rect), text == QLatin1String("true") ? Qt::Checked : Qt::Unchecked);
}
