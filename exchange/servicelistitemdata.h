#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class DocItem;

// What a printed row reads of any list entry: its name, EPG mark, children lock and genres. A record is
// built for one row from the entry and dropped with it; it never fails, a missing or unusable value
// reads as its default.
class ServiceListItemData
{
public:
    explicit ServiceListItemData(const DocItem &item);

    QString name() const { return m_name; }
    virtual bool isEpgMarked() const { return m_epgMarked; }
    bool hasChildrenLock() const { return !m_childrenLock.isEmpty(); }
    QString genresText() const { return m_genres.join(QStringLiteral("; ")); }

protected:
    QList<int> m_childrenLock;
    bool m_epgMarked = false;
    QString m_name;
    QStringList m_genres;
};
