#include "lists/servicelistmodule.h"

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
#include "exchange/printservicelistsbuilder.h"
#include "listfiles/servicelistprojectfilemanager.h"
#include "lists/basiceditpanel.h"
#include "lists/listtabwidget.h"
#include "lists/servicepanelmapper.h"
#include "tuning/tvadvancedsettingsitemdelegatewidget.h"
#include "widgets/checkboxitemdelegate.h"
#include "widgets/combodelegate.h"
#include "widgets/csvtablewidget.h"
#include "widgets/editablecombobox.h"
#include "widgets/filtermenumodel.h"
#include "widgets/itemstableview.h"
#include "widgets/messagebox.h"
#include "widgets/modelmenu.h"
#include "widgets/multiplechoicewidget.h"
#include "widgets/multiplechoicewidgetdelegate.h"
#include "widgets/showhidecolumnsmodel.h"
#include "widgets/ssearchlineedit.h"
#include "widgets/sshowhidecolumnsmenu.h"
#include "widgets/tabwidget.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QStackedWidget>

namespace {
constexpr int IndexColumn = 8;
}

ServiceListModule::ServiceListModule(QWidget *parent)
    : ListsModuleShared(parent)
    , booleanModel(QStringLiteral("Enabled"), QStringLiteral("Disabled"))
    , parentalControlModel(nullptr)
{}

void ServiceListModule::setUpServiceEditing(const ServiceFormWidgets &widgets,
                                            ServiceListProjectFileManager *listManager)
{
    ui = widgets;
    setFormWidgets(widgets);
    manager = listManager;
    ServicePanelMapper::Editors editors;
    editors.name = ui.nameEdit;
    editors.provider = ui.providerBox;
    editors.epg = ui.epgCheckBox;
    editors.details = ui.detailedSettingsWidget;
    editors.genres = ui.frGenreList;
    editors.parentLock = ui.parentLockCheckBox;
    editors.childrenLock = ui.parentalControlMultipleChoice;
    panel = new ServicePanelMapper(editors, this);

    ui.watchVideoTutorialLinkButton->hide();
    ui.tabServiceProperties->setCornerWidget(ui.btnHideServiceSettings, Qt::TopRightCorner);
    connect(ui.btnSaveServiceSettings, &QAbstractButton::pressed, this, &ServiceListModule::onBtnSaveServiceSettings);
    connect(ui.btnShowServiceSettings, &QAbstractButton::pressed, this, &ServiceListModule::onBtnShowServiceSettings);
    connect(ui.btnHideServiceSettings, &QAbstractButton::pressed, this, &ServiceListModule::onBtnHideServiceSettings);
    connect(ui.btnCancelServiceSetting, &QAbstractButton::pressed, this, &ServiceListModule::onBtnHideServiceSettings);
    showServiceDetails(false);
    ui.btnShowServiceSettings->hide();
    ui.tabServiceProperties->hide();
    setOnLine(false);

    takeFileActions(manager);
    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled;
    favouriteColumns << new ItemProperty(QCoreApplication::translate("QObject", "Name"), QStringLiteral("Name"),
                                         QString(), 69, flags, QString(), nullptr, field("name"))
                     << new ItemProperty(QCoreApplication::translate("QObject", "Provider"), QStringLiteral("Provider"),
                                         QString(), 69, flags, QString(), nullptr, field("provider"));
    ui.frGenreList->setCaption(text("Genres:"));
    ui.basicServicesEdit->setActionVisible(STableView::Cut, false);
    ui.basicServicesEdit->setActionVisible(STableView::Paste, false);
    ui.itemsTableViewAll->setActionVisible(STableView::Cut, false);
    ui.itemsTableViewAll->setActionVisible(STableView::Paste, false);
    ui.itemsTableViewAll->proxy()->setEditRestricted(true);
    ui.itemsTableViewAll->addEditableColumns({4, 5});
    setMaximumListCount(4);

    connect(ui.listsTabWidget, &QTabWidget::currentChanged, this, &ServiceListModule::updateItemsListPosition);
    connect(ui.listsTabWidget, &ListTabWidget::itemDataChanged, this, &ServiceListModule::onServicesDataChanged);
    connect(ui.listsTabWidget, &ListTabWidget::createNewItemButtonPressed, this, &ServiceListModule::onNewItem);
    connect(ui.listsTabWidget, &ListTabWidget::currentSelectionChanged, this,
            &ServiceListModule::onFavListSelectionChanged);
    connect(ui.detailedSettingsWidget, &TvAdvancedSettingsItemDelegateWidget::predefinedSatellitesButtonClicked, this,
            &ServiceListModule::onPredefinedSatellitesButtonClicked);
    connect(ui.itemsTableViewAll->columnsModel(), &QAbstractItemModel::dataChanged, this,
            &ServiceListModule::onItemsTableHeaderChange);
    connect(ui.itemsTableViewAll, &QAbstractItemView::pressed, this, &ServiceListModule::onAllListItemPressed);
    connect(ui.tabServiceProperties, &TabWidget::focusOut, this, &ServiceListModule::onTabServicePropertiesFocusOut);
    connect(qApp, &QApplication::focusChanged, this, &ServiceListModule::onAppFocusChanged);
}

