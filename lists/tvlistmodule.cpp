#include "lists/tvlistmodule.h"

#include "lists/transferlistsdevicetask.h"

#include "device/core/devicecommunicationmanager.h"
#include "device/core/zbdeviceinfo.h"
#include "document/agregatemodel.h"
#include "document/agregatemutliplevaluesmodel.h"
#include "document/docitem.h"
#include "document/docitemsdataprovider.h"
#include "document/itemproperty.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "document/objectsortfilterproxymodel.h"
#include "exchange/printtvlistsbuilder.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "widgets/checkboxitemdelegate.h"
#include "widgets/combodelegate.h"
#include "widgets/enhanceddatawidgetmapper.h"
#include "widgets/filtermenumodel.h"
#include "widgets/messagebox.h"
#include "widgets/modelmenu.h"
#include "widgets/multiplechoicewidgetdelegate.h"
#include "widgets/sfiltermenu.h"
#include "widgets/showhidecolumnsmodel.h"
#include "widgets/sshowhidecolumnsmenu.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QTreeView>

namespace {
constexpr int IndexColumn = 8;
}

TVListModule::TVListModule(QWidget *parent)
    : ListsModuleShared(parent)
    , booleanModel(QStringLiteral("Enabled"), QStringLiteral("Disabled"))
    , parentalControlModel(nullptr)
{
    setupUi(this);
    FormWidgets widgets;
    widgets.stackedWidget = stackedWidget;
    widgets.dataTransferPageStatusLabel = dataTransferPageStatusLabel;
    widgets.dataTransferProgressBar = dataTransferProgressBar;
    widgets.dataTransferPageButton = dataTransferPageButton;
    widgets.btnDownloadLists = btnDownloadLists;
    widgets.btnDownloadDeviceLists = btnDownloadDeviceLists;
    widgets.btnUploadDeviceLists = btnUploadDeviceLists;
    widgets.itemsTableViewAll = itemsTableViewAll;
    widgets.listsTabWidget = listsTabWidget;
    setFormWidgets(widgets);

    watchVideoTutorialLinkButton->hide();
    tabServiceProperties->setCornerWidget(btnHideServiceSettings, Qt::TopRightCorner);
    connect(btnSaveServiceSettings, &QPushButton::pressed, this, &TVListModule::onBtnSaveServiceSettings);
    connect(btnShowServiceSettings, &QPushButton::pressed, this, &TVListModule::onBtnShowServiceSettings);
    connect(btnHideServiceSettings, &QPushButton::pressed, this, &TVListModule::onBtnHideServiceSettings);
    connect(btnCancelServiceSetting, &QPushButton::pressed, this, &TVListModule::onBtnHideServiceSettings);
    showServiceDetails(false);
    btnShowServiceSettings->hide();
    tabServiceProperties->hide();
    setOnLine(false);

    manager = new TVListProjectFileManager(this);
    // The file shortcuts (Ctrl+N, O, S, Shift+S, W, R) work while this page is shown, and only then.
    addActions({manager->newAction, manager->openAction, manager->saveAction, manager->saveAsAction,
                manager->closeAction, manager->exportAction});
    addActions(QList<QAction *>(manager->recentFileActions.cbegin(), manager->recentFileActions.cend()));
    connect(manager, &ProjectFileManager::onAfterExport, this, &TVListModule::onAfterExportProjectAs);
    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled;
    favouriteColumns << new ItemProperty(QCoreApplication::translate("QObject", "Name"), QStringLiteral("Name"),
                                         QString(), 69, flags, QString(), nullptr, field("name"))
                     << new ItemProperty(QCoreApplication::translate("QObject", "Provider"), QStringLiteral("Provider"),
                                         QString(), 69, flags, QString(), nullptr, field("provider"));
    frGenreList->setCaption(tr("Genres:"));
    basicServicesEdit->setActionVisible(STableView::Cut, false);
    basicServicesEdit->setActionVisible(STableView::Paste, false);
    itemsTableViewAll->setActionVisible(STableView::Cut, false);
    itemsTableViewAll->setActionVisible(STableView::Paste, false);
    itemsTableViewAll->proxy()->setEditRestricted(true);
    itemsTableViewAll->addEditableColumns({4, 5});
    setMaximumListCount(4);

    connect(listsTabWidget, &QTabWidget::currentChanged, this, &TVListModule::updateItemsListPosition);
    connect(listsTabWidget, &ListTabWidget::itemDataChanged, this, &TVListModule::onServicesDataChanged);
    connect(listsTabWidget, &ListTabWidget::createNewItemButtonPressed, this, &TVListModule::onNewItem);
    connect(listsTabWidget, &ListTabWidget::currentSelectionChanged, this, &TVListModule::onFavListSelectionChanged);
    connect(detailedSettingsWidget, &TvAdvancedSettingsItemDelegateWidget::predefinedSatellitesButtonClicked, this,
            &TVListModule::onPredefinedSatellitesButtonClicked);
    connect(itemsTableViewAll->columnsModel(), &QAbstractItemModel::dataChanged, this,
            &TVListModule::onItemsTableHeaderChange);
    connect(itemsTableViewAll, &QAbstractItemView::pressed, this, &TVListModule::onAllListItemPressed);
    connect(tabServiceProperties, &TabWidget::focusOut, this, &TVListModule::onTabServicePropertiesFocusOut);
    connect(qApp, &QApplication::focusChanged, this, &TVListModule::onAppFocusChanged);
}

