#include "media/mediaexplorertreeview.h"

#include "media/pcfilesystemmodel.h"
#include "widgets/messagebox.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QTimer>
#include <QUrl>

MediaExplorerTreeView::MediaExplorerTreeView(QWidget *parent)
    : QTreeView(parent)
{
    connect(this, &QTreeView::doubleClicked, this, &MediaExplorerTreeView::onItemDoubleClicked);
    connect(this, &MediaExplorerTreeView::itemSelected, this, &MediaExplorerTreeView::onItemSelected);
}

PcFileSystemModel *MediaExplorerTreeView::fileSystemModel() const
{
    return qobject_cast<PcFileSystemModel *>(model());
}

void MediaExplorerTreeView::setModel(QAbstractItemModel *model)
{
    QTreeView::setModel(model);
    if (model)
        connect(model, &QAbstractItemModel::headerDataChanged, this, &MediaExplorerTreeView::fitColumnTitlesLater);
    fitColumnTitlesLater();
}

void MediaExplorerTreeView::showEvent(QShowEvent *event)
{
    QTreeView::showEvent(event);
    fitColumnTitlesLater();
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
    emit itemSelected(selectedItem());
}

// Keys that move within the selection change only the current row.
void MediaExplorerTreeView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTreeView::currentChanged(current, previous);
    if (current.isValid() && selectionModel() && selectionModel()->isSelected(current))
        emit itemSelected(selectedItem());
}

QModelIndex MediaExplorerTreeView::selectedItem() const
{
    if (!selectionModel())
        return {};
    const QModelIndexList rows = selectionModel()->selectedRows(0);
    const QModelIndex current = currentIndex().sibling(currentIndex().row(), 0);
    if (current.isValid() && rows.contains(current))
        return current;
    return rows.isEmpty() ? QModelIndex() : rows.first();
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
    const QFileInfo info = fileSystemModel()->fileInfo(index);
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())))
        return;
    MessageBox::information(this,
                            QCoreApplication::translate(context, "Ombrelay cannot open %1. Default application for %2 "
                                                                 "files is not set.")
                                .arg(info.fileName(), info.completeSuffix()));
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
