#include "lists/linklistmodule.h"

#include "lists/linklistmodulepaneldelegate.h"
#include "lists/listpanelmapper.h"
#include "lists/transferlistsdevicetask.h"

#include "document/agregatemodel.h"
#include "document/docitem.h"
#include "document/docitemsdataprovider.h"
#include "document/itemproperty.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "document/mappeditemproperty.h"
#include "document/objectsortfilterproxymodel.h"
#include "exchange/printlinklistsbuilder.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "widgets/checkboxitemdelegate.h"
#include "widgets/combodelegate.h"
#include "widgets/enhanceddatawidgetmapper.h"
#include "widgets/filtermenumodel.h"
#include "widgets/messagebox.h"
#include "widgets/modelmenu.h"
#include "widgets/multiplechoicewidgetdelegate.h"
#include "widgets/showhidecolumnsmodel.h"
#include "widgets/sshowhidecolumnsmenu.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>

namespace {
constexpr int IndexColumn = 8;

// Keeps a label's enabled state with that of the widget it names (a label has no signal of its own).
class EnabledFollower : public QObject
{
public:
    EnabledFollower(QWidget *field, QWidget *label)
        : QObject(label)
        , label(label)
    {
        field->installEventFilter(this);
        label->setEnabled(field->isEnabled());
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::EnabledChange)
            label->setEnabled(static_cast<QWidget *>(watched)->isEnabled());
        return false;
    }

private:
    QWidget *label;
};
} // namespace

LinkListModule::LinkListModule(QWidget *parent)
    : ListsModuleShared(parent)
    , linkTypeModel(nullptr)
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
    widgets.filterToolButton = filterToolButton;
    widgets.tabServiceProperties = tabServiceProperties;
    widgets.btnShowServiceSettings = btnShowServiceSettings;
    widgets.frAllItemsContainer = frAllItemsContainer;
    widgets.frServiceProperties = frServiceProperties;
    widgets.listsSplitter = listsSplitter;
    widgets.basicServicesEdit = basicServicesEdit;
    widgets.btnCreateNewItem = btnCreateNewItem;
    widgets.showHideColumnsToolButton = showHideColumnsToolButton;
    widgets.txtSearch = txtSearch;
    widgets.toolsFrame = toolsFrame;
    widgets.itemsToolBar = itemsToolBar;
    widgets.lblAllServices = lblAllServices;
    widgets.frServiceSettingsButtons = frServiceSettingsButtons;
    setFormWidgets(widgets);

    lblLinkGenre->hide();
    cmbLinkGenre->hide();
    watchVideoTutorialLinkButton->hide();
    // The genre is shown as typed, never as markup.
    lblGenreValue->setTextFormat(Qt::PlainText);
    tabServiceProperties->setCornerWidget(btnHideServiceSettings, Qt::TopRightCorner);
    connect(btnSaveServiceSettings, &QPushButton::pressed, this, &LinkListModule::onBtnSaveServiceSettings);
    connect(btnShowServiceSettings, &QPushButton::pressed, this, &LinkListModule::onBtnShowServiceSettings);
    connect(btnHideServiceSettings, &QPushButton::pressed, this, &LinkListModule::onBtnHideServiceSettings);
    connect(btnCancelServiceSetting, &QPushButton::pressed, this, &LinkListModule::onBtnHideServiceSettings);
    showServiceDetails(false);
    btnShowServiceSettings->hide();
    setOnLine(false);

    manager = new LinkListProjectFileManager(this);
    panelRows = new ListPanelMapper(this);
    takeFileActions(manager);
    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled;
    // Titled as the all-links table titles its columns, and as the list models title them after a language
    // change: in the one shared context.
    favouriteColumns << new ItemProperty(QCoreApplication::translate("QObject", "Title"), QStringLiteral("Title"),
                                         QString(), 69, flags, QString(), nullptr, field("title"))
                     << new ItemProperty(QCoreApplication::translate("QObject", "Url"), QStringLiteral("Url"),
                                         QString(), 69, flags, QString(), nullptr, field("url"));
    cmbLinkType->hide();
    lblLinkType->hide();
    basicServicesEdit->setActionVisible(STableView::Cut, false);
    basicServicesEdit->setActionVisible(STableView::Paste, false);
    itemsTableViewAll->setActionVisible(STableView::Cut, false);
    itemsTableViewAll->setActionVisible(STableView::Paste, false);
    connect(txtLinkUrl, &QLineEdit::textEdited, this, &LinkListModule::onLinkUrlTextEdited);
    connect(txtLinkTitle, &QLineEdit::textEdited, this, &LinkListModule::onLinkUrlTextEdited);
    itemsTableViewAll->proxy()->setEditRestricted(false);
    itemsTableViewAll->addEditableColumns({6});
    setMaximumListCount(4);

    connect(listsTabWidget, &QTabWidget::currentChanged, this, &LinkListModule::updateItemsListPosition);
    connect(listsTabWidget, &ListTabWidget::itemDataChanged, this, &LinkListModule::onServicesDataChanged);
    connect(listsTabWidget, &ListTabWidget::createNewItemButtonPressed, this, &LinkListModule::onNewItem);
    connect(listsTabWidget, &ListTabWidget::currentSelectionChanged, this, &LinkListModule::onFavListSelectionChanged);
    connect(itemsTableViewAll->columnsModel(), &QAbstractItemModel::dataChanged, this,
            &LinkListModule::onItemsTableHeaderChange);
    connect(itemsTableViewAll, &QAbstractItemView::pressed, this, &LinkListModule::onAllListItemPressed);
    // Each label greys with its field: an empty panel (no link left) shows both greyed.
    connect(txtLinkTitle, &SLineEdit::enabledChanged, lblLinkTitle, &QWidget::setEnabled);
    connect(txtLinkUrl, &SLineEdit::enabledChanged, lblLinkUrl, &QWidget::setEnabled);
    new EnabledFollower(lblGenreValue, lblGenre2);
    connectFocusOutCheck(true);
    connect(qApp, &QApplication::focusChanged, this, &LinkListModule::onAppFocusChanged);
}

