#pragma once

// List documents for the print tests: entries and favourite lists of their ids.

#include <QList>
#include <QString>

namespace PrintFixture {

inline QString document(const QString &items, const QList<QList<int>> &lists)
{
    QString text = QStringLiteral("<TDocument><documentProperties/><items>") + items + "</items><lists>";
    for (const QList<int> &list : lists) {
        text += QStringLiteral("<list>");
        for (int id : list)
            text += QStringLiteral("<ref>%1</ref>").arg(id);
        text += QStringLiteral("</list>");
    }
    return text + QStringLiteral("</lists></TDocument>");
}

// a service with an id, a name and the inner XML of its tuning element after the type
inline QString service(int id, const QString &name, const QString &config = {}, const QString &children = {})
{
    const QString tuning = QStringLiteral("<details><config type=\"") + config + "</config></details>";
    return QStringLiteral("<tvService id=\"%1\"><name>%2</name>%3%4</tvService>")
        .arg(QString::number(id), name, children, config.isEmpty() ? QString() : tuning);
}

} // namespace PrintFixture
