#include "document/listdocument.h"

#include "document/docitem.h"
#include "document/exception.h"
#include "document/xmltextguard.h"

#include <QCoreApplication>
#include <QList>

void ListDocument::parse(QDomDocument &document, const QString &text)
{
    QString message;
    int line = 0;
    int column = 0;
    if (!XmlTextGuard::check(text, &message, &line, &column) ||
        !document.setContent(text, false, &message, &line, &column)) {
        document.clear();
        throw Exception(QCoreApplication::translate("ListDocument", "Error"),
                        QCoreApplication::translate("ListDocument", "Document has errors"),
                        QStringLiteral("%1\nLine: %2\nColumn: %3\n").arg(message).arg(line).arg(column));
    }
}

namespace {

bool isBelow(const QDomNode &node, const QDomNode &ancestor)
{
    for (QDomNode up = node.parentNode(); !up.isNull(); up = up.parentNode()) {
        if (up == ancestor)
            return true;
    }
    return false;
}

} // namespace

ListDocument::ListDocument(const QString &text)
{
    parse(*this, text);
    const QDomElement root = documentElement();
    // one walk finds the frame and the services, which the normalisation then visits one by one
    const QString itemsTag = QStringLiteral("items");
    const QString listsTag = QStringLiteral("lists");
    const QString tvTag = QStringLiteral("tvService");
    const QString radioTag = QStringLiteral("radioService");
    QList<QDomElement> tv;
    QList<QDomElement> radio;
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = DocItem::nextElement(e, root)) {
        const QString tag = e.tagName();
        if (tag == tvTag)
            tv << e;
        else if (tag == radioTag)
            radio << e;
        else if (tag == itemsTag && items.isNull())
            items = e;
        else if (tag == listsTag && lists.isNull())
            lists = e;
    }
    if (!items.isNull()) {
        for (const QList<QDomElement> *services : {&tv, &radio}) {
            for (const QDomElement &service : *services) {
                if (isBelow(service, items))
                    normaliseService(*this, service);
            }
        }
    }
    if (root.tagName() != QLatin1String("TDocument") || items.isNull() || lists.isNull()) {
        throw Exception(QCoreApplication::translate("ListDocument", "Invalid file format"),
                        QCoreApplication::translate("ListDocument", "This is not valid document format"), QString());
    }
}

QString ListDocument::emptyDocumentXml(int listCount)
{
    QString text = QStringLiteral("<?xml version='1.0' encoding='utf-8'?><TDocument> <documentProperties> "
                                  "</documentProperties> <items/> <lists>");
    for (int i = 0; i < listCount; ++i)
        text += QStringLiteral("<list id='%1'></list>").arg(i);
    text += QStringLiteral(" </lists></TDocument>");
    return text;
}

void ListDocument::normaliseServices(const QString &tag)
{
    if (items.isNull())
        return;
    // a snapshot: every change to the tree would make the live node list rebuild itself
    const QDomNodeList live = items.elementsByTagName(tag);
    QList<QDomElement> services;
    services.reserve(live.count());
    for (int i = 0; i < live.count(); ++i)
        services.append(live.item(i).toElement());
    for (const QDomElement &service : std::as_const(services))
        normaliseService(*this, service);
}

void ListDocument::normaliseService(QDomDocument &document, const QDomElement &service)
{
    // one walk of the service finds its first "provider", its first "details", the first "config"
    // inside that and the first "satellite" inside the config
    QDomElement details, config, provider, satellite;
    for (QDomElement e = service.firstChildElement(); !e.isNull(); e = DocItem::nextElement(e, service)) {
        const QString tag = e.tagName();
        if (tag == QLatin1String("provider")) {
            if (provider.isNull())
                provider = e;
        } else if (tag == QLatin1String("details")) {
            if (details.isNull())
                details = e;
        } else if (tag == QLatin1String("config")) {
            if (config.isNull() && !details.isNull() && isBelow(e, details))
                config = e;
        } else if (tag == QLatin1String("satellite")) {
            if (satellite.isNull() && !config.isNull() && isBelow(e, config))
                satellite = e;
        }
    }
    if (details.isNull())
        return;
    if (!config.isNull() && !provider.isNull() && config.attribute(QStringLiteral("type")) == QLatin1String("analog")) {
        const QString noProvider = QStringLiteral("--no provider--");
        if (!provider.hasChildNodes())
            provider.appendChild(document.createTextNode(noProvider));
        else if (provider.firstChild().isText())
            provider.firstChild().setNodeValue(noProvider);
    }
    if (!satellite.isNull() && satellite.hasChildNodes())
        satellite.removeChild(satellite.firstChild());
}