LinkListModule::~LinkListModule()
{
    disconnect(qApp, nullptr, this, nullptr);
    // Hiding the window on the way out moves the focus: the panel must not call into a page half gone, nor
    // write what it still holds into the list that goes with the page.
    disconnect(tabServiceProperties, nullptr, this, nullptr);
    if (mapper) {
        disconnect(genreMultipleChoice, nullptr, mapper, nullptr);
        disconnect(parentalControlMultipleChoice, nullptr, mapper, nullptr);
        mapper = nullptr;
    }
    panelRows->detach();
    if (manager->itemsModel)
        disconnect(manager->itemsModel, nullptr, this, nullptr);
    // Once handed to the tabs, the favourite columns are theirs.
    if (!favouriteColumnsHanded)
        qDeleteAll(favouriteColumns);
    // The tabs may still show models over the document: they go before the manager's document.
    listsTabWidget->clearTabs();
}

ListProjectFileManager *LinkListModule::listManager() const
{
    return manager;
}

DeviceTask *LinkListModule::createTransferTask(const QString &mode)
{
    return new TransferListsDeviceTask<LinkListModule>(mode, listType(), this);
}

PrintListsBuilder *LinkListModule::createPrintBuilder()
{
    return new PrintLinkListsBuilder(manager);
}

void LinkListModule::retranslate()
{
    retranslateUi(this);
    // retranslateUi puts the form's placeholder texts into the panel: it shows its link again.
    if (mapper)
        mapper->revert();
}

