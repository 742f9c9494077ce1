#include "widgets/stableview.h"

#include "widgets/aimedinputrule.h"
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

struct ActionText
{
    const char *text;
    QKeySequence::StandardKey key;
};
// In BasicActions order. The object names come from these untranslated texts, so they stay the same
// in every language.
const ActionText actionTexts[] = {
    {QT_TRANSLATE_NOOP("STableView", "&Cut"), QKeySequence::Cut},
    {QT_TRANSLATE_NOOP("STableView", "C&opy"), QKeySequence::Copy},
    {QT_TRANSLATE_NOOP("STableView", "&Paste"), QKeySequence::Paste},
    {QT_TRANSLATE_NOOP("STableView", "&Delete"), QKeySequence::Delete},
    {QT_TRANSLATE_NOOP("STableView", "Select &All"), QKeySequence::SelectAll},
};
} // namespace

STableView::STableView(QWidget *parent)
    : QTableView(parent)
    , m_columnsModel(new ShowHideColumnsModel(this))
    , m_menu(new QMenu(this))
    , m_aimedInput(new AimedInputRule(this))
{
    setContextMenuPolicy(Qt::CustomContextMenu);
    verticalHeader()->setDefaultSectionSize(30);

    for (int which = Cut; which <= SelectAll; ++which) {
        if (which == SelectAll) {
            auto *separator = new QAction(this);
            separator->setSeparator(true);
            addAction(separator);
        }
        const ActionText &entry = actionTexts[which];
        auto *action = new QAction(QIcon(), tr(entry.text), this);
        action->setShortcut(QKeySequence(entry.key));
        action->setObjectName(QStringLiteral("action_") + QLatin1String(entry.text));
        action->setShortcutContext(Qt::WidgetShortcut);
        action->setProperty(actionMark, true);
        connect(action, &QAction::triggered, this, qOverload<bool>(&STableView::handleActions), Qt::UniqueConnection);
        addAction(action);
        m_actions[which] = action;
    }
    m_menu->addActions(actions());

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
    return which >= Cut && which <= SelectAll ? m_actions[which] : nullptr;
}

void STableView::setUpRowView()
{
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setShowGrid(false);
}

void STableView::setModel(QAbstractItemModel *model)
{
    m_columnsModel->setFixedColumns({});
    m_columnsModel->setSourceModel(model);
    m_aimedInput->watch(model);
    QTableView::setModel(model);
    connectActions(model != nullptr, true);
}

void STableView::setItemsModel(QAbstractItemModel *model, const QList<int> &visibleColumns,
                               const QList<int> &fixedColumns)
{
    m_columnsModel->setFixedColumns(fixedColumns);
    m_aimedInput->watch(model);
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

// Allowed by the owner and shown in the menu.
bool STableView::offers(BasicActions which) const
{
    return model() && m_allowed[which] && m_actions[which]->isVisible();
}

// Whether a cell that counts as selected (selectable and enabled, as selectedIndexes() has it) is in the
// selection, found without listing them all: that asks every cell of a selection of 20,000 rows for its flags
// each time the actions are brought up to date.
static bool hasSelectedCell(const QItemSelectionModel *selection)
{
    if (!selection || !selection->hasSelection())
        return false;
    const QItemSelection ranges = selection->selection();
    for (const QItemSelectionRange &range : ranges) {
        if (!range.isValid())
            continue;
        for (int row = range.top(); row <= range.bottom(); ++row)
            for (int column = range.left(); column <= range.right(); ++column) {
                const Qt::ItemFlags flags = range.model()->index(row, column, range.parent()).flags();
                if (flags.testFlag(Qt::ItemIsSelectable) && flags.testFlag(Qt::ItemIsEnabled))
                    return true;
            }
    }
    return false;
}

bool STableView::canCopy() const
{
    return offers(Copy) && hasSelectedCell(selectionModel());
}

bool STableView::canDelete() const
{
    return offers(Delete) && hasSelectedCell(selectionModel());
}

bool STableView::canPaste() const
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    if (!offers(Paste) || !data)
        return false;
    const QStringList types = model()->mimeTypes();
    return std::any_of(types.begin(), types.end(), [data](const QString &type) { return data->hasFormat(type); });
}

void STableView::retranslateActions()
{
    for (int which = Cut; which <= SelectAll; ++which)
        m_actions[which]->setText(tr(actionTexts[which].text));
}

void STableView::setActionEnabled(STableView::BasicActions which, bool enabled)
{
    if (QAction *target = action(which)) {
        m_allowed[which] = enabled;
        target->setEnabled(enabled);
    }
}

void STableView::setActionVisible(STableView::BasicActions which, bool visible)
{
    if (QAction *target = action(which)) {
        setActionEnabled(which, visible);
        target->setVisible(visible);
    }
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
    settleRows();
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
    settleRows();
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
    const bool copyOk = canCopy();
    m_actions[Cut]->setEnabled(copyOk);
    m_actions[Copy]->setEnabled(copyOk);
    m_actions[Paste]->setEnabled(canPaste());
    m_actions[Delete]->setEnabled(canDelete());
    m_actions[SelectAll]->setEnabled(model() && model()->rowCount() > 0);
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

void STableView::selectAllRows()
{
    setUpdatesEnabled(false);
    connectActions(false, false);
    selectAll();
    connectActions(true, true);
    setUpdatesEnabled(true);
    repaint();
}

void STableView::handleActions(bool checked)
{
    Q_UNUSED(checked)
    handleActions();
}

void STableView::handleActions()
{
    // Only our own edit actions are answered; the action is known by its shortcut, whatever its text.
    const auto *action = qobject_cast<const QAction *>(sender());
    if (!action || !action->property(actionMark).toBool() || !model())
        return;
    const QKeySequence shortcut = action->shortcut();
    const auto is = [&shortcut](QKeySequence::StandardKey key) {
        return !shortcut.isEmpty() && QKeySequence::keyBindings(key).contains(shortcut);
    };
    if (is(QKeySequence::Copy))
        copy();
    if (is(QKeySequence::Cut))
        cut();
    if (is(QKeySequence::Delete))
        deleteSelected();
    if (is(QKeySequence::SelectAll))
        selectAllRows();
    if (is(QKeySequence::Paste))
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

bool STableView::viewportEvent(QEvent *event)
{
    // a search still waiting is applied first: input is judged against the rows the table is to show
    return m_aimedInput->viewportEvent(
        event,
        [this] {
            settleRows();
            executeDelayedItemsLayout();
        },
        [this](QEvent *e) { return QTableView::viewportEvent(e); });
}

// The user watches the rows the keys bring (PageDown, End, an arrow), as those the wheel brings.
void STableView::keyPressEvent(QKeyEvent *event)
{
    m_aimedInput->watched([&] { QTableView::keyPressEvent(event); });
}

// While a drag or a stretched selection rests at an edge the view scrolls on its own: the user watches that too.
void STableView::timerEvent(QTimerEvent *event)
{
    if (state() == DraggingState || state() == DragSelectingState)
        m_aimedInput->watched([&] { QTableView::timerEvent(event); });
    else
        QTableView::timerEvent(event);
}

void STableView::scrollContentsBy(int dx, int dy)
{
    if (dy != 0)
        m_aimedInput->aboutToScroll();
    QTableView::scrollContentsBy(dx, dy);
}

void STableView::startDrag(Qt::DropActions supportedActions)
{
    if (m_aimedInput->dragStarts())
        QTableView::startDrag(supportedActions);
}
