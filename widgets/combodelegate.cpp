#include "widgets/combodelegate.h"

#include "document/docitemsdataprovider.h"
#include "document/itemsdatabasemodel.h"
#include "widgets/editablecombobox.h"

#include <QLineEdit>

ComboDelegate::ComboDelegate(QObject *parent, bool byData)
    : QItemDelegate(parent)
    , byData(byData)
{}

QWidget *ComboDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *combo = new EditableComboBox(parent);
    combo->setSourceModel(model, true);
    combo->setModelColumn(column);
    combo->setWheelDisabled(wheelDisabled);
    combo->setMinimumWidth(100);
    combo->setMaximumWidth(200);
    combo->setProperty("editable", editable);
    combo->setKeypadEnterIgnored(true);
    combo->setImmediateSendBlocked(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

void ComboDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *combo = qobject_cast<EditableComboBox *>(editor);
    if (!combo)
        return;
    const QVariant value = index.data(Qt::EditRole);
    if (byData) {
        combo->setIndexByData(value.toString());
        return;
    }
    if (value.typeId() == QMetaType::Int) {
        auto *items = qobject_cast<ItemsDatabaseModel *>(model.data());
        const QModelIndex found = items ? items->indexById(QString::number(value.toInt()), 0) : QModelIndex();
        if (found.isValid())
            combo->setModelIndexRow(found.row());
        else
            combo->setCurrentIndex(-1);
    } else if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        int row = -1;
        for (int r = 0; model && r < model->rowCount(); ++r) {
            if (model->data(model->index(r, column), Qt::EditRole).toString() == text) {
                row = r;
                break;
            }
        }
        combo->setModelIndexRow(row);
        if (QLineEdit *edit = combo->lineEdit()) {
            combo->setProperty("currentText", text);
            edit->selectAll();
        }
    }
}

void ComboDelegate::setModelData(QWidget *editor, QAbstractItemModel *target, const QModelIndex &index) const
{
    auto *combo = qobject_cast<EditableComboBox *>(editor);
    if (!combo || !target)
        return;
    if (byData) {
        target->setData(index, combo->indexByData(), Qt::EditRole);
        return;
    }
    if (!combo->property("editable").toBool()) {
        auto *items = qobject_cast<ItemsDatabaseModel *>(model.data());
        const int row = combo->currentModelIndex();
        if (items && items->dataProvider() && row >= 0 && row < items->dataProvider()->count())
            target->setData(index, items->dataProvider()->itemAt(row).id(), Qt::EditRole);
    } else {
        target->setData(index, combo->currentText(), Qt::EditRole);
    }
    if (!combo->hasFocus())
        combo->setFocus(Qt::OtherFocusReason);
}

void ComboDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &) const
{
    if (editor)
        editor->setGeometry(option.rect);
}

void ComboDelegate::drawDisplay(QPainter *painter, const QStyleOptionViewItem &option, const QRect &rect,
                                const QString &text) const
{
    // The row's selection is painted behind the cell already; the text gets no fill of its own.
    QStyleOptionViewItem plain(option);
    for (int group = 0; group < QPalette::NColorGroups; ++group)
        plain.palette.setBrush(QPalette::ColorGroup(group), QPalette::Highlight, QBrush(Qt::transparent));
    QItemDelegate::drawDisplay(painter, plain, rect, text);
}
