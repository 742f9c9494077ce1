#pragma once

// The text of a generated link list project for the benchmarks: count links with ids 0 .. count - 1, titles
// a permutation of the ids (so sorting by title scatters the rows), a URL of its own each, and four
// favourite lists of every fifth link.

#include "generatedfavourites.h"

#include <QString>
#include <QTextStream>

namespace GeneratedLinkList {

inline QString text(int count)
{
    QString text;
    QTextStream out(&text);
    out << "<?xml version='1.0' encoding='utf-8'?>\n<TDocument><documentProperties/><items>\n";
    for (int i = 0; i < count; ++i) {
        out << "<link id=\"" << i << "\"><title>Link " << (qint64(i) * 7919) % count << "</title><url>http://host"
            << (i % 113) << ".example/stream/" << i << "?q=" << (i * 31) % 977 << "</url><description>Item " << i
            << "</description><genres>Genre " << (i % 13) << "</genres><type>website</type><parentLock>0</parentLock>"
            << "<childrenLock>" << (i % 4 + 1) << "</childrenLock></link>\n";
    }
    GeneratedFavourites::closeDocument(out, count);
    return text;
}

} // namespace GeneratedLinkList
