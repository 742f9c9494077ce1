#pragma once
#include "lists/listsmoduleshared.h"

#include "document/parentalcontrolmodel.h"
#include "widgets/booleanmodel.h"

#include <QItemSelection>

class BasicEditPanel;
class CsvTableWidget;
class DocItem;
class EditableComboBox;
class ItemProperty;
class ModelMenu;
class MultipleChoiceWidget;
class ObjectSortFilterProxyModel;
class PrintServiceListsBuilder;
class QCheckBox;
class QGridLayout;
class QLineEdit;
class ServiceListProjectFileManager;
class ServicePanelMapper;
class TabWidget;
class TvAdvancedSettingsItemDelegateWidget;

// The editing of a receiver's services and favourite lists, shared by the TV and the radio list pages:
// they differ only in their form, manager, print builder and transfer task, the translation context of
// the page's own texts and a few behaviours, which the concrete page gives through the hooks below.
class ServiceListModule : public ListsModuleShared
{
    Q_OBJECT
public:
    // The widgets the service editing reaches, filled from the concrete form after setupUi.
    struct ServiceFormWidgets : FormWidgets
    {
        QWidget *watchVideoTutorialLinkButton = nullptr;
        QAbstractButton *btnHideServiceSettings = nullptr;
        QAbstractButton *btnSaveServiceSettings = nullptr;
        QAbstractButton *btnCancelServiceSetting = nullptr;
        CsvTableWidget *frGenreList = nullptr;
        TvAdvancedSettingsItemDelegateWidget *detailedSettingsWidget = nullptr;
        QGridLayout *gridLayout = nullptr;
        QStackedWidget *serviceOrLinkSW = nullptr;
        EditableComboBox *linkTypeComboBox = nullptr;
        EditableComboBox *linkGenreComboBox = nullptr;
        QAbstractButton *saveProjectCommandLinkButton = nullptr;
        QAbstractButton *saveAsProjectCommandLinkButton = nullptr;
        QAbstractButton *btnExportAsProject = nullptr;
        QAbstractButton *btnPrintProject = nullptr;
        QAbstractButton *backCommandLinkButton = nullptr;
        QAbstractButton *btnCreateNewProject = nullptr;
        QAbstractButton *btnOpenSavedProject = nullptr;
        QAbstractButton *btnOpenSavedProject2 = nullptr;
        QAbstractButton *backFromExportPageCommandLinkButton = nullptr;
        QAbstractButton *moreCommandLinkButton = nullptr;
        QCheckBox *epgCheckBox = nullptr;
        QCheckBox *parentLockCheckBox = nullptr;
        MultipleChoiceWidget *parentalControlMultipleChoice = nullptr;
        QWidget *lblProvider = nullptr;
        // The two editors the forms name differently: the service's name and its provider.
        QLineEdit *nameEdit = nullptr;
        EditableComboBox *providerBox = nullptr;
    };

    // The widgets both service forms hold under the same object names.
    template<class Form> static ServiceFormWidgets widgetsOf(Form *form)
    {
        ServiceFormWidgets w;
        w.stackedWidget = form->stackedWidget;
        w.dataTransferPageStatusLabel = form->dataTransferPageStatusLabel;
        w.dataTransferProgressBar = form->dataTransferProgressBar;
        w.dataTransferPageButton = form->dataTransferPageButton;
        w.btnDownloadLists = form->btnDownloadLists;
        w.btnDownloadDeviceLists = form->btnDownloadDeviceLists;
        w.btnUploadDeviceLists = form->btnUploadDeviceLists;
        w.itemsTableViewAll = form->itemsTableViewAll;
        w.listsTabWidget = form->listsTabWidget;
        w.watchVideoTutorialLinkButton = form->watchVideoTutorialLinkButton;
        w.tabServiceProperties = form->tabServiceProperties;
        w.btnHideServiceSettings = form->btnHideServiceSettings;
        w.btnSaveServiceSettings = form->btnSaveServiceSettings;
        w.btnShowServiceSettings = form->btnShowServiceSettings;
        w.btnCancelServiceSetting = form->btnCancelServiceSetting;
        w.frGenreList = form->frGenreList;
        w.basicServicesEdit = form->basicServicesEdit;
        w.detailedSettingsWidget = form->detailedSettingsWidget;
        w.gridLayout = form->gridLayout;
        w.serviceOrLinkSW = form->serviceOrLinkSW;
        w.linkTypeComboBox = form->linkTypeComboBox;
        w.linkGenreComboBox = form->linkGenreComboBox;
        w.saveProjectCommandLinkButton = form->saveProjectCommandLinkButton;
        w.saveAsProjectCommandLinkButton = form->saveAsProjectCommandLinkButton;
        w.btnExportAsProject = form->btnExportAsProject;
        w.btnPrintProject = form->btnPrintProject;
        w.backCommandLinkButton = form->backCommandLinkButton;
        w.btnCreateNewItem = form->btnCreateNewItem;
        w.filterToolButton = form->filterToolButton;
        w.showHideColumnsToolButton = form->showHideColumnsToolButton;
        w.txtSearch = form->txtSearch;
        w.btnCreateNewProject = form->btnCreateNewProject;
        w.btnOpenSavedProject = form->btnOpenSavedProject;
        w.btnOpenSavedProject2 = form->btnOpenSavedProject2;
        w.backFromExportPageCommandLinkButton = form->backFromExportPageCommandLinkButton;
        w.moreCommandLinkButton = form->moreCommandLinkButton;
        w.epgCheckBox = form->epgCheckBox;
        w.parentLockCheckBox = form->parentLockCheckBox;
        w.parentalControlMultipleChoice = form->parentalControlMultipleChoice;
        w.frServiceSettingsButtons = form->frServiceSettingsButtons;
        w.frAllItemsContainer = form->frAllItemsContainer;
        w.frServiceProperties = form->frServiceProperties;
        w.listsSplitter = form->listsSplitter;
        w.toolsFrame = form->toolsFrame;
        w.itemsToolBar = form->itemsToolBar;
        w.lblAllServices = form->lblAllServices;
        w.lblProvider = form->lblProvider;
        return w;
    }

