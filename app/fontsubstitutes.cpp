#include "app/fontsubstitutes.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace {

struct Substitute
{
    const char *windowsFamily;
    QStringList candidates; // best first; the first installed one is used
};

QString firstInstalled(const QStringList &candidates, const QStringList &installed)
{
    for (const QString &candidate : candidates) {
        for (const QString &family : installed) {
            if (family.compare(candidate, Qt::CaseInsensitive) == 0)
                return family;
        }
    }
    return QString();
}

} // namespace

void installFontSubstitutes()
{
    const QStringList sans{QStringLiteral("Noto Sans"), QStringLiteral("Open Sans"), QStringLiteral("DejaVu Sans"),
                           QStringLiteral("Liberation Sans"), QStringLiteral("FreeSans")};
    const QStringList serif{QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif"),
                            QStringLiteral("Noto Serif"), QStringLiteral("FreeSerif")};
    const QStringList mono{QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono"),
                           QStringLiteral("Noto Sans Mono"), QStringLiteral("FreeMono")};
    const Substitute substitutes[] = {
        {"Segoe UI", sans},         {"MS Shell Dlg 2", sans}, {"MS Shell Dlg", sans}, {"Tahoma", sans},
        {"Verdana", sans},          {"Arial", sans},          {"Calibri", sans},      {"Microsoft Sans Serif", sans},
        {"Times New Roman", serif}, {"Cambria", serif},       {"Courier New", mono},  {"Consolas", mono},
        {"Lucida Console", mono},
    };
    const QStringList installed = QFontDatabase::families();
    for (const Substitute &entry : substitutes) {
        const QString family = QString::fromLatin1(entry.windowsFamily);
        // A system that has the real font keeps it.
        if (installed.contains(family, Qt::CaseInsensitive))
            continue;
        const QString substitute = firstInstalled(entry.candidates, installed);
        if (!substitute.isEmpty())
            QFont::insertSubstitution(family, substitute);
    }
}