TVListModule::~TVListModule()
{
    disconnect(qApp, nullptr, this, nullptr);
    // Once handed to the tabs, the favourite columns are theirs.
    if (!favouriteColumnsHanded)
        qDeleteAll(favouriteColumns);
    // The tabs may still show models over the document: they go before the manager's document.
    listsTabWidget->clearTabs();
}

ListProjectFileManager *TVListModule::listManager() const
{
    return manager;
}

int TVListModule::field(const char *name) const
{
    return manager ? manager->fieldColumns.value(QString::fromLatin1(name), -1) : -1;
}

void TVListModule::setMaximumListCount(int count)
{
    manager->setListCount(count);
    listsTabWidget->setMaximumTabCount(count);
}

DeviceTask *TVListModule::createTransferTask(const QString &mode)
{
    return new TransferListsDeviceTask<TVListModule>(mode, listType(), this);
}

PrintListsBuilder *TVListModule::createPrintBuilder()
{
    auto *builder = new PrintTVListsBuilder(manager);
    if (deviceInfo()) {
        // In list order: a later satellite at the same position gives the name.
        QMap<int, QString> names;
        for (const SatelliteInfo &satellite : deviceInfo()->satellites())
            names.insert(satellite.position, satellite.name);
        builder->setSatelliteNames(names);
    }
    return builder;
}

void TVListModule::retranslate()
{
    retranslateUi(this);
}

