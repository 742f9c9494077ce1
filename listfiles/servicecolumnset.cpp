#include "listfiles/servicecolumnset.h"

#include "document/detailedsettingsproperty.h"
#include "document/itemproperty.h"
#include "document/parentalcontrolitemproperty.h"

#include <QObject>

namespace {
const Qt::ItemFlags readOnly(Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled);
const Qt::ItemFlags editable = readOnly | Qt::ItemIsEditable;
} // namespace

void ServiceColumnSet::fillFieldColumns(QMap<QString, int> &fieldColumns)
{
    const char *keys[] = {"position",   "name",         "provider", "genres", "@epgMarked",
                          "parentLock", "childrenLock", "<details", "@id"};
    for (int column = 0; column < 9; ++column)
        fieldColumns.insert(QString::fromLatin1(keys[column]), column);
}

QList<ItemProperty *> ServiceColumnSet::build(const QMap<QString, int> &fieldColumns)
{
    QList<ItemProperty *> columns;
    columns << new ItemProperty(QObject::tr("# on list"), QStringLiteral("# on list"), QStringLiteral("@pos"), 4,
                                readOnly, QString(), nullptr, 0);
    columns << new ItemProperty(QObject::tr("Name"), QStringLiteral("Name"), QStringLiteral("name"), 4, editable,
                                QString(), nullptr, 0);
    columns << new ItemProperty(QObject::tr("Provider"), QStringLiteral("Provider"), QStringLiteral("provider"), 4,
                                editable, QString(), nullptr, 0);
    // Edited in the table with its multiple-choice editor, as the genre menu edits it.
    columns << new ItemProperty(QObject::tr("Genres"), QStringLiteral("Genres"), QStringLiteral("genres"), 4, editable,
                                QString(), nullptr, 0);
    columns << new ItemProperty(QObject::tr("EPG"), QStringLiteral("EPG"), QStringLiteral("@epgMarked"), 8, editable,
                                QStringLiteral("false"), nullptr, 0);
    auto *parentLock = new ItemProperty(QObject::tr("Parent lock"), QStringLiteral("Parent lock"),
                                        QStringLiteral("parentLock"), 8, editable, QStringLiteral("false"), nullptr, 0);
    // The children lock is read-only while the parent lock is set, so its cell is redrawn with it.
    parentLock->dependentColumns.append(fieldColumns.value(QStringLiteral("childrenLock"), -1));
    columns << parentLock;
    columns << new ParentalControlItemProperty(QObject::tr("Children lock"), QStringLiteral("Children lock"),
                                               QStringLiteral("childrenLock"), 4, readOnly, QString(), nullptr, 0);
    columns << new DetailedSettingsProperty(QObject::tr("Service type"), QStringLiteral("Service type"),
                                            QStringLiteral("<details"), 4, readOnly, QStringLiteral("<config/>"),
                                            nullptr, 0);
    columns << new ItemProperty(QObject::tr("Index"), QStringLiteral("Index"), QStringLiteral("@id"), 4, editable,
                                QString(), nullptr, 0);
    return columns;
}
