#pragma once

// The text of a generated TV list project for the benchmarks: count services with ids 0 .. count - 1,
// whose names are a permutation of the ids (so sorting by name scatters the rows), and four
// favourite lists that refer to every fifth entry.

#include <QString>
#include <QTextStream>

namespace GeneratedTvList {

inline QString text(int count)
{
    QString text;
    QTextStream out(&text);
    out << "<?xml version='1.0' encoding='utf-8'?>\n<TDocument><documentProperties/><items>\n";
    const char *types[] = {"satellite", "cable", "terrestrial", "analog"};
    for (int i = 0; i < count; ++i) {
        out << "<tvService id=\"" << i << "\" epgMarked=\"" << (i % 2) << "\"><name>Service "
            << (qint64(i) * 7919) % count << "</name><provider>Provider " << (i % 97) << "</provider><genres>Genre "
            << (i % 13) << ";Genre " << (i % 7) << "</genres><parentLock>0</parentLock><childrenLock>" << (i % 4 + 1)
            << "</childrenLock><details><config type=\"" << types[i % 4] << "\" frequency=\"" << (10700 + i % 2000)
            << "\" symbolRate=\"27500\"/></details></tvService>\n";
    }
    out << "</items><lists>";
    for (int list = 0; list < 4; ++list) {
        out << "<list id=\"" << list << "\">";
        for (int i = list; i < count; i += 5)
            out << "<ref>" << i << "</ref>";
        out << "</list>";
    }
    out << "</lists></TDocument>\n";
    out.flush();
    return text;
}

} // namespace GeneratedTvList
