#include "document/agregatedataprovider.h"

#include <QAbstractItemModel>
#include <QSet>

AgregateDataProvider::AgregateDataProvider(QAbstractItemModel *sourceModel, int sourceColumn, const QString &extraValue)
    : extraValue(extraValue)
    , sourceModel(sourceModel)
    , sourceColumn(sourceColumn)
{
    valuesRoot = document.createElement(QStringLiteral("items"));
    document.appendChild(valuesRoot);
    rebuild();
}

int AgregateDataProvider::count()
{
    return int(values.size());
}

bool AgregateDataProvider::contains(const QString &id)
{
    const int n = id.toInt(nullptr, 10);
    return n >= 0 && n < values.size();
}

QString AgregateDataProvider::nextId()
{
    return QString::number(values.size());
}

DocItem AgregateDataProvider::insertNewItem(int)
{
    const DocItem item = DocItem::createElement(QStringLiteral("item"), valuesRoot, nextId());
    values.append(item);
    return item;
}

DocItem AgregateDataProvider::elementAt(int row)
{
    return row >= 0 && row < values.size() ? values.at(row) : DocItem();
}

int AgregateDataProvider::rowOfId(const QString &id)
{
    return id.toInt(nullptr, 10);
}

bool AgregateDataProvider::rebuild()
{
    values.clear();
    texts.clear();
    if (sourceModel) {
        QSet<QString> seen;
        for (int row = 0; row < sourceModel->rowCount(); ++row) {
            const QString text = sourceModel->index(row, sourceColumn).data(Qt::DisplayRole).toString().trimmed();
            if (!text.isEmpty() && !seen.contains(text)) {
                seen.insert(text);
                texts.append(text);
            }
        }
    }
    texts.sort();
    if (!extraValue.isEmpty() && !texts.contains(extraValue))
        texts.prepend(extraValue);
    makeValues();
    return true;
}

void AgregateDataProvider::makeValues()
{
    values.reserve(texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        DocItem item = DocItem::createElement(QStringLiteral("item"), valuesRoot, QString::number(i));
        item.setValue(QStringLiteral("value"), texts.at(i), 2);
        values.append(item);
    }
}
