#include "lists/listsmoduleshared.h"

#include "base/settings.h"
#include "device/core/devicecommunicationmanager.h"
#include "device/core/devicetask.h"
#include "device/core/zbdeviceinfo.h"
#include "device/transfers/listtransfer.h"
#include "device/transfers/transferlink.h"
#include "devices/receivercloseevent.h"
#include "document/docitem.h"
#include "document/docitemsdataprovider.h"
#include "document/exception.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "document/objectsortfilterproxymodel.h"
#include "exchange/listsimportwizard.h"
#include "exchange/listsprintdialog.h"
#include "exchange/printlistsbuilder.h"
#include "exchange/selectdrivedialog.h"
#include "listfiles/listprojectfilemanager.h"
#include "lists/basiceditpanel.h"
#include "lists/listplacecolumn.h"
#include "lists/listtabwidget.h"
#include "modules/generaluiinterface.h"
#include "widgets/filtermenumodel.h"
#include "widgets/itemstableview.h"
#include "widgets/messagebox.h"
#include "widgets/messageboxcheckable.h"
#include "widgets/sfiltermenu.h"
#include "widgets/ssearchlineedit.h"
#include "widgets/tabwidget.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeView>

#include <memory>

ListsModuleShared::ListsModuleShared(QWidget *parent)
    : OmbrelayModule(parent)
{}

ListsModuleShared::~ListsModuleShared()
{
    // A request still queued or running must not outlive the page that waits for it.
    tearingDown = true;
    // (a task reading its reply waits for its reader as it goes with the page)
    if (currentTask && currentTask != readingTask && communicationManager())
        communicationManager()->cancel(currentTask);
    currentTask = nullptr;
}

void ListsModuleShared::openFile(const QString &path)
{
    // An empty path would make the manager ask for a file; a page is always given one.
    if (!path.isEmpty())
        listManager()->loadFile(path);
}

void ListsModuleShared::setPage(int index)
{
    if (form.stackedWidget)
        form.stackedWidget->setCurrentIndex(index);
}

int ListsModuleShared::field(const char *name) const
{
    ListProjectFileManager *manager = listManager();
    return manager ? manager->fieldColumns.value(QString::fromLatin1(name), -1) : -1;
}

QString ListsModuleShared::numberNewItem(const QString &id, int idColumn, const char *nameField,
                                         const QString &nameText)
{
    ListProjectFileManager *manager = listManager();
    DocItemsDataProvider *provider = manager->itemsProvider;
    int highest = 0;
    for (int row = 0, rows = provider->count(); row < rows; ++row) {
        const QString other = provider->itemAt(row).id();
        if (other != id)
            highest = qMax(highest, other.toInt());
    }
    if (id.isEmpty() || id.toInt() > highest)
        return id;
    const QModelIndex at = manager->itemsModel->indexById(id, 0);
    const QString next = QString::number(highest + 1);
    // Numbering the new item is no edit of the item the user is leaving.
    const bool changed = itemsChanged;
    if (!at.isValid() || !manager->itemsModel->setData(at.siblingAtColumn(idColumn), next, Qt::EditRole))
        return id;
    manager->itemsModel->setData(at.siblingAtColumn(field(nameField)), nameText.arg(next), Qt::EditRole);
    itemsChanged = changed;
    return next;
}

void ListsModuleShared::takeFileActions(ListProjectFileManager *manager)
{
    addActions({manager->newAction, manager->openAction, manager->saveAction, manager->saveAsAction,
                manager->closeAction, manager->exportAction});
    addActions(QList<QAction *>(manager->recentFileActions.cbegin(), manager->recentFileActions.cend()));
    connect(manager, &ProjectFileManager::onAfterExport, this, &ListsModuleShared::onAfterExportProjectAs);
}

void ListsModuleShared::setMaximumListCount(int count)
{
    listManager()->setListCount(count);
    form.listsTabWidget->setMaximumTabCount(count);
}

