#pragma once

#include <QList>
#include <QMap>
#include <QString>

class ItemProperty;

// The schema shared by the TV and radio lists: their field-to-column table and their nine columns.
class ServiceColumnSet
{
public:
    static void fillFieldColumns(QMap<QString, int> &fieldColumns);
    // New column objects, owned by the caller (the items model takes them).
    static QList<ItemProperty *> build(const QMap<QString, int> &fieldColumns);
};
