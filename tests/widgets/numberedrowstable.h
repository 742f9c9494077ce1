#pragma once

#include "widgetsfixture.h"

#include "widgets/itemlistview.h"

#include <QSortFilterProxyModel>
#include <QStandardItemModel>

#include <memory>

// A table of the program (a favourite list's, over a sorting and filtering proxy) with the rows "r0".."r199" in
// two columns, in a shown window, both models under testers: what the input-rule tests aim at.
struct NumberedRowsTable
{
    std::unique_ptr<TestWindow> win;
    ItemListView *table = nullptr;
    std::unique_ptr<QStandardItemModel> source; // "r0".."r199", 2 columns
    std::unique_ptr<QSortFilterProxyModel> proxy;

    void openTable()
    {
        win = std::make_unique<TestWindow>();
        table = win->add(new ItemListView);
        table->setFixedSize(300, 300);
        source = std::make_unique<QStandardItemModel>(0, 2);
        for (int row = 0; row < 200; ++row)
            source->appendRow({new QStandardItem(QStringLiteral("r%1").arg(row)),
                               new QStandardItem(QStringLiteral("second %1").arg(row))});
        proxy = std::make_unique<QSortFilterProxyModel>();
        tested(source.get());
        proxy->setSourceModel(source.get());
        tested(proxy.get());
        table->setModel(proxy.get());
        win->show();
    }
    void closeTable()
    {
        win.reset();
        table = nullptr;
        proxy.reset();
        source.reset();
    }
};
