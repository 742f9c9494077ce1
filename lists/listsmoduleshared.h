#pragma once
#include "base/columnfilter.h"
#include "listfiles/projectfilemanager.h"
#include "modules/ombrelaymodule.h"

#include <QModelIndexList>

class BasicEditPanel;
class DeviceTask;
class FilterMenuModel;
class ItemsTableView;
class ListProjectFileManager;
class ListTabWidget;
class PrintListsBuilder;
class QAbstractButton;
class QLabel;
class QProgressBar;
class QStackedWidget;
class SSearchLineEdit;
class TabWidget;

// Common base of the TV, radio and link list pages: the page switch, the transfer of the list with the
// receiver (a task on its communication manager, or a USB drive for a USB-managed receiver), export,
// closing, the navigation of the welcome, transfer and export pages, and what the editor page does the
// same way on every list: "# on list", the filter, the file commands and showing the details panel.
// The concrete module gives it the widgets its form shares with the others, its manager and its list type.
class ListsModuleShared : public OmbrelayModule
{
    Q_OBJECT
public:
    enum Pages { PageWelcome = 0, PageEditor = 1, PageTransfer = 2, PageExport = 3, PageHelp = 4 };
    // The widgets every list form holds under the same object names.
    struct FormWidgets
    {
        QStackedWidget *stackedWidget = nullptr;
        QLabel *dataTransferPageStatusLabel = nullptr;
        QProgressBar *dataTransferProgressBar = nullptr;
        QAbstractButton *dataTransferPageButton = nullptr;
        QAbstractButton *btnDownloadLists = nullptr;
        QAbstractButton *btnDownloadDeviceLists = nullptr;
        QAbstractButton *btnUploadDeviceLists = nullptr;
        ItemsTableView *itemsTableViewAll = nullptr;
        ListTabWidget *listsTabWidget = nullptr;
        QAbstractButton *filterToolButton = nullptr;
        TabWidget *tabServiceProperties = nullptr;
        QAbstractButton *btnShowServiceSettings = nullptr;
        QWidget *frAllItemsContainer = nullptr;
        QWidget *frServiceProperties = nullptr;
        QWidget *listsSplitter = nullptr;
        BasicEditPanel *basicServicesEdit = nullptr;
        QAbstractButton *btnCreateNewItem = nullptr;
        QAbstractButton *showHideColumnsToolButton = nullptr;
        SSearchLineEdit *txtSearch = nullptr;
        QWidget *toolsFrame = nullptr;
        QWidget *itemsToolBar = nullptr;
        QWidget *lblAllServices = nullptr;
        QWidget *frServiceSettingsButtons = nullptr;
    };

    explicit ListsModuleShared(QWidget *parent = nullptr);
    ~ListsModuleShared() override;

    virtual void openFile(const QString &path);
    virtual ListProjectFileManager *listManager() const = 0;
    // "tv", "radio" or "link".
    virtual QString listType() const = 0;

    void setPage(int index);
    void showPage(int index) { setPage(index); }
    int currentPage() const;
    // The page to return to when a task that was started on the transfer page ends.
    int restingPage() const;
    QLabel *transferStatusLabel() const { return form.dataTransferPageStatusLabel; }
    QProgressBar *transferProgressBar() const { return form.dataTransferProgressBar; }
    DeviceTask *pendingTask() const { return currentTask; }
    // Set while the module is being destroyed: tasks ending then touch nothing.
    bool isTearingDown() const { return tearingDown; }