void TVListModule::onShow()
{
    OmbrelayModule::onShow();
    if (shown)
        return;
    shown = true;
    for (int i = 0; i < gridLayout->count(); ++i)
        gridLayout->itemAt(i)->setAlignment(Qt::AlignBottom);
    serviceOrLinkSW->setCurrentIndex(0);
    for (EditableComboBox *box : {cmbProvider, linkTypeComboBox, linkGenreComboBox})
        box->setWheelDisabled(true);

    const auto unique = Qt::UniqueConnection;
    connect(saveProjectCommandLinkButton, &QAbstractButton::clicked, this, &TVListModule::SaveProject, unique);
    connect(saveAsProjectCommandLinkButton, &QAbstractButton::clicked, this, &TVListModule::SaveProjectAs, unique);
    connect(btnExportAsProject, &QAbstractButton::clicked, this, &TVListModule::exportProjectAs, unique);
    connect(btnPrintProject, &QAbstractButton::clicked, this, &TVListModule::printLists, unique);
    connect(dataTransferPageButton, &QAbstractButton::clicked, this, &TVListModule::onDataTransferPageButtonClick,
            unique);
    connect(itemsTableViewAll, &STableView::onBeforePaste, this, &TVListModule::onBeforePasteOrDelete, unique);
    connect(itemsTableViewAll, &STableView::onEndPaste, this, &TVListModule::onEndPasteOrDelete, unique);
    connect(itemsTableViewAll, &STableView::onBeforeDelete, this, &TVListModule::onBeforePasteOrDelete, unique);
    connect(itemsTableViewAll, &STableView::onEndDelete, this, &TVListModule::onEndPasteOrDelete, unique);
    connect(backCommandLinkButton, &QAbstractButton::clicked, manager->closeAction, &QAction::trigger, unique);
    connect(btnCreateNewItem, &QAbstractButton::clicked, this, &TVListModule::onNewItem, unique);
    connect(filterToolButton, &QAbstractButton::clicked, this, &TVListModule::showFilterTree, unique);
    connect(showHideColumnsToolButton, &QAbstractButton::clicked, this, &TVListModule::showHideColumns, unique);
    connect(manager, &ListProjectFileManager::loadDocument, this, &TVListModule::onProjectLoad, unique);
    connect(manager, &ListProjectFileManager::unloadDocument, this, &TVListModule::onProjectUnload, unique);
    connect(txtSearch, &QLineEdit::textChanged, itemsTableViewAll->proxy(),
            &ObjectSortFilterProxyModel::setItemsSearchFilter, unique);
    connect(btnCreateNewProject, &QAbstractButton::clicked, manager->newAction, &QAction::trigger, unique);
    connect(btnOpenSavedProject, &QAbstractButton::clicked, manager->openAction, &QAction::trigger, unique);
    connect(btnOpenSavedProject2, &QAbstractButton::clicked, this, &TVListModule::onBtnOpenSavedProject2, unique);
    connect(btnDownloadLists, &QAbstractButton::clicked, this, &TVListModule::downloadLists, unique);
    connect(btnDownloadDeviceLists, &QAbstractButton::clicked, this, &TVListModule::downloadLists, unique);
    connect(backFromExportPageCommandLinkButton, &QAbstractButton::clicked, this, &TVListModule::backFromExportPage,
            unique);
    connect(moreCommandLinkButton, &QAbstractButton::clicked, this, &TVListModule::moreButtonAction, unique);
    connect(btnUploadDeviceLists, &QAbstractButton::clicked, this, &TVListModule::sendLists, unique);

    itemsTableViewAll->setItemDelegateForColumn(field("genres"), new MultipleChoiceWidgetDelegate(itemsTableViewAll));
    auto *children = new MultipleChoiceWidgetDelegate(itemsTableViewAll);
    children->setChoicesModel(&parentalControlModel);
    itemsTableViewAll->setItemDelegateForColumn(field("childrenLock"), children);
    itemsTableViewAll->setItemDelegateForColumn(field("@epgMarked"), new CheckBoxItemDelegate(itemsTableViewAll));
    itemsTableViewAll->setItemDelegateForColumn(field("parentLock"), new CheckBoxItemDelegate(itemsTableViewAll));
    itemsTableViewAll->setItemDelegateForColumn(field("provider"), new ComboDelegate(itemsTableViewAll, false));
    btnCreateNewItem->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    filterToolButton->setContextMenuPolicy(Qt::CustomContextMenu);
    setPage(PageWelcome);

    genreMenu = new ModelMenu(tr("Genre"), itemsTableViewAll, field("genres"), ModelMenu::AddRemoveClear, this);
    providerMenu = new ModelMenu(tr("Provider"), itemsTableViewAll, field("provider"), ModelMenu::SetOrClear, this);
    epgMenu = new ModelMenu(tr("EPG"), itemsTableViewAll, field("@epgMarked"), ModelMenu::CheckUncheck, this);
    parentLockMenu =
        new ModelMenu(tr("Parent lock"), itemsTableViewAll, field("parentLock"), ModelMenu::CheckUncheck, this);
    childrenLockMenu =
        new ModelMenu(tr("Children lock"), itemsTableViewAll, field("childrenLock"), ModelMenu::AddRemoveClear, this);
    childrenLockMenu->setModel(&parentalControlModel, 0);
    for (ModelMenu *menu : {providerMenu, epgMenu, parentLockMenu, childrenLockMenu}) {
        itemsTableViewAll->addAction(new QAction(this));
        itemsTableViewAll->actions().last()->setSeparator(true);
        itemsTableViewAll->addAction(menu->menuAction());
    }
    basicServicesEdit->setView(itemsTableViewAll);

    ZBDeviceInfo *info = deviceInfo();
    detailedSettingsWidget->setAnalogVisible(!info || info->hasAnalogFrontend());
    detailedSettingsWidget->setCableVisible(!info || info->hasCableFrontend());
    detailedSettingsWidget->setSatelliteVisible(!info || info->hasSatelliteFrontend());
    detailedSettingsWidget->setTerrestrialVisible(!info || info->hasTerrestrialFrontend());
    if (info && !info->satellitesDocument().isEmpty())
        detailedSettingsWidget->setSatelliteMenu(info->satellitesDocument());
}

