#include "exchange/servicelistitemdata.h"

#include "document/docitem.h"

ServiceListItemData::ServiceListItemData(const DocItem &item)
{
    // only the exact text "1" marks an entry; "true" or " 1" do not
    m_epgMarked = item.attribute(QStringLiteral("epgMarked"), QStringLiteral("0")) == QLatin1String("1");
    m_name = item.value(QStringLiteral("name"));
    const QString lock = item.value(QStringLiteral("childrenLock"));
    for (const QString &part : lock.split(u';', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int id = part.toInt(&ok, 10);
        if (ok)
            m_childrenLock.append(id);
    }
    m_genres = item.value(QStringLiteral("genres")).split(u';', Qt::SkipEmptyParts);
}