ServiceListModule::~ServiceListModule()
{
    disconnect(qApp, nullptr, this, nullptr);
    // The form's widgets and the manager outlive this part of the page: a focus-out of the panel as
    // the window closes, or the manager letting its document go, must not reach it.
    const QList<QObject *> children = findChildren<QObject *>();
    for (QObject *child : children)
        disconnect(child, nullptr, this, nullptr);
    // Once handed to the tabs, the favourite columns are theirs.
    if (!favouriteColumnsHanded)
        qDeleteAll(favouriteColumns);
    // The tabs may still show models over the document: they go before the manager's document.
    if (ui.listsTabWidget)
        ui.listsTabWidget->clearTabs();
}

ListProjectFileManager *ServiceListModule::listManager() const
{
    return manager;
}

PrintListsBuilder *ServiceListModule::createPrintBuilder()
{
    PrintServiceListsBuilder *builder = makePrintBuilder();
    if (deviceInfo()) {
        // In list order: a later satellite at the same position gives the name.
        QMap<int, QString> names;
        for (const SatelliteInfo &satellite : deviceInfo()->satellites())
            names.insert(satellite.position, satellite.name);
        builder->setSatelliteNames(names);
    }
    return builder;
}

QString ServiceListModule::text(const char *source) const
{
    return QCoreApplication::translate(translationContext(), source);
}

void ServiceListModule::retranslate()
{
    retranslateForm();
}

