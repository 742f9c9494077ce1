#pragma once

#include "document/docitem.h"

#include <QDomDocument>

// A short XML text (a request, a tuning record, a menu description) held with its root as a DocItem.
class XmlDocument : public QDomDocument
{
public:
    XmlDocument() = default;
    // Parses text; throws Exception ("Error", "Document has errors", parser details) when it does not.
    explicit XmlDocument(const QString &text);
    // A document holding only the empty element tag.
    static XmlDocument withRoot(const QString &tag);

    QString toString() const;

    DocItem root;
};
