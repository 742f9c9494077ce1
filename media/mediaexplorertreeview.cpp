#include "media/mediaexplorertreeview.h"

#include "media/pcfilesystemmodel.h"
#include "widgets/aimedinputrule.h"
#include "widgets/messagebox.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QScopedValueRollback>
#include <QTimer>
#include <QUrl>

#include <algorithm>

MediaExplorerTreeView::MediaExplorerTreeView(QWidget *parent)
    : QTreeView(parent)
    , _aimedInput(new AimedInputRule(this))
{
    // A folder the page expands or collapses (after a new folder, or set back after a rebuild) moves the rows
    // below it with no change of the model's rows.
    _aimedInput->noteAtEachPaint();
    // A file is told by its name: one another program writes keeps its row while its size and date change.
    _aimedInput->tellRowsBy(0);
    connect(this, &QTreeView::expanded, _aimedInput, &AimedInputRule::rowsShifted);
    connect(this, &QTreeView::collapsed, _aimedInput, &AimedInputRule::rowsShifted);
    connect(this, &QTreeView::doubleClicked, this, &MediaExplorerTreeView::onItemDoubleClicked);
    connect(this, &MediaExplorerTreeView::itemSelected, this, &MediaExplorerTreeView::onItemSelected);
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex &index) {
        if (PcFileSystemModel *pc = fileSystemModel())
            _expandedPaths.insert(pc->filePath(index));
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex &index) {
        if (PcFileSystemModel *pc = fileSystemModel())
            _expandedPaths.remove(pc->filePath(index));
    });
}

PcFileSystemModel *MediaExplorerTreeView::fileSystemModel() const
{
    return qobject_cast<PcFileSystemModel *>(model());
}

void MediaExplorerTreeView::setModel(QAbstractItemModel *model)
{
    for (const QMetaObject::Connection &connection : std::as_const(_modelConnections))
        disconnect(connection);
    _modelConnections.clear();
    _keptPlaces.clear();
    _expandedPaths.clear();
    _rootPath.clear();
    _aimedInput->watch(model);
    QTreeView::setModel(model);
    if (model)
        connect(model, &QAbstractItemModel::headerDataChanged, this, &MediaExplorerTreeView::fitColumnTitlesLater);
    if (auto *pc = qobject_cast<PcFileSystemModel *>(model)) {
        _modelConnections << connect(pc, &PcFileSystemModel::folderAboutToBeRebuilt, this,
                                     &MediaExplorerTreeView::keepPlace)
                          << connect(pc, &PcFileSystemModel::folderRebuilt, this, &MediaExplorerTreeView::restorePlace)
                          // after the model's step, when a rebuilt folder is back
                          << connect(pc, &QAbstractItemModel::rowsRemoved, this, &MediaExplorerTreeView::checkRoot,
                                     Qt::QueuedConnection);
    }
    fitColumnTitlesLater();
}

void MediaExplorerTreeView::setRootIndex(const QModelIndex &index)
{
    if (index != rootIndex())
        _aimedInput->aboutToShowOtherRows();
    QTreeView::setRootIndex(index);
    PcFileSystemModel *pc = fileSystemModel();
    _rootPath = pc && index.isValid() ? pc->filePath(index) : QString();
}

static bool atOrBelow(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder.endsWith(u'/') ? folder : folder + u'/');
}

void MediaExplorerTreeView::keepPlace(const QString &folder)
{
    PcFileSystemModel *pc = fileSystemModel();
    if (!pc)
        return;
    Place place;
    if (atOrBelow(_rootPath, folder) && rootIndex().isValid())
        place.root = _rootPath;
    if (const QModelIndex current = currentIndex(); current.isValid() && atOrBelow(pc->filePath(current), folder))
        place.current = pc->filePath(current);
    if (selectionModel()) {
        for (const QModelIndex &row : selectionModel()->selectedRows(0))
            if (const QString path = pc->filePath(row); atOrBelow(path, folder))
                place.selected << path;
    }
    for (const QString &path : std::as_const(_expandedPaths))
        if (atOrBelow(path, folder) && isExpanded(pc->index(path)))
            place.expanded << path;
    if (!place.root.isEmpty() || !place.current.isEmpty() || !place.selected.isEmpty() || !place.expanded.isEmpty())
        _keptPlaces.insert(folder, place);
}

