// Renders one HTML manual to a paginated A4 PDF at build time:
//   ombrelay-manual-renderer <manual.html> <output.pdf>
// Built on Qt's own rich-text engine, so the manual needs no tool outside the Qt build dependencies.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "ombrelay-manual-renderer: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3)
        return fail(QStringLiteral("usage: ombrelay-manual-renderer <manual.html> <output.pdf>"));

    QFile input(args.at(1));
    if (!input.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(args.at(1), input.errorString()));
    const QString html = QString::fromUtf8(input.readAll());
    if (html.trimmed().isEmpty())
        return fail(QStringLiteral("%1 is empty").arg(args.at(1)));

    const QFileInfo target(args.at(2));
    if (!QDir().mkpath(target.absolutePath()))
        return fail(QStringLiteral("cannot create %1").arg(target.absolutePath()));

    // Written beside the target and renamed on success, so a failed run never leaves half a manual.
    QSaveFile output(target.absoluteFilePath());
    if (!output.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("cannot write %1: %2").arg(args.at(2), output.errorString()));
    {
        QPdfWriter writer(&output);
        writer.setCreator(QStringLiteral("Ombrelay"));
        writer.setResolution(96);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 16, 18, 16),
                                         QPageLayout::Millimeter));
        QTextDocument document;
        document.setDocumentMargin(0);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(10.5);
        document.setDefaultFont(font);
        document.setHtml(html);
        writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
        document.print(&writer);
    }
    if (!output.flush() || !output.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(args.at(2), output.errorString()));
    return 0;
}
