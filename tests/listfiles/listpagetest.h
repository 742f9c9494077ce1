#pragma once

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QApplication>
#include <QList>
#include <QSize>
#include <QString>

#include <memory>

class ZBDeviceInfo;

// What the list page tests share.

// A page shown at a size that holds its panels, for a receiver's description and, when given, a list text.
template<class Page>
std::unique_ptr<Page> showListPage(ZBDeviceInfo *info, const QString &text, QSize size = QSize(1100, 760))
{
    auto page = std::make_unique<Page>();
    page->setDeviceInfo(info);
    page->resize(size);
    page->show();
    page->onShow();
    QApplication::setActiveWindow(page.get());
    if (!text.isEmpty())
        page->projectManager()->newProject(text);
    return page;
}

// The row of the item with this id in the page's all-items table as shown, or -1.
template<class Page> int rowOfId(Page *page, const QString &id)
{
    QAbstractItemModel *model = page->itemsTableViewAll->model();
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->index(row, 8).data().toString() == id)
            return row;
    return -1;
}

// The "Create new" button of the favourite list shown.
template<class Page> QAbstractButton *favouriteListCreateButton(Page *page)
{
    for (auto *button : page->listsTabWidget->currentWidget()->template findChildren<QAbstractButton *>())
        if (button->objectName() == QLatin1String("btnCreateNewItem2") && button->isVisible())
            return button;
    return nullptr;
}

// Links with ids as given, titled "Link <id>" with the URL "http://<id>", each on favourite list 0.
inline QString linkDocument(const QList<int> &ids)
{
    QString text = QStringLiteral("<?xml version='1.0' encoding='utf-8'?>\n<TDocument><documentProperties/><items>");
    for (int id : ids)
        text += QStringLiteral("<link id=\"%1\"><title>Link %1</title><url>http://%1</url><type>website</type></link>")
                    .arg(id);
    text += QStringLiteral("</items><lists><list id=\"0\">");
    for (int id : ids)
        text += QStringLiteral("<ref>%1</ref>").arg(id);
    text += QStringLiteral("</list><list id=\"1\"/><list id=\"2\"/><list id=\"3\"/></lists></TDocument>\n");
    return text;
}