void ListsModuleShared::updateItemsListPosition(int index)
{
    // The document, not the loaded flag: the flag is set only after the page has taken the document,
    // and the first load must fill "# on list" too.
    ListProjectFileManager *manager = listManager();
    if (index < 0 || form.itemsTableViewAll->isColumnHidden(field("position")) || !manager->document)
        return;
    const QList<QList<int>> lists = manager->readLists();
    if (index >= lists.size())
        return;
    form.itemsTableViewAll->proxy()->setListOrder(lists.at(index));
    ListPlaceColumn::resort(form.itemsTableViewAll, field("position"));
    ListPlaceColumn::fit(form.itemsTableViewAll, field("position"), lists.at(index).size());
    form.itemsTableViewAll->viewport()->update();
}

void ListsModuleShared::onServicesDataChanged()
{
    updateItemsListPosition(form.listsTabWidget->currentIndex());
}

void ListsModuleShared::sortByListPlace()
{
    updateItemsListPosition(form.listsTabWidget->currentIndex());
    // The proxy skips a sort by the column and order it has already, and it placed the new items by the
    // list order of the previous document: the rows are put back in source order and sorted anew.
    form.itemsTableViewAll->proxy()->sort(-1);
    form.itemsTableViewAll->sortByColumn(0, Qt::AscendingOrder);
}

void ListsModuleShared::setupFilter()
{
    if (!filterModel)
        return;
    const bool on = filterModel->hasValues();
    if (form.filterToolButton->isChecked() != on)
        form.filterToolButton->setChecked(on);
    form.itemsTableViewAll->proxy()->setColumnFilters(on ? &columnFilters : nullptr);
}

void ListsModuleShared::showFilterTree()
{
    if (!listManager()->isProjectLoaded() || !filterModel)
        return;
    auto *menu = new SFilterMenu(form.filterToolButton, 250, 200, 10);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    filterModel->rebuild(true);
    form.filterToolButton->setChecked(filterModel->hasValues());
    menu->treeView()->setModel(filterModel);
    menu->show();
}

void ListsModuleShared::onAllListItemPressed(const QModelIndex &)
{
    // The panel's own state, not whether its frame is shown just now: the bar stands in for a closed panel only.
    if (form.tabServiceProperties->isHidden())
        form.btnShowServiceSettings->show();
}

void ListsModuleShared::onAppFocusChanged(QWidget *old, QWidget *now)
{
    if (!now || now->objectName().isEmpty())
        return;
    const bool wasInside = old && form.frAllItemsContainer->isAncestorOf(old);
    const bool isInside = form.frAllItemsContainer->isAncestorOf(now);
    // The details give way to the favourite lists beside them; a button of the page's tool strip, a question
    // or the transfer page leaves them as they were.
    if (!wasInside && isInside)
        form.frServiceProperties->show();
    else if (wasInside && !isInside && now != form.listsSplitter && form.listsSplitter->isAncestorOf(now))
        form.frServiceProperties->hide();
}

void ListsModuleShared::SaveProject()
{
    listManager()->saveAction->trigger();
    setPage(PageEditor);
}

void ListsModuleShared::SaveProjectAs()
{
    listManager()->saveAsAction->trigger();
    setPage(PageEditor);
}

void ListsModuleShared::moreButtonAction()
{
    setPage(PageExport);
}

void ListsModuleShared::onBtnOpenSavedProject2()
{
    // File > Open's own path: the open list stays until a chosen file has been read and loaded, so a
    // cancelled dialog or a bad file leaves it as it was.
    listManager()->loadFile(QString());
}

void ListsModuleShared::backFromExportPage()
{
    newItemPending = false;
    setListToolsEnabled(true);
    setPage(PageEditor);
}

void ListsModuleShared::showServiceDetails(bool show)
{
    form.tabServiceProperties->setVisible(show);
    if (show) {
        // The favourite list's Create new takes the focus out of the all-items side, which hides the panel's
        // frame: a new item is filled in there all the same.
        if (newItemPending)
            form.frServiceProperties->show();
        form.frServiceSettingsButtons->setVisible(newItemPending);
        form.btnShowServiceSettings->hide();
        if (!newItemPending)
            form.tabServiceProperties->setCurrentIndex(0);
        else if (newItemTab() >= 0)
            form.tabServiceProperties->setCurrentIndex(newItemTab());
    } else {
        form.frServiceSettingsButtons->hide();
        QAbstractItemModel *model = form.itemsTableViewAll->model();
        form.btnShowServiceSettings->setVisible(model && model->rowCount() > 0);
        form.tabServiceProperties->setCurrentIndex(0);
    }
    form.itemsTableViewAll->scrollTo(form.itemsTableViewAll->currentIndex(), QAbstractItemView::PositionAtBottom);
    if (!show)
        form.itemsTableViewAll->setFocus(Qt::OtherFocusReason);
}

