#include "document/agregatemultipledataprovider.h"

#include <QAbstractItemModel>

AgregateMultipleDataProvider::AgregateMultipleDataProvider(QAbstractItemModel *sourceModel, int sourceColumn)
    : AgregateDataProvider(sourceModel, sourceColumn, QString())
{}

bool AgregateMultipleDataProvider::rebuild()
{
    built = true;
    values.clear();
    texts.clear();
    if (sourceModel) {
        for (int row = 0; row < sourceModel->rowCount(); ++row) {
            const QString cell = sourceModel->data(sourceModel->index(row, sourceColumn), Qt::DisplayRole).toString();
            const QStringList parts = cell.split(QLatin1Char(';'));
            for (const QString &part : parts) {
                const QString value = part.trimmed();
                if (!value.isEmpty() && !texts.contains(value))
                    texts.append(value);
            }
        }
    }
    texts.sort();
    makeValues();
    return true;
}
