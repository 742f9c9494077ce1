#pragma once
#include "lists/listsmoduleshared.h"
#include "ui_tvlistmodule.h"

#include "base/columnfilter.h"
#include "document/parentalcontrolmodel.h"
#include "widgets/booleanmodel.h"

#include <QItemSelection>

class DocItem;
class EnhancedDataWidgetMapper;
class FilterMenuModel;
class ItemProperty;
class ModelMenu;
class ObjectSortFilterProxyModel;
class TVListProjectFileManager;

// The editor of a receiver's TV services and favourite lists (module type 1).
class TVListModule : public ListsModuleShared, public Ui::TVListModule
{
    Q_OBJECT
public:
    explicit TVListModule(QWidget *parent = nullptr);
    ~TVListModule() override;

    ModuleTypes moduleType() const override { return TypeTvList; }
    void retranslate() override;
    void onShow() override;
    ListProjectFileManager *listManager() const override;
    QString listType() const override { return QStringLiteral("tv"); }
    void setMaximumListCount(int count);
    TVListProjectFileManager *projectManager() const { return manager; }

public slots:
    void taskComplete(DeviceTask *task) override;

private slots:
    void backFromExportPage();
    void moreButtonAction();
    void onAllItemsDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    void onAllListItemPressed(const QModelIndex &index);
    void onAppFocusChanged(QWidget *old, QWidget *now);
    void onBeforePasteOrDelete();
    void onBtnHideServiceSettings();
    void onBtnSaveServiceSettings();
    void onBtnShowServiceSettings();
    void onBtnOpenSavedProject2();
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
    void onServicesDataChanged();
    void onServiceItemUnselected(const QItemSelection &selected, const QItemSelection &deselected);
    void onTabServicePropertiesFocusOut();
    void SaveProject();
    void SaveProjectAs();
    void setCurrentModelIndex();
    void setupFilter();
    void showFilterTree();
    void showHideColumns();
    void showServiceDetails(bool show);
    void updateItemsListPosition(int index);

protected:
    DeviceTask *createTransferTask(const QString &mode) override;
    PrintListsBuilder *createPrintBuilder() override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int field(const char *name) const;
    void setPropertiesEditable(bool editing);
    void setListToolsEnabled(bool on);
    void checkLeftItem(const QItemSelection &deselected);
    void removeCurrentRow();
    void connectSelection(bool on);
    // Gives the new service id the number after the highest in use; returns the id it has.
    QString giveNextFreeId(const QString &id);

    TVListProjectFileManager *manager = nullptr;
    ModelMenu *epgMenu = nullptr;
    ModelMenu *providerMenu = nullptr;
    ModelMenu *genreMenu = nullptr;
    ModelMenu *parentLockMenu = nullptr;
    ModelMenu *childrenLockMenu = nullptr;
    QList<ColumnFilter> columnFilters;
    EnhancedDataWidgetMapper *mapper = nullptr;
    ObjectSortFilterProxyModel *panelModel = nullptr;
    BooleanModel booleanModel;
    FilterMenuModel *filterModel = nullptr;
    QList<ItemProperty *> favouriteColumns;
    bool favouriteColumnsHanded = false;
    ParentalControlModel parentalControlModel;
    // The id of the service being edited, so the check on leaving it concerns that service only.
    QString editedId;
};
