#pragma once

#include "exchange/servicelistitemdata.h"

class QDomElement;

// How a service is received, as the tuning data's "type" attribute names it. Plain integers in records
// and pages.
struct DeliveryType
{
    enum Code { Undefined = 0, Analog = 1, Cable = 2, External = 3, Satellite = 4, Terrestrial = 5 };
};

// A printed TV or radio service: the common values plus the provider and the tuning data.
class DVBListItemData final : public ServiceListItemData
{
public:
    explicit DVBListItemData(const DocItem &item);

    // Analogue, external and unknown services carry no programme guide and no provider.
    bool isEpgMarked() const override;
    QString provider() const;
    float frequency() const { return m_frequency; }
    bool isHorizontal() const { return m_horizontal; }
    int satellitePosition() const { return m_satellitePosition; }
    int serviceId() const { return m_serviceId; }
    int symbolRate() const { return m_symbolRate; }
    int deliveryType() const { return m_deliveryType; }
    // "<satellite name> <degrees>°<E|W>", the degrees from tenths of a degree (192 gives " 19.2°E").
    QString satelliteText() const;

private:
    bool hasProvider() const;
    static QString tuningText(const QDomElement &config, const QString &tag, bool *found);
    static int tuningInt(const QDomElement &config, const QString &tag);
    static float tuningReal(const QDomElement &config, const QString &tag);

    float m_frequency = -1;
    bool m_horizontal = false;
    QString m_provider;
    QString m_satelliteName;
    int m_satellitePosition = 0;
    int m_serviceId = -1;
    int m_symbolRate = -1;
    int m_deliveryType = DeliveryType::Undefined;
};