void ServiceListModule::onShow()
{
    OmbrelayModule::onShow();
    if (shown)
        return;
    shown = true;
    for (int i = 0; i < ui.gridLayout->count(); ++i)
        ui.gridLayout->itemAt(i)->setAlignment(Qt::AlignBottom);
    ui.serviceOrLinkSW->setCurrentIndex(0);
    prepareTuningEditor();
    for (EditableComboBox *box : {ui.providerBox, ui.linkTypeComboBox, ui.linkGenreComboBox})
        box->setWheelDisabled(true);

    const auto unique = Qt::UniqueConnection;
    connect(ui.saveProjectCommandLinkButton, &QAbstractButton::clicked, this, &ServiceListModule::SaveProject, unique);
    connect(ui.saveAsProjectCommandLinkButton, &QAbstractButton::clicked, this, &ServiceListModule::SaveProjectAs,
            unique);
    connect(ui.btnExportAsProject, &QAbstractButton::clicked, this, &ServiceListModule::exportProjectAs, unique);
    connect(ui.btnPrintProject, &QAbstractButton::clicked, this, &ServiceListModule::printLists, unique);
    connect(ui.dataTransferPageButton, &QAbstractButton::clicked, this,
            &ServiceListModule::onDataTransferPageButtonClick, unique);
    connect(ui.itemsTableViewAll, &STableView::onBeforePaste, this, &ServiceListModule::onBeforePasteOrDelete, unique);
    connect(ui.itemsTableViewAll, &STableView::onEndPaste, this, &ServiceListModule::onEndPasteOrDelete, unique);
    connect(ui.itemsTableViewAll, &STableView::onBeforeDelete, this, &ServiceListModule::onBeforePasteOrDelete, unique);
    connect(ui.itemsTableViewAll, &STableView::onEndDelete, this, &ServiceListModule::onEndPasteOrDelete, unique);
    connect(ui.backCommandLinkButton, &QAbstractButton::clicked, manager->closeAction, &QAction::trigger, unique);
    connect(ui.btnCreateNewItem, &QAbstractButton::clicked, this, &ServiceListModule::onNewItem, unique);
    connect(ui.filterToolButton, &QAbstractButton::clicked, this, &ServiceListModule::showFilterTree, unique);
    connect(ui.showHideColumnsToolButton, &QAbstractButton::clicked, this, &ServiceListModule::showHideColumns, unique);
    connect(manager, &ListProjectFileManager::loadDocument, this, &ServiceListModule::onProjectLoad, unique);
    connect(manager, &ListProjectFileManager::unloadDocument, this, &ServiceListModule::onProjectUnload, unique);
    connect(ui.txtSearch, &QLineEdit::textChanged, ui.itemsTableViewAll->proxy(),
            &ObjectSortFilterProxyModel::setItemsSearchFilter, unique);
    connect(ui.btnCreateNewProject, &QAbstractButton::clicked, manager->newAction, &QAction::trigger, unique);
    connect(ui.btnOpenSavedProject, &QAbstractButton::clicked, manager->openAction, &QAction::trigger, unique);
    connect(ui.btnOpenSavedProject2, &QAbstractButton::clicked, this, &ServiceListModule::onBtnOpenSavedProject2,
            unique);
    connect(ui.btnDownloadLists, &QAbstractButton::clicked, this, &ServiceListModule::downloadLists, unique);
    connect(ui.btnDownloadDeviceLists, &QAbstractButton::clicked, this, &ServiceListModule::downloadLists, unique);
    connect(ui.backFromExportPageCommandLinkButton, &QAbstractButton::clicked, this,
            &ServiceListModule::backFromExportPage, unique);
    connect(ui.moreCommandLinkButton, &QAbstractButton::clicked, this, &ServiceListModule::moreButtonAction, unique);
    connect(ui.btnUploadDeviceLists, &QAbstractButton::clicked, this, &ServiceListModule::sendLists, unique);

    ui.itemsTableViewAll->setItemDelegateForColumn(field("genres"),
                                                   new MultipleChoiceWidgetDelegate(ui.itemsTableViewAll));
    auto *children = new MultipleChoiceWidgetDelegate(ui.itemsTableViewAll);
    children->setChoicesModel(&parentalControlModel);
    children->visibleRows = 4;
    children->disableNew = true; // the four children are all there is
    ui.itemsTableViewAll->setItemDelegateForColumn(field("childrenLock"), children);
    ui.itemsTableViewAll->setItemDelegateForColumn(field("@epgMarked"), new CheckBoxItemDelegate(ui.itemsTableViewAll));
    ui.itemsTableViewAll->setItemDelegateForColumn(field("parentLock"), new CheckBoxItemDelegate(ui.itemsTableViewAll));
    ui.itemsTableViewAll->setItemDelegateForColumn(field("provider"), new ComboDelegate(ui.itemsTableViewAll, false));
    ui.btnCreateNewItem->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    ui.filterToolButton->setContextMenuPolicy(Qt::CustomContextMenu);
    setPage(PageWelcome);

    genreMenu = new ModelMenu(text("Genre"), ui.itemsTableViewAll, field("genres"), ModelMenu::AddRemoveClear, this);
    providerMenu =
        new ModelMenu(text("Provider"), ui.itemsTableViewAll, field("provider"), ModelMenu::SetOrClear, this);
    epgMenu = new ModelMenu(text("EPG"), ui.itemsTableViewAll, field("@epgMarked"), ModelMenu::CheckUncheck, this);
    parentLockMenu =
        new ModelMenu(text("Parent lock"), ui.itemsTableViewAll, field("parentLock"), ModelMenu::CheckUncheck, this);
    childrenLockMenu = new ModelMenu(text("Children lock"), ui.itemsTableViewAll, field("childrenLock"),
                                     ModelMenu::AddRemoveClear, this);
    childrenLockMenu->setModel(&parentalControlModel, 0);
    for (ModelMenu *menu : {providerMenu, epgMenu, parentLockMenu, childrenLockMenu}) {
        ui.itemsTableViewAll->addAction(new QAction(this));
        ui.itemsTableViewAll->actions().last()->setSeparator(true);
        ui.itemsTableViewAll->addAction(menu->menuAction());
    }
    ui.basicServicesEdit->setView(ui.itemsTableViewAll);

    ZBDeviceInfo *info = deviceInfo();
    ui.detailedSettingsWidget->setAnalogVisible(!info || info->hasAnalogFrontend());
    ui.detailedSettingsWidget->setCableVisible(!info || info->hasCableFrontend());
    ui.detailedSettingsWidget->setSatelliteVisible(!info || info->hasSatelliteFrontend());
    ui.detailedSettingsWidget->setTerrestrialVisible(!info || info->hasTerrestrialFrontend());
    if (info && !info->satellitesDocument().isEmpty())
        ui.detailedSettingsWidget->setSatelliteMenu(info->satellitesDocument());
}

