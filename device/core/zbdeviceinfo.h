#pragma once

#include "device/core/satelliteinfo.h"

#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QMetaType>
#include <QString>

class QDomElement;

// The description of one receiver, exchanged and stored as the XML element "deviceInfo".
class ZBDeviceInfo
{
public:
    explicit ZBDeviceInfo(const QString &name = QString(), const QString &password = QString(),
                          bool isUsbManaged = false);
    // A copy of a USB-managed record without satellites takes the predefined satellite positions.
    ZBDeviceInfo(const ZBDeviceInfo &other);
    ZBDeviceInfo &operator=(const ZBDeviceInfo &other) = default;
    ~ZBDeviceInfo() = default;

    bool fromXml(const QString &text);
    // Takes only the satellites and the front-ends of a description text (a satellite request's
    // reply); name, address, USB flag and everything else the user has stay. False when the text
    // holds no description; a reply without a "satellites" or "frontends" element leaves that part.
    bool takeSatellitesAndFrontends(const QString &text);
    QDomElement toXml() const;
    // toXml() as text with an indent of 1, the result of a description request.
    QString toXmlText() const;
    QString satellitesDocument() const;

    QString label() const;
    // The label with the address for a network receiver ("Kitchen (192.168.1.5)"): how messages name it,
    // so two receivers of one name can be told apart.
    QString labelWithAddress() const;
    QString typeName() const;
    void setTypeFromString(const QString &text);
    void ensureDefaults();
    void prepareForConnection();

    bool enableLinksModule() const { return m_enableLinksModule; }
    void setEnableLinksModule(bool on) { m_enableLinksModule = on; }
    bool enableMediaExplorerModule() const { return m_enableMediaExplorerModule; }
    void setEnableMediaExplorerModule(bool on) { m_enableMediaExplorerModule = on; }
    bool enableRadioModule() const { return m_enableRadioModule; }
    void setEnableRadioModule(bool on) { m_enableRadioModule = on; }
    bool enableTvModule() const { return m_enableTvModule; }
    void setEnableTvModule(bool on) { m_enableTvModule = on; }
    QString givenName() const { return m_givenName; }
    void setGivenName(const QString &name) { m_givenName = name; }
    quint32 id() const { return m_id; }
    void setId(quint32 id) { m_id = id; }
    QHostAddress ip() const { return m_ip; }
    void setIp(const QString &text);
    void setIp(const QHostAddress &address);
    bool hasAnalogFrontend() const { return m_hasAnalogFrontend; }
    void setHasAnalogFrontend(bool on) { m_hasAnalogFrontend = on; }
    bool hasCableFrontend() const { return m_hasCableFrontend; }
    void setHasCableFrontend(bool on) { m_hasCableFrontend = on; }
    bool isComplete() const { return m_complete; }
    bool hasSatelliteFrontend() const { return m_hasSatelliteFrontend; }
    void setHasSatelliteFrontend(bool on) { m_hasSatelliteFrontend = on; }
    bool hasTerrestrialFrontend() const { return m_hasTerrestrialFrontend; }
    void setHasTerrestrialFrontend(bool on) { m_hasTerrestrialFrontend = on; }
    bool isUsbManaged() const { return m_isUsbManaged; }
    void setUsbManaged(bool on) { m_isUsbManaged = on; }
    QString hardwareVersion() const { return m_hardwareVer; }
    void setHardwareVersion(const QString &version) { m_hardwareVer = version; }
    quint16 netListMaxCount() const { return m_netListMaxCount; }
    void setNetListMaxCount(quint16 count);
    QString mac() const { return m_mac; }
    void setMac(const QString &mac) { m_mac = mac; }
    QList<int> modules() const { return m_modules; }
    QString name() const { return m_name; }
    bool isNameEmpty() const { return m_name.isEmpty(); }
    void setName(const QString &name) { m_name = name; }
    QString password() const { return m_password; }
    bool hasPassword() const { return !m_password.isEmpty(); }
    void setPassword(const QString &password) { m_password = password; }
    float protocolVersion() const { return m_protocolVer; }
    void setProtocolVersion(float version) { m_protocolVer = version; }
    quint16 radioListMaxCount() const { return m_radioListMaxCount; }
    void setRadioListMaxCount(quint16 count);
    bool rememberPassword() const { return m_rememberPassword; }
    void setRememberPassword(bool on) { m_rememberPassword = on; }
    QList<SatelliteInfo> satellites() const { return m_satellites; }
    int satelliteCount() const { return int(m_satellites.size()); }
    QString shareName() const { return m_shareName; }
    void setShareName(const QString &name) { m_shareName = name; }
    QString softwareVersion() const { return m_softwareVer; }
    void setSoftwareVersion(const QString &version) { m_softwareVer = version; }
    int type() const { return m_type; }
    void setType(int type) { m_type = type; }
    quint16 tvListMaxCount() const { return m_tvListMaxCount; }
    void setTvListMaxCount(quint16 count);

    // The file beside the program that fills the satellites of a USB-managed copy.
    static QString predefinedSatellitesPath();

private:
    void fillPredefinedSatellites();

    bool m_enableLinksModule = false;
    bool m_enableMediaExplorerModule = true;
    bool m_enableRadioModule = false;
    bool m_enableTvModule = false;
    QMap<QString, int> m_externals;
    QString m_givenName;
    quint32 m_id = 0;
    QHostAddress m_ip;
    bool m_hasAnalogFrontend = false;
    bool m_hasCableFrontend = false;
    bool m_complete = false;
    bool m_hasSatelliteFrontend = false;
    bool m_hasTerrestrialFrontend = false;
    bool m_isUsbManaged = false;
    QString m_hardwareVer;
    quint16 m_netListMaxCount = 0;
    QString m_mac;
    QList<int> m_modules;
    QString m_name;
    QString m_password;
    float m_protocolVer = 0;
    quint16 m_radioListMaxCount = 0;
    bool m_rememberPassword = false;
    QList<SatelliteInfo> m_satellites;
    QString m_shareName;
    QString m_softwareVer;
    int m_type = 2;
    quint16 m_tvListMaxCount = 0;
};

Q_DECLARE_METATYPE(ZBDeviceInfo)
