#include "widgets/multiplechoicewidgetdelegate.h"

#include "widgets/multiplechoicewidget.h"

MultipleChoiceWidgetDelegate::MultipleChoiceWidgetDelegate(QObject *parent)
    : QItemDelegate(parent)
{}

namespace {
constexpr int editorHeight = 130;
}

QWidget *MultipleChoiceWidgetDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                                    const QModelIndex &) const
{
    // A child of the table that floats over the rows below its cell, not a window of its own: a window
    // that is never active takes no typing, so the new-choice line, Escape and the focus would not work.
    auto *editor = new MultipleChoiceWidget(parent, disableNew);
    editor->editorMode = true;
    editor->setAutoFillBackground(true);
    editor->setAttribute(Qt::WA_NoMousePropagation); // a click on it never selects the row beneath
    editor->setFocusPolicy(Qt::StrongFocus);
    auto *self = const_cast<MultipleChoiceWidgetDelegate *>(this);
    connect(editor, &MultipleChoiceWidget::editorLeft, self, [self, editor] {
        emit self->commitData(editor);
        emit self->closeEditor(editor, QAbstractItemDelegate::NoHint);
    });
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
    // From the cell down, at least as wide as the editor can be, moved up or left where the table ends.
    const QRect cell = option.rect;
    const int width = qMin(qMax(cell.width(), editor->minimumWidth()), viewport->width());
    const int height = qMin(editorHeight, viewport->height());
    editor->setGeometry(qBound(0, cell.left(), viewport->width() - width),
                        qBound(0, cell.top(), viewport->height() - height), width, height);
}