void TVListModule::onProjectLoad()
{
    ObjectSortFilterProxyModel *proxy = itemsTableViewAll->proxy();
    txtSearch->clear();
    proxy->setItemsSearchFilter(QString());
    proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    ListItemsDatabaseModel *items = manager->itemsModel;
    items->setReadOnlyColor(QColor(99, 99, 99, 255));
    itemsTableViewAll->setItemsModel(items, {field("position"), field("name"), field("provider")},
                                     {field("name"), field("position")});
    connect(items, &QAbstractItemModel::dataChanged, this, &TVListModule::onAllItemsDataChanged);
    QHeaderView *header = itemsTableViewAll->horizontalHeader();
    header->setMinimumSectionSize(qMin(header->minimumSectionSize(), 30));
    header->resizeSection(0, 30);
    itemsTableViewAll->setEnabled(true);
    listsTabWidget->setDocument(manager->document->lists, items,
                                manager->projectFileDescription() + QStringLiteral("_ref"), favouriteColumns);
    favouriteColumnsHanded = true;
    proxy->setColumnFilters(nullptr);
    columnFilters.clear();
    columnFilters << ColumnFilter(field("provider"), manager->providersModel, false, true, {})
                  << ColumnFilter(field("genres"), manager->genresModel, true, true, {})
                  << ColumnFilter(field("childrenLock"), &parentalControlModel, true, true, {})
                  << ColumnFilter(field("parentLock"), &booleanModel, true, false, {})
                  << ColumnFilter(field("@epgMarked"), &booleanModel, true, false, {});
    filterModel = new FilterMenuModel(items, &columnFilters, this);
    connect(filterModel, &FilterMenuModel::filterChanged, this, &TVListModule::setupFilter, Qt::UniqueConnection);
    setupFilter();

    // The panel reads the services through a proxy of its own, without search, filters or sorting: a
    // service renamed out of the search still gets every later edit of the panel.
    panelModel = new ObjectSortFilterProxyModel(this);
    panelModel->setEditRestricted(true);
    panelModel->setSourceModel(items);
    mapper = new EnhancedDataWidgetMapper(this);
    mapper->setModel(panelModel);
    mapper->addMapping(txtServiceTitle, field("name"));
    mapper->addMapping(cmbProvider, field("provider"), "currentText");
    mapper->addMapping(epgCheckBox, field("@epgMarked"));
    mapper->addMapping(detailedSettingsWidget, field("<details"), "DetailedSettingsData");
    connect(detailedSettingsWidget, &TvAdvancedSettingsItemDelegateWidget::zbXmlChanged, mapper,
            &QDataWidgetMapper::submit, Qt::UniqueConnection);
    connect(detailedSettingsWidget, &TvAdvancedSettingsItemDelegateWidget::itemSelected, this,
            &TVListModule::onItemSelected);
    mapper->addMapping(frGenreList, field("genres"), "CsvContent");
    mapper->addMapping(parentLockCheckBox, field("parentLock"));
    mapper->addMapping(parentalControlMultipleChoice, field("childrenLock"), "SelectedValues");
    connect(parentalControlMultipleChoice, &MultipleChoiceWidget::SelectedValuesChanged, mapper,
            &QDataWidgetMapper::submit, Qt::UniqueConnection);
    connectSelection(true);

    genreMenu->setModel(manager->genresModel, 0);
    if (auto *combo = qobject_cast<ComboDelegate *>(itemsTableViewAll->itemDelegateForColumn(field("provider"))))
        combo->setModel(manager->providersModel);
    cmbProvider->setSourceModel(manager->providersModel, true);
    providerMenu->setModel(manager->providersModel, 0);

    tabServiceProperties->setCurrentIndex(0);
    parentalControlMultipleChoice->setModel(&parentalControlModel, false);
    basicServicesEdit->attachView();
    mapper->toFirst();
    setCurrentModelIndex();
    setListToolsEnabled(true);
    manager->retranslate();
    // The manager leaves Export (Ctrl+R) off: with a list open the page offers it.
    manager->exportAction->setEnabled(true);
    // "# on list" follows the current list from the start, so the first sort is by list place.
    updateItemsListPosition(listsTabWidget->currentIndex());
    itemsTableViewAll->sortByColumn(0, Qt::AscendingOrder);
    setPage(PageEditor);
}