void LinkListModule::onShow()
{
    OmbrelayModule::onShow();
    if (shown)
        return;
    shown = true;
    for (EditableComboBox *box : {providerComboBox, cmbLinkType, cmbLinkGenre})
        box->setWheelDisabled(true);
    linkTypeModel.setValues(tr("Website"), QStringLiteral("website"));
    cmbLinkType->setSourceModel(&linkTypeModel, false);
    auto *typeDelegate = new ComboDelegate(itemsTableViewAll, true);
    typeDelegate->setModel(&linkTypeModel);
    itemsTableViewAll->setItemDelegateForColumn(field("type"), typeDelegate);

    serviceOrLinkSW->setCurrentIndex(1);
    // A link has no tuning data: the tuning tab goes, and nothing may reach it afterwards.
    tabServiceProperties->removeTab(tabServiceProperties->indexOf(transportStreamTab));
    delete transportStreamTab;
    transportStreamTab = nullptr;
    verticalLayout_14 = nullptr;
    detailedSettingsWidget = nullptr;

    const auto unique = Qt::UniqueConnection;
    connect(saveProjectCommandLinkButton, &QAbstractButton::clicked, this, &LinkListModule::SaveProject, unique);
    connect(saveAsProjectCommandLinkButton, &QAbstractButton::clicked, this, &LinkListModule::SaveProjectAs, unique);
    connect(btnExportAsProject, &QAbstractButton::clicked, this, &LinkListModule::exportProjectAs, unique);
    connect(btnPrintProject, &QAbstractButton::clicked, this, &LinkListModule::printLists, unique);
    connect(dataTransferPageButton, &QAbstractButton::clicked, this, &LinkListModule::onDataTransferPageButtonClick,
            unique);
    connect(itemsTableViewAll, &STableView::onBeforePaste, this, &LinkListModule::onBeforePasteOrDelete, unique);
    connect(itemsTableViewAll, &STableView::onEndPaste, this, &LinkListModule::onEndPasteOrDelete, unique);
    connect(itemsTableViewAll, &STableView::onBeforeDelete, this, &LinkListModule::onBeforePasteOrDelete, unique);
    connect(itemsTableViewAll, &STableView::onEndDelete, this, &LinkListModule::onEndPasteOrDelete, unique);

    auto *children = new MultipleChoiceWidgetDelegate(itemsTableViewAll);
    children->setChoicesModel(&parentalControlModel);
    children->visibleRows = 4;
    children->disableNew = true;
    itemsTableViewAll->setItemDelegateForColumn(field("childrenLock"), children);
    itemsTableViewAll->setItemDelegateForColumn(field("parentLock"), new CheckBoxItemDelegate(itemsTableViewAll));
    auto *genres = new ComboDelegate(itemsTableViewAll, false);
    genres->setEditable(true);
    itemsTableViewAll->setItemDelegateForColumn(field("genres"), genres);

    connect(backCommandLinkButton, &QAbstractButton::clicked, manager->closeAction, &QAction::trigger, unique);
    connect(btnCreateNewItem, &QAbstractButton::clicked, this, &LinkListModule::onNewItem, unique);
    connect(filterToolButton, &QAbstractButton::clicked, this, &LinkListModule::showFilterTree, unique);
    connect(showHideColumnsToolButton, &QAbstractButton::clicked, this, &LinkListModule::showHideColumns, unique);
    connect(btnCreateNewProject, &QAbstractButton::clicked, manager->newAction, &QAction::trigger, unique);
    connect(btnOpenSavedProject, &QAbstractButton::clicked, manager->openAction, &QAction::trigger, unique);
    connect(btnDownloadLists, &QAbstractButton::clicked, this, &LinkListModule::downloadLists, unique);
    connect(btnDownloadDeviceLists, &QAbstractButton::clicked, this, &LinkListModule::downloadLists, unique);
    connect(backFromExportPageCommandLinkButton, &QAbstractButton::clicked, this, &LinkListModule::backFromExportPage,
            unique);
    connect(moreCommandLinkButton, &QAbstractButton::clicked, this, &LinkListModule::moreButtonAction, unique);
    connect(btnUploadDeviceLists, &QAbstractButton::clicked, this, &LinkListModule::sendLists, unique);
    connect(btnOpenSavedProject2, &QAbstractButton::clicked, this, &LinkListModule::onBtnOpenSavedProject2, unique);
    connect(manager, &ListProjectFileManager::loadDocument, this, &LinkListModule::onProjectLoad, unique);
    connect(manager, &ListProjectFileManager::unloadDocument, this, &LinkListModule::onProjectUnload, unique);
    connect(txtSearch, &QLineEdit::textChanged, itemsTableViewAll->proxy(),
            &ObjectSortFilterProxyModel::setItemsSearchFilter, unique);

    listsSplitter->setSizes({400, 300});
    btnCreateNewItem->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    filterToolButton->setContextMenuPolicy(Qt::CustomContextMenu);
    setPage(PageWelcome);

    genreMenu = new ModelMenu(tr("Genre"), itemsTableViewAll, field("genres"), ModelMenu::SetValue, this);
    parentLockMenu =
        new ModelMenu(tr("Parent lock"), itemsTableViewAll, field("parentLock"), ModelMenu::CheckUncheck, this);
    childrenLockMenu =
        new ModelMenu(tr("Children lock"), itemsTableViewAll, field("childrenLock"), ModelMenu::AddRemoveClear, this);
    childrenLockMenu->setModel(&parentalControlModel, 0);
    for (ModelMenu *menu : {genreMenu, parentLockMenu, childrenLockMenu}) {
        auto *separator = new QAction(this);
        separator->setSeparator(true);
        itemsTableViewAll->addAction(separator);
        itemsTableViewAll->addAction(menu->menuAction());
    }
    basicServicesEdit->setView(itemsTableViewAll);
}

