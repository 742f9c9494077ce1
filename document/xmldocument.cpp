#include "document/xmldocument.h"

#include "document/exception.h"
#include "document/listdocument.h"

XmlDocument::XmlDocument(const QString &text)
{
    ListDocument::parse(*this, text);
    root = documentElement();
}

XmlDocument XmlDocument::withRoot(const QString &tag)
{
    return XmlDocument(QStringLiteral("<%1/>").arg(tag));
}

QString XmlDocument::toString() const
{
    return QDomDocument::toString(1);
}