void TVListModule::onProjectUnload()
{
    setPage(PageWelcome);
    manager->exportAction->setEnabled(false);
    if (filterModel)
        disconnect(filterModel, nullptr, this, nullptr);
    disconnect(detailedSettingsWidget, &TvAdvancedSettingsItemDelegateWidget::zbXmlChanged, mapper, nullptr);
    disconnect(detailedSettingsWidget, &TvAdvancedSettingsItemDelegateWidget::itemSelected, this,
               &TVListModule::onItemSelected);
    connectSelection(false);
    if (manager->itemsModel)
        disconnect(manager->itemsModel, &QAbstractItemModel::dataChanged, this, &TVListModule::onAllItemsDataChanged);
    if (mapper) {
        mapper->clearMapping();
        disconnect(parentalControlMultipleChoice, nullptr, mapper, nullptr);
        mapper->deleteLater();
        mapper = nullptr;
    }
    if (panelModel) {
        panelModel->setSourceModel(nullptr);
        panelModel->deleteLater();
        panelModel = nullptr;
    }
    if (manager->genresModel)
        manager->genresModel->detachSource();
    if (manager->providersModel)
        manager->providersModel->stopTracking();
    listsTabWidget->clearTabs();
    itemsTableViewAll->setEnabled(false);
    itemsTableViewAll->scrollToTop();
    parentalControlMultipleChoice->setModel(nullptr, false);
    itemsTableViewAll->proxy()->setColumnFilters(nullptr);
    itemsTableViewAll->setItemsModel(nullptr, {}, {});
    delete filterModel;
    filterModel = nullptr;
    columnFilters.clear();
    newItemPending = false;
    editedId.clear();
    setListToolsEnabled(true);
}

void TVListModule::connectSelection(bool on)
{
    QItemSelectionModel *selection = itemsTableViewAll->selectionModel();
    if (!selection)
        return;
    if (on) {
        // One handler: the check of the service left must run before the panel follows the new row.
        connect(selection, &QItemSelectionModel::selectionChanged, this, &TVListModule::onServiceItemUnselected,
                Qt::UniqueConnection);
    } else {
        disconnect(selection, nullptr, this, nullptr);
    }
}

void TVListModule::setListToolsEnabled(bool on)
{
    basicServicesEdit->setEnabled(on);
    filterToolButton->setEnabled(on);
    showHideColumnsToolButton->setEnabled(on);
    itemsTableViewAll->setDragEnabled(on);
    btnCreateNewItem->setEnabled(on);
    itemsTableViewAll->horizontalHeader()->setEnabled(on);
    itemsTableViewAll->setActionEnabled(STableView::Copy, on);
    itemsTableViewAll->setActionEnabled(STableView::Delete, on);
}

void TVListModule::setCurrentModelIndex()
{
    const QModelIndexList rows =
        itemsTableViewAll->selectionModel() ? itemsTableViewAll->selectionModel()->selectedRows(0) : QModelIndexList();
    if (itemsTableViewAll->isEditing() || rows.size() != 1) {
        if (rows.size() >= 2)
            lastSelectedRows = rows;
        return;
    }
    const QModelIndex current = itemsTableViewAll->currentIndex();
    if (!current.isValid() || !itemsTableViewAll->selectionModel()->isSelected(current))
        return;
    ObjectSortFilterProxyModel *proxy = itemsTableViewAll->proxy();
    if (mapper && panelModel)
        mapper->setCurrentIndex(panelModel->mapFromSource(proxy->mapToSource(current)).row());
    // Remember which service is in the panel: the check on leaving concerns that one only.
    editedId = proxy->index(current.row(), IndexColumn).data().toString();
    ZBDeviceInfo *info = deviceInfo();
    detailedSettingsWidget->setPositionBySatelliteOnly(info && (info->satelliteCount() > 0 || !info->isUsbManaged()));
}

void TVListModule::showServiceDetails(bool show)
{
    tabServiceProperties->setVisible(show);
    if (show) {
        frServiceSettingsButtons->setVisible(newItemPending);
        btnShowServiceSettings->hide();
        tabServiceProperties->setCurrentIndex(newItemPending ? 2 : 0);
    } else {
        frServiceSettingsButtons->hide();
        QAbstractItemModel *model = itemsTableViewAll->model();
        btnShowServiceSettings->setVisible(model && model->rowCount() > 0);
        tabServiceProperties->setCurrentIndex(0);
    }
    itemsTableViewAll->scrollTo(itemsTableViewAll->currentIndex(), QAbstractItemView::PositionAtBottom);
    if (!show)
        itemsTableViewAll->setFocus();
}

void TVListModule::onBtnShowServiceSettings()
{
    showServiceDetails(true);
}

void TVListModule::onAllListItemPressed(const QModelIndex &)
{
    if (!tabServiceProperties->isVisible())
        btnShowServiceSettings->show();
}

void TVListModule::onAppFocusChanged(QWidget *old, QWidget *now)
{
    if (!now || now->objectName().isEmpty())
        return;
    const bool wasInside = old && frAllItemsContainer->isAncestorOf(old);
    const bool isInside = frAllItemsContainer->isAncestorOf(now);
    if (!wasInside && isInside)
        frServiceProperties->show();
    else if (wasInside && !isInside && now != listsSplitter)
        frServiceProperties->hide();
}