void LinkListModule::onProjectLoad()
{
    ObjectSortFilterProxyModel *proxy = itemsTableViewAll->proxy();
    resetSearch();
    ListItemsDatabaseModel *items = manager->itemsModel;
    if (auto *type = dynamic_cast<MappedItemProperty *>(items->itemProperties().value(field("type"))))
        type->setMapping(linkTypeModel.labelsByValue());
    items->setReadOnlyColor(QColor(99, 99, 99, 255));
    itemsTableViewAll->setItemsModel(items, {field("position"), field("title"), field("url")},
                                     {field("title"), field("position")});
    connect(items, &QAbstractItemModel::dataChanged, this, &LinkListModule::onAllItemsDataChanged);
    itemsTableViewAll->horizontalHeader()->resizeSection(0, 30);
    itemsTableViewAll->setEnabled(true);
    listsTabWidget->setDocument(manager->document->lists, items,
                                manager->projectFileDescription() + QStringLiteral("_ref"), favouriteColumns);
    favouriteColumnsHanded = true;

    proxy->setColumnFilters(nullptr);
    columnFilters.clear();
    columnFilters << ColumnFilter(field("genres"), manager->genresModel, true, true, {})
                  << ColumnFilter(field("childrenLock"), &parentalControlModel, true, true, {})
                  << ColumnFilter(field("parentLock"), &booleanModel, true, false, {});
    filterModel = new FilterMenuModel(items, &columnFilters, this);
    connect(filterModel, &FilterMenuModel::filterChanged, this, &LinkListModule::setupFilter, Qt::UniqueConnection);
    setupFilter();
    if (auto *genres = dynamic_cast<ComboDelegate *>(itemsTableViewAll->itemDelegateForColumn(field("genres"))))
        genres->setModel(manager->genresModel);
    if (genreMenu)
        genreMenu->setModel(manager->genresModel, 0);

    mapper = panelRows->attach(items, false);
    mapper->setItemDelegate(new LinkListModulePanelDelegate(mapper));
    mapper->addMapping(txtLinkTitle, field("title"));
    mapper->addMapping(txtLinkUrl, field("url"));
    mapper->addMapping(parentLockCheckBox, field("parentLock"));
    mapper->addMapping(parentalControlMultipleChoice, field("childrenLock"));
    mapper->addMapping(cmbLinkType, field("type"));
    connect(genreMultipleChoice, &MultipleChoiceWidget::SelectedValuesChanged, mapper, &QDataWidgetMapper::submit,
            Qt::UniqueConnection);
    connect(parentalControlMultipleChoice, &MultipleChoiceWidget::SelectedValuesChanged, mapper,
            &QDataWidgetMapper::submit, Qt::UniqueConnection);
    mapper->addMapping(lblGenreValue, field("genres"));
    connectSelection(true);

    tabServiceProperties->setCurrentIndex(0);
    parentalControlMultipleChoice->setModel(&parentalControlModel, false);
    basicServicesEdit->attachView();
    mapper->toFirst();
    setCurrentModelIndex();
    // A list without links (a new one) shows an empty panel, not what the last list left in it.
    if (mapper->currentIndex() < 0)
        clearPanel();
    backFromExportPage();
    manager->retranslate();
    // The manager leaves Export (Ctrl+R) off: with a list open the page offers it.
    manager->exportAction->setEnabled(true);
    sortByListPlace();
}