void ServiceListModule::onProjectLoad()
{
    ObjectSortFilterProxyModel *proxy = ui.itemsTableViewAll->proxy();
    resetSearch();
    proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    ListItemsDatabaseModel *items = manager->itemsModel;
    items->setReadOnlyColor(QColor(99, 99, 99, 255));
    ui.itemsTableViewAll->setItemsModel(items, {field("position"), field("name"), field("provider")},
                                        {field("name"), field("position")});
    connect(items, &QAbstractItemModel::dataChanged, this, &ServiceListModule::onAllItemsDataChanged);
    QHeaderView *header = ui.itemsTableViewAll->horizontalHeader();
    header->setMinimumSectionSize(qMin(header->minimumSectionSize(), 30));
    header->resizeSection(0, 30);
    ui.itemsTableViewAll->setEnabled(true);
    ui.listsTabWidget->setDocument(manager->document->lists, items,
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
    connect(filterModel, &FilterMenuModel::filterChanged, this, &ServiceListModule::setupFilter, Qt::UniqueConnection);
    setupFilter();

    panel->attach(items, manager->fieldColumns);
    connect(ui.detailedSettingsWidget, &TvAdvancedSettingsItemDelegateWidget::itemSelected, this,
            &ServiceListModule::onItemSelected);
    connectSelection(true);

    genreMenu->setModel(manager->genresModel, 0);
    if (auto *genres =
            qobject_cast<MultipleChoiceWidgetDelegate *>(ui.itemsTableViewAll->itemDelegateForColumn(field("genres"))))
        genres->setChoicesModel(manager->genresModel);
    if (auto *combo = qobject_cast<ComboDelegate *>(ui.itemsTableViewAll->itemDelegateForColumn(field("provider"))))
        combo->setModel(manager->providersModel);
    ui.providerBox->setSourceModel(manager->providersModel, true);
    providerMenu->setModel(manager->providersModel, 0);

    ui.tabServiceProperties->setCurrentIndex(0);
    ui.parentalControlMultipleChoice->setModel(&parentalControlModel, false);
    ui.basicServicesEdit->attachView();
    panel->toFirst();
    setCurrentModelIndex();
    setListToolsEnabled(true);
    manager->retranslate();
    // The manager leaves Export (Ctrl+R) off: with a list open the page offers it.
    manager->exportAction->setEnabled(true);
    sortByListPlace();
    setPage(PageEditor);
}

void ServiceListModule::onProjectUnload()
{
    setPage(PageWelcome);
    manager->exportAction->setEnabled(false);
    if (filterModel)
        disconnect(filterModel, nullptr, this, nullptr);
    disconnect(ui.detailedSettingsWidget, &TvAdvancedSettingsItemDelegateWidget::itemSelected, this,
               &ServiceListModule::onItemSelected);
    connectSelection(false);
    if (manager->itemsModel)
        disconnect(manager->itemsModel, &QAbstractItemModel::dataChanged, this,
                   &ServiceListModule::onAllItemsDataChanged);
    panel->detach();
    if (manager->genresModel)
        manager->genresModel->detachSource();
    if (manager->providersModel)
        manager->providersModel->stopTracking();
    ui.listsTabWidget->clearTabs();
    ui.itemsTableViewAll->setEnabled(false);
    ui.itemsTableViewAll->scrollToTop();
    ui.parentalControlMultipleChoice->setModel(nullptr, false);
    ui.itemsTableViewAll->proxy()->setColumnFilters(nullptr);
    ui.itemsTableViewAll->setItemsModel(nullptr, {}, {});
    delete filterModel;
    filterModel = nullptr;
    columnFilters.clear();
    // A project closed while a new service was being made left the page locked for it: the next one is browsed.
    const bool wasMakingOne = newItemPending;
    newItemPending = false;
    editedId.clear();
    if (wasMakingOne) {
        setPropertiesEditable(false);
        ui.itemsTableViewAll->setEnabled(false);
        showServiceDetails(false);
    }
    setListToolsEnabled(true);
}

void ServiceListModule::connectSelection(bool on)
{
    QItemSelectionModel *selection = ui.itemsTableViewAll->selectionModel();
    if (!selection)
        return;
    if (on) {
        // One handler: the check of the service left must run before the panel follows the new row.
        connect(selection, &QItemSelectionModel::selectionChanged, this, &ServiceListModule::onServiceItemUnselected,
                Qt::UniqueConnection);
    } else {
        disconnect(selection, nullptr, this, nullptr);
    }
}

void ServiceListModule::setCurrentModelIndex()
{
    const QModelIndexList rows = ui.itemsTableViewAll->selectionModel()
                                     ? ui.itemsTableViewAll->selectionModel()->selectedRows(0)
                                     : QModelIndexList();
    if (ui.itemsTableViewAll->isEditing() || rows.size() != 1) {
        if (rows.size() >= 2)
            lastSelectedRows = rows;
        return;
    }
    const QModelIndex current = ui.itemsTableViewAll->currentIndex();
    if (!current.isValid() || !ui.itemsTableViewAll->selectionModel()->isSelected(current))
        return;
    ObjectSortFilterProxyModel *proxy = ui.itemsTableViewAll->proxy();
    panel->showSource(proxy->mapToSource(current));
    // Remember which service is in the panel: the check on leaving concerns that one only.
    editedId = proxy->index(current.row(), IndexColumn).data().toString();
    ZBDeviceInfo *info = deviceInfo();
    ui.detailedSettingsWidget->setPositionBySatelliteOnly(info &&
                                                          (info->satelliteCount() > 0 || !info->isUsbManaged()));
}

void ServiceListModule::onBtnShowServiceSettings()
{
    // After a delete the panel may still hold a service that went: typing there would be lost.
    if (panel->isAttached() && !panel->showsService())
        followCurrentRow();
    showServiceDetails(true);
}

void ServiceListModule::onNewItem()
{
    if (!manager->isProjectLoaded() || newItemPending)
        return;
    setListToolsEnabled(false);
    if (filterModel)
        filterModel->clear();
    resetSearch();
    const QString id = numberNewItem(manager->itemsModel->appendNewItem(), IndexColumn, "name", text(newItemText()));
    ObjectSortFilterProxyModel *proxy = ui.itemsTableViewAll->proxy();
    proxy->setItemsSearchFilter(QString());
    const QModelIndex source = manager->itemsModel->indexById(id, 0);
    // The row left is checked as the selection moves; only then is the new service the pending one,
    // so that check never concerns (or removes) the new service.
    ui.itemsTableViewAll->setCurrentIndex(proxy->mapFromSource(source));
    // The panel turns to the new service's tab, which takes the focus from a field of the first one: that is
    // no leaving of the new service, whose check would remove it at once.
    disconnect(ui.tabServiceProperties, &TabWidget::focusOut, this, &ServiceListModule::onTabServicePropertiesFocusOut);
    newItemPending = true;
    editedId = id;
    showServiceDetails(true);
    ui.detailedSettingsWidget->focusFirstEditor();
    setPropertiesEditable(true);
}

void ServiceListModule::setPropertiesEditable(bool editing)
{
    setBrowsingEnabled(!editing);
    if (editing)
        disconnect(ui.tabServiceProperties, &TabWidget::focusOut, this,
                   &ServiceListModule::onTabServicePropertiesFocusOut);
    else
        connect(ui.tabServiceProperties, &TabWidget::focusOut, this, &ServiceListModule::onTabServicePropertiesFocusOut,
                Qt::UniqueConnection);
}

void ServiceListModule::onServiceItemUnselected(const QItemSelection &, const QItemSelection &deselected)
{
    if (!deselected.isEmpty())
        checkLeftItem(deselected);
    setCurrentModelIndex();
}

void ServiceListModule::checkLeftItem(const QItemSelection &deselected)
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
    const bool fresh = newItemPending;
    // Warned only where the user's own change made the duplicate: a new service, or tuning changed here.
    // Only then are the others' tunings compared, which reads every service of the list: a rename or
    // any other change leaves the row at once.
    const bool ownTuning = fresh || panel->tuningChanged();
    const int same = ownTuning ? manager->itemsProvider->countSame(item, QStringLiteral("details")) : 0;
    newItemPending = false;
    itemsChanged = false;
    if (same >= 2) {
        disconnect(ui.tabServiceProperties, &TabWidget::focusOut, this,
                   &ServiceListModule::onTabServicePropertiesFocusOut);
        MessageBox::information(this, text("Service with the same detailed settings already exists on the list."));
        connect(ui.tabServiceProperties, &TabWidget::focusOut, this, &ServiceListModule::onTabServicePropertiesFocusOut,
                Qt::UniqueConnection);
    }
    // A service the user already had is never removed here; a new one that was never accepted goes when it
    // duplicates another or holds nothing but its name.
    const bool nameOnly = item.childNodes().count() <= 1;
    if (fresh && (same >= 2 || nameOnly)) {
        const QModelIndex at = manager->itemsModel->indexById(id, 0);
        const QModelIndex row = ui.itemsTableViewAll->proxy()->mapFromSource(at);
        editedId.clear();
        // The page was locked for the new service: it is unlocked before the rows move again.
        setPropertiesEditable(false);
        if (row.isValid())
            ui.itemsTableViewAll->deleteRow(row.row());
        showServiceDetails(false);
        ui.itemsTableViewAll->selectRow(ui.itemsTableViewAll->model()->rowCount() - 1);
    }
    setListToolsEnabled(true);
    Q_UNUSED(deselected);
}

