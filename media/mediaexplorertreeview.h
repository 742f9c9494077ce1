#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QTreeView>

class AimedInputRule;
class PcFileSystemModel;

// The tree views of the media explorer: they report the item the user works on and, over the PC
// model, open files with the desktop's application and make the model re-read a folder. Input aimed at
// a place in them acts on the row drawn there, or on none (AimedInputRule), as in the program's tables.
class MediaExplorerTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit MediaExplorerTreeView(QWidget *parent = nullptr);

    PcFileSystemModel *fileSystemModel() const;
    void setModel(QAbstractItemModel *model) override;
    void setRootIndex(const QModelIndex &index) override;
    QString currentFolder() const { return _currentFolder; }
    virtual void refreshCurrentFolder();
    // Reports now the item a removal of rows changed and that is still to be reported (see selectionChanged):
    // before a key or a click acts on what the page shows.
    void catchUp();
    // The row the user works on in selection: the current row when it is selected, else the first selected row
    // (as QItemSelectionModel::selectedRows would list it first); with a folder, only rows of that folder (an
    // invalid one for the drive list). Reads the selection's ranges, not every selected row.
    static QModelIndex rowWorkedOn(const QItemSelectionModel *selection, const QModelIndex &current,
                                   const QModelIndex *folder = nullptr);

signals:
    void itemSelected(const QModelIndex &index);

public slots:
    void onItemSelected(const QModelIndex &index);

protected slots:
    virtual void onItemDoubleClicked(const QModelIndex &index);
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;

protected:
    // The row the user works on: the current row when it is selected, else the first selected row.
    QModelIndex selectedItem() const;
    void focusInEvent(QFocusEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void changeEvent(QEvent *event) override;
    // Opens a PC file with its default application, or says that none is set.
    void openFile(const QModelIndex &index, const char *context);
    // Makes the model read folder again now.
    void readFolderAgain(const QString &folder) const;
    // The folder shown left the model for good (gone from the disk): shown instead is the nearest folder above
    // it that is still there.
    virtual void rootLost(const QString &path);
    QModelIndex nearestFolder(const QString &path) const;
    // Says that the PC entry at index is gone from the disk, and has its folder read again; false when it is
    // still there.
    bool sayIfGone(const QModelIndex &index);

private:
    // Widens each column that is narrower than its title as the header draws it (its font and style
    // sheet, and the room for the sort mark): after the page set its widths, and in another language.
    void fitColumnTitles();
    void fitColumnTitlesLater();

    // Where the view is in a folder the model rebuilds: noted before, set again after (by paths, as the
    // indexes go with the folder).
    struct Place
    {
        QString root;
        QString current;
        QStringList selected;
        QStringList expanded;
    };
    void keepPlace(const QString &folder);
    void restorePlace(const QString &folder);
    void checkRoot();

    AimedInputRule *_aimedInput;
    QString _currentFolder;
    bool _fitPending = false;
    QString _rootPath; // of the folder shown, as last set; empty for the top
    QHash<QString, Place> _keptPlaces;
    QSet<QString> _expandedPaths; // as expanded, kept by paths (the view has no list of them)
    QList<QMetaObject::Connection> _modelConnections;
    QString _goneSaid; // the gone entry whose message is on its way
    // A place in a rebuilt folder is being set back: the rows it selects are no choice of the user's.
    bool _restoringPlace = false;

    // A removal of rows the model made has ended.
    void rowsGone();
    // Rows are being taken out; the item they changed is still to be reported.
    bool _rowsGoing = false;
    bool _itemPending = false;
    bool _catchUpQueued = false;
};
