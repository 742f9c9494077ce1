#include "exchange/printlinklistsbuilder.h"

#include "document/docitem.h"
#include "exchange/linklistitemdata.h"

#include <QObject>

PrintLinkListsBuilder::PrintLinkListsBuilder(ListProjectFileManager *manager)
    : PrintListsBuilder(manager)
{}

QString PrintLinkListsBuilder::buildCompactPage(int page, bool withHeader, bool selectionOnly, int from, int to)
{
    return linkPage(page, withHeader, selectionOnly, from, to, true);
}

QString PrintLinkListsBuilder::buildDetailedPage(int page, bool withHeader, bool selectionOnly, int from, int to)
{
    return linkPage(page, withHeader, selectionOnly, from, to, false);
}

// The two pages differ in the width of the title column.
QString PrintLinkListsBuilder::linkPage(int page, bool withHeader, bool selectionOnly, int from, int to, bool compact)
{
    const QStringList titles{QStringLiteral("&nbsp;"), QObject::tr("Title"), QObject::tr("Url"), QObject::tr("Genres"),
                             QObject::tr("CL")};
    const QString titleCell = compact ? QStringLiteral("<td align=\"center\" width=\"200\">")
                                      : QStringLiteral("<td align=\"center\" width=\"300\">");
    return buildPage(page, withHeader, selectionOnly, from, to, titles, [this, titleCell](const DocItem &item) {
        const LinkListItemData data(item);
        return titleCell + escaped(data.name()) + QStringLiteral("</td><td align=\"center\">") +
               (data.isUrlHidden() ? QString() : escaped(data.url())) +
               QStringLiteral("</td><td align=\"center\" width=\"160\">") + escaped(data.genresText()) +
               QStringLiteral("</td><td align=\"center\" width=\"90\">") + yesNo(data.hasChildrenLock()) +
               QStringLiteral("</td></tr>");
    });
}

QString PrintLinkListsBuilder::buildHandoutPage(int page, bool withHeader, bool selectionOnly, int from, int to)
{
    const QStringList titles{QStringLiteral("&nbsp;"), QObject::tr("Title")};
    return buildPage(page, withHeader, selectionOnly, from, to, titles, [](const DocItem &item) {
        return QStringLiteral("<td align=\"center\" width=\"400\">") + escaped(LinkListItemData(item).name()) +
               QStringLiteral("</td></tr>");
    });
}