void LinkListModule::onProjectUnload()
{
    setPage(PageWelcome);
    manager->exportAction->setEnabled(false);
    connectSelection(false);
    if (mapper) {
        disconnect(genreMultipleChoice, nullptr, mapper, nullptr);
        disconnect(parentalControlMultipleChoice, nullptr, mapper, nullptr);
        mapper = nullptr;
    }
    panelRows->detach();
    if (manager->itemsModel)
        disconnect(manager->itemsModel, &QAbstractItemModel::dataChanged, this, &LinkListModule::onAllItemsDataChanged);
    if (manager->genresModel)
        manager->genresModel->stopTracking();
    listsTabWidget->clearTabs();
    itemsTableViewAll->setEnabled(false);
    genreMultipleChoice->setModel(nullptr, false);
    parentalControlMultipleChoice->setModel(nullptr, false);
    itemsTableViewAll->proxy()->setColumnFilters(nullptr);
    itemsTableViewAll->setItemsModel(nullptr, {}, {});
    delete filterModel;
    filterModel = nullptr;
    columnFilters.clear();
    // A project closed while a new link was being made left the page locked for it: the next one is browsed.
    const bool wasMakingOne = newItemPending;
    newItemPending = false;
    editedId.clear();
    if (wasMakingOne) {
        setPropertiesEditable(false);
        itemsTableViewAll->setEnabled(false);
        showServiceDetails(false);
    }
    backFromExportPage();
    setPage(PageWelcome);
}

void LinkListModule::connectSelection(bool on)
{
    QItemSelectionModel *selection = itemsTableViewAll->selectionModel();
    if (!selection)
        return;
    if (on) {
        // The check of the link that is left runs before the panel moves on to the next one.
        connect(selection, &QItemSelectionModel::selectionChanged, this, &LinkListModule::onServiceItemUnselected,
                Qt::UniqueConnection);
        connect(selection, &QItemSelectionModel::selectionChanged, this, &LinkListModule::setCurrentModelIndex,
                Qt::UniqueConnection);
    } else {
        disconnect(selection, nullptr, this, nullptr);
    }
}

void LinkListModule::connectFocusOutCheck(bool on)
{
    // Unique, however often the panel was hidden and shown: one focus-out runs one check.
    if (on)
        connect(tabServiceProperties, &TabWidget::focusOut, this, &LinkListModule::onTabServicePropertiesFocusOut,
                Qt::UniqueConnection);
    else
        disconnect(tabServiceProperties, &TabWidget::focusOut, this, &LinkListModule::onTabServicePropertiesFocusOut);
}

void LinkListModule::enableForEdit(bool enabled)
{
    setBrowsingEnabled(enabled);
    setListToolsEnabled(enabled);
}

void LinkListModule::setPropertiesEditable(bool editing)
{
    setBrowsingEnabled(!editing);
    connectFocusOutCheck(!editing);
}

void LinkListModule::setCurrentModelIndex()
{
    QItemSelectionModel *selection = itemsTableViewAll->selectionModel();
    const QModelIndexList rows = selection ? selection->selectedRows(0) : QModelIndexList();
    if (rows.size() >= 2)
        lastSelectedRows = rows;
    if (itemsTableViewAll->isEditing() || rows.size() != 1)
        return;
    const QModelIndex current = itemsTableViewAll->currentIndex();
    if (!current.isValid() || !selection->isSelected(current))
        return;
    // A new link keeps the panel until it is accepted or removed.
    if (newItemPending && !editedId.isEmpty())
        return;
    editedId = itemsTableViewAll->proxy()->index(current.row(), IndexColumn).data().toString();
    showInPanel(editedId);
}

void LinkListModule::onBtnShowServiceSettings()
{
    // After a delete the panel may hold nothing, or a link that went: it shows the current one again.
    if (mapper && (editedId.isEmpty() || !manager->itemsModel->indexById(editedId, 0).isValid()))
        followCurrentRow();
    showServiceDetails(true);
}

