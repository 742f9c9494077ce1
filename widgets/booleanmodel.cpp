#include "widgets/booleanmodel.h"

#include <QCoreApplication>

BooleanModel::BooleanModel(const QString &trueText, const QString &falseText, QObject *parent)
    : QAbstractTableModel(parent)
    , m_trueText(trueText)
    , m_falseText(falseText)
{
    // The labels the list pages pass; translated when shown.
    Q_UNUSED(QT_TRANSLATE_NOOP("BooleanModel", "Enabled"));
    Q_UNUSED(QT_TRANSLATE_NOOP("BooleanModel", "Disabled"));
}

int BooleanModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

int BooleanModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant BooleanModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role == Qt::EditRole)
        return index.row() == 0 ? QStringLiteral("true") : QStringLiteral("false");
    if (role == Qt::DisplayRole) {
        const QString &label = index.row() == 0 ? m_trueText : m_falseText;
        return QCoreApplication::translate("BooleanModel", label.toUtf8().constData());
    }
    return QVariant();
}
