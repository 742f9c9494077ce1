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
    // One walk over the parsed tree: it finds the frame and tidies every service below the items where
    // it stands. A service's own subtree is read by its tidy-up, so the walk steps over it.
    const QString itemsTag = QStringLiteral("items");
    const QString listsTag = QStringLiteral("lists");
    bool insideItems = false;
    QDomElement element = root.firstChildElement();
    while (!element.isNull()) {
        bool descend = true;
        const QString tag = element.tagName();
        if (insideItems && isServiceTag(tag)) {
            QList<QDomElement> nested;
            normaliseService(*this, element, &lists, &nested);
            QList<QDomElement> &found = tag == QLatin1String("tvService") ? tvServices : radioServices;
            found << element;
            for (const QDomElement &inner : std::as_const(nested))
                (inner.tagName() == QLatin1String("tvService") ? tvServices : radioServices) << inner;
            descend = false;
        } else if (tag == itemsTag && items.isNull()) {
            items = element;
            insideItems = true;
        } else if (tag == listsTag && lists.isNull()) {
            lists = element;
        }
        QDomElement next = descend ? element.firstChildElement() : QDomElement();
        for (QDomElement node = element; next.isNull() && !node.isNull() && node != root;
             node = node.parentNode().toElement()) {
            if (insideItems && node == items)
                insideItems = false; // leaving the items
            next = node.nextSiblingElement();
        }
        element = next;
    }
    if (root.tagName() != QLatin1String("TDocument") || items.isNull() || lists.isNull()) {
        throw Exception(QCoreApplication::translate("ListDocument", "Invalid file format"),
                        QCoreApplication::translate("ListDocument", "This is not valid document format"), QString());
    }
}

bool ListDocument::isServiceTag(const QString &tag)
{
    return tag == QLatin1String("tvService") || tag == QLatin1String("radioService");
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
        normaliseService(*this, service, nullptr, nullptr);
}

QList<QDomElement> ListDocument::takeServices(const QString &tag)
{
    QList<QDomElement> taken;
    if (tag == QLatin1String("tvService"))
        taken.swap(tvServices);
    else if (tag == QLatin1String("radioService"))
        taken.swap(radioServices);
    return taken;
}

void ListDocument::normaliseService(QDomDocument &document, const QDomElement &service, QDomElement *lists,
                                    QList<QDomElement> *servicesInside)
{
    // one walk of the service finds its first "provider", its first "details", the first "config"
    // inside that and the first "satellite" inside the config; services nested in it are tidied
    // on their own, and a first "lists" inside it is handed back
    QDomElement details, config, provider, satellite;
    QList<QDomElement> ownNested;
    QList<QDomElement> &nested = servicesInside ? *servicesInside : ownNested;
    for (QDomElement e = service.firstChildElement(); !e.isNull(); e = DocItem::nextElement(e, service)) {
        const QString tag = e.tagName();
        if (lists && isServiceTag(tag)) {
            nested << e;
        } else if (lists && lists->isNull() && tag == QLatin1String("lists")) {
            *lists = e;
        } else if (tag == QLatin1String("provider")) {
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
    // the walk above saw every service inside this one: each is tidied once, on its own
    for (const QDomElement &inner : std::as_const(nested))
        normaliseService(document, inner, nullptr, nullptr);
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
