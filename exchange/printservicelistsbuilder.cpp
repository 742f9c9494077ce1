#include "exchange/printservicelistsbuilder.h"

#include "document/docitem.h"
#include "exchange/dvblistitemdata.h"

#include <QObject>

namespace {

QString cell(const char *attributes, const QString &text)
{
    return QStringLiteral("<td align=\"center\"") + QLatin1String(attributes) + u'>' + text + QStringLiteral("</td>");
}

bool showsFrequency(int type)
{
    return type == DeliveryType::Satellite || type == DeliveryType::Terrestrial || type == DeliveryType::Cable ||
           type == DeliveryType::Analog;
}

bool showsSymbolRate(int type)
{
    return type == DeliveryType::Satellite || type == DeliveryType::Cable;
}

bool showsServiceId(int type)
{
    return type == DeliveryType::Satellite || type == DeliveryType::Terrestrial || type == DeliveryType::Cable;
}

QString frequencyText(const DVBListItemData &data)
{
    return showsFrequency(data.deliveryType()) ? QString::number(double(data.frequency()), 'g', 6) : QString();
}

QString polarisationText(const DVBListItemData &data)
{
    if (data.deliveryType() != DeliveryType::Satellite)
        return {};
    return data.isHorizontal() ? QObject::tr("hor") : QObject::tr("ver");
}

QString symbolRateText(const DVBListItemData &data)
{
    return showsSymbolRate(data.deliveryType()) ? QString::number(data.symbolRate()) : QString();
}

} // namespace

PrintServiceListsBuilder::PrintServiceListsBuilder(ListProjectFileManager *manager)
    : PrintListsBuilder(manager)
{}

void PrintServiceListsBuilder::setSatelliteNames(const QMap<int, QString> &names)
{
    m_satelliteNames = names;
}

QString PrintServiceListsBuilder::satelliteName(int position) const
{
    return m_satelliteNames.value(position);
}

QString PrintServiceListsBuilder::buildDetailedPage(int page, bool withHeader, bool selectionOnly, int from, int to)
{
    const QStringList titles{QStringLiteral("&nbsp;"), QObject::tr("TV Program name"),
                             QObject::tr("Provider"),  QObject::tr("Satellite"),
                             QObject::tr("Frequency"), QObject::tr("EPG"),
                             QObject::tr("CL"),        QObject::tr("Pol"),
                             QObject::tr("SR"),        QObject::tr("SID")};
    return buildPage(page, withHeader, selectionOnly, from, to, titles, [this](const DocItem &item) {
        const DVBListItemData data(item);
        const int type = data.deliveryType();
        const QString satellite = type == DeliveryType::Satellite
                                      ? elideText(satelliteName(data.satellitePosition()) + data.satelliteText(), 15)
                                      : QString();
        return cell(" width=\"300\"", escaped(data.name())) + cell("", escaped(data.provider())) +
               cell(" width=\"100\"", escaped(satellite)) + cell(" width=\"90\"", frequencyText(data)) +
               cell(" width=\"45\"", yesNo(data.isEpgMarked())) + cell(" width=\"45\"", yesNo(data.hasChildrenLock())) +
               cell(" width=\"45\"", polarisationText(data)) + cell(" width=\"60\"", symbolRateText(data)) +
               cell(" width=\"60\"", showsServiceId(type) ? QString::number(data.serviceId()) : QString()) +
               QStringLiteral("</tr>");
    });
}

QString PrintServiceListsBuilder::buildCompactPage(int page, bool withHeader, bool selectionOnly, int from, int to)
{
    const QStringList titles{QStringLiteral("&nbsp;"), QObject::tr("TV Program name"), QObject::tr("Provider"),
                             QObject::tr("Satellite"), QObject::tr("Frequency"),       QObject::tr("Polarization"),
                             QObject::tr("SR")};
    return buildPage(page, withHeader, selectionOnly, from, to, titles, [this](const DocItem &item) {
        const DVBListItemData data(item);
        const QString satellite = data.deliveryType() == DeliveryType::Satellite
                                      ? elideText(satelliteName(data.satellitePosition()) + data.satelliteText(), 15)
                                      : QString();
        // the next row or the end of the table closes the row
        return cell(" width=\"200\"", escaped(elideText(data.name(), 30))) +
               cell("", escaped(elideText(data.provider(), 20))) + cell(" width=\"100\"", escaped(satellite)) +
               cell(" width=\"90\"", frequencyText(data)) + cell(" width=\"45\"", polarisationText(data)) +
               cell(" width=\"60\"", symbolRateText(data));
    });
}

QString PrintServiceListsBuilder::buildHandoutPage(int page, bool withHeader, bool selectionOnly, int from, int to)
{
    const QStringList titles{QStringLiteral("&nbsp;"), QObject::tr("TV Program name")};
    return buildPage(page, withHeader, selectionOnly, from, to, titles, [](const DocItem &item) {
        return cell(" width=\"400\"", escaped(DVBListItemData(item).name())) + QStringLiteral("</tr>");
    });
}
