#pragma once

// What the generated list projects of the benchmarks end with: the items closed, then four favourite lists that
// refer to every fifth entry, and the document closed.

#include <QTextStream>

namespace GeneratedFavourites {

inline void closeDocument(QTextStream &out, int count)
{
    out << "</items><lists>";
    for (int list = 0; list < 4; ++list) {
        out << "<list id=\"" << list << "\">";
        for (int i = list; i < count; i += 5)
            out << "<ref>" << i << "</ref>";
        out << "</list>";
    }
    out << "</lists></TDocument>\n";
    out.flush();
}

} // namespace GeneratedFavourites