void TVListModule::onNewItem()
{
    if (!manager->isProjectLoaded() || newItemPending)
        return;
    setListToolsEnabled(false);
    if (filterModel)
        filterModel->clear();
    txtSearch->clear();
    const QString id = giveNextFreeId(manager->itemsModel->appendNewItem());
    ObjectSortFilterProxyModel *proxy = itemsTableViewAll->proxy();
    proxy->setItemsSearchFilter(QString());
    const QModelIndex source = manager->itemsModel->indexById(id, 0);
    // The row left is checked as the selection moves; only then is the new service the pending one,
    // so that check never concerns (or removes) the new service.
    itemsTableViewAll->setCurrentIndex(proxy->mapFromSource(source));
    newItemPending = true;
    editedId = id;
    showServiceDetails(true);
    detailedSettingsWidget->focusFirstEditor();
    setPropertiesEditable(true);
}

void TVListModule::setPropertiesEditable(bool editing)
{
    for (QWidget *widget : std::initializer_list<QWidget *>{toolsFrame, listsTabWidget, itemsToolBar, lblAllServices,
                                                            txtSearch, itemsTableViewAll, btnShowServiceSettings})
        widget->setEnabled(!editing);
    if (editing)
        disconnect(tabServiceProperties, &TabWidget::focusOut, this, &TVListModule::onTabServicePropertiesFocusOut);
    else
        connect(tabServiceProperties, &TabWidget::focusOut, this, &TVListModule::onTabServicePropertiesFocusOut,
                Qt::UniqueConnection);
}

void TVListModule::onServiceItemUnselected(const QItemSelection &, const QItemSelection &deselected)
{
    if (!deselected.isEmpty())
        checkLeftItem(deselected);
    setCurrentModelIndex();
}

QString TVListModule::giveNextFreeId(const QString &id)
{
    // A new service takes the number after the highest in use, never a gap such as 0 that the receiver
    // may not take for a service.
    DocItemsDataProvider *provider = manager->itemsProvider;
    int highest = 0;
    for (int row = 0, rows = provider->count(); row < rows; ++row) {
        const QString other = provider->itemAt(row).id();
        if (other != id)
            highest = qMax(highest, other.toInt());
    }
    const int own = id.toInt();
    if (id.isEmpty() || own <= highest) {
        const QModelIndex at = manager->itemsModel->indexById(id, 0);
        const QString next = QString::number(highest + 1);
        // Numbering the new service is no edit of the service the user is leaving.
        const bool changed = itemsChanged;
        if (at.isValid() && manager->itemsModel->setData(at.siblingAtColumn(IndexColumn), next, Qt::EditRole))
            itemsChanged = changed;
        else
            return id;
        return next;
    }
    return id;
}

void TVListModule::checkLeftItem(const QItemSelection &deselected)
{
    if (!newItemPending && !itemsChanged)
        return;
    if (!manager->isProjectLoaded() || editedId.isEmpty())
        return;
    // Only the service that was in the panel is checked, whatever rows the selection names.
    const QString id = editedId;
    DocItem item = manager->itemsProvider->itemById(id.toInt());
    if (item.isNull())
        return;
    const int same = manager->itemsProvider->countSame(item, QStringLiteral("details"));
    const bool fresh = newItemPending;
    newItemPending = false;
    itemsChanged = false;
    if (same >= 2) {
        disconnect(tabServiceProperties, &TabWidget::focusOut, this, &TVListModule::onTabServicePropertiesFocusOut);
        MessageBox::information(this, tr("Service with the same detailed settings already exists on the list."));
        connect(tabServiceProperties, &TabWidget::focusOut, this, &TVListModule::onTabServicePropertiesFocusOut,
                Qt::UniqueConnection);
    }
    // A service the user already had is never removed here; a new one that was never accepted goes when it
    // duplicates another or holds nothing but its name.
    const bool nameOnly = item.childNodes().count() <= 1;
    if (fresh && (same >= 2 || nameOnly)) {
        const QModelIndex at = manager->itemsModel->indexById(id, 0);
        const QModelIndex row = itemsTableViewAll->proxy()->mapFromSource(at);
        editedId.clear();
        // The page was locked for the new service: it is unlocked before the rows move again.
        setPropertiesEditable(false);
        if (row.isValid())
            itemsTableViewAll->deleteRow(row.row());
        showServiceDetails(false);
        itemsTableViewAll->selectRow(itemsTableViewAll->model()->rowCount() - 1);
    }
    setListToolsEnabled(true);
    Q_UNUSED(deselected);
}

