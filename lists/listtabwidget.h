#pragma once

#include "widgets/stabwidget.h"

#include <QDomElement>
#include <QDomNodeList>
#include <QItemSelection>
#include <QList>
#include <QModelIndexList>

class DocItemsDataProvider;
class FavouriteListEditor;
class ItemProperty;
class ItemsDatabaseModel;
class ListModel;
class ListsTabCornerWidget;

// The favourite lists of one list document, one tab per "list" element: create, delete after a question,
// reorder by dragging tabs. Tab i shows editor i, whose table shows model i over the refs of list i.
class ListTabWidget : public STabWidget
{
    Q_OBJECT
public:
    explicit ListTabWidget(QWidget *parent = nullptr);
    ~ListTabWidget() override;

    void setDocument(const QDomElement &listsElement, ItemsDatabaseModel *itemsModel, const QString &modelName,
                     const QList<ItemProperty *> &columns);
    void clearTabs();
    void retranslate();
    QModelIndexList currentListSelectedRows() const;
    QList<int> currentListSelectedIds() const;

public slots:
    void createNewList();
    void deleteCurrentList();

signals:
    void createNewItemButtonPressed();
    void currentSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void itemDataChanged();
    void listItemPressed(QModelIndex index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void onTabMoved(int from, int to);
    void updateTabsText();

private:
    static bool isLocked(const QDomElement &list);
    QString titleOf(int index) const;
    void appendList(const QDomElement &list, bool locked, const QString &title);
    void connectEditor(FavouriteListEditor *editor, bool on);
    void updateCornerButtons();

    ListsTabCornerWidget *corner = nullptr;
    DocItemsDataProvider *listsProvider = nullptr;
    ItemsDatabaseModel *itemsModel = nullptr;
    QList<ItemProperty *> columnDefinitions;
    QDomNodeList lists;
    QList<DocItemsDataProvider *> refProviders;
    QDomElement listsElement;
    QString modelName;
    QList<FavouriteListEditor *> editors;
    QList<ListModel *> models;
    bool orderChanged = false;
    QList<QList<QMetaObject::Connection>> editorConnections;
};
