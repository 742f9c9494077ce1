// Prints TV lists of 10,000 and 20,000 services with full tuning data to PDF in each format, and builds
// their pages alone (all entries; a selection of every entry). Checks that the larger list takes at most
// 2.5 times as long and that building the pages is at most a quarter of the print, and reports the
// memory a print adds. Reports the same prints to a printer, whose pages are all recorded first, and
// the prints of 20,000 services whose names wrap, per page against those of short names.

#include "exchange/listsprintdialog.h"
#include "exchange/printtvlistsbuilder.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "widgets/messagebox.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QHashSeed>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <malloc.h>

namespace {

// Services of the four reception types with their tuning elements as the receivers write them, spread
// over four favourite lists that hold every entry once.
// With a name length, every name is filled up to it with words, so that it wraps in its column.
QString generatedList(int count, int nameLength = 0)
{
    static const QString words = QStringLiteral(" WESTDEUTSCHER RUNDFUNK MEDIATHEK WISSENSCHAFT MAGAZIN DOKUMENTATION "
                                                "WELTWEIT EMPFANG HD");
    QString text;
    QTextStream out(&text);
    out << "<TDocument><documentProperties/><items>";
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("Service ") + QString::number((i * 7919LL) % count);
        out << "<tvService id=\"" << i << "\" epgMarked=\"" << i % 2 << "\"><name>"
            << (nameLength > 0 ? (name + words).left(nameLength) : name) << "</name><provider>Provider " << i % 97
            << "</provider><genres>News;Sport</genres><childrenLock>" << i % 3 << "</childrenLock><details>";
        switch (i % 4) {
        case 0:
            out << "<config type=\"satellite\"><satellite position=\"" << (i % 2 ? 192 : -50) << "\"/><transponderFreq>"
                << 10700 + i % 2000 << ".75</transponderFreq><p>" << (i % 2 ? "h" : "v")
                << "</p><symRate>27500</symRate><sid>" << i << "</sid></config>";
            break;
        case 1:
            out << "<config type=\"cable\"><freq>" << 300 + i % 500 << "</freq><symRate>6900</symRate><sid>" << i
                << "</sid></config>";
            break;
        case 2:
            out << "<config type=\"terrestrial\"><freq>" << 474000 + i % 100 << "</freq><sid>" << i
                << "</sid></config>";
            break;
        default:
            out << "<config type=\"analog\"><freq>175.25</freq></config>";
        }
        out << "</details></tvService>";
    }
    out << "</items><lists>";
    for (int list = 0; list < 4; ++list) {
        out << "<list id=\"" << list << "\">";
        for (int i = list * count / 4; i < (list + 1) * count / 4; ++i)
            out << "<ref>" << i << "</ref>";
        out << "</list>";
    }
    out << "</lists></TDocument>";
    out.flush();
    return text;
}

// CPU time of the process: the machine the benchmarks share may be busy, and what is measured here
// is the work a print does, not how long it waits for a core.
double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

struct Figures
{
    double print[3] = {};
    double buildAll[3] = {};
    double buildSelection[3] = {};
    qint64 addedKb[3] = {};
    double printerPrint[3] = {};
    qint64 printerAddedKb[3] = {};
};

const char *const formats[] = {"rbFormatDetailed", "rbFormatCompact", "rbFormatHandout"};
const char *const names[] = {"detailed", "compact", "handout"};