void TVListModule::onBtnSaveServiceSettings()
{
    checkLeftItem(itemsTableViewAll->selectionModel()->selection());
    setPropertiesEditable(false);
    showServiceDetails(false);
}

void TVListModule::onTabServicePropertiesFocusOut()
{
    if (itemsTableViewAll->selectionModel())
        checkLeftItem(itemsTableViewAll->selectionModel()->selection());
}

void TVListModule::removeCurrentRow()
{
    const QModelIndex at = manager->itemsModel->indexById(editedId, 0);
    const QModelIndex row = itemsTableViewAll->proxy()->mapFromSource(at);
    editedId.clear();
    if (row.isValid())
        itemsTableViewAll->deleteRow(row.row());
    itemsTableViewAll->selectRow(itemsTableViewAll->model()->rowCount() - 1);
}

void TVListModule::onBtnHideServiceSettings()
{
    if (newItemPending) {
        itemsChanged = false;
        newItemPending = false;
        removeCurrentRow();
    }
    showServiceDetails(false);
    setListToolsEnabled(!itemsChanged);
    setPropertiesEditable(false);
}

void TVListModule::onItemSelected(const DocItem &item)
{
    const QString type = item.value(QStringLiteral("@type"));
    txtServiceTitle->setReadOnly(type == QLatin1String("external"));
    const bool plain = type != QLatin1String("external") && type != QLatin1String("analog");
    epgCheckBox->setVisible(plain);
    lblProvider->setVisible(plain);
    cmbProvider->setVisible(plain);
    frGenreList->setVisible(type == QLatin1String("satellite"));
}

void TVListModule::onAllItemsDataChanged(const QModelIndex &, const QModelIndex &)
{
    itemsChanged = true;
}

void TVListModule::onBeforePasteOrDelete()
{
    basicServicesEdit->detachView();
    if (mapper)
        mapper->blockSignals(true);
    connectSelection(false);
    manager->genresModel->detachSource();
    manager->providersModel->stopTracking();
}

void TVListModule::onEndPasteOrDelete()
{
    basicServicesEdit->attachView();
    if (mapper)
        mapper->blockSignals(false);
    connectSelection(true);
    manager->genresModel->attachSource(true);
    manager->providersModel->setTracking(true);
    setCurrentModelIndex();
    onServicesDataChanged();
    showServiceDetails(false);
}

void TVListModule::updateItemsListPosition(int index)
{
    // The document, not the loaded flag: the flag is set only after the page has taken the document,
    // and the first load must fill "# on list" too.
    if (index < 0 || itemsTableViewAll->isColumnHidden(field("position")) || !manager->document)
        return;
    const QList<QList<int>> lists = manager->readLists();
    if (index >= lists.size())
        return;
    itemsTableViewAll->proxy()->setListOrder(lists.at(index));
    itemsTableViewAll->viewport()->update();
}

void TVListModule::onServicesDataChanged()
{
    updateItemsListPosition(listsTabWidget->currentIndex());
}

void TVListModule::onFavListSelectionChanged(const QItemSelection &, const QItemSelection &)
{
    const QModelIndexList rows = listsTabWidget->currentListSelectedRows();
    if (!rows.isEmpty())
        lastSelectedRows = rows;
}

void TVListModule::onItemsTableHeaderChange(const QModelIndex &, const QModelIndex &)
{
    updateItemsListPosition(listsTabWidget->currentIndex());
    itemsTableViewAll->resizeColumnsToContents();
    itemsTableViewAll->horizontalHeader()->setStretchLastSection(true);
    itemsTableViewAll->setColumnWidth(1, 200);
    itemsTableViewAll->setColumnWidth(2, 150);
    // 80 px, or what the column's title needs in the current language.
    QHeaderView *header = itemsTableViewAll->horizontalHeader();
    for (int column : {3, 4, 5, 6})
        itemsTableViewAll->setColumnWidth(column, qMax(80, header->sectionSizeHint(column)));
}

void TVListModule::setupFilter()
{
    if (!filterModel)
        return;
    const bool on = filterModel->hasValues();
    if (filterToolButton->isChecked() != on)
        filterToolButton->setChecked(on);
    itemsTableViewAll->proxy()->setColumnFilters(on ? &columnFilters : nullptr);
}