void LinkListModule::followCurrentRow()
{
    QItemSelectionModel *selection = itemsTableViewAll->selectionModel();
    const QModelIndex current = itemsTableViewAll->currentIndex();
    if (!mapper || !selection || !current.isValid()) {
        clearPanel();
        return;
    }
    if (!selection->isRowSelected(current.row(), current.parent()))
        itemsTableViewAll->selectRow(current.row());
    setCurrentModelIndex();
    if (editedId.isEmpty() || !manager->itemsModel->indexById(editedId, 0).isValid())
        clearPanel();
}

void LinkListModule::clearPanel()
{
    // Emptied and locked without a word to the mapper, so nothing typed or shown here reaches any link.
    editedId.clear();
    const QList<QWidget *> editors{txtLinkTitle, txtLinkUrl,   parentLockCheckBox, parentalControlMultipleChoice,
                                   cmbLinkType,  lblGenreValue};
    for (QWidget *editor : editors) {
        const QSignalBlocker blocker(editor);
        editor->setEnabled(false);
    }
    lblLinkTitle->setEnabled(false);
    lblLinkUrl->setEnabled(false);
    const QSignalBlocker a(txtLinkTitle), b(txtLinkUrl), c(parentLockCheckBox), d(parentalControlMultipleChoice),
        e(cmbLinkType);
    txtLinkTitle->clear();
    txtLinkUrl->clear();
    parentLockCheckBox->setChecked(false);
    parentalControlMultipleChoice->setSelectedValues(QString());
    cmbLinkType->setCurrentIndex(-1);
    lblGenreValue->clear();
}

void LinkListModule::onNewItem()
{
    if (!manager->isProjectLoaded() || newItemPending)
        return;
    // Whatever was typed for the link in the panel is checked before a new one takes its place.
    commitPanel();
    if (itemsChanged && checkEditedLink() == LinkKept)
        return;
    enableForEdit(false);
    if (filterModel)
        filterModel->clear();
    resetSearch();
    const QString id = numberNewItem(manager->itemsModel->appendNewItem(), IndexColumn, "title",
                                     QCoreApplication::translate("QObject", "New link %1"));
    if (id.isEmpty()) {
        enableForEdit(true);
        return;
    }
    ObjectSortFilterProxyModel *proxy = itemsTableViewAll->proxy();
    proxy->setItemsSearchFilter(QString());
    // Turning the panel to the title's tab takes the focus from a field of another one: that is no leaving of
    // the new link, whose check would ask for its URL at once.
    connectFocusOutCheck(false);
    newItemPending = true;
    editedId = id;
    const QModelIndex row = proxy->mapFromSource(manager->itemsModel->indexById(id, 0));
    checking = true;
    itemsTableViewAll->setCurrentIndex(row);
    checking = false;
    showInPanel(id);
    showServiceDetails(true);
    txtLinkTitle->selectAll();
    txtLinkTitle->setFocus(Qt::OtherFocusReason);
    setPropertiesEditable(true);
}

void LinkListModule::showInPanel(const QString &id)
{
    panelRows->showSource(manager->itemsModel->indexById(id, 0));
}

void LinkListModule::commitPanel()
{
    if (mapper && !editedId.isEmpty())
        mapper->submit();
}

void LinkListModule::onServiceItemUnselected(const QItemSelection &, const QItemSelection &deselected)
{
    if (deselected.isEmpty() || checking)
        return;
    checkEditedLink();
}

