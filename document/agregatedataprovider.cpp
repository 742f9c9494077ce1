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
}

void AgregateDataProvider::ensureBuilt()
{
    if (!built)
        rebuild();
}

int AgregateDataProvider::count()
{
    ensureBuilt();
    return int(values.size());
}

bool AgregateDataProvider::contains(const QString &id)
{
    ensureBuilt();
    const int n = id.toInt(nullptr, 10);
    return n >= 0 && n < values.size();
}

QString AgregateDataProvider::nextId()
{
    ensureBuilt();
    return QString::number(values.size());
}

DocItem AgregateDataProvider::insertNewItem(int)
{
    ensureBuilt();
    const DocItem item = DocItem::createElement(QStringLiteral("item"), valuesRoot, nextId());
    values.append(item);
    return item;
}

DocItem AgregateDataProvider::elementAt(int row)
{
    ensureBuilt();
    return row >= 0 && row < values.size() ? values.at(row) : DocItem();
}

int AgregateDataProvider::rowOfId(const QString &id)
{
    return id.toInt(nullptr, 10);
}

bool AgregateDataProvider::rebuild()
{
    built = true;
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
    // built with the plain DOM calls: these private elements are no change of any listed document
    values.reserve(texts.size());
    const QString itemTag = QStringLiteral("item");
    const QString valueTag = QStringLiteral("value");
    const QString idName = QStringLiteral("id");
    for (int i = 0; i < texts.size(); ++i) {
        QDomElement item = document.createElement(itemTag);
        item.setAttribute(idName, QString::number(i));
        QDomElement value = document.createElement(valueTag);
        value.appendChild(document.createTextNode(texts.at(i)));
        item.appendChild(value);
        values.append(item);
    }
}
