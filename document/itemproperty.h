#pragma once

#include "document/docitem.h"

#include <QList>
#include <QValidator>
#include <QVariant>

class ItemsDatabaseModel;
class QWidget;

// One column of an item table: where in an item its value lives (a DocItem path), its type, how it
// reads for each role, how an edit is written back, and the cell flags.
class ItemProperty
{
public:
    // Shows the message about a rejected value; the application registers its error box at start-up.
    using RejectionReporter = void (*)(QWidget *parent, const QString &text);
    static void setRejectionReporter(RejectionReporter reporter);

    ItemProperty(const QString &name, const QString &sourceName, const QString &path, int type, Qt::ItemFlags flags,
                 const QString &defaultValue, ItemsDatabaseModel *lookupModel, int lookupColumn);
    virtual ~ItemProperty();

    virtual QValidator::State validate(const QVariant &value, int &position);
    virtual void fixup(QVariant &value);
    virtual QVariant value(const DocItem &item, int role, bool *found);
    virtual bool setValue(DocItem &item, const QVariant &value, int role);
    virtual Qt::ItemFlags flags(const DocItem &item);

    // the value without a caller-side found flag
    QVariant value(const DocItem &item, int role);
    // The column's title in the current language, from its source name (context "QObject").
    void retranslate();
    void setValidator(QValidator *validator);

    QValidator *validator = nullptr;
    int validationPolicy = 22;
    QString validationTitle;
    QString validationText;
    int alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QString name;
    QString sourceName;
    QString defaultValue;
    QString path;
    int type;
    Qt::ItemFlags itemFlags;
    ItemsDatabaseModel *lookupModel;
    int lookupColumn;
    int writeMode = 2;
    QList<int> dependentColumns;
};