void ListsModuleShared::resetSearch()
{
    // The box is refilled with its signals blocked, so the filter is dropped here.
    form.itemsTableViewAll->proxy()->setItemsSearchFilter(QString());
    form.txtSearch->clearSearchText();
}

void ListsModuleShared::setListToolsEnabled(bool on)
{
    form.basicServicesEdit->setEnabled(on);
    form.filterToolButton->setEnabled(on);
    form.showHideColumnsToolButton->setEnabled(on);
    form.itemsTableViewAll->setDragEnabled(on);
    form.btnCreateNewItem->setEnabled(on);
    form.itemsTableViewAll->horizontalHeader()->setEnabled(on);
    form.itemsTableViewAll->setActionEnabled(STableView::Copy, on);
    form.itemsTableViewAll->setActionEnabled(STableView::Delete, on);
}

void ListsModuleShared::setBrowsingEnabled(bool on)
{
    for (QWidget *widget :
         std::initializer_list<QWidget *>{form.toolsFrame, form.listsTabWidget, form.itemsToolBar, form.lblAllServices,
                                          form.txtSearch, form.itemsTableViewAll, form.btnShowServiceSettings})
        widget->setEnabled(on);
}

int ListsModuleShared::currentPage() const
{
    return form.stackedWidget ? form.stackedWidget->currentIndex() : -1;
}

int ListsModuleShared::restingPage() const
{
    return listManager()->isProjectLoaded() ? PageEditor : PageWelcome;
}

void ListsModuleShared::setDeviceInfo(ZBDeviceInfo *info)
{
    OmbrelayModule::setDeviceInfo(info);
    if (deviceInfo() && deviceInfo()->isUsbManaged()) {
        setUsbIcons();
        setOnLine(true);
    }
}

bool ListsModuleShared::takeSatellitesFrom(const QString &reply)
{
    ZBDeviceInfo fetched;
    if (!fetched.fromXml(reply) || !fetched.isComplete())
        return false;
    // Only the satellites and front-ends: the user's name for the receiver, its address and USB flag stay.
    if (ZBDeviceInfo *info = deviceInfo())
        info->takeSatellitesAndFrontends(reply);
    return true;
}

void ListsModuleShared::clearReadingTask(DeviceTask *task)
{
    if (readingTask == task)
        readingTask = nullptr;
}

bool ListsModuleShared::takeSentSnapshot(DeviceTask *task)
{
    if (!task || task != markedTask)
        return false;
    markedTask = nullptr;
    return listManager()->takeSnapshotIfHolding(sentMark);
}

void ListsModuleShared::setOnLine(bool online)
{
    for (QAbstractButton *button : {form.btnDownloadDeviceLists, form.btnDownloadLists, form.btnUploadDeviceLists})
        if (button)
            button->setEnabled(online);
}

void ListsModuleShared::setUsbIcons()
{
    form.btnDownloadLists->setIcon(QIcon(QStringLiteral(":/icons/downloadUsb48")));
    form.btnDownloadDeviceLists->setIcon(QIcon(QStringLiteral(":/icons/downloadUsb24")));
    form.btnUploadDeviceLists->setIcon(QIcon(QStringLiteral(":/icons/uploadUsb24")));
}

