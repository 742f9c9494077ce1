#include "exchange/linklistitemdata.h"

#include "document/docitem.h"

LinkListItemData::LinkListItemData(const DocItem &item)
    : ServiceListItemData(item)
{
    m_urlHidden =
        item.attribute(QStringLiteral("hideURL"), QStringLiteral("false")).compare(u"true", Qt::CaseInsensitive) == 0;
    m_name = item.value(QStringLiteral("title"));
    m_url = item.value(QStringLiteral("url"));
}
