#include "device/core/zbdeviceinfo.h"

#include "base/strictipv4.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QDomElement>
#include <QFile>
#include <QTextStream>

namespace {

bool sameName(const QString &a, const char *b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

bool isTrue(const QString &value)
{
    return value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// Children of element whose name matches ignoring case, in document order.
QList<QDomElement> childrenNamed(const QDomElement &element, const char *name)
{
    QList<QDomElement> result;
    for (QDomElement child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        if (sameName(child.tagName(), name))
            result.append(child);
    }
    return result;
}

} // namespace

ZBDeviceInfo::ZBDeviceInfo(const QString &name, const QString &password, bool isUsbManaged)
    : m_isUsbManaged(isUsbManaged)
    , m_name(name)
    , m_password(password)
{}

ZBDeviceInfo::ZBDeviceInfo(const ZBDeviceInfo &other)
{
    *this = other;
    fillPredefinedSatellites();
}

QString ZBDeviceInfo::predefinedSatellitesPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/PredefinedSatellitePositions.xml");
}

void ZBDeviceInfo::fillPredefinedSatellites()
{
    if (!m_isUsbManaged || !m_satellites.isEmpty())
        return;
    QFile file(predefinedSatellitesPath());
    if (!file.open(QIODevice::ReadOnly))
        return;
    // A table of satellite names is small; anything larger is not the file we ship.
    constexpr qint64 maximumSize = 4 * 1024 * 1024;
    if (file.size() > maximumSize)
        return;
    QDomDocument doc;
    if (!doc.setContent(file.read(maximumSize)))
        return;
    const QDomElement root = doc.firstChildElement(QStringLiteral("satellites"));
    for (const QDomElement &satellite : childrenNamed(root, "satellite")) {
        const QString name = satellite.attribute(QStringLiteral("name"));
        if (name.isEmpty())
            continue;
        bool ok = false;
        const int position = satellite.attribute(QStringLiteral("position")).toInt(&ok);
        m_satellites.append({name, ok ? position : 0, ok});
    }
}

void ZBDeviceInfo::setIp(const QString &text)
{
    quint32 address = 0;
    m_ip = StrictIPv4::parse(text, &address) ? QHostAddress(address) : QHostAddress(quint32(0));
}

void ZBDeviceInfo::setIp(const QHostAddress &address)
{
    // Only a plain IPv4 address counts; an IPv6 one (mapped or not) gives 0.0.0.0.
    m_ip = address.protocol() == QAbstractSocket::IPv4Protocol ? QHostAddress(address.toIPv4Address())
                                                               : QHostAddress(quint32(0));
}

void ZBDeviceInfo::setNetListMaxCount(quint16 count)
{
    m_netListMaxCount = count;
    m_enableLinksModule = count != 0;
}

void ZBDeviceInfo::setRadioListMaxCount(quint16 count)
{
    m_radioListMaxCount = count;
    m_enableRadioModule = count != 0;
}

void ZBDeviceInfo::setTvListMaxCount(quint16 count)
{
    m_tvListMaxCount = count;
    m_enableTvModule = count != 0;
}

QString ZBDeviceInfo::label() const
{
    if (!m_givenName.isEmpty())
        return m_givenName;
    if (!m_shareName.isEmpty())
        return m_shareName;
    return m_name;
}

QString ZBDeviceInfo::labelWithAddress() const
{
    if (m_isUsbManaged || m_ip.isNull())
        return label();
    return QStringLiteral("%1 (%2)").arg(label(), m_ip.toString());
}

QString ZBDeviceInfo::typeName() const
{
    switch (m_type) {
    case 0:
        return QStringLiteral("TV");
    case 1:
        return QStringLiteral("STB");
    default:
        return QStringLiteral("Unknown");
    }
}

void ZBDeviceInfo::setTypeFromString(const QString &text)
{
    if (sameName(text, "STB"))
        m_type = 1;
    else if (sameName(text, "TV"))
        m_type = 0;
    else
        m_type = 2;
}

bool ZBDeviceInfo::fromXml(const QString &text)
{
    QDomDocument doc;
    doc.setContent(text);
    const QDomElement element = doc.firstChildElement(QStringLiteral("deviceInfo"));
    if (element.isNull())
        return false;

    const QDomNamedNodeMap attributes = element.attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr attribute = attributes.item(i).toAttr();
        const QString name = attribute.name();
        const QString value = attribute.value();
        if (sameName(name, "ip")) {
            setIp(value);
        } else if (sameName(name, "mac")) {
            m_mac = value;
        } else if (sameName(name, "name")) {
            m_name = value;
        } else if (sameName(name, "shareName")) {
            m_shareName = value;
        } else if (sameName(name, "givenName")) {
            m_givenName = value;
        } else if (sameName(name, "type")) {
            setTypeFromString(value);
        } else if (sameName(name, "softwareVer")) {
            m_softwareVer = value;
        } else if (sameName(name, "protocolVer")) {
            bool ok = false;
            const float version = value.toFloat(&ok);
            m_protocolVer = ok ? version : 0;
        } else if (sameName(name, "hardwareVer")) {
            m_hardwareVer = value;
        } else if (sameName(name, "complete")) {
            m_complete = isTrue(value);
        } else if (sameName(name, "enableTvModule")) {
            m_enableTvModule = isTrue(value);
        } else if (sameName(name, "enableRadioModule")) {
            m_enableRadioModule = isTrue(value);
        } else if (sameName(name, "enableLinksModule")) {
            m_enableLinksModule = isTrue(value);
        } else if (sameName(name, "enableMediaExplorerModule")) {
            m_enableMediaExplorerModule = isTrue(value);
        } else if (sameName(name, "isUsbManaged")) {
            m_isUsbManaged = isTrue(value);
        }
    }