    explicit ServiceListModule(QWidget *parent = nullptr);
    ~ServiceListModule() override;

    void retranslate() override;
    ListProjectFileManager *listManager() const override;

public slots:
    // The window calls it each time the page becomes current; the first call wires the page.
    void onShow() override;
    void taskComplete(DeviceTask *task) override;

private slots:
    void onAllItemsDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    void onBeforePasteOrDelete();
    void onBtnHideServiceSettings();
    void onBtnSaveServiceSettings();
    void onBtnShowServiceSettings();
    void onEndPasteOrDelete();
    void onFavListSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void onItemSelected(const DocItem &item);
    void onItemsTableHeaderChange(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    void onNewItem();
    void onPredefinedSatellitesButtonClicked();
    void onProjectLoad();
    void onProjectUnload();
    void onProjectBeforeSave();
    void onProjectAfterSave();
    void onServiceItemUnselected(const QItemSelection &selected, const QItemSelection &deselected);
    void onTabServicePropertiesFocusOut();
    void setCurrentModelIndex();
    void showHideColumns();

protected:
    // Called by the concrete page's constructor once its form is set up and its manager made.
    void setUpServiceEditing(const ServiceFormWidgets &widgets, ServiceListProjectFileManager *listManager);
    // The context the page's own texts are translated in: the concrete page's class name.
    virtual const char *translationContext() const = 0;
    // The source text of a new service's name, with %1 for its id.
    virtual const char *newItemText() const = 0;
    // A request of the concrete page's task type for the receiver's description.
    virtual DeviceTask *createDeviceInfoTask(const QMap<QString, QString> &parameters) = 0;
    // A page builder of the module's kind over its manager; the satellite names are set here.
    virtual PrintServiceListsBuilder *makePrintBuilder() = 0;
    PrintListsBuilder *createPrintBuilder() override;
    // The form's own retranslateUi on the page.
    virtual void retranslateForm() = 0;
    // Run once on the first show, after the tuning editor's page is chosen.
    virtual void prepareTuningEditor() {}
    // A new service opens the panel on its tuning data.
    int newItemTab() const override { return 2; }
    // Whether the details panel closes after a paste or delete in the items table.
    virtual bool hidesDetailsAfterPasteOrDelete() const { return true; }
    // Whether a favourite-list selection with no rows keeps the rows remembered for printing.
    virtual bool keepsRowsOnEmptyFavouriteSelection() const { return true; }

    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    QString text(const char *source) const;

    ServiceListProjectFileManager *manager = nullptr;
    ServiceFormWidgets ui;

private:
    void setPropertiesEditable(bool editing);
    void checkLeftItem(const QItemSelection &deselected);
    void removeCurrentRow();
    void connectSelection(bool on);
    // Points the panel at the row that is current after rows went, or empties and locks it without one.
    void followCurrentRow();

    ModelMenu *epgMenu = nullptr;
    ModelMenu *providerMenu = nullptr;
    ModelMenu *genreMenu = nullptr;
    ModelMenu *parentLockMenu = nullptr;
    ModelMenu *childrenLockMenu = nullptr;
    ServicePanelMapper *panel = nullptr;
    BooleanModel booleanModel;
    QList<ItemProperty *> favouriteColumns;
    bool favouriteColumnsHanded = false;
    ParentalControlModel parentalControlModel;
    // The id of the service being edited, so the check on leaving it concerns that service only.
    QString editedId;
    // The description request in flight, known by address only to tell it apart when it ends.
    DeviceTask *deviceInfoTask = nullptr;
};
