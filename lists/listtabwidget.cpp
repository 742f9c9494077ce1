#include "lists/listtabwidget.h"

#include "document/docitemsdataprovider.h"
#include "document/itemproperty.h"
#include "document/listmodel.h"
#include "lists/favouritelisteditor.h"
#include "lists/liststabcornerwidget.h"
#include "widgets/messagebox.h"

#include <QEvent>
#include <QIcon>
#include <QTabBar>

namespace {
const QString listTag = QStringLiteral("list");

QList<QDomElement> listElements(const QDomElement &parent)
{
    QList<QDomElement> result;
    for (QDomElement e = parent.firstChildElement(listTag); !e.isNull(); e = e.nextSiblingElement(listTag))
        result.append(e);
    return result;
}
} // namespace

ListTabWidget::ListTabWidget(QWidget *parent)
    : STabWidget(parent)
{
    setMovable(true);
    connect(tabBar(), &QTabBar::tabMoved, this, &ListTabWidget::onTabMoved);
    tabBar()->installEventFilter(this);
    corner = new ListsTabCornerWidget;
    connect(corner, &ListsTabCornerWidget::newList, this, &ListTabWidget::createNewList, Qt::UniqueConnection);
    connect(corner, &ListsTabCornerWidget::deleteCurrentList, this, &ListTabWidget::deleteCurrentList,
            Qt::UniqueConnection);
    setCornerWidget(corner, Qt::TopRightCorner);
    setUsesScrollButtons(true);
}

ListTabWidget::~ListTabWidget()
{
    clearTabs();
    qDeleteAll(columnDefinitions);
}