void ServiceListModule::onBtnSaveServiceSettings()
{
    checkLeftItem(ui.itemsTableViewAll->selectionModel()->selection());
    setPropertiesEditable(false);
    showServiceDetails(false);
}

void ServiceListModule::onTabServicePropertiesFocusOut()
{
    if (ui.itemsTableViewAll->selectionModel())
        checkLeftItem(ui.itemsTableViewAll->selectionModel()->selection());
}

void ServiceListModule::removeCurrentRow()
{
    const QModelIndex at = manager->itemsModel->indexById(editedId, 0);
    const QModelIndex row = ui.itemsTableViewAll->proxy()->mapFromSource(at);
    editedId.clear();
    if (row.isValid())
        ui.itemsTableViewAll->deleteRow(row.row());
    ui.itemsTableViewAll->selectRow(ui.itemsTableViewAll->model()->rowCount() - 1);
}

void ServiceListModule::onBtnHideServiceSettings()
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

void ServiceListModule::onItemSelected(const DocItem &item)
{
    const QString type = item.value(QStringLiteral("@type"));
    ui.nameEdit->setReadOnly(type == QLatin1String("external"));
    const bool plain = type != QLatin1String("external") && type != QLatin1String("analog");
    ui.epgCheckBox->setVisible(plain);
    ui.lblProvider->setVisible(plain);
    ui.providerBox->setVisible(plain);
    ui.frGenreList->setVisible(type == QLatin1String("satellite"));
}

