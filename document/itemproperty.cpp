#include "document/itemproperty.h"

#include "document/itemsdatabasemodel.h"

#include <QCoreApplication>
#include <QDebug>
#include <QWidget>

namespace {

ItemProperty::RejectionReporter rejectionReporter = nullptr;

} // namespace

void ItemProperty::setRejectionReporter(RejectionReporter reporter)
{
    rejectionReporter = reporter;
}

ItemProperty::ItemProperty(const QString &name, const QString &sourceName, const QString &path, int type,
                           Qt::ItemFlags flags, const QString &defaultValue, ItemsDatabaseModel *lookupModel,
                           int lookupColumn)
    : validationTitle(QCoreApplication::translate("ItemProperty", "Validation"))
    , validationText(QCoreApplication::translate("ItemProperty", "Entered value is invalid!"))
    , name(name)
    , sourceName(sourceName)
    , defaultValue(defaultValue)
    , path(path)
    , type(type)
    , itemFlags(flags)
    , lookupModel(lookupModel)
    , lookupColumn(lookupColumn)
{}

ItemProperty::~ItemProperty() = default;

void ItemProperty::retranslate()
{
    name = QCoreApplication::translate("QObject", sourceName.toLocal8Bit().constData());
}

void ItemProperty::setValidator(QValidator *validator)
{
    this->validator = validator;
}

QValidator::State ItemProperty::validate(const QVariant &value, int &position)
{
    if (!validator)
        return QValidator::Acceptable;
    QString text = value.toString();
    return validator->validate(text, position);
}

void ItemProperty::fixup(QVariant &value)
{
    if (!validator)
        return;
    QString text = value.toString();
    validator->fixup(text);
    value = QVariant(text);
}

Qt::ItemFlags ItemProperty::flags(const DocItem &)
{
    return itemFlags;
}

QVariant ItemProperty::value(const DocItem &item, int role)
{
    bool found = false;
    return value(item, role, &found);
}

QVariant ItemProperty::value(const DocItem &item, int role, bool *found)
{
    bool scratch = false;
    if (!found)
        found = &scratch;
    if (role == Qt::TextAlignmentRole) {
        *found = true;
        return QVariant(alignment);
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)
        return QVariant();
    QString text = item.value(path);
    if (text.isNull()) {
        if (defaultValue.isNull()) {
            text = QLatin1String("");
            *found = false;
        } else {
            text = defaultValue;
            *found = true;
        }
    } else {
        *found = true;
    }
    const bool edit = role == Qt::EditRole;
    switch (type) {
    case 2:
        return QVariant(text.toInt(nullptr, 10));
    case 4:
        if (role == Qt::ToolTipRole && path == QLatin1String("<details"))
            return QVariant(QString());
        return QVariant(text);
    case 5:
    case 17:
        if (edit)
            return lookupModel ? QVariant(text.toInt(nullptr, 10)) : QVariant();
        return lookupModel ? lookupModel->dataById(text, lookupColumn, role) : QVariant();
    case 8:
        return QVariant(QVariant(text).toBool());
    case 16:
        return lookupModel ? QVariant(text) : QVariant();
    case 69:
        return lookupModel ? lookupModel->dataById(text, lookupColumn, role) : QVariant();
    default:
        return QVariant();
    }
}

bool ItemProperty::setValue(DocItem &item, const QVariant &value, int role)
{
    QVariant copy = value;
    if (validator && validationPolicy != 0) {
        int position = 0;
        if (validate(copy, position) != QValidator::Acceptable) {
            if (validationPolicy & 2) {
                QWidget *parent = qobject_cast<QWidget *>(validator->parent());
                if (rejectionReporter)
                    rejectionReporter(parent, validationText);
                else
                    qWarning() << validationText;
            }
            if (validationPolicy & 8)
                copy = this->value(item, role);
            if (!(validationPolicy & 16))
                return false;
        }
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return false;
    switch (type) {
    case 2:
    case 5:
    case 17:
        return item.setValue(path, copy.toInt(), writeMode);
    case 4:
    case 16:
        return item.setValue(path, copy.toString(), writeMode);
    case 8:
        return item.setValue(path, QString(copy.toBool() ? QStringLiteral("1") : QStringLiteral("0")), writeMode);
    case 69:
        if (lookupModel)
            return lookupModel->setDataById(item.value(path), lookupColumn, copy, role);
        return item.setValue(path, copy.toString(), writeMode);
    default:
        return false;
    }
}