LinkListModule::CheckOutcome LinkListModule::checkEditedLink()
{
    // A box of the check moves the focus out of the panel: that is no second departure.
    if (checking || (!newItemPending && !itemsChanged) || !manager->isProjectLoaded() || editedId.isEmpty())
        return NothingChecked;
    DocItem link = manager->itemsProvider->itemById(editedId.toInt());
    if (link.isNull()) {
        newItemPending = false;
        itemsChanged = false;
        editedId.clear();
        return NothingChecked;
    }
    const bool fresh = newItemPending;
    const bool titleEmpty = link.value(QStringLiteral("<title")).isEmpty();
    const bool urlEmpty = link.value(QStringLiteral("<url")).isEmpty();
    // A link without a URL is incomplete, not a duplicate of another one without it.
    const bool duplicate = !urlEmpty && manager->itemsProvider->countSame(link, QStringLiteral("url")) >= 2;
    if (duplicate) {
        checking = true;
        MessageBox::information(this, tr("Service with the same detailed settings already exists on the list."));
        checking = false;
        // Only a link that was never accepted goes; one the user had stays, to be mended.
        if (fresh) {
            deleteEditedLink();
            return LinkDeleted;
        }
        returnToEditedLink(false);
        return LinkKept;
    }
    if (titleEmpty || urlEmpty) {
        showInPanel(editedId);
        checking = true;
        // Only a click on "No, delete it" deletes: Escape or closing the box keeps the link, as "Yes" does.
        const bool remove = MessageBox::question(this,
                                                 tr("Links without title or url are not allowed. Would you like to "
                                                    "set these properties now?"),
                                                 tr("No, delete it"), tr("Yes"), MessageBox::No);
        checking = false;
        if (remove) {
            deleteEditedLink();
            return LinkDeleted;
        }
        newItemPending = false;
        returnToEditedLink(urlEmpty);
        return LinkKept;
    }
    // Accepted: the next departure checks only what is edited then.
    itemsChanged = false;
    enableForEdit(true);
    if (fresh) {
        newItemPending = false;
        showServiceDetails(false);
        setPropertiesEditable(false);
    }
    return LinkAccepted;
}

void LinkListModule::returnToEditedLink(bool urlMissing)
{
    const QModelIndex at = manager->itemsModel->indexById(editedId, 0);
    const QModelIndex row = itemsTableViewAll->proxy()->mapFromSource(at);
    checking = true;
    if (row.isValid()) {
        itemsTableViewAll->setCurrentIndex(row);
        itemsTableViewAll->selectRow(row.row());
        itemsTableViewAll->scrollTo(row, QAbstractItemView::EnsureVisible);
    }
    showInPanel(editedId);
    checking = false;
    itemsChanged = true;
    setPropertiesEditable(false);
    enableForEdit(true);
    showServiceDetails(true);
    (urlMissing ? txtLinkUrl : txtLinkTitle)->setFocus(Qt::OtherFocusReason);
}

void LinkListModule::deleteEditedLink()
{
    newItemPending = false;
    itemsChanged = false;
    // Found by its id now: rows may have moved since the link was left.
    const QModelIndex at = manager->itemsModel->indexById(editedId, 0);
    const QModelIndex row = itemsTableViewAll->proxy()->mapFromSource(at);
    editedId.clear();
    checking = true;
    if (row.isValid())
        itemsTableViewAll->deleteRow(row.row());
    checking = false;
    setPropertiesEditable(false);
    showServiceDetails(false);
    itemsTableViewAll->selectRow(itemsTableViewAll->model()->rowCount() - 1);
    enableForEdit(true);
}

void LinkListModule::onBtnSaveServiceSettings()
{
    commitPanel();
    checkEditedLink();
}

void LinkListModule::onTabServicePropertiesFocusOut()
{
    commitPanel();
    // A click into the table checks the link through the selection change it makes, once.
    if (QApplication::focusWidget() == itemsTableViewAll)
        return;
    checkEditedLink();
}

void LinkListModule::onBtnHideServiceSettings()
{
    if (newItemPending) {
        // Cancelling a new link removes it, whatever was typed.
        deleteEditedLink();
        return;
    }
    commitPanel();
    if (itemsChanged && checkEditedLink() == LinkKept)
        return;
    showServiceDetails(false);
    enableForEdit(true);
    setPropertiesEditable(false);
}

void LinkListModule::onLinkUrlTextEdited(const QString &) {}

void LinkListModule::onProjectAfterSave() {}

void LinkListModule::onProjectBeforeSave() {}

void LinkListModule::onAllItemsDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    // Only a change of the link in the panel makes leaving it run the check.
    const QModelIndex edited = manager->itemsModel->indexById(editedId, 0);
    if (edited.isValid() && edited.row() >= topLeft.row() && edited.row() <= bottomRight.row())
        itemsChanged = true;
}

