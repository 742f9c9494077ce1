#pragma once

// Radio list documents for the radio page tests: services with ids 1..n, the given names and providers,
// satellite tuning data and four favourite lists.

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace RadioListText {

inline QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

inline QString text(const QStringList &names, const QStringList &providers = {})
{
    QString text;
    QTextStream out(&text);
    out << "<?xml version='1.0' encoding='utf-8'?>\n<TDocument><documentProperties/><items>\n";
    for (int i = 0; i < names.size(); ++i) {
        const QString provider = providers.value(i, QStringLiteral("Provider %1").arg(i % 3));
        out << "<radioService id=\"" << i + 1 << "\" epgMarked=\"" << (i % 2) << "\"><name>" << escaped(names.at(i))
            << "</name><provider>" << escaped(provider) << "</provider><genres>Genre " << (i % 4)
            << "</genres><parentLock>" << (i % 3 == 0 ? "true" : "false") << "</parentLock><childrenLock>"
            << (i % 4 + 1) << "</childrenLock><details><config type=\"satellite\" frequency=\"" << (11000 + i)
            << "\" symbolRate=\"27500\"/></details></radioService>\n";
    }
    out << "</items><lists>";
    for (int list = 0; list < 4; ++list) {
        out << "<list id=\"" << list << "\">";
        for (int i = list; i < names.size(); i += 2)
            out << "<ref>" << i + 1 << "</ref>";
        out << "</list>";
    }
    out << "</lists></TDocument>\n";
    out.flush();
    return text;
}

inline QString numbered(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("Radio %1").arg(i + 1);
    return text(names);
}

} // namespace RadioListText
