#pragma once

#include "mediapagetest.h"

#include "media/mediaexplorermodule.h"
#include "media/pcfilesystemmodel.h"

#include <QFile>
#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// What the page does while the PC model takes selected rows out: how often each of the page's views reported the
// row worked on (each report has the page work its controls out again), and how many rows of the folder the model
// took out one at a time (each a change of the selection).
class SelectionWatch
{
public:
    SelectionWatch(MediaExplorerModule *page, const QString &folder)
        : folder(page->pcModel()->index(folder))
        , browser(page->tvPcSpecialFolders, &MediaExplorerTreeView::itemSelected)
        , tree(page->tvPcFolders, &MediaExplorerTreeView::itemSelected)
    {
        QObject::connect(page->pcModel(), &QAbstractItemModel::rowsAboutToBeRemoved, &context,
                         [this](const QModelIndex &parent, int first, int last) {
                             if (parent == this->folder && first == last)
                                 ++oneByOne;
                         });
    }
    qsizetype reports() const { return browser.size() + tree.size(); }
    int rowsTakenOutOneByOne() const { return oneByOne; }

private:
    QPersistentModelIndex folder;
    QSignalSpy browser, tree;
    QObject context;
    int oneByOne = 0;
};

// Files f00000.ts, f00001.ts, ... in folder.
inline QString numbered(int i)
{
    return QStringLiteral("f%1.ts").arg(i, 5, 10, QLatin1Char('0'));
}

inline bool makeNumbered(const QString &folder, int files)
{
    for (int i = 0; i < files; ++i)
        if (!QFile(folder + u'/' + numbered(i)).open(QIODevice::WriteOnly))
            return false;
    return true;
}

// Whether the page's browser shows folder with its files numbered 0 to files - 1, all listed and in order (the
// framework sorts a while after the rows came).
inline bool listedInOrder(MediaExplorerModule *page, const QString &folder, int files)
{
    PcFileSystemModel *model = page->pcModel();
    const QModelIndex at = model->index(folder);
    return page->tvPcSpecialFolders->rootIndex() == at && model->rowCount(at) == files &&
           model->index(0, 0, at).data().toString() == numbered(0) &&
           model->index(files - 1, 0, at).data().toString() == numbered(files - 1);
}

// The page tests that select many PC rows.
class SelectionPageTest : public MediaPageTest
{
protected:
    // The browser opened at folder, which holds files numbered 0 to files - 1 (never rebuilt in one go), all listed
    // in order, and the row numbered first clicked.
    QTreeView *browseNumbered(const QString &folder, int files, int first)
    {
        QTreeView *view = page->tvPcSpecialFolders;
        if (!QDir().mkpath(folder) || !makeNumbered(folder, files))
            return nullptr;
        page->pcModel()->setRemovalBudget(std::numeric_limits<qint64>::max());
        browseTo(folder);
        if (!QTest::qWaitFor([&] { return listedInOrder(page.get(), folder, files); }, 60000))
            return nullptr;
        click(view, pcIndex(folder + u'/' + numbered(first)));
        return view;
    }
};
