// Opens and saves TV list projects of 10,000 and 20,000 services and checks that the larger one takes at
// most 2.5 times as long (nothing in the path grows faster than the list).

#include "benchfigures.h"
#include "document/generatedtvlist.h"

#include "base/settings.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/tvlistprojectfilemanager.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHashSeed>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <cstdio>

namespace {
struct Times
{
    double open = 0;
    double save = 0;
};

Times measure(const QString &path, QWidget *parent, int rounds)
{
    QList<double> opens, saves;
    for (int round = 0; round < rounds; ++round) {
        TVListProjectFileManager manager(parent);
        QElapsedTimer timer;
        timer.start();
        if (!manager.loadFile(path))
            qFatal("could not open %s", qPrintable(path));
        opens << timer.nsecsElapsed() / 1e6;
        manager.itemsModel->setData(manager.itemsModel->index(0, 1), QStringLiteral("Changed %1").arg(round),
                                    Qt::EditRole);
        timer.restart();
        manager.saveProject();
        saves << timer.nsecsElapsed() / 1e6;
        if (manager.isModified())
            qFatal("save failed");
    }
    std::sort(opens.begin(), opens.end());
    std::sort(saves.begin(), saves.end());
    return {opens.at(rounds / 2), saves.at(rounds / 2)};
}
} // namespace

int main(int argc, char *argv[])
{
    BenchFigures::prepareProcess();
    QApplication app(argc, argv);
    BenchFigures::nameApplication(QStringLiteral("listfiles"));
    QTemporaryDir dir;
    QWidget parent;

    Times times[2];
    const int sizes[2] = {10000, 20000};
    for (int i = 0; i < 2; ++i) {
        const QString path = dir.filePath(QStringLiteral("bench%1.tvqvxc").arg(sizes[i]));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 2;
        file.write(qCompress(GeneratedTvList::text(sizes[i]).toUtf8(), 9));
        file.close();
        times[i] = measure(path, &parent, 5);
        std::printf("%6d services: open %8.1f ms, save %8.1f ms (median of 5)\n", sizes[i], times[i].open,
                    times[i].save);
    }
    const double openRatio = times[1].open / times[0].open;
    const double saveRatio = times[1].save / times[0].save;
    std::printf("ratio 20,000 / 10,000: open %.2f, save %.2f (limit 2.5)\n", openRatio, saveRatio);
    Settings::setStringList(Settings::RecentFileList, {});
    return openRatio <= 2.5 && saveRatio <= 2.5 ? 0 : 1;
}