void ServiceListModule::onAllItemsDataChanged(const QModelIndex &, const QModelIndex &)
{
    itemsChanged = true;
}

void ServiceListModule::onBeforePasteOrDelete()
{
    ui.basicServicesEdit->detachView();
    panel->setQuiet(true);
    connectSelection(false);
    manager->genresModel->detachSource();
    manager->providersModel->stopTracking();
}

void ServiceListModule::onEndPasteOrDelete()
{
    ui.basicServicesEdit->attachView();
    panel->setQuiet(false);
    connectSelection(true);
    manager->genresModel->attachSource(true);
    manager->providersModel->setTracking(true);
    setCurrentModelIndex();
    onServicesDataChanged();
    if (hidesDetailsAfterPasteOrDelete())
        showServiceDetails(false);
    else
        followCurrentRow();
}

void ServiceListModule::followCurrentRow()
{
    // The panel stays open: it must never keep showing, and take typing for, a service that went.
    QItemSelectionModel *selection = ui.itemsTableViewAll->selectionModel();
    const QModelIndex current = ui.itemsTableViewAll->currentIndex();
    if (!panel->isAttached() || !selection || !current.isValid()) {
        panel->clear();
        return;
    }
    if (!selection->isRowSelected(current.row(), current.parent()))
        ui.itemsTableViewAll->selectRow(current.row());
    setCurrentModelIndex();
    if (panel->isEmpty())
        panel->clear();
}

void ServiceListModule::onFavListSelectionChanged(const QItemSelection &, const QItemSelection &)
{
    const QModelIndexList rows = ui.listsTabWidget->currentListSelectedRows();
    if (!rows.isEmpty() || !keepsRowsOnEmptyFavouriteSelection())
        lastSelectedRows = rows;
}