// Each entry still on the disk is put back into the model by asking for its index (the folder's listing comes
// later and finds it there): the view is where it was at once.
void MediaExplorerTreeView::restorePlace(const QString &folder)
{
    PcFileSystemModel *pc = fileSystemModel();
    const auto kept = _keptPlaces.find(folder);
    if (!pc || kept == _keptPlaces.end())
        return;
    Place place = *kept;
    _keptPlaces.erase(kept);
    // Entries of the place may go meanwhile (the page's own delete runs on): none of them is said to be gone.
    const QScopedValueRollback<bool> restoring(_restoringPlace, true);
    if (!place.root.isEmpty() && rootIndex() != pc->index(place.root)) {
        if (const QModelIndex root = pc->index(place.root); root.isValid())
            setRootIndex(root);
    }
    // outer folders first: an inner one is shown only inside an expanded one
    std::sort(place.expanded.begin(), place.expanded.end(),
              [](const QString &a, const QString &b) { return a.size() < b.size(); });
    for (const QString &path : std::as_const(place.expanded))
        if (const QModelIndex at = pc->index(path); at.isValid())
            setExpanded(at, true);
    if (!selectionModel())
        return;
    if (const QModelIndex current = pc->index(place.current); current.isValid())
        selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    QItemSelection rows;
    for (const QString &path : std::as_const(place.selected))
        if (const QModelIndex at = pc->index(path); at.isValid())
            rows.select(at, at);
    if (!rows.isEmpty())
        selectionModel()->select(rows, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// A root that went with rows taken out and did not come back.
void MediaExplorerTreeView::checkRoot()
{
    if (!_rootPath.isEmpty() && !rootIndex().isValid())
        rootLost(_rootPath);
}

void MediaExplorerTreeView::rootLost(const QString &path)
{
    setRootIndex(nearestFolder(path));
}

QModelIndex MediaExplorerTreeView::nearestFolder(const QString &path) const
{
    PcFileSystemModel *pc = fileSystemModel();
    if (!pc)
        return {};
    for (QString at = path;;) {
        const QString up = QFileInfo(at).absolutePath();
        if (up == at || up.isEmpty())
            return {};
        at = up;
        if (QFileInfo(at).isDir())
            return pc->index(at);
    }
}

void MediaExplorerTreeView::showEvent(QShowEvent *event)
{
    QTreeView::showEvent(event);
    fitColumnTitlesLater();
}

bool MediaExplorerTreeView::viewportEvent(QEvent *event)
{
    return _aimedInput->viewportEvent(
        event, [this] { executeDelayedItemsLayout(); }, [this](QEvent *e) { return QTreeView::viewportEvent(e); });
}

// The user watches what the keys bring (PageDown, End, an arrow, a folder opened), as what a click brings.
void MediaExplorerTreeView::keyPressEvent(QKeyEvent *event)
{
    _aimedInput->watched([&] { QTreeView::keyPressEvent(event); });
}

// While a drag or a stretched selection rests at an edge the view scrolls on its own: the user watches that too.
void MediaExplorerTreeView::timerEvent(QTimerEvent *event)
{
    if (state() == DraggingState || state() == DragSelectingState)
        _aimedInput->watched([&] { QTreeView::timerEvent(event); });
    else
        QTreeView::timerEvent(event);
}

void MediaExplorerTreeView::scrollContentsBy(int dx, int dy)
{
    if (dy != 0)
        _aimedInput->aboutToScroll();
    QTreeView::scrollContentsBy(dx, dy);
}

void MediaExplorerTreeView::startDrag(Qt::DropActions supportedActions)
{
    if (_aimedInput->dragStarts())
        QTreeView::startDrag(supportedActions);
}

void MediaExplorerTreeView::changeEvent(QEvent *event)
{
    QTreeView::changeEvent(event);
    if (event->type() == QEvent::LanguageChange || event->type() == QEvent::StyleChange ||
        event->type() == QEvent::FontChange)
        fitColumnTitlesLater();
}

// Once the events of the moment are through: the widths a page sets right after the model, and the font a
// style sheet gives the header when it is polished, come first.
void MediaExplorerTreeView::fitColumnTitlesLater()
{
    if (_fitPending)
        return;
    _fitPending = true;
    QTimer::singleShot(0, this, [this] {
        _fitPending = false;
        fitColumnTitles();
    });
}

void MediaExplorerTreeView::fitColumnTitles()
{
    QHeaderView *titles = header();
    if (!model() || !titles)
        return;
    titles->ensurePolished();
    for (int column = 0; column < titles->count(); ++column) {
        const int needed = titles->sectionSizeHint(column);
        if (!titles->isSectionHidden(column) && titles->sectionSize(column) < needed)
            titles->resizeSection(column, needed);
    }
}

// What is selected now, not the change: Shift+Up that gives back a row, or a Ctrl+click that deselects one
// of two, leaves rows selected although nothing was added.
void MediaExplorerTreeView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    QTreeView::selectionChanged(selected, deselected);
    if (_rowsGoing) {
        _itemPending = true;
        return;
    }
    _itemPending = false; // reported now with this change
    const QModelIndex item = selectedItem();
    // a row chosen that a listing not read again yet still shows
    if (!selected.isEmpty() && item.isValid() && !_restoringPlace)
        sayIfGone(item);
    emit itemSelected(item);
}

// Keys that move within the selection change only the current row.
void MediaExplorerTreeView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTreeView::currentChanged(current, previous);
    if (_rowsGoing) {
        _itemPending = true;
        return;
    }
    if (current.isValid() && selectionModel() && selectionModel()->isSelected(current))
        emit itemSelected(selectedItem());
}

