#pragma once
#include "lists/listsmoduleshared.h"
#include "ui_linklistmodule.h"

#include "document/displayeditdatamodel.h"
#include "document/parentalcontrolmodel.h"
#include "widgets/booleanmodel.h"

#include <QItemSelection>

class EnhancedDataWidgetMapper;
class ItemProperty;
class ListPanelMapper;
class LinkListProjectFileManager;
class ModelMenu;
class ObjectSortFilterProxyModel;

// The editor of a receiver's internet links and their favourite lists (module type 3).
class LinkListModule : public ListsModuleShared, public Ui::LinkListModule
{
    Q_OBJECT
public:
    // What the check on leaving a link did with it.
    enum CheckOutcome { LinkAccepted, LinkKept, LinkDeleted, NothingChecked };

    explicit LinkListModule(QWidget *parent = nullptr);
    ~LinkListModule() override;

    ModuleTypes moduleType() const override { return TypeLinkList; }
    void retranslate() override;
    ListProjectFileManager *listManager() const override;
    QString listType() const override { return QStringLiteral("link"); }
    LinkListProjectFileManager *projectManager() const { return manager; }
    DisplayEditDataModel *linkTypes() { return &linkTypeModel; }

public slots:
    void onShow() override;
    void enableForEdit(bool enabled);
    void onAllItemsDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    void onBeforePasteOrDelete();
    void onBtnHideServiceSettings();
    void onBtnSaveServiceSettings();
    void onBtnShowServiceSettings();
    void onFavListSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void onEndPasteOrDelete();
    void onItemsTableHeaderChange(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    void onLinkUrlTextEdited(const QString &text);
    void onNewItem();
    void onProjectAfterSave();
    void onProjectBeforeSave();
    void onProjectLoad();
    void onProjectUnload();
    void onServiceItemUnselected(const QItemSelection &selected, const QItemSelection &deselected);
    void onTabServicePropertiesFocusOut();
    void setCurrentModelIndex();
    void showHideColumns();

protected:
    DeviceTask *createTransferTask(const QString &mode) override;
    // A new link opens the panel on its title, whichever tab was shown.
    int newItemTab() const override { return 0; }
    PrintListsBuilder *createPrintBuilder() override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setPropertiesEditable(bool editing);
    void connectSelection(bool on);
    void connectFocusOutCheck(bool on);
    // Writes what was typed in the panel to the link before it is checked.
    void commitPanel();
    // Shows the link with this id in the panel, wherever the table shows it.
    void showInPanel(const QString &id);
    // Points the panel at the row that is current after rows went, or empties and locks it without one.
    void followCurrentRow();
    void clearPanel();
    // Checks the link in the panel (found by its id, never by a table row) as it is left.
    CheckOutcome checkEditedLink();
    void deleteEditedLink();
    void returnToEditedLink(bool urlMissing);

    LinkListProjectFileManager *manager = nullptr;
    ModelMenu *genreMenu = nullptr;
    ModelMenu *parentLockMenu = nullptr;
    ModelMenu *childrenLockMenu = nullptr;
    DisplayEditDataModel linkTypeModel;
    // The panel's own unfiltered rows, and the mapper over them while a list is loaded.
    ListPanelMapper *panelRows = nullptr;
    EnhancedDataWidgetMapper *mapper = nullptr;
    BooleanModel booleanModel;
    QList<ItemProperty *> favouriteColumns;
    bool favouriteColumnsHanded = false;
    ParentalControlModel parentalControlModel;
    // The id of the link shown in the panel: the check on leaving concerns that link only.
    QString editedId;
    // Set while the check itself moves the selection, so that move is not checked again.
    bool checking = false;
};