void ServiceListModule::onItemsTableHeaderChange(const QModelIndex &, const QModelIndex &)
{
    updateItemsListPosition(ui.listsTabWidget->currentIndex());
    ui.itemsTableViewAll->resizeColumnsToContents();
    ui.itemsTableViewAll->horizontalHeader()->setStretchLastSection(true);
    ui.itemsTableViewAll->setColumnWidth(1, 200);
    ui.itemsTableViewAll->setColumnWidth(2, 150);
    // 80 px, or what the column's title needs in the current language.
    QHeaderView *header = ui.itemsTableViewAll->horizontalHeader();
    for (int column : {3, 4, 5, 6})
        ui.itemsTableViewAll->setColumnWidth(column, qMax(80, header->sectionSizeHint(column)));
}

void ServiceListModule::showHideColumns()
{
    if (!manager->isProjectLoaded())
        return;
    auto *menu = new SShowHideColumnsMenu(ui.showHideColumnsToolButton, 200, 300, 10);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->listView()->setModel(ui.itemsTableViewAll->columnsModel());
    // The service id is the program's own key, not something to show.
    menu->setRowsHidden({IndexColumn}, true);
    menu->show();
}

void ServiceListModule::keyPressEvent(QKeyEvent *event)
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
        checkLeftItem(ui.itemsTableViewAll->selectionModel()->selection());
        return;
    }
    // Keys the page does not use go on to the window (F1 opens the manual).
    ListsModuleShared::keyPressEvent(event);
}

void ServiceListModule::changeEvent(QEvent *event)
{
    ListsModuleShared::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    retranslateForm();
    // Also while no list is open: the next list's favourite tables take these titles as they are.
    for (ItemProperty *column : std::as_const(favouriteColumns))
        column->retranslate();
    ui.basicServicesEdit->retranslate();
    ui.listsTabWidget->retranslate();
    // What the user typed stays, with the rows it shows; only a hint on display changes language.
    ui.txtSearch->retranslateHint(text("Search..."));
    ui.frGenreList->setCaption(text("Genres:"));
    if (providerMenu) {
        providerMenu->setTitle(text("Provider"));
        epgMenu->setTitle(text("EPG"));
        epgMenu->updateActions();
        parentLockMenu->setTitle(text("Parent lock"));
        parentLockMenu->updateActions();
        childrenLockMenu->setTitle(text("Children lock"));
        childrenLockMenu->updateActions();
    }
    if (manager->isProjectLoaded()) {
        if (filterModel)
            filterModel->clear();
        // A new service being made keeps its row: leaving it would check it, and accept or drop it unasked.
        if (!newItemPending)
            ui.itemsTableViewAll->clearSelection();
        // retranslateUi empties the name field: the panel reads its row again.
        panel->reread();
    }
    manager->retranslate();
}

void ServiceListModule::onProjectBeforeSave() {}

void ServiceListModule::onProjectAfterSave() {}

void ServiceListModule::onPredefinedSatellitesButtonClicked()
{
    ZBDeviceInfo *info = deviceInfo();
    if (!info || info->satelliteCount() > 0)
        return;
    if (info->isUsbManaged()) {
        // A receiver managed through a drive cannot be asked: a copy of its record carries the
        // predefined positions.
        const ZBDeviceInfo copy(*info);
        ui.detailedSettingsWidget->setSatelliteMenu(copy.satellitesDocument());
        return;
    }
    if (!communicationManager())
        return;
    if (!MessageBox::questionYesNo(
            this,
            text("Ombrelay has no information about satellites available. To download it please "
                 "make sure that device is connected and doesn't record any content. Do you want "
                 "to download now?"),
            MessageBox::No))
        return;
    DeviceTask *task = createDeviceInfoTask({{QStringLiteral("ip"), info->ip().toString()}});
    deviceInfoTask = task;
    if (!enqueue(task))
        deviceInfoTask = nullptr;
}

void ServiceListModule::taskComplete(DeviceTask *task)
{
    // The task has taken the satellites of a description reply into the record: the menu shows them.
    if (task && task == deviceInfoTask) {
        deviceInfoTask = nullptr;
        if (deviceInfo() && deviceInfo()->satelliteCount() > 0)
            ui.detailedSettingsWidget->setSatelliteMenu(deviceInfo()->satellitesDocument());
    }
    ListsModuleShared::taskComplete(task);
}