// The framework's model takes the rows of a folder read again out one by one, and each selected or current row
// taken out changes the selection: reported each time, 2,000 selected rows going out of 6,000 held the window for a
// minute. What rows going out change is reported once, in the next round of events (or before, see catchUp).
// (Called before the selection model hears of them.)
void MediaExplorerTreeView::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    if (!_rowsGoing && model()) {
        _rowsGoing = true;
        connect(model(), &QAbstractItemModel::rowsRemoved, this, &MediaExplorerTreeView::rowsGone,
                Qt::SingleShotConnection);
    }
    QTreeView::rowsAboutToBeRemoved(parent, start, end);
}

void MediaExplorerTreeView::rowsGone()
{
    _rowsGoing = false;
    if (_itemPending && !_catchUpQueued) {
        _catchUpQueued = true;
        QMetaObject::invokeMethod(this, &MediaExplorerTreeView::catchUp, Qt::QueuedConnection);
    }
}

void MediaExplorerTreeView::catchUp()
{
    _catchUpQueued = false;
    if (!_itemPending || _rowsGoing)
        return;
    _itemPending = false;
    emit itemSelected(selectedItem());
}

QModelIndex MediaExplorerTreeView::selectedItem() const
{
    return rowWorkedOn(selectionModel(), currentIndex());
}

QModelIndex MediaExplorerTreeView::rowWorkedOn(const QItemSelectionModel *selection, const QModelIndex &current,
                                               const QModelIndex *folder)
{
    if (!selection)
        return {};
    const auto counts = [&](const QModelIndex &row) {
        return row.isValid() && (!folder || row.parent() == *folder) &&
               selection->isRowSelected(row.row(), row.parent());
    };
    if (const QModelIndex at = current.siblingAtColumn(0); counts(at))
        return at;
    for (const QItemSelectionRange &range : selection->selection()) {
        if (folder && range.parent() != *folder)
            continue;
        for (int row = range.top(); row <= range.bottom(); ++row)
            if (const QModelIndex at = range.model()->index(row, 0, range.parent()); counts(at))
                return at;
    }
    return {};
}

void MediaExplorerTreeView::focusInEvent(QFocusEvent *event)
{
    QTreeView::focusInEvent(event);
    emit itemSelected(selectedItem());
}

void MediaExplorerTreeView::onItemSelected(const QModelIndex &index)
{
    PcFileSystemModel *pc = fileSystemModel();
    if (!pc || !index.isValid())
        return;
    const QFileInfo info = pc->fileInfo(index);
    QString path = QDir::toNativeSeparators(pc->isDir(index) ? info.absoluteFilePath() : info.absolutePath());
    if (path.size() > 1 && path.endsWith(QDir::separator()))
        path.chop(1);
    _currentFolder = path;
}

void MediaExplorerTreeView::onItemDoubleClicked(const QModelIndex &index)
{
    if (fileSystemModel() && !fileSystemModel()->isDir(index))
        openFile(index, "MediaExplorerTreeView");
}

void MediaExplorerTreeView::openFile(const QModelIndex &index, const char *context)
{
    if (sayIfGone(index))
        return;
    const QFileInfo info = fileSystemModel()->fileInfo(index);
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())))
        return;
    MessageBox::information(this,
                            QCoreApplication::translate(context, "Ombrelay cannot open %1. Default application for %2 "
                                                                 "files is not set.")
                                .arg(info.fileName(), info.completeSuffix()));
}

bool MediaExplorerTreeView::sayIfGone(const QModelIndex &index)
{
    PcFileSystemModel *pc = fileSystemModel();
    if (!pc || !index.isValid())
        return false;
    const QFileInfo entry(pc->filePath(index));
    if (entry.exists() || entry.isSymLink())
        return false;
    // once the event that chose it is through, and once while the message is on its way
    if (_goneSaid == entry.absoluteFilePath())
        return true;
    _goneSaid = entry.absoluteFilePath();
    QTimer::singleShot(0, this, [this, entry] {
        readFolderAgain(entry.absolutePath());
        MessageBox::information(this, tr("%1 is no longer there.").arg(entry.fileName()));
        _goneSaid.clear();
    });
    return true;
}

void MediaExplorerTreeView::refreshCurrentFolder()
{
    readFolderAgain(_currentFolder);
}

// Read at once, not through a scratch file for the folder watcher: a file that only grew (a finished
// recording) changes nothing the watcher sees, and a read-only folder takes no scratch file.
void MediaExplorerTreeView::readFolderAgain(const QString &folder) const
{
    if (PcFileSystemModel *pc = fileSystemModel(); pc && !folder.isEmpty())
        pc->refreshFolder(QDir::fromNativeSeparators(folder));
}
