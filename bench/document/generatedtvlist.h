#pragma once

// The text of a generated TV list project for the benchmarks: count services with ids 0 .. count - 1,
// whose names are a permutation of the ids (so sorting by name scatters the rows), and four
// favourite lists that refer to every fifth entry. With names given, service i is named after
// names[i % names.size()] instead of "Service".

#include "generatedfavourites.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace GeneratedTvList {

inline QString text(int count, const QStringList &names = {QStringLiteral("Service")})
{
    QString text;
    QTextStream out(&text);
    out << "<?xml version='1.0' encoding='utf-8'?>\n<TDocument><documentProperties/><items>\n";
    const char *types[] = {"satellite", "cable", "terrestrial", "analog"};
    for (int i = 0; i < count; ++i) {
        out << "<tvService id=\"" << i << "\" epgMarked=\"" << (i % 2) << "\"><name>" << names.at(i % names.size())
            << ' ' << (qint64(i) * 7919) % count << "</name><provider>Provider " << (i % 97)
            << "</provider><genres>Genre " << (i % 13) << ";Genre " << (i % 7)
            << "</genres><parentLock>0</parentLock><childrenLock>" << (i % 4 + 1)
            << "</childrenLock><details><config type=\"" << types[i % 4] << "\" frequency=\"" << (10700 + i % 2000)
            << "\" symbolRate=\"27500\"/></details></tvService>\n";
    }
    GeneratedFavourites::closeDocument(out, count);
    return text;
}

} // namespace GeneratedTvList
