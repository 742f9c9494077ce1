#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QString>

// The in-memory form of one list file: root "TDocument" with "documentProperties", "items" (the
// entries) and "lists" (the favourite lists, whose "ref" elements hold entry ids).
class ListDocument : public QDomDocument
{
public:
    // Parses and validates text; throws Exception when it is no list document.
    explicit ListDocument(const QString &text);

    static QString emptyDocumentXml(int listCount);

    // Parses text into document without namespace processing; throws Exception ("Error",
    // "Document has errors", details with the parser's message, line and column) on failure.
    static void parse(QDomDocument &document, const QString &text);

    // Tidies the loaded entries with the tag: analogue services get the provider "--no provider--",
    // the text of a satellite element in the tuning settings is dropped.
    void normaliseServices(const QString &tag);

    QDomElement items;
    QDomElement lists;

private:
    static void normaliseService(QDomDocument &document, const QDomElement &service);
};
