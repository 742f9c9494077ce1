// Pastes every service of a TV list into a favourite list on the TV list page, with lists of 10,000 and
// 20,000 services, two ways: copied in a list that is then closed and pasted into "List 1" of a new list
// (the services come in as new entries, then onto the list), and pasted into an empty favourite list of
// the same document. Each paste is timed from Ctrl+V until the list holds every service and the page
// takes input again, with the longest pause of the GUI thread meanwhile (a 10 ms timer notes the largest
// gap between its ticks). Opening the same list in the page is timed beside it, the part of a download
// that is the page's own.
// Goals: the larger paste at most 2.4 times the smaller (near-linear), no pause over 250 ms, and a paste
// of 20,000 services into a new list at most twice the opening of the same list.
//   QT_QPA_PLATFORM=offscreen bench_paste

#include "benchfigures.h"
#include "document/generatedtvlist.h"

#include "base/settings.h"
#include "document/listdocument.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/favouritelisteditor.h"
#include "lists/listtabwidget.h"
#include "lists/tvlistmodule.h"
#include "widgets/itemstableview.h"
#include "widgets/messagebox.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

// The largest gap between ticks of a 10 ms timer on the GUI thread while it runs.
class PauseMeter : public QObject
{
public:
    PauseMeter()
    {
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, [this] { longest = qMax(longest, clock.restart()); });
    }
    void start()
    {
        longest = 0;
        clock.start();
        timer.start();
    }
    qint64 stop()
    {
        timer.stop();
        return qMax(longest, clock.elapsed());
    }

private:
    QTimer timer;
    QElapsedTimer clock;
    qint64 longest = 0;
};

struct Paste
{
    double openMs = 0;
    double pasteMs = 0;
    qint64 pauseMs = 0;
};

FavouriteListEditor *favourites(TVListModule &module)
{
    return static_cast<FavouriteListEditor *>(module.listsTabWidget->currentWidget());
}

// Pastes the clipboard into the current favourite list, which ends up holding count entries.
void pasteInto(TVListModule &module, int list, int count, Paste *result)
{
    FavouriteListEditor *editor = favourites(module);
    editor->tblItems->clearSelection();
    editor->tblItems->setFocus();
    QCoreApplication::processEvents();
    PauseMeter meter;
    meter.start();
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(editor->tblItems, Qt::Key_V, Qt::ControlModifier);
    if (!BenchFigures::waitFor(
            [&] {
                return module.isEnabled() && editor->tblItems->isEnabled() &&
                       editor->tblItems->model()->rowCount() == count &&
                       module.projectManager()->readLists().value(list).size() == count;
            },
            300000))
        qFatal("the paste of %d services did not end: %d rows, %d on the list, %d services", count,
               editor->tblItems->model()->rowCount(), int(module.projectManager()->readLists().value(list).size()),
               module.itemsTableViewAll->model()->rowCount());
    editor->tblItems->viewport()->repaint();
    module.itemsTableViewAll->viewport()->repaint();
    result->pasteMs = clock.nsecsElapsed() / 1e6;
    result->pauseMs = meter.stop();
}

void copyAll(TVListModule &module)
{
    module.itemsTableViewAll->setFocus();
    QTest::keyClick(module.itemsTableViewAll, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(module.itemsTableViewAll, Qt::Key_C, Qt::ControlModifier);
}

Paste run(int count, bool newList)
{
    const QString text = GeneratedTvList::text(count);
    TVListModule module;
    module.resize(1100, 760);
    module.show();
    module.onShow();
    QApplication::setActiveWindow(&module);
    Paste result;
    QElapsedTimer clock;
    clock.start();
    if (!module.projectManager()->newProject(text))
        qFatal("the list did not open");
    module.itemsTableViewAll->viewport()->repaint();
    QCoreApplication::processEvents();
    result.openMs = clock.nsecsElapsed() / 1e6;
    if (module.itemsTableViewAll->model()->rowCount() != count)
        qFatal("the page did not show the list");
    copyAll(module);
    if (newList) {
        if (!module.projectManager()->newProject(ListDocument::emptyDocumentXml(4)))
            qFatal("no new list");
        module.listsTabWidget->setCurrentIndex(0);
        pasteInto(module, 0, count, &result);
        if (module.itemsTableViewAll->model()->rowCount() != count)
            qFatal("the services did not come in");
    } else {
        module.listsTabWidget->createNewList();
        const int list = module.listsTabWidget->currentIndex();
        pasteInto(module, list, count, &result);
    }
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    BenchFigures::prepareProcess();
    QApplication app(argc, argv);
    BenchFigures::nameApplication(QStringLiteral("paste"));
    // the list copied from is not saved
    MessageBox::setAnswerHook([](QDialog *box) { MessageBox::clickButton(box, QStringLiteral("&No")); });
    const int sizes[] = {10000, 20000};
    Paste fresh[2];
    Paste same[2];
    for (int i = 0; i < 2; ++i) {
        fresh[i] = run(sizes[i], true);
        same[i] = run(sizes[i], false);
        std::printf("%d services: open %.0f ms; pasted into a new list %.0f ms (longest pause %lld ms), into a "
                    "list of the same document %.0f ms (longest pause %lld ms)\n",
                    sizes[i], fresh[i].openMs, fresh[i].pasteMs, fresh[i].pauseMs, same[i].pasteMs, same[i].pauseMs);
    }
    const double freshRatio = fresh[1].pasteMs / fresh[0].pasteMs;
    const double sameRatio = same[1].pasteMs / same[0].pasteMs;
    const qint64 pause = qMax(qMax(fresh[0].pauseMs, fresh[1].pauseMs), qMax(same[0].pauseMs, same[1].pauseMs));
    std::printf("ratio 20,000 to 10,000: new list %.2f, same document %.2f (limit 2.40)\n", freshRatio, sameRatio);
    std::printf("longest pause of the window %lld ms (limit 250 ms)\n", pause);
    std::printf("paste of 20,000 into a new list against opening them: %.2f (limit 2.00)\n",
                fresh[1].pasteMs / fresh[1].openMs);
    const bool ok = freshRatio <= 2.4 && sameRatio <= 2.4 && pause <= 250 && fresh[1].pasteMs <= 2 * fresh[1].openMs;
    std::printf("%s\n", ok ? "within the goals" : "OUTSIDE the goals");
    return ok ? 0 : 1;
}