void ListsModuleShared::onDeviceStateChange(const QString &state)
{
    if (!deviceInfo() || deviceInfo()->isUsbManaged())
        return;
    setOnLine(state == QLatin1String("connected"));
    if (state == QLatin1String("connecting") || state == QLatin1String("connected"))
        lossTold = false;
    // Only a lost connection ends a request; "connecting" and "connected" leave it to finish. The task
    // stays pending until its own ending arrives, which then names the lost connection, never a quiet
    // cancel nor a busy receiver.
    if (currentTask && currentTask != readingTask &&
        (state == QLatin1String("disconnecting") || state == QLatin1String("disconnected"))) {
        // Only a disconnect asked for (and agreed to) says "disconnecting" first; a dropped link goes
        // straight to "disconnected", and a task lost that way stays lost whatever the user does next.
        if (state == QLatin1String("disconnecting") && lostTask != currentTask)
            stoppedTask = currentTask;
        lostTask = currentTask;
        if (communicationManager())
            communicationManager()->cancel(currentTask);
    }
}

QString ListsModuleShared::stoppedTransferText(const QString &mode)
{
    return ListTransfer::listsNotMovedText(tr("The transfer was stopped."), mode);
}

QString ListsModuleShared::notSentText(const QString &mode)
{
    return ListTransfer::listsNotMovedText(tr("The device is not connected."), mode);
}

QString ListsModuleShared::cancelUnansweredText(const QString &mode)
{
    return ListTransfer::listsNotMovedText(
        TransferLink::cancelUnansweredText() + u' ' + ListTransfer::lostConnectionText(QString()), mode);
}

void ListsModuleShared::reportLostConnection(const QString &mode, bool cancelUnanswered)
{
    // Asked while the ending task is still the lost one: it is forgotten only after this.
    const bool stopped = lostTask && lostTask == stoppedTask;
    lossTold = lossTold || !stopped;
    const QString text = stopped            ? stoppedTransferText(mode)
                         : cancelUnanswered ? cancelUnansweredText(mode)
                                            : ListTransfer::lostConnectionText(mode);
    QMetaObject::invokeMethod(
        this, [this, text] { appendStatusText(text); }, Qt::QueuedConnection);
}

bool ListsModuleShared::tellsOfLostConnection() const
{
    // Said, or to be said when the request cut short ends; a hidden page only marks itself in the tree.
    return !isBuffering() && (lossTold || (lostTask && lostTask != stoppedTask));
}

void ListsModuleShared::onDataTransferPageButtonClick()
{
    if (!currentTask) {
        setPage(restingPage());
        return;
    }
    if (currentTask == readingTask) {
        // the receiver has finished: the task drops what it is reading
        currentTask->onCancel();
        currentTask->onCanceled();
        return;
    }
    if (communicationManager())
        communicationManager()->cancel(currentTask);
}

void ListsModuleShared::taskComplete(DeviceTask *task)
{
    if (task == currentTask)
        currentTask = nullptr;
    clearReadingTask(task);
    if (task == markedTask)
        markedTask = nullptr;
    if (task == lostTask)
        lostTask = nullptr;
    if (task == stoppedTask)
        stoppedTask = nullptr;
    if (task)
        task->deleteLater();
    // The transfer stopped for a close has ended: the close goes on (and asks about unsaved changes).
    if (closeWhenTransferEnds && !currentTask && !tearingDown) {
        closeWhenTransferEnds = false;
        QTimer::singleShot(0, this, [this] {
            if (GeneralUiInterface *ui = pageInterface())
                ui->close();
        });
    }
}

bool ListsModuleShared::enqueue(DeviceTask *task)
{
    if (!communicationManager()) {
        delete task;
        return false;
    }
    currentTask = task;
    communicationManager()->enqueue(task);
    return true;
}

void ListsModuleShared::downloadLists()
{
    clearStatusText();
    // The open project is not closed here: it stays until the downloaded list has arrived and loaded,
    // so a refused or cancelled download leaves the page as it was.
    if (deviceInfo() && deviceInfo()->isUsbManaged()) {
        importFromUsb();
        return;
    }
    // A request that cannot be handed to the receiver says so, never nothing.
    if (!enqueue(createTransferTask(QStringLiteral("download"))))
        appendStatusText(notSentText(QStringLiteral("download")));
}

