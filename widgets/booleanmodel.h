#pragma once

#include <QAbstractTableModel>

// A boolean value offered as two labelled choices: row 0 is "true", row 1 "false".
class BooleanModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    BooleanModel(const QString &trueText, const QString &falseText, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QString m_trueText;
    QString m_falseText;
};
