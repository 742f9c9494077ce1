#include "widgets/multiplechoicewidgetdelegate.h"

#include "widgets/multiplechoicewidget.h"

MultipleChoiceWidgetDelegate::MultipleChoiceWidgetDelegate(QObject *parent)
    : QItemDelegate(parent)
{}

QWidget *MultipleChoiceWidgetDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                                    const QModelIndex &) const
{
    auto *editor = new MultipleChoiceWidget(parent, disableNew);
    editor->editorMode = true;
    editor->setWindowFlags(Qt::ToolTip | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
    editor->setFocusPolicy(Qt::StrongFocus);
    return editor;
}

void MultipleChoiceWidgetDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *widget = qobject_cast<MultipleChoiceWidget *>(editor);
    if (!widget)
        return;
    widget->setModel(choicesModel, true);
    widget->setSelectedValues(index.model() ? index.data(Qt::EditRole).toString() : QString());
}

void MultipleChoiceWidgetDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                                const QModelIndex &index) const
{
    auto *widget = qobject_cast<MultipleChoiceWidget *>(editor);
    if (widget && model)
        model->setData(index, widget->values(), Qt::EditRole);
}

void MultipleChoiceWidgetDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                                        const QModelIndex &) const
{
    QWidget *viewport = editor ? editor->parentWidget() : nullptr;
    if (!viewport)
        return;
    const QPoint origin = viewport->mapToGlobal(viewport->pos());
    const QRect rect = option.rect;
    editor->setGeometry(origin.x() + rect.left() - 1, origin.y() + rect.top() - rect.height() + 4, rect.width(), 130);
}