    for (QDomElement child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        const QString tag = child.tagName();
        if (sameName(tag, "externals")) {
            m_externals.clear();
            for (const QDomElement &external : childrenNamed(child, "external")) {
                bool ok = false;
                const int index = external.attribute(QStringLiteral("index")).toInt(&ok);
                if (!ok || index <= 0)
                    continue;
                const QString name = external.firstChild().nodeValue();
                if (!name.isEmpty())
                    m_externals.insert(name, index);
            }
        }
        if (sameName(tag, "lists")) {
            for (const QDomElement &list : childrenNamed(child, "list")) {
                const QString listType = list.attribute(QStringLiteral("type"));
                bool ok = false;
                quint16 count = list.attribute(QStringLiteral("maxcount")).toUShort(&ok);
                if (!ok)
                    count = 0;
                if (sameName(listType, "tv"))
                    setTvListMaxCount(count);
                else if (sameName(listType, "net"))
                    setNetListMaxCount(count);
                else if (sameName(listType, "radio"))
                    setRadioListMaxCount(count);
            }
        }
        if (sameName(tag, "frontends")) {
            for (const QDomElement &frontend : childrenNamed(child, "frontend")) {
                const QString kind = frontend.attribute(QStringLiteral("type"));
                if (sameName(kind, "analog"))
                    m_hasAnalogFrontend = true;
                else if (sameName(kind, "terrestrial"))
                    m_hasTerrestrialFrontend = true;
                else if (sameName(kind, "satellite"))
                    m_hasSatelliteFrontend = true;
                else if (sameName(kind, "cable"))
                    m_hasCableFrontend = true;
            }
        }
        if (sameName(tag, "satellites")) {
            m_satellites.clear();
            for (const QDomElement &satellite : childrenNamed(child, "satellite")) {
                const QString name = satellite.attribute(QStringLiteral("name"));
                bool ok = false;
                const int position = satellite.attribute(QStringLiteral("position")).toInt(&ok);
                if (!name.isEmpty() && ok && position != 0)
                    m_satellites.append({name, position, true});
            }
        }
    }
    ensureDefaults();
    return true;
}

bool ZBDeviceInfo::takeSatellitesAndFrontends(const QString &text)
{
    QDomDocument doc;
    doc.setContent(text);
    const QDomElement element = doc.firstChildElement(QStringLiteral("deviceInfo"));
    if (element.isNull())
        return false;
    ZBDeviceInfo reply;
    if (!reply.fromXml(text))
        return false;
    if (!childrenNamed(element, "satellites").isEmpty())
        m_satellites = reply.m_satellites;
    if (!childrenNamed(element, "frontends").isEmpty()) {
        m_hasAnalogFrontend = reply.m_hasAnalogFrontend;
        m_hasCableFrontend = reply.m_hasCableFrontend;
        m_hasSatelliteFrontend = reply.m_hasSatelliteFrontend;
        m_hasTerrestrialFrontend = reply.m_hasTerrestrialFrontend;
    }
    return true;
}

