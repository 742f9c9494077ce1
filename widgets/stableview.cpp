#include "widgets/stableview.h"

#include "widgets/showhidecolumnsmodel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMimeData>
#include <algorithm>

namespace {
const char actionMark[] = "STableViewACtion";

bool hasShortcut(const QAction *action, QKeySequence::StandardKey key)
{
    return action && !action->shortcut().isEmpty() && action->shortcut() == QKeySequence(key);
}
} // namespace

STableView::STableView(QWidget *parent)
    : QTableView(parent)
    , m_columnsModel(new ShowHideColumnsModel(this))
    , m_menu(new QMenu(this))
{
    setContextMenuPolicy(Qt::CustomContextMenu);
    verticalHeader()->setDefaultSectionSize(30);

    struct Entry
    {
        QString text;
        QKeySequence::StandardKey key;
    };
    const Entry entries[] = {
        {tr("&Cut"), QKeySequence::Cut},       {tr("C&opy"), QKeySequence::Copy},
        {tr("&Paste"), QKeySequence::Paste},   {tr("&Delete"), QKeySequence::Delete},
        {QString(), QKeySequence::UnknownKey}, {tr("Select &All"), QKeySequence::SelectAll},
    };
    for (const Entry &entry : entries) {
        auto *action = new QAction(QIcon(), entry.text, this);
        if (entry.text.isEmpty()) {
            action->setSeparator(true);
        } else {
            action->setShortcut(QKeySequence(entry.key));
            action->setObjectName(QStringLiteral("action_") + entry.text);
            action->setShortcutContext(Qt::WidgetShortcut);
            action->setProperty(actionMark, true);
            connect(action, &QAction::triggered, this, [this, action] { runAction(action); });
        }
        addAction(action);
        m_actions.append(action);
    }
    m_menu->addActions(actions());
    for (QAction *action : std::as_const(m_actions)) {
        if (hasShortcut(action, QKeySequence::Cut))
            m_cut = action;
        else if (hasShortcut(action, QKeySequence::Copy))
            m_copy = action;
        else if (hasShortcut(action, QKeySequence::Paste))
            m_paste = action;
        else if (hasShortcut(action, QKeySequence::Delete))
            m_delete = action;
        else if (hasShortcut(action, QKeySequence::SelectAll))
            m_selectAll = action;
    }

    connect(this, &QWidget::customContextMenuRequested, this, &STableView::onContextMenuShow, Qt::UniqueConnection);
    m_focusConnection = connect(qApp, &QApplication::focusChanged, this, &STableView::onFocusChanged);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    applyUpdate();
}

STableView::~STableView()
{
    // A top-level view loses the focus inside QWidget's destructor, when this part is gone.
    disconnect(m_focusConnection);
    connectActions(false, false);
}

QAction *STableView::action(BasicActions which) const
{
    switch (which) {
    case Cut:
        return m_cut;
    case Copy:
        return m_copy;
    case Paste:
        return m_paste;
    case Delete:
        return m_delete;
    case SelectAll:
        return m_selectAll;
    }
    return nullptr;
}

void STableView::setModel(QAbstractItemModel *model)
{
    m_columnsModel->setFixedColumns({});
    m_columnsModel->setSourceModel(model);
    QTableView::setModel(model);
    connectActions(model != nullptr, true);
}

void STableView::setItemsModel(QAbstractItemModel *model, const QList<int> &visibleColumns,
                               const QList<int> &fixedColumns)
{
    m_columnsModel->setFixedColumns(fixedColumns);
    QTableView::setModel(model);
    if (model) {
        for (int column = 0; column < model->columnCount(); ++column)
            setColumnHidden(column, !visibleColumns.contains(column));
    }
    m_columnsModel->setSourceModel(model);
    connectActions(true, true);
}

bool STableView::isEditing() const
{
    return state() != QAbstractItemView::NoState;
}

bool STableView::edit(const QModelIndex &index, QAbstractItemView::EditTrigger trigger, QEvent *event)
{
    return QTableView::edit(index, trigger, event);
}

bool STableView::canCopy() const
{
    return model() && copyAllowed && m_copy && m_copy->isVisible() && selectionModel() &&
           !selectionModel()->selectedIndexes().isEmpty();
}

