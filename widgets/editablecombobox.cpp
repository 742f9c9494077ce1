#include "widgets/editablecombobox.h"

#include "document/docitemsdataprovider.h"
#include "document/itemsdatabasemodel.h"

#include <QApplication>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>

EditableComboBox::EditableComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setImmediateSendBlocked(false);
    if (completer())
        completer()->setCaseSensitivity(Qt::CaseSensitive);
}

void EditableComboBox::setEditable(bool editable)
{
    QComboBox::setEditable(editable);
    if (completer())
        completer()->setCaseSensitivity(Qt::CaseSensitive);
}

void EditableComboBox::setSourceModel(QAbstractItemModel *model, bool sorted)
{
    m_sourceModel = model;
    sortedThroughProxy = sorted;
    if (sorted) {
        m_proxy.setSourceModel(model);
        m_proxy.setSortCaseSensitivity(Qt::CaseInsensitive);
        m_proxy.setDynamicSortFilter(true);
        m_proxy.sort(modelColumn(), Qt::AscendingOrder);
        setModel(&m_proxy);
    } else {
        setModel(model);
    }
}

void EditableComboBox::setModelColumn(int column)
{
    m_proxy.sort(column, Qt::AscendingOrder);
    QComboBox::setModelColumn(column);
}

void EditableComboBox::setWheelDisabled(bool disabled)
{
    wheelEnabled = !disabled;
}

void EditableComboBox::setImmediateSendBlocked(bool blocked)
{
    if (blocked) {
        disconnect(m_immediateConnection);
        m_immediateConnection = {};
    } else if (!m_immediateConnection) {
        m_immediateConnection =
            connect(this, qOverload<int>(&QComboBox::currentIndexChanged), this, &EditableComboBox::immediateSend);
    }
}

QString EditableComboBox::cbText() const
{
    return lineEdit() ? lineEdit()->text() : QString();
}

void EditableComboBox::setCbText(const QString &text)
{
    if (lineEdit()) {
        lineEdit()->setText(text);
        lineEdit()->setCursorPosition(0);
    } else {
        selectByDisplayText(text);
    }
}

QString EditableComboBox::currentText() const
{
    if (lineEdit())
        return lineEdit()->text();
    if (m_sourceModel)
        return QComboBox::currentText();
    return QString();
}

void EditableComboBox::setCurrentText(const QString &text)
{
    setCbText(text);
}

QModelIndex EditableComboBox::sourceIndexOfRow(int comboRow) const
{
    if (!m_sourceModel)
        return QModelIndex();
    if (!sortedThroughProxy)
        return m_sourceModel->index(comboRow, 0);
    return m_proxy.mapToSource(m_proxy.index(comboRow, 0));
}

int EditableComboBox::currentModelIndex() const
{
    const QModelIndex index = sourceIndexOfRow(currentIndex());
    return index.isValid() ? index.row() : -1;
}

void EditableComboBox::setModelIndexRow(int row)
{
    if (!m_sourceModel)
        return;
    const QModelIndex source = m_sourceModel->index(row, 0);
    const int target = sortedThroughProxy ? m_proxy.mapFromSource(source).row() : row;
    if (target == currentIndex())
        return;
    const bool wasBlocked = blockSignals(true);
    setCurrentIndex(target);
    blockSignals(wasBlocked);
    emit currentIndexChanged(source);
    emit currentIndexRowChanged(row);
}

void EditableComboBox::immediateSend(int index)
{
    if (!m_sourceModel)
        return;
    if (isVisible() && QApplication::focusWidget() == this) {
        // The focus-out lets a mapper or delegate watching the combo commit at once.
        clearFocus();
        setFocus(Qt::OtherFocusReason);
    }
    const QModelIndex source = sourceIndexOfRow(index);
    emit currentIndexChanged(source);
    emit currentIndexRowChanged(source.row());
}

void EditableComboBox::selectByDisplayText(const QString &text)
{
    if (!m_sourceModel)
        return;
    const int rows = m_sourceModel->rowCount();
    int row = 0;
    while (row < rows && m_sourceModel->data(m_sourceModel->index(row, 0), Qt::DisplayRole)
                                 .toString()
                                 .compare(text, Qt::CaseInsensitive) != 0)
        ++row;
    setModelIndexRow(row);
}

QString EditableComboBox::itemId() const
{
    auto *items = qobject_cast<ItemsDatabaseModel *>(m_sourceModel.data());
    const int row = currentModelIndex();
    if (!items || !items->dataProvider() || row < 0 || row >= items->dataProvider()->count())
        return QString();
    return items->dataProvider()->itemAt(row).id();
}

void EditableComboBox::setItemId(const QString &id)
{
    auto *items = qobject_cast<ItemsDatabaseModel *>(m_sourceModel.data());
    const QModelIndex found = items ? items->indexById(id, 0) : QModelIndex();
    if (found.isValid())
        setModelIndexRow(found.row());
    else
        setCurrentIndex(-1);
}

QString EditableComboBox::indexByData() const
{
    if (currentIndex() < 0 || !model())
        return QString();
    return model()->data(model()->index(currentIndex(), modelColumn()), dataRole).toString();
}

void EditableComboBox::setIndexByData(const QString &value)
{
    QAbstractItemModel *shown = model();
    const QString wanted = value.toLower();
    int found = -1;
    for (int row = 0; shown && row < shown->rowCount(); ++row) {
        if (shown->data(shown->index(row, modelColumn()), dataRole).toString().toLower() == wanted) {
            found = row;
            break;
        }
    }
    setCurrentIndex(found);
}

void EditableComboBox::keyPressEvent(QKeyEvent *event)
{
    if (keypadEnterIgnored && event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void EditableComboBox::wheelEvent(QWheelEvent *event)
{
    if (wheelEnabled)
        QComboBox::wheelEvent(event);
    else
        event->accept();
}