QDomElement ZBDeviceInfo::toXml() const
{
    QDomDocument doc(QStringLiteral("deviceInfoDoc"));
    QDomElement element = doc.createElement(QStringLiteral("deviceInfo"));
    element.setAttribute(QStringLiteral("name"), m_name);
    element.setAttribute(QStringLiteral("givenName"), label());
    element.setAttribute(QStringLiteral("shareName"), m_shareName);
    element.setAttribute(QStringLiteral("softwareVer"), m_softwareVer);
    element.setAttribute(QStringLiteral("hardwareVer"), m_hardwareVer);
    element.setAttribute(QStringLiteral("protocolVer"), QString::number(double(m_protocolVer), 'g', 6));
    element.setAttribute(QStringLiteral("type"), typeName());
    element.setAttribute(QStringLiteral("mac"), m_mac);
    element.setAttribute(QStringLiteral("ip"), m_ip.isNull() ? QString() : m_ip.toString());
    element.setAttribute(QStringLiteral("complete"), boolText(m_complete));
    element.setAttribute(QStringLiteral("enableTvModule"), boolText(m_enableTvModule));
    element.setAttribute(QStringLiteral("enableRadioModule"), boolText(m_enableRadioModule));
    element.setAttribute(QStringLiteral("enableLinksModule"), boolText(m_enableLinksModule));
    element.setAttribute(QStringLiteral("enableMediaExplorerModule"), boolText(m_enableMediaExplorerModule));
    element.setAttribute(QStringLiteral("isUsbManaged"), boolText(m_isUsbManaged));

    if (!m_externals.isEmpty()) {
        QDomElement externals = doc.createElement(QStringLiteral("externals"));
        for (auto it = m_externals.cbegin(); it != m_externals.cend(); ++it) {
            QDomElement external = doc.createElement(QStringLiteral("external"));
            external.setAttribute(QStringLiteral("index"), QString::number(it.value()));
            external.appendChild(doc.createTextNode(it.key()));
            externals.appendChild(external);
        }
        element.appendChild(externals);
    }
    if (!m_satellites.isEmpty()) {
        QDomElement satellites = doc.createElement(QStringLiteral("satellites"));
        for (const SatelliteInfo &info : m_satellites) {
            QDomElement satellite = doc.createElement(QStringLiteral("satellite"));
            satellite.setAttribute(QStringLiteral("name"), info.name);
            if (info.positionValid)
                satellite.setAttribute(QStringLiteral("position"), QString::number(info.position));
            satellites.appendChild(satellite);
        }
        element.appendChild(satellites);
    }
    QDomElement lists = doc.createElement(QStringLiteral("lists"));
    const std::pair<const char *, quint16> limits[] = {
        {"tv", m_tvListMaxCount}, {"radio", m_radioListMaxCount}, {"net", m_netListMaxCount}};
    for (const auto &limit : limits) {
        QDomElement list = doc.createElement(QStringLiteral("list"));
        list.setAttribute(QStringLiteral("type"), QLatin1String(limit.first));
        list.setAttribute(QStringLiteral("maxcount"), QString::number(limit.second));
        lists.appendChild(list);
    }
    element.appendChild(lists);
    QDomElement frontends = doc.createElement(QStringLiteral("frontends"));
    const std::pair<const char *, bool> tuners[] = {{"analog", m_hasAnalogFrontend},
                                                    {"cable", m_hasCableFrontend},
                                                    {"satellite", m_hasSatelliteFrontend},
                                                    {"terrestrial", m_hasTerrestrialFrontend}};
    for (const auto &tuner : tuners) {
        if (!tuner.second)
            continue;
        QDomElement frontend = doc.createElement(QStringLiteral("frontend"));
        frontend.setAttribute(QStringLiteral("type"), QLatin1String(tuner.first));
        frontends.appendChild(frontend);
    }
    element.appendChild(frontends);
    doc.appendChild(element);
    return element;
}

QString ZBDeviceInfo::toXmlText() const
{
    QString text;
    QTextStream stream(&text);
    toXml().save(stream, 1);
    return text;
}

QString ZBDeviceInfo::satellitesDocument() const
{
    QDomDocument doc(QStringLiteral("satellites"));
    QDomElement root = doc.createElement(QStringLiteral("satellites"));
    doc.appendChild(root);
    for (const SatelliteInfo &info : m_satellites) {
        QDomElement satellite = doc.createElement(QStringLiteral("satellite"));
        QString positionLabel;
        if (info.positionValid) {
            positionLabel = QStringLiteral("%1%2").arg(QString::number(qAbs(info.position) / 10.0, 'f', 1),
                                                       info.position < 0 ? QStringLiteral("W") : QStringLiteral("E"));
            satellite.setAttribute(QStringLiteral("position"), QString::number(info.position));
        }
        satellite.setAttribute(QStringLiteral("name"), QStringLiteral("%1 %2").arg(info.name, positionLabel));
        root.appendChild(satellite);
    }
    return doc.toString(1);
}

void ZBDeviceInfo::ensureDefaults()
{
    if (!m_modules.isEmpty())
        return;
    m_modules.append(5);
    if (m_enableTvModule)
        m_modules.append(1);
    if (m_enableRadioModule)
        m_modules.append(2);
    if (m_enableLinksModule)
        m_modules.append(3);
    if (m_enableMediaExplorerModule)
        m_modules.append(4);
}

void ZBDeviceInfo::prepareForConnection()
{
    const quint32 id = m_id;
    const QHostAddress ip = m_ip;
    const QString shareName = m_shareName;
    ZBDeviceInfo fresh;
    *this = fresh;
    m_id = id;
    m_ip = ip;
    m_shareName = shareName;
}