bool ListTabWidget::isLocked(const QDomElement &list)
{
    return list.attribute(QStringLiteral("lock"), QStringLiteral("false"))
               .compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

QString ListTabWidget::titleOf(int index) const
{
    const QDomElement list = lists.at(index).toElement();
    const QString name = list.attribute(QStringLiteral("name"));
    return isLocked(list) && !name.isEmpty() ? name : tr("List %1").arg(index + 1);
}

void ListTabWidget::setDocument(const QDomElement &newListsElement, ItemsDatabaseModel *newItemsModel,
                                const QString &newModelName, const QList<ItemProperty *> &columns)
{
    clearTabs();
    listsProvider = new DocItemsDataProvider(newListsElement, listTag, true);
    modelName = newModelName;
    listsElement = newListsElement;
    itemsModel = newItemsModel;
    // Definitions of an earlier call that the new set does not reuse are ours to release.
    for (ItemProperty *old : std::as_const(columnDefinitions))
        if (!columns.contains(old))
            delete old;
    columnDefinitions = columns;
    for (int i = 0; i < qMin(2, columnDefinitions.size()); ++i)
        columnDefinitions.at(i)->lookupModel = itemsModel;

    lists = listsElement.elementsByTagName(listTag);
    bool anyLocked = false;
    for (int i = 0; i < lists.size(); ++i) {
        const QDomElement list = lists.at(i).toElement();
        const bool locked = isLocked(list);
        anyLocked = anyLocked || locked;
        appendList(list, locked, titleOf(i));
    }
    setMovable(!anyLocked);
    corner->setVisible(!anyLocked);
    updateCornerButtons();
}

void ListTabWidget::appendList(const QDomElement &list, bool locked, const QString &title)
{
    auto *refs = new DocItemsDataProvider(list, QStringLiteral("ref"), false);
    auto *model = new ListModel(itemsModel, refs, modelName, this);
    model->setColumns(columnDefinitions);
    auto *editor = new FavouriteListEditor(this);
    editor->setReadOnly(locked);
    refProviders.append(refs);
    models.append(model);
    editors.append(editor);
    editorConnections.append(QList<QMetaObject::Connection>());
    connectEditor(editor, true);
    editor->setModel(model);
    addTab(editor, QIcon(locked ? QStringLiteral(":/images/favStar_special") : QStringLiteral(":/images/favStar")),
           title);
}

void ListTabWidget::connectEditor(FavouriteListEditor *editor, bool on)
{
    const int i = editors.indexOf(editor);
    QList<QMetaObject::Connection> &made = editorConnections[i];
    for (const QMetaObject::Connection &c : std::as_const(made))
        disconnect(c);
    made.clear();
    if (!on)
        return;
    made << connect(editor, &FavouriteListEditor::itemsChanged, this, &ListTabWidget::itemDataChanged)
         << connect(editor, &FavouriteListEditor::itemPressed, this, &ListTabWidget::listItemPressed)
         << connect(editor, &FavouriteListEditor::createNewItemPressed, this,
                    &ListTabWidget::createNewItemButtonPressed)
         << connect(editor, &FavouriteListEditor::currentSelectionChanged, this,
                    &ListTabWidget::currentSelectionChanged);
}

void ListTabWidget::updateCornerButtons()
{
    corner->deleteListToolButton->setEnabled(count() > 1);
    corner->newListToolButton->setEnabled(count() < maximumTabCount());
}

void ListTabWidget::updateTabsText()
{
    for (int i = 0; i < count() && i < lists.size(); ++i)
        setTabText(i, titleOf(i));
}

void ListTabWidget::createNewList()
{
    if (!listsProvider)
        return;
    const DocItem created = listsProvider->insertNewItem(listsProvider->count());
    if (created.isNull())
        return;
    appendList(created, false, tr("List %1").arg(lists.size()));
    setCurrentIndex(count() - 1);
    updateCornerButtons();
    emit currentChanged(currentIndex());
}

void ListTabWidget::deleteCurrentList()
{
    if (listsProvider && count() > 1 &&
        MessageBox::questionYesNo(this, tr("Are you sure you want to delete current favourite list?"),
                                  MessageBox::No)) {
        const int i = currentIndex();
        removeTab(i);
        FavouriteListEditor *editor = editors.at(i);
        connectEditor(editor, false);
        editor->setModel(nullptr);
        editors.removeAt(i);
        editorConnections.removeAt(i);
        delete editor;
        delete models.takeAt(i);
        delete refProviders.takeAt(i);
        listsProvider->removeAt(i);
        updateTabsText();
        emit currentChanged(currentIndex());
    }
    updateCornerButtons();
}

void ListTabWidget::onTabMoved(int from, int to)
{
    // The element goes to be the to-th "list" element, whatever else the lists element holds; a plain
    // sibling move would land one short when moving forward and the tabs would no longer match the document.
    QList<QDomElement> elements = listElements(listsElement);
    if (from < 0 || from >= elements.size() || to < 0 || to >= elements.size())
        return;
    QDomElement moved = elements.takeAt(from);
    if (to < elements.size())
        listsElement.insertBefore(moved, elements.at(to));
    else
        listsElement.insertAfter(moved, elements.last());
    refProviders.move(from, to);
    editors.move(from, to);
    editorConnections.move(from, to);
    models.move(from, to);
    orderChanged = true;
    listsProvider->refresh();
}

bool ListTabWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease && orderChanged) {
        orderChanged = false;
        updateTabsText();
    }
    return STabWidget::eventFilter(watched, event);
}

void ListTabWidget::clearTabs()
{
    while (count() > 0)
        removeTab(0);
    for (int i = 0; i < editors.size(); ++i) {
        connectEditor(editors.at(i), false);
        editors.at(i)->setModel(nullptr);
        delete models.at(i); // before its refs provider, which it reads while it goes
        delete refProviders.at(i);
        delete editors.at(i);
    }
    lists = QDomNodeList();
    refProviders.clear();
    editors.clear();
    editorConnections.clear();
    models.clear();
    delete listsProvider;
    listsProvider = nullptr;
}

void ListTabWidget::retranslate()
{
    updateTabsText();
    for (int i = 0; i < editors.size(); ++i) {
        editors.at(i)->retranslate();
        models.at(i)->retranslate();
    }
}

QModelIndexList ListTabWidget::currentListSelectedRows() const
{
    const int i = currentIndex();
    if (i < 0 || i >= editors.size())
        return {};
    return editors.at(i)->selectedRows();
}

QList<int> ListTabWidget::currentListSelectedIds() const
{
    QList<int> ids;
    const int i = currentIndex();
    if (i < 0 || i >= refProviders.size())
        return ids;
    for (const QModelIndex &row : currentListSelectedRows()) {
        const QDomNode text = refProviders.at(i)->itemAt(row.row()).firstChild();
        bool ok = false;
        const int id = text.nodeValue().toInt(&ok);
        if (!text.isNull() && ok)
            ids.append(id);
    }
    return ids;
}
