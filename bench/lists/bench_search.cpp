// Types "Kultur 19" into the search field of the TV list page, a key at a time, with lists of 10,000 and
// 20,000 services open, and times each key up to the repainted table. As a user does, the page is left
// idle for a second after the list opens before the first key; the same typing straight after the
// open is shown beside it. A key may take at most 30 ms at 20,000 services, and the larger list at most
// 2.5 times the smaller.
//   QT_QPA_PLATFORM=offscreen bench_search     (BENCH_KEYS=1 prints every key)

#include "benchfigures.h"
#include "document/generatedtvlist.h"

#include "base/settings.h"
#include "lists/tvlistmodule.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHashSeed>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

const QString typed = QStringLiteral("Kultur 19");

// names of a few kinds with a number each, the numbers a permutation of the ids so that rows that match
// lie scattered over the table
QString listText(int count)
{
    return GeneratedTvList::text(
        count, {"Das Erste", "Kultur", "Sport", "Nachrichten", "Kinder", "Musik", "Film", "Regional"});
}

struct Typing
{
    double meanMs = 0;
    double worstMs = 0;
    int shown = 0;
};

Typing type(const QString &path, int count, int idleMs)
{
    TVListModule module;
    module.resize(1100, 760);
    module.show();
    module.onShow();
    module.openFile(path);
    if (module.stackedWidget->currentIndex() != 1 || module.itemsTableViewAll->model()->rowCount() != count)
        qFatal("the page did not open %s", qPrintable(path));
    module.itemsTableViewAll->sortByColumn(1, Qt::AscendingOrder);
    module.itemsTableViewAll->viewport()->repaint();
    QCoreApplication::processEvents();
    module.txtSearch->setFocus();
    if (idleMs > 0)
        QTest::qWait(idleMs);
    QList<double> keys;
    for (const QChar key : typed) {
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(module.txtSearch, key.toLatin1());
        QCoreApplication::processEvents();
        module.itemsTableViewAll->viewport()->repaint();
        keys << timer.nsecsElapsed() / 1e6;
        if (qEnvironmentVariableIsSet("BENCH_KEYS"))
            std::printf("  %s: %.2f ms\n", qPrintable(module.txtSearch->text()), keys.last());
    }
    if (module.txtSearch->text() != typed)
        qFatal("the search field reads %s", qPrintable(module.txtSearch->text()));
    Typing result;
    for (double key : keys)
        result.meanMs += key / keys.size();
    result.worstMs = *std::max_element(keys.begin(), keys.end());
    result.shown = module.itemsTableViewAll->model()->rowCount();
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    BenchFigures::prepareProcess();
    QApplication app(argc, argv);
    BenchFigures::nameApplication(QStringLiteral("search"));
    QTemporaryDir dir;
    const int sizes[2] = {10000, 20000};
    double means[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const QString path = dir.filePath(QStringLiteral("search%1.tvqvxc").arg(sizes[i]));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 2;
        file.write(qCompress(listText(sizes[i]).toUtf8(), 9));
        file.close();
        QList<Typing> rounds, rushed;
        for (int round = 0; round < 3; ++round) {
            rounds << type(path, sizes[i], 1000);
            rushed << type(path, sizes[i], 0);
        }
        const auto byMean = [](const Typing &a, const Typing &b) { return a.meanMs < b.meanMs; };
        std::sort(rounds.begin(), rounds.end(), byMean);
        std::sort(rushed.begin(), rushed.end(), byMean);
        const Typing &median = rounds.at(1);
        means[i] = median.meanMs;
        std::printf("%6d services: \"%s\" typed, %.2f ms a key (slowest key %.2f ms), %d rows shown; "
                    "straight after the open %.2f ms a key (slowest %.2f ms)\n",
                    sizes[i], qPrintable(typed), median.meanMs, median.worstMs, median.shown, rushed.at(1).meanMs,
                    rushed.at(1).worstMs);
    }
    const double growth = means[1] / means[0];
    std::printf("20,000 / 10,000: %.2f (limit 2.5); at 20,000 %.2f ms a key (limit 30)\n", growth, means[1]);
    Settings::setStringList(Settings::RecentFileList, {});
    return means[1] <= 30.0 && growth <= 2.5 ? 0 : 1;
}