void LinkListModule::onBeforePasteOrDelete()
{
    basicServicesEdit->detachView();
    if (mapper)
        mapper->blockSignals(true);
    connectSelection(false);
    manager->genresModel->stopTracking();
}

void LinkListModule::onEndPasteOrDelete()
{
    basicServicesEdit->attachView();
    if (mapper)
        mapper->blockSignals(false);
    connectSelection(true);
    manager->genresModel->setTracking(true);
    // The link in the panel may be gone with the deleted rows.
    if (!editedId.isEmpty() && !manager->itemsModel->indexById(editedId, 0).isValid()) {
        editedId.clear();
        itemsChanged = false;
    }
    setCurrentModelIndex();
    onServicesDataChanged();
    // The panel stays as it is, open or closed, but never keeps showing, and taking typing for, a link that went.
    followCurrentRow();
}

void LinkListModule::onFavListSelectionChanged(const QItemSelection &, const QItemSelection &)
{
    lastSelectedRows = listsTabWidget->currentListSelectedRows();
}

void LinkListModule::onItemsTableHeaderChange(const QModelIndex &, const QModelIndex &)
{
    updateItemsListPosition(listsTabWidget->currentIndex());
    itemsTableViewAll->resizeColumnsToContents();
    itemsTableViewAll->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {150, 150, 150, 100, 80, 80};
    for (int column = 1; column <= 6; ++column)
        itemsTableViewAll->setColumnWidth(column, widths[column - 1]);
}

void LinkListModule::showHideColumns()
{
    if (!manager->isProjectLoaded())
        return;
    auto *menu = new SShowHideColumnsMenu(showHideColumnsToolButton, 200, 300, 10);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->listView()->setModel(itemsTableViewAll->columnsModel());
    // The link id is the program's own key, not something to show.
    menu->setRowsHidden({field("@id")}, true);
    menu->show();
    updateItemsListPosition(listsTabWidget->currentIndex());
}

void LinkListModule::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (newItemPending) {
        if (enter) {
            if (txtLinkTitle->hasFocus())
                txtLinkUrl->setFocus(Qt::OtherFocusReason);
            onBtnSaveServiceSettings();
        } else if (event->key() == Qt::Key_Escape) {
            onBtnHideServiceSettings();
        }
        return;
    }
    if (enter) {
        // What was typed counts at once, not only when the field loses the focus.
        commitPanel();
        if (itemsChanged) {
            checkEditedLink();
            return;
        }
    }
    // Keys the page does not use go on to the window (F1 opens the manual).
    ListsModuleShared::keyPressEvent(event);
}

void LinkListModule::changeEvent(QEvent *event)
{
    ListsModuleShared::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    retranslate();
    // Also while no list is open: the next list's favourite tables take these titles as they are.
    for (ItemProperty *column : std::as_const(favouriteColumns))
        column->retranslate();
    basicServicesEdit->retranslate();
    listsTabWidget->retranslate();
    // What the user typed stays, with the rows it shows; only a hint on display changes language.
    txtSearch->retranslateHint(tr("Search..."));
    genreMultipleChoice->retranslateUi();
    if (genreMenu) {
        genreMenu->setTitle(tr("Genre"));
        parentLockMenu->setTitle(tr("Parent lock"));
        parentLockMenu->updateActions();
        childrenLockMenu->setTitle(tr("Children lock"));
        childrenLockMenu->updateActions();
    }
    if (manager->isProjectLoaded()) {
        if (filterModel)
            filterModel->clear();
        // A new link being made keeps its row: leaving it would check it and ask for its URL.
        if (!newItemPending)
            itemsTableViewAll->clearSelection();
    }
    // A link without genres shows the manager's word for none, in the language now.
    if (manager->itemsModel)
        if (ItemProperty *genres = manager->itemsModel->itemProperties().value(field("genres")))
            genres->defaultValue = QObject::tr("Unspecified");
    manager->retranslate();
    // The panel shows values the manager words ("Unspecified" for no genre): read in the new language.
    if (mapper && mapper->currentIndex() >= 0)
        mapper->revert();
}
