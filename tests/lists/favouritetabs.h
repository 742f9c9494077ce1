#pragma once

#include "document/itemproperty.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/listtabwidget.h"

#include <QString>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <memory>

// What the tests of the favourite-list tabs share: a TV list of plain services, and the tabs on it in a
// window of their own.

// A TV list of count services "S<id>", ids from firstId on, with lists as its lists element.
inline QString tvDocument(const QString &lists, int count = 4, int firstId = 0)
{
    QString items;
    for (int id = firstId; id < firstId + count; ++id)
        items += QStringLiteral("<tvService id=\"%1\"><name>S%1</name></tvService>").arg(id);
    return "<?xml version='1.0' encoding='utf-8'?>\n<TDocument><documentProperties/><items>" + items +
           "</items><lists>" + lists + "</lists></TDocument>\n";
}

// A new window holding the tabs, and a new project of text: the tabs are made first so that they go first,
// before the document they show.
inline void makeTabsWindow(std::unique_ptr<QWidget> &window, ListTabWidget *&tabs, TVListProjectFileManager *&manager,
                           const QString &text)
{
    window = std::make_unique<QWidget>();
    window->resize(700, 400);
    tabs = new ListTabWidget(window.get());
    manager = new TVListProjectFileManager(window.get());
    QVERIFY(manager->newProject(text));
}

// The tabs, at most maximum of them, on the project's lists with two name columns, in the window shown.
inline void showTabs(QWidget *window, ListTabWidget *tabs, TVListProjectFileManager *manager, int maximum)
{
    tabs->resize(700, 400);
    tabs->setMaximumTabCount(maximum);
    auto column = [] {
        return new ItemProperty("Name", "Name", QString(), 69,
                                Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled, {}, nullptr, 1);
    };
    tabs->setDocument(manager->document->lists, manager->itemsModel, "_ref", {column(), column()});
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

// The favourite lists of a list file as a fresh manager reads them; empty when the file does not open.
inline QList<QList<int>> listsOfFile(const QString &path)
{
    TVListProjectFileManager reader(nullptr);
    if (!reader.loadFile(path) || !reader.isProjectLoaded())
        return {};
    return reader.readLists();
}

// 0, 1, ... count - 1 in some order: what a whole paste of every service puts on a list.
inline bool holdsEveryService(QList<int> ids, int count)
{
    std::sort(ids.begin(), ids.end());
    for (int i = 0; i < ids.size(); ++i)
        if (ids.at(i) != i)
            return false;
    return ids.size() == count;
}
