#include "document/listdocument.h"

#include "document/docitem.h"
#include "document/exception.h"
#include "document/xmltextguard.h"

#include <QCoreApplication>
#include <QList>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ListDocument", text);
}

} // namespace

void ListDocument::parse(QDomDocument &document, const QString &text)
{
    QString message;
    int line = 0;
    int column = 0;
    if (!XmlTextGuard::check(text, &message, &line, &column) ||
        !document.setContent(text, false, &message, &line, &column)) {
        document.clear();
        throw Exception(tr(QT_TRANSLATE_NOOP("ListDocument", "Error")),
                        tr(QT_TRANSLATE_NOOP("ListDocument", "Document has errors")),
                        QStringLiteral("%1\nLine: %2\nColumn: %3\n").arg(message).arg(line).arg(column));
    }
}

ListDocument::ListDocument(const QString &text)
{
    parse(*this, text);
    const QDomElement root = documentElement();
    items = DocItem::firstDescendant(root, QStringLiteral("items"));
    lists = DocItem::firstDescendant(root, QStringLiteral("lists"));
    normaliseServices(QStringLiteral("tvService"));
    normaliseServices(QStringLiteral("radioService"));
    if (root.tagName() != QLatin1String("TDocument") || items.isNull() || lists.isNull()) {
        throw Exception(tr(QT_TRANSLATE_NOOP("ListDocument", "Invalid file format")),
                        tr(QT_TRANSLATE_NOOP("ListDocument", "This is not valid document format")), QString());
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
    const QString details = QStringLiteral("details");
    const QString config = QStringLiteral("config");
    const QString provider = QStringLiteral("provider");
    const QString noProvider = QStringLiteral("--no provider--");
    // a snapshot: every change to the tree would make the live node list rebuild itself
    const QDomNodeList live = items.elementsByTagName(tag);
    QList<QDomElement> services;
    services.reserve(live.count());
    for (int i = 0; i < live.count(); ++i)
        services.append(live.item(i).toElement());
    for (const QDomElement &service : std::as_const(services)) {
        const QDomElement detailsElement = DocItem::firstDescendant(service, details);
        if (detailsElement.isNull())
            continue;
        const QDomElement configElement = DocItem::firstDescendant(detailsElement, config);
        QDomElement providerElement = DocItem::firstDescendant(service, provider);
        if (!configElement.isNull() && !providerElement.isNull() &&
            configElement.attribute(QStringLiteral("type")) == QLatin1String("analog")) {
            if (!providerElement.hasChildNodes())
                providerElement.appendChild(createTextNode(noProvider));
            else if (providerElement.firstChild().isText())
                providerElement.firstChild().setNodeValue(noProvider);
        }
        if (!configElement.isNull()) {
            QDomElement satellite = DocItem::firstDescendant(configElement, QStringLiteral("satellite"));
            if (!satellite.isNull() && satellite.hasChildNodes())
                satellite.removeChild(satellite.firstChild());
        }
    }
}
