#include "lists/linklistmodulepaneldelegate.h"

#include "widgets/editablecombobox.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMetaProperty>

namespace {
// Stored flags are text: empty, "0" and "false" read as false.
bool readsTrue(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = value.toString().trimmed();
    return !text.isEmpty() && text != QLatin1String("0") && text.compare(QLatin1String("false"), Qt::CaseInsensitive);
}
} // namespace

LinkListModulePanelDelegate::LinkListModulePanelDelegate(QObject *parent)
    : QItemDelegate(parent)
{}

bool LinkListModulePanelDelegate::eventFilter(QObject *object, QEvent *event)
{
    // Escape in a panel field is the page's (it cancels a new link), not a revert of that one field.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
        return false;
    return QItemDelegate::eventFilter(object, event);
}

void LinkListModulePanelDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *label = qobject_cast<QLabel *>(editor)) {
        label->setText(index.data(Qt::DisplayRole).toString());
        return;
    }
    if (auto *combo = qobject_cast<EditableComboBox *>(editor)) {
        combo->setIndexByData(index.data(Qt::EditRole).toString());
        return;
    }
    QItemDelegate::setEditorData(editor, index);
}

void LinkListModulePanelDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                               const QModelIndex &index) const
{
    if (qobject_cast<QLabel *>(editor))
        return;
    const QVariant stored = index.data(Qt::EditRole);
    if (auto *combo = qobject_cast<EditableComboBox *>(editor)) {
        const QString chosen = combo->indexByData();
        if (!chosen.isEmpty() && chosen.compare(stored.toString(), Qt::CaseInsensitive) != 0)
            model->setData(index, chosen, Qt::EditRole);
        return;
    }
    if (!editor->isEnabled())
        return;
    const QMetaProperty user = editor->metaObject()->userProperty();
    if (!user.isValid())
        return;
    const QVariant shown = user.read(editor);
    const bool same =
        shown.typeId() == QMetaType::Bool ? shown.toBool() == readsTrue(stored) : shown.toString() == stored.toString();
    if (!same)
        QItemDelegate::setModelData(editor, model, index);
}