void TVListModule::showFilterTree()
{
    if (!manager->isProjectLoaded() || !filterModel)
        return;
    auto *menu = new SFilterMenu(filterToolButton, 250, 200, 10);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    filterModel->rebuild(true);
    filterToolButton->setChecked(filterModel->hasValues());
    menu->treeView()->setModel(filterModel);
    menu->show();
}

void TVListModule::showHideColumns()
{
    if (!manager->isProjectLoaded())
        return;
    auto *menu = new SShowHideColumnsMenu(showHideColumnsToolButton, 200, 300, 10);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->listView()->setModel(itemsTableViewAll->columnsModel());
    // The service id is the program's own key, not something to show.
    menu->setRowsHidden({IndexColumn}, true);
    menu->show();
}

void TVListModule::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (newItemPending) {
        if (enter)
            onBtnSaveServiceSettings();
        else if (event->key() == Qt::Key_Escape)
            onBtnHideServiceSettings();
        else
            ListsModuleShared::keyPressEvent(event);
        return;
    }
    if (enter && itemsChanged) {
        checkLeftItem(itemsTableViewAll->selectionModel()->selection());
        return;
    }
    // Keys the page does not use go on to the window (F1 opens the manual).
    ListsModuleShared::keyPressEvent(event);
}

void TVListModule::changeEvent(QEvent *event)
{
    ListsModuleShared::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    retranslateUi(this);
    basicServicesEdit->retranslate();
    listsTabWidget->retranslate();
    txtSearch->setProperty("emptyText", tr("Search..."));
    frGenreList->setCaption(tr("Genres:"));
    if (providerMenu) {
        providerMenu->setTitle(tr("Provider"));
        epgMenu->setTitle(tr("EPG"));
        epgMenu->updateActions();
        parentLockMenu->setTitle(tr("Parent lock"));
        parentLockMenu->updateActions();
        childrenLockMenu->setTitle(tr("Children lock"));
        childrenLockMenu->updateActions();
    }
    if (manager->isProjectLoaded()) {
        if (filterModel)
            filterModel->clear();
        itemsTableViewAll->clearSelection();
        itemsTableViewAll->proxy()->setItemsSearchFilter(QString());
        txtSearch->clear();
        // retranslateUi empties the name field: the panel reads its row again.
        if (mapper)
            mapper->revert();
    }
    manager->retranslate();
}

void TVListModule::SaveProject()
{
    manager->saveAction->trigger();
    setPage(PageEditor);
}

void TVListModule::SaveProjectAs()
{
    manager->saveAsAction->trigger();
    setPage(PageEditor);
}

void TVListModule::moreButtonAction()
{
    setPage(PageExport);
}

void TVListModule::backFromExportPage()
{
    newItemPending = false;
    setListToolsEnabled(true);
    setPage(PageEditor);
}

void TVListModule::onProjectBeforeSave() {}

void TVListModule::onProjectAfterSave() {}

void TVListModule::onBtnOpenSavedProject2()
{
    if (manager->closeProject())
        manager->openProject();
}

void TVListModule::onPredefinedSatellitesButtonClicked()
{
    ZBDeviceInfo *info = deviceInfo();
    if (!info || info->satelliteCount() > 0)
        return;
    if (info->isUsbManaged()) {
        // A receiver managed through a drive cannot be asked: a copy of its record carries the
        // predefined positions.
        const ZBDeviceInfo copy(*info);
        detailedSettingsWidget->setSatelliteMenu(copy.satellitesDocument());
        return;
    }
    if (!communicationManager())
        return;
    if (!MessageBox::questionYesNo(this,
                                   tr("Ombrelay has no information about satellites available. To download it please "
                                      "make sure that device is connected and doesn't record any content. Do you want "
                                      "to download now?"),
                                   MessageBox::No))
        return;
    enqueue(new TransferListsDeviceTask<TVListModule>(QStringLiteral("getDeviceInfo"),
                                                      {{QStringLiteral("ip"), info->ip().toString()}}, this));
}

void TVListModule::taskComplete(DeviceTask *task)
{
    // The task has taken the satellites of a description reply into the record: the menu shows them.
    auto *transfer = dynamic_cast<TransferListsDeviceTask<TVListModule> *>(task);
    if (transfer && transfer->command.methodName() == QLatin1String("getDeviceInfo") && deviceInfo() &&
        deviceInfo()->satelliteCount() > 0)
        detailedSettingsWidget->setSatelliteMenu(deviceInfo()->satellitesDocument());
    ListsModuleShared::taskComplete(task);
}
