#include "media/mediaexplorerfilebrowser.h"

#include "base/settings.h"
#include "media/pcfilesystemmodel.h"

#include <QDir>
#include <QFileInfo>

MediaExplorerFileBrowser::MediaExplorerFileBrowser(QWidget *parent)
    : MediaExplorerTreeView(parent)
{}

QString MediaExplorerFileBrowser::currentPathText() const
{
    PcFileSystemModel *pc = fileSystemModel();
    if (!pc)
        return QString();
    if (!rootIndex().isValid())
        return tr("My Computer");
    return QDir::toNativeSeparators(pc->filePath(rootIndex()));
}

void MediaExplorerFileBrowser::changeRootIndex(const QModelIndex &index, bool addToHistory)
{
    if (index == rootIndex())
        return;
    PcFileSystemModel *pc = fileSystemModel();
    if (addToHistory && pc)
        _history.append(rootIndex().isValid() ? pc->filePath(rootIndex()) : QString());
    showFolder(index);
}

void MediaExplorerFileBrowser::showFolder(const QModelIndex &index)
{
    setRootIndex(index);
    // A folder listed before is read again as it is shown (at the pace of its readings): what changed meanwhile,
    // also a file that only grew (which the folder's watching does not see), shows as it is on disk.
    if (PcFileSystemModel *pc = fileSystemModel(); pc && index.isValid())
        pc->folderShownAgain(pc->filePath(index));
    // What was selected belongs to the folder left: a command must not act on a row no longer in sight.
    if (selectionModel())
        selectionModel()->clear();
    const QString text = currentPathText();
    // On this platform a drive is a top item ("/" or a mounted root); above it is the drive list.
    emit goUpPossible(index.isValid());
    emit goBackPossible(!_history.isEmpty());
    emit currentPathChanged(text);
}

// The folder shown was deleted: the address names what is shown instead. The history keeps it (Back past a
// folder that is gone drops it then).
void MediaExplorerFileBrowser::rootLost(const QString &path)
{
    showFolder(nearestFolder(path));
}

void MediaExplorerFileBrowser::setRootPath(const QString &path, bool addToHistory)
{
    PcFileSystemModel *pc = fileSystemModel();
    if (!pc)
        return;
    QModelIndex target;
    if (path.compare(tr("My Computer"), Qt::CaseInsensitive) != 0 && !path.isEmpty() && QFileInfo::exists(path))
        target = pc->index(QDir::fromNativeSeparators(path), 0);
    changeRootIndex(target, addToHistory);
}

void MediaExplorerFileBrowser::goToStandardFolder(int folder)
{
    QString path;
    if (folder == 0)
        path = Settings::getString(Settings::PathMusic, QString());
    else if (folder == 1)
        path = Settings::getString(Settings::PathPictures, QString());
    else if (folder == 2)
        path = Settings::getString(Settings::PathVideo, QString());
    _history.clear();
    setRootPath(path, false);
    emit goBackPossible(false);
}

void MediaExplorerFileBrowser::goBack()
{
    if (_history.isEmpty())
        return;
    const QString entry = _history.takeLast();
    if (entry.isEmpty() || !QFileInfo::exists(entry)) {
        // Back reaches the drive list as well; a folder that is gone is dropped.
        if (entry.isEmpty() && fileSystemModel())
            changeRootIndex(QModelIndex(), false);
        else
            emit goBackPossible(!_history.isEmpty());
        return;
    }
    setRootPath(entry, false);
}

void MediaExplorerFileBrowser::goUp()
{
    if (!rootIndex().isValid())
        return;
    changeRootIndex(rootIndex().parent(), true);
}

void MediaExplorerFileBrowser::onItemDoubleClicked(const QModelIndex &index)
{
    PcFileSystemModel *pc = fileSystemModel();
    if (!pc || !index.isValid())
        return;
    if (pc->isDir(index))
        changeRootIndex(index.sibling(index.row(), 0), true);
    else
        openFile(index, "MediaExplorerFileBrowser");
}

void MediaExplorerFileBrowser::refreshCurrentFolder()
{
    if (rootIndex().isValid())
        readFolderAgain(fileSystemModel() ? fileSystemModel()->filePath(rootIndex()) : QString());
}

void MediaExplorerFileBrowser::focusInEvent(QFocusEvent *event)
{
    QTreeView::focusInEvent(event);
    const QModelIndex item = selectedItem();
    emit itemSelected(item.isValid() ? item : rootIndex());
}