bool STableView::canDelete() const
{
    return model() && deleteAllowed && m_delete && m_delete->isVisible() && selectionModel() &&
           !selectionModel()->selectedIndexes().isEmpty();
}

bool STableView::canPaste() const
{
    if (!model() || !pasteAllowed || !m_paste || !m_paste->isVisible())
        return false;
    const QMimeData *data = QApplication::clipboard()->mimeData();
    if (!data)
        return false;
    const QStringList types = model()->mimeTypes();
    return std::any_of(types.begin(), types.end(), [data](const QString &type) { return data->hasFormat(type); });
}

void STableView::retranslateActions()
{
    for (QAction *action : std::as_const(m_actions)) {
        if (hasShortcut(action, QKeySequence::Copy))
            action->setText(tr("C&opy"));
        if (hasShortcut(action, QKeySequence::Cut))
            action->setText(tr("&Cut"));
        if (hasShortcut(action, QKeySequence::Delete))
            action->setText(tr("&Delete"));
        if (hasShortcut(action, QKeySequence::SelectAll))
            action->setText(tr("Select &All"));
        if (hasShortcut(action, QKeySequence::Paste))
            action->setText(tr("&Paste"));
    }
}

bool &STableView::permission(BasicActions action)
{
    switch (action) {
    case Cut:
        return cutAllowed;
    case Copy:
        return copyAllowed;
    case Paste:
        return pasteAllowed;
    case Delete:
        return deleteAllowed;
    case SelectAll:
        break;
    }
    return selectAllAllowed;
}

void STableView::setActionEnabled(STableView::BasicActions which, bool enabled)
{
    QAction *target = (which >= Cut && which <= SelectAll) ? action(which) : nullptr;
    if (!target)
        return;
    permission(which) = enabled;
    target->setEnabled(enabled);
}

void STableView::setActionVisible(STableView::BasicActions which, bool visible)
{
    QAction *target = (which >= Cut && which <= SelectAll) ? action(which) : nullptr;
    if (!target)
        return;
    setActionEnabled(which, visible);
    target->setVisible(visible);
}

void STableView::deleteRow(int row)
{
    if (model())
        model()->removeRows(row, 1, QModelIndex());
}

QModelIndexList STableView::selectedRowIndexes() const
{
    return selectionModel() ? selectionModel()->selectedRows(0) : QModelIndexList();
}

void STableView::deleteSelected()
{
    connectActions(false, false);
    setUpdatesEnabled(false);
    emit onBeforeDelete();
    setEnabled(false);

    if (model() && selectionModel()) {
        // every selected cell counts; the ranges give the rows without listing each cell
        QList<int> rows;
        const QItemSelection selection = selectionModel()->selection();
        for (const QItemSelectionRange &range : selection) {
            if (range.isValid() && !range.parent().isValid()) {
                for (int row = range.top(); row <= range.bottom(); ++row)
                    rows.append(row);
            }
        }
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        // One removal per run of adjacent rows, the highest run first, so the rows still to go keep
        // their numbers; a model then removes a whole run in one pass instead of row by row.
        for (qsizetype end = rows.size(); end > 0;) {
            qsizetype start = end - 1;
            while (start > 0 && rows.at(start - 1) == rows.at(start) - 1)
                --start;
            model()->removeRows(rows.at(start), int(end - start), QModelIndex());
            end = start;
        }
    }

    setEnabled(true);
    setFocus(Qt::OtherFocusReason);
    emit onEndDelete();
    setUpdatesEnabled(true);
    repaint();
    connectActions(model() != nullptr, true);
}

void STableView::copy()
{
    const QModelIndexList rows = selectedRowIndexes();
    // An empty selection leaves the clipboard as it was instead of clearing it.
    if (!model() || rows.isEmpty())
        return;
    setUpdatesEnabled(false);
    if (QMimeData *data = model()->mimeData(rows))
        QApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    setUpdatesEnabled(true);
    repaint();
}

void STableView::cut()
{
    copy();
    deleteSelected();
}