Figures measure(int count, const QString &folder)
{
    Figures figures;
    TVListProjectFileManager manager(nullptr);
    if (!manager.newProject(generatedList(count)))
        qFatal("could not load the generated list");
    QList<int> all;
    for (int i = 0; i < count; ++i)
        all << i;
    PrintTVListsBuilder builder(&manager);
    builder.setItems(all);
    builder.setHeaderRow(1);
    builder.setCurrentList(0);
    builder.setSatelliteNames({{192, QStringLiteral("Astra")}});
    QString (PrintListsBuilder::*pages[])(int, bool, bool, int, int) = {&PrintListsBuilder::buildDetailedPage,
                                                                        &PrintListsBuilder::buildCompactPage,
                                                                        &PrintListsBuilder::buildHandoutPage};
    for (int format = 0; format < 3; ++format) {
        const QString path = QStringLiteral("%1/%2-%3.pdf").arg(folder).arg(count).arg(QLatin1String(names[format]));
        MessageBox::setAnswerHook([path](QDialog *box) {
            if (auto *files = qobject_cast<QFileDialog *>(box)) {
                files->selectFile(path);
                static_cast<QDialog *>(files)->done(QDialog::Accepted);
            }
        });
        builder.setSelection({});
        ListsPrintDialog dialog(nullptr, &builder);
        dialog.show();
        dialog.findChild<QRadioButton *>(QLatin1String(formats[format]))->setChecked(true);
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5"); // resets the peak resident size
        clear.close();
        const qint64 before = statusKb("VmRSS:");
        double start = cpuMs();
        emit dialog.findChild<QPushButton *>(QStringLiteral("btnPrint"))->pressed();
        figures.print[format] = cpuMs() - start;
        figures.addedKb[format] = statusKb("VmHWM:") - before;
        if (!QFile::exists(path))
            qFatal("the print wrote no file");
        QFile::remove(path);
        MessageBox::setAnswerHook({});

        // the same print to a printer (a PDF file stands in): every page is recorded before the printer
        // gets any, so that Cancel can still withdraw the whole job
        ListsPrintDialog::setPrinterStandInForTests(path);
        {
            ListsPrintDialog toPrinter(nullptr, &builder);
            toPrinter.show();
            toPrinter.findChild<QRadioButton *>(QLatin1String(formats[format]))->setChecked(true);
            if (clear.open(QIODevice::WriteOnly))
                clear.write("5");
            clear.close();
            const qint64 printerBefore = statusKb("VmRSS:");
            const double printerStart = cpuMs();
            emit toPrinter.findChild<QPushButton *>(QStringLiteral("btnPrint"))->pressed();
            figures.printerPrint[format] = cpuMs() - printerStart;
            figures.printerAddedKb[format] = statusKb("VmHWM:") - printerBefore;
        }
        ListsPrintDialog::setPrinterStandInForTests({});
        malloc_trim(0); // the recorded pages' memory goes back, so the next print starts as the others
        if (!QFile::exists(path))
            qFatal("the print to a printer wrote nothing");
        QFile::remove(path);

        // the pages alone, as the print asked for them (the builder keeps the print's geometry)
        for (bool selection : {false, true}) {
            builder.setSelection(selection ? all : QList<int>());
            const int pageCount = builder.pageCount(count);
            start = cpuMs();
            builder.beginRun();
            qint64 size = 0;
            for (int page = 1; page <= pageCount; ++page)
                size += (builder.*pages[format])(page, true, selection, -1, -1).size();
            builder.endRun();
            (selection ? figures.buildSelection : figures.buildAll)[format] = cpuMs() - start;
            if (size == 0)
                qFatal("no page was built");
        }
    }
    return figures;
}

// CPU time and pages of a print to PDF of count services in format, names of nameLength characters.
QPair<double, int> printOnce(int count, int nameLength, int format, const QString &folder)
{
    TVListProjectFileManager manager(nullptr);
    if (!manager.newProject(generatedList(count, nameLength)))
        qFatal("could not load the generated list");
    PrintTVListsBuilder builder(&manager);
    builder.setHeaderRow(1);
    const QString path = QStringLiteral("%1/wrapping-%2.pdf").arg(folder).arg(nameLength);
    MessageBox::setAnswerHook([path](QDialog *box) {
        if (auto *files = qobject_cast<QFileDialog *>(box)) {
            files->selectFile(path);
            static_cast<QDialog *>(files)->done(QDialog::Accepted);
        }
    });
    ListsPrintDialog dialog(nullptr, &builder);
    dialog.show();
    dialog.findChild<QRadioButton *>(QLatin1String(formats[format]))->setChecked(true);
    const double start = cpuMs();
    emit dialog.findChild<QPushButton *>(QStringLiteral("btnPrint"))->pressed();
    const double ms = cpuMs() - start;
    MessageBox::setAnswerHook({});
    QFile pdf(path);
    if (!pdf.open(QIODevice::ReadOnly))
        qFatal("the print wrote no file");
    // every page object of the file names its type once
    const int pages = int(pdf.readAll().count("/Type /Page\n"));
    pdf.close();
    QFile::remove(path);
    return {ms, pages};
}

} // namespace

