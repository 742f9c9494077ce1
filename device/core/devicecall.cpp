#include "device/core/devicecall.h"

#include <QDomNodeList>

DeviceCall::DeviceCall(const QString &methodName)
{
    // Built through the DOM rather than by pasting the name into text, so any name stays well-formed.
    doc = QDomDocument();
    call = doc.createElement(QStringLiteral("call"));
    call.setAttribute(QStringLiteral("methodName"), methodName);
    parameters = doc.createElement(QStringLiteral("parameters"));
    call.appendChild(parameters);
    doc.appendChild(call);
}

DeviceCall DeviceCall::fromText(const QString &text)
{
    DeviceCall result;
    result.setContent(text);
    return result;
}

void DeviceCall::setContent(const QString &text)
{
    QDomDocument parsed;
    if (!parsed.setContent(text))
        throw QStringLiteral("The request is not well-formed XML.");
    const QDomElement root = parsed.documentElement();
    const QDomNodeList found = root.elementsByTagName(QStringLiteral("parameters"));
    if (found.isEmpty())
        throw QStringLiteral("The request has no parameters element.");
    doc = parsed;
    call = root;
    parameters = found.item(0).toElement();
}

QString DeviceCall::methodName() const
{
    return call.attribute(QStringLiteral("methodName"));
}

QString DeviceCall::parameter(const QString &name) const
{
    if (name.startsWith(u'@'))
        return parameters.attribute(name.mid(1));
    const QDomNodeList found = parameters.elementsByTagName(name);
    if (found.isEmpty())
        return QString();
    const QDomNode first = found.item(0).firstChild();
    if (first.isText())
        return first.nodeValue();
    return QString();
}

bool DeviceCall::setParameter(const QString &name, const QString &value)
{
    if (name.isEmpty() || name == QLatin1String("@"))
        return false;
    if (name.startsWith(u'@')) {
        parameters.setAttribute(name.mid(1), value);
        return true;
    }
    const QDomNodeList found = parameters.elementsByTagName(name);
    if (!found.isEmpty()) {
        QDomElement element = found.item(0).toElement();
        QDomNode first = element.firstChild();
        if (first.isText())
            first.setNodeValue(value);
        else
            element.insertBefore(doc.createTextNode(value), first);
        return true;
    }
    QDomElement element = doc.createElement(name);
    element.appendChild(doc.createTextNode(value));
    parameters.appendChild(element);
    return true;
}

QString DeviceCall::toString() const
{
    return doc.toString(1);
}
