#pragma once

// List documents for the print tests: services and links by id, and favourite lists of ids.

#include <QList>
#include <QString>
#include <QStringList>

namespace PrintFixture {

// config: the inner XML of the tuning element after its type, e.g. "satellite\"><sid>3</sid>"
inline QString service(int id, const QString &name, const QString &config = {}, const QString &attributes = {},
                       const QString &children = {})
{
    return QStringLiteral("<tvService id=\"%1\"%2><name>%3</name>%4%5</tvService>")
        .arg(QString::number(id), attributes, name, children,
             config.isEmpty() ? QString()
                              : QStringLiteral("<details><config type=\"") + config + "</config></details>");
}

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

// count services named N0000, N0001, ... with ids 0 .. count - 1, spread over the lists of the given
// sizes (a size of 0 gives an empty list)
inline QString namedServices(const QList<int> &listSizes)
{
    QString items;
    QList<QList<int>> lists;
    int id = 0;
    for (int size : listSizes) {
        QList<int> list;
        for (int i = 0; i < size; ++i, ++id) {
            items += service(id, QStringLiteral("N%1").arg(id, 4, 10, QLatin1Char('0')),
                             QStringLiteral("satellite\"><satellite position=\"192\"/><transponderFreq>11494"
                                            "</transponderFreq><symRate>27500</symRate><sid>%1</sid>")
                                 .arg(id));
            list << id;
        }
        lists << list;
    }
    return document(items, lists);
}

} // namespace PrintFixture
