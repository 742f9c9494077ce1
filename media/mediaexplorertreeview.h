#pragma once

#include <QTreeView>

class PcFileSystemModel;

// The tree views of the media explorer: they report the item the user works on and, over the PC
// model, open files with the desktop's application and make the model re-read a folder.
class MediaExplorerTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit MediaExplorerTreeView(QWidget *parent = nullptr);

    PcFileSystemModel *fileSystemModel() const;
    void setModel(QAbstractItemModel *model) override;
    QString currentFolder() const { return _currentFolder; }
    virtual void refreshCurrentFolder();

signals:
    void itemSelected(const QModelIndex &index);

public slots:
    void onItemSelected(const QModelIndex &index);

protected slots:
    virtual void onItemDoubleClicked(const QModelIndex &index);
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

protected:
    // The row the user works on: the current row when it is selected, else the first selected row.
    QModelIndex selectedItem() const;
    void focusInEvent(QFocusEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Opens a PC file with its default application, or says that none is set.
    void openFile(const QModelIndex &index, const char *context);
    // Makes the model read folder again now.
    void readFolderAgain(const QString &folder) const;

private:
    // Widens each column that is narrower than its title as the header draws it (its font and style
    // sheet, and the room for the sort mark): after the page set its widths, and in another language.
    void fitColumnTitles();
    void fitColumnTitlesLater();

    QString _currentFolder;
    bool _fitPending = false;
};