    void setDeviceInfo(ZBDeviceInfo *info) override;
    // Takes the satellites and front-ends of a receiver's description reply into the receiver's record;
    // its name, address and USB flag stay the user's. False, and nothing taken, for an incomplete reply.
    bool takeSatellitesFrom(const QString &reply);
    // A download task reading its reply off the GUI thread: the receiver is done with it, so a cancel
    // goes to the task itself and a lost connection no longer concerns it.
    void setReadingTask(DeviceTask *task) { readingTask = task; }
    void clearReadingTask(DeviceTask *task);
    bool isReadingList() const { return readingTask != nullptr; }
    // Whether the connection went while this task was pending: whatever ending it then gets (a cancel, an
    // error, a failure), it says that the connection was lost and its lists were not moved.
    bool lostConnectionUnder(const DeviceTask *task) const { return task && task == lostTask; }
    // Says that the connection went and the lists of this request ("download", "send" or another) were not
    // moved; or, when the user disconnected the receiver under it, that the transfer was stopped. Said once
    // the event loop has it: the page may be going with its receiver as it hears the link go, and a page that
    // goes says nothing. With cancelUnanswered the connection went because the receiver did not answer the
    // user's cancel, and the words say that first.
    void reportLostConnection(const QString &mode, bool cancelUnanswered = false);
    bool tellsOfLostConnection() const override;
    // What the page says of a request stopped by a disconnect the user asked for.
    static QString stoppedTransferText(const QString &mode);
    // What the page says of a request whose cancel the receiver did not answer, so that its connection was given
    // up: both, whichever the page heard first, the worker's word or the link going.
    static QString cancelUnansweredText(const QString &mode);
    // What the page says of a request it could not hand to the receiver.
    static QString notSentText(const QString &mode);
    // At the end of a send: the project counts as saved only when the document still holds the text
    // this task carried.
    bool takeSentSnapshot(DeviceTask *task);
    void setMaximumListCount(int count);

public slots:
    // Called by a task at its one ending; forgets it when it is the pending one and releases it.
    virtual void taskComplete(DeviceTask *task);
    void onDeviceStateChange(const QString &state) override;
    void downloadLists();
    void sendLists();
    void exportProjectAs();
    void printLists();
    void onDataTransferPageButtonClick();
    void setOnLine(bool online);
    // "# on list": the place of each item on the list of this tab.
    void updateItemsListPosition(int index);
    void onServicesDataChanged();
    void setupFilter();
    void showFilterTree();
    void onAllListItemPressed(const QModelIndex &index);
    void onAppFocusChanged(QWidget *old, QWidget *now);
    void SaveProject();
    void SaveProjectAs();
    void moreButtonAction();
    void onBtnOpenSavedProject2();
    void backFromExportPage();
    // Shows or hides the details panel; hidden, the button that shows it again stands in for it.
    void showServiceDetails(bool show);

protected slots:
    virtual void onAfterExportProjectAs(bool success);

protected:
    void setFormWidgets(const FormWidgets &widgets) { form = widgets; }
    void setUsbIcons();
    void closeEvent(QCloseEvent *event) override;
    // A list transfer task of the concrete module ("download" or "send"), owned by the module.
    virtual DeviceTask *createTransferTask(const QString &mode) = 0;
    // A page builder of the module's kind over its manager, with what only that kind knows set.
    virtual PrintListsBuilder *createPrintBuilder() = 0;
    // Starts a request on the receiver; false (nothing enqueued) without a manager.
    bool enqueue(DeviceTask *task);
    // The column of this field of the manager's items ("name", "position", ...), or -1.
    int field(const char *name) const;
    // A new item (id, just appended) takes the number after the highest in use, never a gap such as 0 or
    // the number of an item just deleted, which a favourite list or the receiver may still know. Its name
    // in nameField carries the id and follows it (nameText with %1). Returns the id it has then.
    QString numberNewItem(const QString &id, int idColumn, const char *nameField, const QString &nameText);
    // The manager's file actions (Ctrl+N, O, S, Shift+S, W, R and the recent files) on the page, so their
    // shortcuts work while it is shown, and only then.
    void takeFileActions(ListProjectFileManager *manager);
    // On a load: "# on list" follows the current list from the start, so the first sort is by list place.
    void sortByListPlace();
    // The tools that change the list as a whole (edit, filter, columns, new item, drag, copy, delete).
    void setListToolsEnabled(bool on);
    // The table, the tabs and the search: locked while one item is edited in the panel.
    void setBrowsingEnabled(bool on);
    // Drops the search: every row shows again and the empty box its hint, in the current language.
    void resetSearch();
    // The tab the panel opens on for a new item; -1 keeps the tab it shows.
    virtual int newItemTab() const { return -1; }

    QModelIndexList lastSelectedRows;
    bool newItemPending = false;
    bool shown = false;
    bool itemsChanged = false;
    DeviceTask *currentTask = nullptr;
    FormWidgets form;
    QList<ColumnFilter> columnFilters;
    FilterMenuModel *filterModel = nullptr;

private:
    void importFromUsb();
    bool tearingDown = false;
    DeviceTask *readingTask = nullptr;
    // The pending task under which the connection went.
    DeviceTask *lostTask = nullptr;
    // The pending task under which the user disconnected the receiver (a loss that was asked for).
    DeviceTask *stoppedTask = nullptr;
    // The user agreed to stop the transfer and close: the window closes once it has ended.
    bool closeWhenTransferEnds = false;
    // The page has said that the connection was lost since the receiver last connected.
    bool lossTold = false;
    // The send whose text sentMark stands for; the text itself is only in its payload.
    DeviceTask *markedTask = nullptr;
    ProjectFileManager::TextMark sentMark;
};
