// Opens generated link list projects of 10,000 and 20,000 links in the link list page, up to the editor
// page with the sorted table painted, against reading, decompressing and parsing the same file; then
// times the check that runs when an edited link is left. Opening may take at most twice the parse, the
// check as well, and for both the larger list at most 2.5 times the smaller.

#include "base/settings.h"
#include "benchfigures.h"
#include "document/generatedlinklist.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "lists/linklistmodule.h"

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
// Opens the file in a fresh page; with checks, then edits the URL of the first row in the panel and
// leaves it for the second row, rounds times, and gives the median time of leaving.
double open(const QString &path, int rows, int checks, double *check)
{
    LinkListModule module;
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
    QList<double> leaving;
    for (int round = 0; round < checks; ++round) {
        module.itemsTableViewAll->selectRow(0);
        module.txtLinkUrl->setText(QStringLiteral("http://edited.example/%1").arg(round));
        module.txtLinkUrl->setFocus();
        QElapsedTimer leave;
        leave.start();
        module.onBtnSaveServiceSettings();
        module.itemsTableViewAll->selectRow(1);
        leaving << leave.nsecsElapsed() / 1e6;
        if (!module.projectManager()->documentText().contains(QStringLiteral("http://edited.example/%1").arg(round)))
            qFatal("the edited link was not kept");
    }
    if (check)
        *check = checks ? BenchFigures::median(leaving) : 0;
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
    double checks[2] = {0, 0};
    bool ok = true;
    for (int i = 0; i < 2; ++i) {
        const QString path = dir.filePath(QStringLiteral("bench%1.lkqvxc").arg(sizes[i]));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 2;
        file.write(qCompress(GeneratedLinkList::text(sizes[i]).toUtf8(), 9));
        file.close();
        QList<double> parses, pages;
        for (int round = 0; round < 3; ++round) {
            parses << BenchFigures::bareParseMs(path);
            pages << open(path, sizes[i], round == 0 ? 21 : 0, round == 0 ? &checks[i] : nullptr);
        }
        opens[i] = BenchFigures::median(pages);
        const double ratio = opens[i] / BenchFigures::median(parses);
        const double checkRatio = checks[i] / BenchFigures::median(parses);
        std::printf("%6d links: page %8.1f ms, parse %8.1f ms, ratio %.2f (limit 2); leaving an edited link %6.2f ms, "
                    "ratio %.3f (limit 2)\n",
                    sizes[i], opens[i], BenchFigures::median(parses), ratio, checks[i], checkRatio);
        ok = ok && ratio <= 2.0 && checkRatio <= 2.0;
    }
    const double growth = opens[1] / opens[0];
    const double checkGrowth = checks[1] / qMax(checks[0], 1e-3);
    std::printf("20,000 / 10,000: page %.2f, leaving an edited link %.2f (limit 2.5)\n", growth, checkGrowth);
    Settings::setStringList(Settings::RecentFileList, {});
    return ok && growth <= 2.5 && checkGrowth <= 2.5 ? 0 : 1;
}