int main(int argc, char *argv[])
{
    QHashSeed::setDeterministicGlobalSeed();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // no printer: the print goes to a PDF file
    qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zembrak"));
    QCoreApplication::setApplicationName(QStringLiteral("Ombrelay Bench print"));
    QTemporaryDir folder;

    // the best of three rounds, the two sizes taking turns
    Figures small, large;
    for (int round = 0; round < 3; ++round) {
        for (int count : {10000, 20000}) {
            const Figures f = measure(count, folder.path());
            Figures &best = count == 10000 ? small : large;
            for (int i = 0; i < 3; ++i) {
                best.print[i] = round ? std::min(best.print[i], f.print[i]) : f.print[i];
                best.buildAll[i] = round ? std::min(best.buildAll[i], f.buildAll[i]) : f.buildAll[i];
                best.buildSelection[i] =
                    round ? std::min(best.buildSelection[i], f.buildSelection[i]) : f.buildSelection[i];
                best.addedKb[i] = round ? std::max(best.addedKb[i], f.addedKb[i]) : f.addedKb[i];
                best.printerPrint[i] = round ? std::min(best.printerPrint[i], f.printerPrint[i]) : f.printerPrint[i];
                best.printerAddedKb[i] =
                    round ? std::max(best.printerAddedKb[i], f.printerAddedKb[i]) : f.printerAddedKb[i];
            }
        }
    }
    bool ok = true;
    auto verdict = [&ok](bool pass) {
        ok = ok && pass;
        return pass ? "ok" : "TOO SLOW";
    };
    for (int format = 0; format < 3; ++format) {
        std::printf(
            "%-8s print    10k %8.0f ms  20k %8.0f ms CPU  ratio %.2f (<= 2.5) %s; the print adds %lld / %lld MB\n",
            names[format], small.print[format], large.print[format], large.print[format] / small.print[format],
            verdict(large.print[format] <= 2.5 * small.print[format]), small.addedKb[format] / 1024,
            large.addedKb[format] / 1024);
        std::printf("%-8s to a printer 10k %8.0f ms  20k %8.0f ms CPU; it adds %lld / %lld MB\n", names[format],
                    small.printerPrint[format], large.printerPrint[format], small.printerAddedKb[format] / 1024,
                    large.printerAddedKb[format] / 1024);
        const double *builds[] = {small.buildAll, large.buildAll, small.buildSelection, large.buildSelection};
        const char *labels[] = {"all", "selection"};
        for (int kind = 0; kind < 2; ++kind) {
            const double a = builds[2 * kind][format];
            const double b = builds[2 * kind + 1][format];
            std::printf("%-8s pages %-9s 10k %6.0f ms  20k %6.0f ms  ratio %.2f (<= 2.5) %s; of the print %.0f %% "
                        "(<= 25 %%) %s\n",
                        names[format], labels[kind], a, b, b / a, verdict(b <= 2.5 * a), 100 * b / large.print[format],
                        verdict(b <= 0.25 * large.print[format]));
        }
    }
    // names that wrap: every page is laid out until its rows fit, so a page costs more than one of short
    // names; reported, not judged
    for (int format : {0, 2}) {
        const QPair<double, int> shortNames = printOnce(20000, 0, format, folder.path());
        const QPair<double, int> wrapping = printOnce(20000, 73, format, folder.path());
        std::printf("%-8s 20k, names of 73 characters that wrap: %6.0f ms CPU for %d pages, %.1f ms a page "
                    "(short names: %.0f ms for %d pages, %.1f ms a page)\n",
                    names[format], wrapping.first, wrapping.second, wrapping.first / std::max(wrapping.second, 1),
                    shortNames.first, shortNames.second, shortNames.first / std::max(shortNames.second, 1));
    }
    return ok ? 0 : 1;
}
