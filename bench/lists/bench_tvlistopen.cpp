// Opens generated TV list projects of 10,000 and 20,000 services in the TV list page, up to the editor
// page with the sorted table painted, against reading, decompressing and parsing the same file. The
// page may take at most twice the parse, and the larger list at most 2.5 times the smaller.

#include "benchfigures.h"
#include "document/generatedtvlist.h"

#include "base/settings.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/tvlistmodule.h"

#include <QApplication>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QHashSeed>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {
double open(const QString &path, int rows)
{
    TVListModule module;
    module.resize(1100, 760);
    module.show();
    module.onShow();
    QElapsedTimer timer;
    timer.start();
    module.openFile(path);
    module.itemsTableViewAll->viewport()->repaint();
    const double elapsed = timer.nsecsElapsed() / 1e6;
    if (module.stackedWidget->currentIndex() != 1 || module.itemsTableViewAll->model()->rowCount() != rows)
        qFatal("the page did not open %s", qPrintable(path));
    return elapsed;
}
} // namespace

int main(int argc, char *argv[])
{
    BenchFigures::prepareProcess();
    QApplication app(argc, argv);
    BenchFigures::nameApplication(QStringLiteral("lists"));
    QTemporaryDir dir;
    const int sizes[2] = {10000, 20000};
    double opens[2] = {0, 0};
    bool ok = true;
    for (int i = 0; i < 2; ++i) {
        const QString path = dir.filePath(QStringLiteral("bench%1.tvqvxc").arg(sizes[i]));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 2;
        file.write(qCompress(GeneratedTvList::text(sizes[i]).toUtf8(), 9));
        file.close();
        QList<double> parses, pages;
        for (int round = 0; round < 3; ++round) {
            parses << BenchFigures::bareParseMs(path);
            pages << open(path, sizes[i]);
        }
        opens[i] = BenchFigures::median(pages);
        const double ratio = opens[i] / BenchFigures::median(parses);
        std::printf("%6d services: page %8.1f ms, parse %8.1f ms, ratio %.2f (limit 2)\n", sizes[i], opens[i],
                    BenchFigures::median(parses), ratio);
        ok = ok && ratio <= 2.0;
    }
    const double growth = opens[1] / opens[0];
    std::printf("20,000 / 10,000: %.2f (limit 2.5)\n", growth);
    Settings::setStringList(Settings::RecentFileList, {});
    return ok && growth <= 2.5 ? 0 : 1;
}