void ListsModuleShared::importFromUsb()
{
    SelectDriveDialog picker(this);
    if (MessageBox::execDialog(&picker) != 1)
        return;
    const QString path = picker.selectedPath;
    if (path.isEmpty() || !QDir(path).exists()) {
        MessageBox::warning(this, tr("Could not find directory %1").arg(path));
        return;
    }
    ListsImportWizard wizard(this, listManager()->exportFileExtension(), path);
    if (wizard.exec() != 1)
        return;
    // A file that went away after the wizard saw it is reported under its own name.
    const QString found = wizard.findImportFile();
    openFile(found.isEmpty()
                 ? QDir(path).filePath(QStringLiteral("FavsListUpdate.") + listManager()->exportFileExtension())
                 : found);
}

void ListsModuleShared::sendLists()
{
    if (!listManager()->isProjectLoaded())
        return;
    if (deviceInfo() && deviceInfo()->isUsbManaged()) {
        exportProjectAs();
        return;
    }
    if (Settings::getString(Settings::SendingListsRestartWarning, QStringLiteral("0")) != QLatin1String("1")) {
        MessageBoxCheckable question(this);
        if (question.exec(tr("Sending lists to device will cause its restart? Do you want to do it now?"),
                          tr("Don't show this message again"), Settings::SendingListsRestartWarning) != 1)
            return;
    }
    // The project counts as saved only when the receiver has taken this very text (see the task); the
    // payload is the one copy of it kept, the rest is a mark.
    DeviceTask *task = createTransferTask(QStringLiteral("send"));
    {
        const QString text = listManager()->documentText();
        task->setPayload(text.toUtf8());
        sentMark = listManager()->markText(text);
    }
    markedTask = task;
    if (!enqueue(task)) {
        markedTask = nullptr;
        appendStatusText(notSentText(QStringLiteral("send")));
    }
}

void ListsModuleShared::exportProjectAs()
{
    listManager()->exportAction->trigger();
    setPage(PageEditor);
}

void ListsModuleShared::onAfterExportProjectAs(bool success)
{
    if (!success || !deviceInfo() || !deviceInfo()->isUsbManaged())
        return;
    ListsImportWizard wizard(this, QString(), QString());
    wizard.setPage(4);
    wizard.exec();
}

void ListsModuleShared::closeEvent(QCloseEvent *event)
{
    event->accept();
    // A transfer under way is not cut off by a close without a word: the user decides, as for a disconnect. Stopped,
    // it ends as a cancel does (the receiver finishes the exchange), and the window closes once it has ended. A
    // receiver that goes was asked about already.
    if (currentTask && !dynamic_cast<const ReceiverCloseEvent *>(event)) {
        event->ignore();
        if (closeWhenTransferEnds)
            return;
        if (pageInterface())
            pageInterface()->setCurrentModule(this, true);
        if (!MessageBox::questionYesNo(this, tr("Ombrelay is processing data. Do you want to stop and exit?"),
                                       MessageBox::No))
            return;
        if (currentTask) {
            closeWhenTransferEnds = true;
            onDataTransferPageButtonClick();
            return;
        }
        // The transfer ended while the question was open: nothing is left to stop, and the close goes on.
        event->accept();
    }
    if (!shown)
        return;
    if (listManager()->isModified()) {
        setPage(PageEditor);
        if (pageInterface())
            pageInterface()->setCurrentModule(this, true);
    }
    if (!listManager()->closeProject())
        event->ignore();
}

void ListsModuleShared::printLists()
{
    if (!listManager()->isProjectLoaded())
        return;
    std::unique_ptr<PrintListsBuilder> builder(createPrintBuilder());
    ObjectSortFilterProxyModel *proxy = form.itemsTableViewAll->proxy();
    builder->setItems(proxy->visibleIds());
    QItemSelectionModel *selection = form.itemsTableViewAll->selectionModel();
    const QModelIndexList rows = selection ? selection->selectedRows(0) : QModelIndexList();
    // The rows remembered from the table count only while they are still the table's selection;
    // otherwise the selection of the current favourite list is printed.
    const QList<int> chosen = rows.isEmpty() || rows != lastSelectedRows ? form.listsTabWidget->currentListSelectedIds()
                                                                         : proxy->idsOfIndexes(lastSelectedRows);
    builder->setHeaderRow(1);
    builder->setCurrentList(form.listsTabWidget->currentIndex());
    builder->setSelection(chosen);
    ListsPrintDialog dialog(this, builder.get());
    MessageBox::execDialog(&dialog);
}