void STableView::paste()
{
    setUpdatesEnabled(false);
    emit onBeforePaste();
    if (model()) {
        const QModelIndexList rows = selectedRowIndexes();
        const int row = rows.isEmpty() ? model()->rowCount() : rows.first().row();
        const QMimeData *data = QApplication::clipboard()->mimeData(QClipboard::Clipboard);
        setEnabled(false);
        if (selectionModel())
            selectionModel()->clearSelection();
        if (data)
            model()->dropMimeData(data, Qt::CopyAction, row, 0, QModelIndex());
        setEnabled(true);
    }
    setFocus(Qt::OtherFocusReason);
    emit onEndPaste();
    setUpdatesEnabled(true);
    repaint();
}

void STableView::applyUpdate()
{
    if (model()) {
        const bool copyOk = canCopy();
        m_cut->setEnabled(copyOk);
        m_copy->setEnabled(copyOk);
        m_paste->setEnabled(canPaste());
        m_delete->setEnabled(canDelete());
        m_selectAll->setEnabled(model()->rowCount() > 0);
    } else {
        for (QAction *action : {m_cut, m_copy, m_paste, m_delete, m_selectAll})
            action->setEnabled(false);
    }
    retranslateActions();
}

void STableView::updateActions()
{
    applyUpdate();
}

void STableView::connectActions(bool connect, bool updateNow)
{
    for (const QMetaObject::Connection &connection : std::as_const(m_updateConnections))
        disconnect(connection);
    m_updateConnections.clear();
    if (connect && model()) {
        m_updateConnections << QObject::connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
                                                &STableView::updateActions)
                            << QObject::connect(this, &QAbstractItemView::clicked, this, &STableView::updateActions)
                            << QObject::connect(this, &QAbstractItemView::activated, this, &STableView::updateActions)
                            << QObject::connect(model(), &QAbstractItemModel::layoutChanged, this,
                                                &STableView::updateActions);
        if (selectionModel())
            m_updateConnections << QObject::connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
                                                    &STableView::updateActions);
    }
    if (updateNow)
        applyUpdate();
}

void STableView::connectActions(bool updateNow)
{
    connectActions(true, updateNow);
}

void STableView::handleActions(bool)
{
    handleActions();
}

void STableView::handleActions()
{
    runAction(qobject_cast<QAction *>(sender()));
}

void STableView::selectAllRows()
{
    setUpdatesEnabled(false);
    connectActions(false, false);
    selectAll();
    connectActions(true, true);
    setUpdatesEnabled(true);
    repaint();
}

void STableView::runAction(QAction *action)
{
    if (!action || !action->property(actionMark).toBool() || !model())
        return;
    if (hasShortcut(action, QKeySequence::Copy))
        copy();
    if (hasShortcut(action, QKeySequence::Cut))
        cut();
    if (hasShortcut(action, QKeySequence::Delete))
        deleteSelected();
    if (hasShortcut(action, QKeySequence::SelectAll))
        selectAllRows();
    if (hasShortcut(action, QKeySequence::Paste))
        paste();
}

void STableView::onContextMenuShow(const QPoint &pos)
{
    if (!model() || !contextMenuEnabled)
        return;
    applyUpdate();
    m_menu->popup(viewport()->mapToGlobal(pos));
    m_menu->setFocus(Qt::OtherFocusReason);
}

void STableView::onFocusChanged(QWidget *old, QWidget *now)
{
    const bool hasNow = now && (now == this || isAncestorOf(now));
    const bool hadOld = old && (old == this || isAncestorOf(old));
    if (hasNow && !hadOld)
        emit focusIn(old, now);
    else if (hadOld && !hasNow)
        emit focusOut(old, now);
}

bool STableView::focusNextPrevChild(bool next)
{
    if (model()) {
        const QModelIndex current = currentIndex();
        const bool atEnd =
            current.row() == verticalHeader()->count() - 1 && current.column() == horizontalHeader()->count() - 1;
        const bool atStart = current.row() == 0 && current.column() == 0;
        // At the edges Tab leaves the table instead of wrapping inside it.
        if ((next && atEnd) || (!next && atStart))
            return QWidget::focusNextPrevChild(next);
    }
    return QTableView::focusNextPrevChild(next);
}
