#include "exchange/dvblistitemdata.h"

#include "document/docitem.h"

#include <QCoreApplication>
#include <QtMath>

DVBListItemData::DVBListItemData(const DocItem &item)
    : ServiceListItemData(item)
{
    m_provider = item.value(QStringLiteral("provider"));
    if (item.isNull())
        return;
    const QDomElement details = DocItem::firstDescendant(item, QStringLiteral("details"));
    const QDomElement config =
        details.isNull() ? QDomElement() : DocItem::firstDescendant(details, QStringLiteral("config"));
    if (config.isNull())
        return;

    m_serviceId = tuningInt(config, QStringLiteral("sid"));
    m_symbolRate = tuningInt(config, QStringLiteral("symRate"));
    bool found = false;
    // Taken as it stands: a name with non-ASCII letters prints as the receiver spells it.
    m_satelliteName = tuningText(config, QStringLiteral("satellite"), &found);
    const QDomElement satellite = DocItem::firstDescendant(config, QStringLiteral("satellite"));
    if (!satellite.isNull())
        m_satellitePosition = satellite.attribute(QStringLiteral("position"), QStringLiteral("0")).toInt(nullptr, 10);
    m_horizontal = tuningText(config, QStringLiteral("p"), &found).compare(u"h", Qt::CaseInsensitive) == 0;

    static const char *const types[] = {"analog", "cable", "external", "satellite", "terrestrial"};
    const QString type = config.attribute(QStringLiteral("type"));
    for (int i = 0; i < 5; ++i) {
        if (type.compare(QLatin1String(types[i]), Qt::CaseInsensitive) == 0) {
            m_deliveryType = i + 1;
            break;
        }
    }
    const bool carrier = m_deliveryType == DeliveryType::Analog || m_deliveryType == DeliveryType::Cable ||
                         m_deliveryType == DeliveryType::Terrestrial;
    m_frequency = tuningReal(config, carrier ? QStringLiteral("freq") : QStringLiteral("transponderFreq"));
}

bool DVBListItemData::hasProvider() const
{
    return m_deliveryType != DeliveryType::Undefined && m_deliveryType != DeliveryType::Analog &&
           m_deliveryType != DeliveryType::External;
}

bool DVBListItemData::isEpgMarked() const
{
    return hasProvider() && ServiceListItemData::isEpgMarked();
}

QString DVBListItemData::provider() const
{
    return hasProvider() ? m_provider : QCoreApplication::translate("QObject", "--no provider--");
}

QString DVBListItemData::satelliteText() const
{
    const double degrees = qAbs(double(m_satellitePosition)) / 10.0;
    const QString letter = m_satellitePosition < 0 ? QStringLiteral("W") : QStringLiteral("E");
    return m_satelliteName + u' ' + QString::number(degrees, 'g', 6) + u'\u00B0' + letter;
}

QString DVBListItemData::tuningText(const QDomElement &config, const QString &tag, bool *found)
{
    *found = false;
    const QDomElement element = DocItem::firstDescendant(config, tag);
    const QDomNode first = element.firstChild();
    if (first.isNull() || !(first.isText() || first.isCDATASection()))
        return {};
    *found = true;
    return first.nodeValue();
}

int DVBListItemData::tuningInt(const QDomElement &config, const QString &tag)
{
    bool found = false;
    const QString text = tuningText(config, tag, &found);
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return found && ok ? value : -1;
}

float DVBListItemData::tuningReal(const QDomElement &config, const QString &tag)
{
    bool found = false;
    const QString text = tuningText(config, tag, &found);
    bool ok = false;
    const float value = text.toFloat(&ok);
    return found && ok ? value : -1.0f;
}
